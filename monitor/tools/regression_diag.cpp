#include "monitor/tools/regression_diag.h"
#include "monitor/shell/fit_texts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "monitor/parsing/port_fix_watch.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/config_file.h"
#include "monitor/ports/port_manager.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/shell_log.h"
#include "monitor/tools/regression_config.h"
#include "monitor/tools/regression_files.h"
#include "monitor/tools/relay_board.h"
#include "monitor/tools/tool_paths.h"

namespace
{
// How long closing the bench waits for its workers; every wait of theirs ends
// at a stop, so only a worker caught in a file read takes long.
constexpr int kJoinWaitMs = 10000;
constexpr int kFaultsListed = 5;
// Marks a cell that shows a worker's progress instead of the row's value.
constexpr int kStatusRole = Qt::UserRole + 1;
constexpr uint kLogModeNormal = 2;
const char kEndOfTest[] = QT_TRANSLATE_NOOP("QRegressionDiag", "End of test");

const char* const kHeaders[QRegressionDiag::COLUMNS] = {
    QT_TRANSLATE_NOOP("QRegressionDiag", "Port Name"),    QT_TRANSLATE_NOOP("QRegressionDiag", "Reset"),
    QT_TRANSLATE_NOOP("QRegressionDiag", "Freset"),       QT_TRANSLATE_NOOP("QRegressionDiag", "Reacq"),
    QT_TRANSLATE_NOOP("QRegressionDiag", "SerialUpdate"), QT_TRANSLATE_NOOP("QRegressionDiag", "Command"),
    QT_TRANSLATE_NOOP("QRegressionDiag", "Hz"),           QT_TRANSLATE_NOOP("QRegressionDiag", "Base"),
    QT_TRANSLATE_NOOP("QRegressionDiag", "BoardID"),      QT_TRANSLATE_NOOP("QRegressionDiag", "Version"),
    QT_TRANSLATE_NOOP("QRegressionDiag", "RelayPort"),    QT_TRANSLATE_NOOP("QRegressionDiag", "Address"),
    QT_TRANSLATE_NOOP("QRegressionDiag", "Aisle")};

bool IsWhole(const QString& sText, int nMin)
{
    bool bOk = false;
    const int n = sText.trimmed().toInt(&bOk, 10);
    return bOk && n >= nMin;
}
} // namespace

QRegressionDiag::QRegressionDiag(QWidget* pParent)
    : QDialog(pParent), m_pConfig(new QRegressionConfig(this)), m_pRelayCoils(std::make_shared<QRelayCoils>())
{
    setObjectName(QStringLiteral("QRegressionDiag"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    resize(1100, 560);
    m_pBoardTable = new QTableWidget(this);
    m_pBoardTable->setObjectName(QStringLiteral("m_pBoardTable"));
    m_pBoardTable->setColumnCount(COLUMNS);
    m_pBoardTable->horizontalHeader()->setSectionsClickable(false);
    m_pBoardTable->setWordWrap(false);
    m_pSelectAllCheckBox = new QCheckBox(this);
    m_pSelectAllCheckBox->setObjectName(QStringLiteral("m_pSelectAllCheckBox"));
    m_pConfigBtn = new QPushButton(this);
    m_pConfigBtn->setObjectName(QStringLiteral("m_pConfigBtn"));
    m_pOkBtn = new QPushButton(this);
    m_pOkBtn->setObjectName(QStringLiteral("m_pOkBtn"));
    m_pCancelBtn = new QPushButton(this);
    m_pCancelBtn->setObjectName(QStringLiteral("m_pCancelBtn"));
    m_pLogPathBtn = new QPushButton(this);
    m_pLogPathBtn->setObjectName(QStringLiteral("m_pLogPathBtn"));
    m_pLogPathLabel = new QLabel(this);
    m_pLogPathLabel->setObjectName(QStringLiteral("m_pLogPathLabel"));
    m_pLogPathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pSummaryLabel = new QLabel(this);
    m_pSummaryText = new QPlainTextEdit(this);
    m_pSummaryText->setObjectName(QStringLiteral("m_pSummaryText"));
    m_pSummaryText->setReadOnly(true);
    // Room for two boards' summaries; the table takes the rest.
    m_pSummaryText->setMaximumHeight(m_pSummaryText->fontMetrics().lineSpacing() * 6 + 12);
    for (QPushButton* p : {m_pConfigBtn, m_pOkBtn, m_pCancelBtn, m_pLogPathBtn})
        p->setAutoDefault(false);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pBoardTable, 3);
    auto* pPath = new QHBoxLayout;
    pPath->addWidget(m_pLogPathBtn);
    pPath->addWidget(m_pLogPathLabel, 1);
    pLayout->addLayout(pPath);
    pLayout->addWidget(m_pSummaryLabel);
    pLayout->addWidget(m_pSummaryText);
    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(m_pSelectAllCheckBox);
    pButtons->addStretch();
    pButtons->addWidget(m_pConfigBtn);
    pButtons->addWidget(m_pOkBtn);
    pButtons->addWidget(m_pCancelBtn);
    pLayout->addLayout(pButtons);
    OnLanguageUpdate();

    connect(m_pSelectAllCheckBox, &QCheckBox::clicked, this, &QRegressionDiag::OnSelectAllBtnClicked);
    connect(m_pConfigBtn, &QPushButton::clicked, this, &QRegressionDiag::OnConfigBtnClicked);
    connect(m_pOkBtn, &QPushButton::clicked, this, &QRegressionDiag::OnOKBtnClicked);
    connect(m_pCancelBtn, &QPushButton::clicked, this, &QRegressionDiag::OnStopTimer);
    connect(m_pLogPathBtn, &QPushButton::clicked, this, &QRegressionDiag::AskLogPath);
    connect(m_pConfig, &QRegressionConfig::SignalRegressionConfig, this, &QRegressionDiag::OnSignalRegressionConfig);
    connect(&m_StatusTimer, &QTimer::timeout, this, &QRegressionDiag::OnTimerout);
    connect(&m_PollTimer, &QTimer::timeout, this, &QRegressionDiag::OnPollBoards);
    // A cell the user edits holds a value again, not a worker's progress.
    connect(m_pBoardTable, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* pItem)
            {
                if (m_bFilling || !pItem->data(kStatusRole).isValid())
                    return;
                m_bFilling = true;
                pItem->setData(kStatusRole, QVariant());
                m_bFilling = false;
            });
}

