#include "converter/ui/nav_header_window.h"

#include <QIntValidator>

#include <cstring>

#include "converter/engine/convert_context.h"
#include "converter/engine/rinex_nav.h"
#include "converter/ui/field_text.h"
#include "converter/ui/window_fit.h"
#include "ui_NavHeaderSettingsWindow.h"

namespace
{
const QSize kDesignedSize(311, 229);
}

CNavHeaderWindow::CNavHeaderWindow(QWidget* parent, CConvertContext* pContext)
    : QMainWindow(parent), m_pUi(new Ui::NavHeaderSettingsWindow), m_pContext(pContext), m_pSaved(new RinexNavHeader())
{
    InitMoxelinResources();
    m_pUi->setupUi(this);
    // A leap value of 0 would make the time conversions fall back to their
    // default, so the GPS field takes whole seconds from 1 on.
    m_pUi->GPSLeapSecond->setValidator(new QIntValidator(1, 99, this));
    m_pUi->BDSLeapSecond->setValidator(new QIntValidator(0, 99, this));
    using W = CNavHeaderWindow;
    connect(m_pUi->GPSLeapSecond, &QLineEdit::textChanged, this, &W::UpdateOkButton);
    connect(m_pUi->BDSLeapSecond, &QLineEdit::textChanged, this, &W::UpdateOkButton);
    connect(m_pUi->NavHeaderSaveChange, &QPushButton::clicked, this, &W::NavHeaderSaveChange_Click);
    connect(m_pUi->NavHeaderChangeCannel, &QPushButton::clicked, this, &W::NavHeaderChangeCannel_Click);
    FixWindowSize(this, kDesignedSize);

    QStringToCharBuf("ZorvikMoxelin", m_pSaved->szProgram);
    QStringToCharBuf("Halvorne", m_pSaved->szAgency);
    m_pSaved->nGpsLeapSeconds = 18;
    m_pSaved->nBdsLeapSeconds = 4;
    ShowSaved();
}

CNavHeaderWindow::~CNavHeaderWindow() = default;

uint32_t CNavHeaderWindow::GetGPSLeapSecond() const { return static_cast<uint32_t>(m_pSaved->nGpsLeapSeconds); }

void CNavHeaderWindow::SetDefaultGPSLeapSecond(uint32_t nSeconds)
{
    if (m_bGpsLeapTyped || nSeconds == 0)
        return;
    m_pSaved->nGpsLeapSeconds = static_cast<int32_t>(nSeconds);
    // An open form keeps what the user is editing.
    if (!isVisible())
        ShowSaved();
}

void CNavHeaderWindow::ShowSaved()
{
    m_pUi->NavProgrameName->setText(CharBufToQString(m_pSaved->szProgram));
    m_pUi->NavAgencyName->setText(CharBufToQString(m_pSaved->szAgency));
    m_pUi->GPSLeapSecond->setText(QString::number(m_pSaved->nGpsLeapSeconds));
    m_pUi->BDSLeapSecond->setText(QString::number(m_pSaved->nBdsLeapSeconds));
}

void CNavHeaderWindow::UpdateOkButton()
{
    m_pUi->NavHeaderSaveChange->setEnabled(m_pUi->GPSLeapSecond->hasAcceptableInput() &&
                                           m_pUi->BDSLeapSecond->hasAcceptableInput());
}

// Only the labels change; the fields keep what they show.
void CNavHeaderWindow::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    FixWindowSize(this, kDesignedSize);
}

void CNavHeaderWindow::AgencyName_textChanged(QString AgencyName)
{
    m_pUi->NavAgencyName->setText(AgencyName);
    QStringToCharBuf(AgencyName, m_pSaved->szAgency);
}

void CNavHeaderWindow::RinexNavHeader_FillData()
{
    RinexNavHeader* pRecord = m_pContext->GetRinexNavHeader();
    std::memcpy(pRecord->szProgram, m_pSaved->szProgram, sizeof pRecord->szProgram);
    std::memcpy(pRecord->szAgency, m_pSaved->szAgency, sizeof pRecord->szAgency);
    pRecord->nGpsLeapSeconds = m_pSaved->nGpsLeapSeconds;
    pRecord->nBdsLeapSeconds = m_pSaved->nBdsLeapSeconds;
}

void CNavHeaderWindow::NavSettingWindow_SetInfo()
{
    ShowSaved();
    show();
    raise();
}

void CNavHeaderWindow::NavHeaderSaveChange_Click()
{
    if (!m_pUi->GPSLeapSecond->hasAcceptableInput() || !m_pUi->BDSLeapSecond->hasAcceptableInput())
        return;
    QStringToCharBuf(m_pUi->NavAgencyName->text(), m_pSaved->szAgency);
    const int32_t nShown = m_pSaved->nGpsLeapSeconds;
    QStringToInt(m_pUi->GPSLeapSecond->text(), &m_pSaved->nGpsLeapSeconds);
    if (m_pSaved->nGpsLeapSeconds != nShown)
        m_bGpsLeapTyped = true;
    QStringToInt(m_pUi->BDSLeapSecond->text(), &m_pSaved->nBdsLeapSeconds);
    close();
}

void CNavHeaderWindow::NavHeaderChangeCannel_Click()
{
    ShowSaved();
    close();
}
