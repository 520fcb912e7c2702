// The sky plot: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QSkyplot : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QSkyplot(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendNMEAMsg(uint UniquePortID, QByteArray WriteData);

public slots:
    void OnUpdateSkyPlot(void* pPosition);
    void OnPortTabChange(int CurIndex);
};
