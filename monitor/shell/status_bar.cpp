#include "monitor/shell/status_bar.h"
#include "monitor/shell/shell_log.h"

#include <QApplication>
#include <QClipboard>
#include <QHostAddress>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextDocumentFragment>
#include <QUrl>
#include <algorithm>
#include <cstring>

#include "monitor/ports/file_port_ctrl.h"
#include "monitor/ports/ntrip_port_ctrl.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/monitor_resources.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/txt_browser.h"

namespace
{
// A NUL-terminated text of a fixed array, read no further than the array.
template <size_t N> QString FixedText(const char (&Text)[N])
{
    return QString::fromLatin1(Text, static_cast<int>(strnlen(Text, N)));
}

QString ByteCountText(double dValue, const char* pUnit) { return QString::asprintf("%0.2f %s", dValue, pUnit); }

void SetPlainText(QLabel* pLabel, const QString& sText)
{
    pLabel->setTextFormat(Qt::PlainText);
    pLabel->setText(sText);
}

void SetRichText(QLabel* pLabel, const QString& sHtml)
{
    pLabel->setTextFormat(Qt::RichText);
    pLabel->setText(sHtml);
}

// QLabel::clear() asks for a new layout even when the label is empty: the
// whole status bar would be laid out and painted again on every tick.
void ClearText(QLabel* pLabel)
{
    if (!pLabel->text().isEmpty())
        pLabel->clear();
}

const QColor kBinaryColour(118, 146, 60);
} // namespace

QZvStatusBar::QZvStatusBar(QWidget* pParent)
    : QStatusBar(pParent), m_pPortLabel(new QLabel(this)), m_pLogStateLabel(new QLabel(this)),
      m_pLogFileLabel(new QLabel(this)), m_pRateLabel(new QLabel(this)), m_pPauseLabel(new QLabel(this)),
      m_pFirmwareLabel(new QLabel(this)), m_pRecvPortLabel(new QLabel(this)), m_pIPLabel(new QLabel(this)),
      m_pDisplayModeLabel(new QLabel(this)), m_pReloadButton(new QPushButton(this))
{
    qRegisterMetaType<QZvStatusBar::REFRESH_TYPE_E>("QZvStatusBar::REFRESH_TYPE_E");
    InitMonitorResources();
    m_pRateLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pPauseLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pReloadButton->setIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/RefreshReceiver.png")));
    m_pReloadButton->setIconSize(QSize(17, 15));
    m_pReloadButton->setStyleSheet(QStringLiteral("border:none;"));
    m_pReloadButton->setFixedWidth(20);
    // Links open through the monitor's prompt, never by the label itself.
    m_pIPLabel->setOpenExternalLinks(false);
    m_pIPLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(m_pIPLabel, &QLabel::linkActivated, this, &QZvStatusBar::OnIpLinkActivated);

    addPermanentWidget(m_pLogFileLabel);
    addPermanentWidget(m_pLogStateLabel);
    addPermanentWidget(m_pReloadButton);
    addPermanentWidget(m_pDisplayModeLabel);
    addPermanentWidget(m_pIPLabel);
    addPermanentWidget(m_pFirmwareLabel);
    addPermanentWidget(m_pRecvPortLabel);
    addPermanentWidget(m_pPortLabel);
    addPermanentWidget(m_pRateLabel);
    addPermanentWidget(m_pPauseLabel);
    for (QObject* pWatched : {static_cast<QObject*>(m_pReloadButton), static_cast<QObject*>(m_pLogFileLabel),
                              static_cast<QObject*>(m_pFirmwareLabel), static_cast<QObject*>(m_pRecvPortLabel),
                              static_cast<QObject*>(m_pDisplayModeLabel)})
        pWatched->installEventFilter(this);
    ApplyTexts();
}

void QZvStatusBar::ApplyTexts()
{
    // Fixed, so that the bar does not move as the state changes, and wide
    // enough for either state in this language and font.
    const QFontMetrics metrics = m_pPauseLabel->fontMetrics();
    const int nText = std::max(metrics.horizontalAdvance(tr("Pause")), metrics.horizontalAdvance(tr("Resume")));
    m_pPauseLabel->setFixedWidth(std::max(50, nText + 2 * m_pPauseLabel->margin() + 4));
    // The receive count at its largest: a byte rate of ten digits.
    m_pRateLabel->setFixedWidth(m_pRateLabel->fontMetrics().horizontalAdvance(tr("%1 Byte").arg(4294967295u)) +
                                2 * m_pRateLabel->margin() + 6);
    m_pPauseLabel->setToolTip(tr("double click or Ctrl + H to switch"));
    m_pReloadButton->setToolTip(tr("Reload receiver information"));
}

void QZvStatusBar::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange || pEvent->type() == QEvent::FontChange)
        ApplyTexts();
    QStatusBar::changeEvent(pEvent);
}

QString QZvStatusBar::FormatByteCount(uint32_t n) { return FormatByteCount(static_cast<quint64>(n)); }

