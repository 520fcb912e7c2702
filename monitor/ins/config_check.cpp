#include "monitor/ins/config_check.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTextStream>
#include <QVBoxLayout>

#include "monitor/ins/diag_signals.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/config_file.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/port_tab.h"

namespace
{
constexpr int kCollectMs = 3500;
constexpr int kTqPeriodMs = 5000;
// Everything a check asks for: user configuration, version, log list,
// position rate, the UPnP flag and the check's own mark.
constexpr uint kCheckMask = STATUS_MSG_USERCONFIG | STATUS_MSG_VERSION | STATUS_MSG_LOGLIST | STATUS_MSG_POSFREQ |
                            STATUS_MSG_UPNP | STATUS_MSG_CONFIG_CHECK;

QString Red(const QString& sText)
{
    return QStringLiteral("<font style = 'font-size:14px; color:red;'>") + sText + QStringLiteral("</font>");
}

QString Number(double d) { return QString::number(d, 'g', 6); }

// The fix-quality text of a GGA quality; "no GGA" for a record that has none.
QString FixText(uint8_t nQuality)
{
    switch (nQuality)
    {
    case 0:
        return QConfigCheck::tr("Pos:invalid ");
    case 1:
        return QConfigCheck::tr("Pos:%1").arg(QStringLiteral("SOL_COMPUTED,SINGLE"));
    case 2:
        return QConfigCheck::tr("Pos:%1").arg(QStringLiteral("SOL_COMPUTED,PSR_DIFF"));
    case 4:
        return QStringLiteral("RTK: NARROW_INT");
    case 5:
        return QStringLiteral("RTK: NARROW_FLOAT");
    case 7:
        return QConfigCheck::tr("POS:Fixed Position");
    case FIX_QUALITY_UNKNOWN:
        return QConfigCheck::tr("The port has no output GNGGA\n");
    default:
        return QString();
    }
}

// A list of expected commands is a few hundred lines; a board record grows
// by a line per board.
constexpr qint64 kCmdFileMaxBytes = 1024 * 1024;
constexpr qint64 kBoardRecordMaxBytes = 64 * 1024 * 1024;

// The lines of a text file without their line ends; false when it cannot be
// read (or is no regular file, which is never waited on).
bool ReadLines(const QString& sPath, QStringList* pLines)
{
    QByteArray text;
    if (sPath.isEmpty() || ReadConfigFile(sPath, kCmdFileMaxBytes, &text) != CONFIG_FILE_OK)
        return false;
    QTextStream in(&text, QIODevice::ReadOnly);
    pLines->clear();
    while (!in.atEnd())
        pLines->append(in.readLine());
    return true;
}

// A text that names a file within its folder: no separator leaves the folder.
QString SafeFileName(QString sName)
{
    sName.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return sName == QLatin1String("..") || sName == QLatin1String(".") ? QStringLiteral("_") : sName;
}
} // namespace

