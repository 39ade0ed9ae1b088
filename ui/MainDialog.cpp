#include "MainDialog.h"

#include "AboutDialog.h"
#include "ByteLimitedEdit.h"
#include "DialogLayout.h"
#include "FieldInput.h"
#include "ImportDialog.h"
#include "ImportJob.h"
#include "NameCollation.h"
#include "NameListBox.h"
#include "QtTexts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSessionManager>
#include <QTimer>

#include <algorithm>
#include <array>
#include <string>

// Outside any namespace, as the macro requires.
static void LoadResources() {
#if defined(ORVALEN_HAVE_RESOURCES)
    Q_INIT_RESOURCE(orvalen);
#endif
}

namespace orvalen {
namespace {

const char* const kAboutItem = "关于 Orvalen(&A)...";

// A read that ends sooner shows no progress: the dialog would only flash.
constexpr int kProgressAfterMs = 500;
constexpr int kProgressTickMs = 100;
constexpr int kProgressSteps = 1000;

// A path the window system gave, as the file code takes it.
std::filesystem::path PathOf(const QString& file) {
#if defined(_WIN32)
    return std::filesystem::path(file.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(file).toStdString());
#endif
}

// The one file of a drag, when it is a file the window takes.
std::optional<std::filesystem::path> DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().first().isLocalFile())
        return std::nullopt;
    std::filesystem::path path = PathOf(data->urls().first().toLocalFile());
    if (!CMainPresenter::TakesFile(path))
        return std::nullopt;
    return path;
}

// Where each field's label and edit sit, in dialog units.
struct FieldPlace {
    const char* name;
    int labelX, labelY, labelWidth, labelHeight;
    int editY;
};

constexpr std::array<FieldPlace, kFieldCount> kFieldPlaces = {{
    {"nameEdit", 45, 34, 21, 9, 29},
    {"mobileEdit", 37, 56, 30, 9, 52},
    {"telephoneEdit", 26, 80, 39, 9, 75},
    {"emailEdit", 38, 106, 29, 10, 100},
    {"qqEdit", 53, 132, 13, 9, 126},
    {"faxEdit", 49, 156, 18, 9, 151},
}};

// The window's icon: the 16, 32 and 48 pixel images of the program's icon. QIcon decodes every
// image it is given while the window is made; the 256-pixel one, for the desktop entry, took
// longer than building all the window's controls.
QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        const QString path = QStringLiteral(":/icons/orvalen-%1.png").arg(size);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}

} // namespace

CMainDialog::CMainDialog(CCodePage codePage, QWidget* parent)
    : QDialog(parent), m_codec(std::move(codePage)),
      m_list(new CNameListBox(m_codec, CNameCollation(m_codec.CodePage()), this)),
      m_editor(*m_list, *this), m_presenter(m_editor, *this, m_codec.CodePage()) {
    LoadResources();

    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // [*] is where the platform shows that the document has unsaved changes.
    setWindowTitle(QStringLiteral("Orvalen[*]"));
    setWindowIcon(ProgramIcon());
    setFont(DialogFont());
    setAcceptDrops(true);
    BuildControls();
    BuildUndoActions();
    // Logging off or shutting down asks as closing does, where the session manager lets it.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (manager.allowsInteraction()) {
            if (!m_presenter.MayEndSession())
                manager.cancel();
            manager.release();
        }
    });

    // As the dialog starts: the empty form and a count of 0, which also sets the limits.
    m_editor.WriteForm();
    m_list->setFocus(Qt::OtherFocusReason);
}

QPushButton* CMainDialog::AddButton(const CDialogUnits& units, const QString& text,
                                    const char* name, int x, int y) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    // No default button: Enter pushes only the button that has the focus.
    button->setAutoDefault(false);
    button->setDefault(false);
    units.Place(*button, x, y, 51, 15);
    return button;
}

