// The carrier-to-noise bar chart: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QCN0BarChart : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QCN0BarChart(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendNMEAMsg(uint UniquePortID, QByteArray WriteData);

public slots:
    void OnUpdateCN0BarChart(void* pPortTab);
    void OnPortTabChange(int CurIndex);
};
