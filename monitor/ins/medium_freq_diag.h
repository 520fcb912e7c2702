// The intermediate-frequency output dialog ("Medium Frequency"): makes the
// receiver of a port stream the raw intermediate-frequency samples of one
// signal into the port's log file. It asks the receiver which signals it can
// output, offers them by name, raises a serial port's rate for the data
// volume, has the port log to a file of the user's and sends "showif"; "Cancel"
// stops the output and closes the file.
//
// The dialog works on the port that was current when it was opened: the offer
// comes from that port's reply alone and every command goes to it by its ID.
// The output starts only once the port logs to a file.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

class CPortTab;
class QComboBox;
class QLabel;
class QPushButton;

class QMediumFreqDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QMediumFreqDiag(QWidget* pParent = nullptr);
    ~QMediumFreqDiag() override;

    CPortTab* m_pPortTab = nullptr; // set by the main window

    uint PortID() const { return m_PortID; }
    // How long the log file is given to open before the output starts.
    void SetWaitMs(int nMs) { m_nWaitMs = nMs; }
    // Whether an output waits for its log file to open; OK does nothing meanwhile.
    bool IsStarting() const { return m_StartTimer.isActive(); }
    // The name under which an offered signal code is listed.
    static QString OfferText(const QString& sCode);

signals:
    void SignalSendHwinfoMask(int portindex, uint Mask);
    void SignalMediumFreqSendCmd(uint UniquePortID, QByteArray Cmd);
    // Asks for the log file of that port and has it log.
    void SignalMediumFreqSetFileName(uint UniquePortID);
    void SignalMediumFreqSetBaud(int BaudRate, int portindex);
    void SignalMediumFreqCloseFile(int portindex);

public slots:
    void OnMediumFreqDiagShow();
    // The signals the receiver offers, from its hardware information reply.
    void OnUpdateDiag();
    void OnOkBtnClick();
    void OnCancelBtnClick();
    void OnLanguageUpdate();

private slots:
    // The output starts once the log file is open; not at all when it did not open in time.
    void OnStartWaitOver();

private:
    int PortIndex() const;

    QLabel* m_pBaudLabel = nullptr;
    QComboBox* m_pBaudBox = nullptr;
    QLabel* m_pSignalLabel = nullptr;
    QComboBox* m_pSignalBox = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;
    QStringList m_OfferedList;
    QStringList m_ArgumentList;
    QStringList m_BaudList;
    int m_CurBaudRate = 115200;
    QString m_sStartArgument; // of the output waiting for its log file
    QTimer m_StartTimer; // looks whether the log file is open, until m_nWaitMs have passed
    QElapsedTimer m_StartClock;
    bool m_bWasLogging = false; // the port logged already: its answer to closing that file shows after the wait
    int m_nWaitMs;
    uint m_PortID = 0;
};
