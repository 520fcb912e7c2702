// The map window: the current port's position on a web map, moved to every
// fix that the main window's tick hands it, with the trace of past fixes,
// beside the fix in numbers and the INS attitude. The web view exists only
// while the window is visible. A fix is any position with a solution,
// wherever it is on the earth.
#pragma once

#include <QDialog>
#include <QUrl>

#include "monitor/views/web/map_services.h"

class CMapPage;
class CMapWebPage;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QWebEngineView;

class QFMapWindow : public QDialog
{
    Q_OBJECT

public:
    explicit QFMapWindow(QWidget* pParent = nullptr);
    ~QFMapWindow() override;

    // The selected map, or MAP_TYPE_COUNT when none is.
    MAP_TYPE_E MapType() const;
    // The address of a map's page (MapPageUrl, unless a test set another).
    QUrl PageUrl(MAP_TYPE_E eType) const;
    // The web view while the window is visible, else null.
    QWebEngineView* MapView() const;

    // Test seams: a page address in place of a map's own, and a page of
    // another kind (a recorder) in place of the web page (not owned; null
    // puts the web page back).
    void SetPageUrl(MAP_TYPE_E eType, const QUrl& Url);
    void SetMapPage(CMapPage* pPage);

public slots:
    void OnSwitchMap();
    void OnPlotTrace();
    void OnCleanTrace();
    void OnWindowVisible();
    // pPosition is the port tab set (CPortTab), as the tick hands it.
    void OnUpdateMap(void* pPosition);
    void OnLanguageUpdate();
    void OnShow();
    void OnLoadStarted();
    void OnLoadFinished(bool bOk);

protected:
    void hideEvent(QHideEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    void BuildForm();
    void FitFields();
    void ClearAttitude();
    void GrantMapGeolocation(QWebEngineView* pView);

    CMapWebPage* m_pWebPage;
    CMapPage* m_pPage; // the web page unless a test put another in its place
    QUrl m_PageUrls[MAP_TYPE_COUNT];

    QScrollArea* m_pFieldScroll = nullptr;
    QGroupBox* groupBox = nullptr;
    QLabel* m_pFieldLabels[9] = {};
    QLineEdit* m_pPosLon = nullptr;
    QLineEdit* m_pPosLat = nullptr;
    QLineEdit* m_pPosHgt = nullptr;
    QLineEdit* m_pUTCTime = nullptr;
    QLineEdit* m_pSvNum = nullptr;
    QLineEdit* m_pVelocity = nullptr;
    QLineEdit* m_pRoll = nullptr;
    QLineEdit* m_pPitch = nullptr;
    QLineEdit* m_pYaw = nullptr;
    QCheckBox* pCheckBoxPlotTrace = nullptr;
    QPushButton* pBtnCleanTrace = nullptr;
    QRadioButton* pRadioBaidu = nullptr;
    QRadioButton* pRadioMapBox = nullptr;
    QRadioButton* pRadioBDOfflineMap = nullptr;
    QCheckBox* m_pbAutoCenter = nullptr;
    QLabel* pPageLoadStatus = nullptr;
    QWidget* MapWidget = nullptr;
};
