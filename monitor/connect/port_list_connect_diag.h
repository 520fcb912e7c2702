// The "Port Connect" window: its first page lists the computer's serial
// ports with their state and connects any number of them at once; its second
// page lists the receivers found on the local network by mDNS, each with a
// button that opens the receiver's web page.
#pragma once

#include <QDialog>
#include <memory>

#include "monitor/ports/port_ctrl_base.h"

class CPortTab;
class QmDNSHostnameDelegate;
class ServiceModel;

namespace Mdns
{
class Server;
}

namespace Ui
{
class PortListConnectDiag;
}

class QPortListConnectDiag : public QDialog
{
    Q_OBJECT

public:
    enum PORT_COLUMN_E
    {
        COLUMN_PORT_NAME = 0,
        COLUMN_BAUD_RATE = 1,
        COLUMN_WINDOW_NAME = 2,
        COLUMN_LOG = 3,
        COLUMN_OCCUPIED = 4,
        COLUMN_CONNECTED = 5,
    };
    enum PAGE_E
    {
        PAGE_PORT_LIST = 0,
        PAGE_WEB_LIST = 1,
    };

    explicit QPortListConnectDiag(QWidget* pParent = nullptr);
    ~QPortListConnectDiag() override;

    CPortTab* m_pPortTab = nullptr; // set by the main window

    Mdns::Server* GetServer() const { return m_pServer; }
    ServiceModel* GetServiceModel() const { return m_pServiceModel; }

signals:
    // One UART_CONFIG_T per port to connect, read during the emission.
    void SignalConnect(QZvPortCtrlBase::PORT_TYPE_E PortType, void* pDataSet);

public slots:
    void ShowDiag();
    void OnGetPortList();
    void OnBtnClickedConnect();
    void OnSelectAllItem();
    void OnSetBaudrateAutoMode();
    void OnBtnClickedRefresh();
    void OnRefreshBtnClicked();
    void OnShowWebIFTab(int Index);
    void OnBtnClickedOpenWeb(int Index);
    void done(int r) override;
    void OnLanguageUpdate();

private:
    void SetPortTableHeaders();
    void ResumeDiscovery();
    // Widens the address column to its longest address.
    void FitAddressColumn();

    bool m_bSelectAll = true;
    Mdns::Server* m_pServer;
    ServiceModel* m_pServiceModel = nullptr; // created on the first refresh of the web list
    QmDNSHostnameDelegate* m_pDelegate;
    std::unique_ptr<Ui::PortListConnectDiag> m_pUi;
};
