#pragma once

#include <QDialog>

namespace orvalen {

// Names the program and tells how the three file buttons serve the MP3 player.
class CAboutDialog final : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};

} // namespace orvalen
