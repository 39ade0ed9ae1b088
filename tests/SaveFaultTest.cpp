// The save-fault matrix: "Save" and "Save As" meet a disk that fills up in mid-write, a
// read-only folder, a target that is a folder, a folder that goes away between choosing and
// writing, and a name the file system refuses. Every fault must end with the error message and
// the stop icon, the old file byte-identical and no temporary file left. The faults injected
// are counted and the total printed at the end.

#include "BookEditor.h"
#include "DeviceBookFile.h"
#include "HeadlessView.h"
#include "Messages.h"
#include "SafeFile.h"
#include "TextReport.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace orvalen {
namespace {

using testing::CHeadlessView;
using testing::MakeForm;
using testing::RecordedMessage;

// Faults injected, by kind, over the whole run; printed when the program ends.
std::map<std::string, int> g_injected;
int g_lost = 0; // faults after which an old file was not byte-identical or a temporary stayed

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.insert(entry.path().filename().string());
    return names;
}

// Old contents that a partial or misplaced write could not reproduce by chance.
std::string OldBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 8)) & 0xFF);
    return bytes;
}

// A folder under the system's temporary folder that anyone may enter, so that a child process
// without root rights can still reach it.
class CScratch {
public:
    CScratch() {
        std::string pattern = (fs::temp_directory_path() / "orvalen-fault-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
        std::error_code error;
        fs::permissions(m_path,
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec,
                        error);
    }
    ~CScratch() {
        std::error_code error;
        // Give write rights back first, or a read-only folder could not be emptied.
        for (const auto& entry : fs::recursive_directory_iterator(m_path, error)) {
            if (entry.is_directory(error))
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
        fs::remove_all(m_path, error);
    }
    CScratch(const CScratch&) = delete;
    CScratch& operator=(const CScratch&) = delete;

    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

// The headless window with a hook that runs right after the user has chosen a file, before
// the command writes anything.
class CFaultView final : public IBookView {
public:
    CHeadlessView inner;
    std::function<void()> afterChoosing;

    void ReadForm(ContactForm& form) override { inner.ReadForm(form); }
    void WriteForm(const ContactForm& form, int count) override { inner.WriteForm(form, count); }
    MessageResult ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons,
                              std::string_view detail) override {
        return inner.ShowMessage(text, icon, buttons, detail);
    }
    std::optional<fs::path> ChooseFile(FileMode mode, std::string_view defaultName,
                                       std::string_view filter, const fs::path& folder) override {
        auto chosen = inner.ChooseFile(mode, defaultName, filter, folder);
        if (afterChoosing)
            afterChoosing();
        return chosen;
    }
};

struct Command {
    const char* name;
    void (*run)(CBookEditor&);
    CResult<std::string> (*build)(const CBookEditor&);
};

const Command kCommands[] = {
    {"Save", &CDeviceBookFile::Save, &CDeviceBookFile::BuildImage},
    {"Save As", &CTextReport::SaveAs, &CTextReport::Build},
};

const std::vector<RecordedMessage> kFailed = {
    {std::string(messages::kSaveFailed), MessageIcon::error, MessageButtons::ok}};

std::string Serialize(const std::vector<RecordedMessage>& messages) {
    std::string out;
    for (const auto& message : messages) {
        out += std::to_string(static_cast<int>(message.icon)) + " " +
               std::to_string(static_cast<int>(message.buttons)) + " " + message.text + "\n";
    }
    return out;
}

std::string Expected(const std::vector<RecordedMessage>& messages) {
    return Serialize(messages);
}

// The informative lines under the messages, one a line.
std::string JoinDetails(const std::vector<std::string>& details) {
    std::string out;
    for (const auto& detail : details)
        out += detail + "\n";
    return out;
}

constexpr char kDetailsFollow = '\x1E';

// As root, permission bits stop nothing: a child process gives up root to meet them.
bool GiveUpRoot() {
    return ::geteuid() != 0 ||
           (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
}

// Whether a child process can be made to meet the fault that `made` checks for.
bool CanMake(const std::function<bool()>& made) {
    const pid_t probe = ::fork();
    if (probe == 0)
        ::_exit(made() ? 0 : 1);
    int status = 0;
    ::waitpid(probe, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class SaveFaultTest : public ::testing::Test {
protected:
    CScratch scratch;
    CMemoryNameList list;
    CFaultView view;
    CBookEditor editor{list, view};

    void SetUp() override {
        ASSERT_FALSE(scratch.Path().empty());
        // Enough contacts that the files are larger than the small limits below, with
        // 16-byte and double-byte names so that the saved bytes are not trivial.
        for (int i = 0; i < 150; ++i) {
            view.inner.Type(MakeForm("Contact " + std::to_string(i), "1380013" + std::to_string(i),
                                     "0755-1234567", "someone@example.cn", "10001",
                                     "0755-7654321"));
            editor.Add();
        }
        view.inner.Type(MakeForm("abcdefghijklmnop", "0123456789012345"));
        editor.Add();
        view.inner.Type(MakeForm("\xC4\xE3\xBA\xC3", "13800138000"));
        editor.Add();
        ASSERT_TRUE(view.inner.messages.empty());
    }

    std::string details; // the informative lines of the last Run's messages

    // Runs the command once, in a child process when `inChild` prepares a fault that must not
    // touch this process (a file-size limit, dropped rights), and returns its messages.
    std::string Run(const Command& command, const fs::path& chosen,
                    const std::function<bool()>& inChild = {}) {
        view.inner.messages.clear();
        view.inner.details.clear();
        view.inner.chosenFiles.clear();
        view.inner.chosenFiles.push_back(chosen);
        if (!inChild) {
            command.run(editor);
            details = JoinDetails(view.inner.details);
            return Serialize(view.inner.messages);
        }

        int channel[2];
        if (::pipe(channel) != 0)
            return "pipe failed";
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(channel[0]);
            std::string report = "could not set up the fault\n";
            if (inChild()) {
                command.run(editor);
                report = Serialize(view.inner.messages) + kDetailsFollow +
                         JoinDetails(view.inner.details);
            }
            const ssize_t written = ::write(channel[1], report.data(), report.size());
            ::_exit(written == static_cast<ssize_t>(report.size()) ? 0 : 3);
        }
        ::close(channel[1]);
        std::string report;
        char buffer[512];
        for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
            report.append(buffer, static_cast<std::size_t>(got));
        ::close(channel[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return "the child process died (status " + std::to_string(status) + ")";
        const auto split = report.find(kDetailsFollow);
        details = split == std::string::npos ? std::string() : report.substr(split + 1);
        return report.substr(0, split);
    }

    // The checks every fault ends with; `kind` counts the fault in the figures.
    void ExpectNothingLost(const std::string& kind, const std::string& messages,
                           const fs::path& folder, const std::set<std::string>& namesBefore,
                           const std::map<fs::path, std::string>& oldFiles) {
        ++g_injected[kind];
        bool lost = false;
        EXPECT_EQ(messages, Expected(kFailed)) << kind;
        for (const auto& [path, bytes] : oldFiles) {
            const bool same = fs::is_regular_file(path) && ReadBytes(path) == bytes;
            EXPECT_TRUE(same) << kind << ": " << path << " changed";
            lost = lost || !same;
        }
        const auto namesAfter = Names(folder);
        EXPECT_EQ(namesAfter, namesBefore) << kind << ": a temporary file was left in " << folder;
        lost = lost || namesAfter != namesBefore;
        if (lost)
            ++g_lost;
    }
};

// The disk fills up at several points of the write: before the first byte, inside the header,
// in mid-file and one byte short of the end. RLIMIT_FSIZE makes the write fail as a full disk
// does (EFBIG instead of ENOSPC, the same path through the code).
TEST_F(SaveFaultTest, TheDiskFillsUpInMidWrite) {
    for (const Command& command : kCommands) {
        const std::size_t size = command.build(editor)->size();
        ASSERT_GT(size, 8192u);
        for (const bool oldFilePresent : {true, false}) {
            for (const std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{512},
                                            std::size_t{4096}, size / 2, size - 1}) {
                SCOPED_TRACE(std::string(command.name) + ", limit " + std::to_string(limit) +
                             (oldFilePresent ? ", over an old file" : ", new file"));
                const fs::path target = scratch.Path() / "book";
                std::map<fs::path, std::string> old;
                if (oldFilePresent) {
                    old[target] = OldBytes(size + 100, static_cast<unsigned>(limit));
                    WriteBytes(target, old[target]);
                } else {
                    fs::remove(target);
                }
                const auto before = Names(scratch.Path());
                const std::string messages = Run(command, target, [limit] {
                    ::signal(SIGXFSZ, SIG_IGN);
                    const rlimit fileSize = {static_cast<rlim_t>(limit),
                                             static_cast<rlim_t>(limit)};
                    return ::setrlimit(RLIMIT_FSIZE, &fileSize) == 0;
                });
                ExpectNothingLost("disk full in mid-write", messages, scratch.Path(), before, old);
            }
        }
    }
}

// As root, permission bits do not stop writing, so the child gives up root first; where it
// cannot (no such user, no right to change), the case is skipped with the reason.
TEST_F(SaveFaultTest, AReadOnlyFolder) {
    const fs::path folder = scratch.Path() / "player";
    fs::create_directory(folder);
    const fs::path target = folder / "Tel_Save";
    const std::string oldBytes = OldBytes(26112, 1);
    WriteBytes(target, oldBytes);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::others_read);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);

    // In the child: give up root if we have it, then make sure the folder really refuses.
    const auto readOnly = [folder] { return GiveUpRoot() && ::access(folder.c_str(), W_OK) != 0; };
    if (!CanMake(readOnly)) {
        GTEST_SKIP() << "running as root and no unprivileged user to become, so a read-only "
                        "folder cannot be made here";
    }

    for (const Command& command : kCommands) {
        SCOPED_TRACE(command.name);
        const auto before = Names(folder);
        const std::string messages = Run(command, target, readOnly);
        ExpectNothingLost("read-only folder", messages, folder, before, {{target, oldBytes}});
    }
}

// A file the user may not write is refused as writing in place would be, although its folder
// lets a new file be made there: a write-protected file, or (for a user who is not root)
// another user's. The reason goes with the message.
TEST_F(SaveFaultTest, ATargetTheUserMayNotWrite) {
    const fs::path folder = scratch.Path() / "player";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::all);
    const fs::path target = folder / "Tel_Save.tel";
    for (const fs::perms mode :
         {fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
          fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
              fs::perms::others_read}) {
        const std::string oldBytes = OldBytes(26112, static_cast<unsigned>(mode));
        WriteBytes(target, oldBytes);
        fs::permissions(target, mode);
        const auto unwritable = [folder, target] {
            return GiveUpRoot() && ::access(folder.c_str(), W_OK) == 0 &&
                   ::access(target.c_str(), W_OK) != 0;
        };
        if (!CanMake(unwritable))
            continue; // our own file, writable to us: no fault to make
        for (const Command& command : kCommands) {
            SCOPED_TRACE(std::string(command.name) + ", mode " +
                         std::to_string(static_cast<int>(mode)));
            const auto before = Names(folder);
            const std::string messages = Run(command, target, unwritable);
            ExpectNothingLost("target not writable", messages, folder, before,
                              {{target, oldBytes}});
            EXPECT_EQ(details, "Permission denied: " + target.string() + "\n");
        }
        fs::remove(target);
    }
}

TEST_F(SaveFaultTest, ATargetThatIsAFolder) {
    const fs::path target = scratch.Path() / "Tel_Save.tel";
    fs::create_directory(target);
    WriteBytes(target / "inside", "kept");
    fs::create_directory_symlink(target, scratch.Path() / "link.tel");
    for (const Command& command : kCommands) {
        for (const fs::path& chosen : {target, scratch.Path() / "link.tel"}) {
            SCOPED_TRACE(std::string(command.name) + " onto " + chosen.filename().string());
            const auto before = Names(scratch.Path());
            const std::string messages = Run(command, chosen);
            ExpectNothingLost("target is a folder", messages, scratch.Path(), before,
                              {{target / "inside", "kept"}});
            EXPECT_TRUE(fs::is_directory(target));
            EXPECT_EQ(Names(target), std::set<std::string>{"inside"});
        }
    }
}

// The player is unplugged after the file was chosen: its folder is gone, moved elsewhere (the
// same files under another mount point), or a file now has the folder's name.
TEST_F(SaveFaultTest, TheFolderDisappearsBetweenChoosingAndWriting) {
    for (const Command& command : kCommands) {
        SCOPED_TRACE(command.name);
        const fs::path folder = scratch.Path() / "player";
        const fs::path moved = scratch.Path() / "elsewhere";
        const fs::path target = folder / "Tel_Save";
        const std::string oldBytes = OldBytes(26112, 2);

        // Moved away with the old file in it.
        fs::create_directory(folder);
        WriteBytes(target, oldBytes);
        view.afterChoosing = [&] { fs::rename(folder, moved); };
        std::string messages = Run(command, target);
        view.afterChoosing = nullptr;
        ExpectNothingLost("folder gone (moved away)", messages, moved, {"Tel_Save"},
                          {{moved / "Tel_Save", oldBytes}});
        EXPECT_FALSE(fs::exists(folder)) << "the vanished folder was made again";
        fs::remove_all(moved);

        // Removed.
        fs::create_directory(folder);
        view.afterChoosing = [&] { fs::remove_all(folder); };
        messages = Run(command, target);
        view.afterChoosing = nullptr;
        ExpectNothingLost("folder gone (removed)", messages, scratch.Path(), {}, {});
        EXPECT_FALSE(fs::exists(folder)) << "the vanished folder was made again";

        // Replaced by a file of the same name.
        fs::create_directory(folder);
        view.afterChoosing = [&] {
            fs::remove_all(folder);
            WriteBytes(folder, oldBytes);
        };
        messages = Run(command, target);
        view.afterChoosing = nullptr;
        ExpectNothingLost("folder gone (a file in its place)", messages, scratch.Path(), {"player"},
                          {{folder, oldBytes}});
        fs::remove(folder);
    }
}

// A name longer than the file system allows cannot be created at all.
TEST_F(SaveFaultTest, ANameTheFileSystemRefuses) {
    const fs::path target = scratch.Path() / (std::string(300, 'n') + ".tel");
    for (const Command& command : kCommands) {
        SCOPED_TRACE(command.name);
        const auto before = Names(scratch.Path());
        const std::string messages = Run(command, target);
        ExpectNothingLost("name too long", messages, scratch.Path(), before, {});
    }
}

// The system's errors at one step of a save, injected through the save's seam.
SaveStep g_faultStep = SaveStep::setMode;
int g_faultError = 0;
int InjectFault(SaveStep step) {
    return step == g_faultStep ? g_faultError : 0;
}

// A file system that keeps no modes or owners (FAT, exFAT, FUSE) answers setting them with one
// of three errors: the save goes on. Another error at that step fails the save, as does any at
// the rename. A failed flush of the folder after the rename says the file was written.
TEST_F(SaveFaultTest, ErrorsOfTheSystemInjectedThroughTheSeam) {
    enum class Outcome { saved, failed, writtenNotFlushed };
    const struct {
        SaveStep step;
        int error;
        Outcome outcome;
    } kRows[] = {
        {SaveStep::setMode, EPERM, Outcome::saved},
        {SaveStep::setMode, ENOSYS, Outcome::saved},
        {SaveStep::setMode, EOPNOTSUPP, Outcome::saved},
        {SaveStep::setMode, EIO, Outcome::failed},
        {SaveStep::rename, EXDEV, Outcome::failed},
        {SaveStep::flushFolder, EIO, Outcome::writtenNotFlushed},
    };
    const fs::path target = scratch.Path() / "Tel_Save.tel";
    const std::string oldBytes = OldBytes(26112, 3);
    const SaveSeam previous = SetSaveSeam({&InjectFault});
    for (const auto& row : kRows) {
        for (const Command& command : kCommands) {
            SCOPED_TRACE(std::string(command.name) + ", step " +
                         std::to_string(static_cast<int>(row.step)) + ", " +
                         std::strerror(row.error));
            WriteBytes(target, oldBytes);
            g_faultStep = row.step;
            g_faultError = row.error;
            const std::string messages = Run(command, target);
            g_faultError = 0;
            if (row.outcome == Outcome::failed) {
                ExpectNothingLost("error injected", messages, scratch.Path(), {"Tel_Save.tel"},
                                  {{target, oldBytes}});
                continue;
            }
            ++g_injected["error injected"];
            EXPECT_EQ(ReadBytes(target), *command.build(editor));
            EXPECT_EQ(Names(scratch.Path()), std::set<std::string>{"Tel_Save.tel"});
            if (row.outcome == Outcome::saved) {
                EXPECT_EQ(messages, "");
            } else {
                EXPECT_EQ(messages, Expected({{std::string(messages::kWrittenNotFlushed),
                                               MessageIcon::warning, MessageButtons::ok}}));
                EXPECT_EQ(details, "The file was written but may not be on the disk yet: save "
                                   "again, or eject the disk safely before unplugging it "
                                   "(Input/output error): " +
                                       target.string() + "\n");
            }
        }
    }
    SetSaveSeam(previous);
}

// A save killed at the rename leaves its temporary file; the next save removes it once it is
// stale. A quit signal held through a command-line save waits until the file is in place.
SaveStep g_killAt = SaveStep::rename;
int g_killWith = SIGKILL;
int KillAtStep(SaveStep step) {
    if (step == g_killAt)
        ::raise(g_killWith);
    return 0;
}

TEST_F(SaveFaultTest, AKilledSaveLeavesNothingAfterTheNextSave) {
    const fs::path target = scratch.Path() / "Tel_Save.tel";
    const std::string newBytes = *CDeviceBookFile::BuildImage(editor);
    for (const int signal : {SIGKILL, SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        WriteBytes(target, "old");
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            g_killWith = signal;
            SetSaveSeam({&KillAtStep});
            bool saved = false;
            {
                // SIGKILL cannot wait: it is the one that leaves a temporary file.
                const CQuitSignalsHeld held;
                saved = WriteFileSafely(target, newBytes).IsOk();
            }
            ::_exit(saved ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), signal);
        if (signal != SIGKILL) {
            EXPECT_EQ(ReadBytes(target), newBytes) << "the held signal ended the save";
            EXPECT_EQ(Names(scratch.Path()), std::set<std::string>{"Tel_Save.tel"});
            continue;
        }
        EXPECT_EQ(ReadBytes(target), "old");
        EXPECT_EQ(Names(scratch.Path()).size(), 2u) << "no temporary file to remove";
        // Fresh, it may be another save's in progress: it stays.
        EXPECT_TRUE(Run(kCommands[0], target).empty());
        EXPECT_EQ(Names(scratch.Path()).size(), 2u);
        const SaveSeam previous = SetSaveSeam({nullptr, std::chrono::seconds(0)});
        EXPECT_TRUE(Run(kCommands[0], target).empty());
        SetSaveSeam(previous);
        EXPECT_EQ(Names(scratch.Path()), std::set<std::string>{"Tel_Save.tel"});
        EXPECT_EQ(ReadBytes(target), newBytes);
    }
}

// Prints the figures when the test program ends, after every test has run.
class CFigures {
public:
    CFigures() = default;
    CFigures(const CFigures&) = delete;
    CFigures& operator=(const CFigures&) = delete;
    ~CFigures() {
        if (g_injected.empty())
            return;
        int total = 0;
        std::string detail;
        for (const auto& [kind, count] : g_injected) {
            total += count;
            detail += (detail.empty() ? "" : ", ") + kind + " " + std::to_string(count);
        }
        const std::string line =
            "save faults injected: " + std::to_string(total) + " (" + detail +
            "); old files changed or temporaries left: " + std::to_string(g_lost);
        std::printf("%s\n", line.c_str());
        if (const char* folder = std::getenv("ORVALEN_FIGURES_DIR"))
            std::ofstream(fs::path(folder) / "save-faults.txt") << line << '\n';
    }
};

CFigures g_figures;

} // namespace
} // namespace orvalen
