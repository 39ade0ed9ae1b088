#pragma once

#include "BookEditor.h"
#include "BookView.h"
#include "ContactField.h"
#include "MainPresenter.h"
#include "Status.h"
#include "TextCodec.h"

#include <QDialog>

#include <array>
#include <filesystem>

class QAction;
class QLineEdit;
class QMessageBox;
class QPushButton;

namespace orvalen {

class CByteLimitedEdit;
class CImportJob;
class CDialogUnits;
class CNameListBox;

// The phone-book window: the form, the name list, the count display and the seven command
// buttons, wired to the presenter (app/MainPresenter.h), which decides what each event does.
// It provides the commands' view, and its list control is their name list. Neither Enter nor
// Escape closes it; Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo; a file dropped on it opens.
class CMainDialog final : public QDialog, public IMainView {
    Q_OBJECT

public:
    // Names and fields are bytes of codePage; the name list sorts for it.
    explicit CMainDialog(CCodePage codePage, QWidget* parent = nullptr);

    void ReadForm(ContactForm& form) override;
    void WriteForm(const ContactForm& form, int count) override;
    using IBookView::ChooseFile;
    using IBookView::ShowMessage;
    MessageResult ShowMessage(std::string_view text, MessageIcon icon, MessageButtons buttons,
                              std::string_view detail) override;
    std::optional<std::filesystem::path> ChooseFile(FileMode mode, std::string_view defaultName,
                                                    std::string_view filter,
                                                    const std::filesystem::path& folder) override;
    bool AskQuestion(std::string_view text) override;
    void ShowError(std::string_view text, std::string_view detail) override;
    void ShowBookState(const BookState& state) override;
    bool RunImportDialog(CImportModel& model) override;
    CResult<ImportFile> ReadImport(const ImportRequest& request) override;
    void ShowAbout(std::string_view codePageLine) override;

    CBookEditor& Editor() { return m_editor; }
    CMainPresenter& Presenter() { return m_presenter; }
    const CTextCodec& Codec() const { return m_codec; }

    // "description|pattern|..." as the file dialog's name filters: the description alone when
    // it already ends with its patterns in brackets, else "description (pattern)".
    static QStringList NameFilters(const QString& filter);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // A message of the libraries as shown: ours translated, the written ones as they stand.
    QString ShownMessage(std::string_view text) const;
    void BuildControls();
    QPushButton* AddButton(const CDialogUnits& units, const QString& text, const char* name, int x,
                           int y);
    void BuildUndoActions();
    // The slot of a control's event: the presenter runs the command.
    auto Run(Command command) {
        return [this, command] { m_presenter.Run(command); };
    }

    CTextCodec m_codec;
    CNameListBox* m_list;
    std::array<CByteLimitedEdit*, kFieldCount> m_edits{};
    QLineEdit* m_count = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    CBookEditor m_editor;
    CMainPresenter m_presenter;
    // The import read under way, which closing the window cancels.
    CImportJob* m_job = nullptr;
    bool m_closing = false;
};

} // namespace orvalen
