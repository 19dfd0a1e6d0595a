#include <gtest/gtest.h>

#include <QApplication>

// One QApplication for every test program, so widget and core tests share one entry point.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        // Listing runs at discovery time, outside the tests' environment: no display needed.
        return RUN_ALL_TESTS();
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
