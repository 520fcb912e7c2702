// The track plot: the horizontal track of the current port's position as
// points on a local east/north plane around a centre, one colour per solution
// type, with the fixed-solution ratio, a scale bar, an optional polyline, pan
// and zoom with the mouse, a ranging tool, a copy to the clipboard and a
// centre the user can type in (then the mean horizontal distance from it is
// shown as "Std:").
//
// The main window calls OnUpdateTrackPlotWindow with the current port's
// position record on every 8th tick while the window is visible; the record
// is read during the call and not kept.
#pragma once

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <deque>
#include <vector>

#include "monitor/views/track_canvas.h"

class QAction;
class QCheckBox;
class QLabel;
class QToolButton;
class QTrackPlotSetCenterDiag;
struct CalendarTime;
struct POS_DATA_T;

class QTrackPlot : public QDialog
{
    Q_OBJECT

public:
    explicit QTrackPlot(QWidget* pParent = nullptr);
    ~QTrackPlot() override;

    // The most points the track holds; beyond it the oldest goes.
    static constexpr int TRACK_MAX_POINTS = 40960;
    // The fix quality counted as a fixed solution in the ratio.
    static constexpr int FIXED_SOLUTION = 4;

    struct TRACK_POINT_T
    {
        double East, North; // m from the centre
        double X, Y, Z;     // earth-centred, m
        int Type;           // fix quality
    };

    // WGS-84 latitude and longitude (radians) and height (m) to earth-centred coordinates.
    static void ToEcef(double Lat, double Lon, double Height, double Xyz[3]);
    // Earth-centred coordinates to east and north on the plane that touches
    // the ellipsoid's normal at the centre (its latitude and longitude).
    static void ToLocalPlane(const double Xyz[3], const double CentreXyz[3], double CentreLat, double CentreLon,
                             double* pEast, double* pNorth);

    // What the window holds and shows.
    int PointCount() const { return static_cast<int>(m_Track.size()); }
    const TRACK_POINT_T& Point(int i) const { return m_Track[static_cast<size_t>(i)]; }
    CTrackCanvas& Canvas() { return m_Canvas; }
    const QPixmap& Pixmap() const { return m_Pixmap; }
    bool HasUserCentre() const { return m_bUserCentre; }
    // The centre, earth-centred earth-fixed (m).
    double X0() const { return m_Centre[0]; }
    double Y0() const { return m_Centre[1]; }
    double Z0() const { return m_Centre[2]; }
    double MeanDistance() const { return m_MeanDistance; }
    QTrackPlotSetCenterDiag* CenterDiag() const { return m_pCenterDiag; }
    // The scale bar's text for the current zoom ("5 m").
    QString ScaleText() const;
    // Draws the plot into its picture and shows it now; changes ask for it
    // through RequestRender, and the next paint draws them all at once.
    void RenderPlot();

public slots:
    void OnShowTrackWindow();
    void OnCloseTrackWindow();
    void OnShowTrackPoint();
    void OnShowTrackPolyline();
    void OnSetTrackPlotColor();
    void OnSetGraphScale();
    void OnSetAutoScale();
    void OnClearGraph();
    void OnStartPauseUpdateGraph();
    void OnUpdateTrackPlotWindow(void* pPos);
    void OnCopyGraphPixmapToClipboard();
    void OnLanguageUpdate();
    void OnSelectAll();
    void OnSetCenterValue(QString LonValue, QString LatValue, QString HeiValue);
    void OnRanging();
    void OnSetCenter();
    void OnActionRanging(QAction* pActionRanging);

protected:
    void showEvent(QShowEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    void BuildForm();
    void RetranslateUi();
    // Makes the point the centre and draws the stored track around it again.
    void SetCentrePoint(const double Xyz[3], double Lat, double Lon, double Height);
    void Reproject();
    void FitToTrack();
    void ShowStd(bool bShow);
    void UpdateFixRatio();
    // The colour each solution type (fix quality 1 to 127) is drawn in; the
    // newest point is red whatever its type.
    void TypeColours(QColor Colours[128]) const;
    // The scale bar's unit for a tick step: the factor from metres and its name.
    static void ScaleUnit(double Step, double* pFactor, QString* pUnit);
    void StartRanging(bool bOn);
    // Turns the latest click into a ranging point; the distance text once
    // there are two points, else an empty text.
    QString MeasureRanging();
    void SaveView();
    void SyncPlotSize();
    void RequestRender();

    // Form.
    QToolButton* m_pBtnBeginPause;
    QToolButton* m_pBtnAutoScale;
    QToolButton* m_pBtnPolyline;
    QToolButton* m_pRangingBtn;
    QLabel* m_pFixNameLabel;
    QLabel* m_pFixLabel;
    QCheckBox* m_pSelectAllCheckBox;
    struct SOLUTION_BOX_T
    {
        int Type;
        QCheckBox* pBox;
        QLabel* pSwatch;
        QColor Colour;
    };
    std::vector<SOLUTION_BOX_T> m_Solutions;
    QToolButton* m_pBtnClearGraph;
    QToolButton* m_pBtnCopyPixmap;
    QToolButton* m_pBtnSetting;
    QToolButton* m_pSetCenterBtn;
    QLabel* m_pStdNameLabel;
    QLabel* m_pStdShowLabel;
    QLabel* m_pStdUnitLabel;
    QLabel* m_pTrackPlotLabel;
    QTrackPlotSetCenterDiag* m_pCenterDiag;

    // Track and centre.
    std::deque<TRACK_POINT_T> m_Track;
    int m_FixedCount = 0;
    double m_Centre[3] = {0, 0, 0};
    double m_CentreLat = 0, m_CentreLon = 0, m_CentreHeight = 0;
    bool m_bUserCentre = false;
    bool m_bRecentre = false;
    double m_LatestLat = 0, m_LatestLon = 0, m_LatestHeight = 0;
    bool m_bHasEpoch = false;
    double m_LastEpoch = 0;
    double m_MeanDistance = 0;

    // Ranging and dragging.
    bool m_bRanging = false;
    std::vector<QPointF> m_RangingClicks;
    std::vector<double> m_RangingX, m_RangingY;
    QVector<QColor> m_RangingColours;
    int m_DragMode = 0;
    QPointF m_PressPos;
    double m_SavedCx = 0, m_SavedCy = 0, m_SavedSx = 0, m_SavedSy = 0;
    int m_LastWidth = 0, m_LastHeight = 0;

    // Picture.
    bool m_bRenderDue = true;
    QImage m_Image;
    QPixmap m_Pixmap;
    CTrackCanvas m_Canvas;
    // Per paint: the stored points as arrays and their colours.
    std::vector<double> m_DrawX, m_DrawY;
    std::vector<QColor> m_DrawColours;
};