void CMainDialog::BuildControls() {
    const CDialogUnits units(font());
    setFixedSize(units.Size(408, 225));

    auto* group = new QGroupBox(QStringLiteral("Person Message"), this);
    units.Place(*group, 15, 15, 178, 163);
    group->lower();

    auto* preview = new QLabel(QStringLiteral("Name Preview:"), this);
    units.Place(*preview, 281, 15, 52, 10);

    m_list->setObjectName(QStringLiteral("nameList"));
    units.Place(*m_list, 281, 29, 108, 148);
    connect(m_list, &CNameListBox::SelectionChangedByUser, this, Run(Command::showSelected));

    QPushButton* add = AddButton(units, QStringLiteral("Add >>"), "addButton", 213, 84);
    QPushButton* remove = AddButton(units, QStringLiteral("Delete <<"), "deleteButton", 213, 109);
    QPushButton* clear = AddButton(units, QStringLiteral("Clear"), "clearButton", 213, 133);
    connect(add, &QPushButton::clicked, this, Run(Command::add));
    connect(remove, &QPushButton::clicked, this, Run(Command::remove));
    connect(clear, &QPushButton::clicked, this, Run(Command::clear));

    auto* total = new QLabel(QStringLiteral("Total(0-200):"), this);
    units.Place(*total, 290, 192, 54, 10);
    m_count = new QLineEdit(this);
    m_count->setObjectName(QStringLiteral("countDisplay"));
    m_count->setReadOnly(true);
    m_count->setAlignment(Qt::AlignCenter);
    units.Place(*m_count, 352, 191, 31, 15);

    QPushButton* load = AddButton(units, QStringLiteral("Load"), "loadButton", 15, 191);
    QPushButton* save = AddButton(units, QStringLiteral("Save"), "saveButton", 79, 191);
    QPushButton* saveAs = AddButton(units, QStringLiteral("Save As"), "saveAsButton", 145, 191);
    connect(load, &QPushButton::clicked, this, Run(Command::load));
    connect(save, &QPushButton::clicked, this, Run(Command::save));
    connect(saveAs, &QPushButton::clicked, this, Run(Command::saveAs));

    std::array<QLabel*, kFieldCount> fieldLabels{};
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const FieldPlace& place = kFieldPlaces[i];
        auto* label = new QLabel(FromUtf8(FormLabel(kAllFields[i])), this);
        fieldLabels[i] = label;
        units.Place(*label, place.labelX, place.labelY, place.labelWidth, place.labelHeight);
    }
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        auto* edit = new CByteLimitedEdit(m_codec, kAllFields[i], this);
        edit->setObjectName(QLatin1String(kFieldPlaces[i].name));
        units.Place(*edit, 74, kFieldPlaces[i].editY, 107, 15);
        m_edits[i] = edit;
    }

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/picture.png")));
    picture->setAlignment(Qt::AlignCenter);
    units.Place(*picture, 225, 43, 24, 20);

    // The order of the controls: list, buttons, count display, file buttons, then the fields.
    QWidget* order[] = {m_list,     add,        remove,     clear,      m_count,
                        load,       save,       saveAs,     m_edits[0], m_edits[1],
                        m_edits[2], m_edits[3], m_edits[4], m_edits[5]};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    // Screen readers name each field, the list and the count by its written label.
    const auto nameBy = [](QLabel* label, QWidget* control) {
        label->setBuddy(control);
        control->setAccessibleName(label->text());
    };
    for (std::size_t i = 0; i < kFieldCount; ++i)
        nameBy(fieldLabels[i], m_edits[i]);
    nameBy(preview, m_list);
    nameBy(total, m_count);
}

void CMainDialog::ReadForm(ContactForm& form) {
    for (ContactField field : kAllFields)
        form[field] = m_edits[FieldIndex(field)]->Bytes();
}

void CMainDialog::WriteForm(const ContactForm& form, int count) {
    for (ContactField field : kAllFields) {
        CByteLimitedEdit& edit = *m_edits[FieldIndex(field)];
        edit.SetByteLimit(MaxLength(field));
        edit.SetBytes(form[field]);
    }
    m_count->setText(QString::number(count));
}

