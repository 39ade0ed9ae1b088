#pragma once

// The Qt window's side of the text catalogue (app/Texts.h) and of its message boxes: our texts
// pass through QCoreApplication::translate, and every box is captioned with the program's name.

#include "Texts.h"

#include <QString>

#include <string_view>

class QMessageBox;
class QWidget;

namespace orvalen {

// Makes Tr() translate through QCoreApplication::translate; once, at start-up.
void InstallQtTranslator();
QString QtText(const CText& text);
QString FromUtf8(std::string_view text);

// The caption of messages: the program's file name without its extension.
QString ApplicationName();
// A message box captioned with the program's name and wide enough to show it whole.
void PrepareMessageBox(QMessageBox& box);
// An error with OK: text, and under it detail (the reason and the file, in the system's encoding).
void ShowFailure(QWidget* parent, std::string_view text, std::string_view detail);

} // namespace orvalen
