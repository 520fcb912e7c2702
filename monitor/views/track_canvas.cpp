#include "monitor/views/track_canvas.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace
{
// A marker whose pixel lies further out than this is off any device: it is
// not drawn, and no coordinate handed to the painter can overflow.
constexpr double kFarPixel = 1e6;
constexpr double kInsideMargin = 0.1; // pixels
constexpr double kGridPixels = 30.0;

double Clamp(double v)
{
    return std::min(std::max(v, CTrackCanvas::MIN_UNITS_PER_PIXEL), CTrackCanvas::MAX_UNITS_PER_PIXEL);
}

bool Far(const QPointF& p) { return !(std::fabs(p.x()) < kFarPixel && std::fabs(p.y()) < kFarPixel); }

// Liang-Barsky: the part of the segment from *pA to *pB inside the rectangle
// [l, r] x [t, b], in doubles; false when none of it is.
bool ClipSegment(QPointF* pA, QPointF* pB, double l, double t, double r, double b)
{
    const double x = pA->x(), y = pA->y();
    const double dx = pB->x() - x, dy = pB->y() - y;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x - l, r - x, y - t, b - y};
    for (int i = 0; i < 4; ++i)
    {
        if (p[i] == 0.0)
        {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double u = q[i] / p[i];
        if (p[i] < 0.0)
        {
            if (u > t1)
                return false;
            t0 = std::max(t0, u);
        }
        else
        {
            if (u < t0)
                return false;
            t1 = std::min(t1, u);
        }
    }
    // Ends moved onto the edge become whole pixels on the frame.
    auto onFrame = [&](double u)
    {
        const double px = std::floor(x + u * dx + 0.5), py = std::floor(y + u * dy + 0.5);
        return QPointF(std::min(std::max(px, l), r), std::min(std::max(py, t), b));
    };
    const QPointF a = t0 > 0.0 ? onFrame(t0) : *pA;
    const QPointF e = t1 < 1.0 ? onFrame(t1) : *pB;
    *pA = a;
    *pB = e;
    return true;
}
} // namespace

CTrackCanvas::CTrackCanvas(QPaintDevice* pDevice) : m_pDevice(pDevice), m_GridColour(Qt::gray) { FitToDevice(); }

void CTrackCanvas::SetCentre(double x, double y)
{
    m_Cx = x;
    m_Cy = y;
}

void CTrackCanvas::Centre(double* pX, double* pY) const
{
    *pX = m_Cx;
    *pY = m_Cy;
}

void CTrackCanvas::SetUnitsPerPixel(double sx, double sy)
{
    // A value that is not a number keeps the scale it replaces.
    m_Sx = std::isnan(sx) ? m_Sx : Clamp(sx);
    m_Sy = std::isnan(sy) ? m_Sy : Clamp(sy);
}

void CTrackCanvas::UnitsPerPixel(double* pSx, double* pSy) const
{
    *pSx = m_Sx;
    *pSy = m_Sy;
}

void CTrackCanvas::SetRange(const double xRange[2], const double yRange[2])
{
    // A frame one pixel wide has no span to divide by: the range then covers that pixel.
    if (xRange[1] > xRange[0])
    {
        m_Cx = (xRange[0] + xRange[1]) / 2;
        m_Sx = Clamp((xRange[1] - xRange[0]) / std::max(m_W - 1, 1));
    }
    if (yRange[1] > yRange[0])
    {
        m_Cy = (yRange[0] + yRange[1]) / 2;
        m_Sy = Clamp((yRange[1] - yRange[0]) / std::max(m_H - 1, 1));
    }
}

void CTrackCanvas::FitToDevice()
{
    m_W = m_pDevice ? std::max(m_pDevice->width(), 1) : 1;
    m_H = m_pDevice ? std::max(m_pDevice->height(), 1) : 1;
}

void CTrackCanvas::FrameCorners(QPoint* pTopLeft, QPoint* pBottomRight) const
{
    *pTopLeft = QPoint(m_X0, m_Y0);
    *pBottomRight = QPoint(m_X0 + m_W - 1, m_Y0 + m_H - 1);
}

void CTrackCanvas::FrameCentrePixel(double* pX, double* pY) const
{
    *pX = (m_W - 1) * 0.5 + m_X0;
    *pY = (m_H - 1) * 0.5 + m_Y0;
}