QString QZvStatusBar::FormatByteCount(quint64 n)
{
    if (n < 1024u)
        return QStringLiteral("%1 Bytes").arg(n);
    if (n < 0x100000u)
        return ByteCountText(static_cast<double>(n) / 1024.0, "KB");
    if (n < 0x40000000u)
        return ByteCountText(static_cast<double>(n) / 1048576.0, "MB");
    return ByteCountText(static_cast<double>(n) / 1073741824.0, "GB");
}

QString QZvStatusBar::NtripPortText(const NTRIP_CONFIG_T& Config, double dLatitude, double dLongitude)
{
    return QString::asprintf("Ntrip: %s, %s@%.2f,%.2f=>%s:%d-%s | %s", Config.ServerMode != 0 ? " Server" : "Client",
                             qPrintable(FixedText(Config.User)), dLatitude, dLongitude,
                             qPrintable(FixedText(Config.ServerName)), static_cast<int>(Config.Port & 0xFFFFu),
                             qPrintable(FixedText(Config.MountPoint)), Config.Enable != 0 ? "ON" : "OFF");
}

void QZvStatusBar::OnUpdateStatusBar(QZvPortCtrlBase* pPortCtrl, uint m_RefreshType)
{
    if (pPortCtrl == nullptr)
    {
        // No port: nothing of the last one stays on show.
        for (QLabel* pLabel : findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
            ClearText(pLabel);
        return;
    }
    if (m_RefreshType == 0)
    {
        ClearText(m_pPortLabel);
        ClearText(m_pLogStateLabel);
        ClearText(m_pLogFileLabel);
        ClearText(m_pRateLabel);
        return;
    }
    if (m_RefreshType & REFRESH_PORT)
    {
        if (pPortCtrl->PortType > QZvPortCtrlBase::PORT_TYPE_REPLAY)
            return;
        RefreshPort(pPortCtrl);
    }
    if (m_RefreshType & REFRESH_LOG)
    {
        if (pPortCtrl->IsLogging())
        {
            SetPlainText(m_pLogStateLabel, tr("Logging"));
            SetPlainText(m_pLogFileLabel, pPortCtrl->GetLogFileName());
        }
        else
        {
            ClearText(m_pLogStateLabel);
            ClearText(m_pLogFileLabel);
        }
    }
    if (m_RefreshType & REFRESH_RATE)
        SetPlainText(m_pRateLabel, tr("%1 Byte").arg(pPortCtrl->GetByteRate()));
    if (m_RefreshType & REFRESH_DISPLAY_MODE)
        RefreshDisplayMode();
    const uint propertyParts = REFRESH_FIRMWARE | REFRESH_RECV_PORT | REFRESH_IP;
    if ((m_RefreshType & propertyParts) == 0)
        return;
    const PORT_PROPERTY_T property = pPortCtrl->Property.Get();
    if (m_RefreshType & REFRESH_FIRMWARE)
    {
        SetRichText(m_pFirmwareLabel,
                    QStringLiteral("<b>%1 %2</b>")
                        .arg(property.FirmwareVersion.toHtmlEscaped(), property.BoardName.toHtmlEscaped()));
    }
    if (m_RefreshType & REFRESH_RECV_PORT)
        SetPlainText(m_pRecvPortLabel, property.Port);
    if (m_RefreshType & REFRESH_IP)
        RefreshIp(property);
}

void QZvStatusBar::RefreshPort(QZvPortCtrlBase* pPortCtrl)
{
    switch (pPortCtrl->PortType)
    {
    case QZvPortCtrlBase::PORT_TYPE_UART:
    {
        const auto* pUart = qobject_cast<const QZvUartPortCtrl*>(pPortCtrl);
        const uint rate = pUart ? pUart->GetBaudRate() : 0;
        SetRichText(m_pPortLabel,
                    QStringLiteral("<b>%1</b>: %2, %3")
                        .arg(tr("Serial").toHtmlEscaped(), pPortCtrl->GetPortName().toHtmlEscaped())
                        .arg(rate));
        break;
    }
    case QZvPortCtrlBase::PORT_TYPE_REPLAY:
    {
        const auto* pReplay = qobject_cast<const QZvFilePortCtrl*>(pPortCtrl);
        if (pReplay == nullptr)
        {
            SetPlainText(m_pPortLabel, pPortCtrl->GetPortName());
            break;
        }
        const qint64 position = pReplay->GetReplayConfig().StartOffset + pReplay->GetReadCount();
        SetPlainText(m_pPortLabel, QStringLiteral("\t: ") + pPortCtrl->GetPortName() + QStringLiteral(" @ ") +
                                       FormatByteCount(static_cast<quint64>(qMax<qint64>(position, 0))) +
                                       QStringLiteral("/ ") +
                                       FormatByteCount(static_cast<quint64>(qMax<qint64>(pReplay->GetFileSize(), 0))));
        break;
    }
    case QZvPortCtrlBase::PORT_TYPE_NTRIP:
    {
        const auto* pNtrip = qobject_cast<const QZvNTripPortCtrl*>(pPortCtrl);
        if (pNtrip == nullptr)
        {
            SetPlainText(m_pPortLabel, pPortCtrl->GetPortName());
            break;
        }
        const NTRIP_CONFIG_T config = pNtrip->GetNtripConfig();
        SetPlainText(m_pPortLabel, NtripPortText(config, config.Latitude, config.Longitude));
        break;
    }
    default:
        SetPlainText(m_pPortLabel, pPortCtrl->GetPortName());
        break;
    }
}

void QZvStatusBar::RefreshIp(const PORT_PROPERTY_T& Property)
{
    // The address comes from the receiver: only a real address becomes a link.
    const QHostAddress address(Property.IP.trimmed());
    m_bIpLink = Property.bIpFound && !address.isNull();
    if (m_bIpLink)
    {
        const QString sHost = address.protocol() == QAbstractSocket::IPv6Protocol
                                  ? QStringLiteral("[%1]").arg(address.toString())
                                  : address.toString();
        SetRichText(m_pIPLabel, QStringLiteral("<b>%1</b>: <a href=\"http://%2\">%3</a>")
                                    .arg(tr("IP").toHtmlEscaped(), sHost.toHtmlEscaped(),
                                         address.toString().toHtmlEscaped()));
        m_pIPLabel->setToolTip(tr("click to explore"));
    }
    else
    {
        SetRichText(m_pIPLabel, QStringLiteral("<b>%1</b>:").arg(tr("IP").toHtmlEscaped()) + tr("NA").toHtmlEscaped());
        m_pIPLabel->setToolTip(tr("Click here to recheck IP first\r\n,else please check ethernet connection\r\n"
                                  "Check if router works"));
    }
    emit SignalSetActionWebServerVisible(m_bIpLink);
}

// The data view's display mode as the user reads it; the view keeps the
// untranslated name.
QString QZvStatusBar::DisplayModeText(const QString& sMode)
{
    if (sMode == QLatin1String("Auto Detection"))
        return tr("Auto Detection");
    if (sMode == QLatin1String("Hex"))
        return tr("Hex");
    return sMode;
}

void QZvStatusBar::RefreshDisplayMode()
{
    const CZvTxtBrowser* pView = m_pPortTab ? m_pPortTab->GetCurTxView() : nullptr;
    if (pView == nullptr)
        return;
    QString sText = DisplayModeText(pView->m_sDisplayMode);
    QColor colour(Qt::black);
    if (!pView->m_sAutoResult.isEmpty())
    {
        sText = tr("%1:%2 detected").arg(sText, DisplayModeText(pView->m_sAutoResult));
        if (pView->m_sAutoResult == QLatin1String("BIN_2_ASCII"))
            colour = kBinaryColour;
    }
    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::WindowText, colour);
    m_pDisplayModeLabel->setPalette(palette);
    SetPlainText(m_pDisplayModeLabel, sText);
}

