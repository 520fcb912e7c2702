// The firmware side of the port tab set: the rescue modem (a board reset into
// its boot loader and an XMODEM upgrade), firmware upgrades of the current port
// from the image choice on, and their completion and failure boxes.
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <iterator>

#include "monitor/ports/fw_image_checker.h"
#include "monitor/ports/port_manager.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/txt_browser.h"

namespace
{
const uint kMaxUpgradeBaudRate = 460800;
// Reasons of a USB upgrade failure, by |code| - 1; the last three are the
// link's refusal by the receiver, a receiver lost during the update, and a
// port closed during it.
const char* const kUsbFailReasons[] = {
    QT_TRANSLATE_NOOP("CPortTab", "input error"),    QT_TRANSLATE_NOOP("CPortTab", "Invalid Port"),
    QT_TRANSLATE_NOOP("CPortTab", "Out of Memory"),  QT_TRANSLATE_NOOP("CPortTab", "USB busy"),
    QT_TRANSLATE_NOOP("CPortTab", "timeout"),        QT_TRANSLATE_NOOP("CPortTab", "image refused by the receiver"),
    QT_TRANSLATE_NOOP("CPortTab", "USB link lost"), QT_TRANSLATE_NOOP("CPortTab", "cancelled"),
};
} // namespace

void CPortTab::OnRescueModemOn()
{
    CZvTxtBrowser* pView = GetCurTxView();
    QZvPortCtrlBase* pCtrl = GetCurPortCtrl();
    if (pCtrl == nullptr)
        return;
    const uint uid = pCtrl->UniquePortID;
    if (!pCtrl->IsRescueModem() && (pCtrl->IsUpgrading() || pCtrl->IsXModemMode()))
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Staging Error"), tr("Firmware upgrade in progress"));
        return;
    }
    if (pCtrl->PortType != QZvPortCtrlBase::PORT_TYPE_UART)
    {
        MonitorPrompt()->Inform(this, QMessageBox::Warning, tr("Not a serial port"),
                                tr("This feature only supports serial port upgrade!!"), tr("Yes"), QString(), {});
        return;
    }
    if (pCtrl->IsRescueModem())
    {
        if (!MonitorPrompt()->Question(
                this, tabText(currentIndex()),
                tr("Rescue xmodem upgrade test in progress, are you sure to cancel the upgrade?")))
            return;
        const int i = GetTabIndexByPortID(uid);
        if (i < 0)
            return;
        pCtrl->SetRescueModem(false);
        emit GetTxView(i)->SignalRescueModemTimerStop();
        emit SignalRescueModemStatus(false, uid);
        if (pCtrl->IsUpgrading())
            CancelUpgrade(uid);
        return;
    }
    emit SignalRescueModemStatus(true, uid);
    pCtrl->SetRescueModem(true);
    pView->m_bRescueModem = true;
    emit pView->SignalRescueModemOn();
}

void CPortTab::OnRescueModemBoardReset(uint UniquePortID)
{
    const int i = GetTabIndexByPortID(UniquePortID);
    CZvTxtBrowser* pView = GetTxView(i);
    QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
    if (pCtrl == nullptr)
        return;
    emit pView->SignalRescueModemTimerStop();
    if (!pCtrl->IsRescueModem())
        return;
    // Reached from the port's data: the question must not wait here.
    QPointer<CPortTab> pThis(this);
    MonitorPrompt()->Ask(this, pCtrl->GetPortName(), tr("Confirm to start upgrade version?"),
                         [pThis, UniquePortID](bool bYes)
                         {
                             if (pThis.isNull())
                                 return;
                             const int iTab = pThis->GetTabIndexByPortID(UniquePortID);
                             QZvPortCtrlBase* pPort = pThis->GetPortCtrl(iTab);
                             if (pPort == nullptr)
                                 return;
                             if (bYes)
                             {
                                 pThis->StartUpgrade(UniquePortID);
                                 return;
                             }
                             pPort->SetRescueModem(false);
                             emit pThis->GetTxView(iTab)->SignalRescueModemTimerStop();
                             emit pThis->SignalRescueModemStatus(false, UniquePortID);
                             pThis->GetTxView(iTab)->m_bRescueModem = false;
                         });
}

