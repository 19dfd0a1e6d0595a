#include <gtest/gtest.h>

#include <QCoreApplication>

// The tests below the window need Qt Core's application object alone.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
