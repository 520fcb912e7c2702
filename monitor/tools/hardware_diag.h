// The hardware test: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QHardwareDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QHardwareDiag(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalHardwareChangeBuadRate(uint Baudrate, int PortIndex);
    void SignalHardwareSendCmd(uint UniquePortID, QByteArray SendData);
    void SignalHardwareSetFileName(int PortIndex, QString LogFileName);
    void SignalHardwareCloseFile(int PortIndex);
    void SignalHardWareLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime);

public slots:
    // While the test upgrades boards, a finished upgrade shows no box.
    void OnUPdateNotBox(bool bQuiet);
};
