// The hex to binary tool: the dialog picks a text file of hexadecimal digit
// pairs and an output file; its worker thread converts it (monitor/tools/
// hex_to_bin.h) and reports progress in percent and the end of the run.
// "Cancel" stops a running conversion, which then leaves no output.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QMutex>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

#include "monitor/tools/hex_to_bin.h"

namespace Ui
{
class HextoBinDiag;
}

class QHextoBinThread : public QThread
{
    Q_OBJECT

public:
    explicit QHextoBinThread(QObject* pParent = nullptr);

    // Set while the thread is not running.
    QString m_sInputPath;
    QString m_sOutputPath;

    // Asks a running conversion to stop at its next block.
    void Cancel() { m_bCancel = true; }
    // The last run's result; complete once SignalParseComplete has been emitted.
    HEX_TO_BIN_RESULT_T Result() const;

signals:
    // Progress in percent of the input read, when it changes (never 0).
    void SignalParseLogInfo(int ProcessValue);
    // The end of every run, converted or not; true when garbled text was met.
    void SignalParseComplete(bool bMessyCode);

protected:
    void run() override;

private:
    std::atomic<bool> m_bCancel{false};
    mutable QMutex m_ResultLock;
    HEX_TO_BIN_RESULT_T m_Result;
};

class QHextoBinDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QHextoBinDiag(QWidget* pParent = nullptr);
    ~QHextoBinDiag() override;

    // The clock of the output names; tests set their own.
    void SetClock(std::function<QDateTime()> fnNow) { m_fnNow = std::move(fnNow); }
    QHextoBinThread* Worker() const { return m_pThread; }

public slots:
    void OnSetLogFilename();
    void OnProcess();
    void OnSetLogFilenameEdit();
    void OnClose();
    // The output proposed for an input: its path without the suffix, "_Bin",
    // the local time as hh_mm_ss and ".log".
    QString MackFileName(QString FilePath);
    void OnLanguageUpdate();
    void OnUpdateParseLogInfo(int ProcessValue);
    void OnParseComplete(bool bMessyCode);

private:
    void ProposeOutput(const QString& sOutput);
    void Warn(const QString& sText);

    std::unique_ptr<Ui::HextoBinDiag> m_pUi;
    QHextoBinThread* m_pThread;
    std::function<QDateTime()> m_fnNow;
    // The output name last proposed: Process proposes a fresh one in its
    // place, but keeps a path the user typed.
    QString m_sProposed;
};
