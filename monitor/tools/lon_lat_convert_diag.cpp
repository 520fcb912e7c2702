#include "monitor/tools/lon_lat_convert_diag.h"

#include <QSignalBlocker>
#include <cmath>

#include "monitor/shell/monitor_prompt.h"
#include "monitor/tools/lon_lat_convert.h"
#include "ui_LonAndLatConvertDiag.h"

namespace
{
enum : int
{
    COOR_TO_XYZ = 0,
    COOR_TO_GEODETIC = 1,
    TIME_TO_UTC = 0,
    TIME_TO_WEEK = 1,
};

void Refill(QComboBox* pCombo, const QStringList& items)
{
    const QSignalBlocker block(pCombo);
    const int nIndex = qMax(0, pCombo->currentIndex());
    pCombo->clear();
    pCombo->addItems(items);
    pCombo->setCurrentIndex(nIndex);
}

QString Fixed(double dValue, int nDecimals) { return QString::number(dValue, 'f', nDecimals); }
} // namespace

QLonAndLatConvertDiag::QLonAndLatConvertDiag(QWidget* pParent)
    : QDialog(pParent), m_pUi(std::make_unique<Ui::LonAndLatConvertDiag>())
{
    m_pUi->setupUi(this);
    setObjectName(QStringLiteral("QLonAndLatConvertDiag"));
    FillCombos();
    // Dates the time routines take: from the start of GPS time to the end of 2099.
    m_pUi->pDateTimeEdit->setMinimumDateTime(QDateTime(QDate(1980, 1, 6), QTime(0, 0), Qt::UTC));
    m_pUi->pDateTimeEdit->setMaximumDateTime(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59), Qt::UTC));
    m_pUi->pDateTimeEdit->setDateTime(QDateTime::currentDateTimeUtc());

    const auto changed = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(m_pUi->pThreeFormatCheckBox, &QCheckBox::toggled, this, &QLonAndLatConvertDiag::OnThreeOutFormat);
    connect(m_pUi->qInputFormatcomboBox, changed, this, &QLonAndLatConvertDiag::OnThreeOutFormat);
    connect(m_pUi->qOutFormatcomboBox, changed, this, &QLonAndLatConvertDiag::OnThreeOutFormat);
    connect(m_pUi->pConvertButton, &QPushButton::clicked, this, &QLonAndLatConvertDiag::OnConvertButtonClick);
    connect(m_pUi->pCoorTransButton, &QPushButton::clicked, this, &QLonAndLatConvertDiag::OnCoorTransButtonClick);
    connect(m_pUi->pCoorTransModeComboBox, changed, this, &QLonAndLatConvertDiag::OnCoorTransModeChanged);
    connect(m_pUi->pTimeTransModeComboBox, changed, this, &QLonAndLatConvertDiag::OnTimeTransModeChanged);
    connect(m_pUi->pTimeConvertButton, &QPushButton::clicked, this,
            &QLonAndLatConvertDiag::OnTimeCycleConvertButtonClick);
    connect(m_pUi->pCancelButton, &QPushButton::clicked, this, &QDialog::close);
    OnThreeOutFormat();
    OnCoorTransModeChanged();
    OnTimeTransModeChanged();
}

QLonAndLatConvertDiag::~QLonAndLatConvertDiag() = default;

void QLonAndLatConvertDiag::FillCombos()
{
    const QStringList forms = {tr("Degree"), tr("NMEA"), tr("Degree Min Sec")};
    Refill(m_pUi->qInputFormatcomboBox, forms);
    Refill(m_pUi->qOutFormatcomboBox, forms);
    Refill(m_pUi->pCoorTransModeComboBox, {tr("Latitude and longitude to XYZ"), tr("XYZ to Latitude and longitude")});
    Refill(m_pUi->pTimeTransModeComboBox, {tr("Weeks seconds to UTC"), tr("UTC to Weeks seconds")});
}

void QLonAndLatConvertDiag::OnShowDialog()
{
    show();
    raise();
    activateWindow();
}

void QLonAndLatConvertDiag::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    FillCombos();
    // Texts the modes and forms set in code.
    OnThreeOutFormat();
    OnCoorTransModeChanged();
    OnTimeTransModeChanged();
}

void QLonAndLatConvertDiag::Warn(const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Error"), sText);
}

