#include "monitor/tools/hardware_diag.h"
#include "monitor/shell/fit_texts.h"
#include "monitor/shell/shell_log.h"

#include <QCheckBox>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/port_tab.h"

namespace
{
const char* const kColumnLabels[QHardwareDiag::COL_COUNT] = {
    QT_TRANSLATE_NOOP("QHardwareDiag", "Port Name"),
    QT_TRANSLATE_NOOP("QHardwareDiag", "ImagePath"),
    QT_TRANSLATE_NOOP("QHardwareDiag", "WaitTime"),
    QT_TRANSLATE_NOOP("QHardwareDiag", "Result"),
};
const char kTestFolder[] = "HardwareTest";
const char kResultsFile[] = "HardwareTestResults.txt";
} // namespace

QHardwareDiag::QHardwareDiag(QWidget* pParent)
    : QDialog(pParent), m_fnNow([] { return QDateTime::currentDateTime(); }), m_pTable(new QTableWidget(this)),
      m_pSelectAll(new QCheckBox(this)), m_pImageButton(new QPushButton(this)), m_pImageLabel(new QLabel(this)),
      m_pLogButton(new QPushButton(this)), m_pLogLabel(new QLabel(this)), m_pOkButton(new QPushButton(this)),
      m_pCancelButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("QHardwareDiag"));
    m_pTable->setObjectName(QStringLiteral("HardwareTable"));
    m_pSelectAll->setObjectName(QStringLiteral("SelectAllCheckBox"));
    m_pImageButton->setObjectName(QStringLiteral("ImagePathButton"));
    m_pImageLabel->setObjectName(QStringLiteral("ImagePathLabel"));
    m_pLogButton->setObjectName(QStringLiteral("LogPathButton"));
    m_pLogLabel->setObjectName(QStringLiteral("LogPathLabel"));
    m_pOkButton->setObjectName(QStringLiteral("OkButton"));
    m_pCancelButton->setObjectName(QStringLiteral("CancelButton"));
    m_pTable->setColumnCount(COL_COUNT);
    m_pTable->horizontalHeader()->setSectionsClickable(false);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->verticalHeader()->setVisible(false);

    auto* pPaths = new QGridLayout;
    pPaths->addWidget(m_pImageButton, 0, 0);
    pPaths->addWidget(m_pImageLabel, 0, 1);
    pPaths->addWidget(m_pLogButton, 1, 0);
    pPaths->addWidget(m_pLogLabel, 1, 1);
    pPaths->setColumnStretch(1, 1);
    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(m_pSelectAll);
    pButtons->addStretch(1);
    pButtons->addWidget(m_pOkButton);
    pButtons->addWidget(m_pCancelButton);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pPaths);
    pLayout->addWidget(m_pTable, 1);
    pLayout->addLayout(pButtons);
    resize(900, 380);

    connect(m_pSelectAll, &QCheckBox::clicked, this, &QHardwareDiag::OnSelectAllBtnClicked);
    connect(m_pImageButton, &QPushButton::clicked, this, &QHardwareDiag::OnImagePathButtonClicked);
    connect(m_pLogButton, &QPushButton::clicked, this, &QHardwareDiag::OnLogPathButtonClicked);
    connect(m_pOkButton, &QPushButton::clicked, this, &QHardwareDiag::OnOKBtnClicked);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QHardwareDiag::OnCancleTest);
    OnLanguageUpdate();
}

QHardwareDiag::~QHardwareDiag()
{
    // Every wait of a worker ends at its stop, so this returns at once.
    for (const RUNNING_T& t : m_Tests)
        t.pThread->RequestStop();
    for (const RUNNING_T& t : m_Tests)
    {
        t.pThread->disconnect(this);
        t.pThread->wait();
        delete t.pThread;
    }
}

QString QHardwareDiag::ImagePathFile() { return ToolConfigFile(QStringLiteral("Configure/Config/StoreImagePath.ini")); }

QString QHardwareDiag::LogPathFile()
{
    return ToolConfigFile(QStringLiteral("Configure/Config/StoreHardwareLogPath.ini"));
}

