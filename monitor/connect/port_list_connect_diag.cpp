#include "monitor/connect/port_list_connect_diag.h"
#include "monitor/shell/fit_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QUrl>

#include "monitor/ports/mdns/mdns_server.h"
#include "monitor/ports/serial_device.h"
#include "monitor/ports/serial_port_list.h"
#include "monitor/ports/mdns/service_model.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/connect/mdns_hostname_delegate.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/shell_log.h"
#include "monitor/connect/port_tab_calls.h"
#include "ui_PortListConnectDiag.h"

namespace
{
const char* const BAUD_RATES[] = {"4800",  "9600",   "14400",  "19200",  "38400",
                                  "57600", "115200", "230400", "460800", "921600"};
const int WEB_COLUMN_WIDTHS[] = {6, 240, 120, 100, 100, 120, 80};
} // namespace

QPortListConnectDiag::QPortListConnectDiag(QWidget* pParent)
    : QDialog(pParent), m_pServer(new Mdns::Server(this)), m_pDelegate(new QmDNSHostnameDelegate(this)),
      m_pUi(std::make_unique<Ui::PortListConnectDiag>())
{
    m_pUi->setupUi(this);
    m_pUi->pUartBaudrateAuto->hide();
    m_pUi->pSelectAllCheckBox->setChecked(m_bSelectAll);
    m_pUi->m_PortTabWidget->setCurrentIndex(PAGE_PORT_LIST);
    QTableWidget* pTable = m_pUi->m_pPortTableWidget;
    pTable->setColumnCount(6);
    pTable->horizontalHeader()->setSectionsClickable(false);
    pTable->horizontalHeader()->setHighlightSections(false);
    pTable->verticalHeader()->hide();
    SetPortTableHeaders();
    m_pUi->m_pWebTableView->setItemDelegateForColumn(ServiceModel::COLUMN_HOST_NAME, m_pDelegate);

    connect(m_pDelegate, &QmDNSHostnameDelegate::SignalOpenWeb, this, &QPortListConnectDiag::OnBtnClickedOpenWeb);
    connect(m_pUi->ConnectButtion, &QPushButton::clicked, this, &QPortListConnectDiag::OnBtnClickedConnect);
    // One handler that looks at the page: refreshing the serial ports sends
    // nothing to the network, and the web list is refreshed once.
    connect(m_pUi->RefreshButton, &QPushButton::clicked, this, &QPortListConnectDiag::OnRefreshBtnClicked);
    connect(m_pUi->CancelButtion, &QPushButton::clicked, this, &QDialog::close);
    connect(m_pUi->pSelectAllCheckBox, &QCheckBox::clicked, this, &QPortListConnectDiag::OnSelectAllItem);
    connect(m_pUi->pUartBaudrateAuto, &QCheckBox::clicked, this, &QPortListConnectDiag::OnSetBaudrateAutoMode);
    connect(m_pUi->m_PortTabWidget, &QTabWidget::currentChanged, this, &QPortListConnectDiag::OnShowWebIFTab);
}

QPortListConnectDiag::~QPortListConnectDiag()
{
    // The model's browser and resolvers use the server: they go first.
    delete m_pServiceModel;
}

void QPortListConnectDiag::SetPortTableHeaders()
{
    QTableWidget* pTable = m_pUi->m_pPortTableWidget;
    pTable->setHorizontalHeaderLabels(
        {tr("Port Name"), tr("Baud Rate"), tr("Window Name"), tr("Log"), tr("Occupied"), tr("Connected")});
    // Each column at least as wide as its header in the language in use.
    FitTableColumns(pTable);
}

void QPortListConnectDiag::ShowDiag()
{
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    OnGetPortList();
    // The web list is live again as soon as it is in sight.
    if (m_pUi->m_PortTabWidget->currentIndex() == PAGE_WEB_LIST)
        OnShowWebIFTab(PAGE_WEB_LIST);
    show();
}

