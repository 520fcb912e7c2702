#include "converter/ui/obs_header_window.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "converter/engine/rinex_obs_header.h"
#include "converter/ui/field_text.h"
#include "converter/ui/window_fit.h"
#include "ui_ObsHeaderSettingsWindow.h"

namespace
{
const QSize kDesignedSize(696, 472);

// Numbers other than the approximate position: six significant digits.
QString NumberText(double dValue) { return QString::number(dValue, 'g', 6); }
QString PositionText(double dValue) { return QString::asprintf("%lf", dValue); }

double FieldNumber(const QLineEdit* pField)
{
    double d = 0.0;
    QStringToDouble(pField->text(), &d);
    return d;
}

void ReadTriple(QLineEdit* const aFields[3], double aValues[3])
{
    for (int i = 0; i < 3; ++i)
        aValues[i] = FieldNumber(aFields[i]);
}

void ShowTriple(QLineEdit* const aFields[3], const double aValues[3])
{
    for (int i = 0; i < 3; ++i)
        aFields[i]->setText(NumberText(aValues[i]));
}

template <size_t N> void CopyText(char (&to)[N], const char (&from)[N]) { std::memcpy(to, from, N); }
} // namespace

CObsHeaderWindow::CObsHeaderWindow(QWidget* parent)
    : QMainWindow(parent), m_pUi(new Ui::ObsHeaderSettingsWindow), m_pSaved(new RinexObsHeader())
{
    InitMoxelinResources();
    m_pUi->setupUi(this);
    using W = CObsHeaderWindow;
    connect(m_pUi->CreatAgencyName, &QLineEdit::textChanged, this, &W::CreatAgencyName_textChanged);
    connect(m_pUi->ARPPositionFlag, &QCheckBox::stateChanged, this, &W::ARPPositionFlag_stateChanged);
    connect(m_pUi->AntBSightFlag, &QCheckBox::stateChanged, this, &W::BSightFlag_stateChanged);
    connect(m_pUi->AntZeroDirFlag, &QCheckBox::stateChanged, this, &W::AntZeroDirFlag_stateChanged);
    connect(m_pUi->CenterofMassFlag, &QCheckBox::stateChanged, this, &W::CenterofMassFlag_stateChanged);
    connect(m_pUi->AziofZeroDirFlag, &QCheckBox::stateChanged, this, &W::AziofZeroDirFlag_stateChanged);
    connect(m_pUi->ObsHeaderSaveChange, &QPushButton::clicked, this, &W::ObsHeaderSaveChange_Click);
    connect(m_pUi->ObsHeaderChangeCannel, &QPushButton::clicked, this, &W::ObsHeaderChangeCannel_Click);
    FixWindowSize(this, kDesignedSize);
    LoadSettings();
    ShowSaved();
}

CObsHeaderWindow::~CObsHeaderWindow() = default;

// The header settings file is read with the engine's parser; without it the
// window starts from its own defaults.
void CObsHeaderWindow::LoadSettings()
{
    RinexObsHeader& saved = *m_pSaved;
    std::memset(&saved, 0, sizeof saved);
    FILE* pFile = std::fopen(RinexObsHeaderSettingsPath().c_str(), "rb");
    if (pFile)
    {
        std::vector<char> text(RINEX_SETTINGS_MAX_BYTES + 1, 0);
        const size_t n = std::fread(text.data(), 1, RINEX_SETTINGS_MAX_BYTES, pFile);
        std::fclose(pFile);
        ParseRinexHeaderText(text.data(), static_cast<uint32_t>(n), &saved);
        return;
    }
    QStringToCharBuf("ZorvikMoxelin", saved.szProgram);
    QStringToCharBuf("Halvorne", saved.szRunBy);
    QStringToCharBuf("Halvorne Ant001", saved.szMarkerName);
    QStringToCharBuf("Ant001", saved.szMarkerNumber);
    QStringToCharBuf("GEODETIC", saved.szMarkerType);
    QStringToCharBuf("Halvorne-001", saved.szObserver);
    QStringToCharBuf("Halvorne", saved.szAgency);
    QStringToCharBuf("Halvorne#001", saved.szRecNumber);
    QStringToCharBuf("GEODETIC", saved.szRecType);
    QStringToCharBuf("Halvorne QT47R", saved.szRecVersion);
    QStringToCharBuf("Ant001", saved.szAntNumber);
    QStringToCharBuf("ROVER", saved.szAntType);
}

