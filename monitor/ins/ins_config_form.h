// The form of the INS configuration dialog: the "INS Enable" switch beside
// four pages (general settings, mounting angles, lever arms, and the rear
// wheel lever arm that the dialog takes out), every control named as the
// dialog finds it. It holds no behaviour; retranslateUi puts the texts of the
// language in use, and the default "0.000" of each number field, back.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

class Ui_QZvINSConfigWindow
{
public:
    // One group of three values with their 1-sigma fields.
    struct AXES_T
    {
        QLabel* pTitle = nullptr;
        QLabel* pFrameNote = nullptr; // "( In IMU frame )"
        QLabel* pAxis[3] = {};
        QLineEdit* pValue[3] = {}; // X, Y, Z
        QLabel* pSigma[3] = {};
        QLineEdit* pStd[3] = {};
    };

    void setupUi(QDialog* pDialog);
    void retranslateUi(QDialog* pDialog);

    QCheckBox* pINSEnCheck = nullptr;
    QTabWidget* pINSWindow = nullptr;

    // "General"
    QWidget* pGeneralPage = nullptr;
    QLabel* qAlignmentModeLable = nullptr;
    QComboBox* qAlignmentModeBox = nullptr;
    QLabel* qHeadingLable = nullptr;
    QLineEdit* pHeadingLineEdit = nullptr;
    QLabel* pHeadingDegreeLable = nullptr;
    QLabel* qSpeedThresholdLable = nullptr;
    QLineEdit* qSpeedThreshold = nullptr;
    QLabel* qSpeedThresholdUnit = nullptr;
    QCheckBox* pMagEnable = nullptr;
    QCheckBox* pOdoEnableBOX = nullptr;
    QLabel* pReceiverDyMLable = nullptr;
    QComboBox* pReceiverDyM = nullptr;
    QPushButton* pGeneralOKButton = nullptr;
    QPushButton* pGeneralCancelButton = nullptr;

    // "Mounting Angles"
    QWidget* pMountingPage = nullptr;
    QLabel* pMountingTitle = nullptr;
    QLabel* pMountingRange = nullptr;
    AXES_T Mounting;
    QLineEdit*& pMountingX = Mounting.pValue[0];
    QLineEdit*& pMountingY = Mounting.pValue[1];
    QLineEdit*& pMountingZ = Mounting.pValue[2];
    QLineEdit*& pMountingXstd = Mounting.pStd[0];
    QLineEdit*& pMountingYstd = Mounting.pStd[1];
    QLineEdit*& pMountingZstd = Mounting.pStd[2];
    QLabel* pMountingTypeLable = nullptr;
    QCheckBox* pMountingType = nullptr;
    QLabel* pMountingNote = nullptr;
    QPushButton* pMountingOKButton = nullptr;
    QPushButton* pMountingCancelButton = nullptr;

    // "GNSS Lever Arm": IMU to primary antenna, primary to secondary antenna
    // (the baseline, enabled or disabled as one unit), IMU to vehicle.
    QWidget* pLeverArmPage = nullptr;
    AXES_T LeverArm, Baseline, Vehicle;
    QWidget* pGNSSBaselineGroup = nullptr; // the fourteen widgets of the baseline
    QLabel*& pGNSSBaselinehint = Baseline.pTitle;
    QPushButton* pGNSSLAOKButton = nullptr;
    QPushButton* pGNSSLACancelButton = nullptr;

    // "Rear Wheel Lever Arm", never shown.
    QWidget* pRearWheelPage = nullptr;
    AXES_T RearWheel;
    QPushButton* pRearWLAOKButton = nullptr;
    QPushButton* pRearWLACancelButton = nullptr;

private:
    void SetupGeneralPage();
    void SetupMountingPage();
    void SetupLeverArmPage();
    void SetupRearWheelPage();
};
