#include "monitor/tools/hex_to_bin_diag.h"

#include <QFileInfo>
#include <QMutexLocker>

#include "monitor/shell/monitor_prompt.h"
#include "monitor/tools/tool_paths.h"
#include "ui_HextoBinDiag.h"

namespace
{
// How long closing the dialog waits for a cancelled run to end; a run stops
// at its next 4096-byte block, so only a stalled disk takes this long.
constexpr unsigned long kCancelWaitMs = 10000;
} // namespace

QHextoBinThread::QHextoBinThread(QObject* pParent) : QThread(pParent) {}

HEX_TO_BIN_RESULT_T QHextoBinThread::Result() const
{
    QMutexLocker lock(&m_ResultLock);
    return m_Result;
}

void QHextoBinThread::run()
{
    m_bCancel = false;
    int nLastPercent = 0;
    uint64_t nBefore = 0;
    // Each block reports the share of the input read before it, so a file
    // of one block reports nothing before its end.
    const HEX_TO_BIN_RESULT_T r = ConvertHexToBinary(
        m_sInputPath, m_sOutputPath,
        [&](uint64_t nRead, uint64_t nTotal) {
            const int nPercent = nTotal != 0 ? static_cast<int>(nBefore * 100 / nTotal) : 0;
            nBefore = nRead;
            if (nPercent != 0 && nPercent != nLastPercent)
            {
                nLastPercent = nPercent;
                emit SignalParseLogInfo(nPercent);
            }
        },
        [this] { return m_bCancel.load(); });
    {
        QMutexLocker lock(&m_ResultLock);
        m_Result = r;
    }
    emit SignalParseComplete(r.GarbledCount != 0);
}