QCheckBox* CObsHeaderWindow::OptionalBox(int nGroup) const
{
    QCheckBox* const aBoxes[OPTIONAL_GROUP_COUNT] = {m_pUi->ARPPositionFlag, m_pUi->AntBSightFlag,
                                                     m_pUi->AntZeroDirFlag, m_pUi->CenterofMassFlag,
                                                     m_pUi->AziofZeroDirFlag};
    return aBoxes[nGroup];
}

void CObsHeaderWindow::ShowSaved()
{
    const RinexObsHeader& saved = *m_pSaved;
    Ui::ObsHeaderSettingsWindow& ui = *m_pUi;
    ui.CreatProgramName->setText(CharBufToQString(saved.szProgram));
    ui.CreatAgencyName->setText(CharBufToQString(saved.szRunBy));
    ui.MarkerName->setText(CharBufToQString(saved.szMarkerName));
    ui.MarkerNum->setText(CharBufToQString(saved.szMarkerNumber));
    ui.MarkerType->setCurrentText(CharBufToQString(saved.szMarkerType));
    ui.Observer->setText(CharBufToQString(saved.szObserver));
    ui.AgencyName->setText(CharBufToQString(saved.szAgency));
    ui.RevNum->setText(CharBufToQString(saved.szRecNumber));
    ui.RevType->setText(CharBufToQString(saved.szRecType));
    ui.RevVersion->setText(CharBufToQString(saved.szRecVersion));
    ui.AntNum->setText(CharBufToQString(saved.szAntNumber));
    ui.AntType->setText(CharBufToQString(saved.szAntType));
    SetApproxPosition();
    QLineEdit* const aDelta[3] = {ui.AntDeltaH, ui.AntDeltaE, ui.AntDeltaN};
    QLineEdit* const aArp[3] = {ui.ArpX, ui.ArpY, ui.ArpZ};
    QLineEdit* const aSight[3] = {ui.BSightX, ui.BSightY, ui.BSightZ};
    QLineEdit* const aZeroDir[3] = {ui.ZeroDirX, ui.ZeroDirY, ui.ZeroDirZ};
    QLineEdit* const aMass[3] = {ui.CenterofMassX, ui.CenterofMassY, ui.CenterofMassZ};
    ShowTriple(aDelta, saved.aAntDeltaHen);
    ShowTriple(aArp, saved.aAntDeltaXyz);
    ShowTriple(aSight, saved.aBoresight);
    ShowTriple(aZeroDir, saved.aZeroDirXyz);
    ShowTriple(aMass, saved.aCenterOfMass);
    ui.AziofZeroDir->setText(NumberText(saved.dZeroDirAzimuth));
    for (int i = 0; i < OPTIONAL_GROUP_COUNT; ++i)
        OptionalBox(i)->setChecked(m_aSavedOptional[i]);
}

void CObsHeaderWindow::SetApproxPosition()
{
    m_pUi->ApproxX->setText(PositionText(m_pSaved->aApproxPos[0]));
    m_pUi->ApproxY->setText(PositionText(m_pSaved->aApproxPos[1]));
    m_pUi->ApproxZ->setText(PositionText(m_pSaved->aApproxPos[2]));
}

// Only the labels change: the fields keep what they show, saved or being
// edited.
void CObsHeaderWindow::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    FixWindowSize(this, kDesignedSize);
}

