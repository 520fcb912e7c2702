#include "monitor/ins/ins_config_form.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QVBoxLayout>

namespace
{
template <typename T> T* Make(QWidget* pParent, const QString& sName)
{
    auto* p = new T(pParent);
    p->setObjectName(sName);
    return p;
}
template <typename T> T* Make(QWidget* pParent, const char* pName) { return Make<T>(pParent, QLatin1String(pName)); }

QString Tr(const char* pText) { return QCoreApplication::translate("QZvINSConfigWindow", pText); }

// OK and Cancel at the bottom right of a page.
void AddButtons(QVBoxLayout* pPage, QPushButton* pOK, QPushButton* pCancel)
{
    auto* pRow = new QHBoxLayout;
    pRow->addStretch();
    pRow->addWidget(pOK);
    pRow->addWidget(pCancel);
    pPage->addLayout(pRow);
}

// The rows "X :" value "1-sigma :" value, Y and Z, of a group whose fields
// are named sPrefix + axis and sPrefix + axis + sStd.
// The object names of three values (X, Y, Z) and of their 1-sigma fields;
// each label is named after its field with "Lable" appended.
struct AXIS_NAMES_T
{
    const char* pValue[3];
    const char* pStd[3];
};
constexpr AXIS_NAMES_T kMountingNames = {{"pMountingX", "pMountingY", "pMountingZ"},
                                         {"pMountingXstd", "pMountingYstd", "pMountingZstd"}};
constexpr AXIS_NAMES_T kLeverArmNames = {{"pGNSSLeverArmX", "pGNSSLeverArmY", "pGNSSLeverArmZ"},
                                         {"pGNSSLeverArmXStd", "pGNSSLeverArmYStd", "pGNSSLeverArmZStd"}};
constexpr AXIS_NAMES_T kBaselineNames = {{"pGNSSBaselineVeX", "pGNSSBaselineVeY", "pGNSSBaselineVeZ"},
                                         {"pGNSSBaselineVeXstd", "pGNSSBaselineVeYstd", "pGNSSBaselineVeZstd"}};
constexpr AXIS_NAMES_T kRearWheelNames = {{"pRearWLAX", "pRearWLAY", "pRearWLAZ"},
                                          {"pRearWLAXstd", "pRearWLAYstd", "pRearWLAZstd"}};
constexpr AXIS_NAMES_T kVehicleNames = {{"pVehicleLeverArmX", "pVehicleLeverArmY", "pVehicleLeverArmZ"},
                                        {"pVehicleLeverArmXstd", "pVehicleLeverArmYstd", "pVehicleLeverArmZstd"}};

void MakeAxes(QWidget* pParent, QGridLayout* pGrid, int nRow, Ui_QZvINSConfigWindow::AXES_T& Axes,
              const AXIS_NAMES_T& Names)
{
    for (int i = 0; i < 3; ++i)
    {
        const QString sValue = QLatin1String(Names.pValue[i]), sStd = QLatin1String(Names.pStd[i]);
        Axes.pAxis[i] = Make<QLabel>(pParent, sValue + QStringLiteral("Lable"));
        Axes.pValue[i] = Make<QLineEdit>(pParent, sValue);
        Axes.pSigma[i] = Make<QLabel>(pParent, sStd + QStringLiteral("Lable"));
        Axes.pStd[i] = Make<QLineEdit>(pParent, sStd);
        for (QLineEdit* pEdit : {Axes.pValue[i], Axes.pStd[i]})
            pEdit->setMinimumWidth(90);
        pGrid->addWidget(Axes.pAxis[i], nRow + i, 0);
        pGrid->addWidget(Axes.pValue[i], nRow + i, 1);
        pGrid->addWidget(Axes.pSigma[i], nRow + i, 2);
        pGrid->addWidget(Axes.pStd[i], nRow + i, 3);
    }
    pGrid->setColumnStretch(4, 1);
}

// A titled group of three values and their 1-sigma fields in its own widget,
// which enables or disables the group as one unit.
QWidget* MakeGroup(QWidget* pParent, const char* pName, Ui_QZvINSConfigWindow::AXES_T& Axes, const char* pTitle,
                   const char* pFrameNote, const AXIS_NAMES_T& Names)
{
    auto* pGroup = Make<QWidget>(pParent, pName);
    auto* pGrid = new QGridLayout(pGroup);
    pGrid->setContentsMargins(0, 4, 0, 4);
    Axes.pTitle = Make<QLabel>(pGroup, pTitle);
    QFont bold = Axes.pTitle->font();
    bold.setBold(true);
    Axes.pTitle->setFont(bold);
    Axes.pFrameNote = Make<QLabel>(pGroup, pFrameNote);
    auto* pHead = new QHBoxLayout;
    pHead->addWidget(Axes.pTitle);
    pHead->addWidget(Axes.pFrameNote);
    pHead->addStretch();
    pGrid->addLayout(pHead, 0, 0, 1, 5);
    MakeAxes(pGroup, pGrid, 1, Axes, Names);
    return pGroup;
}

void TranslateAxes(Ui_QZvINSConfigWindow::AXES_T& Axes, const char* pSigma)
{
    const char* const kAxes[] = {"X :", "Y :", "Z :"};
    for (int i = 0; i < 3; ++i)
    {
        Axes.pAxis[i]->setText(Tr(kAxes[i]));
        Axes.pSigma[i]->setText(Tr(pSigma));
        Axes.pValue[i]->setText(QStringLiteral("0.000"));
        Axes.pStd[i]->setText(QStringLiteral("0.000"));
    }
    if (Axes.pFrameNote != nullptr)
        Axes.pFrameNote->setText(Tr("( In IMU frame )"));
}
} // namespace

