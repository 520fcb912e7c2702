// The track plot: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include "monitor/shell/stand_in_window.h"

class QTrackPlot : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QTrackPlot(QWidget* pParent = nullptr);

public slots:
    void OnUpdateTrackPlotWindow(void* pPos);
    void OnShowTrackWindow();
};
