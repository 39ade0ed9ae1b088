#include "MainDialog.h"

#include "AboutDialog.h"
#include "AccessibleName.h"
#include "ContactImport.h"
#include "DeviceBookFile.h"
#include "ImportDialog.h"
#include "Messages.h"
#include "NameCollation.h"
#include "SaveCommand.h"
#include "TextReport.h"
#include "resource.h"

#include <commdlg.h>

#include <string>
#include <vector>

namespace orvalen::win32 {
namespace {

// The edits of the six fields, in the fields' order.
constexpr std::array<int, kFieldCount> kFieldIds = {IDC_NAME,  IDC_MOBILE, IDC_TELEPHONE,
                                                    IDC_EMAIL, IDC_QQ,     IDC_FAX};

// The fields' labels without their colons, for what a refused input says.
constexpr std::array<const wchar_t*, kFieldCount> kFieldLabels = {
    L"Name", L"Mobile", L"Telephone", L"E_mail", L"QQ", L"FAX"};

// Asked when the window is closed with unsaved changes, as the Qt window asks.

// The title, with a star while the phone book has unsaved changes.
constexpr const wchar_t* kTitle = L"Orvalen";
constexpr const wchar_t* kModifiedTitle = L"Orvalen*";

// The file choosers' options: explorer style, a hook, the read-only box shown (and ticked),
// and for saving a question before a file is replaced.
constexpr DWORD kSaveChooserFlags =
    OFN_EXPLORER | OFN_ENABLEHOOK | OFN_OVERWRITEPROMPT | OFN_READONLY;
constexpr DWORD kOpenChooserFlags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_READONLY;
static_assert(kSaveChooserFlags == 0x80023 && kOpenChooserFlags == 0x80021);

// The choosers of contacts files.
constexpr std::string_view kImportFilter = "vCard (*.vcf)|*.vcf|CSV (*.csv)|*.csv|All files (*)|*|";
constexpr std::string_view kExportFilter = "vCard 3.0 (*.vcf)|*.vcf|CSV (*.csv)|*.csv|";
constexpr std::string_view kImportError = "Cannot import contacts from this file.";

// Posted to the window after a drop, so that the program the file came from is not kept
// waiting while a dialog is open.
constexpr UINT kOpenDropped = WM_APP + 1;

// Room for any path the system takes: a chosen path is used whole, never cut.
constexpr std::size_t kPathRoom = 32768;

// The caption of messages: the program's file name without its extension.
std::wstring ApplicationName() {
    std::vector<wchar_t> path(kPathRoom);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return L"Orvalen";
    const std::filesystem::path file(std::wstring(path.data(), length));
    return file.stem().wstring();
}

std::wstring LoadText(HINSTANCE instance, UINT id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

// A text from the system: UTF-8 when it is valid UTF-8, else the ANSI code page's bytes.
std::wstring SystemText(std::string_view text) {
    if (IsValidUtf8(text))
        return Utf8ToUtf16(text);
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
    return wide;
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
      m_list(m_codec, CNameCollation(m_codec.CodePage())), m_editor(m_list, *this) {
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
    if (m_window != nullptr)
        DestroyWindow(m_window);
}

bool CMainDialog::Create() {
    m_window = CreateDialogParamW(m_instance, MAKEINTRESOURCEW(IDD_ORVALEN_DIALOG), nullptr,
                                  DialogProc, reinterpret_cast<LPARAM>(this));
    return m_window != nullptr;
}

bool CMainDialog::PreTranslate(MSG& msg) {
    if (m_window == nullptr || (msg.hwnd != m_window && !IsChild(m_window, msg.hwnd)))
        return false;
    // Control+Z in a field with typing of its own to undo undoes that typing, as in any edit;
    // elsewhere it undoes the last phone-book command.
    const bool ownUndo =
        msg.message == WM_KEYDOWN && msg.wParam == 'Z' && (GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
        FindEdit(GetDlgCtrlID(msg.hwnd)) && SendMessageW(msg.hwnd, EM_CANUNDO, 0, 0) != 0;
    if (!ownUndo && m_accelerators && TranslateAcceleratorW(m_window, m_accelerators.get(), &msg))
        return true;
    return IsDialogMessageW(m_window, &msg) != FALSE;
}

INT_PTR CALLBACK CMainDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CMainDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->m_window = window;
    }
    auto* dialog = reinterpret_cast<CMainDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (dialog == nullptr)
        return FALSE;
    return dialog->OnMessage(message, wParam, lParam);
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
    case kOpenDropped:
        OpenDropped();
        ShowBookState();
        return TRUE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_icon.get());
    case WM_CLOSE:
        Close();
        return TRUE;
    case WM_QUERYENDSESSION:
        // Logging off or shutting down asks as closing does.
        SetWindowLongPtrW(m_window, DWLP_MSGRESULT, MayClose() ? TRUE : FALSE);
        return TRUE;
    case WM_DESTROY:
        SetWindowLongPtrW(m_window, DWLP_USER, 0);
        m_window = nullptr;
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

void CMainDialog::OnInitDialog() {
    m_list.Attach(GetDlgItem(m_window, IDC_NAME_LIST));
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        m_edits[i].Attach(GetDlgItem(m_window, kFieldIds[i]), m_codec, kFieldLabels[i]);
    }
    // Screen readers would name each field by the label after it; name it by its own.
    NameControlsByLabels(m_window);
    // The empty form and a count of 0, which also sets the fields' limits.
    m_editor.WriteForm();
    AppendSystemMenuItems();
    DragAcceptFiles(m_window, TRUE);
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon.get()));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));
    ShowPicture();
}

