// Replay of a recorded log as a port: blocks at the replay speed, pause and
// resume, jumps that stay inside the file, stop and start, and one report when
// the end of the file is reached.
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "monitor/ports/file_port_ctrl.h"
#include "monitor/ports/port_manager.h"
#include "support/monitor/handed_over.h"

namespace
{
// A recorded log: numbered text lines, cut to the size asked for.
QByteArray RecordedLog(int nSize)
{
    QByteArray log;
    for (int i = 0; log.size() < nSize; ++i)
    {
        log += "#BESTPOSA,COM1,0,55.0,FINESTEERING,2200," + QByteArray::number(i) + ".000;SOL_COMPUTED*1a2b3c4d\r\n";
    }
    return log.left(nSize);
}

class FileReplay : public ::testing::Test
{
protected:
    QString Write(const QByteArray& Data)
    {
        const QString sPath = m_Dir.filePath(QStringLiteral("rover.log"));
        QFile f(sPath);
        f.open(QIODevice::WriteOnly);
        f.write(Data);
        return sPath;
    }
    REPLAY_CONFIG_T Config(const QString& sPath, uint nSpeed = 100, qint64 nStart = 0)
    {
        REPLAY_CONFIG_T c;
        c.FileName = QStringLiteral("rover.log");
        c.FilePath = sPath;
        c.Speed = nSpeed;
        c.StartOffset = nStart;
        c.PositionMessageType = 4;
        return c;
    }
    QTemporaryDir m_Dir;
};

} // namespace

TEST_F(FileReplay, JumpsStayInsideTheFileAndTheEndIsSaidOnce)
{
    const QByteArray log = RecordedLog(100000);
    REPLAY_CONFIG_T config = Config(Write(log));
    QZvFilePortCtrl ctrl;
    ASSERT_EQ(ctrl.SetPortConfig(&config), 0);
    QSignalSpy data(&ctrl, &QZvPortCtrlBase::SignalUpdateUI);
    QSignalSpy end(&ctrl, &QZvFilePortCtrl::SignalReplayEnd);

    ctrl.OnJumpReplay(false);
    EXPECT_EQ(ctrl.GetReadCount(), 0) << "no jump before the start";
    ctrl.OnUpdateStatus();
    ASSERT_EQ(data.count(), 1);
    EXPECT_EQ(data.at(0).at(2).toByteArray(), log.left(4096));
    EXPECT_EQ(data.at(0).at(1).value<QZvPortCtrlBase::PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_REPLAY);

    ctrl.OnJumpReplay(true);
    EXPECT_EQ(ctrl.GetReadCount(), 4096 + 5000);
    ctrl.OnUpdateStatus();
    EXPECT_EQ(data.at(1).at(2).toByteArray(), log.mid(9096, 4096));

    for (int i = 0; i < 30; ++i)
    {
        ctrl.OnJumpReplay(true);
    }
    EXPECT_EQ(ctrl.GetReadCount(), 100000) << "clamped at the end";
    ctrl.OnUpdateStatus();
    ctrl.OnUpdateStatus();
    EXPECT_EQ(data.count(), 2);
    EXPECT_EQ(end.count(), 1);

    ctrl.OnJumpReplay(false);
    EXPECT_EQ(ctrl.GetReadCount(), 95000);
    for (int i = 0; i < 3; ++i)
    {
        ctrl.OnUpdateStatus();
    }
    EXPECT_EQ(Joined(data).right(5000), log.right(5000));
    EXPECT_EQ(end.count(), 2) << "reaching the end again is said again";

    for (int i = 0; i < 30; ++i)
    {
        ctrl.OnJumpReplay(false);
    }
    EXPECT_EQ(ctrl.GetReadCount(), 0) << "clamped at the start";
}

TEST_F(FileReplay, StartOffsetAtTheEndYieldsNoData)
{
    REPLAY_CONFIG_T config = Config(Write(RecordedLog(5000)), 100, 5000);
    QZvFilePortCtrl ctrl;
    ASSERT_EQ(ctrl.SetPortConfig(&config), 0);
    QSignalSpy data(&ctrl, &QZvPortCtrlBase::SignalUpdateUI);
    QSignalSpy end(&ctrl, &QZvFilePortCtrl::SignalReplayEnd);
    ctrl.OnUpdateStatus();
    ctrl.OnUpdateStatus();
    EXPECT_EQ(data.count(), 0);
    EXPECT_EQ(end.count(), 1);

    config.StartOffset = 999999; // beyond the file
    QZvFilePortCtrl beyond;
    ASSERT_EQ(beyond.SetPortConfig(&config), 0);
    QSignalSpy none(&beyond, &QZvPortCtrlBase::SignalUpdateUI);
    beyond.OnUpdateStatus();
    EXPECT_EQ(none.count(), 0);
}