void Ui_QZvINSConfigWindow::setupUi(QDialog* pDialog)
{
    if (pDialog->objectName().isEmpty())
        pDialog->setObjectName(QStringLiteral("QZvINSConfigWindow"));
    pDialog->resize(690, 560);
    pDialog->setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/INSConfig.png")));
    auto* pGrid = new QGridLayout(pDialog);
    pINSWindow = Make<QTabWidget>(pDialog, "pINSWindow");
    pINSWindow->setMinimumSize(650, 520);
    pINSEnCheck = Make<QCheckBox>(pDialog, "pINSEnCheck");
    pINSEnCheck->setChecked(true);
    pGrid->addWidget(pINSEnCheck, 0, 0, Qt::AlignLeft);
    pGrid->addWidget(pINSWindow, 1, 0);
    SetupGeneralPage();
    SetupMountingPage();
    SetupLeverArmPage();
    SetupRearWheelPage();
    retranslateUi(pDialog);
    pINSWindow->setCurrentIndex(0);
}

void Ui_QZvINSConfigWindow::SetupGeneralPage()
{
    pGeneralPage = Make<QWidget>(pINSWindow, "pGeneralPage");
    pINSWindow->addTab(pGeneralPage, QString());
    auto* pPage = new QVBoxLayout(pGeneralPage);
    auto* pGrid = new QGridLayout;
    pPage->addLayout(pGrid);
    qAlignmentModeLable = Make<QLabel>(pGeneralPage, "qAlignmentModeLable");
    qAlignmentModeBox = Make<QComboBox>(pGeneralPage, "qAlignmentModeBox");
    qAlignmentModeBox->setMinimumWidth(170);
    qHeadingLable = Make<QLabel>(pGeneralPage, "qHeadingLable");
    pHeadingLineEdit = Make<QLineEdit>(pGeneralPage, "pHeadingLineEdit");
    pHeadingDegreeLable = Make<QLabel>(pGeneralPage, "pHeadingDegreeLable");
    qSpeedThresholdLable = Make<QLabel>(pGeneralPage, "qSpeedThresholdLable");
    qSpeedThreshold = Make<QLineEdit>(pGeneralPage, "qSpeedThreshold");
    qSpeedThresholdUnit = Make<QLabel>(pGeneralPage, "qSpeedThresholdUnit");
    pMagEnable = Make<QCheckBox>(pGeneralPage, "pMagEnable");
    pOdoEnableBOX = Make<QCheckBox>(pGeneralPage, "pOdoEnableBOX");
    pReceiverDyMLable = Make<QLabel>(pGeneralPage, "pReceiverDyMLable");
    pReceiverDyM = Make<QComboBox>(pGeneralPage, "pReceiverDyM");
    pReceiverDyM->setMinimumWidth(170);
    pGrid->addWidget(qAlignmentModeLable, 0, 0);
    pGrid->addWidget(qAlignmentModeBox, 0, 1);
    pGrid->addWidget(qHeadingLable, 1, 0);
    pGrid->addWidget(pHeadingLineEdit, 1, 1);
    pGrid->addWidget(pHeadingDegreeLable, 1, 2);
    pGrid->addWidget(qSpeedThresholdLable, 2, 0);
    pGrid->addWidget(qSpeedThreshold, 2, 1);
    pGrid->addWidget(qSpeedThresholdUnit, 2, 2);
    pGrid->addWidget(pMagEnable, 3, 0, 1, 2);
    pGrid->addWidget(pOdoEnableBOX, 4, 0, 1, 2);
    pGrid->addWidget(pReceiverDyMLable, 5, 0);
    pGrid->addWidget(pReceiverDyM, 5, 1);
    pGrid->setColumnStretch(3, 1);
    pGrid->setVerticalSpacing(12);
    pPage->addStretch();
    pGeneralOKButton = Make<QPushButton>(pGeneralPage, "pGeneralOKButton");
    pGeneralCancelButton = Make<QPushButton>(pGeneralPage, "pGeneralCancelButton");
    AddButtons(pPage, pGeneralOKButton, pGeneralCancelButton);
}

