#include "monitor/views/track_plot.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

#include "monitor/parsing/pos_data_parser.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/shell_log.h"
#include "monitor/shell/view_payload.h"
#include "monitor/views/flow_layout.h"
#include "monitor/views/height_plot.h"
#include "monitor/views/plot_icons.h"
#include "monitor/views/track_plot_center_diag.h"

namespace
{
// WGS-84.
constexpr double kA = 6378137.0;
constexpr double kE2 = 0.006694379990197585;
constexpr double kB2OverA2 = 40408299984659.16 / 40680631590769.0;
constexpr double kPi = 3.141592653589793;

constexpr int kDotSize = 2;
constexpr int kCentreMarkSize = 20;
const QColor kCentreMarkColour(192, 192, 192);

struct SOLUTION_ROW_T
{
    int Type;
    const char* pText;
    const char* pBoxName;
    const char* pSwatchName;
    QRgb Colour;
};
// Solution types (fix quality) and their filter boxes; the texts are the
// receiver's own names of the solutions.
constexpr SOLUTION_ROW_T kSolutions[] = {
    {1, "SINGLE", "pSingleCheckbox", "pSingleLable", qRgb(121, 121, 189)},
    {2, "PSR_DIFF", "pPsrdiffCheckbox", "pPsrdiffLabel", qRgb(111, 0, 221)},
    {4, "NARROW_INT", "pRtkIntCheckbox", "pRtkIntLable", qRgb(0, 128, 64)},
    {5, "NARROW_FLOAT", "pRtkFloatCheckbox", "pRtkFloatLable", qRgb(0, 150, 255)},
    {6, "INS", "pINSCheckbox", "pINSLable", qRgb(222, 197, 16)},
};
// A type the view does not name: black while ranging, else not drawn.
constexpr int kRangingOnlyType = 20;

QToolButton* ToolButton(QWidget* pParent, const char* pName, const char* pIcon)
{
    auto* p = new QToolButton(pParent);
    p->setObjectName(QLatin1String(pName));
    if (pIcon != nullptr)
        p->setIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/") + QLatin1String(pIcon)));
    return p;
}

bool Finite(double v) { return std::isfinite(v); }
} // namespace

QTrackPlot::QTrackPlot(QWidget* pParent) : QDialog(pParent), m_Canvas(&m_Image)
{
    InitPlotIcons();
    setObjectName(QStringLiteral("QTrackPlot"));
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/TrackPlot.png")));
    BuildForm();
    m_pCenterDiag = new QTrackPlotSetCenterDiag(this);
    connect(m_pCenterDiag, &QTrackPlotSetCenterDiag::SignalSetCenterValue, this,
            [this](QString LonValue, QString LatValue, QString HeiValue)
            { OnSetCenterValue(LonValue, LatValue, HeiValue); });
    RetranslateUi();
    resize(1049, 465);
}

QTrackPlot::~QTrackPlot() = default;