void CMainDialog::AppendSystemMenuItems() {
    HMENU menu = GetSystemMenu(m_window, FALSE);
    const std::wstring about = LoadText(m_instance, IDS_ABOUTBOX);
    if (menu == nullptr || about.empty())
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
    AppendMenuW(menu, MF_STRING, IDM_UNDO, LoadText(m_instance, IDS_UNDO).c_str());
    AppendMenuW(menu, MF_STRING, IDM_REDO, LoadText(m_instance, IDS_REDO).c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_IMPORT, LoadText(m_instance, IDS_IMPORT).c_str());
    AppendMenuW(menu, MF_STRING, IDM_EXPORT, LoadText(m_instance, IDS_EXPORT).c_str());
}

// The picture drawn on the system's face colour: its grey background becomes that colour.
void CMainDialog::ShowPicture() {
    HWND picture = nullptr;
    EnumChildWindows(m_window, FindPicture, reinterpret_cast<LPARAM>(&picture));
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
        if (code == LBN_SELCHANGE) {
            m_editor.ShowSelected();
            ShowBookState();
        }
        return;
    }
    if (id == IDM_UNDO || id == IDM_REDO) {
        UndoOrRedo(id == IDM_UNDO);
        return;
    }
    if (code != BN_CLICKED)
        return;
    RunButton(id);
    ShowBookState();
}

void CMainDialog::RunButton(int id) {
    switch (id) {
    case IDC_ADD:
        m_editor.Add();
        break;
    case IDC_DELETE:
        m_editor.Delete();
        break;
    case IDC_CLEAR:
        m_editor.Clear();
        break;
    case IDC_LOAD:
        CDeviceBookFile::Load(m_editor);
        break;
    case IDC_SAVE:
        CDeviceBookFile::Save(m_editor);
        break;
    case IDC_SAVE_AS:
        CTextReport::SaveAs(m_editor);
        break;
    default:
        // IDOK and IDCANCEL, from Enter and Escape: neither closes the window, which would
        // lose a phone book typed and not yet saved.
        break;
    }
}

void CMainDialog::ShowBookState() {
    if (m_window != nullptr)
        SetWindowTextW(m_window, m_editor.IsModified() ? kModifiedTitle : kTitle);
}

bool CMainDialog::OnSystemCommand(WPARAM command) {
    switch (command & 0xFFF0) {
    case IDM_ABOUTBOX:
        CAboutDialog::Show(m_instance, m_window);
        return true;
    case IDM_UNDO:
    case IDM_REDO:
        UndoOrRedo((command & 0xFFF0) == IDM_UNDO);
        return true;
    case IDM_IMPORT:
        ImportContacts();
        ShowBookState();
        return true;
    case IDM_EXPORT:
        ExportContacts();
        ShowBookState();
        return true;
    default:
        return false;
    }
}

void CMainDialog::UndoOrRedo(bool undo) {
    if (undo && m_editor.CanUndo())
        m_editor.Undo();
    else if (!undo && m_editor.CanRedo())
        m_editor.Redo();
    else
        MessageBeep(MB_OK);
    ShowBookState();
}

void CMainDialog::ImportContacts() {
    if (const auto path = ChooseFile(FileMode::open, {}, kImportFilter))
        ImportFrom(*path);
}

void CMainDialog::ImportFrom(const std::filesystem::path& path) {
    CResult<ImportFile> file = ReadImportFile(path, m_codec.CodePage(), m_editor.Table());
    if (!file) {
        ShowImportError(m_window, file.Status());
        return;
    }
    ReReader reReader;
    if (file->guessed) {
        reReader = [this, &path](const std::string& encoding,
                                 HWND owner) -> std::optional<std::vector<ImportRow>> {
            CResult<ImportFile> again =
                ReadImportFile(path, m_codec.CodePage(), m_editor.Table(), encoding);
            if (!again) {
                ShowImportError(owner, again.Status());
                return std::nullopt;
            }
            return std::move(again->rows);
        };
    }
    const auto choice = CImportDialog::Run(m_instance, m_window, m_codec, m_editor.Table().Count(),
                                           std::move(*file), std::move(reReader));
    if (choice)
        m_editor.Import(choice->contacts, choice->repeated);
}

