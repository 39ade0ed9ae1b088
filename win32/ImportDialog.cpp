#include "ImportDialog.h"

#include "WideText.h"
#include "WinTexts.h"
#include "resource.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <utility>

namespace orvalen::win32 {
namespace {

// The list's columns: the six fields as they will be stored, then what was cut or left out.
struct Column {
    const CText& title;
    int width; // dialog units
};
const std::array<Column, kFieldCount + 1> kColumns = {{
    {texts::kColumnName, 70},
    {texts::kColumnMobile, 58},
    {texts::kColumnTelephone, 58},
    {texts::kColumnEmail, 80},
    {texts::kColumnQq, 40},
    {texts::kColumnFax, 40},
    {texts::kColumnNote, 120},
}};
constexpr int kNoteColumn = kFieldCount;

// The dialog's own texts, from the catalogue.
const std::pair<int, const CText&> kControlTexts[] = {{IDC_SEARCH_LABEL, texts::kSearchLabel},
                                                      {IDC_ENCODING_LABEL, texts::kEncodingLabel},
                                                      {IDC_SELECT_ALL, texts::kSelectAll},
                                                      {IDC_SELECT_NONE, texts::kSelectNone},
                                                      {IDC_REPEATED_LABEL, texts::kRepeatedLabel},
                                                      {IDOK, texts::kOk},
                                                      {IDCANCEL, texts::kCancel}};

} // namespace

bool CImportDialog::Run(HINSTANCE instance, HWND owner) {
    return RunModal(instance, IDD_IMPORT, owner) == IDOK;
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
            if (LOWORD(wParam) == IDOK && !m_model.CanAccept())
                return TRUE;
            EndDialog(Window(), LOWORD(wParam));
            return TRUE;
        case IDC_IMPORT_SEARCH:
            if (HIWORD(wParam) == EN_CHANGE) {
                m_model.SetSearch(Utf16ToUtf8(ItemText(IDC_IMPORT_SEARCH)).value_or(""));
                ShowMatchingRows();
            }
            return TRUE;
        case IDC_SELECT_ALL:
        case IDC_SELECT_NONE:
            if (HIWORD(wParam) == BN_CLICKED)
                TickShown(LOWORD(wParam) == IDC_SELECT_ALL);
            return TRUE;
        case IDC_NEXT_RANGE:
            if (HIWORD(wParam) == BN_CLICKED)
                ReadNextRange();
            return TRUE;
        case IDC_ENCODING:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                ReadAgain();
            return TRUE;
        case IDC_REPEATED:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                m_model.SetChoice(static_cast<int>(
                    SendDlgItemMessageW(Window(), IDC_REPEATED, CB_GETCURSEL, 0, 0)));
                UpdateCount();
            }
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
        const auto row = static_cast<int>(change->lParam);
        if (row >= 0 && row < m_model.RowCount()) {
            m_model.SetTicked(row, ListView_GetCheckState(m_list, change->iItem) != FALSE);
            UpdateCount();
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void CImportDialog::OnInitDialog() {
    SetWindowTextW(Window(), WinText(texts::kImportTitle).c_str());
    for (const auto& [id, text] : kControlTexts)
        SetItemText(id, Tr(text));
    m_list = GetDlgItem(Window(), IDC_IMPORT_LIST);
    ListView_SetExtendedListViewStyle(m_list,
                                      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        RECT width{0, 0, kColumns[c].width, 0};
        MapDialogRect(Window(), &width);
        std::wstring title = WinText(kColumns[c].title);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title.data();
        column.cx = width.right;
        column.iSubItem = static_cast<int>(c);
        ListView_InsertColumn(m_list, static_cast<int>(c), &column);
    }
    HWND repeated = GetDlgItem(Window(), IDC_REPEATED);
    for (const RepeatedChoice& choice : CImportModel::Choices())
        SendMessageW(repeated, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(WinText(choice.text).c_str()));
    SendMessageW(repeated, CB_SETCURSEL, static_cast<WPARAM>(m_model.Choice()), 0);
    ShowEncodings();
    ShowRange();
    ShowMatchingRows();
}

// Shown only where the file holds more contacts than one read keeps.
void CImportDialog::ShowRange() {
    const std::string line = m_model.RangeLine();
    const std::string next = m_model.NextRangeText();
    SetItemText(IDC_RANGE_LINE, line);
    SetItemText(IDC_NEXT_RANGE, next);
    ShowWindow(GetDlgItem(Window(), IDC_RANGE_LINE), line.empty() ? SW_HIDE : SW_SHOW);
    ShowWindow(GetDlgItem(Window(), IDC_NEXT_RANGE), next.empty() ? SW_HIDE : SW_SHOW);
}

void CImportDialog::ReadNextRange() {
    const CStatus status = m_model.ReadNextRange();
    if (!status)
        ShowFailure(Window(), Tr(texts::kImportError), status.Describe());
    ShowRange();
    ShowMatchingRows();
}

// The set the rows were read in first, then the others; hidden when the file named its set.
void CImportDialog::ShowEncodings() {
    const bool offered = !m_model.Encodings().empty();
    for (const int id : {IDC_ENCODING_LABEL, IDC_ENCODING})
        ShowWindow(GetDlgItem(Window(), id), offered ? SW_SHOW : SW_HIDE);
    HWND box = GetDlgItem(Window(), IDC_ENCODING);
    for (const std::string& name : m_model.Encodings())
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToUtf16(name).c_str()));
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(m_model.EncodingIndex()), 0);
}