QRegressionDiag::~QRegressionDiag()
{
    StopAllBoards();
    m_PollTimer.stop();
    for (QRegressionMethod* p : m_Workers)
    {
        if (p->isFinished())
            delete p;
        else
            qCWarning(lcWindows, "A regression worker of port %u has not ended; it is left running",
                      p->GetUniquePortID());
    }
}

void QRegressionDiag::StopAllBoards()
{
    m_StatusTimer.stop();
    for (QRegressionMethod* p : m_Workers)
        p->SetRunning(false);
    const QDeadlineTimer deadline(kJoinWaitMs);
    for (QRegressionMethod* p : m_Workers)
        p->wait(deadline);
    // What the workers sent before they ended is still queued for the bench;
    // among it the frame that gives a restarting board its power back. It is
    // passed on now, while the ports are open.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    // A worker that has not ended may still hold its board's coil: every coil
    // still set is cleared.
    m_pRelayCoils->ClearAll(
        [this](const QString& sPort, uint8_t Address)
        {
            if (const uint nPort = RelayPortID(sPort))
                emit SignalRegressionSendCmd(nPort, RelayFrame(Address, 0));
        });
}

void QRegressionDiag::OnLanguageUpdate()
{
    setWindowTitle(tr("Dialog"));
    m_pSelectAllCheckBox->setText(tr("SelectAll"));
    m_pConfigBtn->setText(tr("Config"));
    m_pOkBtn->setText(tr("OK"));
    m_pCancelBtn->setText(tr("Cancel"));
    m_pLogPathBtn->setText(tr("LogPath"));
    m_pSummaryLabel->setText(tr("Summary"));
    m_pBoardTable->setHorizontalHeaderLabels(HeaderLabels());
    FitTableColumns(m_pBoardTable);
    m_pConfig->OnLanguageUpdate();
    ShowSummaries();
}

QStringList QRegressionDiag::HeaderLabels() const
{
    QStringList labels;
    for (const char* p : kHeaders)
        labels << tr(p);
    return labels;
}

QCheckBox* QRegressionDiag::RowCheckBox(int nRow) const
{
    return qobject_cast<QCheckBox*>(m_pBoardTable->cellWidget(nRow, COL_PORT_NAME));
}

QStringList QRegressionDiag::BoardRow(const QString& sBoardID) const { return m_Rows.value(sBoardID); }

void QRegressionDiag::ConnectTabs()
{
    if (m_bTabsConnected || m_pPortTab == nullptr || m_pPortTab->GetPortManager() == nullptr)
        return;
    m_bTabsConnected = true;
    QZvPortManager* pManager = m_pPortTab->GetPortManager();
    connect(pManager, &QZvPortManager::SignalUpgradeFWComplete, this, &QRegressionDiag::OnUpgradeFWComplete);
    connect(pManager, &QZvPortManager::SignalUpdateFail, this, &QRegressionDiag::OnUpgradeFWFail);
}

// ---- The log root ----

QString QRegressionDiag::LogRootFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Configure/Config/RegressionLogPath.ini"));
}

void QRegressionDiag::SetLogRoot(const QString& sRoot)
{
    m_sLogRoot = sRoot;
    m_pLogPathLabel->setText(sRoot);
    m_pLogPathLabel->setToolTip(sRoot);
}

