#include "monitor/config/msg_config.h"
#include "monitor/parsing/number_text.h"
#include "monitor/shell/shell_log.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <cmath>

#include "codec/catalogue.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/view_payload.h"

namespace
{
// The tabs: their names (also the stems of their controls' object names),
// the codec's message group they offer and the messages per row.
struct TAB_ROW_T
{
    const char* pName;
    OUTPUT_GROUP_E eGroup;
    int nColumns;
};
const TAB_ROW_T kTabRows[] = {
    {"NMEA", OUTPUT_GROUP_NMEA, 3},  {"RTCM", OUTPUT_GROUP_RTCM, 5},       {"PosMsg", OUTPUT_GROUP_POSITION, 3},
    {"INS", OUTPUT_GROUP_INS, 3},    {"OBS", OUTPUT_GROUP_OBSERVATION, 3},
};
enum : int
{
    TAB_NMEA = 0,
    TAB_RTCM = 1,
    TAB_POSMSG = 2,
    TAB_INS = 3,
    TAB_OBS = 4,
};

// The rate box: what it shows and what the command takes; the same table
// maps a log list entry back to a box index.
struct RATE_T
{
    const char* pLabel;
    const char* pPeriod;
};
const RATE_T kRates[] = {
    {"Off", "0"},       {"20Hz", "0.05"},   {"10Hz", "0.1"},    {"5Hz", "0.2"},      {"1Hz", "1"},
    {"2Sec", "2"},      {"5Sec", "5"},      {"10Sec", "10"},    {"15Sec", "15"},     {"30Sec", "30"},
    {"1Min", "60"},     {"3Min", "180"},    {"5Min", "300"},    {"10Min", "600"},    {"ONCHANGED", "ONCHANGED"},
    {"ONMARK", "ONMARK"},
};
constexpr int kRateCount = static_cast<int>(sizeof kRates / sizeof kRates[0]);
constexpr int kRateOnChanged = 14;
constexpr int kRateOnMark = 15;

// RTCM messages that stand in two version rows and so are never unlogged:
// unticking one row's copy must not stop what the other row sends.
bool IsSharedRtcm(const QString& sName)
{
    return sName.contains(QLatin1String("RTCM1006")) || sName.contains(QLatin1String("RTCM1033"));
}

QFont ControlFont() { return QFont(QStringLiteral("Arial"), 11); }

// The rate box's choice as the rate table names it, whatever language it shows.
QString RateLabel(const QComboBox* pBox)
{
    const QString sLabel = pBox->currentData().toString();
    return sLabel.isEmpty() ? pBox->currentText() : sLabel;
}

// A rate label in the user's language: "Off" and the units of time are
// translated; Hz and the trigger keywords (ONCHANGED, ONMARK) stay.
QString ShownRate(const QString& sLabel)
{
    if (sLabel == QLatin1String("Off"))
        return QFMsgConfig::tr("Off");
    if (sLabel.endsWith(QLatin1String("Sec")))
        return QFMsgConfig::tr("%1Sec").arg(sLabel.chopped(3));
    if (sLabel.endsWith(QLatin1String("Min")))
        return QFMsgConfig::tr("%1Min").arg(sLabel.chopped(3));
    return sLabel;
}

// Tab names and message contents in the user's language; receiver words stay.
const char* const kShownWords[] = {QT_TRANSLATE_NOOP("QFMsgConfig", "PosMsg"), QT_TRANSLATE_NOOP("QFMsgConfig", "OBS"),
                                   QT_TRANSLATE_NOOP("QFMsgConfig", "pos"), QT_TRANSLATE_NOOP("QFMsgConfig", "type")};
QString ShownWord(const QString& sWord)
{
    for (const char* p : kShownWords)
        if (sWord == QLatin1String(p))
            return QFMsgConfig::tr(p);
    return sWord;
}

// The label of an NMEA sentence: its name without the GPS talker.
QString ShownName(OUTPUT_GROUP_E eGroup, const QString& sCommand)
{
    if (eGroup == OUTPUT_GROUP_NMEA && sCommand.startsWith(QLatin1String("GP")))
        return sCommand.mid(2);
    return sCommand;
}
} // namespace

