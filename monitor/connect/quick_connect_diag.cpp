#include "monitor/connect/quick_connect_diag.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QIntValidator>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <cstring>

#include "monitor/connect/port_tab_calls.h"
#include "monitor/ports/config_file.h"
#include "monitor/ports/ntrip_port_ctrl.h"
#include "monitor/ports/serial_port_list.h"
#include "monitor/ports/tcp_port_ctrl.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/ports/usb/usb_link.h"
#include "monitor/ports/usb_port_ctrl.h"
#include "monitor/shell/monitor_prompt.h"
#include "ui_QuickConnectDiag.h"

namespace
{
constexpr int PAGE_UART = QZvPortCtrlBase::PORT_TYPE_UART;
constexpr int PAGE_USB = QZvPortCtrlBase::PORT_TYPE_USB;
constexpr int PAGE_TCP = QZvPortCtrlBase::PORT_TYPE_TCP;
constexpr int PAGE_NTRIP = QZvPortCtrlBase::PORT_TYPE_NTRIP;
constexpr char DETECT_PROBE[] = "VERSION\r\n";
constexpr uint32_t DETECT_FALLBACK_RATE = 115200;

// Copies a field as single-byte text with its terminating zero, cut to the array.
template <size_t N> void CopyLatin1(char (&Target)[N], const QString& sText)
{
    const QByteArray bytes = sText.toLatin1().left(static_cast<int>(N) - 1);
    std::memset(Target, 0, N);
    std::memcpy(Target, bytes.constData(), static_cast<size_t>(bytes.size()));
}

template <size_t N> QString FromLatin1(const char (&Source)[N])
{
    return QString::fromLatin1(Source, static_cast<int>(strnlen(Source, N)));
}

// "a.b.c.d" packed with a in the top byte; 0 unless there are four numbers of 0 to 255.
uint32_t PackIPv4(const QString& sText)
{
    const QStringList parts = sText.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return 0;
    uint32_t value = 0;
    for (const QString& part : parts)
    {
        bool bOk = false;
        const uint n = part.trimmed().toUInt(&bOk);
        if (!bOk || n > 255)
            return 0;
        value = value << 8 | n;
    }
    return value;
}

// The IDs file as the user would type it: the home folder shown as "~".
QString UsbIdFileShownPath(const QString& sPath)
{
    const QString sHome = QDir::homePath() + QLatin1Char('/');
    return QDir::toNativeSeparators(sPath.startsWith(sHome) ? QStringLiteral("~/") + sPath.mid(sHome.size()) : sPath);
}
} // namespace

UART_TIMING_T& QuickConnectDiag::DetectTiming()
{
    static UART_TIMING_T timing;
    return timing;
}

QuickConnectDiag::QuickConnectDiag(QWidget* pParent)
    : QDialog(pParent), m_BaudRateList{"4800",  "9600",   "14400",  "19200",  "38400",
                                       "57600", "115200", "230400", "460800", "921600"},
      m_pUi(std::make_unique<Ui::QuickConnectDiag>())
{
    m_pUi->setupUi(this);
    setFixedSize(355, 509);
    InitUartTab();
    InitUsbTab();
    InitTcpTab();
    InitNtripTab();
    connect(m_pUi->m_BtnConfigConnect, &QPushButton::clicked, this, &QuickConnectDiag::OnBtnClickedQuickConnect);
    connect(m_pUi->m_BtnConfigCancel, &QPushButton::clicked, this, &QuickConnectDiag::OnBtnClickedCancel);
    connect(m_pUi->m_BtnBaudAutoDetect, &QPushButton::clicked, this, &QuickConnectDiag::OnAutoDetectBaud);
    connect(m_pUi->PortListComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &QuickConnectDiag::OnPortListComboIndexChanged);
}

QuickConnectDiag::~QuickConnectDiag()
{
    m_bStopDetect = true;
    if (m_DetectThread.joinable())
        m_DetectThread.join();
}

void QuickConnectDiag::FillTranslatedLists()
{
    QComboBox* pParity = m_pUi->ParityListComboBox;
    const int nParity = pParity->currentIndex();
    pParity->clear();
    // The index is the record's parity code.
    pParity->addItems({tr("None"), tr("Odd"), tr("Even"), tr("Mark"), tr("Space")});
    pParity->setCurrentIndex(qMax(0, nParity));
}

