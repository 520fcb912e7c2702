// What a process that shows web views (map and help windows) needs without a
// display: Qt WebEngine draws through the software scene graph, and its
// sandbox does not run as root. What the caller set is kept. Call it before
// the application object is made.
#pragma once

#include <QCoreApplication>
#include <utility>

inline void SetHeadlessWebEngine()
{
    for (const auto& [pName, pValue] : {std::pair<const char*, const char*>{"QT_QUICK_BACKEND", "software"},
                                        {"QTWEBENGINE_DISABLE_SANDBOX", "1"},
                                        {"QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu"}})
    {
        if (qEnvironmentVariableIsEmpty(pName))
            qputenv(pName, pValue);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