TEST_F(FileReplay, ConfigurationAndStopStart)
{
    const QByteArray log = RecordedLog(6000);
    REPLAY_CONFIG_T missing = Config(m_Dir.filePath(QStringLiteral("missing.log")));
    QZvFilePortCtrl none;
    EXPECT_EQ(none.SetPortConfig(&missing), 1);
    EXPECT_EQ(none.ClosePort(), 1);

    REPLAY_CONFIG_T config = Config(Write(log), 0, 1000);
    QZvFilePortCtrl ctrl;
    ASSERT_EQ(ctrl.SetPortConfig(&config), 0);
    EXPECT_EQ(ctrl.GetTimerInterval(), QZvFilePortCtrl::MIN_SPEED_MS) << "speed 0 would be a busy loop";
    EXPECT_EQ(ctrl.GetPortName(), "rover.log");
    EXPECT_EQ(ctrl.GetReplayConfig().PositionMessageType, 4u);
    EXPECT_EQ(ctrl.GetFileSize(), 6000);
    ctrl.OnSetTimeInterval(true);
    EXPECT_EQ(ctrl.GetTimerInterval(), QZvFilePortCtrl::MIN_SPEED_MS) << "the replay keeps its speed";

    QSignalSpy data(&ctrl, &QZvPortCtrlBase::SignalUpdateUI);
    ctrl.OnUpdateStatus();
    EXPECT_EQ(Joined(data), log.mid(1000, 4096));
    ctrl.OnStopReplay(true);
    EXPECT_TRUE(ctrl.IsStopped());
    ctrl.OnUpdateStatus();
    EXPECT_EQ(data.count(), 1);
    EXPECT_EQ(ctrl.DisconnectPort(), 1) << "no file open";
    // Start after a stop begins again at the start offset.
    ctrl.OnStopReplay(false);
    ctrl.OnUpdateStatus();
    ASSERT_EQ(data.count(), 2);
    EXPECT_EQ(data.at(1).at(2).toByteArray(), log.mid(1000, 4096));
}

TEST_F(FileReplay, ReplaysAtItsSpeedWithPauseThroughTheManager)
{
    const QByteArray log = RecordedLog(40960);
    REPLAY_CONFIG_T config = Config(Write(log), 20);
    QZvPortManager manager;
    QSignalSpy added(&manager, &QZvPortManager::SignalPostAddPort);
    ASSERT_EQ(manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_REPLAY, &config), 0);
    ASSERT_EQ(added.count(), 1);
    auto* pCtrl = qobject_cast<QZvFilePortCtrl*>(added.at(0).at(2).value<QZvPortCtrlBase*>());
    ASSERT_NE(pCtrl, nullptr);
    QSignalSpy data(pCtrl, &QZvPortCtrlBase::SignalUpdateUI);
    QSignalSpy end(pCtrl, &QZvFilePortCtrl::SignalReplayEnd);
    QElapsedTimer clock;
    clock.start();

    ASSERT_TRUE(data.wait(20000));
    QMetaObject::invokeMethod(pCtrl, [pCtrl] { pCtrl->OnPauseReplay(true); });
    QTest::qWait(150);
    const int paused = data.count();
    QMetaObject::invokeMethod(pCtrl, [pCtrl] { pCtrl->OnPauseReplay(true); });
    QTest::qWait(100);
    EXPECT_EQ(data.count(), paused) << "pausing twice stays paused";
    EXPECT_LT(paused, 10);
    QMetaObject::invokeMethod(pCtrl, [pCtrl] { pCtrl->OnPauseReplay(false); });

    ASSERT_TRUE(end.count() == 1 || end.wait(20000));
    EXPECT_EQ(data.count(), 10) << "4096 bytes per tick";
    EXPECT_EQ(Joined(data), log);
    // Ten ticks of 20 ms plus the 250 ms paused.
    EXPECT_GE(clock.elapsed(), 9 * 20 + 250);
    QTest::qWait(100);
    EXPECT_EQ(end.count(), 1);
    EXPECT_EQ(data.count(), 10);
    EXPECT_EQ(pCtrl->GetReadCount(), 40960);

    manager.DeletePortCtrl(added.at(0).at(0).toUInt());
    EXPECT_EQ(manager.GetPortCtrl(added.at(0).at(0).toUInt()), nullptr);
}