QString QHardwareDiag::ResultText(int Result)
{
    switch (Result)
    {
    case HARDWARE_RUNNING:
        return tr("Running");
    case HARDWARE_PASSED:
        return tr("Passed");
    case HARDWARE_NO_TAB:
        return tr("Not found Porttab");
    case HARDWARE_UPGRADE_FAILED:
        return tr("Firmware upgrade failed");
    case HARDWARE_UPGRADE_TIMEOUT:
        return tr("Firmware upgrade timed out");
    case HARDWARE_NO_VERSION:
        return tr("No version reply after the upgrade");
    case HARDWARE_VERSION_MISMATCH:
        return tr("Firmware check failed");
    case HARDWARE_CANCELLED:
        return tr("Cancelled");
    case HARDWARE_NO_LOG_FILE:
        return tr("No log file name free");
    case HARDWARE_VERSION_UNANSWERED:
        return tr("No answer to the version query: not upgraded");
    default:
        return QString();
    }
}

void QHardwareDiag::OnLanguageUpdate()
{
    setWindowTitle(tr("Hardware Test"));
    m_pSelectAll->setText(tr("SelectAll"));
    m_pImageButton->setText(tr("ImagePath"));
    m_pLogButton->setText(tr("LogPath"));
    m_pOkButton->setText(tr("OK"));
    m_pCancelButton->setText(tr("Cancel"));
    QStringList labels;
    for (const char* p : kColumnLabels)
        labels << tr(p);
    m_pTable->setHorizontalHeaderLabels(labels);
    for (auto it = m_Results.cbegin(); it != m_Results.cend(); ++it)
        ShowResult(it.key());
}

void QHardwareDiag::Error(const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Critical, tr("Error"), sText);
}

bool QHardwareDiag::ReadImageList(const QString& sPath)
{
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly))
    {
        Error(tr("Open ImageStorPath File fail!"));
        return false;
    }
    QStringList list;
    for (QString sLine : DecodeToolText(file.readAll()).split(QLatin1Char('\n')))
    {
        sLine.remove(QLatin1Char('\r'));
        if (!sLine.trimmed().isEmpty())
            list << sLine.trimmed();
    }
    m_ImageList = list;
    return true;
}

bool QHardwareDiag::AskPath(bool bImage)
{
    bool bOk = false;
    const QString sText =
        MonitorPrompt()
            ->Text(this, tr("Path Input"), bImage ? tr("Please input Image Path") : tr("Please input Log Path"),
                   QString(), &bOk)
            .trimmed();
    if (!bOk)
        return false;
    const QFileInfo info(sText);
    if (sText.isEmpty() || !(bImage ? info.isFile() : info.isDir()))
    {
        Error(tr("You did not enter a file name"));
        return false;
    }
    const QString sPath = info.absoluteFilePath();
    if (bImage)
    {
        if (!ReadImageList(sPath))
            return false;
        m_sImageListPath = sPath;
        m_pImageLabel->setText(sPath);
    }
    else
    {
        m_sLogRoot = sPath;
        m_pLogLabel->setText(sPath);
    }
    if (!WritePathFile(bImage ? ImagePathFile() : LogPathFile(), sPath))
        Error(tr("The path cannot be saved in %1").arg(bImage ? ImagePathFile() : LogPathFile()));
    return true;
}

bool QHardwareDiag::LoadPath(bool bImage)
{
    const QString sPath = ReadPathFile(bImage ? ImagePathFile() : LogPathFile());
    const QFileInfo info(sPath);
    if (sPath.isEmpty() || !(bImage ? info.isFile() : info.isDir()))
        return AskPath(bImage);
    if (bImage)
    {
        if (!ReadImageList(sPath))
            return AskPath(bImage);
        m_sImageListPath = sPath;
        m_pImageLabel->setText(sPath);
    }
    else
    {
        m_sLogRoot = sPath;
        m_pLogLabel->setText(sPath);
    }
    return true;
}

void QHardwareDiag::OnImagePathButtonClicked()
{
    if (AskPath(true))
        OnUpdateConfigTabl();
}

void QHardwareDiag::OnLogPathButtonClicked() { AskPath(false); }

void QHardwareDiag::OnShowDialog()
{
    if (!LoadPath(true) || !LoadPath(false))
        return;
    OnUpdateConfigTabl();
    show();
    raise();
    activateWindow();
}

QString QHardwareDiag::DefaultImage(const QString& sBoardName) const
{
    QString sName = sBoardName;
    if (sName.contains(QLatin1String("9C2")))
        sName = QStringLiteral("QT912");
    // A board that did not name itself gets no image by default.
    if (sName.isEmpty())
        return QString();
    for (const QString& sImage : m_ImageList)
        if (sImage.contains(sName))
            return sImage;
    return QString();
}

