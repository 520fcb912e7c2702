#include "monitor/shell/monitor_resources.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QtGlobal>

// Q_INIT_RESOURCE must stand outside any namespace.
static void RegisterImages() { Q_INIT_RESOURCE(monitor_resources); }

void InitMonitorResources()
{
    static const bool bDone = (RegisterImages(), true);
    (void)bDone;
}

QFont MonitorFixedFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(font).fixedPitch())
    {
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
    }
    return font;
}
