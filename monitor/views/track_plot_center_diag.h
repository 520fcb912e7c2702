// The track plot's centre dialog: the user types the longitude, latitude and
// height of the point the track is drawn around. It offers the latest
// position, or the texts last accepted, and refuses what is not a position
// on the earth.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class QTrackPlotSetCenterDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QTrackPlotSetCenterDiag(QWidget* pParent = nullptr);

    // The position offered when no text has been accepted yet: degrees and metres.
    void SetPosition(double LatDeg, double LonDeg, double Height);
    void RetranslateUi();

signals:
    void SignalSetCenterValue(QString LonValue, QString LatValue, QString HeiValue);

public slots:
    void OnShowDiag();
    void OnOkBtnClick();
    void OnCancelBtnClick();

private:
    // The warning for a refused text; false when the text is refused.
    bool Check(bool bOk, const QString& sWarning);

    QLabel* m_pLonLabel;
    QLabel* m_pLatLabel;
    QLabel* m_pHeightLabel;
    QLabel* m_pLonUnit;
    QLabel* m_pLatUnit;
    QLineEdit* m_pLonEdit;
    QLineEdit* m_pLatEdit;
    QLineEdit* m_pHeightEdit;
    QPushButton* m_pOkButton;
    QPushButton* m_pCancelButton;

    double m_LatDeg = 0, m_LonDeg = 0, m_Height = 0;
    QString m_LastLon, m_LastLat, m_LastHeight;
};