void Ui_QZvINSConfigWindow::SetupMountingPage()
{
    pMountingPage = Make<QWidget>(pINSWindow, "pMountingPage");
    pINSWindow->addTab(pMountingPage, QString());
    auto* pPage = new QVBoxLayout(pMountingPage);
    pMountingTitle = Make<QLabel>(pMountingPage, "pMountingTitle");
    QFont bold = pMountingTitle->font();
    bold.setBold(true);
    pMountingTitle->setFont(bold);
    pMountingRange = Make<QLabel>(pMountingPage, "pMountingRange");
    pPage->addWidget(pMountingTitle);
    pPage->addWidget(pMountingRange);
    auto* pGrid = new QGridLayout;
    pPage->addLayout(pGrid);
    MakeAxes(pMountingPage, pGrid, 0, Mounting, kMountingNames);
    auto* pType = new QHBoxLayout;
    pMountingTypeLable = Make<QLabel>(pMountingPage, "pMountingTypeLable");
    pMountingType = Make<QCheckBox>(pMountingPage, "pMountingType");
    pType->addWidget(pMountingTypeLable);
    pType->addWidget(pMountingType);
    pType->addStretch();
    pPage->addLayout(pType);
    pMountingNote = Make<QLabel>(pMountingPage, "pMountingNote");
    pMountingNote->setStyleSheet(QStringLiteral("color: #505050;"));
    pMountingNote->setWordWrap(true);
    pPage->addWidget(pMountingNote);
    pPage->addStretch();
    pMountingOKButton = Make<QPushButton>(pMountingPage, "pMountingOKButton");
    pMountingCancelButton = Make<QPushButton>(pMountingPage, "pMountingCancelButton");
    AddButtons(pPage, pMountingOKButton, pMountingCancelButton);
}

void Ui_QZvINSConfigWindow::SetupLeverArmPage()
{
    pLeverArmPage = Make<QWidget>(pINSWindow, "pLeverArmPage");
    pINSWindow->addTab(pLeverArmPage, QString());
    auto* pPage = new QVBoxLayout(pLeverArmPage);
    pPage->addWidget(MakeGroup(pLeverArmPage, "pGNSSLeverArmGroup", LeverArm, "pGNSSLeverArmhint",
                               "pGNSSLeverArmFrameNote", kLeverArmNames));
    pGNSSBaselineGroup = MakeGroup(pLeverArmPage, "pGNSSBaselineGroup", Baseline, "pGNSSBaselinehint",
                                   "pGNSSBaselineVeFrameNote", kBaselineNames);
    pPage->addWidget(pGNSSBaselineGroup);
    pPage->addWidget(MakeGroup(pLeverArmPage, "pVehicleLeverArmGroup", Vehicle, "pVehicleLeverArmhint",
                               "pVehicleLeverArmFrameNote", kVehicleNames));
    pPage->addStretch();
    pGNSSLAOKButton = Make<QPushButton>(pLeverArmPage, "pGNSSLAOKButton");
    pGNSSLACancelButton = Make<QPushButton>(pLeverArmPage, "pGNSSLACancelButton");
    AddButtons(pPage, pGNSSLAOKButton, pGNSSLACancelButton);
}

