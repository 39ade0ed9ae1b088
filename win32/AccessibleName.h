#pragma once

// Screen readers name a control from the static text before it in the tab order; the written
// window puts each label after its edit, so Windows would name every edit by the wrong label
// or by none. NameControlsByLabels gives each edit and list box of a window the text of the
// label beside it (to its left on the same line, else just above it) as its accessible name:
// it subclasses the control and answers WM_GETOBJECT for the control's client with a proxy over
// Windows' standard accessible object (CreateStdAccessibleObject) that gives the name and
// passes every other question on. The names come from the template's own labels, so they are
// never typed twice. Requires the window's controls to exist (WM_INITDIALOG or later), on the
// calling thread (the one thread of the window); each subclass removes itself, and forgets
// the name, when its control is destroyed.

#include <windows.h>

#include <string>

namespace orvalen::win32 {

// Names one control; false when it cannot be subclassed.
bool NameControl(HWND control, const std::wstring& name);
// Names every edit and list box of window that has a label beside it; returns how many.
int NameControlsByLabels(HWND window);

} // namespace orvalen::win32
