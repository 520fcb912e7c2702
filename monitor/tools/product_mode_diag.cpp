#include "monitor/tools/product_mode_diag.h"
#include "monitor/shell/fit_texts.h"
#include "monitor/shell/shell_log.h"

#include <QCheckBox>
#include <QDebug>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/script_process.h"
#include "monitor/tools/tool_paths.h"

namespace
{
const char* const kColumnLabels[QProductModeDiag::COL_COUNT] = {
    QT_TRANSLATE_NOOP("QProductModeDiag", "PortName"),
    QT_TRANSLATE_NOOP("QProductModeDiag", "BoardIp"),
    QT_TRANSLATE_NOOP("QProductModeDiag", "Image"),
    QT_TRANSLATE_NOOP("QProductModeDiag", "Result"),
};
const char kWatchdogFired[] = "zvWatchdogFired";
// The last numbers a board may take: not the network (0) nor the broadcast (255).
constexpr int kFirstHost = 1;
constexpr int kLastHost = 254;
} // namespace

QProductModeDiag::QProductModeDiag(QWidget* pParent)
    : QDialog(pParent), m_pIpLabel(new QLabel(this)), m_pIpEdit(new QLineEdit(this)), m_pImageLabel(new QLabel(this)),
      m_pImageEdit(new QLineEdit(this)), m_pOpenImageButton(new QPushButton(this)), m_pTable(new QTableWidget(this)),
      m_pSelectAll(new QCheckBox(this)), m_pStartButton(new QPushButton(this)), m_pCancelButton(new QPushButton(this)),
      m_pRefreshButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("QProductModeDiag"));
    m_pIpEdit->setObjectName(QStringLiteral("IpSegmentEdit"));
    m_pImageEdit->setObjectName(QStringLiteral("ImagePathEdit"));
    m_pOpenImageButton->setObjectName(QStringLiteral("OpenImageButton"));
    m_pTable->setObjectName(QStringLiteral("ProductTable"));
    m_pSelectAll->setObjectName(QStringLiteral("SelectAllCheckBox"));
    m_pStartButton->setObjectName(QStringLiteral("StartButton"));
    m_pCancelButton->setObjectName(QStringLiteral("CancelButton"));
    m_pRefreshButton->setObjectName(QStringLiteral("RefreshListButton"));
    m_pIpEdit->setPlaceholderText(QStringLiteral("192.168.1.100"));
    m_pTable->setColumnCount(COL_COUNT);
    m_pTable->horizontalHeader()->setSectionsClickable(false);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->verticalHeader()->setVisible(false);

    auto* pFields = new QGridLayout;
    pFields->addWidget(m_pIpLabel, 0, 0);
    pFields->addWidget(m_pIpEdit, 0, 1, 1, 2);
    pFields->addWidget(m_pImageLabel, 1, 0);
    pFields->addWidget(m_pImageEdit, 1, 1);
    pFields->addWidget(m_pOpenImageButton, 1, 2);
    pFields->setColumnStretch(1, 1);
    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(m_pSelectAll);
    pButtons->addStretch(1);
    pButtons->addWidget(m_pRefreshButton);
    pButtons->addWidget(m_pStartButton);
    pButtons->addWidget(m_pCancelButton);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pFields);
    pLayout->addWidget(m_pTable, 1);
    pLayout->addLayout(pButtons);
    resize(840, 400);

    connect(m_pOpenImageButton, &QPushButton::clicked, this, &QProductModeDiag::OnOpenImagePath);
    connect(m_pRefreshButton, &QPushButton::clicked, this, &QProductModeDiag::OnRefreshList);
    connect(m_pSelectAll, &QCheckBox::clicked, this, &QProductModeDiag::OnSelectAllBtnClicked);
    connect(m_pStartButton, &QPushButton::clicked, this, &QProductModeDiag::OnStartProductMode);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QProductModeDiag::OnCancelProductMode);
    OnLanguageUpdate();
}

