// The regression test bench: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QRegressionDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QRegressionDiag(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalRegressionSetFileName(int m_PortIndex, QString LogFileName);
    void SignalRegressionSendCmd(uint UniquePortID, QByteArray SendData);
    void SignalRegressionCloseFile(int PortIndex);
    void signalRegressionLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime);
    void SignalRegressionChangeBaudRate(uint Baudrate, int PortIndex);
};
