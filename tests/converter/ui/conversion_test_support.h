// The main window driven as a user drives it: files chosen through the file
// dialog seam, buttons pressed, and bounded waits for the scan, the job and
// the message that ends each. Source logs are built with the engine tests'
// fixture builders.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstring>
#include <memory>

#include "converter/engine/engine_state.h"
#include "converter/engine/range_source_fixture.h"
#include "converter/engine/rinex_nav.h"
#include "converter/engine/rinex_obs_header.h"
#include "converter/engine/work_thread.h"
#include "converter/ui/moxelin_main_window.h"
#include "window_test_support.h"

// Long enough for a scan or a job of the small fixture sources on a loaded
// machine; the waits end as soon as the condition holds.
constexpr int kWaitMs = 20000;

class ConversionTest : public ConverterUiTest
{
protected:
    void SetUp() override
    {
        ConverterUiTest::SetUp();
        ASSERT_TRUE(m_Dir.isValid());
    }
    void TearDown() override
    {
        m_pWindow.reset();
        ConverterUiTest::TearDown();
    }
    // The state of the window's jobs: header records, leap value.
    CConvertContext& JobContext() { return m_pWindow->JobContext(); }

    // The window, with a worker of the test's own when one is given.
    void Open(CWorkThread* pWorker = nullptr)
    {
        m_pWindow = std::make_unique<CMoxelinMainWindow>(nullptr, pWorker);
        DeliverLanguageChange();
        m_pWindow->show();
    }

    template <typename T> T* W(const char* pName) { return Find<T>(m_pWindow.get(), pName); }
    QString Path(const QString& sName) const { return QDir(m_Dir.path()).filePath(sName); }
    QString Text(const char* pField) { return W<QLineEdit>(pField)->text(); }

    QString Write(const QString& sName, const SourceFile& src)
    {
        const QString sPath = Path(sName);
        src.Write(sPath.toStdString());
        return sPath;
    }
    QString Write(const QString& sName, const QByteArray& bytes)
    {
        const QString sPath = Path(sName);
        QFile file(sPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return sPath;
    }
    static QByteArray Read(const QString& sPath)
    {
        QFile file(sPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Presses a button that shows a file dialog, and picks sPath in it.
    void Choose(const char* pButton, const QString& sPath)
    {
        m_Prompt.m_Answers = {sPath};
        W<QPushButton>(pButton)->click();
    }

    // Chooses a page 1 source and waits until its scan has been applied.
    void Load(const QString& sPath)
    {
        Choose("Range2RnxOpenBtn", sPath);
        ASSERT_TRUE(WaitFor([this] { return !m_pWindow->EngineBusy(); }, kWaitMs));
        QCoreApplication::processEvents();
    }

    // Waits for the message that ends a job (or a refused start) and returns it.
    CFakePrompt::Call WaitForMessage()
    {
        const size_t nBefore = m_nMessagesSeen;
        EXPECT_TRUE(WaitFor([&] { return Messages() > nBefore; }, kWaitMs)) << "no message ended the job";
        m_nMessagesSeen = Messages();
        QCoreApplication::processEvents();
        for (auto it = m_Prompt.m_Calls.rbegin(); it != m_Prompt.m_Calls.rend(); ++it)
            if (it->sKind == "message")
                return *it;
        return {};
    }
    size_t Messages() const
    {
        size_t n = 0;
        for (const CFakePrompt::Call& call : m_Prompt.m_Calls)
            n += call.sKind == "message";
        return n;
    }

    // Presses a page's convert button and waits for the job's message.
    CFakePrompt::Call Convert(const char* pButton)
    {
        W<QPushButton>(pButton)->click();
        return WaitForMessage();
    }

    QTemporaryDir m_Dir;
    std::unique_ptr<CMoxelinMainWindow> m_pWindow;
    size_t m_nMessagesSeen = 0;
};

// A worker whose jobs end with a status the test chooses, after reading
// nothing and reporting an output written; it records the job it was handed.
class CStatusWorker : public CWorkThread
{
public:
    std::atomic<int> m_nStatus{0};
    std::atomic<int> m_nJobs{0};
    std::atomic<uint32_t> m_nDroppedPhases{0}; // what the job reports its compression dropped

protected:
    int RunRange2Rnx() override { return Finish(); }
    int RunRnx2Range() override { return Finish(); }
    int RunLog2Log() override { return Finish(); }

private:
    int Finish()
    {
        ++m_nJobs;
        m_Phases.nDropped = m_nDroppedPhases;
        m_nOutputBytes = 1; // as a job that converted something
        return m_nStatus;
    }
};

// A worker whose jobs run until they are told to stop, each after creating
// its output as a job that is cut short leaves it.
class CBlockingJobWorker : public CWorkThread
{
public:
    std::atomic<bool> m_bRunning{false};

protected:
    int RunRange2Rnx() override { return Block(m_sObsFilePath); }
    int RunRnx2Range() override { return Block(m_sOutFilePath); }
    int RunLog2Log() override { return Block(m_sOutFilePath); }

private:
    int Block(const QString& sOutput)
    {
        QFile file(sOutput);
        if (file.open(QIODevice::WriteOnly))
            file.write("partial");
        file.close();
        m_bRunning = true;
        while (!StopRequested())
            QThread::msleep(1);
        return 0;
    }
};