void QHardwareDiag::OnUpdateConfigTabl()
{
    // What the user typed in the rows so far is kept per board.
    for (int i = 0; i < m_Rows.size() && i < m_pTable->rowCount(); ++i)
    {
        ROW_DATA_T& data = m_RowData[m_Rows.at(i).Key];
        data.ImagePath = m_pTable->item(i, COL_IMAGE) != nullptr ? m_pTable->item(i, COL_IMAGE)->text() : QString();
        data.WaitTime = m_pTable->item(i, COL_WAIT) != nullptr ? m_pTable->item(i, COL_WAIT)->text() : QString();
    }
    m_Rows.clear();
    if (m_pPortTab != nullptr)
    {
        for (int i = 0; i < m_pPortTab->GetTabCount(); ++i)
        {
            const PORT_INFO_T info = m_pPortTab->GetPortInfo(m_pPortTab->GetPortUniqueID(i));
            if (info.UniquePortID == 0)
                continue;
            BOARD_ROW_T row;
            row.Key = info.Property.ID.isEmpty() ? QStringLiteral("#") + info.TabText : info.Property.ID;
            bool bSeen = false;
            for (const BOARD_ROW_T& r : m_Rows)
                bSeen = bSeen || r.Key == row.Key;
            if (bSeen)
                continue;
            row.UniquePortID = info.UniquePortID;
            row.TabText = info.TabText;
            row.BoardName = QString(info.Property.BoardName).remove(QLatin1String("INS"));
            if (!m_RowData.contains(row.Key))
                m_RowData[row.Key].ImagePath = DefaultImage(row.BoardName);
            m_Rows << row;
        }
    }
    m_pTable->setRowCount(m_Rows.size());
    for (int i = 0; i < m_Rows.size(); ++i)
    {
        const BOARD_ROW_T& row = m_Rows.at(i);
        const ROW_DATA_T& data = m_RowData[row.Key];
        auto* pBox = new QCheckBox(row.TabText);
        pBox->setChecked(false);
        m_pTable->setCellWidget(i, COL_PORT, pBox);
        m_pTable->setItem(i, COL_IMAGE, new QTableWidgetItem(data.ImagePath));
        m_pTable->setItem(i, COL_WAIT, new QTableWidgetItem(data.WaitTime));
        auto* pResult = new QTableWidgetItem(m_Results.value(row.UniquePortID));
        pResult->setFlags(pResult->flags() & ~Qt::ItemIsEditable);
        m_pTable->setItem(i, COL_RESULT, pResult);
    }
    FitTableColumns(m_pTable);
    m_pTable->resizeRowsToContents();
}

void QHardwareDiag::OnSelectAllBtnClicked()
{
    for (int i = 0; i < m_pTable->rowCount(); ++i)
        if (auto* pBox = qobject_cast<QCheckBox*>(m_pTable->cellWidget(i, COL_PORT)))
            pBox->setChecked(m_pSelectAll->isChecked());
    for (BOARD_ROW_T& row : m_Rows)
        row.bSelected = m_pSelectAll->isChecked();
}

int QHardwareDiag::TabOf(uint UniquePortID) const
{
    return m_pPortTab != nullptr ? m_pPortTab->GetTabIndexByPortID(UniquePortID) : -1;
}

void QHardwareDiag::ShowResult(uint UniquePortID)
{
    for (int i = 0; i < m_Rows.size() && i < m_pTable->rowCount(); ++i)
        if (m_Rows.at(i).UniquePortID == UniquePortID && m_pTable->item(i, COL_RESULT) != nullptr)
            m_pTable->item(i, COL_RESULT)->setText(m_Results.value(UniquePortID));
    m_pTable->resizeColumnToContents(COL_RESULT);
}

