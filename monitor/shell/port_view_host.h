// What a port's data view asks of the tab set that holds it: the tabs and
// their views (for the redirect menu and the current port), the position
// parser of the current port, the stable-mode switch, and the tab set's own
// handling of the menu entries that act on a whole tab (pause mark, lock,
// rename, log file, session options). The port tab set implements it; tests
// hold views in a small stand-in.
#pragma once

#include <QString>

class CZvTxtBrowser;
class QPosDataParser;

class CPortViewHost
{
public:
    virtual ~CPortViewHost() = default;

    virtual int GetTabCount() const = 0;
    virtual QString GetTabText(int i) const = 0;
    // The view of tab i / of the current tab; null for a tab without a view.
    virtual CZvTxtBrowser* GetTxView(int i) const = 0;
    virtual CZvTxtBrowser* GetCurTxView() const = 0;
    // The position parser whose record the views of the current port fill.
    virtual QPosDataParser* GetPosDataParser() const = 0;
    // While on, views feed neither the position parser nor the message filter.
    virtual bool IsStableMode() const = 0;

    // Pause or resume the current view and mark its tab.
    virtual void OnTriggerCurTxViewStopShow() = 0;
    // Lock or unlock the current port and mark its tab.
    virtual void OnLockTabOne() = 0;
    virtual void OnRenameTabDiag() = 0;
    // Starts or stops logging the current port to a file.
    virtual void OnSetLogFilename() = 0;
    // The session options of the current port: emits SignalCurPortConfig.
    virtual void EmitCurPortConfig() = 0;
};
