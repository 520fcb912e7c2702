// The script runner with real python3 scripts written by the tests: the
// keyword protocol over whole lines (several in one write, one cut across two
// writes), commands to the port, input asked without blocking, port bytes
// sampled unchanged onto the script's standard input, and scripts that exit,
// fail, hang or cannot start, each ending cleanly with a message and leaving
// the runner ready for the next one.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "monitor/shell/script_process.h"
#include "support/scripted_prompt.h"

using namespace std::string_literals;

namespace
{
// python3 can take seconds to start on a loaded machine; every wait ends as
// soon as its condition holds.
constexpr int kWaitMs = 30000;

class ScriptRun : public ::testing::Test
{
protected:
    // Writes a script and starts it in the runner.
    void Start(const QString& sBody)
    {
        const QString sPath = m_Dir.filePath(QStringLiteral("s%1.py").arg(++m_nScripts));
        QFile f(sPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("import sys, time\n" + sBody.toUtf8());
        f.close();
        m_Runner.m_sScriptPath = sPath;
        m_Runner.OnStartProcess();
    }
    bool WaitFinished(int nMs = kWaitMs)
    {
        return QTest::qWaitFor([&] { return m_Finished.count() > m_nFinishedSeen; }, nMs) && ++m_nFinishedSeen;
    }

    QTemporaryDir m_Dir;
    int m_nScripts = 0;
    int m_nFinishedSeen = 0;
    CScriptedPrompt m_Prompt;
    QScriptProcess m_Runner;
    QSignalSpy m_Finished{&m_Runner, &QScriptProcess::SignalScriptFinishStop};
    QSignalSpy m_Commands{&m_Runner, &QScriptProcess::SignalSendCMD};
};
} // namespace

TEST_F(ScriptRun, KeywordLinesAreServedWholeHoweverTheyArriveAndTheScriptsExitIsReported)
{
    int nView = 0;
    m_Runner.m_pTxView = &nView;
    Start(QStringLiteral("w = sys.stdout.write\n"
                         // Several keyword lines in one write.
                         "w('$$PrintCMD@#$@:log version\\n$$PrintResult@#$@:ok\\n$$PrintWarning@#$@:low CN0\\n'\n"
                         "  '$$InputCfgFilePath@#$@:/tmp/a b.cfg\\nplain text\\n$$PrintCMD\\n$$PrintResult@#$@:\\n')\n"
                         "sys.stdout.flush()\n"
                         // A line cut across two writes.
                         "w('$$PrintCMD@#$@:log best'); sys.stdout.flush(); time.sleep(0.3)\n"
                         "w('posa ontime 1\\n'); sys.stdout.flush()\n"
                         // Ending and a result in one line: the sample ends, no result is printed.
                         "w('$$SampleDataLogEnd $$PrintResult@#$@:hidden\\n')\n"
                         // The end of the sample is answered on standard input, as a script
                         // that asked for one waits for it; exiting first would leave the
                         // answer to a closed pipe.
                         "sys.stdout.flush(); sys.stdin.readline()\n"
                         // Zero bytes end neither a line nor what follows them.
                         "sys.stderr.write('trou\\0ble\\n')\n"
                         // The last line has no end.
                         "w('b\\0ye')\n"
                         "sys.exit(3)\n"));
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_Finished.at(0).at(0).toBool(), true);
    ASSERT_EQ(m_Commands.count(), 2);
    EXPECT_EQ(m_Commands.at(0).at(0).value<void*>(), &nView);
    EXPECT_EQ(m_Commands.at(0).at(1).toString(), QStringLiteral("log version\r\n"));
    EXPECT_EQ(m_Commands.at(1).at(1).toString(), QStringLiteral("log bestposa ontime 1\r\n"));
    const std::string sDebug = m_Runner.TakeOutputText().toStdString();
    EXPECT_EQ(sDebug, std::string("CMD:log version\r\nResult:\r\nok\r\nWarning:low CN0\r\nConfig File:/tmp/a b.cfg\r\n"
                                  "plain text\nCMD get error\r\nResult get error\r\nCMD:log bestposa ontime 1\r\n"
                                  "Standard Error: trou"s +
                                  '\0' + "ble\nb"s + '\0' + "yeExit code:3 exit status:0\n"));
    EXPECT_TRUE(m_Runner.TakeOutputText().isEmpty()) << "taken once";
    EXPECT_FALSE(m_Runner.m_bRunning);
    EXPECT_TRUE(m_Runner.m_sCfgFilePath.isEmpty()) << "forgotten with the script";
}

