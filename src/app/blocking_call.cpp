#include "app/blocking_call.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <exception>
#include <thread>

namespace zelvo::app {

namespace {

// Swallows user input instead of queueing it, so nothing the user does while waiting runs
// afterwards.
class UserInputBlocker : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::InputMethod:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::TabletPress:
            case QEvent::TabletRelease:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

void runWithoutUserInput(const std::function<void()>& work) {
    std::exception_ptr error;
    QEventLoop loop;
    UserInputBlocker blocker;
    QCoreApplication::instance()->installEventFilter(&blocker);
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    QCoreApplication::instance()->removeEventFilter(&blocker);
    if (error) {
        std::rethrow_exception(error);
    }
}

}  // namespace zelvo::app
