#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace orvalen::bench {

// Watches a top-level window for its first paint. Children are painted in the same pass as
// their window, right after it, so once the event loop returns from that pass the whole window
// has been drawn.
class CFirstPaint final : public QObject {
public:
    explicit CFirstPaint(std::function<bool(QObject*)> isWindow)
        : m_isWindow(std::move(isWindow)) {}

    bool Painted() const { return m_painted; }

    // Runs the event loop until the window has painted, for at most timeoutMs.
    bool Wait(int timeoutMs = 10000) {
        QElapsedTimer timer;
        timer.start();
        while (!m_painted && timer.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        return m_painted;
    }

    // What to do once painted (from the event loop, after the painting pass).
    std::function<void()> afterPaint;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_painted && event->type() == QEvent::Paint && m_isWindow(watched)) {
            m_painted = true;
            if (afterPaint)
                QMetaObject::invokeMethod(this, afterPaint, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<bool(QObject*)> m_isWindow;
    bool m_painted = false;
};

// Writes this process's peak resident memory, in bytes, to the file ORVALEN_BENCH_PEAK_FILE
// names. The kernel's figure for a child (wait4) also counts the memory of the process that
// started it, so the program reports its own.
inline void WritePeakMemory() {
    const char* path = std::getenv("ORVALEN_BENCH_PEAK_FILE");
    if (path == nullptr)
        return;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            std::ofstream(path) << std::stod(line.substr(6)) * 1024.0 << '\n';
            return;
        }
    }
}

} // namespace orvalen::bench
