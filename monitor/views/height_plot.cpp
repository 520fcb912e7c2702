#include "monitor/views/height_plot.h"

#include <QCursor>
#include <QDateTime>
#include <QGraphicsSceneHoverEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

#include "codec/gnss_time.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/shell/view_payload.h"
#include "monitor/views/plot_icons.h"

using namespace QtCharts;

namespace
{
constexpr double kWeekSeconds = 604800.0;
constexpr double kHalfWeekSeconds = kWeekSeconds / 2;
constexpr double kHeightMargin = 0.01; // m above and below the heights
constexpr double kTimeMargin = 5.0;    // s after the last point
constexpr int kMarkerSize = 3;         // pixels
constexpr double kHoverReach = 2.0;    // pixels beyond a marker's edge that still hover it

bool ByTime(const QPointF& a, double t) { return a.x() < t; }
} // namespace

// ---- Markers ----

CHeightMarkers::CHeightMarkers(QChart* pChart, QValueAxis* pX, QValueAxis* pY, const std::deque<QPointF>* pPoints)
    : QGraphicsObject(pChart), m_pChart(pChart), m_pX(pX), m_pY(pY), m_pPoints(pPoints)
{
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::NoButton);
    setZValue(100);
    m_Area = pChart->plotArea();
}

QRectF CHeightMarkers::boundingRect() const { return m_Area; }

void CHeightMarkers::PlotAreaChanged()
{
    prepareGeometryChange();
    m_Area = m_pChart->plotArea();
    PointsChanged();
}

QPointF CHeightMarkers::Position(const QPointF& Point) const
{
    const double sx = m_Area.width() / (m_pX->max() - m_pX->min());
    const double sy = m_Area.height() / (m_pY->max() - m_pY->min());
    return QPointF(m_Area.left() + (Point.x() - m_pX->min()) * sx, m_Area.bottom() - (Point.y() - m_pY->min()) * sy);
}

void CHeightMarkers::PointsChanged()
{
    m_bPictureValid = false;
    update();
}

void CHeightMarkers::paint(QPainter* pPainter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const double x0 = m_pX->min(), x1 = m_pX->max(), y0 = m_pY->min(), y1 = m_pY->max();
    const double dpr = pPainter->device() ? pPainter->device()->devicePixelRatioF() : 1.0;
    const QSize size = (m_Area.size() * dpr).toSize();
    if (m_pPoints->empty() || !(x1 > x0) || !(y1 > y0) || size.isEmpty())
        return;
    // The markers are drawn into a picture of the plot area once per change
    // of points, axes or area; every paint in between shows that picture.
    const std::array<double, 5> view = {x0, x1, y0, y1, dpr};
    if (!m_bPictureValid || view != m_PictureView || m_Picture.size() != size)
    {
        m_bPictureValid = true;
        m_PictureView = view;
        m_Picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
        m_Picture.fill(Qt::transparent);
        const double sx = size.width() / (x1 - x0), sy = size.height() / (y1 - y0);
        // Where the points lie closer than a marker's width apart the
        // markers would merge into a band: they shrink to dots, and the line
        // shows the run.
        const auto first = std::lower_bound(m_pPoints->begin(), m_pPoints->end(), x0, ByTime);
        const auto last = std::lower_bound(first, m_pPoints->end(), x1, ByTime);
        const double dSpacing = static_cast<double>(size.width()) / std::max<qint64>(1, last - first);
        const int side = dSpacing >= 2.0 * kMarkerSize * dpr
                             ? std::max(1, static_cast<int>(std::lround(kMarkerSize * dpr)))
                             : std::max(1, static_cast<int>(std::lround(dpr)));
        const double reach = (side / 2 + 1) / sx;
        auto it = std::lower_bound(m_pPoints->begin(), m_pPoints->end(), x0 - reach, ByTime);
        const auto end = std::lower_bound(it, m_pPoints->end(), x1 + reach, ByTime);
        const QRgb blue = qRgb(0, 0, 255);
        const int w = m_Picture.width(), h = m_Picture.height();
        for (; it != end; ++it)
        {
            const double px = (it->x() - x0) * sx, py = size.height() - (it->y() - y0) * sy;
            if (!(std::fabs(px) < 1e6 && std::fabs(py) < 1e6))
                continue;
            const int left = static_cast<int>(std::lround(px)) - side / 2;
            const int top = static_cast<int>(std::lround(py)) - side / 2;
            for (int y = std::max(top, 0); y < std::min(top + side, h); ++y)
            {
                QRgb* pLine = reinterpret_cast<QRgb*>(m_Picture.scanLine(y));
                for (int x = std::max(left, 0); x < std::min(left + side, w); ++x)
                    pLine[x] = blue;
            }
        }
        m_Picture.setDevicePixelRatio(dpr);
    }
    pPainter->drawImage(m_Area.topLeft(), m_Picture);
}

