// Editor of the descriptive records of a RINEX observation header: program
// and agency, marker, observer, receiver, antenna, approximate position,
// antenna deltas and the optional RINEX 3 antenna records. The window keeps a
// saved copy (from the header settings file or the defaults), shows it when
// opened, stores the form into it on "OK" and hands the saved copy to the
// engine's header record when a conversion asks for it. Unsaved edits never
// reach a conversion; "Cancel" drops them.
#pragma once

#include <QMainWindow>

#include <array>
#include <memory>

namespace Ui
{
class ObsHeaderSettingsWindow;
}

struct RinexObsHeader;
class QCheckBox;
class QLineEdit;

class CConvertContext;

class CObsHeaderWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The optional RINEX 3 groups, in the order of their boxes.
    enum OPTIONAL_GROUP_E
    {
        OPTIONAL_ARP = 0,
        OPTIONAL_BORESIGHT,
        OPTIONAL_ZERO_DIR,
        OPTIONAL_CENTER_OF_MASS,
        OPTIONAL_AZIMUTH,
        OPTIONAL_GROUP_COUNT
    };

    // pContext: the conversion context whose observation header record the
    // window fills before a job.
    CObsHeaderWindow(QWidget* parent, CConvertContext* pContext);
    ~CObsHeaderWindow() override;

    // The saved copy; only its descriptive fields are used. The source scan
    // stores the position it found here, then calls SetApproxPosition.
    RinexObsHeader* SavedHeader() { return m_pSaved.get(); }
    const RinexObsHeader* SavedHeader() const { return m_pSaved.get(); }
    bool SavedOptionalEnabled(OPTIONAL_GROUP_E eGroup) const { return m_aSavedOptional[eGroup]; }
    // Shows the saved approximate position in the form.
    void SetApproxPosition();

signals:
    void CreatAgencyName_Changed(QString sAgency);

public slots:
    void OnLanguageUpdate();
    void ObsHeaderWindowVersion3Changed();
    void ObsHeaderWindowVersion2Changed();
    void CreatAgencyName_textChanged();
    void ARPPositionFlag_stateChanged();
    void BSightFlag_stateChanged();
    void AntZeroDirFlag_stateChanged();
    void CenterofMassFlag_stateChanged();
    void AziofZeroDirFlag_stateChanged();
    void ObsHeaderSaveChange_Click();
    void ObsHeaderChangeCannel_Click();
    void ObsSettingWindow_SetInfo();
    void RinexObsHeader_FillData();

private:
    void LoadSettings();
    void ShowSaved();
    void SetVersion3(bool bVersion3);
    void UpdateOptionalFields(int nGroup);
    QCheckBox* OptionalBox(int nGroup) const;

    std::unique_ptr<Ui::ObsHeaderSettingsWindow> m_pUi;
    CConvertContext* m_pContext;
    std::unique_ptr<RinexObsHeader> m_pSaved;
    std::array<bool, OPTIONAL_GROUP_COUNT> m_aSavedOptional{};
};
