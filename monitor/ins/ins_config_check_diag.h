// The INS configuration check: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QINSConfigCheckDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QINSConfigCheckDiag(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendINSConfigMask(uint portindex, uint Mask);
    void SignalSendINSImuConfigCmd(uint UniqueID, QByteArray INSImuCmd);

public slots:
    void OnUpdateDiag();
};