bool QRegressionDiag::ReadLogRoot()
{
    const QString sRoot = ReadPathFile(LogRootFile()).trimmed();
    if (sRoot.isEmpty() || !QFileInfo(sRoot).isDir())
        return false;
    SetLogRoot(sRoot);
    return true;
}

bool QRegressionDiag::AskLogPath()
{
    bool bOk = false;
    const QString sRoot =
        MonitorPrompt()->Text(this, tr("Path Input"), tr("Please input Log Path"), QString(), &bOk).trimmed();
    if (!bOk)
        return false;
    if (sRoot.isEmpty() || !QFileInfo(sRoot).isDir())
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Error"), tr("The input is not the path!"));
        return false;
    }
    SetLogRoot(sRoot);
    const QString sFile = LogRootFile();
    if (!WritePathFile(sFile, sRoot))
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Error"),
                                 tr("The log path cannot be kept in %1: it will be asked for again.").arg(sFile));
    }
    return true;
}

// ---- Opening and the table ----

void QRegressionDiag::OnShowDialog()
{
    ConnectTabs();
    if (!ReadLogRoot() && !AskLogPath())
        return;
    RefreshBoardTable();
    show();
    raise();
    activateWindow();
}

void QRegressionDiag::SaveTableCells()
{
    for (int i = 0; i < m_pBoardTable->rowCount() && i < m_BoardIDs.size(); ++i)
    {
        QStringList& row = m_Rows[m_BoardIDs.at(i)];
        for (int c = COL_RESET; c < COLUMNS && c < row.size(); ++c)
        {
            const QTableWidgetItem* pItem = m_pBoardTable->item(i, c);
            // A cell that shows a worker's progress keeps the row's value.
            if (pItem != nullptr && !pItem->data(kStatusRole).toBool())
                row[c] = pItem->text().trimmed();
        }
    }
}

void QRegressionDiag::RefreshBoardTable()
{
    if (m_pPortTab == nullptr)
        return;
    // Edits not saved yet and the rows checked survive the refill.
    SaveTableCells();
    QSet<QString> checked;
    for (int i = 0; i < m_pBoardTable->rowCount() && i < m_BoardIDs.size(); ++i)
        if (QCheckBox* pBox = RowCheckBox(i); pBox != nullptr && pBox->isChecked())
            checked.insert(m_BoardIDs.at(i));

    for (int i = 0; i < m_pPortTab->count(); ++i)
    {
        const PORT_INFO_T info = m_pPortTab->GetPortInfo(m_pPortTab->GetPortUniqueID(i));
        // Only receivers on serial ports that told their board ID are boards
        // (a relay module never answers the property query).
        if (info.UniquePortID == 0 || info.PortType != QZvPortCtrlBase::PORT_TYPE_UART || !info.bPropertyValid ||
            info.Property.ID.isEmpty())
            continue;
        const int n = m_BoardIDs.indexOf(info.Property.ID);
        if (n < 0)
        {
            m_BoardIDs.append(info.Property.ID);
            m_BoardPortIDs.append(info.UniquePortID);
            m_BoardVersions.append(info.Property.FirmwareVersion);
        }
        else if (m_pPortTab->GetTabIndexByPortID(m_BoardPortIDs.at(n)) < 0)
            m_BoardPortIDs[n] = info.UniquePortID; // a board connected again has a new port
    }
    if (m_BoardIDs.isEmpty())
        return;
    m_pOkBtn->setFocus();
    m_bFilling = true;
    m_pBoardTable->setRowCount(m_BoardIDs.size());
    for (int i = 0; i < m_BoardIDs.size(); ++i)
    {
        const int nTab = m_pPortTab->GetTabIndexByPortID(m_BoardPortIDs.at(i));
        const QString sTabText = nTab >= 0 ? m_pPortTab->tabText(nTab) : QString();
        const QString& sID = m_BoardIDs.at(i);
        if (!m_Rows.contains(sID))
        {
            QStringList row;
            row << sTabText;
            for (int c = COL_RESET; c < COL_BOARD_ID; ++c)
                row << QString();
            row << sID << m_BoardVersions.at(i) << QString() << QString() << QString();
            m_Rows.insert(sID, row);
        }
        else
            m_Rows[sID][COL_PORT_NAME] = sTabText;
        const QStringList& row = m_Rows[sID];
        auto* pBox = new QCheckBox(sTabText);
        pBox->setChecked(checked.contains(sID));
        m_pBoardTable->setCellWidget(i, COL_PORT_NAME, pBox);
        for (int c = COL_RESET; c < COLUMNS; ++c)
            m_pBoardTable->setItem(i, c, new QTableWidgetItem(row.value(c)));
    }
    m_bFilling = false;
    FitTableColumns(m_pBoardTable);
    m_pBoardTable->resizeRowsToContents();
}

