#include "monitor/views/track_plot.h"

QTrackPlot::QTrackPlot(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Track Plot"), pParent)
{
    setObjectName(QStringLiteral("QTrackPlot"));
}

void QTrackPlot::OnUpdateTrackPlotWindow(void*) { Note("OnUpdateTrackPlotWindow"); }

void QTrackPlot::OnShowTrackWindow()
{
    Note("OnShowTrackWindow");
    OnShowDialog();
}
