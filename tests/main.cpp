#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // Painting and font metrics need a GUI application; the offscreen
    // platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