void QRegressionDiag::OnSelectAllBtnClicked()
{
    for (int i = 0; i < m_pBoardTable->rowCount(); ++i)
        if (QCheckBox* pBox = RowCheckBox(i))
            pBox->setChecked(m_pSelectAllCheckBox->isChecked());
}

void QRegressionDiag::OnConfigBtnClicked()
{
    SaveTableCells();
    m_pConfig->OnShowDiag(m_BoardIDs.isEmpty() ? QStringList() : m_Rows.value(m_BoardIDs.first()));
}

void QRegressionDiag::OnSignalRegressionConfig(QList<bool> bTestItemList, QList<QString> MessageList)
{
    m_bFilling = true;
    for (int i = 0; i < m_pBoardTable->rowCount() && i < m_BoardIDs.size(); ++i)
    {
        QCheckBox* pBox = RowCheckBox(i);
        if (pBox == nullptr || !pBox->isChecked())
            continue;
        QStringList& row = m_Rows[m_BoardIDs.at(i)];
        for (int k = 0; k < bTestItemList.size() && k < MessageList.size() && COL_RESET + k <= COL_COMMAND; ++k)
        {
            const QString sValue = bTestItemList.at(k) ? MessageList.at(k) : QString();
            row[COL_RESET + k] = sValue;
            m_pBoardTable->setItem(i, COL_RESET + k, new QTableWidgetItem(sValue));
        }
    }
    m_bFilling = false;
    FitTableColumns(m_pBoardTable);
}

// ---- Starting and stopping ----

QStringList QRegressionDiag::RowProblems(const QStringList& Row) const
{
    const QString sBoard = Row.value(COL_PORT_NAME).isEmpty() ? Row.value(COL_BOARD_ID) : Row.value(COL_PORT_NAME);
    QStringList problems;
    const auto problem = [&](const QString& sText) { problems << sBoard + QStringLiteral(": ") + sText; };
    for (int c : {COL_RESET, COL_FRESET})
        if (!Row.value(c).isEmpty() && !IsWhole(Row.value(c), 1))
            problem(tr("%1 \"%2\" is not a whole number of cycles").arg(tr(kHeaders[c]), Row.value(c)));
    bool bOk = true;
    const double dHours = Row.value(COL_RECAQ).toDouble(&bOk);
    if (!Row.value(COL_RECAQ).isEmpty() && (!bOk || !std::isfinite(dHours) || dHours < 0))
        problem(tr("Reacq \"%1\" is not a number of hours").arg(Row.value(COL_RECAQ)));
    const QString sUpdate = Row.value(COL_SERIAL_UPDATE);
    if (!sUpdate.isEmpty())
    {
        const int nSplit = sUpdate.lastIndexOf(QLatin1Char(';'));
        const QStringList rates = sUpdate.mid(nSplit + 1).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        bool bRates = nSplit > 0 && !rates.isEmpty();
        for (const QString& s : rates)
            bRates = bRates && IsWhole(s, 1);
        if (!bRates)
            problem(tr("SerialUpdate \"%1\" is not an image list and baud rates").arg(sUpdate));
        else if (const int nStatus = CheckConfigFile(sUpdate.left(nSplit), REGRESSION_IMAGE_LIST_MAX_BYTES);
                 nStatus != CONFIG_FILE_OK)
            problem(tr("the image list %1 cannot be read: %2")
                        .arg(sUpdate.left(nSplit), ConfigFileReason(nStatus, REGRESSION_IMAGE_LIST_MAX_BYTES)));
    }
    const QString sCommand = Row.value(COL_COMMAND);
    if (const int nStatus = CheckConfigFile(sCommand, REGRESSION_COMMAND_FILE_MAX_BYTES);
        !sCommand.isEmpty() && nStatus != CONFIG_FILE_OK)
        problem(tr("the command file %1 cannot be read: %2")
                    .arg(sCommand, ConfigFileReason(nStatus, REGRESSION_COMMAND_FILE_MAX_BYTES)));
    if (!Row.value(COL_HZ).isEmpty() && !IsWhole(Row.value(COL_HZ), 0))
        problem(tr("Hz \"%1\" is not a whole number").arg(Row.value(COL_HZ)));
    const QString sRelay = Row.value(COL_RELAY_PORT);
    if (sRelay.isEmpty())
        return problems;
    uint8_t address = 0, bit = 0;
    switch (ReadRelaySettings(Row.value(COL_ADDRESS), Row.value(COL_AISLE), &address, &bit))
    {
    case RELAY_SETTING_BAD_ADDRESS:
        problem(tr("the relay address \"%1\" is not a whole number from %2 to %3")
                    .arg(Row.value(COL_ADDRESS))
                    .arg(RELAY_ADDRESS_MIN)
                    .arg(RELAY_ADDRESS_MAX));
        break;
    case RELAY_SETTING_BAD_CHANNEL:
        problem(tr("the relay channel \"%1\" is not a whole number from 1 to %2")
                    .arg(Row.value(COL_AISLE))
                    .arg(RELAY_CHANNELS));
        break;
    case RELAY_SETTING_OK:
        break;
    }
    if (RelayPortID(sRelay) == 0)
        problem(tr("the relay port %1 is not open").arg(sRelay));
    return problems;
}

