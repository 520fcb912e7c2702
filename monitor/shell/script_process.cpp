#include "monitor/shell/script_process.h"

#include <QPointer>
#include <QProcessEnvironment>
#include <QTimer>

#include "monitor/shell/monitor_prompt.h"

namespace
{
const QLatin1String kSeparator("@#$@:");
const QLatin1String kFieldSeparator("$$$");
const QLatin1String kGetInputPara("$$GetInputPara");
const QLatin1String kWarningMessageBox("$$WarningMessageBox");
const QLatin1String kInputSampleData("$$InputSampleData");
const QLatin1String kSampleDataLogStart("$$SampleDataLogStart");
const QLatin1String kSampleDataLogEnd("$$SampleDataLogEnd");
const QLatin1String kInputCfgFilePath("$$InputCfgFilePath");
const QLatin1String kPrintResult("$$PrintResult");
const QLatin1String kPrintWarning("$$PrintWarning");
const QLatin1String kPrintCMD("$$PrintCMD");
const char kEndOfSample[] = "EOF\r\n ";

QString& InterpreterSetting()
{
    static QString s;
    return s;
}
} // namespace

QScriptProcess::QScriptProcess(QObject* pParent)
    : QProcess(pParent), m_pSampleTimer(new QTimer(this)), m_pWatchdog(new QTimer(this))
{
    m_pSampleTimer->setSingleShot(true);
    m_pWatchdog->setSingleShot(true);
    connect(m_pSampleTimer, &QTimer::timeout, this, &QScriptProcess::OnGetSampleDataFinish);
    connect(m_pWatchdog, &QTimer::timeout, this, &QScriptProcess::OnScriptTimerOut);
    connect(this, &QScriptProcess::SignalSendTextToDialog, this, &QScriptProcess::OnWriteDebugInfo);
}

QScriptProcess::~QScriptProcess()
{
    // The child goes with the runner: ended here, within a bounded wait.
    if (m_pProcess != nullptr)
    {
        disconnect(m_pProcess, nullptr, this, nullptr);
        m_pProcess->kill();
        m_pProcess->waitForFinished(1000);
    }
}

void QScriptProcess::SetInterpreter(const QString& sProgram) { InterpreterSetting() = sProgram; }

QString QScriptProcess::Interpreter()
{
    if (!InterpreterSetting().isEmpty())
        return InterpreterSetting();
    const QString sEnv = qEnvironmentVariable("ZV_PYTHON");
    return sEnv.isEmpty() ? QStringLiteral("python3") : sEnv;
}

void QScriptProcess::OnStartProcess()
{
    if (m_bRunning || m_pProcess != nullptr || m_sScriptPath.isEmpty())
        return;
    m_pProcess = new QProcess(this);
    // The script's lines must arrive as it prints them, not when its buffer fills.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PYTHONUNBUFFERED"), QStringLiteral("1"));
    m_pProcess->setProcessEnvironment(env);
    connect(m_pProcess, &QProcess::readyReadStandardError, this, &QScriptProcess::OnReadReadyStandardError);
    connect(m_pProcess, &QProcess::readyReadStandardOutput, this, &QScriptProcess::OnReadReadyStandardOutput);
    connect(m_pProcess, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            &QScriptProcess::OnProcessFinished);
    connect(m_pProcess, &QProcess::started, this, &QScriptProcess::OnProcessStarted);
    connect(m_pProcess, &QProcess::errorOccurred, this, &QScriptProcess::OnErrorOccured);
    m_Stdout.clear();
    m_pProcess->start(Interpreter(), {m_sScriptPath}, QIODevice::ReadWrite);
}

void QScriptProcess::OnProcessStarted()
{
    m_bRunning = true;
    m_bSampling = false;
    m_SampleSeconds = 0;
    m_sStdin.clear();
}

void QScriptProcess::OnStopProcess()
{
    if (m_pProcess == nullptr)
        return;
    DropProcess();
    ResetState();
}

void QScriptProcess::DropProcess()
{
    m_pSampleTimer->stop();
    if (m_pProcess == nullptr)
        return;
    disconnect(m_pProcess, nullptr, this, nullptr);
    // Never deleted inside one of its own signals, nor before it has ended.
    if (m_pProcess->state() != QProcess::NotRunning)
    {
        connect(m_pProcess, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), m_pProcess,
                &QObject::deleteLater);
        m_pProcess->kill();
    }
    else
        m_pProcess->deleteLater();
    m_pProcess = nullptr;
    m_Stdout.clear();
}