bool QLonAndLatConvertDiag::FieldNumber(QLineEdit* pEdit, double* pValue)
{
    if (ReadNumber(pEdit->text().toStdString(), pValue))
        return true;
    Warn(tr("\"%1\" is not a number!").arg(pEdit->text()));
    return false;
}

bool QLonAndLatConvertDiag::InRange(double dValue, double dLimit, const QString& sMessage)
{
    if (std::fabs(dValue) <= dLimit)
        return true;
    Warn(sMessage);
    return false;
}

QString QLonAndLatConvertDiag::AngleRangeMessage(bool bLatitude) const
{
    return bLatitude ? tr("The latitude must lie between -90 and 90!")
                     : tr("The longitude must lie between -180 and 180!");
}

// ---- Lon and Lat ----

void QLonAndLatConvertDiag::OnThreeOutFormat()
{
    Ui::LonAndLatConvertDiag& ui = *m_pUi;
    const bool bAll = ui.pThreeFormatCheckBox->isChecked();
    const int nIn = ui.qInputFormatcomboBox->currentIndex();
    const int nOut = ui.qOutFormatcomboBox->currentIndex();
    ui.pOutputGroup->setTitle(bAll ? tr("Degree Min Sec") : tr("Output"));
    // All three forms at once read a position log or an NMEA sentence; the
    // degrees-minutes-seconds form always has fields of its own.
    const bool bLine = bAll && nIn != POS_FORM_DMS;
    const bool bPair = !bAll && nIn != POS_FORM_DMS;
    const bool bDms = nIn == POS_FORM_DMS;
    for (QWidget* p : {static_cast<QWidget*>(ui.pInputLineLabel), static_cast<QWidget*>(ui.pInputlineEdit)})
        p->setVisible(bLine);
    for (QWidget* p : {ui.pInputLonLabel, ui.pInputLatLabel})
        p->setVisible(bPair);
    for (QLineEdit* p : {ui.pInputLonlineEdit, ui.pInputLatlineEdit})
        p->setVisible(bPair);
    for (QWidget* p : QList<QWidget*>{ui.pInputLonDmsLabel, ui.pInputLonDegEdit, ui.pInputLonDegUnit, ui.pInputLonMinEdit,
                                      ui.pInputLonMinUnit, ui.pInputLonSecEdit, ui.pInputLonSecUnit, ui.pInputLatDmsLabel,
                                      ui.pInputLatDegEdit, ui.pInputLatDegUnit, ui.pInputLatMinEdit, ui.pInputLatMinUnit,
                                      ui.pInputLatSecEdit, ui.pInputLatSecUnit})
        p->setVisible(bDms);
    const QList<QWidget*> rows[3] = {{ui.pOutDegreeLabel, ui.pOutLonDegreeEdit, ui.pOutLatDegreeEdit},
                                     {ui.pOutNmeaLabel, ui.pOutLonNmeaEdit, ui.pOutLatNmeaEdit},
                                     {ui.pOutDmsLabel, ui.pOutLonDmsEdit, ui.pOutLatDmsEdit}};
    for (int nForm = 0; nForm < 3; ++nForm)
        for (QWidget* p : rows[nForm])
            p->setVisible(bAll || nForm == nOut);
}

QString QLonAndLatConvertDiag::FormatAngle(double dDegrees, int nForm) const
{
    switch (nForm)
    {
    case POS_FORM_DEGREE:
        return Fixed(dDegrees, 6) + tr("Degree");
    case POS_FORM_NMEA:
        return Fixed(DegreesToNmea(dDegrees), 6) + tr("Degree '");
    default:
    {
        const DMS_ANGLE_T a = DegreesToDms(dDegrees);
        return (a.Negative ? QStringLiteral("-") : QString()) + QString::number(a.Degrees) + tr("Degree ") +
               QString::number(a.Minutes) + QStringLiteral("' ") + Fixed(a.Seconds, 4) + QStringLiteral("'' ");
    }
    }
}