TEST_F(ScriptRun, SampledPortBytesReachTheScriptUnchanged)
{
    // The script asks for one second of port data, then reports the bytes it
    // got, as hex, up to the end marker. The test ends the second itself.
    m_Runner.SetSecondLength(60000);
    Start(QStringLiteral("print('$$InputSampleData@#$@:1', flush=True)\n"
                         "data = b''\n"
                         "while not data.endswith(b'EOF\\r\\n '):\n"
                         "    chunk = sys.stdin.buffer.read1(65536)\n"
                         "    if not chunk: break\n"
                         "    data += chunk\n"
                         "print('$$PrintResult@#$@:' + data.hex(), flush=True)\n"
                         // The delimited form, ended by the script itself.
                         "print('$$SampleDataLogStart', flush=True)\n"
                         "time.sleep(0.5)\n"
                         "print('$$SampleDataLogEnd', flush=True)\n"
                         "data = b''\n"
                         "while not data.endswith(b'EOF\\r\\n '):\n"
                         "    data += sys.stdin.buffer.read1(65536)\n"
                         "print('$$PrintResult@#$@:' + data.hex(), flush=True)\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_Runner.m_bSampling; }, kWaitMs));
    EXPECT_TRUE(m_Runner.m_pSampleTimer->isActive());
    EXPECT_EQ(m_Runner.m_pSampleTimer->interval(), 60000);
    const QByteArray binary("\xAA\x44\x12\x1C\x00\xFF\x80\xC3\r\n", 10);
    m_Runner.AppendSampleData(binary);
    m_Runner.AppendSampleData(QByteArray("$GPGGA,1*00\r\n"));
    m_Runner.OnGetSampleDataFinish(); // as the timer does at its end
    EXPECT_FALSE(m_Runner.m_bSampling);
    m_Runner.AppendSampleData(QByteArray("after the period"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_Runner.m_bSampling; }, kWaitMs));
    m_Runner.AppendSampleData(binary);
    ASSERT_TRUE(WaitFinished());
    const QString sDebug = m_Runner.TakeOutputText();
    EXPECT_TRUE(sDebug.startsWith(QStringLiteral("Sample Data Time : 1\n")));
    const QString sFirst = QString::fromLatin1((binary + "$GPGGA,1*00\r\nEOF\r\n ").toHex());
    const QString sSecond = QString::fromLatin1((binary + "EOF\r\n ").toHex());
    EXPECT_TRUE(sDebug.contains(QStringLiteral("Result:\r\n") + sFirst + "\r\n")) << sDebug.toStdString();
    EXPECT_TRUE(sDebug.contains(QStringLiteral("Result:\r\n") + sSecond + "\r\n")) << sDebug.toStdString();
}

TEST_F(ScriptRun, InputAndWarningsAreAskedWithoutWaiting)
{
    m_Prompt.Texts.push_back(QStringLiteral("3 Hz 北"));
    Start(QStringLiteral("print('$$WarningMessageBox@#$@:Check$$$Antenna cable', flush=True)\n"
                         "print('$$WarningMessageBox@#$@:no text', flush=True)\n"
                         "print('$$GetInputPara@#$@:Rate$$$Output rate:', flush=True)\n"
                         "answer = sys.stdin.buffer.readline().decode('utf-8')\n"
                         "print('$$PrintResult@#$@:got ' + repr(answer), flush=True)\n"
                         "print('$$GetInputPara', flush=True)\n"));
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_Prompt.Messages, QStringList({"Check|Antenna cable"}));
    EXPECT_EQ(m_Prompt.Choosers, QStringList({"Rate"}));
    // The lines themselves go to the debug window too, after their error texts.
    const std::string sDebug = m_Runner.TakeOutputText().toStdString();
    EXPECT_EQ(sDebug, "$$WarningMessageBox@#$@:Check$$$Antenna cable\n"
                      "WarningMessageBox error$$WarningMessageBox@#$@:no text\n"
                      "$$GetInputPara@#$@:Rate$$$Output rate:\n"
                      "Result:\r\ngot '3 Hz 北\\r\\n'\r\n"
                      "get inpput param get error$$GetInputPara\n"
                      "Exit code:0 exit status:0\n");
}

TEST_F(ScriptRun, AScriptThatHangsOrCannotStartEndsCleanlyAndTheNextOneRuns)
{
    // Hangs: the watchdog ends it.
    Start(QStringLiteral("print('waiting', flush=True)\ntime.sleep(60)\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_Runner.m_bRunning; }, kWaitMs));
    EXPECT_TRUE(m_Runner.m_pProcess != nullptr);
    QElapsedTimer clock;
    clock.start();
    m_Runner.OnsetTimer(300);
    ASSERT_TRUE(WaitFinished());
    EXPECT_LT(clock.elapsed(), kWaitMs); // the script would sleep 60 s
    EXPECT_FALSE(m_Runner.m_bRunning);
    EXPECT_TRUE(m_Runner.TakeOutputText().contains(QStringLiteral("Script stopped: it ran longer than 300 ms\n")));

    // Stopped by the user, then started again.
    Start(QStringLiteral("time.sleep(60)\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_Runner.m_bRunning; }, kWaitMs));
    m_Runner.OnStopProcess();
    EXPECT_FALSE(m_Runner.m_bRunning);
    Start(QStringLiteral("print('$$PrintResult@#$@:again', flush=True)\n"));
    ASSERT_TRUE(WaitFinished());
    EXPECT_TRUE(m_Runner.TakeOutputText().contains(QStringLiteral("Result:\r\nagain\r\n")));

    // No interpreter: a message, and the runner is idle.
    QScriptProcess::SetInterpreter(m_Dir.filePath(QStringLiteral("no-python")));
    Start(QStringLiteral("print('never')\n"));
    ASSERT_TRUE(WaitFinished());
    QScriptProcess::SetInterpreter(QString());
    const QString sDebug = m_Runner.TakeOutputText();
    EXPECT_TRUE(sDebug.startsWith(QStringLiteral("OnErrorOccured!!"))) << sDebug.toStdString();
    EXPECT_TRUE(sDebug.contains(QStringLiteral("no-python"))) << sDebug.toStdString();
    EXPECT_FALSE(m_Runner.m_bRunning);
    EXPECT_EQ(m_Runner.m_pProcess, nullptr);
}
