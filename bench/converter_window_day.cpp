// A day through the converter's window, as a user converts it: the day of
// day_source.h (74 MB of 1 Hz RANGECMP logs of every system) typed into the
// range-log page, its scan, then "Convert" to RINEX 3.04 with the window's
// outputs beside the source, until the job's message. Each run writes new
// output files, as a first conversion does. Counters: the scan and the
// conversion apart, the I/O floor (the source read and as many bytes as the
// job wrote put on the disk) measured between the runs, and the whole as a
// multiple of it. One run per repetition; the figures are the median of as
// many repetitions as the command line asks for:
//   build/release/bench/bench_converter --benchmark_filter=EveryGnssDayThroughWindow --benchmark_repetitions=30
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

#include "codec/text_helpers.h"
#include "converter/engine/ephem_dump.h"
#include "converter/ui/moxelin_main_window.h"
#include "converter/ui/user_prompt.h"
#include "day_source.h"

namespace
{
using namespace daybench;

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_converter";
    static char* argv[] = {name, nullptr};
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// Keeps the message that ends a job instead of showing a modal box.
class CLastMessage : public CUserPrompt
{
public:
    void Message(QWidget*, QMessageBox::Icon, const QString& sTitle, const QString& sText) override
    {
        m_sTitle = sTitle;
        m_sText = sText;
        ++m_nCount;
    }
    QString m_sTitle, m_sText;
    int m_nCount = 0;
};

template <typename T> T* Find(QWidget* pWindow, const char* pName)
{
    return pWindow->findChild<T*>(QString::fromLatin1(pName));
}

// Runs the event loop until bDone holds or two minutes pass. The loop sleeps
// between events, as the window's does (the progress reports wake it).
template <typename Fn> bool WaitFor(Fn bDone)
{
    QElapsedTimer timer;
    timer.start();
    while (!bDone())
    {
        if (timer.elapsed() > 120000)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The files a conversion of the source leaves beside it: the outputs the
// window proposes and the ephemeris dumps.
QStringList JobFiles(CMoxelinMainWindow* pWindow)
{
    QStringList files;
    for (const char* pField : {"Range2RnxObsFilePath", "Range2RnxGPSNavFilePath", "Range2RnxGLONavFilePath",
                               "Range2RnxGALNavFilePath", "Range2RnxBDSNavFilePath", "Range2RnxQZSNavFilePath"})
        files << Find<QLineEdit>(pWindow, pField)->text();
    const QString sDir = QFileInfo(files.front()).absolutePath();
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
        if (const char* pDump = EphemDumpFileName(s))
            files << QDir(sDir).filePath(QString::fromLatin1(pDump));
    return files;
}

void BM_EveryGnssDayThroughWindow(benchmark::State& state)
{
    App();
    const std::string sSrc = DayFile();
    QTemporaryDir config;
    if (sSrc.empty() || !config.isValid())
    {
        state.SkipWithError("cannot write the day file");
        return;
    }
    SetCodecConfigDir(QFile::encodeName(config.path()).constData());
    CLastMessage prompt;
    SetUserPrompt(&prompt);
    auto pWindow = std::make_unique<CMoxelinMainWindow>();
    pWindow->show();
    Find<QComboBox>(pWindow.get(), "RnxVersion")->setCurrentText("3.04");
    Find<QComboBox>(pWindow.get(), "Range2RinexMsgID")->setCurrentText("RANGECMP");
    QLineEdit* pSource = Find<QLineEdit>(pWindow.get(), "Range2RnxSrcFilePath");
    QPushButton* pConvert = Find<QPushButton>(pWindow.get(), "Range2RnxMoxelinBtn");
    const std::string sFloorOut = BenchDir() + "/zv_every_gnss_window_floor.out";

    double dScanMs = 0.0, dConvertMs = 0.0, dFloorMs = 0.0, dTotalMs = 0.0;
    long nOutBytes = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        pSource->clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();

        QElapsedTimer timer;
        timer.start();
        pSource->setText(QString::fromStdString(sSrc));
        if (!WaitFor([&] { return !pWindow->EngineBusy(); }))
        {
            state.SkipWithError("the scan did not end");
            break;
        }
        const qint64 nScanNs = timer.nsecsElapsed();
        // The outputs of an earlier run go, as on a first conversion. The
        // window empties its fields when the job succeeds.
        state.PauseTiming();
        const QStringList files = JobFiles(pWindow.get());
        for (const QString& sFile : files)
            QFile::remove(sFile);
        state.ResumeTiming();
        const qint64 nConvertStart = timer.nsecsElapsed();
        const int nMessages = prompt.m_nCount;
        pConvert->click();
        if (!WaitFor([&] { return prompt.m_nCount > nMessages; }) || prompt.m_sTitle != "Success")
        {
            state.SkipWithError(("the job ended with: " + prompt.m_sText).toStdString().c_str());
            break;
        }
        const qint64 nEnd = timer.nsecsElapsed();

        state.PauseTiming();
        nOutBytes = 0;
        for (const QString& sFile : files)
            nOutBytes += QFileInfo(sFile).size();
        QElapsedTimer floor;
        floor.start();
        if (!ReadSourceWriteOutput(sSrc, sFloorOut, nOutBytes))
            state.SkipWithError("cannot measure the I/O floor");
        dFloorMs = floor.nsecsElapsed() / 1e6;
        state.ResumeTiming();
        dScanMs = nScanNs / 1e6;
        dConvertMs = (nEnd - nConvertStart) / 1e6;
        dTotalMs = dScanMs + dConvertMs;
    }
    state.counters["scan_ms"] = dScanMs;
    state.counters["convert_ms"] = dConvertMs;
    state.counters["io_floor_ms"] = dFloorMs;
    state.counters["x_io_floor"] = dFloorMs > 0.0 ? dTotalMs / dFloorMs : 0.0;
    state.counters["output_MB"] = nOutBytes / 1e6;
    state.SetBytesProcessed(state.iterations() * FileSize(sSrc));
    pWindow.reset();
    SetUserPrompt(nullptr);
    SetCodecConfigDir(nullptr);
}
BENCHMARK(BM_EveryGnssDayThroughWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
} // namespace
