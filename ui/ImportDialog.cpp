#include "ImportDialog.h"

#include "DialogLayout.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <array>
#include <set>
#include <string_view>

namespace orvalen {
namespace {

constexpr int kKnownColumn = static_cast<int>(kFieldCount);
constexpr int kColumnCount = kKnownColumn + 1;

// Column headers and widths in dialog units.
struct Column {
    const char* header;
    int width;
};
constexpr std::array<Column, kColumnCount> kColumns = {{
    //: Import dialog, header of the column of contacts' names.
    {QT_TRANSLATE_NOOP("Orvalen", "Name"), 78},
    //: Import dialog, header of the column of mobile numbers.
    {QT_TRANSLATE_NOOP("Orvalen", "Mobile"), 58},
    //: Import dialog, header of the column of (landline) telephone numbers.
    {QT_TRANSLATE_NOOP("Orvalen", "Telephone"), 66},
    //: Import dialog, header of the column of e-mail addresses.
    {QT_TRANSLATE_NOOP("Orvalen", "E-mail"), 84},
    //: Import dialog, header of the column of QQ (instant messenger) numbers; QQ is a name.
    {QT_TRANSLATE_NOOP("Orvalen", "QQ"), 42},
    //: Import dialog, header of the column of fax numbers.
    {QT_TRANSLATE_NOOP("Orvalen", "Fax"), 42},
    //: Import dialog, header of a narrow column marking contacts whose name is already in the
    //: phone book.
    {QT_TRANSLATE_NOOP("Orvalen", "In book"), 30},
}};

// The repeated-name choices in the order the box offers them; the first is the default.
struct RepeatedChoice {
    const char* text;
    RepeatedNames repeated;
};
constexpr std::array<RepeatedChoice, 3> kRepeatedChoices = {{
    //: Import dialog, choice for contacts whose name is already in the phone book: fill in
    //: the details the file has, keep the others.
    {QT_TRANSLATE_NOOP("Orvalen", "Update with their details"), RepeatedNames::merge},
    //: Import dialog, choice for contacts whose name is already in the phone book: leave them.
    {QT_TRANSLATE_NOOP("Orvalen", "Skip them"), RepeatedNames::skip},
    //: Import dialog, choice for contacts whose name is already in the phone book: add a
    //: second contact of the same name.
    {QT_TRANSLATE_NOOP("Orvalen", "Add them as well"), RepeatedNames::addAsWell},
}};

// Character sets to read a file in when the guess was wrong: what phones and address books
// around the players' owners write.
const char* const kEncodings[] = {"UTF-8",     "GB18030",    "GBK",         "BIG5",
                                  "Shift_JIS", "EUC-JP",     "EUC-KR",      "UTF-16LE",
                                  "UTF-16BE",  "ISO-8859-1", "WINDOWS-1252"};

} // namespace

// The rows, their ticks, and the texts shown, converted once for display and search.
class CImportModel final : public QAbstractTableModel {
public:
    CImportModel(const CTextCodec& codec, QObject* parent)
        : QAbstractTableModel(parent), m_codec(codec) {}

    void SetRows(std::vector<ImportRow> rows) {
        beginResetModel();
        m_rows = std::move(rows);
        m_shown.assign(m_rows.size(), {});
        m_tooltips.assign(m_rows.size(), {});
        m_ticked.assign(m_rows.size(), false);
        for (std::size_t r = 0; r < m_rows.size(); ++r) {
            for (ContactField field : kAllFields)
                m_shown[r][FieldIndex(field)] = m_codec.ToDisplay(m_rows[r].form[field]);
            QStringList tip;
            if (!m_rows[r].note.empty())
                tip << QString::fromStdString(m_rows[r].note);
            if (m_rows[r].known)
                //: Import dialog, tooltip of a contact whose name is already in the book.
                tip << QCoreApplication::translate("Orvalen",
                                                   "This name is already in the phone book.");
            m_tooltips[r] = tip.join(QLatin1Char('\n'));
        }
        endResetModel();
    }