bool CTrackCanvas::ToPixel(double x, double y, QPointF* pPixel) const
{
    const double fx = (x - m_Cx) / m_Sx + (m_W - 1) * 0.5 + m_X0;
    const double fy = (m_H - 1) * 0.5 + m_Y0 - (y - m_Cy) / m_Sy;
    *pPixel = QPointF(std::floor(fx + 0.5), std::floor(fy + 0.5));
    return fx > m_X0 - kInsideMargin && fx < m_X0 + m_W - 1 + kInsideMargin && fy > m_Y0 - kInsideMargin &&
           fy < m_Y0 + m_H - 1 + kInsideMargin;
}

void CTrackCanvas::ToPlot(const QPointF& Pixel, double* pX, double* pY) const
{
    *pX = (Pixel.x() - m_X0 - (m_W - 1) * 0.5) * m_Sx + m_Cx;
    *pY = m_Cy - (Pixel.y() - m_Y0 - (m_H - 1) * 0.5) * m_Sy;
}

void CTrackCanvas::TickSteps(double* pXStep, double* pYStep) const
{
    *pXStep = NiceStep(m_Sx);
    *pYStep = NiceStep(m_Sy);
}

double CTrackCanvas::NiceStep(double UnitsPerPixel)
{
    const double t = kGridPixels * UnitsPerPixel;
    const double order = std::pow(10.0, std::floor(std::log10(t)));
    for (double m : {1.0, 2.0, 5.0})
    {
        if (m * order >= t)
            return m * order;
    }
    return 10.0 * order;
}

void CTrackCanvas::PaintAxes(QPainter* pPainter)
{
    pPainter->save();
    pPainter->setBrush(Qt::NoBrush);
    QPen solid(m_GridColour);
    QPen dotted(m_GridColour);
    dotted.setStyle(Qt::DotLine);
    double xStep = 0, yStep = 0;
    TickSteps(&xStep, &yStep);
    // Lines at the multiples of a step across the plane range [low, high],
    // at most one per pixel however far the view has been moved; Line draws
    // the one through a plane coordinate.
    auto lines = [&](double low, double high, double step, int nPixels, auto Line)
    {
        const double k0 = std::ceil(low / step);
        for (int n = 0; n < nPixels && (k0 + n) * step <= high; ++n)
        {
            pPainter->setPen(k0 + n == 0 ? solid : dotted);
            Line((k0 + n) * step);
        }
    };
    const double halfW = (m_W - 1) * 0.5 * m_Sx, halfH = (m_H - 1) * 0.5 * m_Sy;
    QPointF p;
    if (m_bXGrid)
        lines(m_Cx - halfW, m_Cx + halfW, xStep, m_W,
              [&](double x)
              {
                  ToPixel(x, 0, &p);
                  pPainter->drawLine(QPointF(p.x(), m_Y0), QPointF(p.x(), m_Y0 + m_H - 1));
              });
    if (m_bYGrid)
        lines(m_Cy - halfH, m_Cy + halfH, yStep, m_H,
              [&](double y)
              {
                  ToPixel(0, y, &p);
                  pPainter->drawLine(QPointF(m_X0, p.y()), QPointF(m_X0 + m_W - 1, p.y()));
              });
    QPointF origin;
    if (ToPixel(0, 0, &origin))
    {
        pPainter->setPen(solid);
        DrawMarker(pPainter, origin, MARKER_DOT, m_GridColour, 6);
    }
    if (m_bBorder)
    {
        pPainter->setPen(solid);
        pPainter->setBrush(Qt::NoBrush);
        pPainter->drawRect(m_X0, m_Y0, m_W - 1, m_H - 1);
    }
    pPainter->restore();
}

bool CTrackCanvas::RepeatsLast(const QPointF& Pixel, int Kind, const QColor& Colour, int Size) const
{
    return m_bHasLast && Pixel == m_LastPixel && Kind == m_LastKind && Colour == m_LastColour && Size == m_LastSize;
}

void CTrackCanvas::RememberLast(const QPointF& Pixel, int Kind, const QColor& Colour, int Size)
{
    m_bHasLast = true;
    m_LastPixel = Pixel;
    m_LastKind = Kind;
    m_LastColour = Colour;
    m_LastSize = Size;
}