void QZvStatusBar::OnUpdateGUIStatus(void* pObjGUI, uint RefreshType)
{
    (void)pObjGUI;
    const CZvTxtBrowser* pView = m_pPortTab ? m_pPortTab->GetCurTxView() : nullptr;
    if ((RefreshType & REFRESH_PAUSE) == 0 || pView == nullptr)
        return;
    SetPlainText(m_pPauseLabel, pView->m_bPause ? tr("Pause") : tr("Resume"));
}

void QZvStatusBar::OnIpLinkActivated(const QString& sLink)
{
    if (m_bIpLink)
        MonitorPrompt()->OpenUrl(QUrl(sLink));
}

bool QZvStatusBar::eventFilter(QObject* pObj, QEvent* pEvent)
{
    if (pEvent->type() != QEvent::MouseButtonPress)
        return QStatusBar::eventFilter(pObj, pEvent);
    const auto* pMouse = static_cast<QMouseEvent*>(pEvent);
    if (pMouse->button() == Qt::LeftButton)
    {
        if (pObj != m_pReloadButton)
            return false;
        // Consumed, so that the button's own click does not follow.
        emit SignalRecheckPortProperty();
        return true;
    }
    if (pMouse->button() == Qt::RightButton)
    {
        m_pCurLabel = pObj;
        auto* pMenu = new QMenu(this);
        pMenu->setAttribute(Qt::WA_DeleteOnClose);
        QAction* pCopy = pMenu->addAction(tr("Copy"));
        connect(pCopy, &QAction::triggered, this, &QZvStatusBar::OnCopyLabelContent2ClipBoard);
        pMenu->popup(pMouse->globalPos());
        return true;
    }
    return false;
}

void QZvStatusBar::OnCopyLabelContent2ClipBoard()
{
    const auto* pLabel = qobject_cast<const QLabel*>(m_pCurLabel);
    if (pLabel == nullptr || qstrcmp(m_pCurLabel->metaObject()->className(), "QLabel") != 0)
    {
        qCDebug(lcShell, "Copy Content None !!!");
        return;
    }
    // What the label shows, not its markup.
    const QString sText = pLabel->textFormat() == Qt::RichText
                              ? QTextDocumentFragment::fromHtml(pLabel->text()).toPlainText()
                              : pLabel->text();
    QApplication::clipboard()->setText(sText);
    qCDebug(lcShell, "Copy Content: %s", qPrintable(sText));
}
