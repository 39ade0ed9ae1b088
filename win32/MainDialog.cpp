#include "MainDialog.h"

#include "AboutDialog.h"
#include "AccessibleName.h"
#include "ImportDialog.h"
#include "NameCollation.h"
#include "ReadProgress.h"
#include "WinTexts.h"
#include "resource.h"

#include <commdlg.h>

#include <string>
#include <utility>
#include <vector>

namespace orvalen::win32 {
namespace {

// The edits of the six fields, in the fields' order.
constexpr std::array<int, kFieldCount> kFieldIds = {IDC_NAME,  IDC_MOBILE, IDC_TELEPHONE,
                                                    IDC_EMAIL, IDC_QQ,     IDC_FAX};

// The command buttons and what they run.
constexpr std::pair<int, Command> kButtons[] = {
    {IDC_ADD, Command::add},   {IDC_DELETE, Command::remove}, {IDC_CLEAR, Command::clear},
    {IDC_LOAD, Command::load}, {IDC_SAVE, Command::save},     {IDC_SAVE_AS, Command::saveAs}};

// The title, with a star while the phone book has unsaved changes.
constexpr const wchar_t* kTitle = L"Orvalen";
constexpr const wchar_t* kModifiedTitle = L"Orvalen*";

// The file choosers' options: explorer style, a hook, the read-only box shown (and ticked),
// and for saving a question before a file is replaced.
constexpr DWORD kSaveChooserFlags =
    OFN_EXPLORER | OFN_ENABLEHOOK | OFN_OVERWRITEPROMPT | OFN_READONLY;
constexpr DWORD kOpenChooserFlags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_READONLY;
static_assert(kSaveChooserFlags == 0x80023 && kOpenChooserFlags == 0x80021);

// Posted to the window to open a file: after a drop, so that the program the file came from is
// not kept waiting while a dialog is open; at start, so that the window shows first.
constexpr UINT kOpenSoon = WM_APP + 1;

// Room for any path the system takes: a chosen path is used whole, never cut.
constexpr std::size_t kPathRoom = 32768;

std::wstring LoadText(HINSTANCE instance, UINT id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

// A system-menu item of ours with the keys that also run it.
std::wstring MenuItem(const CText& text, const wchar_t* keys) {
    return keys == nullptr ? WinText(text) : WinText(text) + L'\t' + keys;
}

// The chooser's hook: the chooser's own handling is all it needs.
UINT_PTR CALLBACK ChooserHook(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

BOOL CALLBACK FindPicture(HWND child, LPARAM found) {
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

} // namespace

CMainDialog::CMainDialog(HINSTANCE instance, CCodePage codePage)
    : m_instance(instance), m_codec(std::move(codePage)),
      m_list(m_codec, CNameCollation(m_codec.CodePage())), m_editor(m_list, *this),
      m_presenter(m_editor, *this, m_codec.CodePage()) {
    m_icon.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
    m_smallIcon.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    m_accelerators.reset(LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS)));
}

// The window goes before the icons and the picture it shows.
CMainDialog::~CMainDialog() {
    if (Window() != nullptr)
        DestroyWindow(Window());
}

bool CMainDialog::Create() {
    return CreateModeless(m_instance, IDD_ORVALEN_DIALOG, nullptr);
}

bool CMainDialog::PreTranslate(MSG& msg) {
    if (Window() == nullptr || (msg.hwnd != Window() && !IsChild(Window(), msg.hwnd)))
        return false;
    // Control+Z in a field with typing of its own to undo undoes that typing, as in any edit;
    // elsewhere it undoes the last phone-book command.
    const bool ownUndo =
        msg.message == WM_KEYDOWN && msg.wParam == 'Z' && (GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
        (GetKeyState(VK_SHIFT) & 0x8000) == 0 && FindEdit(GetDlgCtrlID(msg.hwnd)) &&
        SendMessageW(msg.hwnd, EM_CANUNDO, 0, 0) != 0;
    if (!ownUndo && m_accelerators && TranslateAcceleratorW(Window(), m_accelerators.get(), &msg))
        return true;
    return IsDialogMessageW(Window(), &msg) != FALSE;
}

INT_PTR CMainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        // The focus goes to the first control with a tab stop: the name list.
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        return OnSystemCommand(wParam) ? TRUE : FALSE;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0);
        return FALSE;
    case WM_PAINT:
        return OnPaint() ? TRUE : FALSE;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case kOpenSoon: {
        const std::filesystem::path path = std::move(m_toOpen);
        m_toOpen.clear();
        if (!path.empty())
            m_presenter.OpenFile(path);
        return TRUE;
    }
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_icon.get());
    case WM_CLOSE:
        Close();
        return TRUE;
    case WM_QUERYENDSESSION:
        // Logging off or shutting down asks as closing does.
        SetWindowLongPtrW(Window(), DWLP_MSGRESULT, m_presenter.MayEndSession() ? TRUE : FALSE);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

void CMainDialog::OnInitDialog() {
    m_list.Attach(GetDlgItem(Window(), IDC_NAME_LIST));
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        m_edits[i].Attach(GetDlgItem(Window(), kFieldIds[i]), m_codec, kAllFields[i]);
    }
    // Screen readers would name each field by the label after it; name it by its own.
    NameControlsByLabels(Window());
    // The empty form and a count of 0, which also sets the fields' limits.
    m_editor.WriteForm();
    AppendSystemMenuItems();
    DragAcceptFiles(Window(), TRUE);
    SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon.get()));
    SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));
    ShowPicture();
}