QFMsgConfig::QFMsgConfig(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("QFMsgConfig"));
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Messages.png")));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    auto* pLayout = new QGridLayout(this);
    pLayout->setObjectName(QStringLiteral("gridLayout"));
    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QStringLiteral("MsgConfigNameTab"));
    pLayout->addWidget(m_pTabs, 0, 0);
    for (int i = 0; i < static_cast<int>(sizeof kTabRows / sizeof kTabRows[0]); ++i)
        BuildTab(i);
    ResetChoices();
    OnLanguageUpdate();
}

QFMsgConfig::~QFMsgConfig() = default;

QComboBox* QFMsgConfig::NewRateBox(QWidget* pPage, const QString& sName)
{
    auto* pBox = new QComboBox(pPage);
    pBox->setObjectName(sName + QStringLiteral("Freq"));
    pBox->setMinimumWidth(80);
    // The item keeps the rate's own label; its text is the user's language.
    for (const RATE_T& rate : kRates)
        pBox->addItem(QLatin1String(rate.pLabel), QLatin1String(rate.pLabel));
    return pBox;
}

QComboBox* QFMsgConfig::NewTypeBox(QWidget* pPage, const QString& sName)
{
    auto* pBox = new QComboBox(pPage);
    pBox->setObjectName(sName + QStringLiteral("Type"));
    pBox->setMinimumWidth(30);
    pBox->addItems({QStringLiteral("A"), QStringLiteral("B")});
    return pBox;
}

