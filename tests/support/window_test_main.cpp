#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>

// The window tests run in one QApplication, set up as the program sets up its own.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        // Listing runs at discovery time, outside the tests' environment: no display needed.
        return RUN_ALL_TESTS();
    }
    // As in the program: the embedded web view shares OpenGL contexts with the widgets, and
    // its sandbox cannot run as root (CI runs as root).
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
