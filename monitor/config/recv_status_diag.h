// The receiver status window: solution type, position in degrees, minutes
// and seconds, ellipsoidal and orthometric height, differential age, base
// station, speed, satellites used, board type, firmware version and UTC time
// of the receiver behind the current port tab, refreshed by the main window's
// tick. When it is shown it asks that receiver for GGA once a second.
//
// It follows the current tab: a tab change blanks the values until the next
// refresh, and a refresh reads the current port's position record and what
// that receiver said of itself, as one consistent copy.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QStringList>

class CPortTab;
class QLabel;

// The window's form record: its name, size, icon and title (the widgets are
// built by the window itself).
struct Ui_QZvRecvStatusDialog
{
    void setupUi(QDialog* pDialog);
    void retranslateUi(QDialog* pDialog);
};

class QZvRecvStatusDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QZvRecvStatusDiag(QWidget* pParent = nullptr);
    ~QZvRecvStatusDiag() override;

    const CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendNMEAMsg(uint UniquePortID, QByteArray WriteData);

public slots:
    // The tick's refresh, with the tab set.
    void OnUpdateRecvStatus(void* pTab);
    void OnLanguageUpdate();
    // Asks the current receiver for GGA once a second and shows the window.
    void OnShowDiag();
    // Whole degrees, whole minutes and unrounded seconds of |value|.
    QList<double> OnFormatDeg(double value);
    // Blanks every value.
    void OnPortTabChange(int CurIndex);

protected:
    // Shown by the docking host or by OnShowDiag: the GGA request goes out.
    void showEvent(QShowEvent* pEvent) override;

private:
    void RequestGga();
    void FillTitles();

    Ui_QZvRecvStatusDialog m_Ui;
    QStringList m_BoardTitles;
    QStringList m_PositionTitles;
    QStringList m_StatusTitles;
    QList<QLabel*> m_ValueLabels; // the twelve values, in the order they are filled
    QList<QLabel*> m_TitleLabels; // the eleven titles, position, status, board
    QLabel* m_pUtcCaption = nullptr;
};