void CTrackCanvas::PaintMarker(QPainter* pPainter, const QPointF& Pixel, int Kind, const QColor& Colour, int Size)
{
    if (RepeatsLast(Pixel, Kind, Colour, Size))
        return;
    RememberLast(Pixel, Kind, Colour, Size);
    DrawMarker(pPainter, Pixel, Kind, Colour, Size);
}

void CTrackCanvas::DrawMarker(QPainter* pPainter, const QPointF& Pixel, int Kind, const QColor& Colour, int Size)
{
    if (Far(Pixel) || Colour.alpha() == 0)
        return;
    const int s = std::max(Size, 1), r = s / 2;
    const int px = static_cast<int>(Pixel.x()), py = static_cast<int>(Pixel.y());
    const QPen oldPen = pPainter->pen();
    const QBrush oldBrush = pPainter->brush();
    QPen pen = oldPen;
    pen.setColor(Colour);
    pPainter->setPen(pen);
    switch (Kind)
    {
    case MARKER_DOT:
        pPainter->setBrush(QBrush(Colour));
        pPainter->drawEllipse(QRect(px - r, py - r, s + 1, s + 1));
        break;
    case MARKER_PLUS:
        pPainter->setBrush(Qt::NoBrush);
        pPainter->drawLine(px - r, py, px - r + s + 1, py);
        pPainter->drawLine(px, py - r + s + 1, px, py - r);
        break;
    case MARKER_SCALE_BAR:
    {
        // Offsets with y up: the bar of 2r pixels and its end ticks 10 pixels tall.
        const QPoint offsets[6] = {{-r, -5}, {-r, 5}, {-r, 0}, {r, 0}, {r, -5}, {r, 5}};
        QPointF pixels[6];
        for (int i = 0; i < 6; ++i)
            pixels[i] = QPointF(px + offsets[i].x(), py - offsets[i].y());
        pen.setStyle(Qt::SolidLine);
        pPainter->setPen(pen);
        pPainter->setBrush(Qt::NoBrush);
        PaintClippedPolyline(pPainter, pixels, 6);
        break;
    }
    default:
        break;
    }
    pPainter->setPen(oldPen);
    pPainter->setBrush(oldBrush);
}

void CTrackCanvas::PaintOutlinedMarker(QPainter* pPainter, const QPointF& Pixel, int Kind, const QColor& Colour,
                                       const QColor& Outline, int Size)
{
    for (const QPointF d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
        PaintMarker(pPainter, Pixel + d, Kind, Outline, Size);
    PaintMarker(pPainter, Pixel, Kind, Colour, Size);
}

const std::vector<QPoint>& CTrackCanvas::DotStamp(int Size, double PenWidth)
{
    for (const DOT_STAMP_T& s : m_Stamps)
    {
        if (s.Size == Size && s.PenWidth == PenWidth)
            return s.Offsets;
    }
    // Drawn once by the painter itself, so that stamped dots look exactly
    // like drawn ones.
    const int margin = 4 + static_cast<int>(std::ceil(PenWidth));
    const int side = std::max(Size, 1) + 2 * margin;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        QPen pen(Qt::black);
        pen.setWidthF(PenWidth);
        p.setPen(pen);
        DrawMarker(&p, QPointF(margin, margin), MARKER_DOT, Qt::black, Size);
    }
    DOT_STAMP_T stamp{Size, PenWidth, {}};
    for (int y = 0; y < side; ++y)
    {
        const QRgb* pLine = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < side; ++x)
        {
            if (qAlpha(pLine[x]) != 0)
                stamp.Offsets.emplace_back(x - margin, y - margin);
        }
    }
    m_Stamps.push_back(std::move(stamp));
    return m_Stamps.back().Offsets;
}