void CImportDialog::ReadAgain() {
    const auto chosen =
        static_cast<int>(SendDlgItemMessageW(Window(), IDC_ENCODING, CB_GETCURSEL, 0, 0));
    const CStatus status = m_model.ChooseEncoding(chosen);
    if (!status)
        ShowFailure(Window(), Tr(texts::kImportError), status.Describe());
    // After a failure the box goes back to the set the rows shown were read in.
    SendDlgItemMessageW(Window(), IDC_ENCODING, CB_SETCURSEL,
                        static_cast<WPARAM>(m_model.EncodingIndex()), 0);
    ShowMatchingRows();
}

void CImportDialog::ShowMatchingRows() {
    m_filling = true;
    SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(m_list);
    int item = 0;
    for (const int r : m_model.ShownRows()) {
        std::array<std::wstring, kFieldCount + 1> texts;
        for (std::size_t c = 0; c < kFieldCount; ++c)
            texts[c] = Utf8ToUtf16(m_model.Shown(r)[c]);
        texts[kNoteColumn] = Utf8ToUtf16(m_model.Note(r, " "));
        for (wchar_t& unit : texts[kNoteColumn])
            if (unit == L'\n')
                unit = L' ';
        LVITEMW entry{};
        entry.mask = LVIF_TEXT | LVIF_PARAM;
        entry.iItem = item;
        entry.pszText = texts[0].data();
        entry.lParam = static_cast<LPARAM>(r);
        const int index = ListView_InsertItem(m_list, &entry);
        if (index < 0)
            continue;
        for (int c = 1; c <= kNoteColumn; ++c)
            ListView_SetItemText(m_list, index, c, texts[static_cast<std::size_t>(c)].data());
        ListView_SetCheckState(m_list, index, m_model.IsTicked(r) ? TRUE : FALSE);
        ++item;
    }
    SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
    m_filling = false;
    UpdateCount();
}

void CImportDialog::TickShown(bool ticked) {
    m_model.TickShown(ticked);
    m_filling = true;
    const int count = ListView_GetItemCount(m_list);
    for (int item = 0; item < count; ++item)
        ListView_SetCheckState(m_list, item, ticked ? TRUE : FALSE);
    m_filling = false;
    UpdateCount();
}

void CImportDialog::UpdateCount() {
    SetItemText(IDC_IMPORT_COUNT, m_model.CountLine());
    EnableWindow(GetDlgItem(Window(), IDOK), m_model.CanAccept() ? TRUE : FALSE);
}

} // namespace orvalen::win32
