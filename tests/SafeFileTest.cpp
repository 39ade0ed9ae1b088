#include "SafeFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#if defined(_WIN32)
// Windows marks a file the user keeps from changes read-only; even an administrator's save
// must leave it.
TEST(WriteFileSafely, RefusesAReadOnlyFileAndKeepsIt) {
    CTempFolder folder;
    WriteBytes(folder / "book.tel", "old");
    fs::permissions(folder / "book.tel", fs::perms::owner_read | fs::perms::group_read |
                                             fs::perms::others_read);
    EXPECT_EQ(WriteFileSafely(folder / "book.tel", "new").Kind(), StatusKind::notPermitted);
    EXPECT_EQ(ReadBytes(folder / "book.tel"), "old");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"book.tel"}));
    fs::permissions(folder / "book.tel", fs::perms::owner_write, fs::perm_options::add);
}
#endif

TEST(WriteFileSafely, SavesUnderANameNearTheSystemsLimit) {
    CTempFolder folder;
    const std::string name = std::string(246, 'n') + ".tel"; // 250 bytes
    ASSERT_TRUE(WriteFileSafely(folder / name, "new").IsOk());
    EXPECT_EQ(ReadBytes(folder / name), "new");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{name});
}

TEST(WriteFileSafely, FollowsALinkToAFileThatDoesNotExistYet) {
    CTempFolder folder;
    fs::create_directory(folder / "player");
    std::error_code error;
    fs::create_symlink(fs::path("player") / "Tel_Save.tel", folder / "Tel_Save.tel", error);
    if (error)
        GTEST_SKIP() << "this system makes no symbolic links for us: " << error.message();
    ASSERT_TRUE(WriteFileSafely(folder / "Tel_Save.tel", "new").IsOk());
    EXPECT_TRUE(fs::is_symlink(folder / "Tel_Save.tel"));
    EXPECT_EQ(ReadBytes(folder / "player" / "Tel_Save.tel"), "new");
    EXPECT_EQ(folder.Names().size(), 2u);
}

namespace {

// What the flushes of one save saw: what was flushed, and what the target held then.
struct SeenFlush {
    FlushedItem item;
    std::string target;
    std::vector<std::string> readableByOthers; // entries of the folder others could read
};
std::vector<SeenFlush> g_flushes;
fs::path g_target;

void RecordFlush(FlushedItem item, const fs::path&) {
    SeenFlush seen{item, ReadBytes(g_target), {}};
    for (const auto& entry : fs::directory_iterator(g_target.parent_path())) {
        const auto others = fs::perms::group_read | fs::perms::others_read;
        if (entry.path() != g_target &&
            (fs::symlink_status(entry.path()).permissions() & others) != fs::perms::none)
            seen.readableByOthers.push_back(entry.path().filename().string());
    }
    g_flushes.push_back(std::move(seen));
}

// Records every flush while it lives.
class CFlushRecorder {
public:
    explicit CFlushRecorder(const fs::path& target) : m_previous(SetFlushObserver(&RecordFlush)) {
        g_flushes.clear();
        g_target = target;
    }
    ~CFlushRecorder() { SetFlushObserver(m_previous); }
    CFlushRecorder(const CFlushRecorder&) = delete;
    CFlushRecorder& operator=(const CFlushRecorder&) = delete;

private:
    FlushObserver m_previous;
};

} // namespace

// The file's data reaches the disk before the rename, the folder's entry after it: only then
// would a pulled cable keep the new file.
TEST(WriteFileSafely, FlushesTheFileThenTheFolderAfterTheRename) {
    CTempFolder folder;
    WriteBytes(folder / "a.tel", "old");
    CFlushRecorder recorder(folder / "a.tel");
    ASSERT_TRUE(WriteFileSafely(folder / "a.tel", "new").IsOk());
    ASSERT_EQ(g_flushes.size(), 2u);
    EXPECT_EQ(g_flushes[0].item, FlushedItem::file);
    EXPECT_EQ(g_flushes[0].target, "old");
    EXPECT_EQ(g_flushes[1].item, FlushedItem::folder);
    EXPECT_EQ(g_flushes[1].target, "new");
}

#if !defined(_WIN32) // POSIX modes and owners
// A private file stays private all through the save, whatever the umask; a new file gets the
// mode a file created in place would.
TEST(WriteFileSafely, TheNewFileIsNeverReadableByMoreThanTheTarget) {
    CTempFolder folder;
    const mode_t saved = ::umask(0);
    WriteBytes(folder / "private.tel", "old");
    fs::permissions(folder / "private.tel", fs::perms::owner_read | fs::perms::owner_write);
    {
        CFlushRecorder recorder(folder / "private.tel");
        EXPECT_TRUE(WriteFileSafely(folder / "private.tel", "new").IsOk());
        ASSERT_FALSE(g_flushes.empty());
        EXPECT_EQ(g_flushes[0].readableByOthers, std::vector<std::string>{});
    }
    EXPECT_EQ(fs::status(folder / "private.tel").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    ::umask(022);
    EXPECT_TRUE(WriteFileSafely(folder / "new.tel", "new").IsOk());
    EXPECT_EQ(fs::status(folder / "new.tel").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    ::umask(saved);
}

// Root saving over a user's private file leaves it the user's.
TEST(WriteFileSafely, RootKeepsTheOwnerOfTheFileItReplaces) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can save over another user's file";
    CTempFolder folder;
    WriteBytes(folder / "theirs.tel", "old");
    ASSERT_EQ(::chown((folder / "theirs.tel").c_str(), 65534, 65534), 0);
    fs::permissions(folder / "theirs.tel", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteFileSafely(folder / "theirs.tel", "new").IsOk());
    struct stat info {};
    ASSERT_EQ(::stat((folder / "theirs.tel").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadBytes(folder / "theirs.tel"), "new");
}
#endif
