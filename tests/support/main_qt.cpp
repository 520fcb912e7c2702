// Test entry for suites that need an application object (event loop, widgets).
// The platform is offscreen unless the caller chose one.
#include <QApplication>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

#include "headless_web.h"

// The offscreen platform of Qt 5.15 never frees its screen; leak checking
// ignores what hangs off it. Qt WebEngine (the map and help windows) keeps
// its browser's objects for the life of the process, with the udev monitor
// and the fonts it opened: their stacks end in those libraries.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\n"
           "leak:QPlatformScreen::QPlatformScreen\n"
           "leak:QScreen::QScreen\n"
           "leak:QWindowSystemInterface::handleScreenAdded\n"
           "leak:QtSharedPointer::ExternalRefCountData::getAndRef\n"
           "leak:libQt5WebEngineCore.so\n"
           "leak:libQt5WebEngineWidgets.so\n"
           "leak:udev_new\n"
           "leak:udev_monitor_new_from_netlink\n"
           "leak:udev_monitor_filter_add_match_subsystem_devtype\n"
           "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    // Each test process keeps its settings and files in a folder of its own,
    // so parallel test processes never share (or clobber) a configuration.
    QTemporaryDir configHome;
    if (configHome.isValid())
        qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    // Windows that hold a web view (map, help pages) start Qt WebEngine.
    SetHeadlessWebEngine();
    QApplication app(argc, argv);
    // The application object adopts the environment's locale; receiver logs
    // always use "." as the decimal point.
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
