#include <gtest/gtest.h>

#include <QApplication>

// One QApplication for every test program, so widget and core tests share one entry point.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