void QHardwareDiag::OnOKBtnClicked()
{
    for (int i = 0; i < m_Rows.size() && i < m_pTable->rowCount(); ++i)
    {
        BOARD_ROW_T& row = m_Rows[i];
        const auto* pBox = qobject_cast<QCheckBox*>(m_pTable->cellWidget(i, COL_PORT));
        row.bSelected = pBox != nullptr && pBox->isChecked();
        m_RowData[row.Key].ImagePath = m_pTable->item(i, COL_IMAGE)->text().trimmed();
        m_RowData[row.Key].WaitTime = m_pTable->item(i, COL_WAIT)->text().trimmed();
    }
    QSet<QString> taken;
    for (const RUNNING_T& t : m_Tests)
        taken.insert(t.LogFileName);
    for (const BOARD_ROW_T& row : m_Rows)
    {
        if (!row.bSelected || m_Tests.contains(row.UniquePortID))
            continue;
        const ROW_DATA_T& data = m_RowData[row.Key];
        if (data.ImagePath.isEmpty())
        {
            Error(row.TabText + tr(" Please input the board image path"));
            continue;
        }
        bool bNumber = false;
        const int nWait = data.WaitTime.toInt(&bNumber, 10);
        if (!bNumber || nWait < 0)
        {
            Error(row.TabText + tr(" Please input the board log time"));
            continue;
        }
        // An image that is not there is reported, never handed to an upgrade.
        if (!QFileInfo(data.ImagePath).isFile())
        {
            Error(row.TabText + QLatin1Char(' ') + tr("The image file does not exist: %1").arg(data.ImagePath));
            continue;
        }
        const PORT_INFO_T info = m_pPortTab != nullptr ? m_pPortTab->GetPortInfo(row.UniquePortID) : PORT_INFO_T();
        if (info.UniquePortID == 0)
        {
            m_Results[row.UniquePortID] = ResultText(HARDWARE_NO_TAB);
            ShowResult(row.UniquePortID);
            continue;
        }
        const QString sDir = MakeDatedLogDir(m_sLogRoot, m_fnNow().date(), QLatin1String(kTestFolder));
        const QString sLog = sDir.isEmpty() ? QString() : NumberedLogName(sDir, LogBaseName(row.TabText), taken);
        if (sLog.isEmpty())
        {
            Error(row.TabText + QLatin1Char(' ') + ResultText(HARDWARE_NO_LOG_FILE));
            m_Results[row.UniquePortID] = ResultText(HARDWARE_NO_LOG_FILE);
            ShowResult(row.UniquePortID);
            continue;
        }
        taken.insert(sLog);
        HARDWARE_TEST_T test;
        test.UniquePortID = row.UniquePortID;
        test.ImagePath = data.ImagePath;
        test.WaitSecs = nWait;
        test.LogFileName = sLog;
        test.FirmwareVersion = info.Property.FirmwareVersion;
        test.Timing = m_Timing;
        auto* pThread = new QHardwareThread(test);
        connect(pThread, &QHardwareThread::SignalSetBaudrateTab, this, &QHardwareDiag::OnChangeBuadRate);
        connect(pThread, &QHardwareThread::SignalSendSerialComMsg, this, &QHardwareDiag::OnSendCmd);
        connect(pThread, &QHardwareThread::SignalSetFileName, this, &QHardwareDiag::OnSetFileName);
        connect(pThread, &QHardwareThread::SignalCloseFile, this, &QHardwareDiag::OnCloseFile);
        connect(pThread, &QHardwareThread::SignalHardWareUpgradeFWTab, this, &QHardwareDiag::OnHardWareUPdate);
        connect(pThread, &QHardwareThread::SignalCancelUpgradeFW, this, &QHardwareDiag::OnCancelUpgrade);
        connect(pThread, &QHardwareThread::SignalHardWareTitalStatus, this, &QHardwareDiag::OnUpgradeFWTitalStatus);
        connect(pThread, &QHardwareThread::SignalUPdateNotBox, this, &QHardwareDiag::OnUPdateNotBox);
        connect(pThread, &QHardwareThread::SignalHardwareVersionMask, this, &QHardwareDiag::OnSendHardwareVersionMask);
        connect(pThread, &QHardwareThread::SignalFinish, this, &QHardwareDiag::OnFinished);
        connect(pThread, &QHardwareThread::SignalFailed, this, &QHardwareDiag::OnTestFailed);
        RUNNING_T running;
        running.pThread = pThread;
        running.TabText = row.TabText;
        running.LogFileName = sLog;
        m_Tests.insert(row.UniquePortID, running);
        m_Results[row.UniquePortID] = ResultText(HARDWARE_RUNNING);
        ShowResult(row.UniquePortID);
        pThread->start(QThread::InheritPriority);
    }
}

bool QHardwareDiag::FromRunningTest(uint UniquePortID) const
{
    // Compared as an address only: a worker already stopped may be gone.
    const auto it = m_Tests.constFind(UniquePortID);
    return it != m_Tests.cend() && static_cast<QObject*>(it->pThread) == sender();
}

int QHardwareDiag::TabOrEnd(uint UniquePortID)
{
    const int index = TabOf(UniquePortID);
    if (index < 0)
        EndTest(UniquePortID, HARDWARE_NO_TAB, true);
    return index;
}

