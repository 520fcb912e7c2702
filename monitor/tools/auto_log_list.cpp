#include "monitor/tools/auto_log_list.h"
#include "monitor/shell/fit_texts.h"
#include "monitor/shell/shell_log.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "monitor/ports/config_file.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/port_tab.h"
#include "monitor/tools/auto_log_config.h"

namespace
{
const char* const kColumnLabels[QAutoLogList::COL_COUNT] = {
    QT_TRANSLATE_NOOP("QAutoLogList", "Computer"),
    QT_TRANSLATE_NOOP("QAutoLogList", "Board"),
    QT_TRANSLATE_NOOP("QAutoLogList", "EVK"),
    QT_TRANSLATE_NOOP("QAutoLogList", "Antenna"),
    QT_TRANSLATE_NOOP("QAutoLogList", "Base"),
    QT_TRANSLATE_NOOP("QAutoLogList", "version"),
    QT_TRANSLATE_NOOP("QAutoLogList", "M-Ant Link Chain"),
    QT_TRANSLATE_NOOP("QAutoLogList", "S-Ant Link Chain"),
    QT_TRANSLATE_NOOP("QAutoLogList", "ProductID"),
    QT_TRANSLATE_NOOP("QAutoLogList", "SN"),
    QT_TRANSLATE_NOOP("QAutoLogList", "Log Status"),
    QT_TRANSLATE_NOOP("QAutoLogList", "Time"),
};
// The marks the tab set adds to a tab's text while a port is paused, upgraded
// or locked: a marked tab is still its board's entry.
const char* const kTabMarks[] = {"-Pause", "-Upgrading", "-[Lock]"};
// Watch ticks a started port may take to open its file before it counts as not started.
constexpr int kStartTicks = 3;

QStringList DefaultLabels()
{
    QStringList labels;
    for (const char* p : kColumnLabels)
        labels << QString::fromLatin1(p);
    return labels;
}

// The fields of columns 2 to 9, in column order.
QString* EntryField(AUTO_LOG_ENTRY_T& e, int iColumn)
{
    switch (iColumn)
    {
    case 0:
        return &e.Computer;
    case 2:
        return &e.EVK;
    case 3:
        return &e.Antenna;
    case 4:
        return &e.Base;
    case 5:
        return &e.Version;
    case 6:
        return &e.MAntLinkChain;
    case 7:
        return &e.SAntLinkChain;
    case 8:
        return &e.ProductID;
    case 9:
        return &e.SN;
    default:
        return nullptr;
    }
}
} // namespace

QAutoLogList::QAutoLogList(QWidget* pParent)
    : QDialog(pParent), m_fnNow([] { return QDateTime::currentDateTime(); }), m_pTable(new QTableWidget(this)),
      m_pSelectAll(new QCheckBox(this)), m_pPathButton(new QPushButton(this)), m_pPathLabel(new QLabel(this)),
      m_pSaveButton(new QPushButton(this)), m_pLogButton(new QPushButton(this)), m_pUnlogButton(new QPushButton(this)),
      m_pWatchTimer(new QTimer(this)), m_pConfig(new QAutoLogConfig(this))
{
    setObjectName(QStringLiteral("QAutoLogList"));
    m_pTable->setObjectName(QStringLiteral("AutoLogTable"));
    m_pSelectAll->setObjectName(QStringLiteral("SelectAllCheckBox"));
    m_pPathButton->setObjectName(QStringLiteral("PathButton"));
    m_pPathLabel->setObjectName(QStringLiteral("PathLabel"));
    m_pSaveButton->setObjectName(QStringLiteral("SaveItemInfoButton"));
    m_pLogButton->setObjectName(QStringLiteral("LogButton"));
    m_pUnlogButton->setObjectName(QStringLiteral("UnlogButton"));
    m_pSelectAll->setChecked(true);
    // Never shown: the start writes each port's auto-reconnect flag from it.
    m_pAutoReconnect = new QCheckBox(this);
    m_pAutoReconnect->setObjectName(QStringLiteral("AutoReconnectCheckBox"));
    m_pAutoReconnect->hide();
    m_pTable->setColumnCount(COL_COUNT);
    m_pTable->horizontalHeader()->setSectionsClickable(false);
    m_pTable->verticalHeader()->setVisible(false);
    m_pPathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* pTop = new QHBoxLayout;
    pTop->addWidget(m_pSelectAll);
    pTop->addWidget(m_pPathButton);
    pTop->addWidget(m_pPathLabel, 1);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(m_pSaveButton);
    pButtons->addWidget(m_pLogButton);
    pButtons->addWidget(m_pUnlogButton);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop);
    pLayout->addWidget(m_pTable, 1);
    pLayout->addLayout(pButtons);
    resize(1320, 420);

    connect(m_pSelectAll, &QCheckBox::clicked, this, &QAutoLogList::OnSlectAllItem);
    connect(m_pPathButton, &QPushButton::clicked, this, &QAutoLogList::OnLogPathButtonClicked);
    connect(m_pSaveButton, &QPushButton::clicked, this, &QAutoLogList::SaveConfigToFile);
    connect(m_pLogButton, &QPushButton::clicked, this, &QAutoLogList::OnLogBtnClicked);
    connect(m_pUnlogButton, &QPushButton::clicked, this, &QAutoLogList::OnUnlogBtnClicked);
    connect(m_pConfig, &QAutoLogConfig::SignalLogConfig, this, &QAutoLogList::OnSignalLogConfig);
    connect(m_pWatchTimer, &QTimer::timeout, this, &QAutoLogList::OnTimeout);
    m_pWatchTimer->start(WATCH_INTERVAL_MS);
    OnLanguageUpdate();
}

