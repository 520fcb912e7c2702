// The drawing surface of the track plot: maps a plane (east and north in
// metres) onto a frame of pixels of a paint device, and draws on a painter
// given per call: grid lines, the frame border, markers, outlined text and
// polylines clipped to the frame. It holds the view state (centre and units
// per pixel) that the track plot pans, zooms and fits.
//
// Pixels are kept as doubles holding whole numbers, and lines are clipped to
// the frame in doubles, so that a point far outside the frame at the finest
// zoom neither overflows nor bends the part of its line that is drawn.
#pragma once

#include <QColor>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <vector>

class QPainter;
class QPaintDevice;

class CTrackCanvas
{
public:
    enum MARKER_KIND_E
    {
        MARKER_DOT = 1,       // filled circle
        MARKER_PLUS = 2,      // cross of two lines
        MARKER_SCALE_BAR = 3, // horizontal bar with end ticks
    };

    // The units per pixel never leave this range.
    static constexpr double MIN_UNITS_PER_PIXEL = 2e-5;
    static constexpr double MAX_UNITS_PER_PIXEL = 1e7;

    // Bound to a device (not owned), whose size it reads now.
    explicit CTrackCanvas(QPaintDevice* pDevice);

    void SetCentre(double x, double y);
    void Centre(double* pX, double* pY) const;
    // Each value is clamped to MIN_UNITS_PER_PIXEL .. MAX_UNITS_PER_PIXEL.
    void SetUnitsPerPixel(double sx, double sy);
    void UnitsPerPixel(double* pSx, double* pSy) const;
    // For each axis whose maximum is above its minimum, centres it on the
    // range and scales it so that the range spans the frame (clamped as
    // SetUnitsPerPixel); an empty axis is left as it is.
    void SetRange(const double xRange[2], const double yRange[2]);
    // Takes the device's current size (at least one pixel each way).
    void FitToDevice();
    void FrameCorners(QPoint* pTopLeft, QPoint* pBottomRight) const;
    void FrameCentrePixel(double* pX, double* pY) const;

    // The pixel of a plane point (whole numbers, possibly far outside the
    // frame); true when the point lies on the frame (within a tenth of a
    // pixel). A point that is not finite is never inside.
    bool ToPixel(double x, double y, QPointF* pPixel) const;
    void ToPlot(const QPointF& Pixel, double* pX, double* pY) const;

    // Grid spacing in plane units for the current units per pixel.
    void TickSteps(double* pXStep, double* pYStep) const;
    // The first of 1, 2, 5 and 10 times a power of ten that is not below 30
    // pixels' worth of plane units: grid lines about every 30 pixels or more.
    static double NiceStep(double UnitsPerPixel);

    // Each paint starts without a last marker, so that its first marker is
    // drawn whatever the previous paint ended with.
    void ForgetLastMarker() { m_bHasLast = false; }

    // Grid lines (solid through the origin, dotted elsewhere), the origin
    // dot when the origin is on the frame, then the border.
    void PaintAxes(QPainter* pPainter);
    // One marker of a kind and size in a colour at a pixel; a marker equal to
    // the one drawn just before (pixel, kind, colour and size) is not drawn
    // again.
    void PaintMarker(QPainter* pPainter, const QPointF& Pixel, int Kind, const QColor& Colour, int Size);
    // The marker over a one-pixel outline drawn around it.
    void PaintOutlinedMarker(QPainter* pPainter, const QPointF& Pixel, int Kind, const QColor& Colour,
                             const QColor& Outline, int Size);
    // A marker at each plane point on the frame, each in its own colour,
    // skipping a point that would repeat the marker drawn last; the last
    // point of the list is always drawn.
    void PaintMarkers(QPainter* pPainter, const double* pX, const double* pY, const QColor* pColours, int nCount,
                      int Kind, int Size);
    // A solid polyline through the plane points, clipped to the frame;
    // repeated pixels are dropped. Style 0 is the only style.
    void PaintTrace(QPainter* pPainter, const double* pX, const double* pY, int nCount, const QColor& Colour,
                    int Style);
    // Text centred on the pixel and standing on it, over a one-pixel outline.
    void PaintOutlinedText(QPainter* pPainter, const QPointF& Pixel, const QString& sText, const QColor& Colour,
                           const QColor& Outline);

private:
    // The pixels of a polyline, clipped to the frame in doubles; the parts
    // that lie on the frame are drawn with the painter's pen.
    void PaintClippedPolyline(QPainter* pPainter, const QPointF* pPixels, int nCount) const;
    void DrawMarker(QPainter* pPainter, const QPointF& Pixel, int Kind, const QColor& Colour, int Size);
    bool RepeatsLast(const QPointF& Pixel, int Kind, const QColor& Colour, int Size) const;
    void RememberLast(const QPointF& Pixel, int Kind, const QColor& Colour, int Size);
    // The pixels a dot of this size covers with this pen width, relative to
    // its pixel, as the painter draws it.
    const std::vector<QPoint>& DotStamp(int Size, double PenWidth);

    QPaintDevice* m_pDevice;
    int m_X0 = 0, m_Y0 = 0;
    int m_W = 1, m_H = 1;
    double m_Cx = 0, m_Cy = 0;
    double m_Sx = 0.02, m_Sy = 0.02;
    bool m_bBorder = true, m_bXGrid = true, m_bYGrid = true;
    QColor m_GridColour;

    bool m_bHasLast = false;
    QPointF m_LastPixel;
    int m_LastKind = 0;
    QColor m_LastColour;
    int m_LastSize = 0;

    struct DOT_STAMP_T
    {
        int Size;
        double PenWidth;
        std::vector<QPoint> Offsets;
    };
    std::vector<DOT_STAMP_T> m_Stamps;
};