void QHardwareDiag::OnPortCloseEvent(int Index)
{
    const uint uid = m_pPortTab != nullptr ? m_pPortTab->GetPortUniqueID(Index) : 0;
    if (uid != 0 && m_Tests.contains(uid))
        EndTest(uid, HARDWARE_NO_TAB, true);
}

void QHardwareDiag::OnChangeBuadRate(uint Baudrate, uint UniquePortID)
{
    if (!FromRunningTest(UniquePortID))
        return;
    const int index = TabOrEnd(UniquePortID);
    if (index >= 0)
        emit SignalHardwareChangeBuadRate(Baudrate, index);
}

void QHardwareDiag::OnSendCmd(uint UniquePortID, QByteArray SendData)
{
    if (FromRunningTest(UniquePortID) && TabOrEnd(UniquePortID) >= 0)
        emit SignalHardwareSendCmd(UniquePortID, SendData);
}

void QHardwareDiag::OnSetFileName(uint UniquePortID, QString m_LogFileName)
{
    if (!FromRunningTest(UniquePortID))
        return;
    const int index = TabOrEnd(UniquePortID);
    if (index < 0)
        return;
    m_Tests[UniquePortID].bLogOpen = true;
    emit SignalHardWareLogConfig(index, 2, false, m_fnNow());
    emit SignalHardwareSetFileName(index, m_LogFileName);
}

void QHardwareDiag::OnCloseFile(uint UniquePortID)
{
    if (!FromRunningTest(UniquePortID))
        return;
    const int index = TabOrEnd(UniquePortID);
    if (index < 0)
        return;
    m_Tests[UniquePortID].bLogOpen = false;
    emit SignalHardwareCloseFile(index);
}

void QHardwareDiag::OnHardWareUPdate(uint UniquePortID, QString BoardImage)
{
    if (FromRunningTest(UniquePortID) && TabOrEnd(UniquePortID) >= 0)
        emit SignalHardwareUpgradeFW(UniquePortID, BoardImage);
}

void QHardwareDiag::OnCancelUpgrade(uint UniquePortID)
{
    if (FromRunningTest(UniquePortID) && TabOrEnd(UniquePortID) >= 0)
        emit SignalHardwareCancelUpgradeFW(UniquePortID);
}

void QHardwareDiag::OnUpgradeFWTitalStatus(uint UniquePortID, bool bRegressTitalStatus)
{
    if (!FromRunningTest(UniquePortID))
        return;
    m_Tests[UniquePortID].bMarked = bRegressTitalStatus;
    if (m_pPortTab != nullptr)
        m_pPortTab->SetTabUpgradingMark(UniquePortID, bRegressTitalStatus);
}

void QHardwareDiag::UpdateQuietFlag()
{
    bool bQuiet = false;
    for (const RUNNING_T& t : m_Tests)
        bQuiet = bQuiet || t.bQuiet;
    if (m_pPortTab != nullptr)
        m_pPortTab->SetQuietUpgradeDone(bQuiet);
}

void QHardwareDiag::OnUPdateNotBox(uint UniquePortID, bool bQuiet)
{
    if (!FromRunningTest(UniquePortID))
        return;
    // The tab set's notice stays quiet while any test upgrades a board.
    m_Tests[UniquePortID].bQuiet = bQuiet;
    UpdateQuietFlag();
}

void QHardwareDiag::OnSendHardwareVersionMask(uint UniquePortID, uint VerMask)
{
    if (!FromRunningTest(UniquePortID))
        return;
    const int index = TabOrEnd(UniquePortID);
    if (index >= 0)
        emit SignalSendHardwareVersionMask(index, VerMask);
}

void QHardwareDiag::OnUpgradeFWComplete(uint UniquePortID)
{
    if (m_Tests.contains(UniquePortID))
        m_Tests[UniquePortID].pThread->OnUpgradeEnded(true);
}

void QHardwareDiag::OnUpgradeFWFail(uint UniquePortID)
{
    if (m_Tests.contains(UniquePortID))
        m_Tests[UniquePortID].pThread->OnUpgradeEnded(false);
}

void QHardwareDiag::OnUsbUpgradeFail(uint UniquePortID, int) { OnUpgradeFWFail(UniquePortID); }

void QHardwareDiag::OnStatusMsgParseFinished(uint Mask)
{
    if ((Mask & STATUS_MSG_VERSION) == 0 || m_pPortTab == nullptr)
        return;
    const uint uid = m_pPortTab->GetStatusReplyPortID();
    const QStatusMsgParser* pReplies = m_pPortTab->GetStatusReplies(uid);
    if (pReplies != nullptr && m_Tests.contains(uid))
        m_Tests[uid].pThread->OnVersionReply(pReplies->m_VersionList);
}

