// The regression bench beside a tab set on fake receivers, wired as the main
// window wires it: status requests, log files and baud rates to the tab set
// by tab, commands and relay frames to the port manager by port ID. Serial
// ports open with waits short enough for pseudo-terminals.
#pragma once

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <string>

#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/tools/regression_diag.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/shell_stand_in.h"

// A receiver's rules with its own board ID.
inline RECEIVER_RULES_T BoardRules(const char* pId)
{
    RECEIVER_RULES_T rules;
    rules.VersionLine = std::string("ZV100-A1,R3.1.0,x,1A2B0001,ID:") + pId + ",SN:123,F:1F";
    rules.RebootAfterLoad = true;
    return rules;
}

struct RegressionBench
{
    ShellStandIn Shell;
    QRegressionDiag Bench;

    RegressionBench()
    {
        UART_CTRL_TIMING_T t;
        t.Device = FastUartTiming();
        t.PropertyPoll = 20;
        t.PropertyPolls = 100; // ends at the reply; room for a loaded machine
        t.RateChangeWait = 10;
        t.RateSettle = 20;
        t.UpgradeCmdWait = 10;
        t.UpgradeSaveWait = 10;
        Shell.Manager.SetUartTiming(t);
        CPortTab* pTabs = &Shell.Tabs;
        // The waits are shortened a thousandfold; every port hands its bytes
        // over at the first interval instead of once a second when its tab is
        // not the current one.
        QObject::disconnect(pTabs, &CPortTab::SignalSetBaseCtrlTimeInterval, &Shell.Manager,
                            &QZvPortManager::SetActivePortID);
        Bench.m_pPortTab = pTabs;
        QObject::connect(&Bench, &QRegressionDiag::SignalRegressionRequestStatus, pTabs, &CPortTab::OnRequestItem);
        QObject::connect(&Bench, &QRegressionDiag::SignalRegressionSendCmd, &Shell.Manager,
                         &QZvPortManager::OnSendPortData1Port);
        QObject::connect(&Bench, &QRegressionDiag::SignalRegressionSetFileName, pTabs, &CPortTab::OnLogNewFile);
        QObject::connect(&Bench, &QRegressionDiag::SignalRegressionCloseFile, pTabs, &CPortTab::OnCloseFilePort);
        QObject::connect(&Bench, &QRegressionDiag::signalRegressionLogConfig, pTabs, &CPortTab::OnSignalLogConfig);
        QObject::connect(&Bench, &QRegressionDiag::SignalRegressionChangeBaudRate, pTabs, &CPortTab::OnSetBaudrateTab);
    }

    ~RegressionBench() { Shell.Manager.OnProfressionMode(false); }

    // The relay board's port: a device that never answers the property query
    // opens in professional mode only.
    QZvPortCtrlBase* OpenRelay(const std::string& sDevice)
    {
        Shell.Manager.OnProfressionMode(true);
        return Shell.Open(sDevice, 9600);
    }
    // A serial port on the receiver's pseudo-terminal, once it has described itself.
    QZvPortCtrlBase* OpenBoard(FakeReceiver& Rx)
    {
        if (!Rx.Plug())
            return nullptr;
        QZvPortCtrlBase* pCtrl = Shell.Open(Rx.Rx().Name());
        return pCtrl != nullptr && WaitUntil([pCtrl] { return pCtrl->IsPropertyValid(); }) ? pCtrl : nullptr;
    }
    int RowOf(const QString& sBoardID) const
    {
        for (int i = 0; i < Bench.BoardTable()->rowCount(); ++i)
            if (Bench.BoardTable()->item(i, QRegressionDiag::COL_BOARD_ID)->text() == sBoardID)
                return i;
        return -1;
    }
    void SetCell(int nRow, int nColumn, const QString& sText)
    {
        Bench.BoardTable()->item(nRow, nColumn)->setText(sText);
    }
    // Opens the bench with a log root that exists already.
    void Open(const QString& sRoot)
    {
        const QString sFile = QRegressionDiag::LogRootFile();
        QDir().mkpath(QFileInfo(sFile).path());
        QFile f(sFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(sRoot.toUtf8());
        f.close();
        Bench.OnShowDialog();
        ASSERT_TRUE(Bench.isVisible());
    }
};