void QLonAndLatConvertDiag::ShowOutputs(double dLat, bool bHasLat, double dLon, bool bHasLon, bool bAllForms)
{
    Ui::LonAndLatConvertDiag& ui = *m_pUi;
    QLineEdit* const lonEdits[3] = {ui.pOutLonDegreeEdit, ui.pOutLonNmeaEdit, ui.pOutLonDmsEdit};
    QLineEdit* const latEdits[3] = {ui.pOutLatDegreeEdit, ui.pOutLatNmeaEdit, ui.pOutLatDmsEdit};
    const int nOut = ui.qOutFormatcomboBox->currentIndex();
    for (int nForm = 0; nForm < 3; ++nForm)
    {
        if (!bAllForms && nForm != nOut)
            continue;
        if (bHasLon)
            lonEdits[nForm]->setText(FormatAngle(dLon, nForm));
        if (bHasLat)
            latEdits[nForm]->setText(FormatAngle(dLat, nForm));
    }
}

bool QLonAndLatConvertDiag::ReadDmsInput(QLineEdit* pDeg, QLineEdit* pMin, QLineEdit* pSec, double* pValue, bool* pHas)
{
    *pHas = !pDeg->text().trimmed().isEmpty() || !pMin->text().trimmed().isEmpty() ||
            !pSec->text().trimmed().isEmpty();
    if (!*pHas)
        return true;
    double d[3] = {0.0, 0.0, 0.0};
    QLineEdit* const edits[3] = {pDeg, pMin, pSec};
    for (int i = 0; i < 3; ++i)
        if (!edits[i]->text().trimmed().isEmpty() && !FieldNumber(edits[i], &d[i]))
            return false;
    // The sign is written on the degrees, also when they are 0 ("-0 30' 0''").
    const bool bNegative = pDeg->text().trimmed().startsWith(QLatin1Char('-'));
    if (!DmsToDegrees(d[0], d[1], d[2], bNegative, pValue))
    {
        Warn(tr("The minutes and seconds must be below 60!"));
        return false;
    }
    return true;
}

bool QLonAndLatConvertDiag::ReadSingleInput(double* pLat, bool* pHasLat, double* pLon, bool* pHasLon)
{
    Ui::LonAndLatConvertDiag& ui = *m_pUi;
    const int nIn = ui.qInputFormatcomboBox->currentIndex();
    QLineEdit* const edits[2] = {ui.pInputLonlineEdit, ui.pInputLatlineEdit};
    double* const values[2] = {pLon, pLat};
    bool* const has[2] = {pHasLon, pHasLat};
    const double limits[2] = {LONGITUDE_LIMIT_DEG, LATITUDE_LIMIT_DEG};
    for (int i = 0; i < 2; ++i)
    {
        if (nIn == POS_FORM_DMS)
        {
            const bool bLat = i == 1;
            if (!ReadDmsInput(bLat ? ui.pInputLatDegEdit : ui.pInputLonDegEdit,
                              bLat ? ui.pInputLatMinEdit : ui.pInputLonMinEdit,
                              bLat ? ui.pInputLatSecEdit : ui.pInputLonSecEdit, values[i], has[i]))
                return false;
        }
        else
        {
            *has[i] = !edits[i]->text().trimmed().isEmpty();
            if (!*has[i])
                continue;
            double dValue = 0.0;
            if (!FieldNumber(edits[i], &dValue))
                return false;
            if (nIn == POS_FORM_NMEA && !NmeaToDegrees(dValue, &dValue))
            {
                Warn(tr("The minutes and seconds must be below 60!"));
                return false;
            }
            *values[i] = dValue;
        }
        if (*has[i] && !InRange(*values[i], limits[i], AngleRangeMessage(i == 1)))
            return false;
    }
    return true;
}

void QLonAndLatConvertDiag::OnConvertButtonClick()
{
    Ui::LonAndLatConvertDiag& ui = *m_pUi;
    double dLat = 0.0, dLon = 0.0;
    bool bHasLat = true, bHasLon = true;
    const bool bAll = ui.pThreeFormatCheckBox->isChecked();
    const int nIn = ui.qInputFormatcomboBox->currentIndex();
    if (bAll && nIn == POS_FORM_DEGREE)
    {
        if (!PositionFromLog(ui.pInputlineEdit->text().toStdString(), &dLat, &dLon))
        {
            Warn(tr("The input format is not correct, please enter the complete Pos information!"));
            return;
        }
    }
    else if (bAll && nIn == POS_FORM_NMEA)
    {
        if (!PositionFromNmea(ui.pInputlineEdit->text().toStdString(), &dLat, &dLon))
        {
            Warn(tr("The input format is not correct, please enter the complete NMEA information!"));
            ui.pInputlineEdit->clear();
            return;
        }
    }
    else if (!ReadSingleInput(&dLat, &bHasLat, &dLon, &bHasLon))
        return;
    ShowOutputs(dLat, bHasLat, dLon, bHasLon, bAll);
}