QConfigCheck::QConfigCheck(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("QFConfigCheck"));
    resize(549, 309);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/ConfigCheck.png")));
    auto* pMain = new QVBoxLayout(this);
    m_pView = new QTextEdit(this);
    m_pView->setObjectName(QStringLiteral("ConfigCheckLable"));
    m_pView->setReadOnly(true);
    m_pView->setFocusPolicy(Qt::NoFocus);
    m_pView->setMinimumSize(549 - 30, 309 - 30 - 40);
    pMain->addWidget(m_pView);
    auto* pRow = new QHBoxLayout;
    m_pCheckAll = new QRadioButton(this);
    m_pCheckAll->setObjectName(QStringLiteral("CheckAllRadio"));
    m_pCheckAll->setChecked(true);
    m_pCheckOne = new QRadioButton(this);
    m_pCheckOne->setObjectName(QStringLiteral("CheckOneRadio"));
    m_pInsBox = new QCheckBox(this);
    m_pInsBox->setObjectName(QStringLiteral("CheckINSBox"));
    m_pTqBox = new QCheckBox(this);
    m_pTqBox->setObjectName(QStringLiteral("CheckTQBox"));
    m_pRecordBox = new QCheckBox(this);
    m_pRecordBox->setObjectName(QStringLiteral("CheckRecordBox"));
    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName(QStringLiteral("CheckStatusLable"));
    m_pCheckButton = new QPushButton(this);
    m_pCheckButton->setObjectName(QStringLiteral("ConfigCheckButton"));
    for (QWidget* p : std::initializer_list<QWidget*>{m_pCheckAll, m_pCheckOne, m_pInsBox, m_pTqBox, m_pRecordBox})
        pRow->addWidget(p);
    pRow->addWidget(m_pStatus, 1);
    pRow->addWidget(m_pCheckButton);
    pMain->addLayout(pRow);
    OnLanguageUpdate();

    m_CollectTimer.setSingleShot(true);
    m_CollectTimer.setInterval(kCollectMs);
    m_TqTimer.setInterval(kTqPeriodMs);
    connect(&m_CollectTimer, &QTimer::timeout, this, &QConfigCheck::OnConfigCheckTimerout);
    connect(&m_TqTimer, &QTimer::timeout, this, &QConfigCheck::OnCycleCheckTqTimerout);
    connect(m_pCheckButton, &QPushButton::clicked, this, &QConfigCheck::OnSignalConfigCheckBtnClickd);
}

QConfigCheck::~QConfigCheck() = default;

void QConfigCheck::OnLanguageUpdate()
{
    setWindowTitle(tr("Configure Check"));
    m_pCheckAll->setText(tr("CheckAll"));
    m_pCheckOne->setText(tr("CheckOne"));
    m_pInsBox->setText(tr("INS"));
    m_pTqBox->setText(tr("TQ"));
    m_pRecordBox->setText(tr("Record"));
    m_pCheckButton->setText(tr("Check"));
    if (!m_pStatus->text().isEmpty())
        m_pStatus->setText(tr("Processing"));
}

void QConfigCheck::OnShowConfigCheckWindow()
{
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    show();
    raise();
    activateWindow();
}

void QConfigCheck::closeEvent(QCloseEvent* pEvent)
{
    m_pView->clear();
    QDialog::closeEvent(pEvent);
}

void QConfigCheck::OnNoValidPortExist()
{
    m_pStatus->clear();
    m_pCheckButton->setEnabled(true);
}

// ---- One check ----

void QConfigCheck::OnSignalConfigCheckBtnClickd()
{
    if (m_bTqLoop)
    {
        if (!MonitorPrompt()->Question(this, tr("Running a loop to detect tq"),
                                       tr("Are tq values determined for stop loop detection?")))
            return;
        StopTqLoop();
    }
    m_pView->clear();
    m_pCheckButton->setEnabled(false);
    m_pStatus->setText(tr("Processing"));
    const uint Mask = kCheckMask | (m_pTqBox->isChecked() ? uint(STATUS_MSG_TQ) : 0u);
    m_CheckPorts.clear();
    if (m_pPortTab != nullptr)
    {
        if (m_pCheckOne->isChecked())
        {
            if (const uint id = m_pPortTab->GetCurPortID())
                m_CheckPorts << id;
        }
        else
            m_CheckPorts = m_pPortTab->GetPortIDs();
    }
    m_CollectTimer.start();
    if (m_CheckPorts.isEmpty() && m_pPortTab != nullptr)
    {
        // The tab set says that there is no port, which ends the wait for the button.
        emit SignalCheckPort(m_pPortTab->currentIndex(), Mask);
        return;
    }
    for (const uint id : m_CheckPorts)
        emit SignalCheckPort(m_pPortTab->GetTabIndexByPortID(id), Mask);
}