QProductModeDiag::~QProductModeDiag()
{
    // A script still running ends with the window.
    for (QProcess* p : m_Scripts)
    {
        p->disconnect(this);
        p->kill();
        p->waitForFinished(1000);
    }
}

QString QProductModeDiag::ScriptPath() { return ToolConfigFile(QStringLiteral("Configure/ProductMode/Update.py")); }

void QProductModeDiag::OnLanguageUpdate()
{
    setWindowTitle(tr("Product Mode"));
    m_pIpLabel->setText(tr("IP Segment:"));
    m_pImageLabel->setText(tr("Image Path:"));
    m_pOpenImageButton->setText(tr("Open Image"));
    m_pSelectAll->setText(tr("Select All"));
    m_pStartButton->setText(tr("Start"));
    m_pCancelButton->setText(tr("Cancel"));
    m_pRefreshButton->setText(tr("Refresh list"));
    QStringList labels;
    for (const char* p : kColumnLabels)
        labels << tr(p);
    m_pTable->setHorizontalHeaderLabels(labels);
}

void QProductModeDiag::Warn(const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("warning"), sText);
}

void QProductModeDiag::OnProductModeDiagShow()
{
    if (!m_sImagePath.isEmpty())
        m_pImageEdit->setText(m_sImagePath);
    if (!m_sIpSegment.isEmpty())
        m_pIpEdit->setText(m_sIpSegment);
    show();
    raise();
    activateWindow();
}

void QProductModeDiag::OnOpenImagePath()
{
    const QString sPath =
        MonitorPrompt()->OpenFileName(this, tr("Image File"), QString(), tr("image (*.img);;Any files(*.*)"));
    if (sPath.isEmpty())
        return;
    m_pImageEdit->setText(sPath);
    m_sImagePath = sPath;
}

bool QProductModeDiag::ParseIpv4(const QString& sText, int Parts[4])
{
    const QStringList parts = sText.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i)
    {
        bool bOk = false;
        const QString& s = parts.at(i);
        Parts[i] = s.toInt(&bOk, 10);
        // Digits only: no sign, blank or other base slips through.
        if (!bOk || s.isEmpty() || s.size() > 3 || Parts[i] < 0 || Parts[i] > 255 ||
            std::any_of(s.cbegin(), s.cend(), [](QChar c) { return !c.isDigit(); }))
            return false;
    }
    return true;
}

QString QProductModeDiag::CheckBoardIp(const QString& sIp, const QString& sSegment)
{
    int seg[4] = {};
    int ip[4] = {};
    if (!ParseIpv4(sSegment, seg))
        return tr("the IP segment %1 is not four numbers from 0 to 255").arg(sSegment);
    if (!ParseIpv4(sIp, ip))
        return tr("%1 is not an address of four numbers from 0 to 255").arg(sIp);
    if (ip[0] != seg[0] || ip[1] != seg[1] || ip[2] != seg[2])
        return tr("%1 is outside the segment %2.%3.%4.x").arg(sIp).arg(seg[0]).arg(seg[1]).arg(seg[2]);
    if (ip[3] < kFirstHost || ip[3] > kLastHost)
        return tr("%1 is not a board's address: its last number must be from %2 to %3")
            .arg(sIp)
            .arg(kFirstHost)
            .arg(kLastHost);
    return QString();
}

QString QProductModeDiag::NextFreeIp() const
{
    int seg[4] = {};
    if (!ParseIpv4(m_sIpSegment, seg))
        return QString();
    for (int i = 1; seg[3] + i <= kLastHost; ++i)
    {
        const QString sIp = QStringLiteral("%1.%2.%3.%4").arg(seg[0]).arg(seg[1]).arg(seg[2]).arg(seg[3] + i);
        bool bTaken = false;
        for (const BOARD_T& b : m_Boards)
            bTaken = bTaken || b.Ip == sIp;
        if (!bTaken)
            return sIp;
    }
    return QString();
}

