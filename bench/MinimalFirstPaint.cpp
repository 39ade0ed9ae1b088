// The floor of a Qt Widgets program: Qt's own first tutorial program, a "Hello world!" push
// button as the window, ending at its first paint.

#include "FirstPaint.h"

#include <QApplication>
#include <QPushButton>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QPushButton hello(QStringLiteral("Hello world!"));
    orvalen::bench::CFirstPaint firstPaint([&](QObject* object) { return object == &hello; });
    firstPaint.afterPaint = [] { QCoreApplication::quit(); };
    hello.installEventFilter(&firstPaint);
    hello.show();
    QApplication::exec();
    orvalen::bench::WritePeakMemory();
    return firstPaint.Painted() ? 0 : 1;
}
