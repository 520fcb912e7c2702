// The converter's worker thread. The main window fills the job fields while
// the worker is idle, calls one start slot and starts the thread; the worker
// runs that one job, sets m_nMode back to 0 and reports the status by the
// job's Return signal. RequestStop ends run() at once when idle, so the window
// can stop the thread and wait for it.
#pragma once

#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>

#include <atomic>
#include <cstdint>

#include "converter/engine/convert_context.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/range_to_rinex.h"

// The worker's mode (m_nMode): idle, or the job it runs.
enum WORK_MODE_E : uint32_t
{
    WORK_MODE_IDLE = 0,
    WORK_MODE_RANGE2RNX = 1, // range log to RINEX
    WORK_MODE_RNX2RANGE = 2, // RINEX to log
    WORK_MODE_LOG2LOG = 3,   // log to log
};

class CWorkThread : public QThread
{
    Q_OBJECT

public:
    explicit CWorkThread(uint32_t nMode = WORK_MODE_IDLE);
    ~CWorkThread() override;

    // Wakes an idle worker and makes run() return; a running job sees it
    // through StopRequested() between its reads. Call wait() afterwards.
    void RequestStop();

    // The state the jobs work on: the header records, the leap value, the
    // BeiDou numbering, and while a RINEX-to-log job runs its output stream,
    // byte counter and stop request. The window fills it while the worker is
    // idle, as it fills the job fields.
    CConvertContext& Context() { return m_Context; }

    // Job fields: written by the window only while m_nMode is 0.
    QString m_sSrcFilePath;
    QString m_sObsFilePath;
    QString m_sGpsNavFilePath; // the one mixed file when m_bMixedNav is 1
    QString m_sGloNavFilePath;
    QString m_sGalNavFilePath;
    QString m_sBdsNavFilePath;
    QString m_sQzssNavFilePath;
    QString m_sOutFilePath;
    QString m_sRinexVersion;
    QString m_sObsMsgName;
    uint32_t m_nObsHeaderEdit = 0;
    uint32_t m_nNavHeaderEdit = 0;
    uint32_t m_nSysMask = 0;
    uint32_t m_nObsTypeMask = 0;
    uint32_t m_nRnx2RangeOption = 0;
    uint32_t m_nLog2LogKind = 0;
    uint32_t m_bBinaryInput = 0;
    uint32_t m_bMixedNav = 0;
    uint32_t m_nStartWeek = 0;
    uint32_t m_nEndWeek = 0;
    uint32_t m_nStartMs = 0;
    uint32_t m_nEndMs = 0;
    uint32_t m_bExtract = 0;
    uint32_t m_bDecimate = 0;
    double m_dInterval = 0.0;
    // WORK_MODE_E.
    std::atomic<uint32_t> m_nMode;

    // What the last range-log job read, wrote and skipped; read it after its
    // Return signal.
    RangeToRinexCounts m_Range2RnxCounts{};
    // What the last RINEX-to-log or log-to-log job's compression did to
    // carrier phases; read it after its Return signal.
    CompressedPhaseCounts m_Phases{};
    // Bytes the last RINEX-to-log or log-to-log job wrote to its output; a
    // job that wrote none left an earlier output at its path as it was.
    uint64_t m_nOutputBytes = 0;

signals:
    // Source bytes read so far, counted in 64 bits.
    void Range2RnxReadDataLog(qulonglong nBytes);
    void Rnx2RangeReadDataLog(qulonglong nBytes);
    void Log2LogReadDataLog(qulonglong nBytes);
    void Range2RnxReturn(int nStatus);
    void Rnx2RangeReturn(int nStatus);
    void Log2LogReturn(int nStatus);
    void Range2RnxMoxelinBtn_signal(int nEnable);
    void actionLog_Trans_Rinex_signal(int nEnable);
    void Range2RnxSrcFilePath_signal(int nEnable);

public slots:
    // Each takes the job only while the worker is idle; a second start while
    // a job runs is ignored.
    void StartRange2Rnx();
    void StartRnx2Range();
    void StartLog2Log();

protected:
    void run() override;
    bool StopRequested() const;

    // The three jobs; each returns the status its Return signal reports.
    virtual int RunRange2Rnx();
    virtual int RunRnx2Range();
    virtual int RunLog2Log();

private:
    void StartJob(WORK_MODE_E eMode);

    QMutex m_Mutex;
    QWaitCondition m_Wake;
    CConvertContext m_Context;
};
