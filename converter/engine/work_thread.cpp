#include "converter/engine/work_thread.h"

#include <QFile>

#include <cstdio>

#include "codec/text_helpers.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/job_output.h"
#include "converter/engine/rinex_obs_header.h"
#include "converter/engine/rinex_readers.h"

CWorkThread::CWorkThread(uint32_t nMode) : QThread(nullptr), m_nMode(nMode) {}

CWorkThread::~CWorkThread()
{
    RequestStop();
    wait();
}

// QThread::start clears the request, so a stopped worker can be started again
// for the next job.
void CWorkThread::RequestStop()
{
    requestInterruption();
    QMutexLocker lock(&m_Mutex);
    m_Wake.wakeAll();
}

bool CWorkThread::StopRequested() const { return isInterruptionRequested(); }

void CWorkThread::StartRange2Rnx() { StartJob(WORK_MODE_RANGE2RNX); }
void CWorkThread::StartRnx2Range() { StartJob(WORK_MODE_RNX2RANGE); }
void CWorkThread::StartLog2Log() { StartJob(WORK_MODE_LOG2LOG); }

void CWorkThread::StartJob(WORK_MODE_E eMode)
{
    QMutexLocker lock(&m_Mutex);
    uint32_t nIdle = WORK_MODE_IDLE;
    // Publishes the job fields written before this call to the worker.
    if (m_nMode.compare_exchange_strong(nIdle, eMode, std::memory_order_acq_rel))
        m_Wake.wakeAll();
}

void CWorkThread::run()
{
    for (;;)
    {
        uint32_t nMode = WORK_MODE_IDLE;
        {
            QMutexLocker lock(&m_Mutex);
            while ((nMode = m_nMode.load(std::memory_order_acquire)) == WORK_MODE_IDLE && !isInterruptionRequested())
                m_Wake.wait(&m_Mutex);
            if (nMode == WORK_MODE_IDLE)
                return;
        }
        // A job flushes the debug log before it reports: what the job and its
        // preparation noted is in the file once it has ended.
        switch (nMode)
        {
        case WORK_MODE_RANGE2RNX:
        {
            const int nStatus = RunRange2Rnx();
            FlushDebugLog();
            m_nMode.store(WORK_MODE_IDLE, std::memory_order_release);
            emit Range2RnxReturn(nStatus);
            break;
        }
        case WORK_MODE_RNX2RANGE:
        {
            const int nStatus = RunRnx2Range();
            FlushDebugLog();
            m_nMode.store(WORK_MODE_IDLE, std::memory_order_release);
            emit Rnx2RangeReturn(nStatus);
            break;
        }
        case WORK_MODE_LOG2LOG:
        {
            const int nStatus = RunLog2Log();
            FlushDebugLog();
            m_nMode.store(WORK_MODE_IDLE, std::memory_order_release);
            emit Log2LogReturn(nStatus);
            break;
        }
        default:
            // Not a job: dropped, the worker stays idle.
            m_nMode.store(WORK_MODE_IDLE, std::memory_order_release);
            break;
        }
    }
}

int CWorkThread::RunRnx2Range()
{
    m_Context.SetRinexBytesRead(0);
    m_Phases = CompressedPhaseCounts{};
    m_nOutputBytes = 0;

    const QByteArray sSrc = QFile::encodeName(m_sSrcFilePath);
    const QByteArray sOut = QFile::encodeName(m_sOutFilePath);
    FILE* pSrc = sSrc.isEmpty() ? nullptr : std::fopen(sSrc.constData(), "rb");
    if (!pSrc)
        return CONVERT_ERR_SOURCE;

    // The file's type (its header's, else its name's) decides the reader
    // before anything is created, so a source of no type read leaves no empty
    // output behind.
    const char cType = RinexSourceFileType(pSrc, sSrc.constData(), static_cast<size_t>(sSrc.size()));
    const bool bObs = cType == 'O';
    if (!cType)
    {
        std::fclose(pSrc);
        return CONVERT_ERR_RINEX_TYPE;
    }

    // Written beside an earlier output, which a failed job leaves as it was.
    CJobOutput output;
    FILE* pOut = output.Open(sOut.constData());
    if (!pOut)
    {
        std::fclose(pSrc);
        return CONVERT_ERR_OUTPUT;
    }
    m_Context.SetRinexToLogFile(pOut);
    m_Context.SetStopRequest([](const void* pThis) { return static_cast<const CWorkThread*>(pThis)->StopRequested(); },
                             this);
    const int nResult = bObs ? ConvertRinexObsToRange(pSrc, m_nRnx2RangeOption, &m_Context, &m_Phases)
                             : ConvertRinexNavToLog(pSrc, cType, &m_Context);
    TracePhaseCounts(m_Phases);
    m_Context.SetStopRequest(nullptr, nullptr);
    m_Context.SetRinexToLogFile(nullptr);
    std::fflush(pOut);
    m_nOutputBytes = output.BytesWritten();
    // A job that converted nothing leaves an earlier output as it was too.
    const bool bClosed = output.Finish(nResult >= 0 && m_nOutputBytes > 0);
    std::fclose(pSrc);
    if (!bClosed)
        return CONVERT_ERR_OUTPUT_WRITE;
    if (nResult < 0)
        return nResult == RINEX_READ_WRITE_FAILED ? CONVERT_ERR_OUTPUT_WRITE : CONVERT_ERR_RINEX_READ;
    return CONVERT_OK;
}
