#include "ImportDialog.h"

#include "resource.h"

#include <commctrl.h>

#include <array>
#include <string>

namespace orvalen::win32 {
namespace {

// The list's columns: the six fields as they will be stored, then what was cut or left out.
struct Column {
    const wchar_t* title;
    int width; // dialog units
};
constexpr std::array<Column, kFieldCount + 1> kColumns = {{
    {L"Name", 70},
    {L"Mobile", 58},
    {L"Telephone", 58},
    {L"E-mail", 80},
    {L"QQ", 40},
    {L"Fax", 40},
    {L"Note", 120},
}};
constexpr int kNoteColumn = kFieldCount;

// The repeated-name choices in the order the box offers them; the first is the default.
struct RepeatedChoice {
    const wchar_t* text;
    RepeatedNames repeated;
};
constexpr std::array<RepeatedChoice, 3> kRepeatedChoices = {{
    {L"Update with their details", RepeatedNames::merge},
    {L"Skip them", RepeatedNames::skip},
    {L"Add them as well", RepeatedNames::addAsWell},
}};

// Character sets to read a file in when the guess was wrong: what phones and address books
// around the players' owners write.
constexpr std::array<const char*, 11> kEncodings = {
    "UTF-8",  "GB18030",  "GBK",      "BIG5",       "Shift_JIS",   "EUC-JP",
    "EUC-KR", "UTF-16LE", "UTF-16BE", "ISO-8859-1", "WINDOWS-1252"};

constexpr const wchar_t* kKnownNote = L"This name is already in the phone book.";

std::wstring Lowered(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring ItemText(HWND window, int id) {
    const int length = GetWindowTextLengthW(GetDlgItem(window, id));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetDlgItemTextW(window, id, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace

CImportDialog::CImportDialog(const CWideCodec& codec, int bookCount, ImportFile file,
                             ReReader reReader)
    : m_codec(codec), m_bookCount(bookCount), m_encoding(std::move(file.encoding)),
      m_reReader(std::move(reReader)) {
    SetRows(std::move(file.rows));
}

void CImportDialog::SetRows(std::vector<ImportRow> rows) {
    m_rows = std::move(rows);
    m_shown.clear();
    m_searchable.clear();
    m_shown.reserve(m_rows.size());
    m_searchable.reserve(m_rows.size());
    for (const ImportRow& row : m_rows) {
        std::vector<std::wstring> texts;
        std::wstring searchable;
        for (ContactField field : kAllFields) {
            texts.push_back(m_codec.ToDisplay(row.form[field]));
            // Between the fields a character no search can hold, so no match spans two.
            searchable += Lowered(texts.back()) + L'\n';
        }
        std::wstring note = Utf8ToUtf16(row.note);
        if (row.known)
            note += (note.empty() ? L"" : L" ") + std::wstring(kKnownNote);
        for (wchar_t& unit : note)
            if (unit == L'\n')
                unit = L' ';
        texts.push_back(std::move(note));
        m_shown.push_back(std::move(texts));
        m_searchable.push_back(std::move(searchable));
    }
    m_ticked = TicksWhileRoom(m_rows, kMaxContacts - m_bookCount);
}

std::optional<ImportChoice> CImportDialog::Run(HINSTANCE instance, HWND owner,
                                               const CWideCodec& codec, int bookCount,
                                               ImportFile file, ReReader reReader) {
    CImportDialog dialog(codec, bookCount, std::move(file), std::move(reReader));
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_IMPORT), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(&dialog));
    if (result != IDOK)
        return std::nullopt;
    return std::move(dialog.m_choice);
}

INT_PTR CALLBACK CImportDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<CImportDialog*>(lParam)->m_window = window;
    }
    auto* dialog = reinterpret_cast<CImportDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog == nullptr ? FALSE : dialog->OnMessage(message, wParam, lParam);
}

INT_PTR CImportDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            // OK is disabled while the ticked contacts do not fit; Enter must not pass it by.
            if (LOWORD(wParam) == IDOK && !IsWindowEnabled(GetDlgItem(m_window, IDOK)))
                return TRUE;
            // The choice is read while the dialog's controls still exist.
            if (LOWORD(wParam) == IDOK)
                m_choice = Chosen();
            SetWindowLongPtrW(m_window, DWLP_USER, 0);
            EndDialog(m_window, LOWORD(wParam));
            return TRUE;
        case IDC_IMPORT_SEARCH:
            if (HIWORD(wParam) == EN_CHANGE)
                ShowMatchingRows();
            return TRUE;
        case IDC_SELECT_ALL:
        case IDC_SELECT_NONE:
            if (HIWORD(wParam) == BN_CLICKED)
                TickShown(LOWORD(wParam) == IDC_SELECT_ALL);
            return TRUE;
        case IDC_ENCODING:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                ReadAgain();
            return TRUE;
        case IDC_REPEATED:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                UpdateCount();
            return TRUE;
        default:
            return FALSE;
        }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_IMPORT_LIST || header->code != LVN_ITEMCHANGED || m_filling)
            return FALSE;
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uChanged & LVIF_STATE) == 0 ||
            ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) == 0)
            return FALSE;
        const auto row = static_cast<std::size_t>(change->lParam);
        if (row < m_ticked.size()) {
            m_ticked[row] = ListView_GetCheckState(m_list, change->iItem) != FALSE;
            UpdateCount();
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void CImportDialog::OnInitDialog() {
    m_list = GetDlgItem(m_window, IDC_IMPORT_LIST);
    ListView_SetExtendedListViewStyle(m_list,
                                      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        RECT width{0, 0, kColumns[c].width, 0};
        MapDialogRect(m_window, &width);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[c].title);
        column.cx = width.right;
        column.iSubItem = static_cast<int>(c);
        ListView_InsertColumn(m_list, static_cast<int>(c), &column);
    }
    HWND repeated = GetDlgItem(m_window, IDC_REPEATED);
    for (const RepeatedChoice& choice : kRepeatedChoices)
        SendMessageW(repeated, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.text));
    SendMessageW(repeated, CB_SETCURSEL, 0, 0);
    OfferEncodings();
    ShowMatchingRows();
}

