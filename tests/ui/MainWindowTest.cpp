// The main window driven by keys and clicks: adding, showing, deleting and clearing contacts,
// the messages it asks with, Enter and Escape, closing with unsaved changes, undo and redo,
// and the About box.
#include "GuiTestSupport.h"

#include <QContextMenuEvent>
#include <QLabel>

using namespace orvalen::testing;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CWindow> m_window;

    CWindow& W() { return *m_window; }

    void AddCarlAliceBob() {
        W().AddContact(QStringLiteral("Carl"), QStringLiteral("333"));
        W().AddContact(QStringLiteral("alice"), QStringLiteral("111"));
        W().AddContact(QStringLiteral("Bob"), QStringLiteral("222"));
    }

private slots:
    void init() {
        m_window = std::make_unique<CWindow>("UTF-8");
        QVERIFY(m_window->IsShown());
    }
    void cleanup() {
        CModalScript::CloseLeftovers();
        m_window.reset();
    }

    void startsEmptyWithTheListFocused() {
        // "Orvalen", with the platform's mark where the title shows unsaved changes.
        QCOMPARE(W().Dialog().windowTitle(), QStringLiteral("Orvalen[*]"));
        QVERIFY(!W().Dialog().isWindowModified());
        QCOMPARE(QApplication::focusWidget(), W().List());
        QCOMPARE(W().List()->count(), 0);
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("0"));
        QCOMPARE(W().NameEdit()->text(), QString());
    }

    void isAFixedSizeWindowWithMinimizeButNoMaximize() {
        QCOMPARE(W().Dialog().minimumSize(), W().Dialog().maximumSize());
        const Qt::WindowFlags flags = W().Dialog().windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        // 408 x 225 dialog units: wider than tall by the same measure as the layout.
        const QSize size = W().Dialog().size();
        QVERIFY(size.width() > size.height());
    }

    void tabRunsThroughTheControlsInTheirOrder() {
        const QStringList expected = {
            QStringLiteral("addButton"),    QStringLiteral("deleteButton"),
            QStringLiteral("clearButton"),  QStringLiteral("countDisplay"),
            QStringLiteral("loadButton"),   QStringLiteral("saveButton"),
            QStringLiteral("saveAsButton"), QStringLiteral("nameEdit"),
            QStringLiteral("mobileEdit"),   QStringLiteral("telephoneEdit"),
            QStringLiteral("emailEdit"),    QStringLiteral("qqEdit"),
            QStringLiteral("faxEdit"),      QStringLiteral("nameList")};
        QStringList visited;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void threeContactsAreShownSorted() {
        W().AddContact(QStringLiteral("Carl"), QStringLiteral("333"));
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("1"));
        W().AddContact(QStringLiteral("alice"), QStringLiteral("111"));
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("2"));
        QCOMPARE(W().SelectedRow(), 0);
        W().AddContact(QStringLiteral("Bob"), QStringLiteral("222"));

        QCOMPARE(W().ListedNames(), (QStringList{QStringLiteral("alice"), QStringLiteral("Bob"),
                                                 QStringLiteral("Carl")}));
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("3"));
        // The new entry is selected and the form keeps what was typed.
        QCOMPARE(W().SelectedRow(), 1);
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("Bob"));
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("222"));
    }

    void anEmptyNameIsRefusedWithAWarning() {
        CModalScript script;
        SeenMessage message;
        script.Then(AnswerMessage(message, QMessageBox::Ok));
        W().Type(W().MobileEdit(), QStringLiteral("123"));
        W().Press("addButton");

        QVERIFY(script.Done());
        QCOMPARE(message.text, QStringLiteral("Please input person name !!"));
        QCOMPARE(message.icon, QMessageBox::Warning);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(message.caption, QFileInfo(QCoreApplication::applicationFilePath()).baseName());
        QCOMPARE(W().List()->count(), 0);
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("0"));
    }

    void aRepeatedNameAnsweredCancelChangesNothing() {
        AddCarlAliceBob();
        CModalScript script;
        SeenMessage message;
        script.Then(AnswerMessage(message, QMessageBox::Cancel));
        W().AddContact(QStringLiteral("Carl"), QStringLiteral("999"));

        QVERIFY(script.Done());
        QCOMPARE(message.text, QStringLiteral("Name repeat! Do you change it ?"));
        QCOMPARE(message.icon, QMessageBox::Warning);
        QCOMPARE(message.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(message.okIsDefault);
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("3"));

        W().ClickEntry(0);
        W().ClickEntry(2);
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("Carl"));
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("333"));
    }

    void aRepeatedNameAnsweredOkUpdatesTheContact() {
        AddCarlAliceBob();
        CModalScript script;
        SeenMessage message;
        script.Then(AnswerMessage(message, QMessageBox::Ok));
        W().AddContact(QStringLiteral("Carl"), QStringLiteral("999"));

        QVERIFY(script.Done());
        QCOMPARE(message.text, QStringLiteral("Name repeat! Do you change it ?"));
        QCOMPARE(W().List()->count(), 3);
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("3"));

        W().ClickEntry(0);
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("111"));
        W().ClickEntry(2);
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("999"));
    }

    void enterOnTheRepeatQuestionConfirmsTheChange() {
        W().AddContact(QStringLiteral("Carl"), QStringLiteral("333"));
        CModalScript script;
        script.Then([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Return); });
        W().AddContact(QStringLiteral("Carl"), QStringLiteral("444"));
        QVERIFY(script.Done());

        W().Press("clearButton");
        QCOMPARE(W().List()->count(), 0);
    }

    void selectingWithMouseOrKeysShowsTheContact() {
        AddCarlAliceBob();
        W().ClickEntry(0);
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("alice"));
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("111"));

        QTest::keyClick(W().List(), Qt::Key_Down);
        QCOMPARE(W().SelectedRow(), 1);
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("Bob"));
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("222"));

        QTest::keyClick(W().List(), Qt::Key_End);
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("Carl"));

        // Clicking with Control held does not leave the list without a selection.
        W().ClickEntry(0);
        const QRect first = W().List()->visualItemRect(W().List()->item(0));
        QTest::mouseClick(W().List()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          first.center());
        QCOMPARE(W().SelectedRow(), 0);
    }

    void deleteWithoutASelectionWarns() {
        W().AddContact(QStringLiteral("Carl"));
        W().Press("clearButton");
        W().AddContact(QStringLiteral("Dora"));
        W().List()->clearSelection();

        CModalScript script;
        SeenMessage message;
        script.Then(AnswerMessage(message, QMessageBox::Ok));
        W().Press("deleteButton");

        QVERIFY(script.Done());
        QCOMPARE(message.text, QStringLiteral("Please Select Item first !!"));
        QCOMPARE(message.icon, QMessageBox::Warning);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(W().List()->count(), 1);
    }

    void deleteOnAnEmptyListWarns() {
        CModalScript script;
        SeenMessage message;
        script.Then(AnswerMessage(message, QMessageBox::Ok));
        W().Press("deleteButton");
        QVERIFY(script.Done());
        QCOMPARE(message.text, QStringLiteral("Please Select Item first !!"));
    }

    void deleteRemovesTheSelectedContactAndShowsTheOneAbove() {
        AddCarlAliceBob();
        W().ClickEntry(2);
        W().Press("deleteButton");
        QCOMPARE(W().ListedNames(), (QStringList{QStringLiteral("alice"), QStringLiteral("Bob")}));
        QCOMPARE(W().SelectedRow(), 1);
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("Bob"));
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("222"));
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("2"));

        // Deleting the first entry shows the new first one.
        W().ClickEntry(0);
        W().Press("deleteButton");
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Bob")});
        QCOMPARE(W().SelectedRow(), 0);
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("Bob"));

        // Deleting the last one empties the form.
        W().Press("deleteButton");
        QCOMPARE(W().List()->count(), 0);
        QCOMPARE(W().NameEdit()->text(), QString());
        QCOMPARE(W().MobileEdit()->text(), QString());
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("0"));
    }

    void clearEmptiesTheListTheFormAndTheCount() {
        AddCarlAliceBob();
        W().Press("clearButton");
        QCOMPARE(W().List()->count(), 0);
        QCOMPARE(W().NameEdit()->text(), QString());
        QCOMPARE(W().MobileEdit()->text(), QString());
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("0"));

        // The phone book starts again from nothing.
        W().AddContact(QStringLiteral("Zoe"), QStringLiteral("5"));
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Zoe")});
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("1"));
    }

    void theCountDisplayCannotBeEdited() {
        QLineEdit* count = W().CountDisplay();
        QVERIFY(count->isReadOnly());
        QCOMPARE(count->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        count->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(count, QStringLiteral("42"));
        QTest::keyClick(count, Qt::Key_Backspace);
        QCOMPARE(count->text(), QStringLiteral("0"));
    }

    void enterNeverClosesTheWindow() {
        W().Type(W().NameEdit(), QStringLiteral("Carl"));
        QTest::keyClick(W().NameEdit(), Qt::Key_Return);
        QTest::keyClick(W().NameEdit(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(W().Dialog().isVisible());
        QCOMPARE(W().NameEdit()->text(), QStringLiteral("Carl"));
        QCOMPARE(W().List()->count(), 0);

        W().List()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(W().List(), Qt::Key_Return);
        QVERIFY(W().Dialog().isVisible());
    }

    void enterPushesTheFocusedButton() {
        W().Type(W().NameEdit(), QStringLiteral("Carl"));
        W().Button("addButton")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(W().Button("addButton"), Qt::Key_Return);
        QVERIFY(W().Dialog().isVisible());
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Carl")});
    }

    void escapeNeverClosesTheWindow_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("name field") << QStringLiteral("nameEdit");
        QTest::newRow("name list") << QStringLiteral("nameList");
        QTest::newRow("button") << QStringLiteral("addButton");
    }

    void escapeNeverClosesTheWindow() {
        QFETCH(QString, control);
        W().AddContact(QStringLiteral("Carl"));
        auto* widget = W().Dialog().findChild<QWidget*>(control);
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget, Qt::Key_Escape);
        QTest::keyClick(widget, Qt::Key_Escape);
        QVERIFY(W().Dialog().isVisible());
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Carl")});
    }

    void closingWithUnsavedChangesAsksFirst() {
        W().AddContact(QStringLiteral("Carl"), QStringLiteral("333"));
        QVERIFY(W().Dialog().isWindowModified());
        for (const auto press : {QMessageBox::Cancel, QMessageBox::Ok}) {
            CModalScript script;
            SeenMessage question;
            script.Then(AnswerMessage(question, press));
            const bool closed = W().Dialog().close();
            QVERIFY(script.Done());
            QCOMPARE(
                question.text,
                QStringLiteral("The phone book has changes that are not saved. Close anyway?"));
            QCOMPARE(question.icon, QMessageBox::Warning);
            QCOMPARE(question.buttons, QMessageBox::Ok | QMessageBox::Cancel);
            QVERIFY(question.cancelIsDefault);
            QCOMPARE(closed, press == QMessageBox::Ok);
            QCOMPARE(W().Dialog().isVisible(), press == QMessageBox::Cancel);
            QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Carl")});
            QCOMPARE(W().MobileEdit()->text(), QStringLiteral("333"));
        }
    }

    void undoAndRedoKeysTakeBackCommands() {
        AddCarlAliceBob();
        W().ClickEntry(0);
        W().Press("deleteButton");
        QCOMPARE(W().ListedNames(), (QStringList{QStringLiteral("Bob"), QStringLiteral("Carl")}));

        // Ctrl+Z on the list undoes the delete: alice is back, selected and shown.
        W().List()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(W().List(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(W().ListedNames(), (QStringList{QStringLiteral("alice"), QStringLiteral("Bob"),
                                                 QStringLiteral("Carl")}));
        QCOMPARE(W().SelectedRow(), 0);
        QCOMPARE(W().MobileEdit()->text(), QStringLiteral("111"));
        QCOMPARE(W().CountDisplay()->text(), QStringLiteral("3"));

        for (const QKeyCombination redo : {QKeyCombination(Qt::CTRL, Qt::Key_Y),
                                           QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)}) {
            QTest::keyClick(W().List(), redo.key(), redo.keyboardModifiers());
            QCOMPARE(W().ListedNames(),
                     (QStringList{QStringLiteral("Bob"), QStringLiteral("Carl")}));
            QCOMPARE(W().CountDisplay()->text(), QStringLiteral("2"));
            QTest::keyClick(W().List(), Qt::Key_Z, Qt::ControlModifier);
        }
    }

    void ctrlZInAFieldUndoesItsTypingFirst() {
        W().AddContact(QStringLiteral("Carl"));
        QLineEdit* mobile = W().MobileEdit();
        mobile->setFocus(Qt::TabFocusReason);
        mobile->end(false);
        QTest::keyClicks(mobile, QStringLiteral("99"));
        QTest::keyClick(mobile, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(mobile->text(), QString());
        QCOMPARE(W().ListedNames(), QStringList{QStringLiteral("Carl")});
        // With no typing left to undo, the same key undoes the Add.
        QTest::keyClick(mobile, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(W().List()->count(), 0);
        QVERIFY(!W().Dialog().isWindowModified());
    }

    void theCloseBoxClosesTheWindow() {
        QVERIFY(W().Dialog().close());
        QVERIFY(!W().Dialog().isVisible());
    }

    void theContextMenuOpensTheAboutBox() {
        W().AddContact(QStringLiteral("Carl"));
        QString item;
        QStringList items;
        QStringList keys;
        QString title;
        QStringList texts;
        bool okDefault = false;
        CModalScript script;
        script.Then([&item, &items, &keys](QWidget& window) {
            auto* menu = qobject_cast<QMenu*>(&window);
            if (menu == nullptr || menu->actions().isEmpty()) {
                window.close();
                return;
            }
            item = menu->actions().first()->text();
            for (const QAction* action : menu->actions()) {
                if (action->isSeparator())
                    continue;
                items << action->text() + QLatin1Char('|') + QString::number(action->isEnabled());
                keys << action->shortcut().toString(QKeySequence::PortableText);
            }
            QTest::keyClick(menu, Qt::Key_A);
        });
        script.Then([&](QWidget& about) {
            title = about.windowTitle();
            for (const QLabel* label : about.findChildren<QLabel*>()) {
                if (!label->text().isEmpty())
                    texts << label->text();
            }
            auto* ok = about.findChild<QPushButton*>(QStringLiteral("okButton"));
            okDefault = ok != nullptr && ok->isDefault() && ok->text() == QStringLiteral("确定");
            if (ok == nullptr) {
                about.close();
                return;
            }
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        const QPoint where(W().Dialog().width() / 2, W().Dialog().height() - 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, where, W().Dialog().mapToGlobal(where));
        QApplication::sendEvent(&W().Dialog(), &event);

        QVERIFY(script.Done());
        QCOMPARE(item, QStringLiteral("关于 Orvalen(&A)..."));
        // After one Add: something to undo, nothing to redo.
        QCOMPARE(items, (QStringList{QStringLiteral("关于 Orvalen(&A)...|1"),
                                     QStringLiteral("撤销(&U)|1"), QStringLiteral("重做(&R)|0"),
                                     QStringLiteral("导入联系人(&I)...|1"),
                                     QStringLiteral("导出联系人(&E)...|1")}));
        QCOMPARE(keys.size(), 5);
        QCOMPARE(keys[1], QStringLiteral("Ctrl+Z"));
        QVERIFY2(keys[2] == QStringLiteral("Ctrl+Y") || keys[2] == QStringLiteral("Ctrl+Shift+Z"),
                 qPrintable(keys[2]));
        QCOMPARE(title, QStringLiteral("关于 Orvalen"));
        QVERIFY(okDefault);
        const QStringList expected = {
            QStringLiteral("Orvalen 1.0 版"),
            QStringLiteral("用法："),
            QStringLiteral("Save 按钮生成电话本导入文件（Tel_Save.tel）"),
            QStringLiteral("Load 按钮打开电话本导出文件（TEL_EXPT.tel）"),
            QStringLiteral("Save As 按钮生成电话信息文件（Tel_Save.txt）"),
            QStringLiteral("预将电话本文件导入MP3小机中，必须将Tel_Save.tel文件放入MP3小机根目录，"
                           "然后进入MP3电话本模式并选择导入电话薄菜单即可")};
        for (const QString& text : expected)
            QVERIFY2(texts.contains(text), qPrintable(text));
        QVERIFY(W().Dialog().isVisible());
    }

    void escapeClosesTheAboutBox() {
        bool opened = false;
        CModalScript script;
        script.Then([](QWidget& menu) { QTest::keyClick(&menu, Qt::Key_A); });
        script.Then([&opened](QWidget& about) {
            opened = about.windowTitle() == QStringLiteral("关于 Orvalen");
            QTest::keyClick(&about, Qt::Key_Escape);
        });
        const QPoint where(10, 10);
        QContextMenuEvent event(QContextMenuEvent::Keyboard, where,
                                W().Dialog().mapToGlobal(where));
        QApplication::sendEvent(&W().Dialog(), &event);
        QVERIFY(script.Done());
        QVERIFY(opened);
        QVERIFY(W().Dialog().isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