void QuickConnectDiag::InitUartTab()
{
    m_pUi->BaudrateListComboBox->addItems(m_BaudRateList);
    m_pUi->BaudrateListComboBox->setCurrentIndex(m_pUi->BaudrateListComboBox->findText(QStringLiteral("115200")));
    m_pUi->DatabitsListComboBox->addItems({"5", "6", "7", "8"});
    m_pUi->DatabitsListComboBox->setCurrentIndex(m_pUi->DatabitsListComboBox->findText(QStringLiteral("8")));
    FillTranslatedLists();
    // The index is the record's stop-bit code.
    m_pUi->StopbitsListComboBox->addItems({"1", "1.5", "2"});
    m_pUi->StopbitsListComboBox->setCurrentIndex(0);
    UpdateAutoDetectButton();
}

void QuickConnectDiag::InitUsbTab()
{
    // The status under the lists reads like the page, not like a field.
    QPlainTextEdit* pStatus = m_pUi->USBStatusText;
    pStatus->viewport()->setAutoFillBackground(false);
    pStatus->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    FillUsbDeviceList();
    // The index is the link channel.
    m_pUi->USBPortListComboBox->addItems({"USB1", "USB2", "USB3"});
}

void QuickConnectDiag::InitTcpTab()
{
    m_pUi->TCPProcotolComboBox->addItems({"TCP", "UDP"});
    m_pUi->TCPIPAddrName->setInputMask(QStringLiteral("000.000.000.000;_"));
    m_pUi->TCPIPAddrName->hide();
    m_pUi->TCPIPAddrLabel->hide();
    m_pUi->TCPServerName->setPlaceholderText(QStringLiteral("192.168.1.100"));
    m_pUi->TCPIPPort->setPlaceholderText(QStringLiteral("28000"));
    m_pUi->TCPIPPort->setValidator(new QIntValidator(100, 65530, this));
    setTabOrder(m_pUi->TCPProcotolComboBox, m_pUi->m_RadioTCPClient);
    setTabOrder(m_pUi->m_RadioTCPClient, m_pUi->m_RadioTCPServer);
    setTabOrder(m_pUi->m_RadioTCPServer, m_pUi->TCPServerName);
    setTabOrder(m_pUi->TCPServerName, m_pUi->TCPIPPort);
}

void QuickConnectDiag::InitNtripTab()
{
    NtripSetDefaultConfig(&m_NtripConfig);
    m_NtripConfig.Enable = 1;
    m_pUi->ServerNameEdit->setText(FromLatin1(m_NtripConfig.ServerName));
    m_pUi->Port->setText(QString::number(m_NtripConfig.Port));
    m_pUi->MountPointEdit->setText(FromLatin1(m_NtripConfig.MountPoint));
    m_pUi->UserNameEdit->setText(FromLatin1(m_NtripConfig.User));
    m_pUi->PasswordEdit->setText(FromLatin1(m_NtripConfig.Password));
    m_pUi->radioBClient->setChecked(true);
    // The protocol names are the same in every language; each item holds the record's Mode.
    QComboBox* pProtocol = m_pUi->NtripProtocolComboBox;
    pProtocol->addItem(QStringLiteral("NTRIP 2"), 5u);
    pProtocol->addItem(QStringLiteral("NTRIP 1"), 1u);
    pProtocol->addItem(QStringLiteral("NTRIP 2 (UDP)"), 4u);
    pProtocol->addItem(QStringLiteral("RTSP"), 3u);
    SelectNtripMode(m_NtripConfig.Mode);
    m_pUi->Port->setValidator(new QIntValidator(100, 65531, this));
    connect(m_pUi->buttonGroup, &QButtonGroup::idClicked, this, &QuickConnectDiag::OnNtripModeClick);
    connect(m_pUi->buttonGroup, QOverload<QAbstractButton*>::of(&QButtonGroup::buttonClicked), this,
            [this](QAbstractButton*) { setFocus(); });
}

void QuickConnectDiag::SelectNtripMode(uint32_t nMode)
{
    // Any mode other than those listed is NTRIP 2 over TCP.
    const int nIndex = m_pUi->NtripProtocolComboBox->findData(nMode);
    m_pUi->NtripProtocolComboBox->setCurrentIndex(qMax(0, nIndex));
}

int QuickConnectDiag::GetUsbDeviceList(QStringList& List)
{
    List = QZvUSBPortCtrl::DeviceTexts(tr("(Can NOT Open)"));
    return 0;
}

