#include "ImportDialog.h"

#include "DialogLayout.h"
#include "QtTexts.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTableView>

#include <array>

namespace orvalen {
namespace {

constexpr int kKnownColumn = static_cast<int>(kFieldCount);
constexpr int kColumnCount = kKnownColumn + 1;

// Column headers and widths in dialog units.
struct Column {
    const CText& header;
    int width;
};
const std::array<Column, kColumnCount> kColumns = {{
    {texts::kColumnName, 78},
    {texts::kColumnMobile, 58},
    {texts::kColumnTelephone, 66},
    {texts::kColumnEmail, 84},
    {texts::kColumnQq, 42},
    {texts::kColumnFax, 42},
    {texts::kColumnInBook, 30},
}};

} // namespace

// The import model as Qt's views show it.
class CImportTableModel final : public QAbstractTableModel {
public:
    CImportTableModel(CImportModel& model, QObject* parent)
        : QAbstractTableModel(parent), m_model(model) {}

    CImportModel& Model() { return m_model; }
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void SetTicked(int row, bool ticked) {
        if (m_model.IsTicked(row) == ticked)
            return;
        m_model.SetTicked(row, ticked);
        const QModelIndex cell = index(row, 0);
        emit dataChanged(cell, cell, {Qt::CheckStateRole});
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : m_model.RowCount();
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kColumnCount;
    }

    QVariant data(const QModelIndex& cell, int role) const override {
        if (!cell.isValid())
            return {};
        const int row = cell.row();
        const int column = cell.column();
        switch (role) {
        case Qt::DisplayRole:
            if (column == kKnownColumn)
                return m_model.Row(row).known ? QtText(texts::kInBookMark) : QString();
            return FromUtf8(m_model.Shown(row)[static_cast<std::size_t>(column)]);
        case Qt::CheckStateRole:
            if (column == 0)
                return m_model.IsTicked(row) ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::DecorationRole:
            // The mark of a row whose data was cut or left out.
            if (column == 0 && !m_model.Row(row).notes.empty())
                return m_warning;
            return {};
        case Qt::ToolTipRole: {
            const std::string note = m_model.Note(row, "\n");
            return note.empty() ? QVariant() : QVariant(FromUtf8(note));
        }
        default:
            return {};
        }
    }

    bool setData(const QModelIndex& cell, const QVariant& value, int role) override {
        if (!cell.isValid() || cell.column() != 0 || role != Qt::CheckStateRole)
            return false;
        SetTicked(cell.row(), value.value<Qt::CheckState>() == Qt::Checked);
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& cell) const override {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (cell.column() == 0)
            flags |= Qt::ItemIsUserCheckable;
        return flags;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < kColumnCount)
            return QtText(kColumns[static_cast<std::size_t>(section)].header);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    void SetWarningIcon(QIcon icon) { m_warning = std::move(icon); }

private:
    CImportModel& m_model;
    QIcon m_warning;
};

// Shows the rows the model's search matches.
class CImportFilter final : public QSortFilterProxyModel {
public:
    CImportFilter(CImportModel& model, QObject* parent)
        : QSortFilterProxyModel(parent), m_model(model) {}

    void SetText(const QString& text) {
        m_model.SetSearch(text.toStdString());
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        return m_model.Matches(row);
    }

private:
    CImportModel& m_model;
};

CImportDialog::CImportDialog(CImportModel& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_table(new CImportTableModel(model, this)),
      m_filter(new CImportFilter(model, this)) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QtText(texts::kImportTitle));
    setFont(DialogFont());
    m_table->SetWarningIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    m_filter->setSourceModel(m_table);
    BuildControls();
    connect(m_table, &QAbstractItemModel::dataChanged, this, [this] { UpdateCount(); });
    connect(m_table, &QAbstractItemModel::modelReset, this, [this] { UpdateCount(); });
    UpdateCount();
}

CImportDialog::~CImportDialog() = default;

