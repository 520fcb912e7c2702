// The coordinate and time conversion tool: latitude and longitude between
// decimal degrees, NMEA ddmm.mmmm and degrees-minutes-seconds (one value
// pair, or all three forms at once from a position log or an NMEA
// sentence); geodetic coordinates and earth-centred XYZ on WGS-84; GPS week
// and seconds and a UTC date. It does no receiver input or output.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui
{
class LonAndLatConvertDiag;
}
class QLineEdit;

class QLonAndLatConvertDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QLonAndLatConvertDiag(QWidget* pParent = nullptr);
    ~QLonAndLatConvertDiag() override;

    // Index of the position forms in both format combo boxes.
    enum POS_FORM_E
    {
        POS_FORM_DEGREE = 0,
        POS_FORM_NMEA = 1,
        POS_FORM_DMS = 2,
    };

public slots:
    void OnShowDialog();
    void OnLanguageUpdate();
    void OnThreeOutFormat();
    void OnConvertButtonClick();
    void OnCoorTransButtonClick();
    void OnCoorTransModeChanged();
    void OnTimeTransModeChanged();
    void OnTimeCycleConvertButtonClick();

private:
    void FillCombos();
    void Warn(const QString& sText);
    // The number in an input field; a warning names the text when it is not one.
    bool FieldNumber(QLineEdit* pEdit, double* pValue);
    // Whether |dValue| is at most dLimit; a warning with sMessage when not.
    bool InRange(double dValue, double dLimit, const QString& sMessage);
    QString AngleRangeMessage(bool bLatitude) const;
    // Latitude and longitude of the input fields in the input form; an empty
    // field leaves its flag false.
    bool ReadSingleInput(double* pLat, bool* pHasLat, double* pLon, bool* pHasLon);
    bool ReadDmsInput(QLineEdit* pDeg, QLineEdit* pMin, QLineEdit* pSec, double* pValue, bool* pHas);
    // The value in one form, as the output fields show it.
    QString FormatAngle(double dDegrees, int nForm) const;
    void ShowOutputs(double dLat, bool bHasLat, double dLon, bool bHasLon, bool bAllForms);

    std::unique_ptr<Ui::LonAndLatConvertDiag> m_pUi;
};