void QuickConnectDiag::ConnectPortListSignals(bool bConnect)
{
    if (bConnect)
    {
        connect(m_pUi->m_BtnConfigConnect, &QPushButton::clicked, this, &QuickConnectDiag::OnBtnClickedQuickConnect,
                Qt::UniqueConnection);
        connect(m_pUi->PortListComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &QuickConnectDiag::OnPortListComboIndexChanged, Qt::UniqueConnection);
    }
    else
    {
        disconnect(m_pUi->m_BtnConfigConnect, &QPushButton::clicked, this, &QuickConnectDiag::OnBtnClickedQuickConnect);
        disconnect(m_pUi->PortListComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                   &QuickConnectDiag::OnPortListComboIndexChanged);
    }
}

void QuickConnectDiag::RefreshUartPortList()
{
    ConnectPortListSignals(false);
    m_pUi->PortListComboBox->clear();
    QStringList ports;
    QString sError;
    if (EnumSerialPorts(ports, sError) == 0)
    {
        CUartProcess probe;
        for (const QString& sName : ports)
        {
            // A port with a tab is in use here; it is not opened again.
            if (PortTabHasPortName(m_pPortTab, sName, nullptr))
                continue;
            const bool bFree = probe.OpenPort(QFile::encodeName(sName).constData(), 115200) == 1;
            probe.ClosePort();
            if (bFree)
                m_pUi->PortListComboBox->addItem(sName);
        }
    }
    ConnectPortListSignals(true);
}

void QuickConnectDiag::FillUsbDeviceList()
{
    m_UsbSeen = USB_PAGE_SEEN_T();
    // Read each time, so that an ID the user has just added is matched.
    m_UsbSeen.IdFile = LoadUsbReceiverIdFile();
    m_pUi->DeviceListComboBox->clear();
    QStringList devices;
    GetUsbDeviceList(devices);
    m_pUi->DeviceListComboBox->addItems(devices);
    GatherUsbStatus();
    ShowUsbStatus();
}

void QuickConnectDiag::RefreshUsbDeviceList()
{
    disconnect(m_pUi->m_BtnConfigConnect, &QPushButton::clicked, this, &QuickConnectDiag::OnBtnClickedQuickConnect);
    FillUsbDeviceList();
    connect(m_pUi->m_BtnConfigConnect, &QPushButton::clicked, this, &QuickConnectDiag::OnBtnClickedQuickConnect,
            Qt::UniqueConnection);
}

void QuickConnectDiag::GatherUsbStatus()
{
    // The receivers as GetUsbDeviceList has just listed them; no new search.
    // One without strings was tried again by that listing, so why it failed
    // is news; a named one keeps an older failure that may no longer hold.
    for (int i = 0; UsbDeviceRecord* pDevice = UsbLinkGetDevice(i); ++i)
    {
        ++m_UsbSeen.nReceivers;
        const int nFault = UsbDevGetOpenFault(pDevice);
        if (nFault != USB_OPEN_FAULT_NONE && UsbDevGetProductName(UsbLinkGetTable(), pDevice).empty())
            m_UsbSeen.Failed.push_back({QString::fromStdString(UsbFormatId(pDevice->VendorId, pDevice->ProductId)),
                                        QString::fromStdString(pDevice->Path), nFault});
    }
    m_UsbSeen.bBusListed = UsbDevListBus(UsbLinkGetTable(), &m_UsbSeen.Bus) >= 0;
}