// The guess first, then the others; hidden when the file named its character set.
void CImportDialog::OfferEncodings() {
    const bool guessed = static_cast<bool>(m_reReader);
    for (const int id : {IDC_ENCODING_LABEL, IDC_ENCODING})
        ShowWindow(GetDlgItem(m_window, id), guessed ? SW_SHOW : SW_HIDE);
    if (!guessed)
        return;
    HWND box = GetDlgItem(m_window, IDC_ENCODING);
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToUtf16(m_encoding).c_str()));
    for (const char* name : kEncodings) {
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, -1, m_encoding.c_str(), -1) !=
            CSTR_EQUAL)
            SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToUtf16(name).c_str()));
    }
    SendMessageW(box, CB_SETCURSEL, 0, 0);
}

void CImportDialog::ReadAgain() {
    const std::wstring chosen = ItemText(m_window, IDC_ENCODING);
    const std::optional<std::string> encoding = Utf16ToUtf8(chosen);
    if (!m_reReader || !encoding || encoding->empty())
        return;
    std::optional<std::vector<ImportRow>> rows = m_reReader(*encoding, m_window);
    if (!rows) {
        // The box goes back to the character set the rows shown were read in.
        SendDlgItemMessageW(m_window, IDC_ENCODING, CB_SETCURSEL,
                            static_cast<WPARAM>(m_encodingChoice), 0);
        return;
    }
    m_encodingChoice =
        static_cast<int>(SendDlgItemMessageW(m_window, IDC_ENCODING, CB_GETCURSEL, 0, 0));
    SetRows(std::move(*rows));
    ShowMatchingRows();
}

void CImportDialog::ShowMatchingRows() {
    const std::wstring search = Lowered(ItemText(m_window, IDC_IMPORT_SEARCH));
    m_filling = true;
    SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(m_list);
    int item = 0;
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        if (!search.empty() && m_searchable[r].find(search) == std::wstring::npos)
            continue;
        LVITEMW entry{};
        entry.mask = LVIF_TEXT | LVIF_PARAM;
        entry.iItem = item;
        entry.pszText = const_cast<wchar_t*>(m_shown[r][0].c_str());
        entry.lParam = static_cast<LPARAM>(r);
        const int index = ListView_InsertItem(m_list, &entry);
        if (index < 0)
            continue;
        for (int c = 1; c <= kNoteColumn; ++c)
            ListView_SetItemText(
                m_list, index, c,
                const_cast<wchar_t*>(m_shown[r][static_cast<std::size_t>(c)].c_str()));
        ListView_SetCheckState(m_list, index, m_ticked[r] ? TRUE : FALSE);
        ++item;
    }
    SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
    m_filling = false;
    UpdateCount();
}

void CImportDialog::TickShown(bool ticked) {
    m_filling = true;
    const int count = ListView_GetItemCount(m_list);
    for (int item = 0; item < count; ++item) {
        LVITEMW entry{};
        entry.mask = LVIF_PARAM;
        entry.iItem = item;
        if (!ListView_GetItem(m_list, &entry))
            continue;
        m_ticked[static_cast<std::size_t>(entry.lParam)] = ticked;
        ListView_SetCheckState(m_list, item, ticked ? TRUE : FALSE);
    }
    m_filling = false;
    UpdateCount();
}

RepeatedNames CImportDialog::Repeated() const {
    const LRESULT choice = SendDlgItemMessageW(m_window, IDC_REPEATED, CB_GETCURSEL, 0, 0);
    if (choice < 0 || static_cast<std::size_t>(choice) >= kRepeatedChoices.size())
        return RepeatedNames::merge;
    return kRepeatedChoices[static_cast<std::size_t>(choice)].repeated;
}

void CImportDialog::UpdateCount() {
    int selected = 0;
    for (const bool ticked : m_ticked)
        selected += ticked ? 1 : 0;
    const int left = kMaxContacts - m_bookCount - PlacesNeeded(m_rows, m_ticked, Repeated());
    const std::wstring line = left >= 0
                                  ? std::to_wstring(selected) + L" selected \u00B7 " +
                                        std::to_wstring(left) + L" places left"
                                  : std::to_wstring(selected) + L" selected \u00B7 " +
                                        std::to_wstring(-left) + L" more than the places left";
    SetDlgItemTextW(m_window, IDC_IMPORT_COUNT, line.c_str());
    EnableWindow(GetDlgItem(m_window, IDOK), left >= 0 ? TRUE : FALSE);
}

ImportChoice CImportDialog::Chosen() const {
    ImportChoice choice;
    choice.repeated = Repeated();
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        if (m_ticked[r])
            choice.contacts.push_back(m_rows[r].form);
    return choice;
}

} // namespace orvalen::win32
