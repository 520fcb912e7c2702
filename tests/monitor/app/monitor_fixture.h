// The monitor's main window as the program makes it, for tests that drive it
// as a user would: commands typed into the command window, menu entries
// triggered, keys pressed, the window closed. The scripted prompt answers
// every box; receivers found by mDNS are looked for on the loopback address
// only; the serial port list is the test's own; no saved layout is read.
#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "monitor/ports/serial_port_list.h"
#include "monitor/ports/mdns/service_model.h"
#include "monitor/app/zorvik_monitor.h"
#include "monitor/shell/cmd_input.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/txt_browser.h"
#include "support/monitor/mdns_responder.h"
#include "support/monitor/receiver_ports.h"
#include "support/scripted_prompt.h"
#include "ui_QZorvikMonitor.h"

class MonitorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings(QStringLiteral("QtGuider"), QStringLiteral("QtFlex5")).remove(QStringLiteral("Flex"));
        m_SavedMdns = Mdns::Server::DefaultConfig();
        Mdns::Server::DefaultConfig() = m_Responder.LoopbackConfig();
        SetSerialPortLister([this](QStringList& List, QString&) {
            List = SerialPorts;
            return 0;
        });
        StartMonitor();
    }
    void TearDown() override
    {
        m_pWindow.reset();
        SetSerialPortLister({});
        Mdns::Server::DefaultConfig() = m_SavedMdns;
        InstallMonitorTranslations(QStringLiteral("en"));
    }

    void StartMonitor()
    {
        m_pWindow = std::make_unique<QZorvikMonitor>();
        PrepareMonitorApplication(*qApp, *m_pWindow);
        m_pWindow->show();
        // The language chosen at start reaches the windows as an event.
        QCoreApplication::processEvents();
    }

    QZorvikMonitor& Window() { return *m_pWindow; }
    const MONITOR_WINDOWS_T& W() const { return m_pWindow->Windows(); }
    Ui::QZorvikMonitor& Form() { return *m_pWindow->Form(); }
    CPortTab& Tabs() { return *W().pPortTab; }

    // Types a text into the command window and presses Enter.
    void Type(const QString& sText)
    {
        QCMDInput* pInput = W().pCmdInput;
        pInput->setFocus();
        QTest::keyClicks(pInput, sText);
        QTest::keyClick(pInput, Qt::Key_Return);
    }
    // Types "open" for a device; the port of the tab it gets, or null.
    QZvPortCtrlBase* TypeOpen(const std::string& Device, uint Rate = 115200)
    {
        const int before = Tabs().count();
        Type(QStringLiteral("open -t %1 -b %2").arg(QString::fromStdString(Device)).arg(Rate));
        if (!WaitUntil([&] { return Tabs().count() > before; }))
            return nullptr;
        return Tabs().GetPortCtrl(Tabs().count() - 1);
    }
    // The text the data view of tab i shows.
    QString Shown(int i) { return Tabs().GetTxView(i)->toPlainText(); }

    CScriptedPrompt Prompt;
    QStringList SerialPorts;

private:
    CMdnsResponder m_Responder{MDNS_RECEIVER_SERVICE_TYPE};
    Mdns::SERVER_CONFIG_T m_SavedMdns;
    std::unique_ptr<QZorvikMonitor> m_pWindow;
};