void QTrackPlot::BuildForm()
{
    auto* pGrid = new QGridLayout(this);
    // The controls wrap onto a second line in a narrow dock.
    auto* pTop = new CFlowLayout;
    m_pBtnBeginPause = ToolButton(this, "BtnBeginPause", "Pause.png");
    m_pBtnBeginPause->setStyleSheet(QStringLiteral("border:none"));
    m_pBtnBeginPause->hide();
    m_pBtnAutoScale = ToolButton(this, "BtnAutoScale", "Scale.png");
    m_pBtnAutoScale->setCheckable(true);
    m_pBtnPolyline = ToolButton(this, "BtnPolyline", "polyline.png");
    m_pBtnPolyline->setCheckable(true);
    m_pRangingBtn = ToolButton(this, "pRangingBtn", nullptr);
    m_pRangingBtn->setCheckable(true);
    m_pFixNameLabel = new QLabel(this);
    m_pFixNameLabel->setObjectName(QStringLiteral("label_2"));
    m_pFixLabel = new QLabel(this);
    m_pFixLabel->setObjectName(QStringLiteral("m_pFixLabel"));
    m_pSelectAllCheckBox = new QCheckBox(this);
    m_pSelectAllCheckBox->setObjectName(QStringLiteral("pSelectAllCheckBox"));
    m_pSelectAllCheckBox->setChecked(true);
    for (QWidget* p : std::initializer_list<QWidget*>{m_pBtnBeginPause, m_pBtnAutoScale, m_pBtnPolyline, m_pRangingBtn,
                                                      m_pFixNameLabel, m_pFixLabel, m_pSelectAllCheckBox})
        pTop->addWidget(p);
    for (const SOLUTION_ROW_T& row : kSolutions)
    {
        // A swatch and its box wrap together.
        auto* pPair = new QWidget(this);
        auto* pPairLayout = new QHBoxLayout(pPair);
        pPairLayout->setContentsMargins(0, 0, 0, 0);
        SOLUTION_BOX_T box{row.Type, new QCheckBox(QLatin1String(row.pText), pPair), new QLabel(pPair),
                           QColor(row.Colour)};
        box.pBox->setObjectName(QLatin1String(row.pBoxName));
        box.pBox->setChecked(true);
        box.pSwatch->setObjectName(QLatin1String(row.pSwatchName));
        box.pSwatch->setMaximumSize(10, 15);
        box.pSwatch->setMinimumSize(10, 15);
        box.pSwatch->setStyleSheet(QStringLiteral("QLabel {background-color: rgb(%1, %2, %3);}")
                                       .arg(box.Colour.red())
                                       .arg(box.Colour.green())
                                       .arg(box.Colour.blue()));
        pPairLayout->addWidget(box.pSwatch);
        pPairLayout->addWidget(box.pBox);
        pTop->addWidget(pPair);
        connect(box.pBox, &QCheckBox::clicked, this, &QTrackPlot::OnSetTrackPlotColor);
        m_Solutions.push_back(box);
    }
    pTop->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    m_pBtnClearGraph = ToolButton(this, "BtnClearGraph", "clear.png");
    m_pBtnCopyPixmap = ToolButton(this, "BtnCopyPixmap", "copy.png");
    m_pBtnSetting = ToolButton(this, "BtnSetting", "Config.png");
    m_pBtnSetting->hide();
    pTop->addWidget(m_pBtnClearGraph);
    pTop->addWidget(m_pBtnCopyPixmap);
    pTop->addWidget(m_pBtnSetting);
    pGrid->addLayout(pTop, 0, 0);

    auto* pCentre = new QHBoxLayout;
    m_pSetCenterBtn = ToolButton(this, "pSetCenterBtn", nullptr);
    m_pStdNameLabel = new QLabel(this);
    m_pStdNameLabel->setObjectName(QStringLiteral("StdNameLabel"));
    m_pStdShowLabel = new QLabel(this);
    m_pStdShowLabel->setObjectName(QStringLiteral("StdShowLabel"));
    m_pStdUnitLabel = new QLabel(QStringLiteral("m"), this);
    m_pStdUnitLabel->setObjectName(QStringLiteral("StdUnitLabel"));
    for (QWidget* p :
         std::initializer_list<QWidget*>{m_pSetCenterBtn, m_pStdNameLabel, m_pStdShowLabel, m_pStdUnitLabel})
        pCentre->addWidget(p);
    pCentre->addStretch();
    pGrid->addLayout(pCentre, 1, 0);
    ShowStd(false);

    m_pTrackPlotLabel = new QLabel(this);
    m_pTrackPlotLabel->setObjectName(QStringLiteral("TrackPlotLabel"));
    m_pTrackPlotLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_pTrackPlotLabel->setMinimumSize(1, 1);
    // The dialog takes the mouse: pan, zoom and ranging work on the whole picture.
    m_pTrackPlotLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pTrackPlotLabel->setAttribute(Qt::WA_OpaquePaintEvent);
    pGrid->addWidget(m_pTrackPlotLabel, 2, 0);
    pGrid->setRowStretch(2, 1);

    connect(m_pBtnClearGraph, &QToolButton::clicked, this, &QTrackPlot::OnClearGraph);
    connect(m_pBtnAutoScale, &QToolButton::clicked, this, &QTrackPlot::OnSetAutoScale);
    connect(m_pBtnCopyPixmap, &QToolButton::clicked, this, &QTrackPlot::OnCopyGraphPixmapToClipboard);
    connect(m_pBtnPolyline, &QToolButton::clicked, this, &QTrackPlot::OnShowTrackPolyline);
    connect(m_pSelectAllCheckBox, &QCheckBox::clicked, this, &QTrackPlot::OnSelectAll);
    connect(m_pRangingBtn, &QToolButton::clicked, this, &QTrackPlot::OnRanging);
    connect(m_pSetCenterBtn, &QToolButton::clicked, this, &QTrackPlot::OnSetCenter);
}

