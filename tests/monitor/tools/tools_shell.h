// The port tab set and port manager (the shell stand-in) with the automatic
// logging, hardware test and production mode windows wired to them as the
// monitor's main window wires them, for tests that drive these tools against
// fake receivers.
#pragma once

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/tools/auto_log_list.h"
#include "monitor/tools/hardware_diag.h"
#include "monitor/tools/product_mode_diag.h"
#include "support/monitor/shell_stand_in.h"

struct ToolsShell : ShellStandIn
{
    QAutoLogList AutoLog;
    QHardwareDiag Hardware;
    QProductModeDiag ProductMode;

    ToolsShell()
    {
        // Each test starts without the tools' configuration files.
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/Configure"))
            .removeRecursively();
        // A serial receiver is given 10 s to describe itself (the query ends at its reply).
        UART_CTRL_TIMING_T uart;
        uart.PropertyPolls = 50;
        Manager.SetUartTiming(uart);
        QZvPortManager* pManager = &Manager;
        CPortTab* pTabs = &Tabs;
        AutoLog.m_pPortTab = pTabs;
        Hardware.m_pPortTab = pTabs;
        ProductMode.m_pPortTab = pTabs;
        QObject::connect(&AutoLog, &QAutoLogList::SignalLogNewFile, pTabs, &CPortTab::OnLogNewFile);
        QObject::connect(&AutoLog, &QAutoLogList::SignalStoplogFile, pTabs, &CPortTab::OnUnlogFilePort);
        QObject::connect(&AutoLog, &QAutoLogList::SignalCloseFile, pTabs, &CPortTab::OnCloseFilePort);
        QObject::connect(&AutoLog, &QAutoLogList::SignalSetFileName, pTabs, &CPortTab::OnSetTabLogFilename);
        QObject::connect(&AutoLog, &QAutoLogList::SignalLogConfig, pTabs, &CPortTab::OnSignalLogConfig);
        QObject::connect(pTabs, &CPortTab::SignaPortCloseEvent, &AutoLog, &QAutoLogList::OnPortCloseEvent);
        QObject::connect(pTabs, &CPortTab::SignaUpdateAutoLogList, &AutoLog, &QAutoLogList::OnRefreshAutoLogList);

        QObject::connect(&Hardware, &QHardwareDiag::SignalHardwareSendCmd, pManager,
                         &QZvPortManager::OnSendPortData1Port);
        QObject::connect(&Hardware, &QHardwareDiag::SignalHardwareSetFileName, pTabs, &CPortTab::OnLogNewFile);
        QObject::connect(&Hardware, &QHardwareDiag::SignalHardwareCloseFile, pTabs, &CPortTab::OnCloseFilePort);
        QObject::connect(&Hardware, &QHardwareDiag::SignalHardWareLogConfig, pTabs, &CPortTab::OnSignalLogConfig);
        QObject::connect(&Hardware, &QHardwareDiag::SignalHardwareChangeBuadRate, pTabs, &CPortTab::OnSetBaudrateTab);
        QObject::connect(&Hardware, &QHardwareDiag::SignalSendHardwareVersionMask, pTabs, &CPortTab::OnRequestItem);
        QObject::connect(&Hardware, &QHardwareDiag::SignalHardwareUpgradeFW, pManager,
                         &QZvPortManager::OnSetUpgradeFW1Port);
        QObject::connect(&Hardware, &QHardwareDiag::SignalHardwareCancelUpgradeFW, pManager,
                         &QZvPortManager::OnCancelUpgradeFW1Port);
        QObject::connect(pManager, &QZvPortManager::SignalUpgradeFWComplete, &Hardware,
                         &QHardwareDiag::OnUpgradeFWComplete);
        QObject::connect(pManager, &QZvPortManager::SignalUpdateFail, &Hardware, &QHardwareDiag::OnUpgradeFWFail);
        QObject::connect(pTabs, &CPortTab::SignalStatusMsgParseFinished, &Hardware,
                         &QHardwareDiag::OnStatusMsgParseFinished);
        QObject::connect(pTabs, &CPortTab::SignaPortCloseEvent, &Hardware, &QHardwareDiag::OnPortCloseEvent);

        QObject::connect(&ProductMode, &QProductModeDiag::SignalSetStaticIp, pManager,
                         &QZvPortManager::OnSendPortData1Port);
        QObject::connect(&ProductMode, &QProductModeDiag::SignalRefreshPortProperty, pManager,
                         &QZvPortManager::RefreshProperty);
        QObject::connect(pManager, &QZvPortManager::SignalBoardReset, &ProductMode,
                         &QProductModeDiag::OnProductBoardReset);
    }
};

inline QByteArray ReadAll(const QString& sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteAll(const QString& sPath, const QByteArray& Bytes)
{
    QDir().mkpath(QFileInfo(sPath).absolutePath());
    QFile file(sPath);
    return file.open(QIODevice::WriteOnly) && file.write(Bytes) == Bytes.size();
}
