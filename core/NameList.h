#pragma once

#include "NameCollation.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

// The sorted list of names the user sees and selects in. The window's list control provides
// these operations; CMemoryNameList stands in for it without a window. Each list orders and
// matches names by the collation it is given, which stays the same for its life.
class CNameList {
public:
    explicit CNameList(const CNameCollation& collation) : m_collation(collation) {}
    virtual ~CNameList() = default;

    // Inserts after the entries that compare equal, so equal names keep their arrival order.
    virtual int AddString(std::string_view text) = 0;
    virtual void DeleteString(int index) = 0;
    virtual void ResetContent() = 0;
    virtual int GetCount() const = 0;
    virtual int GetCurSel() const = 0;
    // -1 removes the selection.
    virtual void SetCurSel(int index) = 0;
    virtual std::string GetText(int index) const = 0;

    // Selects the first entry after startAfter, wrapping round, that begins with prefix, and
    // gives its index; -1, with the selection unchanged, when none does.
    int SelectString(int startAfter, std::string_view prefix);

    const CNameCollation& Collation() const { return m_collation; }

protected:
    // Rules shared by every implementation, expressed through GetCount and GetText.
    int SortedInsertPosition(std::string_view text) const;

private:
    int FindPrefix(int startAfter, std::string_view prefix) const;

    CNameCollation m_collation;
};

class CMemoryNameList final : public CNameList {
public:
    explicit CMemoryNameList(const CNameCollation& collation = CNameCollation())
        : CNameList(collation) {}

    int AddString(std::string_view text) override;
    void DeleteString(int index) override;
    void ResetContent() override;
    int GetCount() const override { return static_cast<int>(m_entries.size()); }
    int GetCurSel() const override { return m_selection; }
    void SetCurSel(int index) override;
    std::string GetText(int index) const override;

private:
    std::vector<std::string> m_entries;
    int m_selection = -1;
};

} // namespace orvalen