QProductModeDiag::BOARD_T* QProductModeDiag::Board(uint UniquePortID)
{
    for (BOARD_T& b : m_Boards)
        if (b.UniquePortID == UniquePortID)
            return &b;
    return nullptr;
}

void QProductModeDiag::OnRefreshList()
{
    m_sIpSegment = m_pIpEdit->text().trimmed();
    m_sImagePath = m_pImageEdit->text().trimmed();
    if (!m_sImagePath.contains(QLatin1String(".img")))
    {
        Warn(tr("Firmware path error, please reenter!"));
        return;
    }
    if (!QFileInfo(m_sImagePath).isFile())
    {
        Warn(tr("The image file does not exist: %1").arg(m_sImagePath));
        return;
    }
    int seg[4] = {};
    if (!ParseIpv4(m_sIpSegment, seg))
    {
        Warn(tr("The IP segment must be four numbers from 0 to 255, as 192.168.1.100: %1").arg(m_sIpSegment));
        return;
    }
    // Boards whose update still runs keep their state: a new list takes them over.
    QList<BOARD_T> before;
    before.swap(m_Boards);
    QStringList noAddress;
    const int nTabs = m_pPortTab != nullptr ? m_pPortTab->GetTabCount() : 0;
    for (int i = 0; i < nTabs; ++i)
    {
        const uint uid = m_pPortTab->GetPortUniqueID(i);
        if (uid == 0)
            continue;
        emit SignalRefreshPortProperty(i, uid);
        const PORT_INFO_T info = m_pPortTab->GetPortInfo(uid);
        if (!info.Property.VersionLine.contains(QLatin1String("Golden")))
            continue;
        BOARD_T b;
        b.PortName = info.TabText;
        b.UniquePortID = uid;
        b.Ip = NextFreeIp();
        for (const BOARD_T& old : before)
            if (old.UniquePortID == uid)
                b.eState = old.eState;
        if (b.Ip.isEmpty())
            noAddress << b.PortName;
        m_Boards << b;
    }
    if (!noAddress.isEmpty())
        Warn(tr("No address from %1 to %2 is left in the segment %3 for: %4")
                 .arg(kFirstHost)
                 .arg(kLastHost)
                 .arg(m_sIpSegment, noAddress.join(QStringLiteral(", "))));
    m_pStartButton->setEnabled(true);
    Fill();
}

void QProductModeDiag::Fill()
{
    m_pTable->setRowCount(m_Boards.size());
    for (int i = 0; i < m_Boards.size(); ++i)
    {
        const BOARD_T& b = m_Boards.at(i);
        auto* pBox = new QCheckBox(b.PortName);
        m_pTable->setCellWidget(i, COL_PORT, pBox);
        m_pTable->setItem(i, COL_IP, new QTableWidgetItem(b.Ip));
        m_pTable->setItem(i, COL_IMAGE, new QTableWidgetItem(m_sImagePath));
        auto* pResult = new QTableWidgetItem(m_Results.value(b.UniquePortID));
        pResult->setFlags(pResult->flags() & ~Qt::ItemIsEditable);
        m_pTable->setItem(i, COL_RESULT, pResult);
    }
    FitTableColumns(m_pTable);
    m_pTable->resizeRowsToContents();
}

void QProductModeDiag::OnSelectAllBtnClicked()
{
    for (int i = 0; i < m_Boards.size() && i < m_pTable->rowCount(); ++i)
    {
        if (auto* pBox = qobject_cast<QCheckBox*>(m_pTable->cellWidget(i, COL_PORT)))
            pBox->setChecked(m_pSelectAll->isChecked());
        m_Boards[i].bSelected = m_pSelectAll->isChecked();
    }
}

