#include <gtest/gtest.h>

#include <QCoreApplication>

// Posted messages need an event loop to arrive.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