void CImportDialog::BuildControls() {
    const CDialogUnits units(font());
    setFixedSize(units.Size(420, 250));

    auto* searchLabel = new QLabel(QtText(texts::kSearchLabel), this);
    units.Place(*searchLabel, 7, 10, 30, 8);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("searchEdit"));
    m_search->setClearButtonEnabled(true);
    units.Place(*m_search, 38, 7, 150, 14);
    searchLabel->setBuddy(m_search);
    connect(m_search, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_filter->SetText(text); });

    // Shown only where the file's character set was guessed.
    auto* encodingLabel = new QLabel(QtText(texts::kEncodingLabel), this);
    units.Place(*encodingLabel, 240, 10, 60, 8);
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("encodingBox"));
    units.Place(*m_encoding, 302, 7, 111, 14);
    encodingLabel->setBuddy(m_encoding);
    for (const std::string& encoding : m_model.Encodings())
        m_encoding->addItem(QString::fromStdString(encoding));
    m_encoding->setCurrentIndex(m_model.EncodingIndex());
    encodingLabel->setVisible(!m_model.Encodings().empty());
    m_encoding->setVisible(!m_model.Encodings().empty());
    connect(m_encoding, &QComboBox::activated, this, &CImportDialog::ReadAgain);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("contactTable"));
    m_view->setModel(m_filter);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(units.Y(11));
    m_view->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < kColumnCount; ++c)
        m_view->setColumnWidth(c, units.X(kColumns[static_cast<std::size_t>(c)].width));
    m_view->horizontalHeader()->setStretchLastSection(true);
    units.Place(*m_view, 7, 26, 406, 160);
    m_view->installEventFilter(this);

    auto* selectAll = new QPushButton(QtText(texts::kSelectAll), this);
    selectAll->setObjectName(QStringLiteral("selectAllButton"));
    selectAll->setAutoDefault(false);
    units.Place(*selectAll, 7, 191, 60, 14);
    auto* selectNone = new QPushButton(QtText(texts::kSelectNone), this);
    selectNone->setObjectName(QStringLiteral("selectNoneButton"));
    selectNone->setAutoDefault(false);
    units.Place(*selectNone, 71, 191, 60, 14);
    connect(selectAll, &QPushButton::clicked, this, [this] { TickShown(true); });
    connect(selectNone, &QPushButton::clicked, this, [this] { TickShown(false); });

    m_countLine = new QLabel(this);
    m_countLine->setObjectName(QStringLiteral("countLine"));
    m_countLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    units.Place(*m_countLine, 140, 194, 273, 9);

    auto* repeatedLabel = new QLabel(QtText(texts::kRepeatedLabel), this);
    units.Place(*repeatedLabel, 7, 214, 120, 8);
    m_repeated = new QComboBox(this);
    m_repeated->setObjectName(QStringLiteral("repeatedBox"));
    repeatedLabel->setBuddy(m_repeated);
    for (const RepeatedChoice& choice : CImportModel::Choices())
        m_repeated->addItem(QtText(choice.text));
    m_repeated->setCurrentIndex(m_model.Choice());
    units.Place(*m_repeated, 128, 211, 110, 14);
    repeatedLabel->setBuddy(m_repeated);
    connect(m_repeated, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model.SetChoice(index);
        UpdateCount();
    });

    // Shown only where the file holds more contacts than one read keeps.
    m_rangeLine = new QLabel(this);
    m_rangeLine->setObjectName(QStringLiteral("rangeLine"));
    units.Place(*m_rangeLine, 7, 233, 172, 9);
    m_nextRange = new QPushButton(this);
    m_nextRange->setObjectName(QStringLiteral("nextRangeButton"));
    m_nextRange->setAutoDefault(false);
    units.Place(*m_nextRange, 182, 230, 100, 14);
    connect(m_nextRange, &QPushButton::clicked, this, &CImportDialog::ReadNextRange);
    ShowRange();

    m_ok = new QPushButton(QtText(texts::kOk), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    units.Place(*m_ok, 309, 230, 50, 14);
    auto* cancel = new QPushButton(QtText(texts::kCancel), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    units.Place(*cancel, 363, 230, 50, 14);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // As the controls stand, left to right and top to bottom.
    QWidget* order[] = {m_search,   m_encoding,  m_view, selectAll, selectNone,
                        m_repeated, m_nextRange, m_ok,   cancel};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    m_search->setFocus(Qt::OtherFocusReason);
}

bool CImportDialog::eventFilter(QObject* watched, QEvent* event) {
    // Space ticks or unticks the current row, whichever of its cells has the focus.
    if (watched == m_view && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        const QModelIndex current = m_view->currentIndex();
        if (current.isValid()) {
            const int row = m_filter->mapToSource(current).row();
            m_table->SetTicked(row, !m_model.IsTicked(row));
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CImportDialog::Refresh() {
    m_table->Reset();
    m_encoding->setCurrentIndex(m_model.EncodingIndex());
    ShowRange();
}

void CImportDialog::ShowRange() {
    const std::string line = m_model.RangeLine();
    const std::string next = m_model.NextRangeText();
    m_rangeLine->setText(FromUtf8(line));
    m_rangeLine->setVisible(!line.empty());
    m_nextRange->setText(FromUtf8(next));
    m_nextRange->setVisible(!next.empty());
}

void CImportDialog::ReadNextRange() {
    const CStatus status = m_model.ReadNextRange();
    if (!status)
        ShowFailure(this, Tr(texts::kImportError), status.Describe());
    Refresh();
}

void CImportDialog::ReadAgain(int index) {
    const CStatus status = m_model.ChooseEncoding(index);
    if (!status)
        ShowFailure(this, Tr(texts::kImportError), status.Describe());
    // After a failure the box goes back to the set the rows shown were read in.
    Refresh();
}

void CImportDialog::TickShown(bool ticked) {
    m_model.TickShown(ticked);
    m_view->viewport()->update();
    UpdateCount();
}

void CImportDialog::UpdateCount() {
    m_countLine->setText(QString::fromStdString(m_model.CountLine()));
    m_ok->setEnabled(m_model.CanAccept());
}

} // namespace orvalen