void QProductModeDiag::SetResult(uint UniquePortID, const QString& sText)
{
    m_Results[UniquePortID] = sText;
    for (int i = 0; i < m_Boards.size() && i < m_pTable->rowCount(); ++i)
        if (m_Boards.at(i).UniquePortID == UniquePortID && m_pTable->item(i, COL_RESULT) != nullptr)
            m_pTable->item(i, COL_RESULT)->setText(sText);
    qCDebug(lcWindows, "Product mode port %u: %s", UniquePortID, qPrintable(sText));
}

void QProductModeDiag::OnStartProductMode()
{
    m_bActive = true;
    m_pStartButton->setEnabled(false);
    for (int i = 0; i < m_Boards.size() && i < m_pTable->rowCount(); ++i)
    {
        BOARD_T& b = m_Boards[i];
        const auto* pBox = qobject_cast<QCheckBox*>(m_pTable->cellWidget(i, COL_PORT));
        b.bSelected = pBox != nullptr && pBox->isChecked();
        b.RowData.clear();
        for (int c = COL_IP; c < COL_COUNT; ++c)
            b.RowData << (m_pTable->item(i, c) != nullptr ? m_pTable->item(i, c)->text().trimmed() : QString());
    }
    QStringList refused;
    QStringList given;
    for (BOARD_T& b : m_Boards)
    {
        if (!b.bSelected || b.eState != BOARD_IDLE)
            continue;
        const QString sIp = b.RowData.value(0);
        QString sWhy = CheckBoardIp(sIp, m_sIpSegment);
        if (sWhy.isEmpty() && given.contains(sIp))
            sWhy = tr("%1 is given to another board").arg(sIp);
        if (!sWhy.isEmpty())
        {
            refused << b.PortName + QStringLiteral(": ") + sWhy;
            SetResult(b.UniquePortID, tr("Refused: %1").arg(sWhy));
            continue;
        }
        given << sIp;
        b.Ip = sIp;
        SendStaticIpCommand(sIp, b.UniquePortID);
    }
    if (!refused.isEmpty())
        Warn(tr("These boards were not configured:") + QLatin1Char('\n') + refused.join(QLatin1Char('\n')));
}

void QProductModeDiag::SendStaticIpCommand(const QString& ip, uint UniquePortID)
{
    int a[4] = {};
    BOARD_T* pBoard = Board(UniquePortID);
    if (pBoard == nullptr || !ParseIpv4(ip, a))
        return;
    const QString sGateway = QStringLiteral("%1.%2.%3.1").arg(a[0]).arg(a[1]).arg(a[2]);
    emit SignalSetStaticIp(UniquePortID, QStringLiteral("netconfig static %1 255.255.255.0 %2\r\n")
                                             .arg(ip, sGateway)
                                             .toUtf8());
    pBoard->eState = BOARD_CONFIGURING;
    SetResult(UniquePortID, tr("Configuring %1").arg(ip));
    // The board takes its new address before the script reaches for it.
    const QString sImage = m_sImagePath;
    QTimer::singleShot(m_Delays.ConfigWaitMs, this,
                       [this, ip, sImage, UniquePortID] { RunUpdateScript(ip, sImage, UniquePortID); });
}