QString CMainDialog::ShownMessage(std::string_view text) const {
    if (const auto added = TrAddedMessage(text))
        return FromUtf8(*added);
    return m_codec.ToDisplay(text);
}

MessageResult CMainDialog::ShowMessage(std::string_view text, MessageIcon icon,
                                       MessageButtons buttons, std::string_view detail) {
    QMessageBox box(icon == MessageIcon::error ? QMessageBox::Critical : QMessageBox::Warning,
                    ApplicationName(), ShownMessage(text),
                    buttons == MessageButtons::okCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok,
                    this);
    // The system's reason and the path, in the system's own encoding (not the player's).
    if (!detail.empty())
        box.setInformativeText(
            QString::fromLocal8Bit(detail.data(), static_cast<qsizetype>(detail.size())));
    box.setDefaultButton(QMessageBox::Ok);
    PrepareMessageBox(box);
    return box.exec() == QMessageBox::Ok ? MessageResult::ok : MessageResult::cancel;
}

QStringList CMainDialog::NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            break;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "ZUM orvalen file(*.tel)" already names its pattern, where the dialog finds it.
        const bool named =
            parts[i].endsWith(QLatin1Char('(') + patterns + QLatin1Char(')'), Qt::CaseInsensitive);
        filters << (named ? parts[i] : QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    return filters;
}

std::optional<std::filesystem::path> CMainDialog::ChooseFile(FileMode mode,
                                                             std::string_view defaultName,
                                                             std::string_view filter,
                                                             const std::filesystem::path& folder) {
    // A new chooser each time, so nothing is remembered between uses.
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode == FileMode::save ? QFileDialog::AcceptSave
                                                : QFileDialog::AcceptOpen);
    // AnyFile also lets the open chooser take a name that does not exist; Load reports it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters(m_codec.ToDisplay(filter)));
    // The player and Windows write "TEL_EXPT.TEL" as readily as "Tel_Expt.tel".
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (!folder.empty()) {
#if defined(_WIN32)
        dialog.setDirectory(QString::fromStdWString(folder.wstring()));
#else
        dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(folder.string())));
#endif
    }
    dialog.selectFile(m_codec.ToDisplay(defaultName));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return PathOf(chosen.first());
}

void CMainDialog::keyPressEvent(QKeyEvent* event) {
    // Escape cancels message boxes and choosers; here it would end the program and lose a
    // phone book typed and not yet saved.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // Enter pushes a focused button and otherwise does nothing: it never ends the
        // program, which would lose a phone book typed and not yet saved.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CMainDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("windowMenu"));
    const QAction* about = menu.addAction(QString::fromUtf8(kAboutItem));
    menu.addSeparator();
    menu.addAction(m_undo);
    menu.addAction(m_redo);
    menu.addSeparator();
    const QAction* import = menu.addAction(QtText(texts::kImportItem));
    const QAction* exportItem = menu.addAction(QtText(texts::kExportItem));
    const QAction* chosen = menu.exec(event->globalPos());
    if (chosen == about)
        m_presenter.Run(Command::about);
    else if (chosen == import)
        m_presenter.Run(Command::importContacts);
    else if (chosen == exportItem)
        m_presenter.Run(Command::exportContacts);
}

void CMainDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFile(event->mimeData()))
        event->acceptProposedAction();
}

void CMainDialog::dropEvent(QDropEvent* event) {
    const auto path = DroppedFile(event->mimeData());
    if (!path)
        return;
    event->acceptProposedAction();
    // After the drop has ended, so that the program the file came from is not kept waiting
    // while a dialog is open.
    QMetaObject::invokeMethod(
        this, [this, file = *path] { m_presenter.OpenFile(file); }, Qt::QueuedConnection);
}

bool CMainDialog::AskQuestion(std::string_view text) {
    QMessageBox box(QMessageBox::Warning, ApplicationName(), FromUtf8(text),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("question"));
    // Cancel is the default answer: a hasty Enter keeps the phone book.
    box.setDefaultButton(QMessageBox::Cancel);
    PrepareMessageBox(box);
    return box.exec() == QMessageBox::Ok;
}

