// The INS window: the latest INS solution of the current port (status,
// position, velocity and attitude with their standard deviations) as text,
// from the port's stored INSPVAX log, beside an attitude indicator and a
// compass driven by the same solution. When shown it asks the receiver to
// switch its INS on and to output INSPVAX every 0.05 s.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <limits>

#include "monitor/views/requesting_view.h"

class QADI;
class QCompass;
class QLabel;

class QINStatus : public QRequestingView
{
    Q_OBJECT

public:
    enum : int
    {
        ROW_COUNT = 14,   // first-column labels
        VALUE_ROWS = 9,   // value labels per column
        HEADING_ROWS = 5, // heading labels per column
    };

    explicit QINStatus(QWidget* pParent = nullptr);

    // Degrees as whole degrees, whole minutes and unrounded seconds of the
    // absolute value (the sign is the caller's); nothing carries, so 59.99999
    // seconds stay 59.99999. Empty for a value that is not a finite number of
    // degrees a 32-bit integer can hold.
    static QList<double> OnFormatDeg(double value);
    // A latitude or longitude as the window shows it: degrees, minutes,
    // seconds to four decimals and the hemisphere letter (cPositive for 0 and
    // above, cNegative below).
    static QString FormatAngle(double dDegrees, char cPositive, char cNegative);

    QADI* Adi() const { return m_pADI; }
    QCompass* Compass() const { return m_pCompass; }
    QLabel* StatusLabel() const { return m_pStatusValue; }
    // Value label i (0-8: latitude, longitude, height, north, east, down,
    // roll, pitch, yaw) of the value column (0) or the error column (1).
    QLabel* ValueLabel(int nColumn, int i) const { return (nColumn == 0 ? m_pValues : m_pErrors)[i]; }
    QLabel* RowLabel(int i) const { return m_pRowLabels[i]; }

signals:
    void SignalSendInspvaxMsg(uint UniquePortID, QByteArray WriteData);

public slots:
    // pPortTab: the port tab set, read during the call only.
    void OnUpdateINSStatus(void* pPortTab);
    void OnPortTabChange(int CurIndex);
    void OnLanguageUpdate();
    // The INS status name; empty for a value the window does not know.
    QString GetINStatus(int Status);

protected:
    // Switches the receiver's INS on and asks for its solution.
    void SendLogRequest(uint nPortID) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    void ApplyTexts();
    void BlankValues();
    // Nothing to show: no store or no INSPVAX on the current port yet.
    void ShowNoSolution();
    void SetValue(int nColumn, int i, const QString& sText);

    QADI* m_pADI;
    QCompass* m_pCompass;
    QLabel* m_pStatusTitle;
    QLabel* m_pStatusValue;
    QLabel* m_pRowLabels[ROW_COUNT] = {};
    QLabel* m_pValues[VALUE_ROWS] = {};
    QLabel* m_pErrors[VALUE_ROWS] = {};
    QLabel* m_pValueHeadings[HEADING_ROWS] = {};
    QLabel* m_pErrorHeadings[HEADING_ROWS] = {};
    // What was last passed to the instruments: pitch, roll, azimuth, height,
    // height plus undulation; none before the first solution.
    double m_Last[5];
};