QAutoLogList::~QAutoLogList() = default;

QString QAutoLogList::ConfigCsvPath() { return ToolConfigFile(QStringLiteral("Configure/Config/AutoLogConfig.csv")); }

QString QAutoLogList::LogPathFile() { return ToolConfigFile(QStringLiteral("Configure/Config/DefaultLogPath.ini")); }

void QAutoLogList::SetClock(TOOL_CLOCK_T fnNow)
{
    m_fnNow = fnNow;
    m_pConfig->SetClock(std::move(fnNow));
}

void QAutoLogList::SetWatchInterval(int nMs) { m_pWatchTimer->start(nMs); }

QStringList QAutoLogList::HeaderLabels() const
{
    if (m_Header.size() == COL_COUNT)
        return m_Header;
    QStringList labels;
    for (const char* p : kColumnLabels)
        labels << tr(p);
    return labels;
}

void QAutoLogList::OnLanguageUpdate()
{
    setWindowTitle(tr("Auto Log"));
    m_pSelectAll->setText(tr("Select All"));
    m_pAutoReconnect->setText(tr("Auto Reconnect"));
    m_pPathButton->setText(tr("Path"));
    m_pSaveButton->setText(tr("Save Item Info"));
    m_pLogButton->setText(tr("Log"));
    m_pUnlogButton->setText(tr("Unlog"));
    m_pTable->setHorizontalHeaderLabels(HeaderLabels());
    ShowLogRoot();
    m_pConfig->OnLanguageUpdate();
}

void QAutoLogList::ShowLogRoot()
{
    m_pPathLabel->setText(m_sLogRoot);
    m_pPathLabel->setToolTip(m_sLogRoot);
}

void QAutoLogList::Warn(const QString& sTitle, const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, sTitle, sText);
}

int QAutoLogList::EntryIndex(const QString& sPortName) const { return m_EntryIndex.value(sPortName, -1); }

int QAutoLogList::AddEntry(const AUTO_LOG_ENTRY_T& Entry)
{
    m_Entries.append(Entry);
    m_EntryIndex.insert(Entry.PortName, m_Entries.size() - 1);
    return m_Entries.size() - 1;
}

void QAutoLogList::ClearEntries()
{
    m_Entries.clear();
    m_EntryIndex.clear();
}

QCheckBox* QAutoLogList::RowBox(int iRow) const
{
    return qobject_cast<QCheckBox*>(m_pTable->cellWidget(iRow, COL_BOARD));
}

int QAutoLogList::RowEntry(int iRow) const
{
    const QCheckBox* pBox = RowBox(iRow);
    return pBox != nullptr ? EntryIndex(pBox->text()) : -1;
}

QString QAutoLogList::CellText(int iRow, int iColumn) const
{
    const QTableWidgetItem* pItem = m_pTable->item(iRow, iColumn);
    return pItem != nullptr ? pItem->text() : QString();
}

