// Linked into each start-up program (the real main and the two floors). It notes the moment the
// first window is on screen and the event loop has nothing left to do, then the peak memory of
// this process and of every process it started, and reports both to the runner through the
// pipe named in ZELVO_BENCH_REPORT_FD. What happens after the idle point is set by the runner:
//   ZELVO_BENCH_IDLE_MS=n     the memory is read n ms after the idle point, the window left alone;
//   ZELVO_BENCH_CLICK_TAB=t   at the idle point the tab captioned t is clicked, and the moment
//                             of the click noted;
//   ZELVO_BENCH_PAGE=1        the memory is read once a web view has finished loading its page,
//                             so the web engine's helpers are at full size; the moment the page
//                             finished is noted.
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
    Q_OBJECT
public:
    StartProbe() : QObject(QCoreApplication::instance()) {
        waitForPage_ = qEnvironmentVariableIntValue("ZELVO_BENCH_PAGE") == 1;
        idleMs_ = qEnvironmentVariableIntValue("ZELVO_BENCH_IDLE_MS");
        tabToClick_ = qEnvironmentVariable("ZELVO_BENCH_CLICK_TAB");
        // Helpers keep growing for a moment after the page reports it has loaded.
        settle_.setSingleShot(true);
        settle_.setInterval(kSettleMs);
        connect(&settle_, &QTimer::timeout, this, [this] {
            pageLoaded_ = true;
            report();
        });
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

private slots:
    void onPageLoaded() {
        pageNs_ = monotonicNs();
        settle_.start();
    }

private:
    void onIdle() {
        if (idleNs_ == 0) {
            idleNs_ = monotonicNs();
            if (!tabToClick_.isEmpty()) QTimer::singleShot(0, this, &StartProbe::clickTab);
            if (waitForPage_) {
                QTimer::singleShot(kPageTimeoutMs, this, &StartProbe::report);
            } else {
                // Without a page to wait for, the idle point is all the start-up figure needs.
                QTimer::singleShot(idleMs_, this, &StartProbe::report);
                return;
            }
        }
        if (waitForPage_ && !watchingView_) watchView();
    }

    // Presses and releases the mouse on the tab, as the user's click does.
    void clickTab() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            for (QTabBar* bar : top->findChildren<QTabBar*>()) {
                for (int i = 0; i < bar->count(); ++i) {
                    if (bar->tabText(i) != tabToClick_) continue;
                    const QPointF at = bar->tabRect(i).center();
                    const QPointF global = bar->mapToGlobal(at);
                    clickNs_ = monotonicNs();
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

    // The web view may be made after the window shows, so look again at every idle moment.
    void watchView() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            QObjectList candidates = top->findChildren<QObject*>();
            candidates.prepend(top);
            for (QObject* child : candidates) {
                if (child->inherits("QWebEngineView")) {
                    watchingView_ = true;
                    // By name, so that the empty-window floor need not link the web engine.
                    QObject::connect(child, SIGNAL(loadFinished(bool)), this,
                                     SLOT(onPageLoaded()));
                    return;
                }
            }
        }
    }

    void report() {
        if (reported_) return;
        reported_ = true;
        const zelvo::bench::MemoryPeaks peaks = zelvo::bench::memoryPeaksOfTree(::getpid());
        const QByteArray line = QByteArrayLiteral("idle_ns=") + QByteArray::number(idleNs_) +
                                " click_ns=" + QByteArray::number(clickNs_) +
                                " page_ns=" + QByteArray::number(pageNs_) +
                                " main_kb=" + QByteArray::number(peaks.mainKb) +
                                " total_kb=" + QByteArray::number(peaks.totalKb) +
                                " processes=" + QByteArray::number(peaks.processes) +
                                " page=" + (pageLoaded_ ? "1" : "0") + '\n';
        const int fd = qEnvironmentVariableIntValue("ZELVO_BENCH_REPORT_FD");
        if (fd > 2) {
            [[maybe_unused]] const auto written =
                ::write(fd, line.constData(), size_t(line.size()));
        } else {
            std::fputs(line.constData(), stdout);
            std::fflush(stdout);
        }
        // Leave at once: shutting down is not measured, and the web engine's helpers end by
        // themselves when their parent is gone.
        ::_exit(0);
    }

    static constexpr int kPageTimeoutMs = 20'000;
    static constexpr int kSettleMs = 500;
    bool waitForPage_ = false;
    int idleMs_ = 0;
    QString tabToClick_;
    bool exposed_ = false;
    bool watchingView_ = false;
    bool reported_ = false;
    bool pageLoaded_ = false;
    qint64 idleNs_ = 0;
    qint64 clickNs_ = 0;
    qint64 pageNs_ = 0;
    QTimer settle_;
};

void installStartProbe() {
    new StartProbe;
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installStartProbe)

#include "start_probe.moc"
