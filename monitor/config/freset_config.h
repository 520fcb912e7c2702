// The factory reset dialog: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QFresetConfig : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QFresetConfig(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendCMD(uint UniquePortID, QByteArray WriteData);
    void SignalFresetOkBtnClicked(uint Mask);
};