void CPortTab::OnSetUpgradeFWTab()
{
    QZvPortCtrlBase* pCtrl = GetCurPortCtrl();
    if (pCtrl == nullptr)
        return;
    if (pCtrl->IsRescueModem() || pCtrl->IsXModemMode())
    {
        MonitorPrompt()->Message(this, QMessageBox::Critical, tr("Firmware upgrading"), tr("Please try again later"));
        return;
    }
    if (pCtrl->PortType > QZvPortCtrlBase::PORT_TYPE_TCP)
    {
        MonitorPrompt()->Message(this, QMessageBox::Critical, tr("Invalid Port"),
                                 tr("Only Uart or USB or TCPIP is valid for upgrade Firmware"));
        return;
    }
    if (!pCtrl->IsPropertyValid())
    {
        MonitorPrompt()->Message(nullptr, QMessageBox::Critical, tr("Not Valid Halvorne Product"),
                                 tr("Only support Halvorne product"));
        return;
    }
    StartUpgrade(pCtrl->UniquePortID);
}

void CPortTab::OnSetXModemFWTab()
{
    QZvPortCtrlBase* pCtrl = GetCurPortCtrl();
    if (pCtrl == nullptr)
        return;
    if (!pCtrl->IsXModemMode() && (pCtrl->IsUpgrading() || pCtrl->IsRescueModem()))
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Staging Error"), tr("Firmware upgrade in progress"));
        return;
    }
    if (pCtrl->PortType > QZvPortCtrlBase::PORT_TYPE_TCP)
    {
        MonitorPrompt()->Message(this, QMessageBox::Critical, tr("Invalid Port"),
                                 tr("Only Uart or USB or TCPIP is valid for upgrade Firmware"));
        return;
    }
    const bool bWasSet = pCtrl->IsXModemMode();
    pCtrl->SetXModemMode(true);
    const uint uid = pCtrl->UniquePortID;
    // A choice abandoned before the upgrade starts leaves the port as it was.
    if (!StartUpgrade(uid) && !bWasSet)
    {
        if (QZvPortCtrlBase* pPort = GetPortCtrl(GetTabIndexByPortID(uid)))
            pPort->SetXModemMode(false);
    }
}

void CPortTab::CancelUpgrade(uint UniquePortID)
{
    if (m_pPortManager != nullptr)
        m_pPortManager->OnCancelUpgradeFW1Port(UniquePortID);
    else
        emit SignalCancelUpgradeFW(UniquePortID);
    SetTabUpgradingMark(UniquePortID, false);
}

bool CPortTab::StartUpgrade(uint UniquePortID)
{
    QZvPortCtrlBase* pCtrl = GetPortCtrl(GetTabIndexByPortID(UniquePortID));
    if (pCtrl == nullptr)
        return false;
    if (pCtrl->IsUpgrading())
    {
        if (MonitorPrompt()->Question(this, tr("Firmware upgrading, Cancel?"),
                                      tr("the firmware is upgrading, do you want to cancel current upgrading")))
            CancelUpgrade(UniquePortID);
        return false;
    }
    auto* pUart = qobject_cast<QZvUartPortCtrl*>(pCtrl);
    if (pUart != nullptr && pUart->GetBaudRate() > kMaxUpgradeBaudRate)
    {
        MonitorPrompt()->Message(
            this, QMessageBox::Warning, tr("Staging Error"),
            tr("The maximum baud matching rate for firmware updates is 460800, compared to the current %1!!")
                .arg(pUart->GetBaudRate()));
        return false;
    }
    const QString sPath =
        MonitorPrompt()->OpenFileName(this, tr("Image File"), QString(), tr("image (*.img);;Any files(*.*)"));
    if (sPath.isEmpty())
        return false;
    if (!QFileInfo(sPath).isFile())
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Image File"), tr("Not a file: %1").arg(sPath));
        return false;
    }
    QFile image(sPath);
    if (!image.open(QIODevice::ReadOnly))
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Image File"),
                                 tr("The image cannot be read: %1").arg(image.errorString()));
        return false;
    }
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"), tr("Do not power off during upgrade!!!"));
    // The port may have gone while the box was open.
    pCtrl = GetPortCtrl(GetTabIndexByPortID(UniquePortID));
    if (pCtrl == nullptr)
        return false;
    QFWImageChecker checker;
    const int result = checker.CheckImage(&image, &pCtrl->Property);
    image.close();
    if (result == QFWImageChecker::IMAGE_OK)
    {
        BeginUpgrade(UniquePortID, sPath);
        return true;
    }
    QString sReason;
    switch (result)
    {
    case QFWImageChecker::IMAGE_BAD_DIGEST:
        sReason = tr("Image check sum invalid!");
        break;
    case QFWImageChecker::IMAGE_OTHER_PRODUCT:
        sReason = tr("Hardware mismatch!");
        break;
    case QFWImageChecker::IMAGE_BAD_COUNT:
        sReason = tr("Firmware version mismatch!");
        break;
    case QFWImageChecker::IMAGE_NO_MAGIC:
    case QFWImageChecker::IMAGE_TOO_LARGE:
        sReason = tr("Not Valid Image!");
        break;
    default:
        sReason = tr("Unknown error");
        break;
    }
    // A board in its boot loader cannot describe itself: the user may insist.
    if (pCtrl->IsRescueModem() || pCtrl->IsXModemMode())
    {
        if (!MonitorPrompt()->Question(this, tr("Invalid Port"),
                                       sReason + QStringLiteral("\r\n") + tr("Are you sure to continue upgrading??")) ||
            GetTabIndexByPortID(UniquePortID) < 0)
            return false;
        BeginUpgrade(UniquePortID, sPath);
        return true;
    }
    MonitorPrompt()->Message(this, QMessageBox::Critical, tr("Invalid Port"), sReason);
    return false;
}

