// Editor of the RINEX navigation header values the user may set: program
// name (read-only), agency, GPS and BDS leap seconds. Like the observation
// header window it keeps a saved copy, changed by "OK" (and by the agency
// following the observation window), which is what conversions use.
#pragma once

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <memory>

namespace Ui
{
class NavHeaderSettingsWindow;
}

struct RinexNavHeader;

class CConvertContext;

class CNavHeaderWindow : public QMainWindow
{
    Q_OBJECT

public:
    // pContext: the conversion context whose navigation header record the
    // window fills before a job.
    CNavHeaderWindow(QWidget* parent, CConvertContext* pContext);
    ~CNavHeaderWindow() override;

    // The saved GPS leap seconds (never the form's unsaved text).
    uint32_t GetGPSLeapSecond() const;
    // The leap seconds of the loaded data, shown as the GPS value until the
    // user saves one of their own.
    void SetDefaultGPSLeapSecond(uint32_t nSeconds);
    // Whether the saved GPS value is one the user typed (it then wins over the data's).
    bool GPSLeapSecondTyped() const { return m_bGpsLeapTyped; }
    const RinexNavHeader* SavedHeader() const { return m_pSaved.get(); }

public slots:
    void OnLanguageUpdate();
    void AgencyName_textChanged(QString AgencyName);
    void RinexNavHeader_FillData();
    void NavSettingWindow_SetInfo();
    void NavHeaderSaveChange_Click();
    void NavHeaderChangeCannel_Click();

private:
    void ShowSaved();
    void UpdateOkButton();

    std::unique_ptr<Ui::NavHeaderSettingsWindow> m_pUi;
    CConvertContext* m_pContext;
    std::unique_ptr<RinexNavHeader> m_pSaved;
    bool m_bGpsLeapTyped = false;
};