void QFMsgConfig::BuildTab(int iTab)
{
    const TAB_ROW_T& row = kTabRows[iTab];
    const OUTPUT_GROUP_T group = GetOutputGroup(row.eGroup);
    TAB_T tab;
    tab.sName = QLatin1String(row.pName);
    tab.bFormChoice = group.bFormChoice;
    auto* pPage = new QWidget;
    pPage->setObjectName(tab.sName + QStringLiteral("Tab"));
    m_pTabs->addTab(pPage, tab.sName);
    auto* pPageLayout = new QGridLayout(pPage);
    auto* pGrid = new QGridLayout;
    pGrid->setObjectName(QStringLiteral("Msg") + tab.sName + QStringLiteral("GridLay"));
    pGrid->setSpacing(10);
    pPageLayout->addLayout(pGrid, 0, 0);

    auto* pSaveconfig = new QCheckBox(pPage);
    pSaveconfig->setObjectName(tab.sName + QStringLiteral("Saveconfig"));
    pSaveconfig->setMinimumWidth(90);
    tab.pSaveconfig = pSaveconfig;
    tab.pSelectAll = new QCheckBox(pPage);
    tab.pSelectAll->setObjectName(tab.sName + QStringLiteral("SelectAllCheck"));
    tab.pOK = new QPushButton(pPage);
    tab.pOK->setObjectName(tab.sName + QStringLiteral("OKButton"));
    tab.pCancel = new QPushButton(pPage);
    tab.pCancel->setObjectName(tab.sName + QStringLiteral("CancelButton"));
    for (QWidget* p : std::initializer_list<QWidget*>{pSaveconfig, tab.pSelectAll, tab.pOK, tab.pCancel})
        p->setFont(ControlFont());
    tab.pOK->setMinimumWidth(70);
    tab.pCancel->setMinimumWidth(70);

    if (row.eGroup == OUTPUT_GROUP_RTCM)
    {
        m_Tabs.append(tab);
        TAB_T& rtcm = m_Tabs.last();
        BuildRtcmTab(rtcm, pPage, pGrid);
        rtcm.pSelectAll->setMinimumWidth(90);
        const int nRows = static_cast<int>(group.SetCount);
        // The select-all and save boxes stand under the version buttons and the first messages.
        pGrid->addWidget(rtcm.pSelectAll, nRows, 0);
        pGrid->addWidget(rtcm.pSaveconfig, nRows, 1);
        pGrid->addWidget(rtcm.pOK, nRows + 1, 0, Qt::AlignLeft);
        pGrid->addWidget(rtcm.pCancel, nRows + 1, 1, Qt::AlignLeft);
        pGrid->setColumnStretch(1 + row.nColumns, 1);
        pGrid->setRowStretch(nRows + 2, 1);
        connect(rtcm.pSelectAll, &QCheckBox::clicked, this, &QFMsgConfig::OnSelectRtcmAll);
        connect(rtcm.pOK, &QPushButton::clicked, this, &QFMsgConfig::OnRtcmOk);
        connect(rtcm.pCancel, &QPushButton::clicked, this, &QFMsgConfig::OnCancel);
        return;
    }

    // Grid columns per message: its label, its type box, its rate box.
    const int nCellColumns = tab.bFormChoice ? 3 : 2;
    const OUTPUT_MESSAGE_SET_T& set = group.Sets[0];
    for (uint32_t i = 0; i < set.Count; ++i)
    {
        MESSAGE_T message;
        message.sCommand = QLatin1String(set.Messages[i].Name);
        message.sShown = ShownName(row.eGroup, message.sCommand);
        auto* pLabel = new QLabel(message.sShown, pPage);
        pLabel->setObjectName(message.sShown + QStringLiteral("Label"));
        pLabel->setTextFormat(Qt::RichText);
        pLabel->setMinimumWidth(140);
        pLabel->setFont(ControlFont());
        const int r = static_cast<int>(i) / row.nColumns;
        const int c = static_cast<int>(i) % row.nColumns * nCellColumns;
        pGrid->addWidget(pLabel, r, c);
        if (tab.bFormChoice)
        {
            message.pType = NewTypeBox(pPage, message.sShown);
            pGrid->addWidget(message.pType, r, c + 1);
        }
        message.pRate = NewRateBox(pPage, message.sShown);
        pGrid->addWidget(message.pRate, r, c + nCellColumns - 1);
        tab.Messages.append(message);
    }
    const int nRows = (static_cast<int>(set.Count) + row.nColumns - 1) / row.nColumns;
    tab.pSelectAll->setMinimumWidth(140);
    pGrid->addWidget(tab.pSelectAll, nRows, 0);
    if (tab.bFormChoice)
    {
        tab.pSelectAllType = NewTypeBox(pPage, tab.sName + QStringLiteral("SelectAll"));
        pGrid->addWidget(tab.pSelectAllType, nRows, 1);
    }
    tab.pSelectAllRate = NewRateBox(pPage, tab.sName + QStringLiteral("SelectAll"));
    pGrid->addWidget(tab.pSelectAllRate, nRows, nCellColumns - 1);
    pGrid->addWidget(tab.pSaveconfig, nRows, nCellColumns);
    pGrid->addWidget(tab.pOK, nRows + 1, 0, Qt::AlignLeft);
    pGrid->addWidget(tab.pCancel, nRows + 1, nCellColumns, Qt::AlignLeft);
    pGrid->setColumnStretch(row.nColumns * nCellColumns, 1);
    pGrid->setRowStretch(nRows + 2, 1);

    m_Tabs.append(tab);
    const TAB_T& built = m_Tabs.last();
    void (QFMsgConfig::*pSelect)() = iTab == TAB_NMEA     ? &QFMsgConfig::OnSelectNmeaAll
                                     : iTab == TAB_POSMSG ? &QFMsgConfig::OnSelectPosMsgAll
                                     : iTab == TAB_INS    ? &QFMsgConfig::OnSelectINSAll
                                                          : &QFMsgConfig::OnSelectOBSAll;
    QString (QFMsgConfig::*pOK)() = iTab == TAB_NMEA     ? &QFMsgConfig::OnNmeaOK
                                    : iTab == TAB_POSMSG ? &QFMsgConfig::OnPosMsgOK
                                    : iTab == TAB_INS    ? &QFMsgConfig::OnINSOK
                                                         : &QFMsgConfig::OnOBSOK;
    connect(built.pSelectAll, &QCheckBox::clicked, this, pSelect);
    connect(built.pSelectAllRate, QOverload<int>::of(&QComboBox::currentIndexChanged), this, pSelect);
    if (built.pSelectAllType != nullptr)
        connect(built.pSelectAllType, QOverload<int>::of(&QComboBox::currentIndexChanged), this, pSelect);
    connect(built.pOK, &QPushButton::clicked, this, pOK);
    connect(built.pCancel, &QPushButton::clicked, this, &QFMsgConfig::OnCancel);
}

