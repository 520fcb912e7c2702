// The application object of the views' benchmarks, on the offscreen platform.
#pragma once

#include <QApplication>

inline QApplication& ViewsBenchApp()
{
    static int argc = 1;
    static char name[] = "bench_views";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}