    const std::vector<ImportRow>& Rows() const { return m_rows; }
    bool IsTicked(int row) const { return m_ticked[static_cast<std::size_t>(row)]; }
    void SetTicked(int row, bool ticked) {
        if (m_ticked[static_cast<std::size_t>(row)] == ticked)
            return;
        m_ticked[static_cast<std::size_t>(row)] = ticked;
        const QModelIndex cell = index(row, 0);
        emit dataChanged(cell, cell, {Qt::CheckStateRole});
    }
    // Whether any shown text of the row holds text, ignoring case.
    bool Matches(int row, const QString& text) const {
        for (const QString& shown : m_shown[static_cast<std::size_t>(row)]) {
            if (shown.contains(text, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

    // Places the ticked rows need when entered in file order, as the editor counts them: a name
    // already in the phone book, or entered earlier in the import, takes none unless it is added as
    // well.
    int PlacesNeeded(RepeatedNames repeated) const {
        return orvalen::PlacesNeeded(m_rows, m_ticked, repeated);
    }

    // Ticks rows in file order while they fit in room places under the default choice.
    void TickWhileRoom(int room) {
        m_ticked = TicksWhileRoom(m_rows, room);
        if (!m_rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kColumnCount;
    }

    QVariant data(const QModelIndex& cell, int role) const override {
        if (!cell.isValid())
            return {};
        const auto r = static_cast<std::size_t>(cell.row());
        const int column = cell.column();
        switch (role) {
        case Qt::DisplayRole:
            if (column == kKnownColumn)
                //: Import dialog, the mark in the "In book" column.
                return m_rows[r].known ? QCoreApplication::translate("Orvalen", "yes") : QString();
            return m_shown[r][static_cast<std::size_t>(column)];
        case Qt::CheckStateRole:
            if (column == 0)
                return m_ticked[r] ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::DecorationRole:
            // The mark of a row whose data was cut or left out.
            if (column == 0 && !m_rows[r].note.empty())
                return m_warning;
            return {};
        case Qt::ToolTipRole:
            if (m_tooltips[r].isEmpty())
                return {};
            return m_tooltips[r];
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
            return QCoreApplication::translate("Orvalen",
                                               kColumns[static_cast<std::size_t>(section)].header);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    void SetWarningIcon(QIcon icon) { m_warning = std::move(icon); }

private:
    const CTextCodec& m_codec;
    std::vector<ImportRow> m_rows;
    std::vector<std::array<QString, kFieldCount>> m_shown;
    std::vector<QString> m_tooltips;
    std::vector<bool> m_ticked;
    QIcon m_warning;
};

// Shows the rows whose name, numbers or e-mail hold the search text, ignoring case.
class CImportFilter final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetText(const QString& text) {
        m_text = text;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        return m_text.isEmpty() ||
               static_cast<const CImportModel*>(sourceModel())->Matches(row, m_text);
    }

private:
    QString m_text;
};

CImportDialog::CImportDialog(const CTextCodec& codec, int bookCount, QWidget* parent)
    : QDialog(parent), m_codec(codec), m_bookCount(bookCount),
      m_model(new CImportModel(m_codec, this)), m_filter(new CImportFilter(this)) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    //: Title of the dialog that picks contacts to import from a vCard or CSV file.
    setWindowTitle(QCoreApplication::translate("Orvalen", "导入联系人"));
    setFont(DialogFont());
    m_model->SetWarningIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    m_filter->setSourceModel(m_model);
    BuildControls();
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { UpdateCount(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { UpdateCount(); });
    UpdateCount();
}

CImportDialog::~CImportDialog() = default;

void CImportDialog::BuildControls() {
    const CDialogUnits units(font());
    setFixedSize(units.Size(420, 250));

    //: Import dialog, label of the box that filters the contacts shown; & marks the mnemonic.
    auto* searchLabel = new QLabel(QCoreApplication::translate("Orvalen", "&Search:"), this);
    units.Place(*searchLabel, 7, 10, 30, 8);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("searchEdit"));
    m_search->setClearButtonEnabled(true);
    units.Place(*m_search, 38, 7, 150, 14);
    searchLabel->setBuddy(m_search);
    connect(m_search, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_filter->SetText(text.trimmed()); });

    //: Import dialog, label of the box that reads the file again in another character set.
    m_encodingLabel = new QLabel(QCoreApplication::translate("Orvalen", "&Character set:"), this);
    units.Place(*m_encodingLabel, 240, 10, 60, 8);
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("encodingBox"));
    units.Place(*m_encoding, 302, 7, 111, 14);
    m_encodingLabel->setBuddy(m_encoding);
    m_encodingLabel->hide();
    m_encoding->hide();
    connect(m_encoding, &QComboBox::activated, this,
            [this] { emit EncodingChosen(m_encoding->currentText()); });

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("contactTable"));
    m_table->setModel(m_filter);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(units.Y(11));
    m_table->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < kColumnCount; ++c)
        m_table->setColumnWidth(c, units.X(kColumns[static_cast<std::size_t>(c)].width));
    m_table->horizontalHeader()->setStretchLastSection(true);
    units.Place(*m_table, 7, 26, 406, 160);
    m_table->installEventFilter(this);

    //: Import dialog, button that ticks every contact shown.
    auto* selectAll = new QPushButton(QCoreApplication::translate("Orvalen", "Select &all"), this);
    selectAll->setObjectName(QStringLiteral("selectAllButton"));
    selectAll->setAutoDefault(false);
    units.Place(*selectAll, 7, 191, 60, 14);
    //: Import dialog, button that unticks every contact shown.
    auto* selectNone =
        new QPushButton(QCoreApplication::translate("Orvalen", "Select &none"), this);
    selectNone->setObjectName(QStringLiteral("selectNoneButton"));
    selectNone->setAutoDefault(false);
    units.Place(*selectNone, 71, 191, 60, 14);
    connect(selectAll, &QPushButton::clicked, this, [this] { TickShown(true); });
    connect(selectNone, &QPushButton::clicked, this, [this] { TickShown(false); });

    m_countLine = new QLabel(this);
    m_countLine->setObjectName(QStringLiteral("countLine"));
    m_countLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    units.Place(*m_countLine, 140, 194, 273, 9);

    //: Import dialog, label of the choice of what to do with names already in the book.
    auto* repeatedLabel = new QLabel(
        QCoreApplication::translate("Orvalen", "Names already in the phone book:"), this);
    units.Place(*repeatedLabel, 7, 214, 120, 8);
    m_repeated = new QComboBox(this);
    m_repeated->setObjectName(QStringLiteral("repeatedBox"));
    for (const RepeatedChoice& choice : kRepeatedChoices)
        m_repeated->addItem(QCoreApplication::translate("Orvalen", choice.text));
    units.Place(*m_repeated, 128, 211, 110, 14);
    repeatedLabel->setBuddy(m_repeated);
    connect(m_repeated, &QComboBox::currentIndexChanged, this, [this] { UpdateCount(); });

    //: Import dialog, button that imports the ticked contacts.
    m_ok = new QPushButton(QCoreApplication::translate("Orvalen", "OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    units.Place(*m_ok, 309, 230, 50, 14);
    //: Import dialog, button that closes it without importing.
    auto* cancel = new QPushButton(QCoreApplication::translate("Orvalen", "Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    units.Place(*cancel, 363, 230, 50, 14);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    QWidget* order[] = {m_search,   m_table, selectAll, selectNone,
                        m_repeated, m_ok,    cancel,    m_encoding};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    m_search->setFocus(Qt::OtherFocusReason);
}

bool CImportDialog::eventFilter(QObject* watched, QEvent* event) {
    // Space ticks or unticks the current row, whichever of its cells has the focus.
    if (watched == m_table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        const QModelIndex current = m_table->currentIndex();
        if (current.isValid()) {
            const int row = m_filter->mapToSource(current).row();
            m_model->SetTicked(row, !m_model->IsTicked(row));
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CImportDialog::SetRows(std::vector<ImportRow> rows) {
    m_model->SetRows(std::move(rows));
    m_model->TickWhileRoom(kMaxContacts - m_bookCount);
}

void CImportDialog::OfferEncodings(const QString& guessed) {
    m_encoding->clear();
    m_encoding->addItem(guessed);
    for (const char* name : kEncodings) {
        const QString encoding = QString::fromLatin1(name);
        if (encoding.compare(guessed, Qt::CaseInsensitive) != 0)
            m_encoding->addItem(encoding);
    }
    m_encoding->setCurrentIndex(0);
    m_encodingLabel->show();
    m_encoding->show();
}

std::vector<ContactForm> CImportDialog::Chosen() const {
    std::vector<ContactForm> chosen;
    const std::vector<ImportRow>& rows = m_model->Rows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (m_model->IsTicked(static_cast<int>(r)))
            chosen.push_back(rows[r].form);
    }
    return chosen;
}

RepeatedNames CImportDialog::Repeated() const {
    const int choice = std::max(m_repeated->currentIndex(), 0);
    return kRepeatedChoices[static_cast<std::size_t>(choice)].repeated;
}

int CImportDialog::PlacesNeeded() const {
    return m_model->PlacesNeeded(Repeated());
}

void CImportDialog::TickShown(bool ticked) {
    // One count at the end, not one per row.
    const QSignalBlocker quiet(m_model);
    for (int r = 0; r < m_filter->rowCount(); ++r)
        m_model->SetTicked(m_filter->mapToSource(m_filter->index(r, 0)).row(), ticked);
    m_table->viewport()->update();
    UpdateCount();
}

void CImportDialog::UpdateCount() {
    int selected = 0;
    for (int r = 0; r < m_model->rowCount(); ++r)
        selected += m_model->IsTicked(r) ? 1 : 0;
    const int left = kMaxContacts - m_bookCount - PlacesNeeded();
    if (left >= 0)
        //: Import dialog, count line. %1 is the number of contacts ticked, %n the places the
        //: phone book (200 contacts) still has after importing them.
        m_countLine->setText(
            QCoreApplication::translate("Orvalen", "%1 selected · %n places left", nullptr, left)
                .arg(selected));
    else
        //: Import dialog, count line when the ticked contacts do not fit. %1 is the number of
        //: contacts ticked, %n how many more than the phone book can still take.
        m_countLine->setText(
            QCoreApplication::translate("Orvalen", "%1 selected · %n more than the places left",
                                        nullptr, -left)
                .arg(selected));
    m_ok->setEnabled(left >= 0);
}

} // namespace orvalen