void QFMsgConfig::BuildRtcmTab(TAB_T& Tab, QWidget* pPage, QGridLayout* pGrid)
{
    const OUTPUT_GROUP_T group = GetOutputGroup(OUTPUT_GROUP_RTCM);
    pGrid->setContentsMargins(10, 10, 10, 10);
    m_pRtcmGroup = new QButtonGroup(this);
    m_pRtcmGroup->setExclusive(true);
    for (uint32_t s = 0; s < group.SetCount; ++s)
    {
        const OUTPUT_MESSAGE_SET_T& set = group.Sets[s];
        auto* pVersion = new QRadioButton(QLatin1String(set.Title), pPage);
        pVersion->setObjectName(QLatin1String(set.Title) + QStringLiteral("Check"));
        pVersion->setMinimumWidth(80);
        pVersion->setFont(ControlFont());
        m_pRtcmGroup->addButton(pVersion, static_cast<int>(s));
        m_RtcmVersions.append(pVersion);
        pGrid->addWidget(pVersion, static_cast<int>(s), 0);
        connect(pVersion, &QRadioButton::clicked, this, &QFMsgConfig::OnSelectRtcmAll);
        for (uint32_t m = 0; m < set.Count; ++m)
        {
            MESSAGE_T message;
            message.sCommand = message.sShown = QLatin1String(set.Messages[m].Name);
            message.iSet = static_cast<int>(s);
            const QString sContent = QLatin1String(set.Messages[m].Content);
            message.pCheck = new QCheckBox(message.sShown + QLatin1Char('(') + sContent + QLatin1Char(')'), pPage);
            message.pCheck->setObjectName(message.sShown + QStringLiteral("Check"));
            message.pCheck->setProperty("zvContent", sContent);
            message.pCheck->setMinimumWidth(sContent.contains(QLatin1Char('+')) ? 180 : 140);
            message.pCheck->setFont(ControlFont());
            pGrid->addWidget(message.pCheck, static_cast<int>(s), 1 + static_cast<int>(m));
            Tab.Messages.append(message);
        }
    }
}

void QFMsgConfig::ResetRateBox(QComboBox* pBox)
{
    while (pBox->count() > kRateCount)
        pBox->removeItem(kRateCount);
    pBox->setCurrentIndex(0);
}

void QFMsgConfig::ResetChoices()
{
    m_bLogListRead = false;
    for (TAB_T& tab : m_Tabs)
    {
        for (MESSAGE_T& message : tab.Messages)
        {
            if (message.pRate != nullptr)
                ResetRateBox(message.pRate);
            if (message.pType != nullptr)
                message.pType->setCurrentIndex(0);
            if (message.pCheck != nullptr)
            {
                message.pCheck->setChecked(message.iSet == 0);
                message.pCheck->setEnabled(message.iSet == 0);
            }
            message.sListedRate.clear();
        }
        for (QComboBox* pBox : {tab.pSelectAllRate, tab.pSelectAllType})
            if (pBox != nullptr)
            {
                const QSignalBlocker block(pBox);
                pBox->setCurrentIndex(0);
            }
        tab.pSelectAll->setChecked(false);
        tab.pSaveconfig->setChecked(false);
    }
    if (!m_RtcmVersions.isEmpty())
        m_RtcmVersions.first()->setChecked(true);
}

void QFMsgConfig::FitSize() { resize(QSize(474, 296).expandedTo(sizeHint())); }

void QFMsgConfig::SetWindowTitleForPort()
{
    QString sTitle = tr("Msg Configure");
    const QString sTab = m_pPortTab && m_PortID != 0 ? m_pPortTab->GetPortInfo(m_PortID).TabText : QString();
    if (!sTab.isEmpty())
        sTitle += QStringLiteral(" - ") + sTab;
    setWindowTitle(sTitle);
}

void QFMsgConfig::OnLanguageUpdate()
{
    SetWindowTitleForPort();
    for (int iTab = 0; iTab < m_Tabs.size(); ++iTab)
    {
        TAB_T& tab = m_Tabs[iTab];
        tab.pOK->setText(tr("OK"));
        tab.pCancel->setText(tr("Cancel"));
        tab.pSelectAll->setText(tr("SelectAll"));
        tab.pSaveconfig->setText(tr("Saveconfig"));
        m_pTabs->setTabText(iTab, ShownWord(tab.sName));
        QList<QComboBox*> boxes{tab.pSelectAllRate};
        for (const MESSAGE_T& message : tab.Messages)
        {
            boxes << message.pRate;
            if (message.pCheck != nullptr)
            {
                const QString sText = message.pCheck->text();
                const int iOpen = sText.indexOf(QLatin1Char('('));
                const QString sContent = message.pCheck->property("zvContent").toString();
                if (iOpen > 0 && !sContent.isEmpty())
                    message.pCheck->setText(sText.left(iOpen + 1) + ShownWord(sContent) + QLatin1Char(')'));
            }
        }
        for (QComboBox* pBox : boxes)
            if (pBox != nullptr)
            {
                for (int i = 0; i < pBox->count() && i < kRateCount; ++i)
                    if (!pBox->itemData(i).toString().isEmpty())
                        pBox->setItemText(i, ShownRate(pBox->itemData(i).toString()));
                // The receiver's own period or trigger, after the table's items.
                if (pBox->count() > kRateCount)
                    pBox->setItemText(kRateCount, ListedRateLabel(pBox->itemData(kRateCount).toString()));
            }
    }
    FitSize();
}

