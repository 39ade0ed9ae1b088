#pragma once

// The window speaks the user's interface language: our texts from the translations built into
// the program (res/translations), Qt's own (file chooser, standard buttons) from Qt's
// translations where they are installed. Chosen by ChooseInterfaceLanguage from the system's
// interface languages; English, our texts' source, where none matches. Requires the
// application object; installs once, before any window is made.

class QCoreApplication;

namespace orvalen {

void InstallTranslations(QCoreApplication& application);

} // namespace orvalen