void QScriptProcess::ResetState()
{
    m_bRunning = false;
    m_bSampling = false;
    m_SampleSeconds = 0;
    m_sStdin.clear();
    m_sCfgFilePath.clear();
    m_pSampleTimer->stop();
}

void QScriptProcess::OnReadReadyStandardOutput()
{
    if (m_pProcess == nullptr)
        return;
    m_Stdout += m_pProcess->readAllStandardOutput();
    int nStart = 0;
    for (int nEnd; (nEnd = m_Stdout.indexOf('\n', nStart)) >= 0 && m_pProcess != nullptr; nStart = nEnd + 1)
        ServeLine(QString::fromUtf8(m_Stdout.constData() + nStart, nEnd + 1 - nStart));
    if (m_pProcess == nullptr)
        return;
    m_Stdout.remove(0, nStart);
    // A line without an end is served in pieces rather than kept growing.
    if (m_Stdout.size() > OUTPUT_LINE_MAX)
    {
        const QByteArray Piece = std::move(m_Stdout);
        m_Stdout.clear();
        ServeLine(QString::fromUtf8(Piece.constData(), Piece.size()));
    }
}

QString QScriptProcess::TakeKeywordPayload(QString sLine)
{
    while (sLine.endsWith(QLatin1Char('\n')) || sLine.endsWith(QLatin1Char('\r')))
        sLine.chop(1);
    const int nStart = sLine.indexOf(kSeparator);
    if (nStart < 0)
        return QString();
    const int nFrom = nStart + kSeparator.size();
    const int nNext = sLine.indexOf(kSeparator, nFrom);
    return nNext < 0 ? sLine.mid(nFrom) : sLine.mid(nFrom, nNext - nFrom);
}

void QScriptProcess::ServeLine(const QString& sLine)
{
    const QString sPayload = TakeKeywordPayload(sLine);
    if (sLine.contains(kGetInputPara))
    {
        if (sPayload.isEmpty())
            emit SignalSendTextToDialog(QStringLiteral("get inpput param get error"));
        else
        {
            const QStringList Fields = sPayload.split(kFieldSeparator);
            // The script waits for its answer; the output goes on being read meanwhile.
            QPointer<QScriptProcess> self(this);
            QPointer<QProcess> pProcess(m_pProcess);
            MonitorPrompt()->AskText(nullptr, Fields.value(0), Fields.value(1),
                                     [self, pProcess](bool bOk, QString sAnswer)
                                     {
                                         if (!self || !pProcess || self->m_pProcess != pProcess)
                                             return;
                                         if (bOk)
                                             self->m_sStdin += sAnswer.toUtf8() + "\r\n";
                                         self->OnWriteStandardInput();
                                     });
        }
    }
    if (sLine.contains(kWarningMessageBox))
    {
        const QStringList Fields = sPayload.split(kFieldSeparator);
        if (sPayload.isEmpty() || Fields.size() < 2)
            emit SignalSendTextToDialog(QStringLiteral("WarningMessageBox error"));
        else
            MonitorPrompt()->Inform(nullptr, QMessageBox::Warning, Fields[0], Fields[1], tr("OK"), QString(), {});
    }
    if (sLine.contains(kInputSampleData))
    {
        bool bOk = false;
        const uint nSeconds = sPayload.trimmed().toUInt(&bOk);
        if (!bOk)
            emit SignalSendTextToDialog(QStringLiteral("Standard Input Sample Data get error"));
        else
        {
            m_SampleSeconds = nSeconds;
            m_pSampleTimer->start(static_cast<int>(nSeconds) * m_nSecondMs);
            m_bSampling = true;
            emit SignalSendTextToDialog(QString::asprintf("Sample Data Time : %d\n", static_cast<int>(nSeconds)));
        }
    }
    if (sLine.contains(kSampleDataLogStart))
        m_bSampling = true;
    const bool bEnd = sLine.contains(kSampleDataLogEnd);
    if (bEnd)
    {
        m_bSampling = false;
        m_pSampleTimer->stop();
        m_sStdin += kEndOfSample;
        OnWriteStandardInput();
    }
    // Payloads lose their line end on the way; the texts keep the one the line had.
    const QString sEnd = QStringLiteral("\r\n");
    if (!bEnd)
    {
        if (sLine.contains(kInputCfgFilePath))
        {
            m_sCfgFilePath = sPayload;
            emit SignalSendTextToDialog(QStringLiteral("Config File:") + sPayload + sEnd);
        }
        else if (sLine.contains(kPrintResult))
            emit SignalSendTextToDialog(sPayload.isEmpty() ? QStringLiteral("Result get error\r\n")
                                                           : QStringLiteral("Result:\r\n") + sPayload + sEnd);
        else if (sLine.contains(kPrintWarning))
            emit SignalSendTextToDialog(sPayload.isEmpty() ? QStringLiteral("Warning get error\r\n")
                                                           : QStringLiteral("Warning:") + sPayload + sEnd);
        else if (sLine.contains(kPrintCMD))
        {
            if (sPayload.isEmpty())
                emit SignalSendTextToDialog(QStringLiteral("CMD get error\r\n"));
            else
            {
                // A receiver takes a command line ended by CR LF.
                emit SignalSendCMD(m_pTxView, sPayload + sEnd);
                emit SignalSendTextToDialog(QStringLiteral("CMD:") + sPayload + sEnd);
            }
        }
    }
    const QLatin1String kServed[] = {kSampleDataLogEnd, kInputCfgFilePath, kPrintResult, kPrintWarning, kPrintCMD};
    bool bServed = false;
    for (const QLatin1String& k : kServed)
        bServed = bServed || sLine.contains(k);
    if (!bServed)
        emit SignalSendTextToDialog(sLine);
}