void QFMsgConfig::OnShowDialog()
{
    const uint uPortID = m_pPortTab ? m_pPortTab->GetCurPortID() : 0;
    if (uPortID != m_PortID)
        ResetChoices();
    m_PortID = uPortID;
    SetWindowTitleForPort();
    show();
    raise();
    activateWindow();
}

void QFMsgConfig::OnCancel() { close(); }

// ---- Choosing ----

void QFMsgConfig::SelectAll(int iTab)
{
    TAB_T& tab = m_Tabs[iTab];
    if (!tab.pSelectAll->isChecked())
        return;
    for (MESSAGE_T& message : tab.Messages)
    {
        message.pRate->setCurrentIndex(tab.pSelectAllRate->currentIndex());
        if (message.pType != nullptr && tab.pSelectAllType != nullptr)
            message.pType->setCurrentIndex(tab.pSelectAllType->currentIndex());
    }
}

void QFMsgConfig::OnSelectNmeaAll() { SelectAll(TAB_NMEA); }
void QFMsgConfig::OnSelectPosMsgAll() { SelectAll(TAB_POSMSG); }
void QFMsgConfig::OnSelectINSAll() { SelectAll(TAB_INS); }
void QFMsgConfig::OnSelectOBSAll() { SelectAll(TAB_OBS); }

void QFMsgConfig::OnSelectRtcmAll()
{
    const int iRow = m_pRtcmGroup->checkedId();
    const bool bAll = m_Tabs[TAB_RTCM].pSelectAll->isChecked();
    for (MESSAGE_T& message : m_Tabs[TAB_RTCM].Messages)
    {
        const bool bRow = message.iSet == iRow;
        message.pCheck->setEnabled(bRow);
        message.pCheck->setChecked(bRow && bAll);
    }
}

// ---- Commands ----

QString QFMsgConfig::OnMsgFreq(QString MsgFreq)
{
    for (const RATE_T& rate : kRates)
        if (QLatin1String(rate.pLabel).contains(MsgFreq))
            return QLatin1String(rate.pPeriod);
    return QStringLiteral("NULL");
}

QString QFMsgConfig::OnMsgCommand(QString NMEAFreqCommand, QString Msg)
{
    if (NMEAFreqCommand == QLatin1String("0"))
        return QStringLiteral("unlog ") + Msg + QStringLiteral("\r\n");
    return QStringLiteral("log ") + Msg + QLatin1Char(' ') + NMEAFreqCommand + QStringLiteral("\r\n");
}

QString QFMsgConfig::OnMsgType(QString MsgType, QString MsgTypeCommand)
{
    QString sResult;
    if (MsgType.contains(QLatin1Char('A')))
        sResult = MsgTypeCommand + QLatin1Char('A');
    if (MsgType.contains(QLatin1Char('B')))
        sResult = MsgTypeCommand + QLatin1Char('B');
    return sResult;
}

QString QFMsgConfig::ChosenPeriod(const QComboBox* pBox)
{
    // The receiver's own item, after the table's, carries its period or
    // trigger; the table's items map by their labels, whatever the language.
    if (pBox->currentIndex() >= kRateCount)
        return pBox->currentData().toString();
    return OnMsgFreq(RateLabel(pBox));
}

QString QFMsgConfig::ListedRateLabel(const QString& sPeriod) const
{
    bool bNumber = false;
    sPeriod.toDouble(&bNumber);
    return bNumber ? tr("%1 s").arg(sPeriod) : sPeriod;
}

QString QFMsgConfig::TabCommand(int iTab)
{
    const TAB_T& tab = m_Tabs[iTab];
    QString sCommand;
    for (const MESSAGE_T& message : tab.Messages)
    {
        const QString sName =
            message.pType != nullptr ? OnMsgType(message.pType->currentText(), message.sCommand) : message.sCommand;
        sCommand += OnMsgCommand(ChosenPeriod(message.pRate), sName);
    }
    if (tab.pSaveconfig->isChecked())
        sCommand += QStringLiteral("saveconfig\r\n");
    return SendToReceiver(sCommand) ? sCommand : QString();
}