int CHeightMarkers::PointAt(const QPointF& ChartPos) const
{
    if (m_pPoints->empty() || !(m_pX->max() > m_pX->min()) || !(m_pY->max() > m_pY->min()) ||
        !m_Area.contains(ChartPos))
        return -1;
    const double reachPx = kMarkerSize / 2.0 + kHoverReach;
    const double unitsPerPx = (m_pX->max() - m_pX->min()) / std::max(m_Area.width(), 1.0);
    const double t = m_pX->min() + (ChartPos.x() - m_Area.left()) * unitsPerPx;
    auto it = std::lower_bound(m_pPoints->begin(), m_pPoints->end(), t - reachPx * unitsPerPx, ByTime);
    int best = -1;
    double bestDistance = 0;
    for (; it != m_pPoints->end() && it->x() <= t + reachPx * unitsPerPx; ++it)
    {
        const QPointF p = Position(*it);
        const double dx = std::fabs(p.x() - ChartPos.x()), dy = std::fabs(p.y() - ChartPos.y());
        if (dx > reachPx || dy > reachPx)
            continue;
        // The newest of equally near markers: it is drawn on top.
        if (best < 0 || dx + dy <= bestDistance)
        {
            best = static_cast<int>(it - m_pPoints->begin());
            bestDistance = dx + dy;
        }
    }
    return best;
}

void CHeightMarkers::hoverMoveEvent(QGraphicsSceneHoverEvent* pEvent)
{
    const int i = PointAt(pEvent->pos());
    const bool bNow = i >= 0;
    const QPointF point = bNow ? (*m_pPoints)[static_cast<size_t>(i)] : QPointF();
    if (m_bHovering && (!bNow || point != m_Hovered))
    {
        m_bHovering = false;
        emit hovered(m_Hovered, false);
    }
    if (bNow && !m_bHovering)
    {
        m_bHovering = true;
        m_Hovered = point;
        emit hovered(point, true);
    }
}

void CHeightMarkers::hoverLeaveEvent(QGraphicsSceneHoverEvent*)
{
    if (m_bHovering)
    {
        m_bHovering = false;
        emit hovered(m_Hovered, false);
    }
}

// ---- Time of records ----

void QHeightPlot::ToDateTime(CalendarTime* pRecord) { ToDateTime(pRecord, QDateTime::currentDateTimeUtc()); }

void QHeightPlot::ToDateTime(CalendarTime* pRecord, const QDateTime& NowUtc)
{
    const QDate today = NowUtc.toUTC().date();
    QDate best = today;
    const QTime timeOfDay(static_cast<int>(pRecord->Hour), static_cast<int>(pRecord->Minute),
                          static_cast<int>(std::min(pRecord->Second, 59u)),
                          static_cast<int>(std::min(pRecord->Millisecond, 999u)));
    if (timeOfDay.isValid())
    {
        qint64 bestGap = -1;
        for (int d = -1; d <= 1; ++d)
        {
            const qint64 gap = std::llabs(QDateTime(today.addDays(d), timeOfDay, Qt::UTC).msecsTo(NowUtc));
            if (bestGap < 0 || gap < bestGap)
            {
                bestGap = gap;
                best = today.addDays(d);
            }
        }
    }
    pRecord->Year = static_cast<uint32_t>(best.year());
    pRecord->Month = static_cast<uint32_t>(best.month());
    pRecord->Day = static_cast<uint32_t>(best.day());
}

