// The floor of a Qt Widgets program: an application and one empty window, ending at its first
// paint.

#include "FirstPaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    orvalen::bench::CFirstPaint firstPaint([&](QObject* object) { return object == &window; });
    firstPaint.afterPaint = [] { QCoreApplication::quit(); };
    window.installEventFilter(&firstPaint);
    window.show();
    QApplication::exec();
    orvalen::bench::WritePeakMemory();
    return firstPaint.Painted() ? 0 : 1;
}
