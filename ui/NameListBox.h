#pragma once

#include "NameList.h"
#include "TextCodec.h"

#include <QListWidget>

#include <string>
#include <string_view>

namespace orvalen {

// The window's name list. It is the only holder of the names and the selection: each item
// keeps its name's exact bytes, and the order is the core's, not Qt's sorting.
class CNameListBox final : public QListWidget, public CNameList {
    Q_OBJECT

public:
    CNameListBox(const CTextCodec& codec, const CNameCollation& collation, QWidget* parent);

    int AddString(std::string_view text) override;
    void DeleteString(int index) override;
    void ResetContent() override;
    int GetCount() const override;
    int GetCurSel() const override;
    void SetCurSel(int index) override;
    std::string GetText(int index) const override;

signals:
    // The user selected another entry, by mouse or keys; changes made by commands stay quiet.
    void SelectionChangedByUser();

protected:
    // Like a list box, a single-selection list the user cannot empty by clicking.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    // Marks the span of a command's change, so the selection signal does not run a command.
    class CQuiet {
    public:
        explicit CQuiet(CNameListBox& list) : m_list(list) { ++m_list.m_commandDepth; }
        ~CQuiet() { --m_list.m_commandDepth; }
        CQuiet(const CQuiet&) = delete;
        CQuiet& operator=(const CQuiet&) = delete;

    private:
        CNameListBox& m_list;
    };

    void OnSelectionChanged();

    const CTextCodec& m_codec;
    int m_commandDepth = 0;
};

} // namespace orvalen