void QRegressionDiag::OnOKBtnClicked()
{
    if (m_pPortTab == nullptr)
        return;
    ConnectTabs();
    SaveTableCells();
    m_StatusTimer.start(m_Timing.StatusCopyMs);
    if (m_Workers.isEmpty())
        m_RelayChannel = 0;
    QStringList problems;
    for (int i = 0; i < m_pBoardTable->rowCount() && i < m_BoardIDs.size(); ++i)
    {
        QCheckBox* pBox = RowCheckBox(i);
        // Every board without a worker starts, checked or not (a row without
        // tests finishes at once); never a second worker for a board.
        if (pBox == nullptr || WorkerOfPort(m_BoardPortIDs.at(i)) != nullptr)
            continue;
        const QStringList rowProblems = RowProblems(m_Rows.value(m_BoardIDs.at(i)));
        if (!rowProblems.isEmpty())
        {
            problems << rowProblems;
            continue;
        }
        StartWorker(i);
        pBox->setChecked(false);
    }
    if (!problems.isEmpty())
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"),
                                 tr("These boards were not started:") + QLatin1Char('\n') +
                                     problems.join(QLatin1Char('\n')));
}

void QRegressionDiag::StartWorker(int nRow)
{
    const uint nPortID = m_BoardPortIDs.at(nRow);
    const QString& sID = m_BoardIDs.at(nRow);
    auto* p = new QRegressionMethod;
    p->SetBoard(m_Rows.value(sID), nPortID, m_sLogRoot);
    p->SetTiming(m_Timing);
    p->SetRelayCoils(m_pRelayCoils);
    m_RunningMap.insert(nPortID, p);
    m_Workers.append(p);
    m_Links.insert(p, LINK_T());
    m_Summaries.remove(sID);
    ShowSummaries();
    const auto queued = Qt::QueuedConnection;
    connect(p, &QRegressionMethod::SignalRequestStatus, this, &QRegressionDiag::OnRequestStatus, queued);
    connect(p, &QRegressionMethod::SignalSetFileName, this, &QRegressionDiag::OnSetFileName, queued);
    connect(p, &QRegressionMethod::SignalSendSerialComMsg, this, &QRegressionDiag::OnSendCmd, queued);
    connect(p, &QRegressionMethod::SignalCloseFile, this, &QRegressionDiag::OnCloseFile, queued);
    connect(p, &QRegressionMethod::SignalSetBaudrateTab, this, &QRegressionDiag::OnChangeBuadRate, queued);
    connect(p, &QRegressionMethod::SignalFinished, this, &QRegressionDiag::OnFinished, queued);
    connect(p, &QRegressionMethod::SignalRegressUpgradeFWTab, this, &QRegressionDiag::OnUpgradeFWTab, queued);
    connect(p, &QRegressionMethod::SignalRegressTitalStatus, this, &QRegressionDiag::OnUpgradeFWTitalStatus, queued);
    connect(p, &QRegressionMethod::SignalRegressUPdate, this, &QRegressionDiag::OnRegressUPdate, queued);
    connect(p, &QRegressionMethod::SignalOpenRelayChannel, this, &QRegressionDiag::OnOpenRelayChannel, queued);
    connect(this, &QRegressionDiag::SignalOpenAllRelayChannel, p, &QRegressionMethod::OnOpenAllRelayChannel);
    connect(
        p, &QThread::finished, this, [this, p] { WorkerEnded(p); }, queued);
    if (m_pPortTab != nullptr)
        m_pPortTab->SetPortFixWatch(nPortID, true);
    PushState(p);
    p->SetRunning(true);
    p->start(QThread::InheritPriority);
    if (!m_PollTimer.isActive())
        m_PollTimer.start(m_Timing.StatePollMs);
}

void QRegressionDiag::OnStopTimer()
{
    for (int i = 0; i < m_pBoardTable->rowCount() && i < m_BoardIDs.size(); ++i)
    {
        QCheckBox* pBox = RowCheckBox(i);
        const uint nPortID = m_BoardPortIDs.at(i);
        if (pBox == nullptr || !pBox->isChecked() || !m_RunningMap.contains(nPortID))
            continue;
        if (m_pPortTab != nullptr)
            emit SignalRegressionCloseFile(m_pPortTab->GetTabIndexByPortID(nPortID));
        StopThread(nPortID);
    }
}

void QRegressionDiag::StopThread(uint UniquePortID)
{
    QRegressionMethod* p = m_RunningMap.take(UniquePortID);
    if (p != nullptr)
        p->SetRunning(false);
    RefreshBoardTable();
}