void QHardwareDiag::OnTestFailed(uint UniquePortID, int Result)
{
    if (FromRunningTest(UniquePortID))
        EndTest(UniquePortID, static_cast<HARDWARE_RESULT_E>(Result), true);
}

void QHardwareDiag::OnFinished(uint m_UniquePortID, QString LogFileName)
{
    (void)LogFileName;
    // A report of a test already stopped is ignored.
    if (sender() != nullptr && !FromRunningTest(m_UniquePortID))
        return;
    // A board whose tab went away did not record to the end.
    if (m_Tests.contains(m_UniquePortID) && TabOrEnd(m_UniquePortID) >= 0)
        EndTest(m_UniquePortID, HARDWARE_PASSED, true);
}

void QHardwareDiag::OnCancleTest()
{
    for (int i = 0; i < m_Rows.size() && i < m_pTable->rowCount(); ++i)
    {
        const auto* pBox = qobject_cast<QCheckBox*>(m_pTable->cellWidget(i, COL_PORT));
        if (pBox != nullptr && pBox->isChecked() && m_Tests.contains(m_Rows.at(i).UniquePortID))
            EndTest(m_Rows.at(i).UniquePortID, HARDWARE_CANCELLED, false);
    }
}

void QHardwareDiag::EndTest(uint UniquePortID, HARDWARE_RESULT_E eResult, bool bReport)
{
    const RUNNING_T test = m_Tests.take(UniquePortID);
    if (test.pThread == nullptr)
        return;
    test.pThread->RequestStop();
    test.pThread->disconnect(this);
    connect(test.pThread, &QThread::finished, test.pThread, &QObject::deleteLater);
    if (test.pThread->isFinished())
        test.pThread->deleteLater();
    // A file the test opened is closed, whatever ended the test; a port
    // without a tab, or whose tab is closing, is sent nothing.
    const int index = eResult == HARDWARE_NO_TAB ? -1 : TabOf(UniquePortID);
    if (test.bLogOpen && index >= 0)
        emit SignalHardwareCloseFile(index);
    if (test.bMarked && index >= 0)
        m_pPortTab->SetTabUpgradingMark(UniquePortID, false);
    UpdateQuietFlag();
    m_Results[UniquePortID] = ResultText(eResult);
    ShowResult(UniquePortID);
    LogResult(test, eResult);
    qCDebug(lcWindows, "Hardware test %s: %s", qPrintable(test.TabText), qPrintable(ResultText(eResult)));
    if (eResult != HARDWARE_PASSED && eResult != HARDWARE_CANCELLED)
        m_Failures << test.TabText + QStringLiteral(": ") + ResultText(eResult);
    if (!bReport || !m_Tests.isEmpty())
        return;
    QString sText = tr("Board card recording data is completed");
    if (!m_Failures.isEmpty())
        sText += QLatin1Char('\n') + tr("Failed:") + QLatin1Char('\n') + m_Failures.join(QLatin1Char('\n'));
    m_Failures.clear();
    MonitorPrompt()->Message(this, QMessageBox::NoIcon, tr("Complete"), sText);
}

void QHardwareDiag::LogResult(const RUNNING_T& Test, HARDWARE_RESULT_E eResult)
{
    const QDateTime now = m_fnNow();
    const QString sDir = MakeDatedLogDir(m_sLogRoot, now.date(), QLatin1String(kTestFolder));
    QFile file(QDir(sDir).filePath(QLatin1String(kResultsFile)));
    if (sDir.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Append))
    {
        qCDebug(lcWindows, "Hardware test: the results file cannot be written under %s", qPrintable(m_sLogRoot));
        return;
    }
    // Untranslated, so that the file reads the same whatever the language.
    static const char* const kNames[] = {"Running",
                                         "Passed",
                                         "Not found Porttab",
                                         "Upgrade failed",
                                         "Upgrade timed out",
                                         "No version reply",
                                         "Firmware check failed",
                                         "Cancelled",
                                         "No log file name free",
                                         "No version answer"};
    constexpr int nNames = static_cast<int>(sizeof kNames / sizeof kNames[0]);
    const int n = static_cast<int>(eResult);
    const QString sLine = QStringLiteral("%1\t%2\t%3\t%4\n")
                              .arg(now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), Test.TabText,
                                   QLatin1String(n >= 0 && n < nNames ? kNames[n] : "?"), Test.LogFileName);
    file.write(sLine.toUtf8());
}