void CMainDialog::ShowError(std::string_view text, std::string_view detail) {
    ShowFailure(this, text, detail);
}

bool CMainDialog::RunImportDialog(CImportModel& model) {
    CImportDialog dialog(model, this);
    dialog.setObjectName(QStringLiteral("importDialog"));
    return dialog.exec() == QDialog::Accepted;
}

CResult<ImportFile> CMainDialog::ReadImport(const ImportRequest& request) {
    QEventLoop loop;
    // From the job's thread, queued to this one; the ticks below also look, as a quit that
    // arrives between the two runs of the loop would be lost.
    CImportJob job(request, [&loop] {
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    m_job = &job;
    m_closing = false;
    QTimer patience;
    patience.setSingleShot(true);
    connect(&patience, &QTimer::timeout, &loop, &QEventLoop::quit);
    patience.start(kProgressAfterMs);
    // The window repaints meanwhile; clicks and keys wait, so no command starts in between.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!job.IsFinished() && !m_closing) {
        // Over the window the user is in: this one, or the import dialog reading again.
        QWidget* over = QApplication::activeModalWidget();
        const std::string name = request.path.filename().string();
        QProgressDialog progress(FromUtf8(Tr(texts::kReading, {name})), QtText(texts::kCancel), 0,
                                 kProgressSteps, over != nullptr ? over : this);
        progress.setObjectName(QStringLiteral("readProgress"));
        progress.setWindowTitle(ApplicationName());
        progress.setWindowModality(Qt::WindowModal);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setMinimumDuration(0);
        connect(&progress, &QProgressDialog::canceled, &loop, [&job] { job.Cancel(); });
        QTimer tick;
        connect(&tick, &QTimer::timeout, &loop, [&] {
            if (job.IsFinished()) {
                loop.quit();
                return;
            }
            const ImportProgress now = job.Progress();
            if (now.size == 0) {
                progress.setMaximum(0); // a pipe: how much is left cannot be told
            } else {
                progress.setValue(static_cast<int>(
                    std::min<std::uint64_t>(now.read * kProgressSteps / now.size, kProgressSteps)));
            }
        });
        tick.start(kProgressTickMs);
        progress.show();
        if (!job.IsFinished())
            loop.exec();
    }
    m_job = nullptr;
    // The loop also ends when the program does: the read must not outlive it.
    if (!job.IsFinished())
        job.Cancel();
    return job.Wait();
}

void CMainDialog::ShowAbout(std::string_view codePageLine) {
    CAboutDialog about(codePageLine, this);
    about.exec();
}

void CMainDialog::BuildUndoActions() {
    m_undo = new QAction(QtText(texts::kUndoItem), this);
    m_undo->setObjectName(QStringLiteral("undoAction"));
    m_undo->setShortcuts(QKeySequence::Undo);
    // Qt's redo keys differ between desktops; both usual ones work everywhere.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        if (!redoKeys.contains(key))
            redoKeys << key;
    }
    m_redo = new QAction(QtText(texts::kRedoItem), this);
    m_redo->setObjectName(QStringLiteral("redoAction"));
    m_redo->setShortcuts(redoKeys);
    for (QAction* action : {m_undo, m_redo})
        action->setShortcutVisibleInContextMenu(true);
    addAction(m_undo);
    addAction(m_redo);
    connect(m_undo, &QAction::triggered, this, Run(Command::undo));
    connect(m_redo, &QAction::triggered, this, Run(Command::redo));
    m_presenter.ShowState();
}

void CMainDialog::ShowBookState(const BookState& state) {
    setWindowModified(state.modified);
    m_undo->setEnabled(state.canUndo);
    m_redo->setEnabled(state.canRedo);
}

void CMainDialog::closeEvent(QCloseEvent* event) {
    if (!m_presenter.MayClose()) {
        event->ignore();
        return;
    }
    if (m_job != nullptr) {
        m_closing = true;
        m_job->Cancel();
    }
    QDialog::closeEvent(event);
}

} // namespace orvalen