void QPortListConnectDiag::OnGetPortList()
{
    m_pUi->ConnectButtion->setFocus();
    QStringList ports;
    QString sError;
    EnumSerialPorts(ports, sError);

    QTableWidget* pTable = m_pUi->m_pPortTableWidget;
    pTable->clearContents();
    pTable->setRowCount(ports.size());
    const QIcon icon(PortTabIcon(QZvPortCtrlBase::PORT_TYPE_UART));
    for (int row = 0; row < ports.size(); ++row)
    {
        const QString& sName = ports[row];
        auto* pCheck = new QCheckBox(sName);
        pCheck->setIcon(icon);
        pTable->setCellWidget(row, COLUMN_PORT_NAME, pCheck);
        auto* pBaud = new QComboBox;
        pBaud->addItem(tr("Auto"));
        for (const char* pRate : BAUD_RATES)
            pBaud->addItem(QString::fromLatin1(pRate));
        pBaud->setCurrentText(QStringLiteral("115200"));
        pTable->setCellWidget(row, COLUMN_BAUD_RATE, pBaud);

        // A port with a tab is ours: it is not opened again to find out.
        QZvPortCtrlBase* pCtrl = nullptr;
        const bool bConnected = PortTabHasPortName(m_pPortTab, sName, &pCtrl);
        bool bOccupied = bConnected;
        if (!bConnected)
        {
            CUartProcess probe;
            bOccupied = probe.OpenPort(QFile::encodeName(sName).constData(), 115200) != 1;
            probe.ClosePort();
        }
        bool bLogging = false;
        if (bConnected && pCtrl)
        {
            bLogging = pCtrl->IsLogging();
            if (pCtrl->PortType == QZvPortCtrlBase::PORT_TYPE_UART)
            {
                const int nIndex =
                    pBaud->findText(QString::number(static_cast<QZvUartPortCtrl*>(pCtrl)->GetPortConfig().BaudRate));
                if (nIndex >= 0)
                    pBaud->setCurrentIndex(nIndex);
            }
        }
        if (bOccupied)
        {
            pCheck->setEnabled(false);
            pBaud->setEnabled(false);
        }
        auto* pName = new QTableWidgetItem(sName);
        pName->setTextAlignment(Qt::AlignCenter);
        pName->setFlags(pName->flags() & ~Qt::ItemIsEditable);
        pTable->setItem(row, COLUMN_WINDOW_NAME, pName);
        const bool flags[] = {bLogging, bOccupied, bConnected};
        for (int c = COLUMN_LOG; c <= COLUMN_CONNECTED; ++c)
        {
            const bool bYes = flags[c - COLUMN_LOG];
            auto* pItem = new QTableWidgetItem(bYes ? tr("Yes") : tr("No"));
            pItem->setData(Qt::UserRole, bYes);
            pItem->setTextAlignment(Qt::AlignCenter);
            pItem->setFlags(pItem->flags() & ~Qt::ItemIsEditable);
            pTable->setItem(row, c, pItem);
        }
    }
    FitTableColumns(pTable);
    pTable->resizeRowsToContents();
    OnSelectAllItem();
}

void QPortListConnectDiag::OnSelectAllItem()
{
    m_bSelectAll = m_pUi->pSelectAllCheckBox->isChecked();
    QTableWidget* pTable = m_pUi->m_pPortTableWidget;
    for (int row = 0; row < pTable->rowCount(); ++row)
    {
        auto* pCheck = qobject_cast<QCheckBox*>(pTable->cellWidget(row, COLUMN_PORT_NAME));
        if (pCheck && pCheck->isEnabled())
            pCheck->setChecked(m_bSelectAll);
    }
}

void QPortListConnectDiag::OnSetBaudrateAutoMode()
{
    // Every serial port of this system is a candidate; Linux names carry no
    // common "COM" prefix to pick them by.
    QTableWidget* pTable = m_pUi->m_pPortTableWidget;
    for (int row = 0; row < pTable->rowCount(); ++row)
    {
        auto* pBaud = qobject_cast<QComboBox*>(pTable->cellWidget(row, COLUMN_BAUD_RATE));
        if (pBaud && pBaud->isEnabled())
            pBaud->setCurrentIndex(0);
    }
}

void QPortListConnectDiag::OnBtnClickedConnect()
{
    QTableWidget* pTable = m_pUi->m_pPortTableWidget;
    for (int row = 0; row < pTable->rowCount(); ++row)
    {
        auto* pCheck = qobject_cast<QCheckBox*>(pTable->cellWidget(row, COLUMN_PORT_NAME));
        auto* pBaud = qobject_cast<QComboBox*>(pTable->cellWidget(row, COLUMN_BAUD_RATE));
        if (!pCheck || !pBaud || !pCheck->isChecked())
            continue;
        if (PortTabReconnectByName(m_pPortTab, pCheck->text()))
            continue; // the open port is reconnected instead
        UART_CONFIG_T config;
        config.PortName = pCheck->text();
        // "Auto" reads as 0: the serial port controller then finds the rate.
        config.BaudRate = pBaud->currentIndex() == 0 ? 0 : pBaud->currentText().toUInt();
        config.ByteSize = 8;
        config.Parity = 0;
        config.StopBits = 0;
        qCDebug(lcShell, "PortListDiag:Add %d", row);
        emit SignalConnect(QZvPortCtrlBase::PORT_TYPE_UART, &config);
    }
    close();
}