// The optional records are RINEX 3 only: with a version 2 file their boxes
// and fields are closed.
void CObsHeaderWindow::SetVersion3(bool bVersion3)
{
    m_pUi->MarkerType->setEnabled(bVersion3);
    for (int i = 0; i < OPTIONAL_GROUP_COUNT; ++i)
    {
        OptionalBox(i)->setEnabled(bVersion3);
        UpdateOptionalFields(i);
    }
}

void CObsHeaderWindow::UpdateOptionalFields(int nGroup)
{
    Ui::ObsHeaderSettingsWindow& ui = *m_pUi;
    const std::vector<QLineEdit*> aFields[OPTIONAL_GROUP_COUNT] = {
        {ui.ArpX, ui.ArpY, ui.ArpZ},
        {ui.BSightX, ui.BSightY, ui.BSightZ},
        {ui.ZeroDirX, ui.ZeroDirY, ui.ZeroDirZ},
        {ui.CenterofMassX, ui.CenterofMassY, ui.CenterofMassZ},
        {ui.AziofZeroDir}};
    const QCheckBox* pBox = OptionalBox(nGroup);
    for (QLineEdit* pField : aFields[nGroup])
        pField->setEnabled(pBox->isEnabled() && pBox->isChecked());
}

void CObsHeaderWindow::ObsHeaderWindowVersion3Changed() { SetVersion3(true); }
void CObsHeaderWindow::ObsHeaderWindowVersion2Changed() { SetVersion3(false); }

void CObsHeaderWindow::CreatAgencyName_textChanged() { emit CreatAgencyName_Changed(m_pUi->CreatAgencyName->text()); }

void CObsHeaderWindow::ARPPositionFlag_stateChanged() { UpdateOptionalFields(OPTIONAL_ARP); }
void CObsHeaderWindow::BSightFlag_stateChanged() { UpdateOptionalFields(OPTIONAL_BORESIGHT); }
void CObsHeaderWindow::AntZeroDirFlag_stateChanged() { UpdateOptionalFields(OPTIONAL_ZERO_DIR); }
void CObsHeaderWindow::CenterofMassFlag_stateChanged() { UpdateOptionalFields(OPTIONAL_CENTER_OF_MASS); }
void CObsHeaderWindow::AziofZeroDirFlag_stateChanged() { UpdateOptionalFields(OPTIONAL_AZIMUTH); }

void CObsHeaderWindow::ObsHeaderSaveChange_Click()
{
    RinexObsHeader& saved = *m_pSaved;
    Ui::ObsHeaderSettingsWindow& ui = *m_pUi;
    QStringToCharBuf(ui.CreatProgramName->text(), saved.szProgram);
    QStringToCharBuf(ui.CreatAgencyName->text(), saved.szRunBy);
    QStringToCharBuf(ui.MarkerName->text(), saved.szMarkerName);
    QStringToCharBuf(ui.MarkerNum->text(), saved.szMarkerNumber);
    QStringToCharBuf(ui.MarkerType->currentText(), saved.szMarkerType);
    QStringToCharBuf(ui.Observer->text(), saved.szObserver);
    QStringToCharBuf(ui.AgencyName->text(), saved.szAgency);
    QStringToCharBuf(ui.RevNum->text(), saved.szRecNumber);
    QStringToCharBuf(ui.RevType->text(), saved.szRecType);
    QStringToCharBuf(ui.RevVersion->text(), saved.szRecVersion);
    QStringToCharBuf(ui.AntNum->text(), saved.szAntNumber);
    QStringToCharBuf(ui.AntType->text(), saved.szAntType);
    QLineEdit* const aApprox[3] = {ui.ApproxX, ui.ApproxY, ui.ApproxZ};
    QLineEdit* const aDelta[3] = {ui.AntDeltaH, ui.AntDeltaE, ui.AntDeltaN};
    QLineEdit* const aArp[3] = {ui.ArpX, ui.ArpY, ui.ArpZ};
    QLineEdit* const aSight[3] = {ui.BSightX, ui.BSightY, ui.BSightZ};
    QLineEdit* const aZeroDir[3] = {ui.ZeroDirX, ui.ZeroDirY, ui.ZeroDirZ};
    QLineEdit* const aMass[3] = {ui.CenterofMassX, ui.CenterofMassY, ui.CenterofMassZ};
    ReadTriple(aApprox, saved.aApproxPos);
    ReadTriple(aDelta, saved.aAntDeltaHen);
    ReadTriple(aArp, saved.aAntDeltaXyz);
    ReadTriple(aSight, saved.aBoresight);
    ReadTriple(aZeroDir, saved.aZeroDirXyz);
    ReadTriple(aMass, saved.aCenterOfMass);
    saved.dZeroDirAzimuth = FieldNumber(ui.AziofZeroDir);
    for (int i = 0; i < OPTIONAL_GROUP_COUNT; ++i)
        m_aSavedOptional[i] = OptionalBox(i)->isChecked();
    close();
}