bool QHeightPlot::EpochSeconds(const POS_DATA_T& Record, double* pSeconds)
{
    if (Record.GpsSeconds >= 0)
    {
        *pSeconds = Record.GpsSeconds;
        return std::isfinite(Record.GpsSeconds);
    }
    CalendarTime utc = Record.Utc;
    ToDateTime(&utc);
    uint32_t nWeek = 0, nMs = 0;
    if (UtcToGpsTime(&utc, nullptr, &nWeek, &nMs) == GNSS_TIME_INVALID)
        return false;
    *pSeconds = nMs / 1000.0;
    return true;
}

// ---- The window ----

QHeightPlot::QHeightPlot(QWidget* pParent) : QDialog(pParent)
{
    InitPlotIcons();
    setObjectName(QStringLiteral("QHeightPlot"));
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/HeightPlot.png")));
    setMinimumWidth(400);
    resize(400, 300);
    auto* pGrid = new QGridLayout(this);
    auto* pColumn = new QVBoxLayout;
    auto* pButtons = new QHBoxLayout;
    m_pHeightRadio = new QRadioButton(this);
    m_pHeightRadio->setObjectName(QStringLiteral("HeightRadio"));
    m_pHeightRadio->setChecked(true);
    m_pOrthometricRadio = new QRadioButton(this);
    m_pOrthometricRadio->setObjectName(QStringLiteral("OrthometricRadio"));
    m_pClearButton = new QToolButton(this);
    m_pClearButton->setObjectName(QStringLiteral("ClearButton"));
    m_pClearButton->setIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/clear.png")));
    m_pScalingButton = new QToolButton(this);
    m_pScalingButton->setObjectName(QStringLiteral("ScalingButton"));
    m_pScalingButton->setIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Scaling.png")));
    for (QWidget* p :
         std::initializer_list<QWidget*>{m_pHeightRadio, m_pOrthometricRadio, m_pClearButton, m_pScalingButton})
        pButtons->addWidget(p);
    pButtons->addStretch();
    pColumn->addLayout(pButtons);
    CreateChart();
    pColumn->addWidget(m_pChartView);
    pGrid->addLayout(pColumn, 0, 0);

    connect(m_pClearButton, &QToolButton::clicked, this, &QHeightPlot::OnClearGraph);
    connect(m_pScalingButton, &QToolButton::clicked, this, &QHeightPlot::OnAutoScaling);
    connect(m_pHeightRadio, &QRadioButton::clicked, this, &QHeightPlot::OnChangeHeightType);
    connect(m_pOrthometricRadio, &QRadioButton::clicked, this, &QHeightPlot::OnChangeHeightType);
    RetranslateUi();
}

QHeightPlot::~QHeightPlot() = default;

void QHeightPlot::CreateChart()
{
    m_pRefresh = new QTimer(this);
    m_pRefresh->setSingleShot(true);
    m_pRefresh->setInterval(0);
    connect(m_pRefresh, &QTimer::timeout, this, &QHeightPlot::Refresh);
    m_pChart = new QChart;
    m_pChart->legend()->hide();
    m_pLine = new QLineSeries;
    m_pLine->setColor(Qt::green);
    m_pChart->addSeries(m_pLine);
    // The axes are made once; a new point only moves their ranges.
    m_pAxisX = new QValueAxis;
    // Seconds of the GPS week as whole seconds; heights to the millimetre.
    m_pAxisX->setLabelFormat(QStringLiteral("%.0f"));
    m_pAxisX->setRange(0, kTimeMargin);
    m_pAxisY = new QValueAxis;
    m_pAxisY->setLabelFormat(QStringLiteral("%.3f"));
    m_pAxisY->setRange(0, 1);
    m_pChart->addAxis(m_pAxisX, Qt::AlignBottom);
    m_pChart->addAxis(m_pAxisY, Qt::AlignLeft);
    m_pLine->attachAxis(m_pAxisX);
    m_pLine->attachAxis(m_pAxisY);

    m_pChartView = new QChartView(m_pChart, this);
    m_pChartView->setObjectName(QStringLiteral("HeightChartView"));
    m_pChartView->setRubberBand(QChartView::RectangleRubberBand);
    m_pChartView->setRenderHint(QPainter::Antialiasing);

    m_pMarkers = new CHeightMarkers(m_pChart, m_pAxisX, m_pAxisY, &m_Shown);
    connect(m_pMarkers, &CHeightMarkers::hovered, this, &QHeightPlot::OnSlotPointHoverd);
    connect(m_pChart, &QChart::plotAreaChanged, this,
            [this]
            {
                m_pMarkers->PlotAreaChanged();
                m_pRefresh->start();
            });
    connect(m_pAxisX, &QValueAxis::rangeChanged, this,
            [this]
            {
                if (!m_bRescaling)
                    m_pRefresh->start();
                m_pMarkers->update();
            });
    connect(m_pAxisY, &QValueAxis::rangeChanged, m_pMarkers, [this] { m_pMarkers->update(); });

    m_pHoverLabel = new QLabel(m_pChartView);
    m_pHoverLabel->setObjectName(QStringLiteral("HoverLabel"));
    m_pHoverLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pHoverLabel->hide();
}

