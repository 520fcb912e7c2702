// The INS configuration check: what INS configuration the receiver of a port
// holds, as it reports it in its INS configuration log (IMU, alignment,
// profile, seed, and every lever arm and rotation with its uncertainties), in
// a two-column table; and, on a second page, the mounting angles that belong to
// a board orientation, with pictures.
//
// The dialog asks the port that is current when the user opens it or presses
// "Refresh", and is filled by that port's reply alone.
//
// The receiver's IMU rotation (its RBV rotation entries) is compared with the
// mounting angles of the orientation chosen on the second page: an angle that
// differs is marked in the table, with the expected angle in its tool tip, and
// the marks follow each change of the orientation.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QPixmap>
#include <QStringList>

#include "monitor/parsing/ins_config.h"

class CPortTab;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTabWidget;

class QINSConfigCheckDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QINSConfigCheckDiag(QWidget* pParent = nullptr);
    ~QINSConfigCheckDiag() override;

    CPortTab* m_pPortTab = nullptr; // set by the main window

    // The port whose configuration is asked for or shown; 0 before a request.
    uint PortID() const { return m_PortID; }
    // The picture last loaded for the board orientation.
    QString OrientationPicture() const { return m_sOrientationPicture; }

    // The table's rows for a configuration record: names and values.
    static void ConfigRows(const INS_CONFIG_T& Config, QStringList* pNames, QStringList* pValues);

signals:
    void SignalSendINSConfigMask(uint portindex, uint Mask);
    void SignalSendINSImuConfigCmd(uint UniqueID, QByteArray INSImuCmd);

public slots:
    void OnShowDialog();
    // Rebuilds the table from the reply of the port asked.
    void OnUpdateDiag();
    void OnLanguageUpdate();
    // Asks the current port for its INS configuration.
    void OnInsconfigRefressh();
    void SendInsconfigaCmd();
    // The pictures and mounting angles of the board orientation chosen.
    void OnChangeLableIcon();
    // Sends the mounting angles shown as the current port's rotation.
    void OnOKBtnClick();

private:
    void BuildForm();
    void RetranslateForm();
    void SetHeader();
    // Marks the rotation rows whose angle differs from the orientation chosen.
    void MarkDifferences();

    QTabWidget* m_pTabs = nullptr;
    QLabel* m_pBoardShowLable = nullptr;
    QPushButton* m_pRefreshButton = nullptr;
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pBoardTypeTitle = nullptr;
    QLabel* m_pBoardTowardTitle = nullptr;
    QLabel* m_pAntennaTowardTitle = nullptr;
    QComboBox* m_pBoardTypeCombobox = nullptr;
    QComboBox* m_pBoardTowardComboBox = nullptr;
    QComboBox* m_pAntenatowardCombobox = nullptr;
    QLabel* m_pAngleLabels[3] = {};
    QLabel* m_pBoardTypeLable = nullptr;
    QLabel* m_pBoardPhotoLable = nullptr;
    QStringList m_NameList;
    QStringList m_ValueList;
    QPixmap m_Pixmap;
    QString m_sOrientationPicture;
    bool m_bUnreadable = false;
    // The record the table shows, kept for the comparison; valid while m_bShown.
    INS_CONFIG_T m_Config{};
    bool m_bShown = false;
    uint m_PortID = 0;
};
