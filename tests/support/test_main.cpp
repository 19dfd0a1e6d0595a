#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include <QApplication>

// One QApplication for every test program, so widget and core tests share one entry point.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        // Listing runs at discovery time, outside the tests' environment: no display needed.
        return RUN_ALL_TESTS();
    }
    // As in the program: the embedded web view shares OpenGL contexts with the widgets, and
    // its sandbox cannot run as root (CI runs as root).
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#ifdef Q_OS_UNIX
    if (::geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
#endif
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