// The reason and the file (and the line, where the file's syntax failed), under the message.
void CMainDialog::ShowImportError(HWND owner, const CStatus& status) const {
    const std::wstring text = Utf8ToUtf16(kImportError) + L"\n\n" + SystemText(status.Describe());
    MessageBoxW(owner, text.c_str(), ApplicationName().c_str(), MB_ICONHAND | MB_OK);
}

void CMainDialog::ExportContacts() {
    orvalen::ExportContacts(m_editor, m_codec.CodePage(), kExportFilter);
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
    if (path.empty() || (!IsPhoneBookFile(path) && !IsContactsFile(path)))
        return;
    m_dropped = std::move(path);
    PostMessageW(m_window, kOpenDropped, 0, 0);
}

void CMainDialog::OpenDropped() {
    const std::filesystem::path path = std::move(m_dropped);
    m_dropped.clear();
    if (path.empty())
        return;
    if (IsPhoneBookFile(path))
        CDeviceBookFile::LoadFrom(m_editor, path);
    else
        ImportFrom(path);
}

void CMainDialog::OnInitMenuPopup(HMENU menu, bool isWindowMenu) {
    if (!isWindowMenu)
        return;
    EnableMenuItem(menu, IDM_UNDO, MF_BYCOMMAND | (m_editor.CanUndo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, IDM_REDO, MF_BYCOMMAND | (m_editor.CanRedo() ? MF_ENABLED : MF_GRAYED));
}

// While minimized, the client area shows the icon, centred.
bool CMainDialog::OnPaint() {
    if (!IsIconic(m_window))
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_window, &paint);
    SendMessageW(m_window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_window, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_icon.get());
    EndPaint(m_window, &paint);
    return true;
}

void CMainDialog::Close() {
    if (m_window != nullptr && MayClose())
        DestroyWindow(m_window);
}

bool CMainDialog::MayClose() {
    // Cancel is the default answer: a hasty Enter keeps the phone book.
    return !m_editor.IsModified() ||
           MessageBoxW(m_window, Utf8ToUtf16(messages::kCloseQuestion).c_str(),
                       ApplicationName().c_str(),
                       MB_ICONEXCLAMATION | MB_OKCANCEL | MB_DEFBUTTON2) == IDOK;
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
    SetDlgItemTextW(m_window, IDC_COUNT, std::to_wstring(count).c_str());
}

MessageResult CMainDialog::ShowMessage(std::string_view text, MessageIcon icon,
                                       MessageButtons buttons, std::string_view detail) {
    const UINT style = (icon == MessageIcon::error ? MB_ICONHAND : MB_ICONEXCLAMATION) |
                       (buttons == MessageButtons::okCancel ? MB_OKCANCEL : MB_OK);
    std::wstring shown = m_codec.ToDisplay(text);
    // The system's reason and the path, under the message: in UTF-8, or else in the ANSI code
    // page, as the system gave them (not in the player's).
    if (!detail.empty())
        shown += L"\n\n" + SystemText(detail);
    const int answer = MessageBoxW(m_window, shown.c_str(), ApplicationName().c_str(), style);
    return answer == IDOK ? MessageResult::ok : MessageResult::cancel;
}

std::optional<std::filesystem::path>
CMainDialog::ChooseFile(FileMode mode, std::string_view defaultName, std::string_view filter) {
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
    chooser.hwndOwner = m_window;
    chooser.hInstance = m_instance;
    chooser.lpstrFilter = filters.c_str();
    chooser.lpstrFile = file.data();
    chooser.nMaxFile = static_cast<DWORD>(file.size());
    chooser.Flags = mode == FileMode::save ? kSaveChooserFlags : kOpenChooserFlags;
    chooser.lpfnHook = ChooserHook;
    const BOOL chosen =
        mode == FileMode::save ? GetSaveFileNameW(&chooser) : GetOpenFileNameW(&chooser);
    if (!chosen) {
        // Zero when the user cancelled; otherwise the chooser itself failed, which the user
        // must hear of rather than take for a cancel.
        if (const DWORD error = CommDlgExtendedError(); error != 0) {
            const std::wstring text =
                L"The file chooser could not be shown (error " + std::to_wstring(error) + L").";
            MessageBoxW(m_window, text.c_str(), ApplicationName().c_str(), MB_ICONHAND | MB_OK);
        }
        return std::nullopt;
    }
    return std::filesystem::path(std::wstring(file.data()));
}

} // namespace orvalen::win32
