#pragma once

#include <QDialog>

#include <string_view>

namespace orvalen {

// Names the program and the code page its phone-book texts are in, and tells how the three file
// buttons serve the MP3 player.
class CAboutDialog final : public QDialog {
    Q_OBJECT

public:
    // codePageLine names the code page the phone-book texts are in.
    explicit CAboutDialog(std::string_view codePageLine, QWidget* parent = nullptr);
};

} // namespace orvalen