void QAutoLogList::SetCell(int iRow, int iColumn, const QString& sText, bool bEditable)
{
    QTableWidgetItem* pItem = m_pTable->item(iRow, iColumn);
    if (pItem == nullptr)
    {
        pItem = new QTableWidgetItem;
        m_pTable->setItem(iRow, iColumn, pItem);
    }
    pItem->setFlags(bEditable ? pItem->flags() | Qt::ItemIsEditable : pItem->flags() & ~Qt::ItemIsEditable);
    if (pItem->text() != sText)
        pItem->setText(sText);
}

int QAutoLogList::TabOf(const AUTO_LOG_ENTRY_T& Entry) const
{
    return m_pPortTab != nullptr && Entry.UniquePortID != 0 ? m_pPortTab->GetTabIndexByPortID(Entry.UniquePortID) : -1;
}

bool QAutoLogList::OnSetDefaultLogFolder(QString FloderPath)
{
    if (!FloderPath.contains(QLatin1String("LogPath")))
        return false;
    bool bOk = false;
    const QString sText = MonitorPrompt()->Text(this, tr("Path Input"), tr("Please input Log Path"), QString(), &bOk);
    if (!bOk)
        return false;
    const QFileInfo dir(sText.trimmed());
    if (sText.trimmed().isEmpty() || !dir.isDir())
    {
        MonitorPrompt()->Message(this, QMessageBox::Critical, tr("Error"), tr("The input is not the path!"));
        return false;
    }
    m_sLogRoot = dir.absoluteFilePath();
    ShowLogRoot();
    if (!WritePathFile(LogPathFile(), m_sLogRoot))
        Warn(tr("Error"), tr("The log path cannot be saved in %1").arg(LogPathFile()));
    return true;
}

void QAutoLogList::OnLogPathButtonClicked() { OnSetDefaultLogFolder(QStringLiteral("LogPath")); }

bool QAutoLogList::LoadPathFromIni(const QString& IniPath)
{
    const QString sPath = ReadPathFile(ToolConfigFile(QStringLiteral("Configure/Config/") + IniPath));
    if (!sPath.isEmpty() && QFileInfo(sPath).isDir())
    {
        m_sLogRoot = sPath;
        ShowLogRoot();
        return true;
    }
    return OnSetDefaultLogFolder(IniPath);
}

void QAutoLogList::LoadConfigFromFile()
{
    QByteArray text;
    const int nStatus = ReadConfigFile(ConfigCsvPath(), CSV_FILE_MAX_BYTES, &text);
    if (nStatus == CONFIG_FILE_MISSING)
    {
        m_bLoaded = true;
        return;
    }
    // A file that exists but cannot be read is never written over; it is
    // reported once, and the window goes on with the ports' own rows.
    if (nStatus != CONFIG_FILE_OK)
    {
        if (!m_bCsvFaultTold)
            Warn(tr("Error"), tr("The board list %1 is not used: %2.")
                                  .arg(ConfigCsvPath(), ConfigFileReason(nStatus, CSV_FILE_MAX_BYTES)));
        m_bCsvFaultTold = true;
        return;
    }
    QStringList header;
    QList<AUTO_LOG_ENTRY_T> read;
    ReadAutoLogCsv(DecodeToolText(text), &header, &read);
    for (const AUTO_LOG_ENTRY_T& e : read)
        if (EntryIndex(e.PortName) < 0)
            AddEntry(e);
    // The default labels follow the language; labels of the user's own stay.
    if (header.size() == COL_COUNT && header != DefaultLabels())
        m_Header = header;
    m_bLoaded = true;
}

