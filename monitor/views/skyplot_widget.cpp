#include "monitor/views/skyplot_widget.h"

#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace
{
constexpr double kPi = 3.14159265358979323846;
// Share of its colour in the pale disc of a satellite that is only HalfVisible
// (the look of 30 % opacity on a white plot).
constexpr qreal kHalfAlpha = 0.3;
// The four spokes of the first set: up, left, down, right.
const char* const kSpokeLetters[4] = {"N", "W", "S", "E"};

QPen GridPen(const QColor& Colour, qreal Width)
{
    return QPen(QBrush(Colour), Width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

// The label's font in pixels: as tall as the disc allows, smaller where a
// long label ("195") would run past the disc's edge. Measured once per
// sprite, which the plot keeps.
QFont FittingFont(const QString& sLabel, double dRadius)
{
    QFont f(QStringLiteral("Arial"));
    f.setWeight(QFont::Bold);
    f.setPixelSize(std::max(1, static_cast<int>(dRadius * 1.15)));
    // The text's box stays inside the disc: its width within 1.6 radii.
    const int nWidth = QFontMetrics(f).horizontalAdvance(sLabel);
    if (nWidth > 1.6 * dRadius)
        f.setPixelSize(std::max(1, static_cast<int>(f.pixelSize() * 1.6 * dRadius / nWidth)));
    return f;
}

// A colour mixed with white: the pale disc of a faded satellite.
QColor Paler(const QColor& c, qreal dPart)
{
    return QColor::fromRgbF(c.redF() * dPart + (1.0 - dPart), c.greenF() * dPart + (1.0 - dPart),
                            c.blueF() * dPart + (1.0 - dPart));
}

// A colour darkened to read on a pale ground.
QColor Darker(const QColor& c) { return QColor::fromRgbF(c.redF() * 0.45, c.greenF() * 0.45, c.blueF() * 0.45); }

bool Flashes(quint8 state) { return (state & SkyplotWidget::Flashing) != 0; }
} // namespace

SkyplotWidget::SkyplotWidget(QWidget* pParent) : QWidget(pParent)
{
    qRegisterMetaType<SkyplotWidget::SatelliteState>("SkyplotWidget::SatelliteState");
    setBackgroundRole(QPalette::Base);
    // The paint covers the widget with the grid's picture, background and all.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_flashTimer.setInterval(m_flashIntervall);
    connect(&m_flashTimer, &QTimer::timeout, this, &SkyplotWidget::change_flash);
}

// ---- Satellites ----

bool SkyplotWidget::onPlot(float az, float el)
{
    return std::isfinite(az) && std::isfinite(el) && el >= 0.0f && el <= 90.0f && az >= 0.0f && az <= 360.0f;
}

SkyplotWidget::Satellite& SkyplotWidget::Entry(int id)
{
    auto it = m_satellites.find(id);
    if (it == m_satellites.end())
        it = m_satellites.insert(id, Satellite{QString(), QColor(), QColor(), QColor(), 0.0f, 0.0f, Invisible});
    return it.value();
}

void SkyplotWidget::FollowFlashing()
{
    if (m_nFlashing > 0 && !m_flashTimer.isActive())
        m_flashTimer.start();
    else if (m_nFlashing == 0 && m_flashTimer.isActive())
    {
        m_flashTimer.stop();
        m_flashPhase = false;
    }
}

void SkyplotWidget::insert(int id, float az, float el, QString label, QColor outerColor, QColor innerColor,
                           QColor fontColor, SkyplotWidget::SatelliteState state)
{
    update();
    auto it = m_satellites.find(id);
    if (it != m_satellites.end() && Flashes(it->state))
        --m_nFlashing;
    m_satellites.insert(id, Satellite{label, innerColor, outerColor, fontColor, az, el, static_cast<quint8>(state)});
    if (Flashes(static_cast<quint8>(state)))
        ++m_nFlashing;
    FollowFlashing();
}

void SkyplotWidget::remove(int id)
{
    auto it = m_satellites.find(id);
    if (it == m_satellites.end())
        return;
    if (Flashes(it->state))
        --m_nFlashing;
    m_satellites.erase(it);
    FollowFlashing();
}

void SkyplotWidget::setInnerColor(int id, QColor c)
{
    Entry(id).innerColor = c;
    update();
}

void SkyplotWidget::setOuterColor(int id, QColor c) { Entry(id).outerColor = c; }

void SkyplotWidget::setFontColor(int id, QColor c) { Entry(id).fontColor = c; }

void SkyplotWidget::setState(int id, SkyplotWidget::SatelliteState state)
{
    Satellite& s = Entry(id);
    m_nFlashing += (Flashes(static_cast<quint8>(state)) ? 1 : 0) - (Flashes(s.state) ? 1 : 0);
    s.state = static_cast<quint8>(state);
    FollowFlashing();
    update();
}

void SkyplotWidget::setLabel(int id, QString label)
{
    Entry(id).label = label;
    update();
}

void SkyplotWidget::setAzimuth(int id, float az)
{
    Entry(id).az = az;
    update();
}

void SkyplotWidget::setElevation(int id, float el)
{
    Entry(id).el = el;
    update();
}

void SkyplotWidget::change_flash()
{
    m_flashPhase = !m_flashPhase;
    update();
}

// ---- Painting ----

float SkyplotWidget::Diameter() const { return static_cast<float>(std::min(width(), height())) * m_marginScale; }

void SkyplotWidget::paintEvent(QPaintEvent*)
{
    // The grid changes only with the size and the properties; each satellite's
    // disc with its label, colours and state. Both are drawn once and copied
    // at each paint, so that a tick that moves every satellite stays cheap.
    const qreal dpr = devicePixelRatioF();
    const QColor background = palette().color(backgroundRole());
    if (m_grid.isNull() || m_grid.size() != size() * dpr || m_gridBackground != background)
    {
        m_grid = QPixmap(size() * dpr);
        m_grid.setDevicePixelRatio(dpr);
        m_grid.fill(background);
        m_gridBackground = background;
        QPainter g(&m_grid);
        PaintGrid(g);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, m_grid);
    const float D = Diameter();
    const float S = D * m_satelliteScale;
    p.translate((static_cast<float>(width()) - D) / 2.0f, (static_cast<float>(height()) - D) / 2.0f);
    // The discs first, then every label over them: a disc never hides
    // another satellite's number.
    const int nHalf = SpriteHalf(S);
    for (const bool bLabels : {false, true})
        for (const Satellite& s : m_satellites)
        {
            if ((s.state & (Visible | HalfVisible)) == 0 || (m_flashPhase && Flashes(s.state)) || !onPlot(s.az, s.el))
                continue;
            const double r = (90.0 - s.el) * D / 180.0;
            const double az = s.az * kPi / 180.0;
            const QPoint at(static_cast<int>(std::floor(D / 2.0 + std::sin(az) * r)),
                            static_cast<int>(std::floor(D / 2.0 - std::cos(az) * r)));
            p.drawPixmap(at - QPoint(nHalf, nHalf), Sprite(s, S, dpr, bLabels));
        }
}

void SkyplotWidget::PaintGrid(QPainter& p) const
{
    const float D = Diameter();
    p.translate((static_cast<float>(width()) - D) / 2.0f, (static_cast<float>(height()) - D) / 2.0f);
    const float F = D * m_fontScale;
    p.setRenderHint(QPainter::Antialiasing, m_antialiased);
    QFont gridFont(QStringLiteral("Arial"));
    gridFont.setPointSize(std::max(1, static_cast<int>(F)));
    p.setFont(gridFont);
    const QPoint centre(static_cast<int>(D / 2.0f), static_cast<int>(D / 2.0f));
    const QPointF centreF(centre);

    // Elevation rings, the horizon first.
    for (int i = 0; i < m_ellipses; ++i)
    {
        const float r = D / 2.0f - static_cast<float>(i) * D / (2.0f * static_cast<float>(m_ellipses));
        p.setPen(GridPen(m_gridColor, m_gridWidth));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, static_cast<int>(r), static_cast<int>(r));
        if (!m_withGridLabels)
            continue;
        p.setPen(GridPen(m_gridTextColor, m_gridWidth));
        p.drawText(QPoint(static_cast<int>(static_cast<float>(m_textMargin) + D / 2.0f),
                          static_cast<int>(D / 2.0f - (static_cast<float>(m_textMargin) + r))),
                   QString::number(90 / m_ellipses * i));
    }

    // Spokes: set i turned i * 90 / crosses degrees, four at right angles each.
    for (int i = 0; i < m_crosses; ++i)
    {
        const qreal x = i * 90.0 / m_crosses;
        for (int j = 0; j < 4; ++j)
        {
            const qreal angle = x + 90.0 * j + 90.0; // counter-clockwise from 3 o'clock
            QLineF spoke(centreF, centreF + QPointF(D / 2.0, 0.0));
            spoke.setAngle(angle);
            p.setPen(GridPen(m_gridColor, m_gridWidth));
            p.drawLine(spoke);
            if (!m_withGridLabels)
                continue;
            QLineF toLabel(centreF, centreF + QPointF(D / 2.0 + 2.0 * F, 0.0));
            toLabel.setAngle(angle);
            const QRectF box(toLabel.p2() - QPointF(2.0 * F, (F + 2.0) / 2.0), QSizeF(4.0 * F, F + 2.0));
            const QString sText =
                i == 0 ? QString::fromLatin1(kSpokeLetters[j]) : QString::number(360.0 - 90.0 * j - x, 'g', 6);
            p.setPen(GridPen(m_gridTextColor, m_gridWidth));
            p.drawText(box, Qt::AlignCenter, sText);
        }
    }
}

// Room for the disc with a marked outline (S / 8 outside it) and for the
// label, whose font is fitted to the disc.
int SkyplotWidget::SpriteHalf(float S) { return static_cast<int>(std::ceil(S * 1.2f)) + 2; }

const QPixmap& SkyplotWidget::Sprite(const Satellite& s, float S, qreal dpr, bool bLabel)
{
    const bool bMarked = (s.state & Marked) != 0;
    const bool bFaded = (s.state & Visible) == 0;
    const SpriteKey key{bLabel ? s.label : QString(), s.innerColor.rgba(), bMarked ? s.outerColor.rgba() : 0u,
                        s.fontColor.rgba(),
                        static_cast<quint8>((s.state & (Visible | Marked)) | (bLabel ? kLabelSprite : 0))};
    if (m_spriteScale != S || m_spriteRatio != dpr || m_spriteAntialiased != m_antialiased || m_sprites.size() > 512)
    {
        m_sprites.clear();
        m_spriteScale = S;
        m_spriteRatio = dpr;
        m_spriteAntialiased = m_antialiased;
    }
    auto it = m_sprites.find(key);
    if (it != m_sprites.end())
        return it.value();
    // The disc centred on a whole pixel of the picture, as it is on the plot.
    const int nHalf = SpriteHalf(S);
    QPixmap sprite(QSize(2 * nHalf + 1, 2 * nHalf + 1) * dpr);
    sprite.setDevicePixelRatio(dpr);
    sprite.fill(Qt::transparent);
    QPainter p(&sprite);
    p.setRenderHint(QPainter::Antialiasing, m_antialiased);
    const QPoint at(nHalf, nHalf);
    // A faded satellite (tracked, not used) is a pale disc with dark text, so
    // that its number reads as well as a used one's.
    if (!bLabel)
    {
        p.setBrush(QBrush(bFaded ? Paler(s.innerColor, kHalfAlpha) : s.innerColor));
        if (bMarked)
            p.setPen(GridPen(bFaded ? Paler(s.outerColor, kHalfAlpha) : s.outerColor, S * 0.25));
        else
            p.setPen(GridPen(bFaded ? s.innerColor : m_gridColor, 0));
        p.drawEllipse(at, static_cast<int>(S), static_cast<int>(S));
    }
    else
    {
        p.setPen(GridPen(bFaded ? Darker(s.innerColor) : s.fontColor, 2));
        p.setFont(FittingFont(s.label, S));
        const QRectF box(QPointF(at) - QPointF(S, S), QSizeF(2.0 * S, 2.0 * S));
        p.drawText(box, Qt::AlignCenter, s.label);
    }
    p.end();
    return m_sprites.insert(key, sprite).value();
}
