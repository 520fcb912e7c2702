// The monitor program: the application with the docking layer's style, the
// main window, and the event loop. The command line is not read.
#include <QApplication>

#include "monitor/app/zorvik_monitor.h"
#include "monitor/shell/docking.h"

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    // The web views of the map and help windows share the application's GL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication::setStyle(new FlexStyle);
    auto* pWindow = new QZorvikMonitor;
    PrepareMonitorApplication(app, *pWindow);
    pWindow->show();
    const int result = app.exec();
    delete pWindow;
    return result;
}
