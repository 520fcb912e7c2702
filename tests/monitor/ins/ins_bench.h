// The INS windows beside a tab set on fake receivers, wired as the main window
// wires them: status requests to the tab set, commands to the port manager by
// port ID, log files through the tab set, and every parsed status reply handed
// to the window that waits for it while the tab set names its port.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>
#include <functional>
#include <string>

#include "monitor/ins/config_check.h"
#include "monitor/ins/ins_config_check_diag.h"
#include "monitor/ins/ins_config_diag.h"
#include "monitor/ins/medium_freq_diag.h"
#include "monitor/ins/nvm_log_diag.h"
#include "monitor/parsing/status_msg_parser.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/shell_stand_in.h"

struct InsBench
{
    ShellStandIn Shell;
    QZvINSConfig InsConfig;
    QINSConfigCheckDiag InsCheck;
    QConfigCheck ConfigCheck;
    QMediumFreqDiag MediumFreq;
    QNvmLogDiag NvmLog;

    InsBench()
    {
        CPortTab* pTabs = &Shell.Tabs;
        QZvPortManager* pManager = &Shell.Manager;
        const auto sendTo = &QZvPortManager::OnSendPortData1Port;
        InsConfig.m_pPortTab = pTabs;
        InsCheck.m_pPortTab = pTabs;
        ConfigCheck.m_pPortTab = pTabs;
        MediumFreq.m_pPortTab = pTabs;
        NvmLog.m_pPortTab = pTabs;
        QObject::connect(&InsConfig, &QZvINSConfig::SignalSendINSCommandToPort, pManager, sendTo);
        QObject::connect(&InsCheck, &QINSConfigCheckDiag::SignalSendINSImuConfigCmd, pManager, sendTo);
        QObject::connect(&InsCheck, &QINSConfigCheckDiag::SignalSendINSConfigMask, pTabs, &CPortTab::OnRequestItem);
        QObject::connect(&ConfigCheck, &QConfigCheck::SignalCheckPort, pTabs, &CPortTab::OnRequestItem);
        QObject::connect(pTabs, &CPortTab::SignalNoValidPortExist, &ConfigCheck, &QConfigCheck::OnNoValidPortExist);
        QObject::connect(&MediumFreq, &QMediumFreqDiag::SignalSendHwinfoMask, pTabs, &CPortTab::OnRequestItem);
        QObject::connect(&MediumFreq, &QMediumFreqDiag::SignalMediumFreqSendCmd, pManager, sendTo);
        QObject::connect(&MediumFreq, &QMediumFreqDiag::SignalMediumFreqSetFileName, pTabs,
                         &CPortTab::OnSetLogFilename1Port);
        QObject::connect(&MediumFreq, &QMediumFreqDiag::SignalMediumFreqSetBaud, pTabs, &CPortTab::OnSetBaudrateTab);
        QObject::connect(&MediumFreq, &QMediumFreqDiag::SignalMediumFreqCloseFile, pTabs, &CPortTab::OnCloseFilePort);
        QObject::connect(&NvmLog, &QNvmLogDiag::SignalSendNvmCommand, pManager, sendTo);
        QObject::connect(&NvmLog, &QNvmLogDiag::SignalSendNavdumpMask, pTabs, &CPortTab::OnRequestCustomItem);
        QObject::connect(&NvmLog, &QNvmLogDiag::SignalNavSetBaud, pTabs, &CPortTab::OnSetBaudrateTab);
        QObject::connect(&NvmLog, &QNvmLogDiag::SignalNvmSetFileName, pTabs, &CPortTab::OnSetLogFilename1Port);
        QObject::connect(pTabs, &CPortTab::SignalStatusMsgParseFinished, pTabs,
                         [this](uint Mask)
                         {
                             if ((Mask & STATUS_MSG_USERCONFIG) && InsConfig.isVisible())
                                 InsConfig.OnUpdateDiag(&Shell.Tabs);
                             if (Mask & STATUS_MSG_INSCONFIG)
                                 InsCheck.OnUpdateDiag();
                             if (Mask & STATUS_MSG_HWINFO)
                                 MediumFreq.OnUpdateDiag();
                         });
    }

    // A TCP port on the receiver, once it has described itself.
    QZvPortCtrlBase* OpenTcp(FakeReceiver& Rx)
    {
        QZvPortCtrlBase* pCtrl = Rx.Listen() != 0 ? Shell.OpenTcp(Rx) : nullptr;
        return pCtrl != nullptr && Queried(Rx.Net()) ? pCtrl : nullptr;
    }
    // A serial port on the receiver's pseudo-terminal, once it has described itself.
    QZvPortCtrlBase* OpenSerial(FakeReceiver& Rx)
    {
        if (!Rx.Plug())
            return nullptr;
        QZvPortCtrlBase* pCtrl = Shell.Open(Rx.Rx().Name());
        return pCtrl != nullptr && WaitUntil([pCtrl] { return pCtrl->IsPropertyValid(); }) && Queried(Rx.Rx())
                   ? pCtrl
                   : nullptr;
    }
    // The line keeps what it received after its receiver answered: once the
    // property query is in it, what a test clears is gone for good.
    static bool Queried(const ReceiverLine& Line)
    {
        return WaitUntil([&Line] { return Line.Received().find("netconfig\r\n") != std::string::npos; });
    }
    void MakeCurrent(const QZvPortCtrlBase* pPort)
    {
        Shell.Tabs.setCurrentIndex(Shell.Tabs.GetTabIndexByPortID(pPort->UniquePortID));
    }
    // Whether the port's replies to its status queries have all come.
    bool Answered(const QZvPortCtrlBase* pPort)
    {
        const QStatusMsgParser* p = Shell.Tabs.GetStatusReplies(pPort->UniquePortID);
        return p != nullptr && p->PendingMask() == 0;
    }

    // What the receiver's line received while Act ran: a marker sent to its
    // port afterwards, on the same road, ends the wait and shows nothing else came.
    std::string Received(ReceiverLine& Line, const QZvPortCtrlBase* pPort, const std::function<void()>& Act)
    {
        Line.ClearReceived();
        Act();
        const std::string sMark = "MARK\r\n";
        Shell.Manager.OnSendPortData1Port(pPort->UniquePortID, QByteArray::fromStdString(sMark));
        EXPECT_TRUE(WaitUntil(
            [&]
            {
                const std::string s = Line.Received();
                return s.size() >= sMark.size() && s.compare(s.size() - sMark.size(), sMark.size(), sMark) == 0;
            }));
        const std::string s = Line.Received();
        return s.substr(0, s.size() - std::min(s.size(), sMark.size()));
    }
};

// Everything the receiver sent, in order, as bytes.
inline QByteArray SentBytes(const FakeReceiver& Rx)
{
    QByteArray all;
    for (const STREAM_ITEM_T& it : Rx.Sent())
        all.append(it.Wire.data(), static_cast<int>(it.Wire.size()));
    return all;
}

inline QByteArray FileBytes(const QString& sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
