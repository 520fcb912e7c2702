// The height plot: the current port's ellipsoidal height, or its orthometric
// height (ellipsoidal minus the geoid undulation), against the epoch's GPS
// seconds of week, the newest 10000 points, on a chart that rescales itself
// to each new point unless the user switches that off to zoom with a rubber
// band; hovering a point shows its time and height.
//
// The main window calls OnUpdateHeightPlotWindow with the current port's
// position record on every 8th tick while the window is visible; the record
// is read during the call and not kept.
#pragma once

#include <QDialog>
#include <QGraphicsObject>
#include <QImage>
#include <QPointF>
#include <QVector>
#include <array>
#include <cstdint>
#include <deque>

class QDateTime;
class QLabel;
class QRadioButton;
class QTimer;
class QToolButton;
struct CalendarTime;
struct POS_DATA_T;

namespace QtCharts
{
class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;
} // namespace QtCharts

// The points of the height plot as small squares over the chart's plot area,
// drawn by one item: a scatter series makes a graphics item per point, far
// too slow for ten thousand points refreshed every 0.8 s. Like a scatter
// series it reports the marker under the cursor through hovered().
class CHeightMarkers : public QGraphicsObject
{
    Q_OBJECT

public:
    // The points (time, height) in time order; not owned.
    CHeightMarkers(QtCharts::QChart* pChart, QtCharts::QValueAxis* pX, QtCharts::QValueAxis* pY,
                   const std::deque<QPointF>* pPoints);

    QRectF boundingRect() const override;
    void paint(QPainter* pPainter, const QStyleOptionGraphicsItem* pOption, QWidget* pWidget) override;
    // The index of the point whose marker covers a chart position, or -1.
    int PointAt(const QPointF& ChartPos) const;
    // The chart position of a point.
    QPointF Position(const QPointF& Point) const;
    void PlotAreaChanged();
    // The points have changed: the markers are drawn anew at the next paint.
    void PointsChanged();

signals:
    void hovered(const QPointF& point, bool state);

protected:
    void hoverMoveEvent(QGraphicsSceneHoverEvent* pEvent) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* pEvent) override;

private:
    QtCharts::QChart* m_pChart;
    QtCharts::QValueAxis* m_pX;
    QtCharts::QValueAxis* m_pY;
    const std::deque<QPointF>* m_pPoints;
    QRectF m_Area;
    QImage m_Picture;
    bool m_bPictureValid = false;
    std::array<double, 5> m_PictureView{}; // the axes' ranges and pixel ratio it was drawn for
    bool m_bHovering = false;
    QPointF m_Hovered;
};

class QHeightPlot : public QDialog
{
    Q_OBJECT

public:
    explicit QHeightPlot(QWidget* pParent = nullptr);
    ~QHeightPlot() override;

    // The most points kept; beyond it the oldest goes.
    static constexpr int HEIGHT_MAX_POINTS = 10000;
    enum HEIGHT_TYPE_E : uint8_t
    {
        HEIGHT_NONE = 0,
        HEIGHT_ORTHOMETRIC = 1,
        HEIGHT_ELLIPSOIDAL = 2,
    };

    // Puts the current UTC date into a record whose time of day came from a
    // receiver: the day on which that time of day lies nearest to now, so
    // that a record from just before midnight keeps its day.
    static void ToDateTime(CalendarTime* pRecord);
    static void ToDateTime(CalendarTime* pRecord, const QDateTime& NowUtc);
    // The epoch of a position record in GPS seconds of week: its GPS time, or
    // for a record without one its UTC time of day on the current date;
    // false when it has neither.
    static bool EpochSeconds(const POS_DATA_T& Record, double* pSeconds);

    // What the plot holds: time (s, counted on past the end of the week) and
    // height as shown, oldest first.
    int PointCount() const { return static_cast<int>(m_Shown.size()); }
    QPointF Point(int i) const { return m_Shown[static_cast<size_t>(i)]; }
    int HeightType() const { return m_HeightType; }
    QtCharts::QChart* Chart() const { return m_pChart; }
    QtCharts::QChartView* ChartView() const { return m_pChartView; }
    QtCharts::QValueAxis* AxisX() const { return m_pAxisX; }
    QtCharts::QValueAxis* AxisY() const { return m_pAxisY; }
    QtCharts::QLineSeries* LineSeries() const { return m_pLine; }
    CHeightMarkers* Markers() const { return m_pMarkers; }
    QLabel* HoverLabel() const { return m_pHoverLabel; }

public slots:
    void OnUpdateHeightPlotWindow(void* pPortTab);
    void OnClearGraph();
    void OnAutoScaling();
    void OnChangeHeightType();
    void OnSlotPointHoverd(QPointF point, bool state);
    void OnLanguageUpdate();

private:
    struct HEIGHT_POINT_T
    {
        double Time;       // s
        double Height;     // ellipsoidal, m
        double Undulation; // m, of this point's record
    };

    void CreateChart();
    void RescaleAxes();
    // Brings the chart up to date with the points: axes (unless rescaling is
    // off) and line.
    void Refresh();
    // The height a point shows for the current height type.
    double ShownHeight(const HEIGHT_POINT_T& p) const;
    void RecomputeShown();
    // The line through the points in the x range shown, with at most the
    // lowest and highest point of each pixel column (and the first and last
    // point): it draws the line all of them would, to within a pixel.
    void RebuildLine();
    void RetranslateUi();
    void ShowAxisTitles();

    QRadioButton* m_pHeightRadio;
    QRadioButton* m_pOrthometricRadio;
    QToolButton* m_pClearButton;
    QToolButton* m_pScalingButton;
    QtCharts::QChart* m_pChart = nullptr;
    QtCharts::QChartView* m_pChartView = nullptr;
    QtCharts::QLineSeries* m_pLine = nullptr;
    QtCharts::QValueAxis* m_pAxisX = nullptr;
    QtCharts::QValueAxis* m_pAxisY = nullptr;
    CHeightMarkers* m_pMarkers = nullptr;
    QLabel* m_pHoverLabel = nullptr;

    std::deque<HEIGHT_POINT_T> m_Points;
    std::deque<QPointF> m_Shown;
    bool m_bHasRange = false;
    double m_Low = 0, m_High = 0;
    double m_LatestUndulation = 0;
    uint8_t m_HeightType = HEIGHT_ELLIPSOIDAL;
    bool m_bRescaleOff = false;
    bool m_bHasEpoch = false;
    double m_LastEpoch = 0;  // as the record gave it
    double m_WeekOffset = 0; // s added to times after a week's end
    bool m_bRescaling = false;
    bool m_bRescaleDue = false;
    QTimer* m_pRefresh = nullptr;
    QVector<QPointF> m_LinePoints;
};