// ---- Coordinate Transformation ----

void QLonAndLatConvertDiag::OnCoorTransModeChanged()
{
    Ui::LonAndLatConvertDiag& ui = *m_pUi;
    const QStringList geodetic = {tr("Lon"), tr("Lat"), tr("Hei")};
    const QStringList geodeticUnits = {tr("Degree"), tr("Degree"), tr("m")};
    const QStringList xyz = {tr("X"), tr("Y"), tr("Z")};
    const QStringList xyzUnits = {tr("m"), tr("m"), tr("m")};
    const bool bToXyz = ui.pCoorTransModeComboBox->currentIndex() != COOR_TO_GEODETIC;
    QLabel* const inLabels[3] = {ui.pCoorIn1Label, ui.pCoorIn2Label, ui.pCoorIn3Label};
    QLabel* const inUnits[3] = {ui.pCoorIn1Unit, ui.pCoorIn2Unit, ui.pCoorIn3Unit};
    QLabel* const outLabels[3] = {ui.pCoorOut1Label, ui.pCoorOut2Label, ui.pCoorOut3Label};
    QLabel* const outUnits[3] = {ui.pCoorOut1Unit, ui.pCoorOut2Unit, ui.pCoorOut3Unit};
    for (int i = 0; i < 3; ++i)
    {
        inLabels[i]->setText(bToXyz ? geodetic[i] : xyz[i]);
        inUnits[i]->setText(bToXyz ? geodeticUnits[i] : xyzUnits[i]);
        outLabels[i]->setText(bToXyz ? xyz[i] : geodetic[i]);
        outUnits[i]->setText(bToXyz ? xyzUnits[i] : geodeticUnits[i]);
    }
}

void QLonAndLatConvertDiag::OnCoorTransButtonClick()
{
    Ui::LonAndLatConvertDiag& ui = *m_pUi;
    QLineEdit* const inputs[3] = {ui.pCoorIn1Edit, ui.pCoorIn2Edit, ui.pCoorIn3Edit};
    const QString empty[3] = {tr("Please enter the value of longitude or X!!!"),
                              tr("Please enter the value of latitude or Y!!!"), tr("Please enter the value of Z!!!")};
    double v[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < 3; ++i)
    {
        if (inputs[i]->text().trimmed().isEmpty())
        {
            Warn(empty[i]);
            return;
        }
        if (!FieldNumber(inputs[i], &v[i]))
            return;
    }
    double out[3] = {0.0, 0.0, 0.0};
    const QString sMetres = tr("X, Y, Z and the height must lie between -1000000000 and 1000000000 m!");
    if (ui.pCoorTransModeComboBox->currentIndex() == COOR_TO_GEODETIC)
    {
        for (double d : v)
            if (!InRange(d, CARTESIAN_LIMIT_M, sMetres))
                return;
        EcefToGeodetic(v[0], v[1], v[2], &out[0], &out[1], &out[2]);
    }
    else
    {
        if (!InRange(v[0], LONGITUDE_LIMIT_DEG, AngleRangeMessage(false)) ||
            !InRange(v[1], LATITUDE_LIMIT_DEG, AngleRangeMessage(true)) || !InRange(v[2], CARTESIAN_LIMIT_M, sMetres))
            return;
        GeodeticToEcef(v[0], v[1], v[2], &out[0], &out[1], &out[2]);
    }
    QLineEdit* const outputs[3] = {ui.pCoorOut1Edit, ui.pCoorOut2Edit, ui.pCoorOut3Edit};
    for (int i = 0; i < 3; ++i)
        outputs[i]->setText(Fixed(out[i], 6));
}

// ---- Time Cycle ----