void QRegressionDiag::OnFinished(uint UniquePortID, QString RunResult)
{
    Q_UNUSED(RunResult)
    if (m_RunningMap.contains(UniquePortID))
        StopThread(UniquePortID);
}

void QRegressionDiag::WorkerEnded(QRegressionMethod* pWorker)
{
    if (!m_Workers.contains(pWorker))
        return;
    pWorker->wait();
    const uint nPortID = pWorker->GetUniquePortID();
    if (m_RunningMap.value(nPortID) == pWorker)
        m_RunningMap.remove(nPortID);
    // The last progress and the summary stay when the worker goes.
    const int nRow = m_BoardPortIDs.indexOf(nPortID);
    const QStringList texts = pWorker->GetStatusTexts();
    for (int k = 0; nRow >= 0 && k < texts.size(); ++k)
        if (!texts.at(k).isEmpty())
            SetStatusCell(nRow, COL_RESET + k, texts.at(k));
    const REGRESSION_SUMMARY_T summary = pWorker->GetSummary();
    const QString sID = nRow >= 0 ? m_BoardIDs.at(nRow) : QString::number(nPortID);
    m_Summaries.insert(sID, {m_Rows.value(sID), summary});
    m_Links.remove(pWorker);
    m_Workers.removeAll(pWorker);
    delete pWorker;
    if (m_pPortTab != nullptr && WorkerOfPort(nPortID) == nullptr)
        m_pPortTab->SetPortFixWatch(nPortID, false);
    UpdateQuietUpgrade();
    if (m_Workers.isEmpty())
        m_PollTimer.stop();
    ShowSummaries();
}

// ---- What the workers send ----

QRegressionMethod* QRegressionDiag::SendingWorker() const
{
    auto* p = qobject_cast<QRegressionMethod*>(sender());
    return p != nullptr && m_Links.contains(p) ? p : nullptr;
}

QRegressionMethod* QRegressionDiag::WorkerOfPort(uint UniquePortID) const
{
    for (QRegressionMethod* p : m_Workers)
        if (p->GetUniquePortID() == UniquePortID)
            return p;
    return nullptr;
}

int QRegressionDiag::TabOf(QRegressionMethod* pWorker, int Index) const
{
    // The worker's tab index may be stale by now: the port decides.
    if (pWorker == nullptr || m_pPortTab == nullptr)
        return Index;
    return m_pPortTab->GetTabIndexByPortID(pWorker->GetUniquePortID());
}

void QRegressionDiag::OnRequestStatus(int PortIndex, uint Mask)
{
    QRegressionMethod* p = SendingWorker();
    const int nTab = TabOf(p, PortIndex);
    if (nTab < 0)
        return;
    // The tab set clears the port's reset flags as it sends the request; the
    // counts tell the worker which banner answers which request.
    emit SignalRegressionRequestStatus(nTab, Mask);
    if (p == nullptr)
        return;
    LINK_T& link = m_Links[p];
    if (Mask & STATUS_MSG_RESET)
        ++link.ResetRequests;
    if (Mask & STATUS_MSG_FRESET)
        ++link.FresetRequests;
    PushState(p);
}

void QRegressionDiag::OnSetFileName(int m_PortIndex, QString LogFileName)
{
    const int nTab = TabOf(SendingWorker(), m_PortIndex);
    if (nTab < 0)
        return;
    emit signalRegressionLogConfig(nTab, kLogModeNormal, false, QDateTime::currentDateTime());
    emit SignalRegressionSetFileName(nTab, LogFileName);
}

void QRegressionDiag::OnSendCmd(uint UniquePortID, QByteArray SendData)
{
    emit SignalRegressionSendCmd(UniquePortID, SendData);
}

void QRegressionDiag::OnCloseFile(int PortIndex)
{
    const int nTab = TabOf(SendingWorker(), PortIndex);
    if (nTab >= 0)
        emit SignalRegressionCloseFile(nTab);
}

void QRegressionDiag::OnChangeBuadRate(uint Baudrate, int PortIndex)
{
    const int nTab = TabOf(SendingWorker(), PortIndex);
    if (nTab >= 0)
        emit SignalRegressionChangeBaudRate(Baudrate, nTab);
}

void QRegressionDiag::OnUpgradeFWTab(uint UniquePortID, QString Revisions)
{
    if (QRegressionMethod* p = SendingWorker())
    {
        ++m_Links[p].UpgradeRequests;
        PushState(p);
    }
    if (m_pPortTab != nullptr)
        emit m_pPortTab->SignalUpgradeFWTab(UniquePortID, Revisions);
}

void QRegressionDiag::OnUpgradeFWTitalStatus(uint UniquePortID, bool bRegressTitalStatus)
{
    if (m_pPortTab != nullptr)
        m_pPortTab->SetTabUpgradingMark(UniquePortID, bRegressTitalStatus);
}

void QRegressionDiag::OnRegressUPdate(bool m_RegressUpdateFw)
{
    if (QRegressionMethod* p = SendingWorker())
        m_Links[p].bQuietUpgrade = m_RegressUpdateFw;
    UpdateQuietUpgrade();
}