void QuickConnectDiag::ShowUsbStatus()
{
    const USB_ID_FILE_T& idFile = m_UsbSeen.IdFile;
    const QString sIdFile = UsbIdFileShownPath(idFile.sPath);
    QStringList paragraphs;
    if (!m_UsbSeen.bBusListed)
    {
        paragraphs << tr("The USB devices cannot be listed: USB is not available to this program.");
    }
    else if (m_UsbSeen.nReceivers == 0 && m_UsbSeen.Bus.empty())
    {
        paragraphs << tr("No USB receiver found, and no other USB device is seen either: check the cable and that "
                         "the receiver is powered.");
    }
    else if (m_UsbSeen.nReceivers == 0)
    {
        QString sSeen = tr("No USB receiver found. USB devices seen:");
        for (const USB_BUS_DEVICE_T& device : m_UsbSeen.Bus)
        {
            const QString sProduct = QString::fromStdString(device.Product).trimmed();
            sSeen += QStringLiteral("\n  %1  %2")
                         .arg(QString::fromStdString(UsbFormatId(device.VendorId, device.ProductId)),
                              sProduct.isEmpty() ? tr("(no product name)") : sProduct);
        }
        paragraphs << sSeen;
        paragraphs << tr("If your receiver is among them, add its ID (VVVV:PPPP) as a line of %1 and open this "
                         "window again.")
                          .arg(sIdFile);
    }
    for (const USB_PAGE_SEEN_T::FAILED_T& failed : m_UsbSeen.Failed)
    {
        const QString sDevice = QStringLiteral("%1 (%2)").arg(failed.sId, failed.sPath);
        switch (failed.Fault)
        {
        case USB_OPEN_FAULT_PERMISSION:
            paragraphs << tr("Receiver %1 cannot be opened: permission denied. Install the udev rule for its ID "
                             "(README, \"On Linux\") and plug the receiver in again.")
                              .arg(sDevice);
            break;
        case USB_OPEN_FAULT_BUSY:
            paragraphs << tr("Receiver %1 cannot be opened: it is busy, another program is using it. Close that "
                             "program and open this window again.")
                              .arg(sDevice);
            break;
        case USB_OPEN_FAULT_NO_INTERFACE:
            paragraphs << tr("Device %1 cannot be opened: it has no receiver link interface, so its ID may belong "
                             "to another device.")
                              .arg(sDevice);
            break;
        case USB_OPEN_FAULT_GONE:
            paragraphs << tr("Receiver %1 was unplugged.").arg(sDevice);
            break;
        default:
            paragraphs << tr("Receiver %1 cannot be opened.").arg(sDevice);
            break;
        }
    }
    if (idFile.bUnreadable)
        paragraphs << tr("%1 cannot be read: %2. No receiver ID is added from it.")
                          .arg(sIdFile, ConfigFileReason(idFile.nStatus, USB_ID_FILE_T::MAX_BYTES));
    if (!idFile.Malformed.empty())
    {
        // A file full of something else is named by its first few lines.
        constexpr size_t kLinesNamed = 5;
        QString sSkipped = tr("These lines of %1 are no ID of the form VVVV:PPPP and are skipped:").arg(sIdFile);
        for (size_t i = 0; i < idFile.Malformed.size() && i < kLinesNamed; ++i)
        {
            sSkipped += QStringLiteral("\n  %1: \"%2\"")
                            .arg(tr("line %1").arg(idFile.Malformed[i].LineNumber),
                                 QString::fromStdString(idFile.Malformed[i].Text));
        }
        if (idFile.Malformed.size() > kLinesNamed)
            sSkipped += QStringLiteral("\n  ") +
                        tr("and %n more lines", nullptr, static_cast<int>(idFile.Malformed.size() - kLinesNamed));
        paragraphs << sSkipped;
    }
    m_pUi->USBStatusText->setPlainText(paragraphs.join(QStringLiteral("\n\n")));
}

void QuickConnectDiag::ShowDiag()
{
    m_bCurPortConfig = false;
    m_pUi->PortConnectTab->tabBar()->setEnabled(true);
    m_pUi->m_RadioTCPServer->setEnabled(false);
    m_pUi->radioBServer->setEnabled(false);
    // A new caster connection can only be a client.
    m_pUi->radioBClient->setChecked(true);
    m_pUi->m_RadioTCPClient->setChecked(true);
    RefreshUartPortList();
    RefreshUsbDeviceList();
    QZvPortCtrlBase* pCtrl = PortTabCurPortCtrl(m_pPortTab);
    if (pCtrl && pCtrl->IsPropertyValid())
    {
        m_pUi->TCPServerName->setText(pCtrl->Property.Get().IP);
        m_pUi->TCPIPPort->setText(QStringLiteral("28000"));
    }
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    show();
}