void CObsHeaderWindow::ObsHeaderChangeCannel_Click()
{
    ShowSaved();
    close();
}

void CObsHeaderWindow::ObsSettingWindow_SetInfo()
{
    ShowSaved();
    show();
    raise();
}

// Copies the saved copy into the engine's record, after the job has set the
// record's version.
void CObsHeaderWindow::RinexObsHeader_FillData()
{
    RinexObsHeader* pRecord = GetRinexObsHeader();
    const RinexObsHeader& saved = *m_pSaved;
    QStringToCharBuf("OBSERVATION DATA", pRecord->szFileType);
    CopyText(pRecord->szProgram, saved.szProgram);
    CopyText(pRecord->szRunBy, saved.szRunBy);
    CopyText(pRecord->szMarkerName, saved.szMarkerName);
    CopyText(pRecord->szMarkerNumber, saved.szMarkerNumber);
    CopyText(pRecord->szMarkerType, saved.szMarkerType);
    CopyText(pRecord->szObserver, saved.szObserver);
    CopyText(pRecord->szAgency, saved.szAgency);
    CopyText(pRecord->szRecNumber, saved.szRecNumber);
    CopyText(pRecord->szRecType, saved.szRecType);
    CopyText(pRecord->szRecVersion, saved.szRecVersion);
    CopyText(pRecord->szAntNumber, saved.szAntNumber);
    CopyText(pRecord->szAntType, saved.szAntType);
    std::memcpy(pRecord->aApproxPos, saved.aApproxPos, sizeof saved.aApproxPos);
    std::memcpy(pRecord->aAntDeltaHen, saved.aAntDeltaHen, sizeof saved.aAntDeltaHen);
    if (pRecord->nVersion <= 212)
        return;
    if (m_aSavedOptional[OPTIONAL_ARP])
        std::memcpy(pRecord->aAntDeltaXyz, saved.aAntDeltaXyz, sizeof saved.aAntDeltaXyz);
    if (m_aSavedOptional[OPTIONAL_BORESIGHT])
        std::memcpy(pRecord->aBoresight, saved.aBoresight, sizeof saved.aBoresight);
    if (m_aSavedOptional[OPTIONAL_ZERO_DIR])
        std::memcpy(pRecord->aZeroDirXyz, saved.aZeroDirXyz, sizeof saved.aZeroDirXyz);
    if (m_aSavedOptional[OPTIONAL_CENTER_OF_MASS])
        std::memcpy(pRecord->aCenterOfMass, saved.aCenterOfMass, sizeof saved.aCenterOfMass);
    if (m_aSavedOptional[OPTIONAL_AZIMUTH])
        pRecord->dZeroDirAzimuth = saved.dZeroDirAzimuth;
}