void QAutoLogList::BuildTable()
{
    const int nTabs = m_pPortTab != nullptr ? m_pPortTab->GetTabCount() : 0;
    m_pTable->setRowCount(nTabs);
    m_pTable->setColumnCount(COL_COUNT);
    m_pTable->setHorizontalHeaderLabels(HeaderLabels());
    for (AUTO_LOG_ENTRY_T& e : m_Entries)
        e.UniquePortID = 0;
    for (int i = 0; i < nTabs; ++i)
    {
        const uint uid = m_pPortTab->GetPortUniqueID(i);
        const PORT_INFO_T info = m_pPortTab->GetPortInfo(uid);
        QString sName = m_pPortTab->GetTabText(i);
        for (const char* pMark : kTabMarks)
            sName.remove(QLatin1String(pMark));
        int k = EntryIndex(sName);
        if (k < 0)
        {
            AUTO_LOG_ENTRY_T e;
            e.PortName = sName;
            e.DisplayName = info.Property.FirmwareLabel;
            e.PortTag = info.Property.PortShort;
            e.ProductID = info.Property.ID;
            e.SN = info.Property.SN;
            k = AddEntry(e);
        }
        AUTO_LOG_ENTRY_T& e = m_Entries[k];
        if (uid != 0)
            e.Version = info.Property.FirmwareVersion;
        // A board that describes itself is named as it does, whether its
        // entry is new or came from the file (which keeps no label).
        if (info.bPropertyValid)
        {
            e.DisplayName = info.Property.FirmwareLabel;
            e.PortTag = info.Property.PortShort;
            // A board first listed before it described itself gets its IDs
            // now; IDs the user typed stay.
            if (e.ProductID.isEmpty())
                e.ProductID = info.Property.ID;
            if (e.SN.isEmpty())
                e.SN = info.Property.SN;
        }
        e.UniquePortID = uid;
        e.PropertiesValid = info.bPropertyValid;

        for (int c = 0; c < COL_COUNT; ++c)
        {
            if (c == COL_BOARD)
                continue;
            const QString* pField = EntryField(e, c);
            SetCell(i, c, pField != nullptr ? *pField : QString(), pField != nullptr);
        }
        auto* pBox = new QCheckBox(sName);
        pBox->setChecked(m_pSelectAll->isChecked());
        m_pTable->setCellWidget(i, COL_BOARD, pBox);
    }
    FitTableColumns(m_pTable);
}

void QAutoLogList::OnUpdateList()
{
    for (int iRow = 0; iRow < m_pTable->rowCount(); ++iRow)
    {
        const QCheckBox* pBox = RowBox(iRow);
        if (pBox == nullptr)
            continue;
        int k = EntryIndex(pBox->text());
        if (k < 0)
        {
            k = AddEntry(AutoLogEntryFromName(pBox->text()));
        }
        for (int c = 0; c < COL_STATUS; ++c)
            if (QString* pField = EntryField(m_Entries[k], c))
                *pField = CellText(iRow, c);
    }
}

void QAutoLogList::SaveConfigToFile()
{
    // Entries that never held the file's would write its boards away.
    if (!m_bLoaded)
        return;
    OnUpdateList();
    const QByteArray text = AutoLogCsvText(m_Header.size() == COL_COUNT ? m_Header : DefaultLabels(), m_Entries);
    QByteArray current;
    const int nStatus = ReadConfigFile(ConfigCsvPath(), CSV_FILE_MAX_BYTES, &current);
    // Whatever took the file's place since it was read is left as it is,
    // and a list grown beyond what is read back is not written.
    if (text.size() > CSV_FILE_MAX_BYTES)
        Warn(tr("Error"), tr("The board list cannot be saved in %1: it would be larger than %2 KB")
                              .arg(ConfigCsvPath())
                              .arg(CSV_FILE_MAX_BYTES / 1024));
    else if (nStatus != CONFIG_FILE_OK && nStatus != CONFIG_FILE_MISSING)
        Warn(tr("Error"), tr("The board list cannot be saved in %1").arg(ConfigCsvPath()));
    else if (nStatus != CONFIG_FILE_OK || current != text)
    {
        QDir().mkpath(QFileInfo(ConfigCsvPath()).absolutePath());
        QSaveFile file(ConfigCsvPath());
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
            Warn(tr("Error"), tr("The board list cannot be saved in %1").arg(ConfigCsvPath()));
    }
    FitTableColumns(m_pTable);
}

void QAutoLogList::OnShowDiag()
{
    // Without a log root the window stays as it was: its rows go on being watched.
    if (!LoadPathFromIni(QStringLiteral("DefaultLogPath.ini")))
        return;
    SaveConfigToFile();
    ClearEntries();
    m_bLoaded = false;
    LoadConfigFromFile();
    BuildTable();
    show();
    raise();
    activateWindow();
}

void QAutoLogList::OnSlectAllItem()
{
    for (int iRow = 0; iRow < m_pTable->rowCount(); ++iRow)
        if (QCheckBox* pBox = RowBox(iRow))
            pBox->setChecked(m_pSelectAll->isChecked());
}

void QAutoLogList::OnLogBtnClicked()
{
    if (LoadPathFromIni(QStringLiteral("DefaultLogPath.ini")))
        m_pConfig->OnShowDiag();
}

