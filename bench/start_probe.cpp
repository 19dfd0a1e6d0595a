// Linked into each start-up program (the real main and its floor). It notes the moment the
// first window is on screen and the event loop has nothing left to do, then the peak memory of
// this process and of every process it started, and reports both to the runner through the
// pipe named in ZELVO_BENCH_REPORT_FD. What happens after the idle point is set by the runner:
//   ZELVO_BENCH_IDLE_MS=n     the memory is read n ms after the idle point;
//   ZELVO_BENCH_CLICK_TAB=t   at the idle point the tab captioned t is clicked.
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <ctime>

#include "process_memory.h"

namespace {

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

class StartProbe : public QObject {
public:
    StartProbe() : QObject(QCoreApplication::instance()) {
        idleMs_ = qEnvironmentVariableIntValue("ZELVO_BENCH_IDLE_MS");
        tabToClick_ = qEnvironmentVariable("ZELVO_BENCH_CLICK_TAB");
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !exposed_) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) {
                exposed_ = true;
                // Expose events are delivered while the loop runs, so the dispatcher exists.
                connect(QAbstractEventDispatcher::instance(),
                        &QAbstractEventDispatcher::aboutToBlock, this, &StartProbe::onIdle);
            }
        }
        return false;
    }

private:
    void onIdle() {
        if (idleNs_ != 0) return;
        idleNs_ = monotonicNs();
        if (!tabToClick_.isEmpty()) QTimer::singleShot(0, this, &StartProbe::clickTab);
        QTimer::singleShot(idleMs_, this, &StartProbe::report);
    }

    // Presses and releases the mouse on the tab, as the user's click does.
    void clickTab() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            for (QTabBar* bar : top->findChildren<QTabBar*>()) {
                for (int i = 0; i < bar->count(); ++i) {
                    if (bar->tabText(i) != tabToClick_) continue;
                    const QPointF at = bar->tabRect(i).center();
                    const QPointF global = bar->mapToGlobal(at);
                    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                      Qt::LeftButton, Qt::NoModifier);
                    QApplication::sendEvent(bar, &press);
                    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                        Qt::NoButton, Qt::NoModifier);
                    QApplication::sendEvent(bar, &release);
                    return;
                }
            }
        }
        std::fprintf(stderr, "no tab captioned %s\n", qPrintable(tabToClick_));
    }

    void report() {
        const zelvo::bench::MemoryPeaks peaks = zelvo::bench::memoryPeaksOfTree(::getpid());
        const QByteArray line = QByteArrayLiteral("idle_ns=") + QByteArray::number(idleNs_) +
                                " main_kb=" + QByteArray::number(peaks.mainKb) +
                                " total_kb=" + QByteArray::number(peaks.totalKb) +
                                " processes=" + QByteArray::number(peaks.processes) + '\n';
        const int fd = qEnvironmentVariableIntValue("ZELVO_BENCH_REPORT_FD");
        if (fd > 2) {
            [[maybe_unused]] const auto written =
                ::write(fd, line.constData(), size_t(line.size()));
        } else {
            std::fputs(line.constData(), stdout);
            std::fflush(stdout);
        }
        // Leave at once: shutting down is not measured.
        ::_exit(0);
    }

    int idleMs_ = 0;
    QString tabToClick_;
    bool exposed_ = false;
    qint64 idleNs_ = 0;
};

void installStartProbe() {
    new StartProbe;
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installStartProbe)