void QConfigCheck::OnConfigCheckTimerout()
{
    m_CollectTimer.stop();
    QString sResult;
    // A port closed meanwhile has no report.
    for (const uint id : m_CheckPorts)
    {
        const int i = m_pPortTab != nullptr ? m_pPortTab->GetTabIndexByPortID(id) : -1;
        if (i >= 0)
            sResult += CheckPortConfig(i);
    }
    m_CheckedIDList.clear();
    // The columns of the tables line up in the fixed-pitch font of the desktop.
    QFont fixed(QStringLiteral("monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    const QString sFixed = QFontInfo(fixed).family().toHtmlEscaped();
    m_pView->append(QStringLiteral("<html><head></head> <body><pre style=\"font-family:'%1'; font-size:14px;\">")
                        .arg(sFixed) +
                    sResult + QStringLiteral("</pre></body></html>"));
    m_pStatus->clear();
    m_pCheckButton->setEnabled(true);
}

QString QConfigCheck::HardwareVersion(const QString& sProductID)
{
    if (sProductID.startsWith(QLatin1String("2018")) || sProductID.startsWith(QLatin1String("2017")))
    {
        static const char* const kVersions[] = {"1.0", "1.1", "1.2", "1.3"};
        const QChar c = sProductID.size() > 9 ? sProductID.at(9) : QChar();
        return c >= QLatin1Char('A') && c <= QLatin1Char('D') ? QLatin1String(kVersions[c.unicode() - 'A'])
                                                               : QString();
    }
    if (sProductID.size() < 8)
        return QString();
    return sProductID.at(6) + QStringLiteral(".") + sProductID.at(7);
}

QString QConfigCheck::CmdFilePath(double dPosFreq, bool bIns)
{
    const char* pRate = PosFreqFileRate(dPosFreq);
    if (pRate == nullptr)
        return QString();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Configure/Cmd/%1Cmd_%2.txt").arg(bIns ? "Ins" : "", pRate));
}

QString QConfigCheck::BoardRecordDir()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Configure/BoardRecord"));
}

QString QConfigCheck::CheckPortConfig(int TabIndex)
{
    const uint id = m_pPortTab != nullptr ? m_pPortTab->GetPortUniqueID(TabIndex) : 0;
    const QStatusMsgParser* pReplies = m_pPortTab != nullptr ? m_pPortTab->GetStatusReplies(id) : nullptr;
    if (pReplies == nullptr)
        return QString();
    const PORT_INFO_T info = m_pPortTab->GetPortInfo(id);
    const QStatusMsgParser& r = *pReplies;

    // The queries still unanswered, but for the check's own mark.
    QStringList pendingLines = r.MaskDescription().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    pendingLines.removeAll(QStringLiteral("CONFIG_CHECK Enable"));
    const QString sPending = pendingLines.isEmpty() ? QString() : Red(pendingLines.join(QLatin1Char('\n')));

    QString sErrors = Red(info.TabText.toHtmlEscaped()) + QStringLiteral("\n");
    if (!info.bPropertyValid)
        return m_bTqLoop ? QString() : sErrors + tr("This is not zorvik board card!!\n");

    // The version line: model, firmware, ..., "ID:" product ID, "SN:" serial number.
    const QStringList& version = r.m_VersionList;
    QString sBoardType, sFirmware, sEntry4, sProductID, sSerial;
    if (version.isEmpty())
        sErrors += tr("Get VersionList Fail!!!\n");
    if (version.size() > 4)
    {
        sBoardType = version[0];
        sFirmware = version[1].left(6);
        sEntry4 = version[4];
    }
    for (const QString& sEntry : version)
    {
        if (sEntry.contains(QLatin1String("ID:")))
            sProductID = QString(sEntry).remove(QStringLiteral("ID:"));
        else if (sEntry.contains(QLatin1String("SN:")))
            sSerial = QString(sEntry).remove(QStringLiteral("SN:"));
    }
    // Two tabs on one receiver give one report.
    if (m_pCheckAll->isChecked())
    {
        if (m_CheckedIDList.contains(sProductID))
            return QString();
        m_CheckedIDList << sProductID;
    }

    QString sTq;
    if (m_pTqBox->isChecked() || m_bTqLoop)
    {
        if (r.FailedMask() & STATUS_MSG_TQ)
            sErrors += tr("The reply to %1 holds a value out of range!!").arg(QStringLiteral("log tq 1")) +
                       QStringLiteral("\n");
        if (r.m_TqMaster.SigNameList.isEmpty())
            sErrors += tr("MasterSigNameList is null!!");
        else
        {
            // The loop's record file keeps its English columns; the report reads in the user's language.
            sTq = m_bTqLoop ? QString::asprintf("%15s   %15s   %15s   %10s\nMaster\n", " Signal", " Max CN0[Thr cn0]",
                                                " Sv Num[Thr SvNum]", " Err(>100)")
                            : QStringLiteral("%1   %2   %3   %4\n%5\n")
                                  .arg(tr("Signal"), 15)
                                  .arg(tr("Max CN0[Thr cn0]"), 15)
                                  .arg(tr("Sv Num[Thr SvNum]"), 15)
                                  .arg(tr("Err(>100)"), 10)
                                  .arg(tr("Master"));
            sTq +=
                  OnCheckTQ(r.m_TqMaster.SigNameList, r.m_TqMaster.MaxCN0List, r.m_TqMaster.ValidSvNumList,
                            r.m_TqMaster.ErrList);
            if (!r.m_TqSlave.SigNameList.isEmpty())
                sTq += (m_bTqLoop ? QStringLiteral("Slave") : tr("Slave")) + QStringLiteral("\n") + OnCheckTQ(r.m_TqSlave.SigNameList, r.m_TqSlave.MaxCN0List,
                                                             r.m_TqSlave.ValidSvNumList, r.m_TqSlave.ErrList);
        }
    }
    if (m_bTqLoop)
        return info.PortName + QStringLiteral("\n") + sTq;

    if (sProductID.isEmpty())
        sErrors += tr("This Board not id!!\n");
    if (sBoardType.isEmpty())
        sErrors += tr("Not found BoardType!!\n");
    const QString sBatch = sBoardType + QStringLiteral("-") + HardwareVersion(sProductID);
    if (m_pRecordBox->isChecked())
        OnBoardRecord(sBatch + QLatin1Char(',') + sProductID + QLatin1Char(',') + sEntry4 + QLatin1Char(',') + sSerial,
                      sBatch, sProductID);

    const QStringList logLines = LogListLines(r);
    // A reply with a value out of range was finished unread: said rather than taken for an empty answer.
    for (const auto& failed : {std::make_pair(uint(STATUS_MSG_LOGLIST), "LOG LOGLISTA"),
                               std::make_pair(uint(STATUS_MSG_POSFREQ), "posfreq")})
        if (r.FailedMask() & failed.first)
            sErrors += tr("The reply to %1 holds a value out of range!!").arg(QLatin1String(failed.second)) +
                       QStringLiteral("\n");
    // The position record is the current port's: another port's fix is not known here.
    const QString sFix = id == m_pPortTab->GetCurPortID() ? FixText(m_pPortTab->GetPosData()->FixQuality)
                                                          : tr("Pos: not the current port");

    QString sNtrip, sRotation, sInsCommand, sTranslations, sAlign;
    for (const QString& sLine : r.m_UserConfigList)
    {
        if (sLine.contains(QLatin1String("NTRIPCONFIG NCOM1")))
            sNtrip = sLine;
        else if (sLine.contains(QLatin1String("SETINSROTATION")))
            sRotation = sLine;
        else if (sLine.contains(QLatin1String("INSCOMMAND")))
            sInsCommand = sLine;
        else if (sLine.contains(QLatin1String("SETINSTRANSLATION")))
            sTranslations += sLine + QStringLiteral("\n");
        else if (sLine.contains(QLatin1String("ALIGNMODE")))
            sAlign = sLine + QStringLiteral("\n");
    }
    if (sFirmware.isEmpty() && !r.m_UserConfigList.isEmpty())
        sErrors += tr("Not found FWVersion!!\n");

    const QString sMessages = OnCheckMsg(logLines, r.m_dPosFreq, sBoardType, CmdFilePath(r.m_dPosFreq, false));
    QString sIns;
    if (m_pInsBox->isChecked())
    {
        if (sRotation.isEmpty())
            sErrors += tr("Not found SETINSROTATION configuration!!\n");
        if (sInsCommand.isEmpty())
            sErrors += tr("Not found Inscommand Status!!\n");
        if (sTranslations.isEmpty())
            sErrors += tr("Not found SETINSTRANSLATION configuration!!\n");
        if (sAlign.isEmpty())
            sErrors += tr("Not found Align Mode!!\n");
        QStringList insLines;
        if (!ReadLines(CmdFilePath(r.m_dPosFreq, true), &insLines))
            sErrors += tr("Open INS File fail!!\n");
        else
        {
            for (const QString& sExpected : insLines)
                if (!logLines.contains(sExpected))
                    sIns += sExpected + QStringLiteral("\n");
            if (sIns.isEmpty())
                sIns = tr("INS Msg ok!!!\n\n");
            sIns += sRotation + QStringLiteral("\n") + sInsCommand + QStringLiteral("\n") + sTranslations + sAlign +
                    QStringLiteral("\n");
        }
    }
    QString sBody = sFix + QStringLiteral("\n") + sNtrip + QStringLiteral("\n") + sFirmware + QStringLiteral("\n") +
                    sMessages + QStringLiteral("\n") + sIns;
    sBody = sBody.toHtmlEscaped();
    if (!sPending.isEmpty())
        sBody += sPending + QStringLiteral("\n");
    return sErrors + sBody + sTq;
}

// ---- Comparisons ----

QString QConfigCheck::OnCheckMsg(QStringList LogMsgDetailList, double PosFreq, QString BoardType, QString CheckMsgPath)
{
    Q_UNUSED(PosFreq)
    QStringList expected;
    if (!ReadLines(CheckMsgPath, &expected))
        return tr("Open File fail!");
    // Boards without a second antenna give no heading logs.
    bool bNoHeading = false;
    for (const char* pModel : {"912", "914", "9C2", "904"})
        bNoHeading = bNoHeading || BoardType.contains(QLatin1String(pModel));
    QString sMissing;
    for (const QString& sLine : expected)
    {
        if (LogMsgDetailList.contains(sLine))
            continue;
        if (bNoHeading && (sLine.contains(QLatin1String("HEADINGA")) || sLine.contains(QLatin1String("GPHDT")) ||
                           sLine.contains(QLatin1String("RANGEHA"))))
            continue;
        sMissing += sLine + QStringLiteral("\n");
    }
    return sMissing.isEmpty() ? tr("Msg ok!!!\n") : sMissing;
}

QString QConfigCheck::OnCheckTQ(QStringList SigNameList, QList<double> MaxCN0List, QList<double> ValidSvNumList,
                                QList<int> ErrList)
{
    // In the report a cell is shown in red when it fails; in the loop's file
    // it is marked "(Err)".
    auto cell = [this](const QString& sValue, bool bPass, int nWidth)
    {
        if (m_bTqLoop)
            return bPass ? sValue : sValue + QStringLiteral("(Err)");
        const QString sPadded = sValue.rightJustified(nWidth);
        return bPass ? QStringLiteral("<font style = 'font-size:14px;'>") + sPadded + QStringLiteral("</font>")
                     : Red(sPadded);
    };
    QString sRows;
    for (int i = 0; i < SigNameList.size(); ++i)
    {
        const DIAG_SIGNAL_T* pSignal = FindDiagSignal(SigNameList[i], false);
        if (pSignal == nullptr)
            continue;
        const double dCn0 = MaxCN0List.value(i);
        const double dSv = ValidSvNumList.value(i);
        const int nErr = ErrList.value(i);
        const QString sCn0 = cell(Number(dCn0), dCn0 >= pSignal->dCn0Threshold, 12) + QLatin1Char('[') +
                             Number(pSignal->dCn0Threshold) + QLatin1Char(']');
        const QString sSv = cell(Number(dSv), dSv >= pSignal->dSvThreshold, 12) + QLatin1Char('[') +
                            Number(pSignal->dSvThreshold) + QLatin1Char(']');
        const QString sErr = cell(QString::number(nErr), nErr < kDiagErrorLimit, 10);
        const QString sName = QLatin1String(pSignal->pName);
        if (m_bTqLoop)
            sRows += sName.rightJustified(15) + QStringLiteral("   ") + sCn0.rightJustified(15) +
                     QStringLiteral("   ") + sSv.rightJustified(15) + QStringLiteral("   ") + sErr.rightJustified(10) +
                     QStringLiteral("\n");
        else
            sRows += sName.rightJustified(15) + QLatin1Char(' ') + sCn0 + QLatin1Char(' ') + sSv + QLatin1Char(' ') +
                     sErr + QStringLiteral("\n");
    }
    return sRows;
}

QString QConfigCheck::OnBoardRecord(QString BoardRecordMsg, QString BoardTypeBatche, QString ProductID)
{
    const QDir dir(BoardRecordDir());
    dir.mkpath(QStringLiteral("."));
    const QString sPath = dir.filePath(SafeFileName(BoardTypeBatche) + QStringLiteral(".csv"));
    const QString sTemplate = dir.filePath(QStringLiteral("BoardRecord.csv"));
    if (!QFileInfo::exists(sPath) && CheckConfigFile(sTemplate, kBoardRecordMaxBytes) == CONFIG_FILE_OK)
        QFile::copy(sTemplate, sPath);
    // Only a regular file is opened: a FIFO would hold the window for ever.
    const int nStatus = CheckConfigFile(sPath, kBoardRecordMaxBytes);
    QFile file(sPath);
    if ((nStatus != CONFIG_FILE_OK && nStatus != CONFIG_FILE_MISSING) ||
        !file.open(QIODevice::ReadWrite | QIODevice::Text))
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Error"), tr("Open BoardRecord File fail!"));
        return QString();
    }
    bool bRecorded = false;
    while (!file.atEnd() && !bRecorded)
    {
        const QByteArray line = file.readLine();
        const QString sLine = QString::fromUtf8(line.constData(), line.size()).trimmed();
        bRecorded = !sLine.isEmpty() && sLine.split(QLatin1Char(',')).value(1) == ProductID;
    }
    if (!bRecorded)
    {
        file.seek(file.size());
        file.write(QByteArray("\n") + BoardRecordMsg.toUtf8());
    }
    return QString();
}