void QTrackPlot::RetranslateUi()
{
    setWindowTitle(tr("Track Plot"));
    m_pBtnBeginPause->setText(tr("Begin/Pause"));
    m_pBtnAutoScale->setText(tr("Auto Scale"));
    m_pBtnAutoScale->setToolTip(tr("Auto Scale"));
    m_pBtnPolyline->setText(QStringLiteral("..."));
    m_pBtnPolyline->setToolTip(tr("Show Polyline"));
    m_pRangingBtn->setText(tr("Ranging"));
    m_pFixNameLabel->setText(tr("Fix Ratio:"));
    m_pSelectAllCheckBox->setText(tr("SelectAll"));
    m_pBtnClearGraph->setText(tr("clear"));
    m_pBtnClearGraph->setToolTip(tr("Clear"));
    m_pBtnCopyPixmap->setText(QStringLiteral("..."));
    m_pBtnCopyPixmap->setToolTip(tr("Copy to Clipboard"));
    m_pBtnSetting->setText(QStringLiteral("..."));
    m_pSetCenterBtn->setText(tr("Set Center"));
    m_pStdNameLabel->setText(tr("Std:"));
}

// ---- Geometry ----

void QTrackPlot::ToEcef(double Lat, double Lon, double Height, double Xyz[3])
{
    const double s = std::sin(Lat);
    const double n = kA / std::sqrt(1.0 - kE2 * s * s);
    Xyz[0] = (n + Height) * std::cos(Lat) * std::cos(Lon);
    Xyz[1] = (n + Height) * std::cos(Lat) * std::sin(Lon);
    Xyz[2] = (n * kB2OverA2 + Height) * s;
}

void QTrackPlot::ToLocalPlane(const double Xyz[3], const double CentreXyz[3], double CentreLat, double CentreLon,
                              double* pEast, double* pNorth)
{
    const double dx = Xyz[0] - CentreXyz[0], dy = Xyz[1] - CentreXyz[1], dz = Xyz[2] - CentreXyz[2];
    const double sl = std::sin(CentreLon), cl = std::cos(CentreLon);
    const double sp = std::sin(CentreLat), cp = std::cos(CentreLat);
    *pEast = -sl * dx + cl * dy;
    *pNorth = -sp * cl * dx - sp * sl * dy + cp * dz;
}

void QTrackPlot::SetCentrePoint(const double Xyz[3], double Lat, double Lon, double Height)
{
    for (int i = 0; i < 3; ++i)
        m_Centre[i] = Xyz[i];
    m_CentreLat = Lat;
    m_CentreLon = Lon;
    m_CentreHeight = Height;
    Reproject();
}

void QTrackPlot::Reproject()
{
    for (TRACK_POINT_T& p : m_Track)
    {
        const double xyz[3] = {p.X, p.Y, p.Z};
        ToLocalPlane(xyz, m_Centre, m_CentreLat, m_CentreLon, &p.East, &p.North);
    }
}

void QTrackPlot::FitToTrack()
{
    if (!m_Track.empty())
    {
        double xr[2] = {1e8, -1e8}, yr[2] = {1e8, -1e8};
        for (const TRACK_POINT_T& p : m_Track)
        {
            xr[0] = std::min(xr[0], p.East);
            xr[1] = std::max(xr[1], p.East);
            yr[0] = std::min(yr[0], p.North);
            yr[1] = std::max(yr[1], p.North);
        }
        double xs = 0, ys = 0;
        m_Canvas.TickSteps(&xs, &ys);
        const double x[2] = {xr[0] - xs, xr[1] + xs}, y[2] = {yr[0] - ys, yr[1] + ys};
        m_Canvas.SetRange(x, y);
    }
    // East and north always share one scale.
    double sx = 0, sy = 0;
    m_Canvas.UnitsPerPixel(&sx, &sy);
    m_Canvas.SetUnitsPerPixel(std::max(sx, sy), std::max(sx, sy));
}

// ---- Updates ----