void QuickConnectDiag::OnCurPortConfig()
{
    m_bCurPortConfig = true;
    QZvPortCtrlBase* pCtrl = PortTabCurPortCtrl(m_pPortTab);
    if (!pCtrl)
        return;
    int nPage = -1;
    switch (pCtrl->PortType)
    {
    case QZvPortCtrlBase::PORT_TYPE_UART:
    {
        const UART_CONFIG_T config = static_cast<QZvUartPortCtrl*>(pCtrl)->GetPortConfig();
        ConnectPortListSignals(false);
        m_pUi->PortListComboBox->clear();
        m_pUi->PortListComboBox->addItem(config.PortName);
        ConnectPortListSignals(true);
        const auto select = [](QComboBox* pCombo, const QString& sText)
        {
            const int nIndex = pCombo->findText(sText);
            if (nIndex >= 0)
                pCombo->setCurrentIndex(nIndex);
        };
        select(m_pUi->BaudrateListComboBox, QString::number(config.BaudRate));
        select(m_pUi->DatabitsListComboBox, QString::number(config.ByteSize));
        m_pUi->ParityListComboBox->setCurrentIndex(config.Parity);
        m_pUi->StopbitsListComboBox->setCurrentIndex(config.StopBits);
        nPage = PAGE_UART;
        break;
    }
    case QZvPortCtrlBase::PORT_TYPE_USB:
    {
        const USB_CONFIG_T config = static_cast<QZvUSBPortCtrl*>(pCtrl)->GetUsbConfig();
        m_pUi->DeviceListComboBox->setCurrentText(config.DeviceName);
        m_pUi->USBPortListComboBox->setCurrentIndex(static_cast<int>(qMin<uint32_t>(config.Channel, 2)));
        nPage = PAGE_USB;
        break;
    }
    case QZvPortCtrlBase::PORT_TYPE_TCP:
    {
        const TCP_CONFIG_T config = static_cast<QZvTCPPortCtrl*>(pCtrl)->GetTcpConfig();
        const uint32_t v = config.IPValue;
        m_pUi->TCPIPAddrName->setText(
            QString::asprintf("%3d.%3d.%3d.%3d", v >> 24 & 0xFF, v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF));
        m_pUi->TCPServerName->setText(config.IPAddress);
        m_pUi->TCPProcotolComboBox->setCurrentIndex(static_cast<int>(config.Mode));
        m_pUi->TCPIPPort->setText(QString::number(config.Port));
        nPage = PAGE_TCP;
        break;
    }
    case QZvPortCtrlBase::PORT_TYPE_NTRIP:
    {
        const NTRIP_CONFIG_T config = static_cast<QZvNTripPortCtrl*>(pCtrl)->GetNtripConfig();
        (config.ServerMode != 0 ? m_pUi->radioBServer : m_pUi->radioBClient)->setChecked(true);
        SelectNtripMode(config.Mode);
        m_pUi->ServerNameEdit->setText(FromLatin1(config.ServerName));
        m_pUi->Port->setText(QString::number(config.Port));
        m_pUi->MountPointEdit->setText(FromLatin1(config.MountPoint));
        m_pUi->UserNameEdit->setText(FromLatin1(config.User));
        m_pUi->PasswordEdit->setText(FromLatin1(config.Password));
        nPage = PAGE_NTRIP;
        break;
    }
    default:
        break;
    }
    if (nPage >= 0)
    {
        m_pUi->PortConnectTab->setCurrentIndex(nPage);
        m_pUi->PortConnectTab->tabBar()->setEnabled(false);
    }
    show();
}

void QuickConnectDiag::Warn(const QString& sTitle, const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, sTitle, sText);
}

bool QuickConnectDiag::ReadNtripPage()
{
    const QString sServer = m_pUi->ServerNameEdit->text().trimmed();
    bool bOk = false;
    const uint nPort = m_pUi->Port->text().toUInt(&bOk);
    // A caster connection without a host or a port could only fail later.
    if (sServer.isEmpty())
    {
        Warn(tr("Server Name"), tr("Server Name can not be null"));
        return false;
    }
    if (!bOk || nPort < 100 || nPort > 65531)
    {
        Warn(tr("IP Port"), tr("IP Port is invalid"));
        return false;
    }
    NtripSetDefaultConfig(&m_NtripConfig);
    m_NtripConfig.Enable = 1;
    // The mode follows the radio buttons, so that editing a server port keeps it a server.
    m_NtripConfig.ServerMode = m_pUi->radioBServer->isChecked() ? 1 : 0;
    CopyLatin1(m_NtripConfig.ServerName, sServer);
    CopyLatin1(m_NtripConfig.MountPoint, m_pUi->MountPointEdit->text());
    CopyLatin1(m_NtripConfig.User, m_pUi->UserNameEdit->text());
    CopyLatin1(m_NtripConfig.Password, m_pUi->PasswordEdit->text());
    m_NtripConfig.Port = nPort;
    m_NtripConfig.Mode = m_pUi->NtripProtocolComboBox->currentData().toUInt();
    emit SignalSetNtripFixPos(false);
    return true;
}

