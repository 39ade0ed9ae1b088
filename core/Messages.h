#pragma once

#include <string_view>

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
// After the rename, only the folder's flush failed: the file holds the new phone book.
inline constexpr std::string_view kWrittenNotFlushed =
    "The file was written but may not be on the disk yet. Save again, or eject the player "
    "safely before unplugging it.";

} // namespace orvalen::messages