void QTrackPlot::OnUpdateTrackPlotWindow(void* pPos)
{
    const POS_DATA_T* pRecord = PosDataPayload(pPos);
    if (pRecord == nullptr)
        return;
    m_LatestLat = pRecord->Latitude;
    m_LatestLon = pRecord->Longitude;
    m_LatestHeight = pRecord->Height;
    if (!isVisible())
        return;
    double t = 0;
    if (!QHeightPlot::EpochSeconds(*pRecord, &t))
        return;
    if (m_bHasEpoch && t == m_LastEpoch)
        return;
    m_bHasEpoch = true;
    m_LastEpoch = t;
    // A record without a solution, or before any position, is no point of the track.
    const int q = static_cast<int8_t>(pRecord->FixQuality);
    const double lat = pRecord->Latitude, lon = pRecord->Longitude, h = pRecord->Height;
    if (q < 1 || !Finite(lat) || !Finite(lon) || !Finite(h) || (lat == 0.0 && lon == 0.0) || std::fabs(lat) > kPi / 2 ||
        std::fabs(lon) > 2 * kPi)
        return;
    TRACK_POINT_T p{};
    double xyz[3];
    ToEcef(lat, lon, h, xyz);
    if (!m_bUserCentre && (m_Track.empty() || m_bRecentre))
    {
        SetCentrePoint(xyz, lat, lon, h);
        m_bRecentre = false;
    }
    p.X = xyz[0];
    p.Y = xyz[1];
    p.Z = xyz[2];
    p.Type = q;
    ToLocalPlane(xyz, m_Centre, m_CentreLat, m_CentreLon, &p.East, &p.North);
    m_Track.push_back(p);
    m_FixedCount += q == FIXED_SOLUTION;
    if (static_cast<int>(m_Track.size()) > TRACK_MAX_POINTS)
    {
        m_FixedCount -= m_Track.front().Type == FIXED_SOLUTION;
        m_Track.pop_front();
    }
    if (m_bUserCentre)
    {
        // The mean horizontal distance from the typed centre, on the local plane.
        const double n = static_cast<double>(m_Track.size());
        m_MeanDistance = (1.0 - 1.0 / n) * m_MeanDistance + std::hypot(p.East, p.North) / n;
        m_pStdShowLabel->setText(QString::number(m_MeanDistance, 'f', 4));
    }
    UpdateFixRatio();
    if (m_pBtnAutoScale->isChecked())
        FitToTrack();
    RequestRender();
}

void QTrackPlot::UpdateFixRatio()
{
    if (m_Track.empty())
    {
        m_pFixLabel->clear();
        return;
    }
    const int n = static_cast<int>(m_Track.size());
    m_pFixLabel->setText(QString::asprintf("%.2f%% /%d", 100.0 * m_FixedCount / n, n));
}

void QTrackPlot::OnClearGraph()
{
    m_Track.clear();
    m_FixedCount = 0;
    UpdateFixRatio();
    RequestRender();
}

void QTrackPlot::OnCloseTrackWindow() { OnClearGraph(); }

void QTrackPlot::OnShowTrackWindow()
{
    m_pBtnAutoScale->setChecked(true);
    show();
    raise();
}

void QTrackPlot::OnShowTrackPoint() {}

void QTrackPlot::OnShowTrackPolyline() { RequestRender(); }

void QTrackPlot::OnSetTrackPlotColor() { RequestRender(); }

void QTrackPlot::OnSetGraphScale() {}

void QTrackPlot::OnSetAutoScale()
{
    if (m_pBtnAutoScale->isChecked())
    {
        FitToTrack();
        RequestRender();
    }
}

void QTrackPlot::OnStartPauseUpdateGraph() {}

void QTrackPlot::OnSelectAll()
{
    const bool bAll = m_pSelectAllCheckBox->isChecked();
    for (SOLUTION_BOX_T& box : m_Solutions)
        box.pBox->setChecked(bAll);
    RequestRender();
}

void QTrackPlot::OnCopyGraphPixmapToClipboard() { QApplication::clipboard()->setPixmap(m_Pixmap); }

void QTrackPlot::OnLanguageUpdate()
{
    RetranslateUi();
    m_pCenterDiag->RetranslateUi();
}

// ---- Centre ----

void QTrackPlot::ShowStd(bool bShow)
{
    for (QLabel* p : {m_pStdNameLabel, m_pStdShowLabel, m_pStdUnitLabel})
        p->setVisible(bShow);
}

void QTrackPlot::OnSetCenter()
{
    if (m_bUserCentre)
    {
        ShowStd(false);
        m_bUserCentre = false;
        m_bRecentre = true;
        return;
    }
    m_pCenterDiag->SetPosition(m_LatestLat * 180.0 / kPi, m_LatestLon * 180.0 / kPi, m_LatestHeight);
    m_pCenterDiag->OnShowDiag();
}