void QuickConnectDiag::OnBtnClickedQuickConnect()
{
    const int nPage = m_pUi->PortConnectTab->currentIndex();
    UART_CONFIG_T uart;
    USB_CONFIG_T usb;
    TCP_CONFIG_T tcp;
    void* pRecord = nullptr;
    QZvPortCtrlBase* pCurrent = PortTabCurPortCtrl(m_pPortTab);
    switch (nPage)
    {
    case PAGE_UART:
        // A device path is case-sensitive: it is used exactly as listed.
        uart.PortName = m_pUi->PortListComboBox->currentText();
        if (uart.PortName.isEmpty())
        {
            MonitorPrompt()->Message(nullptr, QMessageBox::Critical, tr("Fatal Error"), tr("Port can not be NULL"));
            return;
        }
        uart.BaudRate = m_pUi->BaudrateListComboBox->currentText().toUInt();
        uart.ByteSize = static_cast<uint8_t>(m_pUi->DatabitsListComboBox->currentText().toUInt());
        uart.Parity = static_cast<uint8_t>(qMax(0, m_pUi->ParityListComboBox->currentIndex()));
        uart.StopBits = static_cast<uint8_t>(qMax(0, m_pUi->StopbitsListComboBox->currentIndex()));
        pRecord = &uart;
        break;
    case PAGE_USB:
        // Matched exactly against the device's product name and serial number.
        usb.DeviceName = m_pUi->DeviceListComboBox->currentText();
        usb.Channel = static_cast<uint32_t>(qMax(0, m_pUi->USBPortListComboBox->currentIndex()));
        pRecord = &usb;
        break;
    case PAGE_TCP:
    {
        tcp.IPAddress = m_pUi->TCPServerName->text();
        tcp.Mode = static_cast<uint32_t>(qMax(0, m_pUi->TCPProcotolComboBox->currentIndex()));
        tcp.IPValue = PackIPv4(m_pUi->TCPIPAddrName->text());
        tcp.Port = m_pUi->TCPIPPort->text().toUInt();
        if (tcp.IPAddress.isEmpty())
        {
            Warn(tr("Server Name"), tr("Server Name can not be null"));
            return;
        }
        if (tcp.Port < 100 || tcp.Port > 65530)
        {
            Warn(tr("IP Port"), tr("IP Port is invalid"));
            return;
        }
        // The receiver behind the current port is told to serve its ICOM1
        // port on that TCP port. A caster or a replayed file is no receiver.
        if (pCurrent && pCurrent->PortType != QZvPortCtrlBase::PORT_TYPE_NTRIP &&
            pCurrent->PortType != QZvPortCtrlBase::PORT_TYPE_REPLAY)
            emit SignalSendData(pCurrent->UniquePortID,
                                QString::asprintf("ICOMCONFIG ICOM1 TCP :%d\r\n", tcp.Port).toUtf8());
        pRecord = &tcp;
        break;
    }
    case PAGE_NTRIP:
        if (!ReadNtripPage())
            return;
        pRecord = &m_NtripConfig;
        break;
    default:
        return;
    }

    // Edit mode rewrites the settings of the port it was opened on; should the
    // current port have changed to another kind meanwhile, a new port is made.
    if (m_bCurPortConfig && pCurrent && static_cast<int>(pCurrent->PortType) == nPage)
    {
        switch (nPage)
        {
        case PAGE_UART:
        {
            auto* pUart = static_cast<QZvUartPortCtrl*>(pCurrent);
            UART_CONFIG_T config = pUart->GetPortConfig();
            config.PortName = uart.PortName;
            config.BaudRate = uart.BaudRate;
            config.ByteSize = uart.ByteSize;
            config.Parity = uart.Parity;
            config.StopBits = uart.StopBits;
            pUart->SetPortConfig(&config);
            break;
        }
        case PAGE_USB:
        {
            // Taken by the port when it reconnects, in its own thread.
            auto* pUsb = static_cast<QZvUSBPortCtrl*>(pCurrent);
            USB_CONFIG_T config = pUsb->GetUsbConfig();
            config.DeviceName = usb.DeviceName;
            config.Channel = usb.Channel;
            pUsb->SetUsbSettings(config);
            break;
        }
        case PAGE_TCP:
        {
            auto* pTcp = static_cast<QZvTCPPortCtrl*>(pCurrent);
            TCP_CONFIG_T config = pTcp->GetTcpConfig();
            config.Mode = tcp.Mode;
            config.IPAddress = tcp.IPAddress;
            config.IPValue = tcp.IPValue;
            config.Port = tcp.Port;
            pTcp->SetPortConfig(&config);
            break;
        }
        case PAGE_NTRIP:
            // Only the settings: the running session keeps its own state.
            static_cast<QZvNTripPortCtrl*>(pCurrent)->SetNtripSettings(&m_NtripConfig);
            break;
        default:
            break;
        }
        if (PortTabRefreshText(m_pPortTab, pCurrent->UniquePortID))
        {
            emit SignalReconnectCurPort();
            close();
            return;
        }
    }
    emit SignalConnect(static_cast<QZvPortCtrlBase::PORT_TYPE_E>(nPage), pRecord);
    close();
}

