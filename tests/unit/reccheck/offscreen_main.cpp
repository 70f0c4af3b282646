#include <QApplication>
#include <gtest/gtest.h>

// The substitute level meter is a widget: these tests need an application, not a display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