QHextoBinDiag::QHextoBinDiag(QWidget* pParent)
    : QDialog(pParent), m_pUi(std::make_unique<Ui::HextoBinDiag>()), m_pThread(new QHextoBinThread(this)),
      m_fnNow([] { return QDateTime::currentDateTime(); })
{
    m_pUi->setupUi(this);
    setObjectName(QStringLiteral("QHextoBinDiag"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    connect(m_pUi->m_OpenLogFile, &QPushButton::clicked, this, &QHextoBinDiag::OnSetLogFilename);
    connect(m_pUi->m_ProcessButton, &QPushButton::clicked, this, &QHextoBinDiag::OnProcess);
    connect(m_pUi->m_CancelButton, &QPushButton::clicked, this, &QHextoBinDiag::OnClose);
    connect(m_pUi->m_LogFilePath, &QLineEdit::editingFinished, this, &QHextoBinDiag::OnSetLogFilenameEdit);
    connect(m_pThread, &QHextoBinThread::SignalParseLogInfo, this, &QHextoBinDiag::OnUpdateParseLogInfo,
            Qt::QueuedConnection);
    connect(m_pThread, &QHextoBinThread::SignalParseComplete, this, &QHextoBinDiag::OnParseComplete,
            Qt::QueuedConnection);
}

QHextoBinDiag::~QHextoBinDiag()
{
    // A line edit with the focus reports a finished edit when it is destroyed,
    // after this window's members are gone.
    m_pUi->m_LogFilePath->disconnect(this);
    m_pThread->Cancel();
    m_pThread->wait();
}

void QHextoBinDiag::Warn(const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Error"), sText);
}

QString QHextoBinDiag::MackFileName(QString FilePath)
{
    return PathWithoutSuffix(FilePath) + QStringLiteral("_Bin") + m_fnNow().toString(QStringLiteral("hh_mm_ss")) +
           QStringLiteral(".log");
}

void QHextoBinDiag::ProposeOutput(const QString& sOutput)
{
    m_sProposed = sOutput;
    m_pUi->m_OutputFloder->setText(sOutput);
    m_pUi->m_OutputFloder->setToolTip(sOutput);
}

void QHextoBinDiag::OnSetLogFilename()
{
    const QString sPath = MonitorPrompt()->OpenFileName(this, tr("Log file config"), QString(),
                                                        tr("Logs (*.log *.bin *.txt);;Any files(*.*)"));
    // A cancelled chooser keeps the path chosen before.
    if (sPath.isEmpty())
        return;
    m_pUi->m_LogFilePath->setText(sPath);
    m_pUi->m_LogFilePath->setToolTip(sPath);
    ProposeOutput(MackFileName(sPath));
}

void QHextoBinDiag::OnSetLogFilenameEdit()
{
    const QString sPath = m_pUi->m_LogFilePath->text();
    m_pUi->m_LogFilePath->setToolTip(sPath);
    if (!sPath.isEmpty())
        ProposeOutput(PathWithoutSuffix(sPath) + QStringLiteral("_HexToBin.log"));
}

void QHextoBinDiag::OnProcess()
{
    if (m_pThread->isRunning())
        return;
    m_pUi->m_ProcessBar->setValue(0);
    const QString sInput = m_pUi->m_LogFilePath->text();
    if (sInput.isEmpty())
    {
        Warn(tr("Please input File Path!"));
        return;
    }
    const QString sOutput = m_pUi->m_OutputFloder->text();
    if (sOutput.isEmpty() || sOutput == m_sProposed)
        ProposeOutput(MackFileName(sInput));
    const QFileInfo info(sInput);
    if (!info.isFile() || info.size() == 0)
    {
        Warn(tr("The input file is empty"));
        return;
    }
    m_pUi->m_sProcessLineCount->setText(QStringLiteral("0"));
    m_pThread->m_sInputPath = sInput;
    m_pThread->m_sOutputPath = m_pUi->m_OutputFloder->text();
    m_pThread->start();
}

void QHextoBinDiag::OnClose()
{
    if (m_pThread->isRunning())
    {
        m_pThread->Cancel();
        m_pThread->wait(kCancelWaitMs);
    }
    m_pUi->m_LogFilePath->clear();
    m_pUi->m_OutputFloder->clear();
    m_sProposed.clear();
    m_pUi->m_ProcessBar->setValue(0);
    close();
}

void QHextoBinDiag::OnLanguageUpdate()
{
    const QString sCount = m_pUi->m_sProcessLineCount->text();
    m_pUi->retranslateUi(this);
    m_pUi->m_sProcessLineCount->setText(sCount);
}

void QHextoBinDiag::OnUpdateParseLogInfo(int ProcessValue) { m_pUi->m_ProcessBar->setValue(ProcessValue); }

void QHextoBinDiag::OnParseComplete(bool bMessyCode)
{
    const HEX_TO_BIN_RESULT_T r = m_pThread->Result();
    m_pUi->m_sProcessLineCount->setText(QString::number(r.Lines));
    switch (r.Status)
    {
    case HEX_TO_BIN_OK:
        m_pUi->m_ProcessBar->setValue(100);
        if (bMessyCode)
        {
            const QChar c = QChar::fromLatin1(static_cast<char>(r.FirstGarbledChar));
            const QString sChar = c.isPrint() ? QStringLiteral("\"%1\"").arg(c)
                                              : QStringLiteral("0x%1").arg(static_cast<uint>(r.FirstGarbledChar), 2, 16, QLatin1Char('0'));
            Warn(tr("There is some garbled code in the file!") + QLatin1Char('\n') +
                 tr("Characters that are no hexadecimal digits: %1; the first, %2, is on line %3.")
                     .arg(r.GarbledCount)
                     .arg(sChar)
                     .arg(r.FirstGarbledLine));
        }
        else
            MonitorPrompt()->Message(this, QMessageBox::Information, tr("Succeed"),
                                     tr("Hex to binary conversion successful"));
        return;
    case HEX_TO_BIN_CANCELLED:
        m_pUi->m_ProcessBar->setValue(0);
        return;
    case HEX_TO_BIN_INPUT_NOT_OPENED:
        Warn(tr("The input file cannot be opened: %1").arg(r.Error));
        break;
    case HEX_TO_BIN_OUTPUT_NOT_CREATED:
        Warn(tr("The output file cannot be created: %1").arg(r.Error));
        break;
    case HEX_TO_BIN_SAME_FILE:
        Warn(tr("The output file is the input file!"));
        break;
    default:
        Warn(tr("The conversion failed and wrote no output: %1").arg(r.Error));
        break;
    }
    m_pUi->m_ProcessBar->setValue(0);
}
