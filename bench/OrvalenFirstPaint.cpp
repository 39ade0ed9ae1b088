// The program as it starts, ending at its first paint: the start-up of CContactsApp unchanged,
// with a watcher that closes the window once it has drawn itself.

#include "ContactsApp.h"
#include "FirstPaint.h"
#include "MainDialog.h"

#include <QDialog>

int main(int argc, char** argv) {
    orvalen::CContactsApp application(argc, argv);
    orvalen::bench::CFirstPaint firstPaint(
        [](QObject* object) { return qobject_cast<orvalen::CMainDialog*>(object) != nullptr; });
    firstPaint.afterPaint = [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<orvalen::CMainDialog*>(window))
                dialog->reject();
        }
    };
    QCoreApplication::instance()->installEventFilter(&firstPaint);
    application.Run();
    orvalen::bench::WritePeakMemory();
    return firstPaint.Painted() ? 0 : 1;
}