void QHeightPlot::RetranslateUi()
{
    setWindowTitle(tr("HeightPlot"));
    m_pHeightRadio->setText(tr("Height"));
    m_pOrthometricRadio->setText(tr("Orthometric height"));
    m_pClearButton->setToolTip(tr("Clear"));
    m_pScalingButton->setToolTip(tr("Auto Scale"));
    m_pChart->setTitle(tr("Height"));
    ShowAxisTitles();
}

void QHeightPlot::ShowAxisTitles()
{
    m_pAxisX->setTitleText(tr("GPS time of week (s)"));
    m_pAxisY->setTitleText(m_HeightType == HEIGHT_ORTHOMETRIC ? tr("Orthometric height (m)") : tr("Height (m)"));
}

void QHeightPlot::OnLanguageUpdate() { RetranslateUi(); }

double QHeightPlot::ShownHeight(const HEIGHT_POINT_T& p) const
{
    return m_HeightType == HEIGHT_ORTHOMETRIC ? p.Height - p.Undulation : p.Height;
}

void QHeightPlot::OnUpdateHeightPlotWindow(void* pPortTab)
{
    const POS_DATA_T* pRecord = PosDataPayload(pPortTab);
    if (pRecord == nullptr || !isVisible())
        return;
    m_LatestUndulation = pRecord->Undulation;
    if (static_cast<int8_t>(pRecord->FixQuality) < 1 || !std::isfinite(pRecord->Height) ||
        !std::isfinite(pRecord->Undulation))
        return;
    double raw = 0;
    if (!EpochSeconds(*pRecord, &raw) || (m_bHasEpoch && raw == m_LastEpoch))
        return;
    // Seconds of week run on past the week's end, so the time axis never
    // turns back; any other step back is another stream, which starts anew.
    if (m_bHasEpoch && raw < m_LastEpoch - kHalfWeekSeconds)
        m_WeekOffset += kWeekSeconds;
    m_bHasEpoch = true;
    m_LastEpoch = raw;
    double t = raw + m_WeekOffset;
    if (!m_Shown.empty() && t < m_Shown.back().x())
    {
        OnClearGraph();
        m_WeekOffset = 0;
        t = raw;
    }

    const HEIGHT_POINT_T p{t, pRecord->Height, pRecord->Undulation};
    const double h = ShownHeight(p);
    m_Points.push_back(p);
    m_Shown.emplace_back(t, h);
    if (static_cast<int>(m_Points.size()) > HEIGHT_MAX_POINTS)
    {
        m_Points.pop_front();
        m_Shown.pop_front();
    }
    m_Low = m_bHasRange ? std::min(m_Low, h) : h;
    m_High = m_bHasRange ? std::max(m_High, h) : h;
    m_bHasRange = true;
    // The chart follows once the tick is over: points that arrive together
    // are drawn together.
    m_bRescaleDue = m_bRescaleDue || !m_bRescaleOff;
    m_pRefresh->start();
}

void QHeightPlot::Refresh()
{
    if (m_bRescaleDue)
        RescaleAxes();
    else
        RebuildLine();
    m_bRescaleDue = false;
    m_pMarkers->PointsChanged();
}

