// The NVM log dump dialog ("NVM Log"): downloads the log that the receiver of
// a port keeps in its non-volatile memory into the port's log file. On a
// serial port it asks the receiver how large the stored log is (and takes the
// answer when it comes) and stops its other output; "OK" sets the chosen rate, has the port log to a file of the
// user's and asks for the dump, keeping or deleting the stored data; progress
// follows the file's growth, and the dump ends when the port's receive road
// sees the receiver's completion line.
//
// The dialog works on the port that was current when it was opened, by its
// ID. Every wait is a timer: "Cancel" ends a dump at any moment, and a port
// that goes away ends it too; a dump that ends early says so and keeps, in the
// closed file, every byte that arrived.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

class CPortTab;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

class QNvmLogDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QNvmLogDiag(QWidget* pParent = nullptr);
    ~QNvmLogDiag() override;

    CPortTab* m_pPortTab = nullptr; // set by the main window

    uint PortID() const { return m_PortID; }
    bool IsDumping() const { return m_bDumping; }
    QString DumpCommand() const { return m_sNvmCmd; }
    qint64 ExpectedSize() const { return m_nExpectedSize; }
    // How long the log file is given to open, and the progress period.
    void SetWaitMs(int nMs) { m_nWaitMs = nMs; }
    void SetProgressMs(int nMs) { m_ProgressTimer.setInterval(nMs); }

signals:
    void SignalSendNvmCommand(uint UniquePortID, QByteArray SendData);
    void SignalSendNavdumpMask(uint mask);
    void SignalNavSetBaud(uint Baudrate, int portindex);
    // Asks for the log file of that port and has it log.
    void SignalNvmSetFileName(uint UniquePortID);

public slots:
    void OnShowDialog();
    // The delete choice: "nvmdump" or "nvmdump keep".
    void OnGetNvmCmd();
    void OnOkButtonClick();
    // The progress from the size of the growing log file.
    void OnTimeOut();
    void OnNvmComplete();
    // Ends a dump before the receiver said it was complete.
    void OnCancelButtonClick();
    void OnLanguageUpdate();

private slots:
    // The stored log's size, once the dialog's port has answered.
    void OnStatusReply(uint Mask);
    void OnStartWaitOver();
    void OnPortNvmComplete(uint UniquePortID);
    void OnPortClosing(int Index);

private:
    int PortIndex() const;
    void ConnectTabs();
    // Stops the dump's timers and watch, closes the port's file if the port
    // is there, and says how many bytes were kept where.
    void EndEarly(const QString& sWhy);
    void Idle();

    QLabel* m_pBaudLabel = nullptr;
    QComboBox* m_pBaudBox = nullptr;
    QCheckBox* m_pDeleteBox = nullptr;
    QLabel* m_pProgressLabel = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;
    QStringList m_BaudList;
    uint m_CurBaudRate = 115200;
    QString m_sNvmCmd = QStringLiteral("nvmdump keep\r\n");
    qint64 m_nExpectedSize = 0;
    quint64 m_nLoggedSize = 0;
    QString m_sLogFile;
    QTimer m_StartTimer; // looks whether the log file is open, until m_nWaitMs have passed
    QElapsedTimer m_StartClock;
    bool m_bWasLogging = false; // the port logged already: its answer to closing that file shows after the wait
    int m_nWaitMs;
    QTimer m_ProgressTimer;
    uint m_PortID = 0;
    bool m_bDumping = false;
    bool m_bAwaitSize = false;
    bool m_bTabsConnected = false;
};
