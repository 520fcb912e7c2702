#include "monitor/connect/port_tab_calls.h"

#include "monitor/ports/port_ctrl_base.h"
#include "monitor/shell/port_tab.h"

QZvPortCtrlBase* PortTabCurPortCtrl(const CPortTab* pTabs) { return pTabs ? pTabs->GetCurPortCtrl() : nullptr; }

bool PortTabHasPortName(const CPortTab* pTabs, const QString& sName, QZvPortCtrlBase** ppCtrl)
{
    return pTabs && pTabs->GetTabIndexByName(sName, ppCtrl);
}

bool PortTabRefreshText(CPortTab* pTabs, uint UniquePortID) { return pTabs && pTabs->RefreshTabText(UniquePortID); }

bool PortTabReconnectByName(CPortTab* pTabs, const QString& sName) { return pTabs && pTabs->IsPortNameOpen(sName); }

QString PortTabIcon(uint PortType) { return CPortTab::GetPortTypeIcon(PortType); }
