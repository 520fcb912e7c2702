// The form of the receiver configuration dialog: five pages (network,
// reference station, PPS, satellite enable with its four system pages,
// NTRIP), each control named as the dialog finds it, in the order and
// arrangement of the receiver's commands. It holds no behaviour;
// retranslateUi also puts the default texts back into the line edits that
// have one. The satellite grids are built by one rule from a table of the four
// systems.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

class Ui_RecvConfig
{
public:
    // The satellite systems of the "Sat Enable" page, in the order of its pages.
    enum : int
    {
        SAT_PAGE_GPS = 0,
        SAT_PAGE_GLONASS = 1,
        SAT_PAGE_GALILEO = 2,
        SAT_PAGE_BDS = 3,
        SAT_PAGE_COUNT = 4,
        SAT_MAX = 32, // satellites of the largest page
    };

    // One system page of the satellite grid.
    struct SAT_PAGE_T
    {
        QWidget* pPage = nullptr;
        int nSatellites = 0;
        QCheckBox* Boxes[SAT_MAX] = {}; // box of satellite n at n - 1
        QLabel* Numbers[SAT_MAX] = {};  // number label of satellite n at n - 1
        QLabel* SvHeaders[4] = {};      // "SV" above each column
        QLabel* EnableHeaders[4] = {};  // "Enable" above each column
        QPushButton* pEnableAll = nullptr;
        QPushButton* pDisableAll = nullptr;
        QPushButton* pOK = nullptr;
        QPushButton* pCancel = nullptr;
    };

    void setupUi(QDialog* pDialog);
    void retranslateUi(QDialog* pDialog);

    QTabWidget* tabWidget = nullptr;

    // "NetConfig"
    QWidget* tab = nullptr;
    QGroupBox* groupBox_2 = nullptr;
    QLabel* label_12 = nullptr;
    QLabel* label_26 = nullptr;
    QComboBox* pNetMode = nullptr;
    QLabel* label_22 = nullptr;
    QLineEdit* pNetIdAddress1 = nullptr;
    QLineEdit* pNetIdAddress2 = nullptr;
    QLineEdit* pNetIdAddress3 = nullptr;
    QLineEdit* pNetIdAddress4 = nullptr;
    QLabel* label_23 = nullptr;
    QLabel* label_24 = nullptr;
    QLabel* label_25 = nullptr;
    QLabel* label_16 = nullptr;
    QLineEdit* pNetMask1 = nullptr;
    QLineEdit* pNetMask2 = nullptr;
    QLineEdit* pNetMask3 = nullptr;
    QLineEdit* pNetMask4 = nullptr;
    QLabel* label_18 = nullptr;
    QLabel* label_20 = nullptr;
    QLabel* label_21 = nullptr;
    QLabel* label_27 = nullptr;
    QLineEdit* pNetGatway1 = nullptr;
    QLineEdit* pNetGatway2 = nullptr;
    QLineEdit* pNetGatway3 = nullptr;
    QLineEdit* pNetGatway4 = nullptr;
    QLabel* label_28 = nullptr;
    QLabel* label_29 = nullptr;
    QLabel* label_30 = nullptr;
    QLabel* label_31 = nullptr;
    QLineEdit* pNetHostname = nullptr;
    QPushButton* pChangeNetMode = nullptr;

    // "RefStation"
    QWidget* tab_2 = nullptr;
    QGroupBox* groupBox = nullptr;
    QLabel* label = nullptr;
    QLineEdit* pRefLatDeg = nullptr;
    QLabel* label_2 = nullptr;
    QLineEdit* pRefLatMinute = nullptr;
    QLabel* label_3 = nullptr;
    QLineEdit* pRefLatSecond = nullptr;
    QLabel* label_4 = nullptr;
    QRadioButton* pRefLatNorth = nullptr;
    QRadioButton* pRefLatSouth = nullptr;
    QLabel* label_7 = nullptr;
    QLineEdit* pRefLonDeg = nullptr;
    QLabel* label_6 = nullptr;
    QLineEdit* pRefLonMinute = nullptr;
    QLabel* label_5 = nullptr;
    QLineEdit* pRefLonSecond = nullptr;
    QLabel* label_8 = nullptr;
    QRadioButton* pRefLonEast = nullptr;
    QRadioButton* pRefLonWest = nullptr;
    QLabel* label_9 = nullptr;
    QLineEdit* pRefHeight = nullptr;
    QLabel* label_10 = nullptr;
    QLabel* label_11 = nullptr;
    QPushButton* pRefCurPosButton = nullptr;
    QLabel* label_13 = nullptr;
    QLabel* label_14 = nullptr;
    QLabel* label_15 = nullptr;
    QLabel* pPosLatDeg = nullptr;
    QLabel* label_32 = nullptr;
    QLabel* pPosLatMinute = nullptr;
    QLabel* label_187 = nullptr;
    QLabel* pPosLatSecond = nullptr;
    QLabel* label_188 = nullptr;
    QLabel* pPosLatNorthSouth = nullptr;
    QLabel* label_17 = nullptr;
    QLabel* pPosLonDeg = nullptr;
    QLabel* label_189 = nullptr;
    QLabel* pPosLonMinute = nullptr;
    QLabel* label_191 = nullptr;
    QLabel* pPosLonSecond = nullptr;
    QLabel* label_190 = nullptr;
    QLabel* pPosLonEastWest = nullptr;
    QLabel* label_19 = nullptr;
    QLabel* pPosHeight = nullptr;
    QLabel* label_192 = nullptr;
    QPushButton* pRefOKButton = nullptr;
    QPushButton* pRefCancelButton = nullptr;

