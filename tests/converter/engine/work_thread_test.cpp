#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "converter/engine/engine_state.h"
#include "converter/engine/log_to_log.h"
#include "converter/engine/work_thread.h"
#include "range_source_fixture.h"

namespace
{
// A worker whose range-log job blocks until released or stopped, so a test
// can look at the worker while a job runs.
class GatedWorker : public CWorkThread
{
public:
    // The job runs code of this class: stop the thread before it goes.
    ~GatedWorker() override
    {
        RequestStop();
        wait();
    }

    std::atomic<int> nRange2RnxRuns{0};
    std::atomic<int> nLog2LogRuns{0};
    std::atomic<bool> bInJob{false};
    std::atomic<bool> bRelease{false};

    void WaitInJob()
    {
        for (int i = 0; i < 2000 && !bInJob; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(bInJob.load());
    }

protected:
    int RunRange2Rnx() override
    {
        ++nRange2RnxRuns;
        bInJob = true;
        while (!bRelease && !StopRequested())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        bInJob = false;
        return 0;
    }
    int RunLog2Log() override
    {
        ++nLog2LogRuns;
        return -5;
    }
};

// Counts the Return signals in the worker thread and checks that each one
// arrives with the worker already idle.
struct ReturnCounter
{
    std::atomic<int> nRange2Rnx{0}, nRnx2Range{0}, nLog2Log{0};
    std::atomic<int> nLastStatus{1};
    std::atomic<bool> bIdleAtEveryReturn{true};

