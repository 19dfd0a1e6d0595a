#include <gtest/gtest.h>

#include <QApplication>

#include "app/application_setup.h"

// The window tests run in one QApplication, set up as the program sets up its own.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing runs at discovery time, outside the tests' environment: no display needed.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    zelvo::app::prepareProcess();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