void CMainDialog::AppendSystemMenuItems() {
    HMENU menu = GetSystemMenu(Window(), FALSE);
    const std::wstring about = LoadText(m_instance, IDS_ABOUTBOX);
    if (menu == nullptr || about.empty())
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
    AppendMenuW(menu, MF_STRING, IDM_UNDO, MenuItem(texts::kUndoItem, L"Ctrl+Z").c_str());
    AppendMenuW(menu, MF_STRING, IDM_REDO, MenuItem(texts::kRedoItem, L"Ctrl+Y").c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_IMPORT, MenuItem(texts::kImportItem, nullptr).c_str());
    AppendMenuW(menu, MF_STRING, IDM_EXPORT, MenuItem(texts::kExportItem, nullptr).c_str());
}

// The picture drawn on the system's face colour: its grey background becomes that colour.
void CMainDialog::ShowPicture() {
    HWND picture = nullptr;
    EnumChildWindows(Window(), FindPicture, reinterpret_cast<LPARAM>(&picture));
    m_picture.reset(static_cast<HBITMAP>(LoadImageW(m_instance, MAKEINTRESOURCEW(IDB_PICTURE),
                                                    IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    if (picture == nullptr || !m_picture)
        return;
    // The control gives back the picture it loaded from the template, which is ours to free.
    CBitmap previous(reinterpret_cast<HBITMAP>(SendMessageW(
        picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_picture.get()))));
    if (previous.get() == m_picture.get())
        static_cast<void>(previous.release());
}

void CMainDialog::OnCommand(int id, int code) {
    if (CByteLimitedEdit* edit = FindEdit(id)) {
        if (code == EN_CHANGE)
            edit->OnChange();
        else if (code == EN_MAXTEXT)
            edit->OnMaxText();
        return;
    }
    if (id == IDC_NAME_LIST) {
        // Sent for the user's selections only, never for a command's.
        if (code == LBN_SELCHANGE)
            m_presenter.Run(Command::showSelected);
        return;
    }
    if (id == IDM_UNDO || id == IDM_REDO) {
        UndoOrRedo(id == IDM_UNDO);
        return;
    }
    if (code != BN_CLICKED)
        return;
    // IDOK and IDCANCEL, from Enter and Escape, run nothing: closing the window would lose a
    // phone book typed and not yet saved.
    for (const auto& [button, command] : kButtons)
        if (button == id)
            m_presenter.Run(command);
}

void CMainDialog::ShowBookState(const BookState& state) {
    if (Window() != nullptr)
        SetWindowTextW(Window(), state.modified ? kModifiedTitle : kTitle);
}

bool CMainDialog::OnSystemCommand(WPARAM command) {
    switch (command & 0xFFF0) {
    case IDM_ABOUTBOX:
        m_presenter.Run(Command::about);
        return true;
    case IDM_UNDO:
    case IDM_REDO:
        UndoOrRedo((command & 0xFFF0) == IDM_UNDO);
        return true;
    case IDM_IMPORT:
        m_presenter.Run(Command::importContacts);
        return true;
    case IDM_EXPORT:
        m_presenter.Run(Command::exportContacts);
        return true;
    default:
        return false;
    }
}

void CMainDialog::UndoOrRedo(bool undo) {
    if (undo ? m_editor.CanUndo() : m_editor.CanRedo())
        m_presenter.Run(undo ? Command::undo : Command::redo);
    else
        MessageBeep(MB_OK);
}

bool CMainDialog::AskQuestion(std::string_view text) {
    // Cancel is the default answer: a hasty Enter keeps the phone book.
    return MessageBoxW(Window(), Utf8ToUtf16(text).c_str(), ApplicationName().c_str(),
                       MB_ICONEXCLAMATION | MB_OKCANCEL | MB_DEFBUTTON2) == IDOK;
}

// The reason and the file (and the line, where the file's syntax failed), under the message.
void CMainDialog::ShowError(std::string_view text, std::string_view detail) {
    ShowFailure(Window(), text, detail);
}

bool CMainDialog::RunImportDialog(CImportModel& model) {
    return CImportDialog(model).Run(m_instance, Window());
}

CResult<ImportFile> CMainDialog::ReadImport(const ImportRequest& request) {
    // Over the window the user is in: this one, or the import dialog reading again.
    HWND active = GetActiveWindow();
    HWND owner =
        active != nullptr && (active == Window() || GetWindow(active, GW_OWNER) == Window())
            ? active
            : Window();
    return CReadProgress::Run(m_instance, owner, request);
}

void CMainDialog::ShowAbout(std::string_view codePageLine) {
    CAboutDialog::Show(m_instance, Window(), codePageLine);
}

void CMainDialog::OnDropFiles(HDROP drop) {
    // One file at a time: of several dropped at once, none is taken.
    std::filesystem::path path;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
        if (length > 0 && DragQueryFileW(drop, 0, name.data(), length + 1) == length) {
            name.resize(length);
            path = std::filesystem::path(name);
        }
    }
    DragFinish(drop);
    if (path.empty() || !CMainPresenter::TakesFile(path))
        return;
    OpenSoon(std::move(path));
}

void CMainDialog::OpenSoon(std::filesystem::path path) {
    m_toOpen = std::move(path);
    PostMessageW(Window(), kOpenSoon, 0, 0);
}

void CMainDialog::OnInitMenuPopup(HMENU menu, bool isWindowMenu) {
    if (!isWindowMenu)
        return;
    EnableMenuItem(menu, IDM_UNDO, MF_BYCOMMAND | (m_editor.CanUndo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, IDM_REDO, MF_BYCOMMAND | (m_editor.CanRedo() ? MF_ENABLED : MF_GRAYED));
}

// While minimized, the client area shows the icon, centred.
bool CMainDialog::OnPaint() {
    if (!IsIconic(Window()))
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Window(), &paint);
    SendMessageW(Window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Window(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_icon.get());
    EndPaint(Window(), &paint);
    return true;
}

void CMainDialog::Close() {
    if (Window() != nullptr && m_presenter.MayClose())
        DestroyWindow(Window());
}

CByteLimitedEdit* CMainDialog::FindEdit(int id) {
    for (std::size_t i = 0; i < kFieldCount; ++i)
        if (kFieldIds[i] == id)
            return &m_edits[i];
    return nullptr;
}

void CMainDialog::ReadForm(ContactForm& form) {
    for (ContactField field : kAllFields)
        form[field] = m_edits[FieldIndex(field)].Bytes();
}

void CMainDialog::WriteForm(const ContactForm& form, int count) {
    for (ContactField field : kAllFields) {
        CByteLimitedEdit& edit = m_edits[FieldIndex(field)];
        edit.SetByteLimit(MaxLength(field));
        edit.SetBytes(form[field]);
    }
    SetDlgItemTextW(Window(), IDC_COUNT, std::to_wstring(count).c_str());
}

MessageResult CMainDialog::ShowMessage(std::string_view text, MessageIcon icon,
                                       MessageButtons buttons, std::string_view detail) {
    const UINT style = (icon == MessageIcon::error ? MB_ICONHAND : MB_ICONEXCLAMATION) |
                       (buttons == MessageButtons::okCancel ? MB_OKCANCEL : MB_OK);
    // Ours in the user's language, the written ones as they stand.
    const auto added = TrAddedMessage(text);
    std::wstring shown = added ? Utf8ToUtf16(*added) : m_codec.ToDisplay(text);
    // The system's reason and the path, under the message: in UTF-8, or else in the ANSI code
    // page, as the system gave them (not in the player's).
    if (!detail.empty())
        shown += L"\n\n" + SystemText(detail);
    const int answer = MessageBoxW(Window(), shown.c_str(), ApplicationName().c_str(), style);
    return answer == IDOK ? MessageResult::ok : MessageResult::cancel;
}

std::optional<std::filesystem::path> CMainDialog::ChooseFile(FileMode mode,
                                                             std::string_view defaultName,
                                                             std::string_view filter,
                                                             const std::filesystem::path& folder) {
    // "description|pattern|" becomes the chooser's list of zero-ended texts, ended twice.
    std::wstring filters = m_codec.ToDisplay(filter);
    for (wchar_t& unit : filters)
        if (unit == L'|')
            unit = L'\0';
    filters.push_back(L'\0');

    // A new chooser each time, so the same name is proposed and nothing is remembered.
    std::vector<wchar_t> file(kPathRoom, L'\0');
    const std::wstring proposed = m_codec.ToDisplay(defaultName);
    proposed.copy(file.data(), std::min(proposed.size(), file.size() - 1));

    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = Window();
    chooser.hInstance = m_instance;
    chooser.lpstrFilter = filters.c_str();
    chooser.lpstrFile = file.data();
    // The player's root, when one was found; else where the chooser opens by itself.
    const std::wstring initialFolder = folder.wstring();
    chooser.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    chooser.nMaxFile = static_cast<DWORD>(file.size());
    chooser.Flags = mode == FileMode::save ? kSaveChooserFlags : kOpenChooserFlags;
    chooser.lpfnHook = ChooserHook;
    const BOOL chosen =
        mode == FileMode::save ? GetSaveFileNameW(&chooser) : GetOpenFileNameW(&chooser);
    if (!chosen) {
        // Zero when the user cancelled; otherwise the chooser itself failed, which the user
        // must hear of rather than take for a cancel.
        if (const DWORD error = CommDlgExtendedError(); error != 0) {
            ShowFailure(Window(), Tr(texts::kChooserFailed, {std::to_string(error)}), {});
        }
        return std::nullopt;
    }
    return std::filesystem::path(std::wstring(file.data()));
}

} // namespace orvalen::win32
