#include <gtest/gtest.h>

#ifdef ZT_WITH_VIEWER
#include <QApplication>
using ZtTestApplication = QApplication; // the viewer tests drive widgets
#else
#include <QGuiApplication>
using ZtTestApplication = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    // Painting and font metrics need a GUI application; the offscreen
    // platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    ZtTestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