QString QAutoLogList::MakeLogDir()
{
    const QString sDir = MakeDatedLogDir(m_sLogRoot, m_fnNow().date());
    if (sDir.isEmpty())
        Warn(tr("Error"), tr("The log folder cannot be made under %1").arg(m_sLogRoot));
    return sDir;
}

QString QAutoLogList::MakeLogFileName(const QString& PortName) { return LogFileName(PortName, true); }

QString QAutoLogList::LogFileName(const QString& PortName, bool bWarn)
{
    OnUpdateList();
    const int k = EntryIndex(PortName);
    QString sBase = PortName;
    if (k >= 0 && m_Entries.at(k).PropertiesValid)
    {
        const AUTO_LOG_ENTRY_T& e = m_Entries.at(k);
        sBase = QStringLiteral("%1_%2_Ant(%3)_Ver(%4)_Base(%5)_%6")
                    .arg(e.DisplayName, e.EVK, e.Antenna, e.Version, e.Base, e.PortTag);
    }
    sBase = LogBaseName(sBase);
    const QString sDir = MakeDatedLogDir(m_sLogRoot, m_fnNow().date());
    if (sDir.isEmpty())
    {
        if (bWarn)
            Warn(tr("Error"), tr("The log folder cannot be made under %1").arg(m_sLogRoot));
        return QString();
    }
    // Files the ports write now, and names handed out whose files are not
    // made yet, are taken even before they exist on the disk.
    QSet<QString> taken = m_Handed;
    if (m_pPortTab != nullptr)
        for (const uint uid : m_pPortTab->GetPortIDs())
            taken.insert(m_pPortTab->GetPortInfo(uid).LogFileName);
    const QString sName = NumberedLogName(sDir, sBase, taken);
    if (sName.isEmpty() && bWarn)
    {
        Warn(tr("Error"), tr("%1: all %2 log file names of %3 are used in %4; the port keeps its current file.")
                              .arg(PortName)
                              .arg(LOG_NAME_COUNT_MAX)
                              .arg(sBase, sDir));
        return QString();
    }
    if (!sName.isEmpty())
        m_Handed.insert(sName);
    return sName;
}

void QAutoLogList::OnSignalLogConfig(uint Mode, bool bLoop, QDateTime DateTime)
{
    for (int iRow = 0; iRow < m_pTable->rowCount(); ++iRow)
    {
        QCheckBox* pBox = RowBox(iRow);
        const int k = RowEntry(iRow);
        if (pBox == nullptr || !pBox->isChecked() || k < 0)
            continue;
        const AUTO_LOG_ENTRY_T e = m_Entries.at(k);
        if (TabOf(e) < 0 || m_pPortTab->GetPortInfo(e.UniquePortID).bLogging)
            continue;
        const QString sName = MakeLogFileName(e.PortName);
        const int index = TabOf(e);
        if (sName.isEmpty() || index < 0)
            continue;
        emit SignalLogConfig(index, Mode, bLoop, DateTime);
        emit SignalSetFileName(index, sName);
        pBox->setChecked(false);
        ROW_STATE_T& state = m_State[e.UniquePortID];
        state = ROW_STATE_T();
        state.nStartTicks = 0;
    }
    if (m_pSelectAll->isChecked())
        m_pSelectAll->setChecked(false);
    // A port logging without end gets the box's state as its auto-reconnect
    // flag; every other port gets false.
    if (m_pPortTab == nullptr)
        return;
    for (const uint uid : m_pPortTab->GetPortIDs())
    {
        const PORT_INFO_T info = m_pPortTab->GetPortInfo(uid);
        m_pPortTab->SetPortAutoReconnect(uid, m_pAutoReconnect->isChecked() && info.bLogging && info.AutoLogMode == 2);
    }
}

void QAutoLogList::OnUnlogBtnClicked()
{
    SaveConfigToFile();
    for (int iRow = 0; iRow < m_pTable->rowCount(); ++iRow)
    {
        QCheckBox* pBox = RowBox(iRow);
        const int k = RowEntry(iRow);
        if (pBox == nullptr || !pBox->isChecked() || k < 0)
            continue;
        const AUTO_LOG_ENTRY_T& e = m_Entries.at(k);
        const int index = TabOf(e);
        const PORT_INFO_T info = m_pPortTab != nullptr ? m_pPortTab->GetPortInfo(e.UniquePortID) : PORT_INFO_T();
        if (index < 0 || !info.bLogging)
            continue;
        ROW_STATE_T& state = m_State[e.UniquePortID];
        state = ROW_STATE_T();
        state.bStopSent = true;
        emit SignalCloseFile(index);
        emit SignalUnlogFile(info.LogFileName, k);
        emit SignalStoplogFile(index);
        pBox->setChecked(false);
    }
}

