#include "monitor/views/height_plot.h"

QHeightPlot::QHeightPlot(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Height Plot"), pParent)
{
    setObjectName(QStringLiteral("QHeightPlot"));
}

void QHeightPlot::OnUpdateHeightPlotWindow(void*) { Note("OnUpdateHeightPlotWindow"); }