void QTrackPlot::OnSetCenterValue(QString LonValue, QString LatValue, QString HeiValue)
{
    // The dialog has checked the texts; texts from elsewhere that are no
    // position leave the centre as it is.
    const QLocale c = QLocale::c();
    bool bLon = false, bLat = false, bHeight = true;
    const double lon = c.toDouble(LonValue.trimmed(), &bLon);
    const double lat = c.toDouble(LatValue.trimmed(), &bLat);
    const double h = HeiValue.trimmed().isEmpty() ? 0.0 : c.toDouble(HeiValue.trimmed(), &bHeight);
    if (!bLon || !bLat || !bHeight || std::fabs(lon) > 180.0 || std::fabs(lat) > 90.0)
        return;
    double xyz[3];
    ToEcef(lat * kPi / 180.0, lon * kPi / 180.0, h, xyz);
    SetCentrePoint(xyz, lat * kPi / 180.0, lon * kPi / 180.0, h);
    m_bUserCentre = true;
    m_bRecentre = false;
    ShowStd(true);
    m_MeanDistance = 0;
    double i = 0;
    for (const TRACK_POINT_T& p : m_Track)
    {
        i += 1;
        m_MeanDistance = (1.0 - 1.0 / i) * m_MeanDistance + std::hypot(p.East, p.North) / i;
    }
    m_pStdShowLabel->setText(QString::number(m_MeanDistance, 'f', 4));
    if (m_pBtnAutoScale->isChecked())
        FitToTrack();
    RequestRender();
}

// ---- Picture ----

void QTrackPlot::TypeColours(QColor Colours[128]) const
{
    // With no type box checked every type is cyan; else a type of a box
    // takes its colour while its box is checked, and other types are black.
    bool bAny = false;
    for (const SOLUTION_BOX_T& box : m_Solutions)
        bAny = bAny || box.pBox->isChecked();
    for (int t = 0; t < 128; ++t)
        Colours[t] = bAny ? QColor(Qt::black) : QColor(Qt::cyan);
    for (const SOLUTION_BOX_T& box : m_Solutions)
    {
        if (bAny)
            Colours[box.Type] = box.pBox->isChecked() ? box.Colour : QColor(Qt::transparent);
    }
    Colours[kRangingOnlyType] = m_bRanging ? QColor(Qt::black) : QColor(Qt::transparent);
}

void QTrackPlot::ScaleUnit(double Step, double* pFactor, QString* pUnit)
{
    if (Step < 0.01)
        *pFactor = 1000.0, *pUnit = QStringLiteral("mm");
    else if (Step < 1.0)
        *pFactor = 100.0, *pUnit = QStringLiteral("cm");
    else if (Step < 1000.0)
        *pFactor = 1.0, *pUnit = QStringLiteral("m");
    else
        *pFactor = 0.001, *pUnit = QStringLiteral("km");
}

QString QTrackPlot::ScaleText() const
{
    double xs = 0, ys = 0;
    m_Canvas.TickSteps(&xs, &ys);
    double factor = 1;
    QString sUnit;
    ScaleUnit(xs, &factor, &sUnit);
    return QString::number(xs * factor, 'f', 0) + QLatin1Char(' ') + sUnit;
}

void QTrackPlot::SyncPlotSize()
{
    const QSize size = m_pTrackPlotLabel->size();
    if (m_Image.size() == size)
        return;
    m_Image = size.isEmpty() ? QImage() : QImage(size, QImage::Format_RGB32);
    m_Canvas.FitToDevice();
}