void QAutoLogList::OnTimeout()
{
    if (m_pPortTab == nullptr)
        return;
    const QDateTime now = m_fnNow();
    for (auto it = m_Handed.begin(); it != m_Handed.end();)
    {
        if (QFileInfo::exists(*it))
            it = m_Handed.erase(it);
        else
            ++it;
    }
    for (int iRow = 0; iRow < m_pTable->rowCount(); ++iRow)
    {
        const int k = RowEntry(iRow);
        if (k < 0)
            continue;
        const AUTO_LOG_ENTRY_T e = m_Entries.at(k);
        const int index = TabOf(e);
        if (index < 0)
            continue;
        const PORT_INFO_T info = m_pPortTab->GetPortInfo(e.UniquePortID);
        ROW_STATE_T& state = m_State[e.UniquePortID];
        if (info.bLogging)
        {
            SetCell(iRow, COL_STATUS, tr("Logging"), false);
            state.nStartTicks = -1;
            // A port still logging after its stop was sent has not taken the
            // stop yet, or was logged since by other means: it is left alone.
            if (!state.bStopSent)
                state.bSeenLogging = true;
            if (info.AutoLogMode == 2)
            {
                SetCell(iRow, COL_TIME, tr("Normal Log Mode"), false);
                continue;
            }
            qCDebug(lcWindows, "iItem %d ,Time %s", iRow,
                    qPrintable(info.NextSwitchTime.toString(QStringLiteral("hh:mm:ss"))));
            SetCell(iRow, COL_TIME, info.NextSwitchTime.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")), false);
            if (state.bStopSent || !info.NextSwitchTime.isValid() || info.NextSwitchTime >= now ||
                state.Handled == info.NextSwitchTime)
                continue;
            if (info.bAutoLogLoop)
            {
                // The port closes its file and opens the next in one step of its
                // own thread, so that no byte falls between the two files.
                // Without a free name the port keeps its file; the user is told once.
                const QString sName = LogFileName(e.PortName, !state.bNameWarned);
                if (sName.isEmpty())
                {
                    state.bNameWarned = true;
                    continue;
                }
                state.Handled = info.NextSwitchTime;
                emit SignalUnlogFile(info.LogFileName, k);
                emit SignalLogNewFile(index, sName);
            }
            else
            {
                // The schedule ends here; the port is stopped this once.
                state = ROW_STATE_T();
                state.bStopSent = true;
                emit SignalCloseFile(index);
                emit SignalUnlogFile(info.LogFileName, k);
                emit SignalStoplogFile(index);
            }
            continue;
        }
        SetCell(iRow, COL_STATUS, tr("UnLog"), false);
        SetCell(iRow, COL_TIME, QString(), false);
        // A port this window started that does not log (its file could not
        // be opened, or it was stopped elsewhere) leaves its schedule once.
        const bool bStartLost = state.nStartTicks >= 0 && ++state.nStartTicks > kStartTicks;
        if (bStartLost || state.bSeenLogging)
        {
            emit SignalStoplogFile(index);
            state = ROW_STATE_T();
        }
    }
    FitTableColumns(m_pTable);
}

void QAutoLogList::OnRefreshAutoLogList()
{
    SaveConfigToFile();
    ClearEntries();
    m_bLoaded = false;
    LoadConfigFromFile();
    BuildTable();
    OnUpdateList();
}

void QAutoLogList::OnPortCloseEvent(int Index)
{
    if (Index < 0 || Index >= m_pTable->rowCount())
    {
        qCDebug(lcWindows, "OnPortCloseEvent Index out of range %d\n", Index);
        return;
    }
    const int k = RowEntry(Index);
    if (k >= 0)
        m_Entries[k].UniquePortID = 0;
}

void QAutoLogList::closeEvent(QCloseEvent* pEvent)
{
    SaveConfigToFile();
    QDialog::closeEvent(pEvent);
}