void QProductModeDiag::RunUpdateScript(const QString& ip, const QString& image, uint UniquePortID)
{
    BOARD_T* pBoard = Board(UniquePortID);
    if (pBoard == nullptr)
        return;
    pBoard->eState = BOARD_IDLE;
    const QString sScript = ScriptPath();
    if (!QFileInfo(sScript).isFile())
    {
        SetResult(UniquePortID, tr("Update script not found: %1").arg(sScript));
        return;
    }
    if (!QFileInfo(image).isFile())
    {
        SetResult(UniquePortID, tr("The image file does not exist: %1").arg(image));
        return;
    }
    auto* pProcess = new QProcess(this);
    pProcess->setProcessChannelMode(QProcess::ForwardedChannels);
    m_Scripts.insert(UniquePortID, pProcess);
    pBoard->eState = BOARD_UPDATING;
    connect(pProcess, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this, UniquePortID, pProcess](int nExitCode, QProcess::ExitStatus eStatus)
            {
                const int nWatchdogS = (m_Delays.WatchdogMs + 999) / 1000;
                OnScriptEnded(UniquePortID, pProcess,
                              pProcess->property(kWatchdogFired).toBool()
                                  ? tr("Stopped by the watchdog after %1 s").arg(nWatchdogS)
                              : eStatus == QProcess::NormalExit && nExitCode == 0
                                  ? tr("Updated")
                              : eStatus == QProcess::NormalExit ? tr("Script failed, exit code %1").arg(nExitCode)
                                                                : tr("Script crashed"));
            });
    connect(pProcess, &QProcess::errorOccurred, this,
            [this, UniquePortID, pProcess](QProcess::ProcessError eError)
            {
                // No "finished" follows a program that never started.
                if (eError == QProcess::FailedToStart)
                    OnScriptEnded(UniquePortID, pProcess,
                                  tr("The script could not start: %1").arg(pProcess->errorString()));
            });
    auto* pWatchdog = new QTimer(pProcess);
    pWatchdog->setSingleShot(true);
    connect(pWatchdog, &QTimer::timeout, pProcess,
            [pProcess]
            {
                pProcess->setProperty(kWatchdogFired, true);
                pProcess->kill();
            });
    pWatchdog->start(m_Delays.WatchdogMs);
    SetResult(UniquePortID, tr("Updating %1").arg(ip));
    pProcess->start(QScriptProcess::Interpreter(), {sScript, ip, image});
}

void QProductModeDiag::OnScriptEnded(uint UniquePortID, QProcess* pProcess, const QString& sResult)
{
    if (m_Scripts.value(UniquePortID) != pProcess)
        return;
    m_Scripts.remove(UniquePortID);
    pProcess->disconnect(this);
    pProcess->deleteLater();
    if (BOARD_T* pBoard = Board(UniquePortID))
        pBoard->eState = BOARD_IDLE;
    SetResult(UniquePortID, sResult);
    OnProcessFinish(true);
}

void QProductModeDiag::OnProcessFinish(bool ProcessFinished)
{
    qCDebug(lcWindows, "Product mode: an update script ended (%d), %d still running", ProcessFinished ? 1 : 0,
           static_cast<int>(m_Scripts.size()));
}

void QProductModeDiag::OnCancelProductMode()
{
    // Later resets are ignored; scripts that run go on to their end.
    m_bActive = false;
    m_pStartButton->setEnabled(true);
}

void QProductModeDiag::OnProductBoardReset(uint UniquePortID)
{
    BOARD_T* pBoard = Board(UniquePortID);
    // A board in the middle of its own configuration or update resets as part of it.
    if (!m_bActive || pBoard == nullptr || pBoard->eState != BOARD_IDLE || m_pPortTab == nullptr)
        return;
    const int index = m_pPortTab->GetTabIndexByPortID(UniquePortID);
    if (index < 0)
        return;
    emit SignalSetStaticIp(UniquePortID, QByteArrayLiteral("version\r\n"));
    emit SignalRefreshPortProperty(index, UniquePortID);
    pBoard->eState = BOARD_RESET_CHECK;
    QTimer::singleShot(m_Delays.ResetWaitMs, this,
                       [this, UniquePortID]
                       {
                           BOARD_T* pAfter = Board(UniquePortID);
                           if (pAfter == nullptr || pAfter->eState != BOARD_RESET_CHECK)
                               return;
                           pAfter->eState = BOARD_IDLE;
                           const PORT_INFO_T info =
                               m_pPortTab != nullptr ? m_pPortTab->GetPortInfo(UniquePortID) : PORT_INFO_T();
                           if (m_bActive && info.Property.VersionLine.contains(QLatin1String("Golden")) &&
                               CheckBoardIp(pAfter->Ip, m_sIpSegment).isEmpty())
                               SendStaticIpCommand(pAfter->Ip, UniquePortID);
                       });
}
