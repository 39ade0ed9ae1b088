#include "SafeFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvalen;
using orvalen::testing::CTempFolder;
using orvalen::testing::ReadBytes;
using orvalen::testing::WriteBytes;

namespace fs = std::filesystem;

TEST(WriteFileSafely, CreatesAndReplacesFilesLeavingNothingElse) {
    CTempFolder folder;
    EXPECT_TRUE(WriteFileSafely(folder / "a.bin", std::string("one\0two", 7)));
    EXPECT_EQ(ReadBytes(folder / "a.bin"), std::string("one\0two", 7));
    EXPECT_TRUE(WriteFileSafely(folder / "a.bin", "x"));
    EXPECT_EQ(ReadBytes(folder / "a.bin"), "x");
    EXPECT_TRUE(WriteFileSafely(folder / "empty", ""));
    EXPECT_EQ(fs::file_size(folder / "empty"), 0u);
    EXPECT_EQ(folder.Names().size(), 2u);
}

#if !defined(_WIN32) // POSIX modes
TEST(WriteFileSafely, KeepsThePermissionsOfTheFileItReplaces) {
    CTempFolder folder;
    WriteBytes(folder / "a.txt", "old");
    fs::permissions(folder / "a.txt", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteFileSafely(folder / "a.txt", "new"));
    EXPECT_EQ(fs::status(folder / "a.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}
#endif

TEST(WriteFileSafely, WritesThroughASymbolicLink) {
    CTempFolder folder;
    fs::create_directory(folder / "real");
    WriteBytes(folder / "real" / "book.tel", "old");
    std::error_code error;
    fs::create_symlink(folder / "real" / "book.tel", folder / "link.tel", error);
    if (error)
        GTEST_SKIP() << "this system makes no symbolic links for us: " << error.message();
    ASSERT_TRUE(WriteFileSafely(folder / "link.tel", "new"));
    EXPECT_TRUE(fs::is_symlink(folder / "link.tel"));
    EXPECT_EQ(ReadBytes(folder / "real" / "book.tel"), "new");
    EXPECT_EQ(folder.Names().size(), 2u);
}

TEST(WriteFileSafely, RefusesWhatItCannotWriteWithoutLeavingATrace) {
    CTempFolder folder;
    fs::create_directory(folder / "dir");
    EXPECT_FALSE(WriteFileSafely(folder / "dir", "x"));
    EXPECT_TRUE(fs::is_directory(folder / "dir"));
    EXPECT_FALSE(WriteFileSafely(folder / "missing" / "a", "x"));
    EXPECT_FALSE(WriteFileSafely(folder.Path() / "", "x"));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"dir"}));
}
