// The KMZ export window: the dialog collects the receiver log, the KMZ file
// and the display options; its worker thread writes the archive
// (monitor/tools/kmz_writer.h) and reports progress as PARSE_LOG_INFO_T
// records. "Cancel" stops a running export, which then leaves no archive.
#pragma once

#include <QDialog>
#include <QMetaType>
#include <QMutex>
#include <QThread>
#include <atomic>
#include <memory>

#include "monitor/tools/kmz_writer.h"

Q_DECLARE_METATYPE(PARSE_LOG_INFO_T)

namespace Ui
{
class KMZGenDiag;
}

class QKMZGenThread : public QThread
{
    Q_OBJECT

public:
    explicit QKMZGenThread(QObject* pParent = nullptr);

    // Written by the dialog while no export runs.
    KMZ_SETTINGS_T m_Settings;

    // Asks a running export to stop at its next line.
    void Cancel() { m_bCancel = true; }
    // The last export's result; complete once SignalParseComplete has been emitted.
    KMZ_RESULT_T Result() const;

signals:
    void SignalParseLogInfo(PARSE_LOG_INFO_T ParseLogInfo);
    // The end of every export, written or not.
    void SignalParseComplete();

protected:
    void run() override;

private:
    std::atomic<bool> m_bCancel{false};
    mutable QMutex m_ResultLock;
    KMZ_RESULT_T m_Result;
};

class QKMZGenDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QKMZGenDiag(QWidget* pParent = nullptr);
    ~QKMZGenDiag() override;

    QKMZGenThread* Worker() const { return m_pThread; }

public slots:
    void ShowDiag();
    void OnSetLogFilename();
    void OnSetLogFilenameEdit();
    void OnSetKMZFilename();
    void OnSetIcon();
    void OnSetLineColor();
    void OnProcess();
    void OnUpdateParseLogInfo(PARSE_LOG_INFO_T ParseLogInfo);
    void OnParseComplete();
    void OnSelectIconmode();
    void OnLanguageUpdate();
    void OnIconStyleComboChanged(int Index);

private:
    void FillCombos();
    void SetLogPath(const QString& sPath);
    void ShowLineColour();
    void ShowIconPreview();
    void OnCancel();
    void Warn(const QString& sText);

    std::unique_ptr<Ui::KMZGenDiag> m_pUi;
    QKMZGenThread* m_pThread;
    // The choices kept between exports (the rest is read from the form).
    QString m_sOwnIconPath;
    uint32_t m_nIconColour = KMZ_OWN_ICON;
    uint32_t m_nLineColour = KMZ_DEFAULT_LINE_COLOUR;
};
