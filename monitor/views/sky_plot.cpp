#include "monitor/views/sky_plot.h"

QSkyplot::QSkyplot(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Sky Plot"), pParent)
{
    setObjectName(QStringLiteral("QSkyplot"));
}

void QSkyplot::OnUpdateSkyPlot(void*) { Note("OnUpdateSkyPlot"); }

void QSkyplot::OnPortTabChange(int) { Note("OnPortTabChange"); }