QString QFMsgConfig::OnNmeaOK() { return TabCommand(TAB_NMEA); }
QString QFMsgConfig::OnPosMsgOK() { return TabCommand(TAB_POSMSG); }
QString QFMsgConfig::OnINSOK() { return TabCommand(TAB_INS); }
QString QFMsgConfig::OnOBSOK() { return TabCommand(TAB_OBS); }

QString QFMsgConfig::OnRtcmOk()
{
    const TAB_T& tab = m_Tabs[TAB_RTCM];
    QString sUnlog, sLog;
    for (const MESSAGE_T& message : tab.Messages)
    {
        // A message the receiver outputs keeps its own trigger and period.
        if (message.pCheck->isChecked())
            sLog += QStringLiteral("log ") + message.sCommand + QLatin1Char(' ') +
                    (message.sListedRate.isEmpty() ? QStringLiteral("ontime 1") : message.sListedRate) +
                    QStringLiteral("\r\n");
        else if (!IsSharedRtcm(message.sCommand))
            sUnlog += QStringLiteral("unlog ") + message.sCommand + QStringLiteral("\r\n");
    }
    if (tab.pSaveconfig->isChecked())
        sLog += QStringLiteral("saveconfig\r\n");
    const QString sCommand = sUnlog + sLog;
    return SendToReceiver(sCommand) ? sCommand : QString();
}

bool QFMsgConfig::SendToReceiver(const QString& sCommand)
{
    if (m_PortID == 0 || m_pPortTab == nullptr || m_pPortTab->GetTabIndexByPortID(m_PortID) < 0)
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"),
                                 tr("The port of this receiver is not open: nothing was sent."));
        return false;
    }
    // Before the list is read every row shows "Off", which would stop what the receiver outputs.
    if (!m_bLogListRead)
    {
        MonitorPrompt()->Message(
            this, QMessageBox::Warning, tr("Warning"),
            tr("The receiver's list of logs has not been read yet: nothing was sent. Open the window again to ask "
               "the receiver for it."));
        return false;
    }
    emit SignalSendMsg(sCommand);
    emit SignalSendMsgToPort(m_PortID, sCommand.toUtf8());
    close();
    return true;
}

// ---- What the receiver outputs ----

void QFMsgConfig::OnUpdateDiag(void* pPortTab)
{
    qCDebug(lcWindows, "QFMsgConfig Update");
    const CPortTab* pTabs = PortTabPayload(pPortTab);
    // Only the log list of the window's own port sets its boxes.
    if (pTabs == nullptr || m_PortID == 0 || pTabs->GetStatusReplyPortID() != m_PortID)
        return;
    const QStatusMsgParser* pStore = pTabs->GetStatusReplies(m_PortID);
    if (pStore == nullptr)
        return;
    // A list that could not be read is no list: every row would read "Off".
    if (pStore->FailedMask() & STATUS_MSG_LOGLIST)
    {
        m_bLogListRead = false;
        return;
    }
    // The receiver lists the logs of all its ports; those of the port the
    // monitor talks through are this connection's: the port its prompt
    // names, or else the port the list itself came out of. With neither
    // nothing can be told apart, and showing every message off would make the
    // next OK stop them all.
    QString sPort = pTabs->GetPortInfo(m_PortID).Property.Port;
    if (sPort.isEmpty())
        sPort = pStore->m_sLogListPort;
    if (sPort.isEmpty())
    {
        qCDebug(lcWindows, "QFMsgConfig: the receiver's port is not known; the choices stay as they are");
        return;
    }
    QList<ENTRY_T> entries;
    for (int i = 0; i < pStore->m_LogNameList.size(); ++i)
    {
        if (pStore->m_LogPortList.value(i).trimmed() != sPort)
            continue;
        entries.append({pStore->m_LogNameList[i].trimmed(), pStore->m_LogTriggerList.value(i).trimmed(),
                        pStore->m_LogPeriodList.value(i)});
    }
    ShowEntries(entries);
    m_bLogListRead = true;
}