void CPortTab::BeginUpgrade(uint UniquePortID, const QString& sPath)
{
    SetTabUpgradingMark(UniquePortID, true);
    emit SignalUpgradeFWTab(UniquePortID, sPath);
}

void CPortTab::OnUpgradeFWComplete(uint UniqueID)
{
    QZvPortCtrlBase* pCtrl = ManagedPort(UniqueID);
    if (pCtrl == nullptr)
        return;
    pCtrl->SetXModemMode(false);
    pCtrl->SetRescueModem(false);
    if (CZvTxtBrowser* pView = GetTxView(GetTabIndexByPortID(UniqueID)))
        pView->m_bRescueModem = false;
    emit SignalRescueModemStatus(false, UniqueID);
    SetTabUpgradingMark(UniqueID, false);
    if (!m_bQuietUpgradeDone && !m_bRegressQuietUpgrade)
    {
        MonitorPrompt()->Inform(this, QMessageBox::Information, tr("Firmware Upgrade complete"),
                                pCtrl->GetPortName() + QLatin1Char(' ') + tr("Firmware Upgrade complete"), tr("Yes"),
                                QString(), {});
    }
}

void CPortTab::OnUpdateFail(uint UniquePortID)
{
    QZvPortCtrlBase* pCtrl = ManagedPort(UniquePortID);
    if (pCtrl == nullptr)
        return;
    pCtrl->SetXModemMode(false);
    SetTabUpgradingMark(UniquePortID, false);
    MonitorPrompt()->Inform(this, QMessageBox::Warning, tr("Firmware Upgrade Fail"),
                            tr("Firmware Upgrade Fail\r\nPlease reset the board !!!"), tr("OK"), QString(), {});
}

void CPortTab::OnUsbUpdateFail(uint UniquePortID, int UpdateFail)
{
    if (ManagedPort(UniquePortID) == nullptr)
        return;
    SetTabUpgradingMark(UniquePortID, false);
    const qint64 reason = qAbs(static_cast<qint64>(UpdateFail)) - 1;
    // Codes beyond the named ones are shown by their number.
    const QString sReason = reason >= 0 && reason < static_cast<qint64>(std::size(kUsbFailReasons))
                                ? tr(kUsbFailReasons[reason])
                                : tr("Unknown error %1").arg(UpdateFail);
    const int i = GetTabIndexByPortID(UniquePortID);
    MonitorPrompt()->Inform(this, QMessageBox::Warning, tr("Fail"),
                            (i >= 0 ? tabText(i) : QString()) + QStringLiteral(": ") + sReason, tr("Yes"), QString(),
                            {});
}
