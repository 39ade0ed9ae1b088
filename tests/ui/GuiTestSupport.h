#pragma once

#include "MainDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace orvalen::testing {

// Answers the modal windows a command opens (message boxes, file dialogs, menus, the About
// box) in the order they appear, as a user at the screen would. Each step gets the new window
// and must close it, or leave it to a later step.
class CModalScript {
public:
    using Step = std::function<void(QWidget&)>;

    CModalScript() { Schedule(); }
    ~CModalScript() { CloseLeftovers(); }
    CModalScript(const CModalScript&) = delete;
    CModalScript& operator=(const CModalScript&) = delete;

    void Then(Step step) { m_steps.push_back(std::move(step)); }
    bool Done() const { return m_steps.empty(); }
    std::size_t Pending() const { return m_steps.size(); }

    // Closes whatever a failed test left open, so the next test starts clean.
    static void CloseLeftovers() {
        for (int i = 0; i < 10; ++i) {
            QWidget* open = QApplication::activePopupWidget();
            if (open == nullptr)
                open = QApplication::activeModalWidget();
            if (open == nullptr)
                return;
            open->close();
            QApplication::processEvents();
        }
    }

private:
    // A new single shot each time, as a timer does not fire again inside its own handler and
    // a step can open the next window (a question from a file dialog) before it returns.
    void Schedule() {
        QTimer::singleShot(10, &m_context, [this] { Poll(); });
    }

    void Poll() {
        Schedule();
        QWidget* open = QApplication::activePopupWidget();
        if (open == nullptr)
            open = QApplication::activeModalWidget();
        if (open == nullptr || !open->isVisible()) {
            m_stuck.invalidate();
            return;
        }
        const bool handled =
            std::any_of(m_handled.begin(), m_handled.end(),
                        [open](const QPointer<QWidget>& seen) { return seen == open; });
        if (handled || m_steps.empty()) {
            // A window nobody answers would hang the test: close it after a while.
            if (!m_stuck.isValid())
                m_stuck.start();
            else if (m_stuck.elapsed() > kPatienceMs)
                open->close();
            return;
        }
        m_stuck.invalidate();
        m_handled.push_back(open);
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(*open);
    }

    static constexpr qint64 kPatienceMs = 10000;

    QObject m_context;
    QElapsedTimer m_stuck;
    std::deque<Step> m_steps;
    std::deque<QPointer<QWidget>> m_handled;
};

// What a message box showed.
struct SeenMessage {
    QString caption;
    QString text;
    QString informativeText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool okIsDefault = false;
    bool cancelIsDefault = false;
    bool seen = false;
};

// A step that reads a message box and presses one of its buttons.
inline CModalScript::Step AnswerMessage(SeenMessage& seen, QMessageBox::StandardButton press) {
    return [&seen, press](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
        if (box == nullptr) {
            window.close();
            return;
        }
        seen.seen = true;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.informativeText = box->informativeText();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.okIsDefault = box->defaultButton() == box->button(QMessageBox::Ok);
        seen.cancelIsDefault = box->defaultButton() == box->button(QMessageBox::Cancel);
        QAbstractButton* button = box->button(press);
        if (button == nullptr) {
            box->close();
            return;
        }
        QTest::mouseClick(button, Qt::LeftButton);
    };
}

// What a file dialog offered.
struct SeenFileDialog {
    QString proposedName;
    QStringList nameFilters;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QString defaultSuffix;
    bool seen = false;
    bool stayedOpen = false;
};

inline QLineEdit* FileNameEdit(QFileDialog& dialog) {
    return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

// A step that reads a file dialog, types a path into its name field and presses Enter; with
// an empty path it presses Escape instead, and so it does when the dialog stays open.
inline CModalScript::Step TypeIntoFileDialog(SeenFileDialog& seen, const QString& path) {
    return [&seen, path](QWidget& window) {
        auto* dialog = qobject_cast<QFileDialog*>(&window);
        QLineEdit* edit = dialog != nullptr ? FileNameEdit(*dialog) : nullptr;
        if (edit == nullptr) {
            window.close();
            return;
        }
        seen.seen = true;
        seen.proposedName = edit->text();
        seen.nameFilters = dialog->nameFilters();
        seen.acceptMode = dialog->acceptMode();
        seen.defaultSuffix = dialog->defaultSuffix();
        if (path.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Escape);
            return;
        }
        // The dialog follows typing only in the field that has the focus, as at the screen.
        QApplication::setActiveWindow(dialog);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, path);
        QTest::keyClick(edit, Qt::Key_Return);
        // Still open when the user declined to replace a file: then they give up.
        seen.stayedOpen = dialog->isVisible();
        if (seen.stayedOpen)
            QTest::keyClick(edit, Qt::Key_Escape);
    };
}

// Types text as a user would: Latin-1 characters as keys, others committed as an input
// method does.
inline void TypeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            QTest::keyClicks(widget, QString(c));
            continue;
        }
        qsizetype length = 1;
        if (c.isHighSurrogate() && i + 1 < text.size())
            length = 2;
        QInputMethodEvent commit;
        commit.setCommitString(text.mid(i, length));
        QApplication::sendEvent(widget, &commit);
        i += length - 1;
    }
}

// The main window shown and active, with access to its controls by their names.
class CWindow {
public:
    explicit CWindow(const char* codePage)
        : m_window(std::make_unique<CMainDialog>(CCodePage(codePage))) {
        m_window->show();
        m_window->activateWindow();
        m_shown = QTest::qWaitForWindowActive(m_window.get());
    }

    bool IsShown() const { return m_shown; }
    CMainDialog& Dialog() { return *m_window; }

    QListWidget* List() { return m_window->findChild<QListWidget*>(QStringLiteral("nameList")); }
    QLineEdit* Edit(const char* name) {
        return m_window->findChild<QLineEdit*>(QLatin1String(name));
    }
    QLineEdit* NameEdit() { return Edit("nameEdit"); }
    QLineEdit* MobileEdit() { return Edit("mobileEdit"); }
    QLineEdit* CountDisplay() { return Edit("countDisplay"); }
    QPushButton* Button(const char* name) {
        return m_window->findChild<QPushButton*>(QLatin1String(name));
    }

    QStringList ListedNames() {
        QStringList names;
        for (int i = 0; i < List()->count(); ++i)
            names << List()->item(i)->text();
        return names;
    }
    int SelectedRow() {
        const auto rows = List()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    void Press(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }

    // Replaces a field's text by typing, as a user who selects all and types over it.
    void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        TypeText(edit, text);
    }

    // Types a name and a mobile number and presses "Add >>".
    void AddContact(const QString& name, const QString& mobile = {}) {
        Type(NameEdit(), name);
        Type(MobileEdit(), mobile);
        Press("addButton");
    }

    // Selects a list entry with the mouse.
    void ClickEntry(int row) {
        QListWidget* list = List();
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

private:
    std::unique_ptr<CMainDialog> m_window;
    bool m_shown = false;
};

} // namespace orvalen::testing
