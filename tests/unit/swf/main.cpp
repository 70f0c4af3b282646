#include <QGuiApplication>
#include <gtest/gtest.h>

// The splash movie takes its name's outlines from the fonts, which need a GUI application but
// no display.
int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
