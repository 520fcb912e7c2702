#include "converter/ui/obs_header_window.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "converter/engine/convert_context.h"
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

using Form = Ui::ObsHeaderSettingsWindow;

// The record's text fields that the form edits, with their line edits and
// the window's defaults (the marker type, edited in a combo box, has none).
struct TextRow
{
    QLineEdit* Form::*pField;
    size_t nOffset;
    size_t nSize;
    const char* pDefault;
};
#define ZV_TEXT_ROW(field, member, text)                                                                               \
    {                                                                                                                  \
        &Form::field, offsetof(RinexObsHeader, member), sizeof(RinexObsHeader::member), text                           \
    }
const TextRow kTextRows[] = {
    ZV_TEXT_ROW(CreatProgramName, szProgram, "ZorvikMoxelin"),
    ZV_TEXT_ROW(CreatAgencyName, szRunBy, "Halvorne"),
    ZV_TEXT_ROW(MarkerName, szMarkerName, "Halvorne Ant001"),
    ZV_TEXT_ROW(MarkerNum, szMarkerNumber, "Ant001"),
    ZV_TEXT_ROW(Observer, szObserver, "Halvorne-001"),
    ZV_TEXT_ROW(AgencyName, szAgency, "Halvorne"),
    ZV_TEXT_ROW(RevNum, szRecNumber, "Halvorne#001"),
    ZV_TEXT_ROW(RevType, szRecType, "GEODETIC"),
    ZV_TEXT_ROW(RevVersion, szRecVersion, "Halvorne QT47R"),
    ZV_TEXT_ROW(AntNum, szAntNumber, "Ant001"),
    ZV_TEXT_ROW(AntType, szAntType, "ROVER"),
};
#undef ZV_TEXT_ROW

// The record's coordinate triples with their three line edits; the
// optional ones are copied to a conversion only when their box is saved
// checked.
struct TripleRow
{
    QLineEdit* Form::*aFields[3];
    size_t nOffset;
    int nOptionalGroup; // -1: always copied
};
const TripleRow kTripleRows[] = {
    {{&Form::ApproxX, &Form::ApproxY, &Form::ApproxZ}, offsetof(RinexObsHeader, aApproxPos), -1},
    {{&Form::AntDeltaH, &Form::AntDeltaE, &Form::AntDeltaN}, offsetof(RinexObsHeader, aAntDeltaHen), -1},
    {{&Form::ArpX, &Form::ArpY, &Form::ArpZ}, offsetof(RinexObsHeader, aAntDeltaXyz), CObsHeaderWindow::OPTIONAL_ARP},
    {{&Form::BSightX, &Form::BSightY, &Form::BSightZ},
     offsetof(RinexObsHeader, aBoresight),
     CObsHeaderWindow::OPTIONAL_BORESIGHT},
    {{&Form::ZeroDirX, &Form::ZeroDirY, &Form::ZeroDirZ},
     offsetof(RinexObsHeader, aZeroDirXyz),
     CObsHeaderWindow::OPTIONAL_ZERO_DIR},
    {{&Form::CenterofMassX, &Form::CenterofMassY, &Form::CenterofMassZ},
     offsetof(RinexObsHeader, aCenterOfMass),
     CObsHeaderWindow::OPTIONAL_CENTER_OF_MASS},
};

char* TextOf(RinexObsHeader* pHeader, const TextRow& row) { return reinterpret_cast<char*>(pHeader) + row.nOffset; }
double* TripleOf(RinexObsHeader* pHeader, const TripleRow& row)
{
    return reinterpret_cast<double*>(reinterpret_cast<char*>(pHeader) + row.nOffset);
}

double FieldNumber(const QLineEdit* pField)
{
    double d = 0.0;
    QStringToDouble(pField->text(), &d);
    return d;
}

template <size_t N> void CopyText(char (&to)[N], const char (&from)[N]) { std::memcpy(to, from, N); }
} // namespace

CObsHeaderWindow::CObsHeaderWindow(QWidget* parent, CConvertContext* pContext)
    : QMainWindow(parent), m_pUi(new Ui::ObsHeaderSettingsWindow), m_pContext(pContext), m_pSaved(new RinexObsHeader())
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
    if (ReadRinexObsHeaderSettings(&saved))
        return;
    for (const TextRow& row : kTextRows)
        QStringToCharBuf(row.pDefault, TextOf(&saved, row), row.nSize);
    QStringToCharBuf("GEODETIC", saved.szMarkerType);
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
    RinexObsHeader* pSaved = m_pSaved.get();
    Form& ui = *m_pUi;
    for (const TextRow& row : kTextRows)
        (ui.*row.pField)->setText(CharBufToQString(TextOf(pSaved, row), row.nSize));
    ui.MarkerType->setCurrentText(CharBufToQString(pSaved->szMarkerType));
    for (const TripleRow& row : kTripleRows)
        for (int i = 0; i < 3; ++i)
            (ui.*row.aFields[i])->setText(NumberText(TripleOf(pSaved, row)[i]));
    SetApproxPosition();
    ui.AziofZeroDir->setText(NumberText(pSaved->dZeroDirAzimuth));
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
    RinexObsHeader* pSaved = m_pSaved.get();
    Form& ui = *m_pUi;
    for (const TextRow& row : kTextRows)
        QStringToCharBuf((ui.*row.pField)->text(), TextOf(pSaved, row), row.nSize);
    QStringToCharBuf(ui.MarkerType->currentText(), pSaved->szMarkerType);
    for (const TripleRow& row : kTripleRows)
        for (int i = 0; i < 3; ++i)
            TripleOf(pSaved, row)[i] = FieldNumber(ui.*row.aFields[i]);
    pSaved->dZeroDirAzimuth = FieldNumber(ui.AziofZeroDir);
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

// Copies the saved copy into the job's record, after the job has set the
// record's version.
void CObsHeaderWindow::RinexObsHeader_FillData()
{
    RinexObsHeader* pRecord = m_pContext->GetRinexObsHeader();
    RinexObsHeader* pSaved = m_pSaved.get();
    QStringToCharBuf("OBSERVATION DATA", pRecord->szFileType);
    for (const TextRow& row : kTextRows)
        std::memcpy(TextOf(pRecord, row), TextOf(pSaved, row), row.nSize);
    CopyText(pRecord->szMarkerType, pSaved->szMarkerType);
    // The optional records exist from RINEX 3 on.
    const bool bVersion3 = pRecord->nVersion > 212;
    for (const TripleRow& row : kTripleRows)
        if (row.nOptionalGroup < 0 || (bVersion3 && m_aSavedOptional[row.nOptionalGroup]))
            std::memcpy(TripleOf(pRecord, row), TripleOf(pSaved, row), 3 * sizeof(double));
    if (bVersion3 && m_aSavedOptional[OPTIONAL_AZIMUTH])
        pRecord->dZeroDirAzimuth = pSaved->dZeroDirAzimuth;
}
