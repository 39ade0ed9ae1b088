#pragma once

// The main window without its window system: which command each button, key and menu item runs,
// what the window shows after it (the unsaved mark, what can be undone), the questions before
// unsaved changes are lost (closing, the end of the session, Load and a dropped phone book),
// dropped files, the import of contacts files with its dialog's model, and the export. Both
// windows route every event here; they keep only their widgets. Requires an editor and a view
// that outlive it, and a code page that is available.

#include "BookEditor.h"
#include "BookView.h"
#include "CodePage.h"
#include "ContactImport.h"
#include "ContactTable.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvalen {

class CImportModel;
struct ImportRequest;

// What the window shows of the phone book's state beside its contents.
struct BookState {
    bool modified = false; // the title's mark of unsaved changes
    bool canUndo = false;
    bool canRedo = false;
    friend bool operator==(const BookState&, const BookState&) = default;
};

// What the presenter needs of the main window beyond the commands' view. Texts are UTF-8 and
// translated; every call returns when the user has answered.
class IMainView : public IBookView {
public:
    // A warning with OK and Cancel, Cancel the default; true for OK.
    virtual bool AskQuestion(std::string_view text) = 0;
    // An error with OK; detail, when not empty, is the reason and the file under it.
    virtual void ShowError(std::string_view text, std::string_view detail) = 0;
    virtual void ShowBookState(const BookState& state) = 0;
    // The import dialog, modal, on model; true when the user pressed OK.
    virtual bool RunImportDialog(CImportModel& model) = 0;
    // Reads request off the window's thread (a CImportJob) and returns its result; meanwhile
    // the window repaints, takes no commands, and after about half a second shows the
    // progress with Cancel (then the result is StatusKind::cancelled). Closing the window or
    // ending the program cancels the read too.
    virtual CResult<ImportFile> ReadImport(const ImportRequest& request) = 0;
    // The About box; codePageLine names the player's code page.
    virtual void ShowAbout(std::string_view codePageLine) = 0;
};

enum class Command {
    add,
    remove,
    clear,
    load,
    save,
    saveAs,
    showSelected, // the user selected another name
    undo,
    redo,
    importContacts,
    exportContacts,
    about,
};

// What an import reads, copied so that the read may run on a worker thread while the window
// goes on: ReadForImport touches nothing else.
struct ImportRequest {
    std::filesystem::path path;
    CCodePage codePage;
    CContactTable book;    // for which names are already known
    std::string encoding;  // empty: what the file names, else a guess
    std::size_t first = 1; // the first contact read, in file order; kMaxKeptContacts from there
};
// cancel, when given, stops the read (StatusKind::cancelled); progress hears of each chunk
// read, on the reading thread.
CResult<ImportFile> ReadForImport(const ImportRequest& request, const CReadCancel* cancel = nullptr,
                                  std::function<void(std::uint64_t, std::uint64_t)> progress = {});

class CMainPresenter {
public:
    CMainPresenter(CBookEditor& editor, IMainView& view, const CCodePage& codePage);
    CMainPresenter(const CMainPresenter&) = delete;
    CMainPresenter& operator=(const CMainPresenter&) = delete;

    // Runs the command to its end, then shows the book's state.
    void Run(Command command);
    BookState State() const;
    void ShowState();

    // Closing the window, and the end of the session: true when nothing unsaved is lost or the
    // user agrees to lose it.
    bool MayClose();
    bool MayEndSession() { return MayClose(); }

    // Whether a file dropped on the window is one it opens: a .tel or a contacts file.
    static bool TakesFile(const std::filesystem::path& path);
    // Opens a file given to the window (dropped, or named on the command line) as the import
    // would after its chooser when it is a contacts file, else as Load would, which refuses
    // what is not a phone book; then shows the state.
    void OpenFile(const std::filesystem::path& path);
    // Load's steps after its chooser: the file is read and checked, then, with unsaved changes,
    // the user is asked, then the phone book is replaced.
    void LoadFile(const std::filesystem::path& path);
    // The import's steps after its chooser: read (through the view, off the window's thread),
    // then the dialog, then entry.
    void ImportFile(const std::filesystem::path& path);

    // The import split for a read on a worker thread: the request to hand to ReadForImport, and
    // what follows on the window's thread with its result (the dialog, the entry, the state).
    ImportRequest MakeImportRequest(const std::filesystem::path& path) const;
    void ContinueImport(const std::filesystem::path& path, CResult<orvalen::ImportFile> file);

private:
    void Load();
    void ImportContacts();
    void ExportContacts();
    // A text of ours as the choosers' filters take it: bytes of the code page.
    std::string FilterBytes(std::string_view utf8) const;

    CBookEditor& m_editor;
    IMainView& m_view;
    const CCodePage& m_codePage;
};

// The window's command line, without the program's name: "--encoding NAME" or
// "--encoding=NAME" names the player's code page (the last one given counts; an empty name when
// the value is missing), and at most one file, UTF-8, is to be opened. "--" ends the options; a
// lone "-" is a file name. An unknown option or a second file makes error the message to show,
// in the user's language; the window then does not open.
struct CommandLine {
    std::optional<std::string> encoding;
    std::optional<std::filesystem::path> file;
    std::string error;
};
CommandLine ParseCommandLine(std::span<const std::string> arguments);

} // namespace orvalen