void CTrackCanvas::PaintMarkers(QPainter* pPainter, const double* pX, const double* pY, const QColor* pColours,
                                int nCount, int Kind, int Size)
{
    // A dense track draws tens of thousands of dots: on a 32-bit image with a
    // plain painter, opaque dots are stamped straight into its pixels.
    QImage* pImage = nullptr;
    if (Kind == MARKER_DOT && pPainter->device() && pPainter->device()->devType() == QInternal::Image &&
        !pPainter->hasClipping() && pPainter->transform().type() == QTransform::TxNone &&
        pPainter->compositionMode() == QPainter::CompositionMode_SourceOver && pPainter->opacity() == 1.0 &&
        !pPainter->testRenderHint(QPainter::Antialiasing) && pPainter->pen().style() == Qt::SolidLine)
    {
        pImage = static_cast<QImage*>(pPainter->device());
        const QImage::Format f = pImage->format();
        if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
            pImage = nullptr;
    }
    const std::vector<QPoint>* pStamp = pImage ? &DotStamp(Size, pPainter->pen().widthF()) : nullptr;
    uchar* pBits = pImage ? pImage->bits() : nullptr;
    const qsizetype nLine = pImage ? pImage->bytesPerLine() : 0;
    const int iw = pImage ? pImage->width() : 0, ih = pImage ? pImage->height() : 0;

    for (int i = 0; i < nCount; ++i)
    {
        QPointF pixel;
        if (!ToPixel(pX[i], pY[i], &pixel))
            continue;
        const QColor& c = pColours[i];
        if (i != nCount - 1 && RepeatsLast(pixel, Kind, c, Size))
            continue;
        RememberLast(pixel, Kind, c, Size);
        if (pStamp == nullptr || (c.alpha() != 0 && c.alpha() != 255))
        {
            DrawMarker(pPainter, pixel, Kind, c, Size);
            continue;
        }
        if (c.alpha() == 0)
            continue;
        const QRgb v = c.rgba();
        const int px = static_cast<int>(pixel.x()), py = static_cast<int>(pixel.y());
        for (const QPoint& o : *pStamp)
        {
            const int x = px + o.x(), y = py + o.y();
            if (x >= 0 && y >= 0 && x < iw && y < ih)
                reinterpret_cast<QRgb*>(pBits + y * nLine)[x] = v;
        }
    }
}

void CTrackCanvas::PaintTrace(QPainter* pPainter, const double* pX, const double* pY, int nCount, const QColor& Colour,
                              int Style)
{
    (void)Style;
    if (Colour.alpha() == 0 || nCount < 2)
        return;
    std::vector<QPointF> pixels;
    pixels.reserve(static_cast<size_t>(nCount));
    for (int i = 0; i < nCount; ++i)
    {
        QPointF p;
        ToPixel(pX[i], pY[i], &p);
        if (pixels.empty() || p != pixels.back())
            pixels.push_back(p);
    }
    pPainter->save();
    QPen pen = pPainter->pen();
    pen.setColor(Colour);
    pen.setStyle(Qt::SolidLine);
    pPainter->setPen(pen);
    pPainter->setBrush(Qt::NoBrush);
    PaintClippedPolyline(pPainter, pixels.data(), static_cast<int>(pixels.size()));
    pPainter->restore();
}

void CTrackCanvas::PaintClippedPolyline(QPainter* pPainter, const QPointF* pPixels, int nCount) const
{
    const double l = m_X0, t = m_Y0, r = m_X0 + m_W - 1, b = m_Y0 + m_H - 1;
    std::vector<QPointF> run;
    auto flush = [&]
    {
        if (run.size() >= 2)
            pPainter->drawPolyline(run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    for (int i = 1; i < nCount; ++i)
    {
        QPointF a = pPixels[i - 1], e = pPixels[i];
        if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(e.x()) || !std::isfinite(e.y()) ||
            !ClipSegment(&a, &e, l, t, r, b))
        {
            flush();
            continue;
        }
        if (run.empty() || run.back() != a)
        {
            flush();
            run.push_back(a);
        }
        run.push_back(e);
    }
    flush();
}

void CTrackCanvas::PaintOutlinedText(QPainter* pPainter, const QPointF& Pixel, const QString& sText,
                                     const QColor& Colour, const QColor& Outline)
{
    if (Far(Pixel))
        return;
    const int flags = Qt::AlignHCenter | Qt::AlignBottom;
    const QRect box = pPainter->boundingRect(QRect(), flags, sText);
    pPainter->save();
    pPainter->setBrush(Qt::NoBrush);
    auto draw = [&](const QPointF& at, const QColor& c)
    {
        pPainter->setPen(c);
        pPainter->translate(at);
        pPainter->drawText(box, flags, sText);
        pPainter->translate(-at);
    };
    for (const QPointF d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
        draw(Pixel + d, Outline);
    draw(Pixel, Colour);
    pPainter->restore();
}