void QHeightPlot::RescaleAxes()
{
    m_pChart->legend()->hide();
    if (m_Shown.empty())
        return;
    // The line is emptied while both axes move and drawn once afterwards:
    // the chart lays a series out anew on every change of its axes.
    m_bRescaling = true;
    m_pLine->clear();
    m_pAxisY->setRange(m_Low - kHeightMargin, m_High + kHeightMargin);
    m_pAxisX->setRange(m_Shown.front().x(), m_Shown.back().x() + kTimeMargin);
    m_bRescaling = false;
    RebuildLine();
}

void QHeightPlot::RebuildLine()
{
    m_LinePoints.clear();
    const double xMin = m_pAxisX->min(), xMax = m_pAxisX->max();
    const double width = m_pChart->plotArea().width();
    if (!m_Shown.empty() && xMax > xMin && width >= 1)
    {
        const auto lo = std::lower_bound(m_Shown.begin(), m_Shown.end(), xMin, ByTime);
        const auto hi = std::lower_bound(lo, m_Shown.end(), xMax, ByTime);
        const auto first = lo == m_Shown.begin() ? lo : lo - 1;
        const auto last = hi == m_Shown.end() ? hi : hi + 1;
        const double perPixel = width / (xMax - xMin);
        auto it = first;
        while (it != last)
        {
            // One pixel column: its lowest and highest point, in time order.
            const double column = std::floor((it->x() - xMin) * perPixel);
            auto low = it, high = it, end = it;
            for (; end != last && std::floor((end->x() - xMin) * perPixel) == column; ++end)
            {
                if (end->y() < low->y())
                    low = end;
                if (end->y() > high->y())
                    high = end;
            }
            m_LinePoints.append(*std::min(low, high));
            if (low != high)
                m_LinePoints.append(*std::max(low, high));
            it = end;
        }
        // The line starts and ends where the points do.
        if (m_LinePoints.first() != *first)
            m_LinePoints.prepend(*first);
        if (m_LinePoints.last() != *(last - 1))
            m_LinePoints.append(*(last - 1));
    }
    m_pLine->replace(m_LinePoints);
}

void QHeightPlot::RecomputeShown()
{
    m_bHasRange = !m_Points.empty();
    for (size_t i = 0; i < m_Points.size(); ++i)
    {
        const double h = ShownHeight(m_Points[i]);
        m_Shown[i].setY(h);
        m_Low = i == 0 ? h : std::min(m_Low, h);
        m_High = i == 0 ? h : std::max(m_High, h);
    }
}

void QHeightPlot::OnChangeHeightType()
{
    // The choice holds from now on, also while the plot is empty.
    const uint8_t type = m_pHeightRadio->isChecked()        ? HEIGHT_ELLIPSOIDAL
                         : m_pOrthometricRadio->isChecked() ? HEIGHT_ORTHOMETRIC
                                                            : HEIGHT_NONE;
    if (type == m_HeightType)
        return;
    m_HeightType = type;
    ShowAxisTitles();
    if (m_Points.empty())
        return;
    // Each point changes by its own record's undulation.
    RecomputeShown();
    RescaleAxes();
    m_pMarkers->PointsChanged();
}

void QHeightPlot::OnAutoScaling()
{
    m_bRescaleOff = !m_bRescaleOff;
    m_bRescaleDue = m_bRescaleDue && !m_bRescaleOff;
    m_pScalingButton->setCheckable(m_bRescaleOff);
    m_pScalingButton->setChecked(m_bRescaleOff);
}

void QHeightPlot::OnClearGraph()
{
    m_bRescaleDue = false;
    m_Points.clear();
    m_Shown.clear();
    m_bHasRange = false;
    m_Low = m_High = 0;
    m_pLine->clear();
    m_LinePoints.clear();
    m_pHoverLabel->hide();
    m_pMarkers->PointsChanged();
}

void QHeightPlot::OnSlotPointHoverd(QPointF point, bool state)
{
    if (!state)
    {
        m_pHoverLabel->hide();
        return;
    }
    m_pHoverLabel->setText(QString::asprintf("%1.3f\r\n%1.6f", point.x(), point.y()));
    const QPoint at = mapFromGlobal(QCursor::pos());
    m_pHoverLabel->move(at.x() - m_pHoverLabel->width() / 2, at.y() - m_pHoverLabel->height() / 2);
    m_pHoverLabel->adjustSize();
    m_pHoverLabel->show();
}