// ---- The tracking-quality loop ----

void QConfigCheck::RequestTq()
{
    if (m_pPortTab == nullptr)
        return;
    for (int i = 0; i < m_pPortTab->count(); ++i)
        emit SignalCheckPort(i, STATUS_MSG_TQ);
}

void QConfigCheck::OnCycleCheckTQOn(QString TqRecordPath)
{
    m_sTqRecordPath = TqRecordPath;
    m_bTqLoop = true;
    m_bTqWriteFailed = false;
    RequestTq();
    m_TqTimer.start();
}

void QConfigCheck::StopTqLoop()
{
    m_bTqLoop = false;
    m_TqTimer.stop();
}

void QConfigCheck::OnCycleCheckTQOff() { StopTqLoop(); }

void QConfigCheck::OnCycleCheckTqTimerout()
{
    if (!m_bTqLoop || m_pPortTab == nullptr)
        return;
    m_CheckedIDList.clear();
    QString sText;
    for (int i = 0; i < m_pPortTab->count(); ++i)
    {
        const QString sPort = CheckPortConfig(i);
        if (!sPort.isEmpty())
            sText += sPort + QStringLiteral("\n\n\n");
    }
    if (!sText.isEmpty())
        WriteTqRecord(sText);
    // No request here: the receivers output their tracking quality every
    // second since the loop's start, and their parsers keep the newest.
}

void QConfigCheck::WriteTqRecord(const QString& sText)
{
    // The file is replaced whole, so that a reader never finds half a table.
    QSaveFile file(m_sTqRecordPath);
    const bool bWritten =
        file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(sText.toLatin1()) >= 0 && file.commit();
    if (bWritten || m_bTqWriteFailed)
    {
        m_bTqWriteFailed = !bWritten;
        return;
    }
    // Said once, until a period writes again.
    m_bTqWriteFailed = true;
    MonitorPrompt()->Inform(this, QMessageBox::Warning, tr("Error"),
                            tr("The tracking-quality record %1 cannot be written: %2")
                                .arg(QDir::toNativeSeparators(m_sTqRecordPath), file.errorString()),
                            tr("OK"), QString(), {});
}
