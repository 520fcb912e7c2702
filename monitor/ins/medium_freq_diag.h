// The intermediate-frequency output dialog: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QMediumFreqDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QMediumFreqDiag(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendHwinfoMask(int portindex, uint Mask);
    void SignalMediumFreqSendCmd(uint UniquePortID, QByteArray Cmd);
    void SignalMediumFreqSetFileName();
    void SignalMediumFreqSetBaud(int BaudRate, int portindex);
    void SignalMediumFreqCloseFile(int portindex);

public slots:
    void OnMediumFreqDiagShow();
    void OnUpdateDiag();
};