void Ui_QZvINSConfigWindow::SetupRearWheelPage()
{
    pRearWheelPage = Make<QWidget>(pINSWindow, "pRearWheelPage");
    pINSWindow->addTab(pRearWheelPage, QString());
    auto* pPage = new QVBoxLayout(pRearWheelPage);
    pPage->addWidget(
        MakeGroup(pRearWheelPage, "pRearWLAGroup", RearWheel, "pRearWLAhint", "pRearWLAFrameNote", kRearWheelNames));
    pPage->addStretch();
    pRearWLAOKButton = Make<QPushButton>(pRearWheelPage, "pRearWLAOKButton");
    pRearWLACancelButton = Make<QPushButton>(pRearWheelPage, "pRearWLACancelButton");
    AddButtons(pPage, pRearWLAOKButton, pRearWLACancelButton);
}

void Ui_QZvINSConfigWindow::retranslateUi(QDialog* pDialog)
{
    pDialog->setWindowTitle(Tr("INS"));
    pINSEnCheck->setText(Tr("INS Enable"));
    const struct
    {
        QWidget* pPage;
        const char* pTitle;
    } pages[] = {{pGeneralPage, "General"},
                 {pMountingPage, "Mounting Angles"},
                 {pLeverArmPage, "GNSS Lever Arm"},
                 {pRearWheelPage, "Rear Wheel Lever Arm"}};
    for (const auto& page : pages)
    {
        const int i = pINSWindow->indexOf(page.pPage);
        if (i >= 0)
            pINSWindow->setTabText(i, Tr(page.pTitle));
    }

    qAlignmentModeLable->setText(Tr("Alignment Mode:"));
    qHeadingLable->setText(Tr("Heading"));
    pHeadingDegreeLable->setText(Tr("degree"));
    qSpeedThresholdLable->setText(Tr("Alignment of speed threshold:"));
    qSpeedThresholdUnit->setText(Tr("[m/s]"));
    pMagEnable->setText(Tr("Mag Enable"));
    pOdoEnableBOX->setText(Tr("Odo Enable"));
    pReceiverDyMLable->setText(Tr("Receiver Dynamic model:"));

    pMountingTitle->setText(Tr("Reference to IMU Mounting Angles [Deg]"));
    pMountingRange->setText(Tr("Range:X:0~360\u00b0;Y :-90~90\u00b0;Z:-90~90\u00b0"));
    TranslateAxes(Mounting, "1-\u03c3 \uff1a");
    pMountingTypeLable->setText(Tr("Mounting angles automatic rough estimate:"));
    pMountingNote->setText(Tr("(If accuracy need improved, the user needs to input the precise Mounting Angle !)"));

    LeverArm.pTitle->setText(Tr("IMU to Primary GNSS Lever Arm [m]"));
    Baseline.pTitle->setText(Tr("Primary to Secondary GNSS Baseline Vector [m]"));
    Vehicle.pTitle->setText(Tr("IMU to Vehicle Lever Arm [m]"));
    RearWheel.pTitle->setText(Tr("Rear Wheel Lever Arm [m]"));
    for (AXES_T* pAxes : {&LeverArm, &Baseline, &Vehicle, &RearWheel})
        TranslateAxes(*pAxes, "1-\u03c3 :");

    for (QPushButton* pOK : {pGeneralOKButton, pMountingOKButton, pGNSSLAOKButton, pRearWLAOKButton})
        pOK->setText(Tr("OK"));
    for (QPushButton* pCancel : {pGeneralCancelButton, pMountingCancelButton, pGNSSLACancelButton, pRearWLACancelButton})
        pCancel->setText(Tr("Cancel"));
}
