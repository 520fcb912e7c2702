// The factory reset window: resets the receiver of the current port to its
// factory settings, brings a serial line back to 115200 baud, and, when asked,
// sends the receiver's own message output and user configuration to it again
// as they stood before the reset.
//
// The whole sequence belongs to the port where it started: the log list and
// user configuration are asked of that port, read from its replies before the
// reset, and replayed to it by its ID, even if the user switches tabs while
// it runs. When the replies do not come, the receiver is not reset, so that
// no setting is lost. Every wait is a timer (SetWaits shortens them); nothing
// waits in a nested event loop.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>

class CPortTab;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QStatusMsgParser;
class QTimer;

class QFresetConfig : public QDialog
{
    Q_OBJECT

public:
    explicit QFresetConfig(QWidget* pParent = nullptr);
    ~QFresetConfig() override;

    const CPortTab* m_pPortTab = nullptr; // set by the main window

    // The wait for the replies asked before the reset (checked every nReplyMs,
    // given up after nReplyLimitMs) and the wait from the reset to the replay.
    void SetWaits(int nReplyMs, int nReplyLimitMs, int nRestartMs);
    // Whether a sequence is under way; OK does nothing then.
    bool IsRunning() const { return m_bRunning; }

signals:
    // Each status request of the sequence (STATUS_MSG_MASK_E bits: 4 log
    // list, 1 user configuration, 256 factory reset; 0 asks nothing).
    void SignalFresetOkBtnClicked(uint Mask);
    // The same requests for the tab of the port the sequence runs on; wired
    // to the tab set's OnRequestItem.
    void SignalRequestItem(int PortIndex, uint Mask);
    // A serial port's new rate for the tab of that port; wired to the tab set's OnSetBaudrateTab.
    void SignalSetBaudrate(uint Baudrate, int PortIndex);
    // The settings sent again, for the port the sequence ran on.
    void SignalSendCMD(uint UniquePortID, QByteArray WriteData);

public slots:
    void OnSignalOKBtnClicked();
    void OnCloseWindow();
    // The wait after the reset is over: the settings go to the receiver again.
    void OnFresetFinished();
    // The sequence's tail alone, on the current port: the rate and the replay
    // of what its replies hold now.
    void OnFresetAction();
    // The stored user configuration lines as the commands that set them again.
    QString Userconfig(QStringList StatusMsgList);
    void OnLanguageUpdate();

private:
    // The wait for the replies is over or goes on.
    void OnRepliesWaited();
    void Request(uint Mask);
    // Resets the receiver, sets a serial line to 115200 baud and starts the
    // wait for the replay.
    void StartReset();
    // The LOG lines of the log list and the rewritten user configuration, as ticked.
    QString BuildReplay(const QStatusMsgParser& Store);
    void Finish();
    void Report(const QString& sTitle, const QString& sText);

    QGroupBox* m_pGroupBox = nullptr;
    QCheckBox* m_pUserConfig = nullptr;
    QCheckBox* m_pMsgConfig = nullptr;
    QPushButton* m_pOkBtn = nullptr;
    QPushButton* m_pCancelBtn = nullptr;
    QTimer* m_pFresetTimer = nullptr;
    QTimer* m_pReplyTimer = nullptr;
    int m_nReplyMs = 2000;
    int m_nReplyLimitMs = 20000;
    int m_nRestartMs = 10000;
    int m_nWaitedMs = 0;
    bool m_bRunning = false;
    bool m_bUser = false;
    bool m_bMsg = false;
    uint m_PortID = 0;
    QString m_sReplay;
};