void QScriptProcess::OnWriteStandardInput()
{
    if (m_pProcess != nullptr)
        m_pProcess->write(m_sStdin);
    m_sStdin.clear();
}

void QScriptProcess::AppendSampleData(const QByteArray& Data)
{
    if (m_bSampling)
        m_sStdin += Data;
}

void QScriptProcess::OnGetSampleDataFinish()
{
    m_pSampleTimer->stop();
    m_bSampling = false;
    m_sStdin += kEndOfSample;
    OnWriteStandardInput();
}

void QScriptProcess::OnsetTimer(int Time) { m_pWatchdog->start(Time); }

void QScriptProcess::OnScriptTimerOut()
{
    m_pWatchdog->stop();
    if (m_pProcess == nullptr)
        return;
    emit SignalSendTextToDialog(
        QString::asprintf("Script stopped: it ran longer than %d ms\n", m_pWatchdog->interval()));
    DropProcess();
    ResetState();
    emit SignalScriptFinishStop(true);
}

void QScriptProcess::OnReadReadyStandardError()
{
    if (m_pProcess == nullptr)
        return;
    const QByteArray Error = m_pProcess->readAllStandardError();
    if (!Error.isEmpty())
        emit SignalSendTextToDialog(QStringLiteral("Standard Error: ") +
                                    QString::fromUtf8(Error.constData(), Error.size()));
}

void QScriptProcess::OnErrorOccured()
{
    emit SignalSendTextToDialog(QStringLiteral("OnErrorOccured!!"));
    if (m_pProcess == nullptr || m_pProcess->error() != QProcess::FailedToStart)
        return;
    // No "finished" follows a program that never started.
    emit SignalSendTextToDialog(QStringLiteral(" ") + Interpreter() + QStringLiteral(": ") + m_pProcess->errorString() +
                                QStringLiteral("\n"));
    DropProcess();
    ResetState();
    emit SignalScriptFinishStop(true);
}

void QScriptProcess::OnProcessFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    if (m_pProcess == nullptr)
        return;
    // The script's last words, a line without an end included.
    OnReadReadyStandardOutput();
    OnReadReadyStandardError();
    if (m_pProcess != nullptr && !m_Stdout.isEmpty())
        ServeLine(QString::fromUtf8(m_Stdout.constData(), m_Stdout.size()));
    ResetState();
    emit SignalSendTextToDialog(
        QString::asprintf("Exit code:%d exit status:%d\n", exitCode, static_cast<int>(exitStatus)));
    DropProcess();
    m_pWatchdog->stop();
    emit SignalScriptFinishStop(true);
}

void QScriptProcess::OnWriteDebugInfo(QString sDebugInfo)
{
    m_sDebugText += sDebugInfo;
    if (m_sDebugText.size() > DEBUG_TEXT_MAX)
        m_sDebugText.remove(0, m_sDebugText.size() - DEBUG_TEXT_MAX);
}

QString QScriptProcess::TakeOutputText()
{
    QString s;
    s.swap(m_sDebugText);
    return s;
}