void QTrackPlot::RenderPlot()
{
    m_bRenderDue = false;
    SyncPlotSize();
    if (m_Image.isNull())
    {
        m_Pixmap = QPixmap();
        return;
    }
    m_Image.fill(Qt::white);
    QPainter painter(&m_Image);
    painter.setFont(m_pTrackPlotLabel->font());
    painter.setPen(QPen(Qt::white));
    painter.setBrush(QBrush(Qt::white));

    // Ranging points and the line through them.
    m_Canvas.ForgetLastMarker();
    const int nRanging = static_cast<int>(m_RangingX.size());
    m_Canvas.PaintMarkers(&painter, m_RangingX.data(), m_RangingY.data(), m_RangingColours.constData(), nRanging,
                          CTrackCanvas::MARKER_DOT, kDotSize);
    m_Canvas.PaintTrace(&painter, m_RangingX.data(), m_RangingY.data(), nRanging, Qt::green, 0);

    // Centre mark, grid and border.
    QPoint topLeft, bottomRight;
    m_Canvas.FrameCorners(&topLeft, &bottomRight);
    const QPointF middle((topLeft.x() + bottomRight.x()) / 2, (topLeft.y() + bottomRight.y()) / 2);
    m_Canvas.PaintOutlinedMarker(&painter, middle, CTrackCanvas::MARKER_PLUS, kCentreMarkColour, Qt::white,
                                 kCentreMarkSize);
    m_Canvas.PaintAxes(&painter);

    // Scale bar, one grid step long, and its text above it.
    double xs = 0, ys = 0, sx = 0, sy = 0;
    m_Canvas.TickSteps(&xs, &ys);
    m_Canvas.UnitsPerPixel(&sx, &sy);
    const QPointF anchor(bottomRight.x() - 70, bottomRight.y() - 25);
    m_Canvas.PaintOutlinedMarker(&painter, anchor, CTrackCanvas::MARKER_SCALE_BAR, Qt::black, Qt::white,
                                 static_cast<int>(xs / sx + 0.5));
    m_Canvas.PaintOutlinedText(&painter, anchor - QPointF(0, 3), ScaleText(), Qt::black, Qt::white);
    // The axes' titles: north up, east to the right, in metres from the origin.
    m_Canvas.PaintOutlinedText(&painter, QPointF(topLeft.x() + 50, topLeft.y() + 20), tr("\u2191 North (m)"),
                               Qt::black, Qt::white);
    m_Canvas.PaintOutlinedText(&painter, QPointF(topLeft.x() + 50, bottomRight.y() - 6), tr("East (m) \u2192"),
                               Qt::black, Qt::white);

    // The track, newest point on top, then the polyline through it.
    const int n = PointCount();
    m_DrawX.resize(static_cast<size_t>(n));
    m_DrawY.resize(static_cast<size_t>(n));
    m_DrawColours.resize(static_cast<size_t>(n));
    QColor colours[128];
    TypeColours(colours);
    for (int i = 0; i < n; ++i)
    {
        const TRACK_POINT_T& p = m_Track[static_cast<size_t>(i)];
        m_DrawX[static_cast<size_t>(i)] = p.East;
        m_DrawY[static_cast<size_t>(i)] = p.North;
        m_DrawColours[static_cast<size_t>(i)] = i == n - 1 ? QColor(Qt::red) : colours[p.Type & 127];
    }
    m_Canvas.ForgetLastMarker();
    m_Canvas.PaintMarkers(&painter, m_DrawX.data(), m_DrawY.data(), m_DrawColours.data(), n, CTrackCanvas::MARKER_DOT,
                          kDotSize);
    m_Canvas.PaintTrace(&painter, m_DrawX.data(), m_DrawY.data(), n,
                        m_pBtnPolyline->isChecked() ? QColor(Qt::red) : QColor(Qt::transparent), 0);
    painter.end();
    if (n > 0)
        qCDebug(lcWindows, "X=%.2f Y=%.2f ,PointNum:%d", m_Track.back().East, m_Track.back().North, n);
    m_Pixmap = QPixmap::fromImage(m_Image);
    m_pTrackPlotLabel->setPixmap(m_Pixmap);
}

// ---- Mouse, wheel and ranging ----

void QTrackPlot::SaveView()
{
    m_Canvas.Centre(&m_SavedCx, &m_SavedCy);
    m_Canvas.UnitsPerPixel(&m_SavedSx, &m_SavedSy);
}

void QTrackPlot::StartRanging(bool bOn)
{
    m_bRanging = bOn;
    m_pRangingBtn->setChecked(bOn);
    setCursor(bOn ? Qt::CrossCursor : Qt::ArrowCursor);
    m_RangingClicks.clear();
    m_RangingX.clear();
    m_RangingY.clear();
    m_RangingColours.clear();
    RequestRender();
}

void QTrackPlot::OnRanging() { StartRanging(!m_bRanging); }

void QTrackPlot::OnActionRanging(QAction* pActionRanging)
{
    if (pActionRanging != nullptr && pActionRanging->objectName() == QLatin1String("RangingAction"))
        StartRanging(!m_bRanging);
}

