// The schedule window of automatic logging ("Log Config"): until a point in
// time, in periods of hours and minutes, or without end (normal mode), with
// or without cycle recording (a new file at each switch instead of a stop).
// OK checks the choice against the clock and hands it to the list window.
#pragma once

#include <QDateTime>
#include <QDialog>

#include "monitor/tools/tool_paths.h"

class QCheckBox;
class QDateTimeEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

class QAutoLogConfig : public QDialog
{
    Q_OBJECT

public:
    explicit QAutoLogConfig(QWidget* pParent = nullptr);

    // The clock a point in time is checked against; tests set their own.
    void SetClock(TOOL_CLOCK_T fnNow) { m_fnNow = std::move(fnNow); }

signals:
    void SignalLogConfig(uint Mode, bool bLoop, QDateTime DateTime);

public slots:
    // Sets the point in time to now and shows the window.
    void OnShowDiag();
    void OnConfigLogOkBtnClicked();
    void OnCloseDiag();
    void OnLanguageUpdate();

private:
    void Warn(const QString& sText);

    TOOL_CLOCK_T m_fnNow;
    QRadioButton* m_pPointRadio;
    QDateTimeEdit* m_pPointEdit;
    QRadioButton* m_pPeriodRadio;
    QTimeEdit* m_pPeriodEdit;
    QRadioButton* m_pNormalRadio;
    QCheckBox* m_pLoopCheck;
    QPushButton* m_pOkButton;
    QPushButton* m_pCancelButton;
};
