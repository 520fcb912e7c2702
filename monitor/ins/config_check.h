// The configuration and tracking-quality check: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QString>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QConfigCheck : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QConfigCheck(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalConfigCheckBtnClickd(uint Mask);
    void SignalCheckPort(int PortIndex, uint Mask);

public slots:
    void OnShowConfigCheckWindow();
    void OnNoValidPortExist();
    void OnCycleCheckTQOn(QString TqRecordPath);
    void OnCycleCheckTQOff();
};
