#include <gtest/gtest.h>

#include <QApplication>

// The tray icon and its menu are widgets; windows and posted messages need the application too.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
