#pragma once

#include <string_view>

// Marks a text we added for Qt's lupdate, which collects it for translation; the written
// texts here are never translated.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace orvalen::messages {

inline constexpr std::string_view kEmptyName = "Please input person name !!";
inline constexpr std::string_view kOverflow = "The Tel Name Overflow !!";
inline constexpr std::string_view kNameRepeat = "Name repeat! Do you change it ?";
inline constexpr std::string_view kSelectFirst = "Please Select Item first !!";
inline constexpr std::string_view kListTableMismatch = "Error!, Please tell ZUM Tovrin !!";
inline constexpr std::string_view kAddFirst = "Please add item first !!";
inline constexpr std::string_view kSaveFailed = "Error!!, Plz Tell ZUM Tovrin ...";
inline constexpr std::string_view kFileGetFail = "File Get Fail !!";
inline constexpr std::string_view kNotTelFile = "Error!!, Not ZUM Tel file ...";
//: Question when the window is closed with changes not saved; OK closes, Cancel stays.
inline constexpr std::string_view kCloseQuestion =
    QT_TRANSLATE_NOOP("Orvalen", "The phone book has changes that are not saved. Close anyway?");

} // namespace orvalen::messages