int QFMsgConfig::RtcmVersionRow(const QList<ENTRY_T>& Entries) const
{
    // The last version row with a message of its own that the receiver
    // outputs; the first row when none has one.
    const QList<MESSAGE_T>& messages = m_Tabs[TAB_RTCM].Messages;
    for (int iRow = m_RtcmVersions.size() - 1; iRow > 0; --iRow)
        for (const MESSAGE_T& message : messages)
        {
            if (message.iSet != iRow)
                continue;
            bool bShared = false;
            for (const MESSAGE_T& other : messages)
                bShared = bShared || (other.iSet != iRow && other.sCommand == message.sCommand);
            if (bShared)
                continue;
            for (const ENTRY_T& entry : Entries)
                if (entry.sName == message.sCommand)
                    return iRow;
        }
    return 0;
}

void QFMsgConfig::ShowEntries(const QList<ENTRY_T>& Entries)
{
    for (const char* pTab : {"INS", "PosMsg", "OBS", "RTCM", "NMEA"})
        if (auto* pOK = m_pTabs->findChild<QPushButton*>(QLatin1String(pTab) + QStringLiteral("OKButton")))
            pOK->setFocus();
    const int iRow = RtcmVersionRow(Entries);
    m_RtcmVersions[iRow]->setChecked(true);
    for (int iTab = 0; iTab < m_Tabs.size(); ++iTab)
        for (MESSAGE_T& message : m_Tabs[iTab].Messages)
        {
            if (message.pCheck != nullptr)
            {
                message.pCheck->setChecked(false);
                message.pCheck->setEnabled(message.iSet == iRow);
                message.sListedRate.clear();
                for (const ENTRY_T& entry : Entries)
                    if (message.iSet == iRow && entry.sName == message.sCommand)
                    {
                        message.pCheck->setChecked(true);
                        message.sListedRate = entry.sTrigger == QLatin1String("ONTIME")
                                                  ? QStringLiteral("ontime ") + PlainNumber(entry.dPeriod, 9)
                                                  : entry.sTrigger;
                    }
                continue;
            }
            ResetRateBox(message.pRate);
            if (message.pType != nullptr)
                message.pType->setCurrentIndex(0);
            for (const ENTRY_T& entry : Entries)
            {
                // A log is listed with its form letter, an NMEA sentence as LOG named it.
                char cForm = 0;
                if (entry.sName == message.sCommand)
                    cForm = 'A';
                else if (message.pType != nullptr && entry.sName.size() == message.sCommand.size() + 1 &&
                         entry.sName.startsWith(message.sCommand))
                {
                    const QChar c = entry.sName.back();
                    cForm = c == QLatin1Char('A') ? 'A' : c == QLatin1Char('B') ? 'B' : 0;
                }
                if (cForm != 0)
                    OnFreqShow(entry.sTrigger, entry.dPeriod, message.sShown, cForm);
            }
        }
}

void QFMsgConfig::OnFreqShow(QString MsgTrigger, double LogDuration, QString MsgName, char MsgType)
{
    int k = -1;
    if (MsgTrigger == QLatin1String("ONCHANGED"))
        k = kRateOnChanged;
    else if (MsgTrigger == QLatin1String("ONMARK"))
        k = kRateOnMark;
    else if (MsgTrigger == QLatin1String("ONTIME"))
        for (int i = 0; i < kRateCount && k < 0; ++i)
            if (std::fabs(QString::fromLatin1(kRates[i].pPeriod).toDouble() - LogDuration) < 1e-5)
                k = i;
    auto* pRate = m_pTabs->findChild<QComboBox*>(MsgName + QStringLiteral("Freq"));
    if (k < 0)
    {
        // The receiver's own period or trigger: shown and sent back as it is.
        const bool bTime = MsgTrigger == QLatin1String("ONTIME");
        if ((bTime && !(LogDuration > 0)) || MsgTrigger.isEmpty() || pRate == nullptr)
            return;
        const QString sPeriod = bTime ? PlainNumber(LogDuration, 9) : MsgTrigger;
        while (pRate->count() > kRateCount)
            pRate->removeItem(kRateCount);
        pRate->addItem(ListedRateLabel(sPeriod), sPeriod);
        k = kRateCount;
    }
    if (pRate != nullptr)
        pRate->setCurrentIndex(k);
    if (MsgType != 'A' && MsgType != 'B')
        return;
    if (auto* pType = m_pTabs->findChild<QComboBox*>(MsgName + QStringLiteral("Type")))
        pType->setCurrentIndex(MsgType == 'A' ? 0 : 1);
}
