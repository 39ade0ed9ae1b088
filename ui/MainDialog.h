#pragma once

#include "BookEditor.h"
#include "BookView.h"
#include "ContactField.h"
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
class CDialogUnits;
class CNameListBox;

// The phone-book window: the form, the name list, the count display and the seven command
// buttons. It provides the commands' view, and its list control is their name list. Neither
// Enter nor Escape closes it, its title marks a phone book with unsaved changes, and closing
// it then asks first; Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) undo and redo the commands.
class CMainDialog final : public QDialog, public IBookView {
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

    CBookEditor& Editor() { return m_editor; }
    const CTextCodec& Codec() const { return m_codec; }

    // "description|pattern|..." as the file dialog's name filters: the description alone when
    // it already ends with its patterns in brackets, else "description (pattern)".
    static QStringList NameFilters(const QString& filter);

    // The context menu's import and export commands; ImportFrom is import of a file already
    // chosen (dropped on the window).
    void ImportContacts();
    void ImportFrom(const std::filesystem::path& path);
    void ExportContacts();


protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    QPushButton* AddButton(const CDialogUnits& units, const QString& text, const char* name, int x,
                           int y);
    void ShowAbout();
    void BuildUndoActions();
    // Runs a command, then shows whether the book has unsaved changes and what can be undone.
    template <typename Command> auto Run(Command command) {
        return [this, command] {
            command();
            ShowBookState();
        };
    }
    void ShowBookState();
    // A contacts file that cannot be read: what failed, then the reason and the file.
    void ShowImportError(QWidget* parent, const CStatus& status) const;
    // A message box captioned with the program's name and wide enough to show it whole.
    void PrepareMessageBox(QMessageBox& box) const;

    CTextCodec m_codec;
    CNameListBox* m_list;
    std::array<CByteLimitedEdit*, kFieldCount> m_edits{};
    QLineEdit* m_count = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    CBookEditor m_editor;
};

} // namespace orvalen