void QLonAndLatConvertDiag::OnTimeTransModeChanged()
{
    Ui::LonAndLatConvertDiag& ui = *m_pUi;
    const bool bToUtc = ui.pTimeTransModeComboBox->currentIndex() != TIME_TO_WEEK;
    for (QWidget* p : QList<QWidget*>{ui.pWeekLabel, ui.pWeekLineEdit, ui.pWeekSecondsLabel, ui.pWeekSecondsLineEdit})
        p->setVisible(bToUtc);
    ui.pUtcInputLabel->setVisible(!bToUtc);
    ui.pDateTimeEdit->setVisible(!bToUtc);
    ui.pTimeOut1Label->setText(bToUtc ? tr("UTC Time") : tr("Week"));
    ui.pTimeOut2Label->setVisible(!bToUtc);
    ui.pTimeOut2Edit->setVisible(!bToUtc);
}

void QLonAndLatConvertDiag::OnTimeCycleConvertButtonClick()
{
    Ui::LonAndLatConvertDiag& ui = *m_pUi;
    // An empty leap field takes the leap seconds in force at that time.
    int64_t nLeap = 0;
    const int64_t* pLeap = nullptr;
    if (!ui.pLeapSecondLineEdit->text().trimmed().isEmpty())
    {
        const int nRead =
            ReadWholeNumber(ui.pLeapSecondLineEdit->text().toStdString(), -LEAP_SECONDS_LIMIT, LEAP_SECONDS_LIMIT, &nLeap);
        if (nRead == WHOLE_NUMBER_INVALID)
        {
            Warn(tr("\"%1\" is not a number!").arg(ui.pLeapSecondLineEdit->text()));
            return;
        }
        if (nRead == WHOLE_NUMBER_OUT_OF_RANGE)
        {
            Warn(tr("The leap seconds must lie between -%1 and %1!").arg(LEAP_SECONDS_LIMIT));
            return;
        }
        pLeap = &nLeap;
    }
    const QString sDateRange = tr("The date must lie between 1980/1/6 and 2099/12/31!");

    if (ui.pTimeTransModeComboBox->currentIndex() == TIME_TO_WEEK)
    {
        const QDateTime t = ui.pDateTimeEdit->dateTime().toUTC();
        const CalendarTime utc{static_cast<uint32_t>(t.date().year()),
                               static_cast<uint32_t>(t.date().month()),
                               static_cast<uint32_t>(t.date().day()),
                               static_cast<uint32_t>(t.time().hour()),
                               static_cast<uint32_t>(t.time().minute()),
                               static_cast<uint32_t>(t.time().second()),
                               0};
        uint32_t nWeek = 0, nSeconds = 0;
        if (!UtcToGpsWeekSeconds(utc, pLeap, &nWeek, &nSeconds))
        {
            Warn(sDateRange);
            return;
        }
        ui.pTimeOut1Edit->setText(QString::number(nWeek));
        ui.pTimeOut2Edit->setText(QString::number(nSeconds));
        return;
    }

    struct FIELD_T
    {
        QLineEdit* pEdit;
        QString sEmpty;
        int64_t nMax;
        QString sRange;
        int64_t nValue;
    } fields[2] = {{ui.pWeekLineEdit, tr("Please enter the value of Week!!!"), GPS_WEEK_MAX,
                    tr("The week must lie between 0 and %1!").arg(GPS_WEEK_MAX), 0},
                   {ui.pWeekSecondsLineEdit, tr("Please enter the value of Week Second!!!"),
                    GNSS_MS_PER_WEEK / 1000 - 1, tr("The week seconds must be below 604800!"), 0}};
    for (FIELD_T& f : fields)
    {
        if (f.pEdit->text().trimmed().isEmpty())
        {
            Warn(f.sEmpty);
            return;
        }
        const int nRead = ReadWholeNumber(f.pEdit->text().toStdString(), 0, f.nMax, &f.nValue);
        if (nRead != WHOLE_NUMBER_OK)
        {
            Warn(nRead == WHOLE_NUMBER_OUT_OF_RANGE ? f.sRange
                                                    : tr("\"%1\" is not a whole number!").arg(f.pEdit->text()));
            return;
        }
    }
    CalendarTime utc{};
    if (!GpsWeekSecondsToUtc(static_cast<uint32_t>(fields[0].nValue), static_cast<uint32_t>(fields[1].nValue), pLeap,
                             &utc))
    {
        Warn(sDateRange);
        return;
    }
    ui.pTimeOut1Edit->setText(QString::asprintf("%u/%u/%u %u:%u:%u", utc.Year, utc.Month, utc.Day, utc.Hour,
                                                utc.Minute, utc.Second));
}
