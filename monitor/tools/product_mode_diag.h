// The production mode: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QProductModeDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QProductModeDiag(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalProductModeSendMask(int portIndex, uint Mask);
    void SignalSetStaticIp(uint UniquePortID, QByteArray sStaticIPCmd);
    void SignalRefreshPortProperty(int portIndex, uint UniquePortID);

public slots:
    void OnProductModeDiagShow();
    void OnProductBoardReset(uint UniquePortID);
};