void QRegressionDiag::UpdateQuietUpgrade()
{
    // Quiet while any board of the bench upgrades.
    bool bQuiet = false;
    for (const LINK_T& link : m_Links)
        bQuiet = bQuiet || link.bQuietUpgrade;
    if (m_pPortTab != nullptr)
        m_pPortTab->SetRegressQuietUpgrade(bQuiet);
}

void QRegressionDiag::OnUpgradeFWComplete(uint UniquePortID)
{
    QRegressionMethod* p = WorkerOfPort(UniquePortID);
    if (p == nullptr || !m_Links.contains(p))
        return;
    LINK_T& link = m_Links[p];
    link.UpgradesEnded = link.UpgradeRequests;
    link.bLastUpgradeFailed = false;
    PushState(p);
}

void QRegressionDiag::OnUpgradeFWFail(uint UniquePortID)
{
    QRegressionMethod* p = WorkerOfPort(UniquePortID);
    if (p == nullptr || !m_Links.contains(p))
        return;
    LINK_T& link = m_Links[p];
    link.UpgradesEnded = link.UpgradeRequests;
    link.bLastUpgradeFailed = true;
    PushState(p);
}

void QRegressionDiag::OnOpenRelayChannel(uchar Aisle)
{
    m_RelayChannel |= Aisle;
    emit SignalOpenAllRelayChannel(m_RelayChannel);
    ShowSummaries();
}

void QRegressionDiag::OnRegressionLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime)
{
    emit signalRegressionLogConfig(Index, Mode, bLoop, DateTime);
}

// ---- The boards' ports, read for the workers ----

void QRegressionDiag::PushState(QRegressionMethod* pWorker)
{
    REGRESSION_BOARD_STATE_T s;
    const uint nPortID = pWorker->GetUniquePortID();
    const LINK_T link = m_Links.value(pWorker);
    s.ResetRequests = link.ResetRequests;
    s.FresetRequests = link.FresetRequests;
    s.UpgradeRequests = link.UpgradeRequests;
    s.UpgradesEnded = link.UpgradesEnded;
    s.bLastUpgradeFailed = link.bLastUpgradeFailed;
    if (m_pPortTab != nullptr)
    {
        s.TabIndex = m_pPortTab->GetTabIndexByPortID(nPortID);
        if (const QStatusMsgParser* pReplies = m_pPortTab->GetStatusReplies(nPortID))
        {
            s.bResetDone = pReplies->m_bResetSeen.load();
            s.bFresetDone = pReplies->m_bFresetSeen.load();
        }
        // The board's own fix, from its own port, whatever log tells it.
        PORT_FIX_T fix;
        if (m_pPortTab->GetPortFix(nPortID, &fix) && fix.Positions != 0)
        {
            s.PosCount = fix.Positions;
            s.FixQuality = fix.FixQuality;
        }
        s.RelayPortID = RelayPortID(pWorker->RelayPortName());
    }
    pWorker->SetBoardState(s);
}

uint QRegressionDiag::RelayPortID(const QString& sPortName) const
{
    if (m_pPortTab == nullptr || sPortName.isEmpty())
        return 0;
    const int nPortID = m_pPortTab->GetPortIDByName(sPortName);
    if (nPortID <= 0)
        return 0;
    // A port whose device failed to open or was lost takes no bytes.
    const PORT_INFO_T info = m_pPortTab->GetPortInfo(static_cast<uint>(nPortID));
    return info.bRunning && !info.bDisconnected ? info.UniquePortID : 0;
}

void QRegressionDiag::OnPollBoards()
{
    for (QRegressionMethod* p : m_Workers)
        PushState(p);
}

// ---- Progress and summaries ----

void QRegressionDiag::SetStatusCell(int nRow, int nColumn, const QString& sText)
{
    m_bFilling = true;
    // The workers' progress is "done//total" or the end of a test, shown in the language in use.
    auto* pItem = new QTableWidgetItem(sText == QLatin1String(kEndOfTest) ? tr(kEndOfTest) : sText);
    pItem->setData(kStatusRole, true);
    m_pBoardTable->setItem(nRow, nColumn, pItem);
    m_bFilling = false;
}

void QRegressionDiag::OnTimerout()
{
    for (int i = 0; i < m_BoardPortIDs.size() && i < m_pBoardTable->rowCount(); ++i)
    {
        const QRegressionMethod* p = m_RunningMap.value(m_BoardPortIDs.at(i));
        if (p == nullptr)
            continue;
        const QStringList texts = p->GetStatusTexts();
        for (int k = 0; k < texts.size(); ++k)
            if (!texts.at(k).isEmpty())
                SetStatusCell(i, COL_RESET + k, texts.at(k));
    }
}

