// What the connection windows ask of the port tab set (CPortTab): the
// current port, whether a port name has a tab, and resetting or reconnecting
// a port's tab. Each is the tab set's own operation, safe to call before the
// window has been given its tab set.
#pragma once

#include <QString>

class CPortTab;
class QZvPortCtrlBase;

// CPortTab::GetCurPortCtrl; null without a tab set.
QZvPortCtrlBase* PortTabCurPortCtrl(const CPortTab* pTabs);
// CPortTab::GetTabIndexByName; false without a tab set.
bool PortTabHasPortName(const CPortTab* pTabs, const QString& sName, QZvPortCtrlBase** ppCtrl);
// CPortTab::RefreshTabText; false without a tab set.
bool PortTabRefreshText(CPortTab* pTabs, uint UniquePortID);
// CPortTab::IsPortNameOpen (reconnects that serial port); false without a tab set.
bool PortTabReconnectByName(CPortTab* pTabs, const QString& sName);
// CPortTab::GetPortTypeIcon.
QString PortTabIcon(uint PortType);