void QuickConnectDiag::OnBtnClickedCancel() { close(); }

void QuickConnectDiag::OnNtripModeClick(int ID)
{
    Q_UNUSED(ID);
    m_NtripConfig.ServerMode = m_pUi->radioBClient->isChecked() ? 0 : 1;
}

void QuickConnectDiag::OnPortListComboIndexChanged(int Index) { Q_UNUSED(Index); }

void QuickConnectDiag::UpdateAutoDetectButton()
{
    m_pUi->m_BtnBaudAutoDetect->setText(m_bAutoDetecting ? tr("Auto Detecting") : tr(" Auto Detect "));
}

void QuickConnectDiag::OnAutoDetectBaud()
{
    if (m_bAutoDetecting)
        return;
    m_bAutoDetecting = true;
    UpdateAutoDetectButton();
    m_pUi->m_BtnConfigConnect->setEnabled(false);
    m_pUi->m_BtnConfigCancel->setEnabled(false);
    // The page stays as it is while the rate is sought, so that the
    // connection made at the end is the one the user asked for.
    m_pUi->PortConnectTab->setEnabled(false);
    const QString sName = m_pUi->PortListComboBox->currentText();
    if (m_DetectThread.joinable())
        m_DetectThread.join();
    m_bStopDetect = false;
    const UART_TIMING_T timing = DetectTiming();
    m_DetectThread = std::thread(
        [this, sName, timing]
        {
            int nRate = -1;
            if (!sName.isEmpty())
            {
                CUartProcess device;
                device.SetTiming(timing);
                device.SetStopCheck([this] { return m_bStopDetect.load(); });
                nRate = device.AutoDetectBaudRate(QFile::encodeName(sName).constData(), DETECT_PROBE);
                device.ClosePort();
            }
            QMetaObject::invokeMethod(
                this, [this, sName, nRate] { OnAutoDetectDone(sName, nRate); }, Qt::QueuedConnection);
        });
}

void QuickConnectDiag::OnAutoDetectDone(const QString& sName, int nRate)
{
    if (m_DetectThread.joinable())
        m_DetectThread.join();
    bool bFailed = false;
    if (nRate == 0)
    {
        Warn(tr("Baudrate auto detect"), tr("Baudrate auto detect failed, reset to 115200"));
        nRate = static_cast<int>(DETECT_FALLBACK_RATE);
        bFailed = true;
    }
    m_bAutoDetecting = false;
    m_pUi->PortConnectTab->setEnabled(true);
    bool bConnect = false;
    if (!sName.isEmpty())
    {
        // A port that could not be opened (-1) leaves the list without a selection.
        const int nIndex = m_pUi->BaudrateListComboBox->findText(QString::number(nRate));
        m_pUi->BaudrateListComboBox->setCurrentIndex(nIndex);
        bConnect = nIndex >= 0 && !bFailed;
    }
    UpdateAutoDetectButton();
    m_pUi->m_BtnConfigConnect->setEnabled(true);
    m_pUi->m_BtnConfigCancel->setEnabled(true);
    if (bConnect)
        OnBtnClickedQuickConnect();
    emit SignalAutoDetectFinished(nRate);
}

void QuickConnectDiag::OnLanguageUpdate()
{
    // The fields keep what the user typed; only the texts change.
    m_pUi->retranslateUi(this);
    FillTranslatedLists();
    UpdateAutoDetectButton();
    ShowUsbStatus();
}