    // "PPS"
    QWidget* tab_3 = nullptr;
    QLabel* pPPSCONFIG = nullptr;
    QComboBox* pPpsconfigTimeref = nullptr;
    QComboBox* pPpsconfigSwitch = nullptr;
    QComboBox* pPpsconfigPolarity = nullptr;
    QLineEdit* pPpsconfigWidth = nullptr;
    QComboBox* pPpsconfigPeriod = nullptr;
    QLineEdit* pPpsconfigRfDelay = nullptr;
    QLineEdit* pPpsconfigUserDelay = nullptr;
    QPushButton* pPPSOK = nullptr;
    QPushButton* pPPSCancel = nullptr;

    // "Sat Enable"
    QWidget* tab_4 = nullptr;
    QLabel* label_33 = nullptr;
    QLineEdit* pElevMask = nullptr;
    QLabel* label_185 = nullptr;
    QLabel* label_34 = nullptr;
    QLineEdit* pRTKElevMask = nullptr;
    QLabel* label_186 = nullptr;
    QTabWidget* LockWindow = nullptr;
    QWidget* tab_5 = nullptr; // GPS
    QWidget* tab_6 = nullptr; // GLONASS
    QWidget* tab_7 = nullptr; // Galileo
    QWidget* tab_8 = nullptr; // BDS
    SAT_PAGE_T SatPages[SAT_PAGE_COUNT];
    QPushButton* pGPSGEOEnableALL = nullptr;
    QPushButton* pGPSGEODisableAll = nullptr;
    QPushButton* pGPSGEOK = nullptr;
    QPushButton* pGPSGEOCancel = nullptr;
    QPushButton* pGPSGLOEnableALL = nullptr;
    QPushButton* pGPSGLODisableAll = nullptr;
    QPushButton* pGLOGEOK = nullptr;
    QPushButton* pGLOGEOCancel = nullptr;
    QPushButton* pGalGEOEnableAll = nullptr;
    QPushButton* pGalGEODisableAll = nullptr;
    QPushButton* pGalGEOK = nullptr;
    QPushButton* pGalGEOCancel = nullptr;
    QPushButton* pBDSGEOEnableAll = nullptr;
    QPushButton* pBDSGEODisableAll = nullptr;
    QPushButton* pBDSGEOK = nullptr;
    QPushButton* pBDSGEOCancel = nullptr;

    // "Ntrip"
    QWidget* tab_9 = nullptr;
    QWidget* pNtripRows = nullptr;
    QRadioButton* pNtripSever = nullptr;
    QRadioButton* pNtripClient = nullptr;
    QLabel* label_193 = nullptr;
    QCheckBox* pNtripEnable = nullptr;
    QLabel* label_194 = nullptr;
    QComboBox* pNtripFormat = nullptr;
    QLabel* pNtripName = nullptr;
    QLineEdit* pNtripNameText = nullptr;
    QLabel* label_196 = nullptr;
    QLineEdit* pPortText = nullptr;
    QLabel* pUsernamelabel = nullptr;
    QLineEdit* pUsernameText = nullptr;
    QLabel* label_198 = nullptr;
    QLineEdit* pPasswordText = nullptr;
    QLabel* pMountPointText = nullptr;
    QLineEdit* pNtripMountPoint = nullptr;
    QPushButton* pNtripOK = nullptr;
    QPushButton* pNtripCancel = nullptr;

private:
    void SetupNetPage();
    void SetupRefPage();
    void SetupPpsPage();
    void SetupSatPage();
    void SetupSatGrid(int iPage, QWidget* pPage);
    void SetupNtripPage();
};

namespace Ui
{
class RecvConfig : public Ui_RecvConfig
{
};
} // namespace Ui
