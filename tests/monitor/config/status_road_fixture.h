// The tab set and port manager wired as the main window wires them, for the
// tests of the configuration windows that ask receivers for status replies:
// each parsed reply is counted by its bits and handed, while the tab set names
// the port it came from, to what the test connects to OnReply. Ports are fake
// receivers (TCP or a pseudo-terminal) or memory ports whose replies the test
// hands over.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/txt_browser.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/memory_port_ctrl.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/shell_stand_in.h"
#include "support/text_log_builder.h"

class StatusRoadTest : public ::testing::Test
{
public:
    StatusRoadTest()
    {
        QObject::connect(&Shell.Tabs, &CPortTab::SignalStatusMsgParseFinished, &Shell.Tabs,
                         [this](uint Mask)
                         {
                             for (uint bit = 1; bit != 0; bit <<= 1)
                                 if (Mask & bit)
                                     ++m_Replies[bit];
                             if (OnReply)
                                 OnReply(Mask);
                         });
    }

    // The windows that the main window's fan-out calls for a reply's bits.
    std::function<void(uint Mask)> OnReply;

    QZvPortCtrlBase* Open(FakeReceiver& Rx) { return Rx.Listen() != 0 ? Shell.OpenTcp(Rx) : nullptr; }

    // Replies of the bit counted since the last call; waits for one when bWait.
    bool Replied(uint Bit, bool bWait = true)
    {
        const bool bSeen = !bWait ? m_Replies[Bit] > m_Counted[Bit]
                                  : WaitUntil([&] { return m_Replies[Bit] > m_Counted[Bit]; });
        m_Counted[Bit] = m_Replies[Bit];
        return bSeen;
    }

    // What the receiver received while Act ran: a marker sent to its port
    // afterwards, on the same road, ends the wait and shows nothing else came.
    std::string Received(ReceiverLine& Line, QZvPortCtrlBase* pPort, const std::function<void()>& Act)
    {
        Line.ClearReceived();
        Act();
        const std::string sMark = "MARK\r\n";
        Shell.Manager.OnSendPortData1Port(pPort->UniquePortID, QByteArray::fromStdString(sMark));
        EXPECT_TRUE(Line.WaitFor(
            [&](const std::string& s)
            { return s.size() >= sMark.size() && s.compare(s.size() - sMark.size(), sMark.size(), sMark) == 0; },
            20000));
        const std::string s = Line.Received();
        return s.substr(0, s.size() - std::min(s.size(), sMark.size()));
    }

    // A port without a device whose received bytes the test hands over; the
    // receiver behind it calls the port it answers through sReceiverPort
    // (empty: it has not said yet). It becomes the current tab.
    CMemoryPortCtrl& AddMemoryPort(const QString& sReceiverPort = QStringLiteral("COM2"))
    {
        m_Ports.push_back(std::make_unique<CMemoryPortCtrl>());
        CMemoryPortCtrl& port = *m_Ports.back();
        if (!sReceiverPort.isEmpty())
            port.Property.Parse(QStringLiteral("<VERSION\r\n%1\r\n<VERSION OK\r\n[%2]netconfig\r\n")
                                    .arg(QLatin1String("ZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F"),
                                         sReceiverPort));
        Shell.Tabs.OnAddPort(port.UniquePortID, port.PortType, &port);
        Shell.Tabs.setCurrentIndex(Shell.Tabs.count() - 1);
        // The replies it is handed are text from the first byte on.
        Shell.Tabs.GetCurTxView()->m_DisplayMode = CZvTxtBrowser::DISPLAY_ASCII;
        return port;
    }

    // A receiver's log list reply, out of the receiver port pHeaderPort:
    // entries of port, name, trigger and period.
    struct LOG_ENTRY_T
    {
        const char* pPort;
        const char* pName;
        const char* pTrigger;
        double dPeriod;
    };
    static QByteArray LogListReply(const std::vector<LOG_ENTRY_T>& Entries, const char* pHeaderPort = "COM2")
    {
        std::string s = std::string("#LOGLISTA,") + pHeaderPort +
                        ",0,55.0,FINESTEERING,2295,79218.000,02000020,b1f6,16809;" + std::to_string(Entries.size());
        for (const LOG_ENTRY_T& e : Entries)
        {
            char entry[160];
            std::snprintf(entry, sizeof entry, ",%s,%s,%s,%.6f,0.000000,NOHOLD", e.pPort, e.pName, e.pTrigger,
                          e.dPeriod);
            s += entry;
        }
        return QByteArray::fromStdString(WithTextCrc(s) + "\r\n");
    }

    // The tab index of a port.
    int Tab(const QZvPortCtrlBase& Port) const { return Shell.Tabs.GetTabIndexByPortID(Port.UniquePortID); }

private:
    // Destroyed after the tab set that shows them.
    std::vector<std::unique_ptr<CMemoryPortCtrl>> m_Ports;

public:
    ShellStandIn Shell;

private:
    std::map<uint, int> m_Replies;
    std::map<uint, int> m_Counted;
};