    void Attach(CWorkThread& worker)
    {
        QObject::connect(
            &worker, &CWorkThread::Range2RnxReturn, &worker, [this, &worker](int n) { Count(worker, nRange2Rnx, n); },
            Qt::DirectConnection);
        QObject::connect(
            &worker, &CWorkThread::Rnx2RangeReturn, &worker, [this, &worker](int n) { Count(worker, nRnx2Range, n); },
            Qt::DirectConnection);
        QObject::connect(
            &worker, &CWorkThread::Log2LogReturn, &worker, [this, &worker](int n) { Count(worker, nLog2Log, n); },
            Qt::DirectConnection);
    }
    void Count(CWorkThread& worker, std::atomic<int>& counter, int nStatus)
    {
        if (worker.m_nMode.load() != 0)
            bIdleAtEveryReturn = false;
        nLastStatus = nStatus;
        ++counter;
    }
    int Total() const { return nRange2Rnx + nRnx2Range + nLog2Log; }
    void WaitFor(int nTotal) const
    {
        for (int i = 0; i < 2000 && Total() < nTotal; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

// Elapsed ms between a stop request and run() having returned.
qint64 StopAndTime(CWorkThread& worker)
{
    QElapsedTimer timer;
    timer.start();
    worker.RequestStop();
    EXPECT_TRUE(worker.wait(1000));
    return timer.elapsed();
}
} // namespace

TEST(WorkThread, TakesOneJobAtATimeAndReturnsToIdle)
{
    GatedWorker worker;
    ReturnCounter returns;
    returns.Attach(worker);

    worker.StartRange2Rnx();
    worker.start();
    worker.WaitInJob();
    // A second start while the job runs is not taken.
    worker.StartLog2Log();
    worker.StartRnx2Range();
    EXPECT_EQ(worker.m_nMode.load(), 1u);

    worker.bRelease = true;
    returns.WaitFor(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(returns.nRange2Rnx.load(), 1);
    EXPECT_EQ(returns.Total(), 1);
    EXPECT_EQ(worker.nRange2RnxRuns.load(), 1);
    EXPECT_EQ(worker.nLog2LogRuns.load(), 0);
    EXPECT_EQ(worker.m_nMode.load(), 0u);
    EXPECT_TRUE(returns.bIdleAtEveryReturn.load());

    // The idle worker takes the next job at once, without a restart.
    worker.StartLog2Log();
    returns.WaitFor(2);
    EXPECT_EQ(returns.nLog2Log.load(), 1);
    EXPECT_EQ(returns.nLastStatus.load(), -5);
    EXPECT_TRUE(returns.bIdleAtEveryReturn.load());
    EXPECT_LT(StopAndTime(worker), 100);
}

TEST(WorkThread, StopsOnRequestWithin100MsWhetherIdleOrInAJob)
{
    GatedWorker idle;
    idle.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_LT(StopAndTime(idle), 100);
    EXPECT_TRUE(idle.isFinished());

    GatedWorker busy;
    ReturnCounter returns;
    returns.Attach(busy);
    busy.StartRange2Rnx();
    busy.start();
    busy.WaitInJob();
    EXPECT_LT(StopAndTime(busy), 100);
    // The interrupted job still reports once.
    EXPECT_EQ(returns.nRange2Rnx.load(), 1);
}

TEST(WorkThread, RestartsAfterAStopForTheNextJob)
{
    GatedWorker worker;
    ReturnCounter returns;
    returns.Attach(worker);
    worker.start();
    EXPECT_LT(StopAndTime(worker), 100);

    // The window's order: fill the job, call the start slot, start the thread.
    worker.StartLog2Log();
    worker.start();
    returns.WaitFor(1);
    EXPECT_EQ(returns.nLog2Log.load(), 1);
    EXPECT_LT(StopAndTime(worker), 100);
}

TEST(WorkThread, IgnoresAModeThatIsNoJob)
{
    GatedWorker worker;
    ReturnCounter returns;
    returns.Attach(worker);
    worker.m_nMode = 7;
    worker.start();
    for (int i = 0; i < 1000 && worker.m_nMode.load() != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(worker.m_nMode.load(), 0u);
    EXPECT_EQ(returns.Total(), 0);
    EXPECT_TRUE(worker.isRunning());
    EXPECT_LT(StopAndTime(worker), 100);
}

TEST(WorkThread, DestroyingARunningWorkerStopsIt)
{
    auto* pWorker = new GatedWorker;
    pWorker->StartRange2Rnx();
    pWorker->start();
    pWorker->WaitInJob();
    delete pWorker; // must neither hang nor abort
}

// The RINEX-to-log driver: which files a job leaves behind on each early failure.
class Rnx2RangeDriver : public ::testing::Test
{
protected:
    QTemporaryDir m_Dir;
    CWorkThread m_Worker;
    ReturnCounter m_Returns;

    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        m_Returns.Attach(m_Worker);
    }
    void TearDown() override
    {
        m_Worker.RequestStop();
        m_Worker.wait();
    }
    QString Path(const char* pName) const { return m_Dir.filePath(QString::fromLatin1(pName)); }
    void Touch(const char* pName) const
    {
        QFile f(Path(pName));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // Runs a RINEX-to-log job, or a log-to-log job of the worker's kind.
    int Run(const QString& sSource, const QString& sOutput, bool bLog2Log = false)
    {
        m_Worker.m_sSrcFilePath = sSource;
        m_Worker.m_sOutFilePath = sOutput;
        const int nBefore = m_Returns.Total();
        const int nKindBefore = bLog2Log ? m_Returns.nLog2Log.load() : m_Returns.nRnx2Range.load();
        bLog2Log ? m_Worker.StartLog2Log() : m_Worker.StartRnx2Range();
        if (!m_Worker.isRunning())
            m_Worker.start();
        m_Returns.WaitFor(nBefore + 1);
        EXPECT_EQ(bLog2Log ? m_Returns.nLog2Log.load() : m_Returns.nRnx2Range.load(), nKindBefore + 1);
        return m_Returns.nLastStatus;
    }
};

TEST_F(Rnx2RangeDriver, FailsEarlyWithoutLeavingAnOutputBehind)
{
    struct Case
    {
        const char* pSource; // created empty unless null
        const char* pSourceName;
        const char* pOutput;
        int nStatus;
    };
    const Case cases[] = {
        {nullptr, "missing.21o", "out1.log", CONVERT_ERR_SOURCE},
        {"obs.21p", "obs.21p", "out2.log", CONVERT_ERR_RINEX_TYPE},
        {"obs.rnx", "obs.rnx", "out3.log", CONVERT_ERR_RINEX_TYPE},
        // An empty observation or navigation file has no header to read.
        {"EMPTY.21O", "EMPTY.21O", "out4.log", CONVERT_ERR_RINEX_READ},
        {"empty.21n", "empty.21n", "out5.log", CONVERT_ERR_RINEX_READ},
    };
    for (const Case& c : cases)
    {
        if (c.pSource)
            Touch(c.pSource);
        EXPECT_EQ(Run(Path(c.pSourceName), Path(c.pOutput)), c.nStatus) << c.pSourceName;
        EXPECT_FALSE(QFile::exists(Path(c.pOutput))) << c.pSourceName;
    }
}

// A stop ends a RINEX-to-log job between two blocks of its source, not at
// the end of the file.
TEST_F(Rnx2RangeDriver, StopsOnRequestWhileItReadsTheSource)
{
    // A header, then far more body (sparse, empty) than the job reads before
    // the stop arrives.
    const qint64 nSize = qint64(1) << 31;
    {
        QFile file(Path("big.21o"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QString::asprintf("%9.2f%11c%-20s%-20c%s\n", 3.04, ' ', "OBSERVATION DATA", 'M', "RINEX VERSION / TYPE")
                .toLatin1());
        file.write(QString("%1END OF HEADER\n").arg(QString(), 60).toLatin1());
        ASSERT_TRUE(file.resize(nSize));
    }
    m_Worker.Context().SetRinexBytesRead(0);
    m_Worker.m_sSrcFilePath = Path("big.21o");
    m_Worker.m_sOutFilePath = Path("out.log");
    m_Worker.StartRnx2Range();
    m_Worker.start();
    for (int i = 0; i < 5000 && m_Worker.Context().GetRinexBytesRead() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GT(m_Worker.Context().GetRinexBytesRead(), 0u);
    EXPECT_LT(StopAndTime(m_Worker), 1000);
    EXPECT_LT(m_Worker.Context().GetRinexBytesRead(), static_cast<uint32_t>(nSize));
    EXPECT_EQ(m_Returns.nRnx2Range.load(), 1);
    EXPECT_EQ(m_Returns.nLastStatus.load(), CONVERT_ERR_RINEX_READ);
}

// A log-to-log job stopped part-way (the program closes) has written only the
// start of its source: an earlier output at its path stays as it was.
TEST_F(Rnx2RangeDriver, AStoppedLogToLogJobLeavesAnEarlierOutputAsItWas)
{
    const SourceFile src = GoldenSource(Form::RangeText);
    QByteArray log(reinterpret_cast<const char*>(src.Bytes().data()), static_cast<int>(src.Bytes().size()));
    log = log.repeated(4 * 65536 / log.size() + 1); // some blocks of the reader
    QFile source(Path("site.log"));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write(log);
    source.close();
    const QByteArray kEarlier = "an earlier conversion\n";
    QFile earlier(Path("site.Rangecmp"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write(kEarlier);
    earlier.close();

    // Stopped when the second block is read: the first one is converted.
    int nReports = 0;
    QObject::connect(
        &m_Worker, &CWorkThread::Log2LogReadDataLog, &m_Worker,
        [this, &nReports](qulonglong)
        {
            if (++nReports == 2)
                m_Worker.RequestStop();
        },
        Qt::DirectConnection);
    m_Worker.m_nLog2LogKind = LOG2LOG_RANGE_TO_RANGECMP;
    EXPECT_EQ(Run(Path("site.log"), Path("site.Rangecmp"), true), CONVERT_STOPPED);
    EXPECT_GT(m_Worker.m_nOutputBytes, 0u) << "the job wrote part of its source before the stop";
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), kEarlier);
    EXPECT_EQ(QDir(m_Dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "nothing left beside it";
}

TEST_F(Rnx2RangeDriver, ReportsAnOutputThatCannotBeCreated)
{
    Touch("obs.21o");
    EXPECT_EQ(Run(Path("obs.21o"), Path("no-such-folder/out.log")), CONVERT_ERR_OUTPUT);
    EXPECT_EQ(Run(Path("obs.21o"), QString()), CONVERT_ERR_OUTPUT);
}

// A full disk is not a wrong path: a RINEX-to-log or log-to-log job whose
// output opens but cannot be written says so with a status of its own.
TEST_F(Rnx2RangeDriver, ReportsAnOutputThatCannotBeWritten)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(QFile::copy(QString(ZV_TEST_DATA_DIR) + "/engine/range_text_304_obs.rnx", Path("site.24o")));
    EXPECT_EQ(Run(Path("site.24o"), "/dev/full"), CONVERT_ERR_OUTPUT_WRITE);

    QFile log(Path("site.log"));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    const SourceFile src = GoldenSource(Form::RangeText);
    log.write(reinterpret_cast<const char*>(src.Bytes().data()), static_cast<qint64>(src.Bytes().size()));
    log.close();
    m_Worker.m_nLog2LogKind = LOG2LOG_RANGE_TO_RANGECMP;
    EXPECT_EQ(Run(Path("site.log"), "/dev/full", true), CONVERT_ERR_OUTPUT_WRITE);
}

// What stood at the output path before a job stays as it was when the job
// fails or converts nothing: an earlier Range.log keeps its bytes, a device
// node given as output stays a device; a job that succeeds replaces the file
// and keeps its permissions. No file of the job is left beside it.
TEST_F(Rnx2RangeDriver, AFailedJobLeavesWhatStoodAtItsOutput)
{
    const QByteArray kEarlier = "#RANGEA,COM1,0,80.0,FINESTEERING,2295,86400.000,02000000,5103,16248;0*00000000\r\n";
    const QString sOutput = Path("Range.log");
    auto writeEarlier = [&]
    {
        QFile f(sOutput);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kEarlier);
        f.close();
        ASSERT_EQ(::chmod(QFile::encodeName(sOutput).constData(), 0640), 0);
    };
    auto read = [](const QString& sPath)
    {
        QFile f(sPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    };
    auto folder = [&] { return QDir(m_Dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name); };

    // Sources that are no RINEX file of their name, and one that holds no epoch.
    {
        QFile f(Path("notrinex.24O"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is a receiver log, not RINEX\n");
    }
    {
        QFile f(Path("noepoch.24O"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QString::asprintf("%9.2f%11c%-20s%-20c%s\n", 3.04, ' ', "OBSERVATION DATA", 'M', "RINEX VERSION / TYPE")
                    .toLatin1());
        f.write(QString("%1SYS / # / OBS TYPES\n").arg("G    1 C1C", -60).toLatin1());
        f.write(QString("%1END OF HEADER\n").arg(QString(), 60).toLatin1());
    }
    writeEarlier();
    const QStringList before = folder();
    EXPECT_EQ(Run(Path("notrinex.24O"), sOutput), CONVERT_ERR_RINEX_READ);
    EXPECT_EQ(read(sOutput), kEarlier);
    EXPECT_EQ(Run(Path("noepoch.24O"), sOutput), CONVERT_OK);
    EXPECT_EQ(m_Worker.m_nOutputBytes, 0u);
    EXPECT_EQ(read(sOutput), kEarlier) << "nothing converted replaces nothing";
    EXPECT_EQ(folder(), before);

    // A device node given as the output is written to and never removed: a
    // null device of the test's own (made where the test may; a fault here
    // must not cost the machine its /dev/null).
    struct stat st
    {
    };
    const QString sGood = QString::fromLatin1(ZV_TEST_DATA_DIR "/engine/range_text_304_obs.rnx");
    ASSERT_TRUE(QFile::copy(sGood, Path("good.24O")));
    const QByteArray sNull = QFile::encodeName(Path("null"));
    if (::mknod(sNull.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
    {
        for (const char* pSource : {"notrinex.24O", "good.24O"})
        {
            EXPECT_EQ(Run(Path(pSource), Path("null")), pSource[0] == 'g' ? CONVERT_OK : CONVERT_ERR_RINEX_READ);
            ASSERT_EQ(::stat(sNull.constData(), &st), 0) << pSource;
            EXPECT_TRUE(S_ISCHR(st.st_mode)) << pSource;
        }
        EXPECT_GT(m_Worker.m_nOutputBytes, 0u);
        ::unlink(sNull.constData());
    }
    else
        std::printf("no device node could be made here: the device case is not run\n");
    EXPECT_EQ(Run(Path("good.24O"), sOutput), CONVERT_OK);
    const QByteArray converted = read(sOutput);
    EXPECT_TRUE(converted.startsWith("#RANGEA,")) << converted.left(80).constData();
    EXPECT_EQ(qint64(m_Worker.m_nOutputBytes), converted.size());
    EXPECT_NE(converted, kEarlier);
    ASSERT_EQ(::stat(QFile::encodeName(sOutput).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    QStringList after = folder();
    after.removeAll("good.24O");
    EXPECT_EQ(after, before);

    // A new output gets the mode the umask leaves, as any file created here.
    const mode_t nUmask = ::umask(027);
    EXPECT_EQ(Run(Path("good.24O"), Path("new.log")), CONVERT_OK);
    ::umask(nUmask);
    ASSERT_EQ(::stat(QFile::encodeName(Path("new.log")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