QString QRegressionDiag::FormatSummary(const QStringList& Row, const REGRESSION_SUMMARY_T& Summary) const
{
    QString sEnd;
    switch (Summary.End)
    {
    case REGRESSION_END_FINISHED:
        sEnd = tr("finished");
        break;
    case REGRESSION_END_STOPPED:
        sEnd = tr("stopped");
        break;
    case REGRESSION_END_NO_PORT_TAB:
        sEnd = tr("not started: its port has no tab");
        break;
    case REGRESSION_END_PORT_CLOSED:
        sEnd = tr("ended: its port was closed");
        break;
    case REGRESSION_END_RUNNING:
        sEnd = tr("running");
        break;
    }
    QStringList lines;
    lines << QStringLiteral("%1 (%2): %3").arg(Row.value(COL_PORT_NAME), Row.value(COL_BOARD_ID), sEnd);
    const char* const counts[REGRESSION_TESTS] = {
        QT_TR_NOOP("%1 of %2 cycles passed"), QT_TR_NOOP("%1 of %2 cycles passed"),
        QT_TR_NOOP("%1 of %2 cycles reacquired"), QT_TR_NOOP("%1 of %2 upgrades completed"),
        QT_TR_NOOP("%1 of %2 commands sent")};
    for (int k = 0; k < REGRESSION_TESTS; ++k)
    {
        const REGRESSION_RESULT_T& r = Summary.Tests[k];
        if (!r.bRun)
            continue;
        QString sLine =
            QStringLiteral("  %1: ").arg(tr(kHeaders[COL_RESET + k])) + tr(counts[k]).arg(r.Passed).arg(r.Cycles);
        QStringList faults;
        for (int f = 0; f < r.Faults.size() && f < kFaultsListed; ++f)
        {
            const REGRESSION_FAULT_T& fault = r.Faults.at(f);
            QString sFault;
            switch (fault.Kind)
            {
            case REGRESSION_FAULT_BAD_VALUE:
                sFault = tr("its value cannot be used");
                break;
            case REGRESSION_FAULT_NO_LOG_FILE:
                sFault = tr("no log file can be made under %1").arg(m_sLogRoot);
                break;
            case REGRESSION_FAULT_FILE_UNREADABLE:
                sFault = tr("its file cannot be read");
                break;
            case REGRESSION_FAULT_NO_RESET_REPLY:
                sFault = tr("no start-up banner after the reset");
                break;
            case REGRESSION_FAULT_NO_FIX:
                sFault = tr("no RTK fixed position after the reset");
                break;
            case REGRESSION_FAULT_NO_FRESET_REPLY:
                sFault = tr("no start-up banner after the factory reset");
                break;
            case REGRESSION_FAULT_NOT_REACQUIRED:
                sFault = tr("no RTK fixed position after the RF came back");
                break;
            case REGRESSION_FAULT_UPGRADE_FAILED:
                sFault = tr("the upgrade failed");
                break;
            case REGRESSION_FAULT_UPGRADE_STUCK:
                sFault = tr("the upgrade did not end in time");
                break;
            case REGRESSION_FAULT_NO_RELAY:
                sFault = tr("no relay channel to power-cycle the board");
                break;
            case REGRESSION_FAULT_RELAY_NOT_OPEN:
                sFault =
                    tr("the relay port %1 is not open: the board was not power-cycled").arg(Row.value(COL_RELAY_PORT));
                break;
            }
            faults << (fault.Cycle > 0 ? tr("cycle %1: %2").arg(fault.Cycle).arg(sFault) : sFault);
        }
        if (r.Faults.size() > kFaultsListed)
            faults << tr("%1 more").arg(r.Faults.size() - kFaultsListed);
        if (!faults.isEmpty())
            sLine += QStringLiteral("; ") + faults.join(QStringLiteral("; "));
        lines << sLine;
    }
    if (Summary.RelayRestarts > 0)
        lines << QStringLiteral("  ") + tr("power-cycled through relay port %1 %2 times")
                                            .arg(Row.value(COL_RELAY_PORT))
                                            .arg(Summary.RelayRestarts);
    return lines.join(QLatin1Char('\n'));
}

void QRegressionDiag::ShowSummaries()
{
    QStringList blocks;
    for (const QString& sID : m_BoardIDs)
    {
        const auto it = m_Summaries.constFind(sID);
        if (it != m_Summaries.constEnd())
            blocks << FormatSummary(it->first, it->second);
    }
    QStringList channels;
    for (int k = 0; k < RELAY_CHANNELS; ++k)
        if (m_RelayChannel & RelayChannelBit(k + 1))
            channels << QString::number(k + 1);
    if (!channels.isEmpty())
        blocks << tr("Relay channels power-cycled: %1").arg(channels.join(QStringLiteral(", ")));
    m_pSummaryText->setPlainText(blocks.join(QLatin1Char('\n')));
}

QString QRegressionDiag::SummaryText() const { return m_pSummaryText->toPlainText(); }
