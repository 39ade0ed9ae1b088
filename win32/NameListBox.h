#pragma once

// The name list on the window's list box (control 1000). The list box shows the names; this
// object keeps each entry's exact bytes beside it, so a name the code page cannot show in full
// still finds its contact. Entries go where the core's collation puts them, as in the Qt
// window, never where the list box's own sorting would.

#include "NameList.h"
#include "WideText.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace orvalen::win32 {

class CNameListBox final : public CNameList {
public:
    CNameListBox(const CWideCodec& codec, const CNameCollation& collation)
        : CNameList(collation), m_codec(codec) {}

    // Requires an empty list box; called once the dialog has made its controls.
    void Attach(HWND listBox) { m_listBox = listBox; }

    int AddString(std::string_view text) override;
    void DeleteString(int index) override;
    void ResetContent() override;
    int GetCount() const override { return static_cast<int>(m_entries.size()); }
    int GetCurSel() const override;
    void SetCurSel(int index) override;
    std::string GetText(int index) const override;

private:
    const CWideCodec& m_codec;
    HWND m_listBox = nullptr;
    std::vector<std::string> m_entries;
};

} // namespace orvalen::win32
