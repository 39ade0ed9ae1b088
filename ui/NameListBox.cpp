#include "NameListBox.h"

#include <QByteArray>

#include <memory>

namespace orvalen {
namespace {

constexpr int kBytesRole = Qt::UserRole;

} // namespace

CNameListBox::CNameListBox(const CTextCodec& codec, const CNameCollation& collation,
                           QWidget* parent)
    : QListWidget(parent), CNameList(collation), m_codec(codec) {
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemSelectionChanged, this, &CNameListBox::OnSelectionChanged);
}

int CNameListBox::AddString(std::string_view text) {
    const CQuiet quiet(*this);
    const int position = SortedInsertPosition(text);
    auto item = std::make_unique<QListWidgetItem>(m_codec.ToDisplay(text));
    item->setData(kBytesRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    insertItem(position, item.release());
    return position;
}

void CNameListBox::DeleteString(int index) {
    if (index < 0 || index >= GetCount())
        return;
    const CQuiet quiet(*this);
    const std::unique_ptr<QListWidgetItem> item(takeItem(index));
}

void CNameListBox::ResetContent() {
    const CQuiet quiet(*this);
    clear();
}

int CNameListBox::GetCount() const {
    return count();
}

int CNameListBox::GetCurSel() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CNameListBox::SetCurSel(int index) {
    const CQuiet quiet(*this);
    if (index < 0 || index >= GetCount()) {
        clearSelection();
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(index));
}

std::string CNameListBox::GetText(int index) const {
    const QListWidgetItem* entry = item(index);
    if (entry == nullptr)
        return {};
    return entry->data(kBytesRole).toByteArray().toStdString();
}

QItemSelectionModel::SelectionFlags CNameListBox::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    // Control-click would otherwise toggle the entry off.
    if (selectionModel()->isSelected(index))
        return QItemSelectionModel::NoUpdate;
    return QListWidget::selectionCommand(index, event) == QItemSelectionModel::NoUpdate
               ? QItemSelectionModel::NoUpdate
               : QItemSelectionModel::ClearAndSelect;
}

void CNameListBox::OnSelectionChanged() {
    if (m_commandDepth == 0 && GetCurSel() >= 0)
        emit SelectionChangedByUser();
}

} // namespace orvalen