QString QTrackPlot::MeasureRanging()
{
    if (m_RangingClicks.empty())
        return QString();
    SaveView();
    const QPointF click = m_RangingClicks.back() - QPointF(m_pTrackPlotLabel->pos());
    double x = 0, y = 0;
    m_Canvas.ToPlot(QPointF(std::trunc(click.x()), std::trunc(click.y())), &x, &y);
    if (m_RangingX.size() < m_RangingClicks.size())
    {
        m_RangingX.push_back(x);
        m_RangingY.push_back(y);
        m_RangingColours.push_back(Qt::red);
    }
    const size_t n = m_RangingX.size();
    if (n < 2)
        return QString();
    // The distance on the plane itself, in the scale bar's unit.
    const double d = std::hypot(m_RangingX[n - 1] - m_RangingX[n - 2], m_RangingY[n - 1] - m_RangingY[n - 2]);
    double xs = 0, ys = 0, factor = 1;
    m_Canvas.TickSteps(&xs, &ys);
    QString sUnit;
    ScaleUnit(xs, &factor, &sUnit);
    return tr("Distance: ") + QString::number(d * factor, 'f', 8) + QLatin1Char(' ') + sUnit;
}

void QTrackPlot::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
    {
        QDialog::mousePressEvent(pEvent);
        return;
    }
    m_PressPos = pEvent->globalPos();
    m_DragMode = 1;
    if (m_bRanging)
    {
        m_RangingClicks.push_back(pEvent->pos());
        const QString sDistance = MeasureRanging();
        // The new point is drawn before the distance is shown.
        RenderPlot();
        if (!sDistance.isEmpty())
            MonitorPrompt()->Message(this, QMessageBox::NoIcon, tr("Distance"), sDistance);
    }
    SaveView();
    if (!m_bRanging)
        setCursor(Qt::SizeAllCursor);
}

void QTrackPlot::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (m_DragMode == 1 && !m_bRanging)
    {
        const QPointF at = pEvent->globalPos();
        m_Canvas.SetCentre(m_SavedCx + (m_PressPos.x() - at.x()) * m_SavedSx,
                           m_SavedCy + (at.y() - m_PressPos.y()) * m_SavedSy);
    }
    RequestRender();
}

void QTrackPlot::mouseReleaseEvent(QMouseEvent* pEvent)
{
    (void)pEvent;
    m_DragMode = 0;
    setCursor(m_bRanging ? Qt::CrossCursor : Qt::ArrowCursor);
    RequestRender();
}

void QTrackPlot::wheelEvent(QWheelEvent* pEvent)
{
    // One notch (120) forward zooms in by 2^0.1.
    const double f = std::pow(2.0, -pEvent->angleDelta().y() / 1200.0);
    double sx = 0, sy = 0;
    m_Canvas.UnitsPerPixel(&sx, &sy);
    m_Canvas.SetUnitsPerPixel(sx * f, sy * f);
    pEvent->accept();
    RequestRender();
}

void QTrackPlot::contextMenuEvent(QContextMenuEvent* pEvent)
{
    QMenu menu(m_pTrackPlotLabel);
    QAction* pRanging = menu.addAction(tr("Ranging"));
    pRanging->setObjectName(QStringLiteral("RangingAction"));
    pRanging->setCheckable(true);
    pRanging->setChecked(m_bRanging);
    connect(&menu, &QMenu::triggered, this, &QTrackPlot::OnActionRanging);
    menu.exec(pEvent->globalPos());
}

// ---- Window ----

void QTrackPlot::showEvent(QShowEvent* pEvent)
{
    m_pBtnAutoScale->setChecked(true);
    QDialog::showEvent(pEvent);
    RequestRender();
}

void QTrackPlot::closeEvent(QCloseEvent* pEvent)
{
    OnClearGraph();
    QDialog::closeEvent(pEvent);
}

void QTrackPlot::paintEvent(QPaintEvent* pEvent)
{
    if (m_bRenderDue || m_Image.size() != m_pTrackPlotLabel->size())
        RenderPlot();
    QDialog::paintEvent(pEvent);
}

void QTrackPlot::RequestRender()
{
    m_bRenderDue = true;
    update();
}

void QTrackPlot::resizeEvent(QResizeEvent* pEvent)
{
    QDialog::resizeEvent(pEvent);
    if (width() == m_LastWidth && height() == m_LastHeight)
        return;
    m_LastWidth = width();
    m_LastHeight = height();
    SyncPlotSize();
    RequestRender();
}
