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
    if (QFontInfo(font).fixedPitch())
        return font;
    // The desktop's "monospace" may resolve to a font that Qt does not take
    // as fixed pitch (some "Mono" families hold glyphs of other widths): a
    // family that it does take is chosen instead, the same on every machine
    // that has it. Looked up once: data views are made per port.
    static const QString sFamily = []
    {
        const QFontDatabase database;
        const QString sPreferred = QStringLiteral("DejaVu Sans Mono");
        if (database.isFixedPitch(sPreferred))
            return sPreferred;
        for (const QString& sCandidate : database.families())
        {
            if (database.isFixedPitch(sCandidate) && !database.isPrivateFamily(sCandidate))
                return sCandidate;
        }
        return QString();
    }();
    if (!sFamily.isEmpty())
        font.setFamily(sFamily);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}