void QPortListConnectDiag::OnBtnClickedRefresh()
{
    QTableView* pView = m_pUi->m_pWebTableView;
    if (m_pServiceModel)
    {
        m_pServiceModel->Refresh();
        // Binds and joins again at once.
        m_pServer->SetEnable(false);
        m_pServer->SetEnable(true);
    }
    else
    {
        m_pServiceModel = new ServiceModel(m_pServer, MDNS_RECEIVER_SERVICE_TYPE, this);
        pView->setModel(m_pServiceModel);
        // Addresses arrive after their rows.
        connect(m_pServiceModel, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& TopLeft, const QModelIndex& BottomRight)
                {
                    if (TopLeft.column() <= ServiceModel::COLUMN_IP && BottomRight.column() >= ServiceModel::COLUMN_IP)
                        FitAddressColumn();
                });
    }
    pView->horizontalHeader()->setVisible(true);
    pView->horizontalHeader()->setSectionsClickable(true);
    pView->resizeRowsToContents();
    pView->resizeColumnsToContents();
    for (int c = 0; c < int(sizeof WEB_COLUMN_WIDTHS / sizeof WEB_COLUMN_WIDTHS[0]); ++c)
        pView->setColumnWidth(c, WEB_COLUMN_WIDTHS[c]);
    FitAddressColumn();
}

void QPortListConnectDiag::FitAddressColumn()
{
    // An address is shown whole: an IPv6 address is wider than the column.
    QTableView* pView = m_pUi->m_pWebTableView;
    const int nWidth = pView->columnWidth(ServiceModel::COLUMN_IP);
    pView->resizeColumnToContents(ServiceModel::COLUMN_IP);
    if (pView->columnWidth(ServiceModel::COLUMN_IP) < nWidth)
        pView->setColumnWidth(ServiceModel::COLUMN_IP, nWidth);
}

void QPortListConnectDiag::ResumeDiscovery()
{
    m_pServer->SetEnable(true);
    m_pServer->FlipStop(false);
    if (m_pServiceModel)
        m_pServiceModel->FlipStop(false);
}

void QPortListConnectDiag::OnRefreshBtnClicked()
{
    if (m_pUi->m_PortTabWidget->currentIndex() == PAGE_PORT_LIST)
    {
        OnGetPortList();
        return;
    }
    ResumeDiscovery();
    OnBtnClickedRefresh();
}

void QPortListConnectDiag::OnShowWebIFTab(int Index)
{
    if (Index == PAGE_WEB_LIST)
    {
        // Showing the list again resumes what closing the window paused.
        ResumeDiscovery();
        m_pUi->ConnectButtion->hide();
        OnBtnClickedRefresh();
    }
    else if (Index == PAGE_PORT_LIST)
    {
        m_pUi->ConnectButtion->show();
    }
}

void QPortListConnectDiag::OnBtnClickedOpenWeb(int Index)
{
    if (!m_pServiceModel)
        return;
    const QString sAddress = m_pServiceModel->data(m_pServiceModel->index(Index, ServiceModel::COLUMN_IP)).toString();
    if (sAddress.isEmpty())
        return;
    // The host is set apart so that an IPv6 address gets its brackets.
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(sAddress);
    MonitorPrompt()->OpenUrl(url);
    close();
}

void QPortListConnectDiag::done(int r)
{
    if (m_pServer->IsEnabled())
    {
        m_pServer->FlipStop(true);
        if (m_pServiceModel)
            m_pServiceModel->FlipStop(true);
    }
    QDialog::done(r);
}

void QPortListConnectDiag::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    SetPortTableHeaders();
    QTableWidget* pTable = m_pUi->m_pPortTableWidget;
    for (int row = 0; row < pTable->rowCount(); ++row)
    {
        if (auto* pBaud = qobject_cast<QComboBox*>(pTable->cellWidget(row, COLUMN_BAUD_RATE)))
            pBaud->setItemText(0, tr("Auto"));
        for (int c = COLUMN_LOG; c <= COLUMN_CONNECTED; ++c)
        {
            QTableWidgetItem* pItem = pTable->item(row, c);
            if (!pItem)
                continue;
            const bool bYes = pItem->data(Qt::UserRole).toBool();
            pItem->setText(bYes ? tr("Yes") : tr("No"));
        }
    }
}
