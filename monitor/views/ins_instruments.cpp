#include "monitor/views/ins_instruments.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace
{
constexpr double kPi = 3.14159265358979323846;

// The application's font family at a size.
QFont SizedFont(int nPoints)
{
    QFont f;
    f.setPointSize(nPoints);
    return f;
}

// A number as the instruments label it: up to six significant digits.
QString Label(double v) { return QStringLiteral("%1").arg(v); }

// The height of a scale label's box (an 8 or 10 point number or letter).
constexpr int kScaleLabelHeight = 14;

void Triangle(QPainter& p, QPointF a, QPointF b, QPointF c) { p.drawPolygon(QPolygonF({a, b, c})); }
} // namespace

QInsInstrument::QInsInstrument(QWidget* pParent) : QWidget(pParent)
{
    connect(this, &QInsInstrument::canvasReplot, this, &QInsInstrument::canvasReplot_slot);
    setMinimumSize(m_sizeMin, m_sizeMin);
    setMaximumSize(m_sizeMax, m_sizeMax);
    resize(m_sizeMin, m_sizeMin);
    setFocusPolicy(Qt::NoFocus);
}

void QInsInstrument::canvasReplot_slot()
{
    // Exposing and resizing repaint by themselves; a replot only when a value
    // moved (NaN never equals itself, so it always repaints).
    const VALUES_T v = Values();
    if (m_bReplotted && v == m_Replotted)
        return;
    m_Replotted = v;
    m_bReplotted = true;
    update();
}

void QInsInstrument::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    m_size = std::min(width(), height()) - 2 * m_offset;
}

void QADI::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(width() / 2, height() / 2);
    const int S = m_size;
    const int R = S / 2;
    const QRect dial(-S / 2, -S / 2, S, S);

    p.rotate(m_roll);

    // Sky and ground chords, split at the horizon (held within +-40 degrees).
    const int kLimit = static_cast<int>(R * 40.0 / 45.0);
    const int k = std::clamp(static_cast<int>(R * -m_pitch / 45.0), -kLimit, kLimit);
    const int x = static_cast<int>(std::sqrt(static_cast<double>(S * S / 4 - k * k)));
    const double a = x != 0 ? std::atan(static_cast<double>(k) / x) * 180.0 / kPi : 0.0;
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(55, 172, 253));
    p.drawChord(dial, static_cast<int>(a * 16), static_cast<int>((180 - 2 * a) * 16));
    p.setBrush(QColor(131, 89, 56));
    p.drawChord(dial, static_cast<int>(a * 16), static_cast<int>((2 * a + 180) * -16));

    // The pitch ladder stays inside the roll scale: within the circle its
    // ticks and labels leave free.
    const int T = S / 25;
    const double y0 = m_offset - S * 0.5;
    const double dLadderRadius = std::max(0.0, -y0 - T - 2 - kScaleLabelHeight);
    QPainterPath clip;
    clip.addEllipse(QPointF(0, 0), dLadderRadius, dLadderRadius);
    p.setClipPath(clip);

    // Pitch ladder every 10 degrees, labelled every 30.
    p.setFont(SizedFont(8));
    for (int i = -9; i <= 9; ++i)
    {
        int l = i % 3 == 0 ? S / 8 : S / 16;
        if (i == 0)
        {
            p.setPen(QPen(Qt::green, 3));
            l = static_cast<int>((S / 8) * 1.8);
        }
        else
            p.setPen(QPen(Qt::white, 2));
        const int y = static_cast<int>(R * 10.0 * i / 45.0 - R * -m_pitch / 45.0);
        if (std::sqrt(static_cast<double>(y * y + l * l)) > dLadderRadius)
            continue;
        p.drawLine(-l, y, l, y);
        if (i != 0 && i % 3 == 0)
        {
            p.setPen(QPen(Qt::white));
            p.drawText(QRect(-l - 102, y - 5, 100, 10), Qt::AlignRight | Qt::AlignVCenter, Label(-10 * i));
        }
    }

    // Aircraft marks.
    const int w = S / 20;
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(Qt::red));
    Triangle(p, QPointF(w, 0), QPointF(2 * w, -w / 2), QPointF(2 * w, w / 2));
    Triangle(p, QPointF(-w, 0), QPointF(-2 * w, -w / 2), QPointF(-2 * w, w / 2));

    // Roll scale, turning with the roll.
    p.setClipping(false);
    p.setPen(QPen(Qt::black, 1));
    p.setFont(SizedFont(8));
    for (int j = 0; j < 36; ++j)
    {
        const float fLabel = j < 18 ? -10.0f * j : 360.0f - 10.0f * j;
        if (j % 3 == 0)
        {
            p.drawLine(QPointF(0, y0), QPointF(0, y0 + T));
            p.drawText(QRectF(-50, y0 + T + 2, 100, kScaleLabelHeight), Qt::AlignCenter, Label(fLabel));
        }
        else
            p.drawLine(QPointF(0, y0), QPointF(0, y0 + T / 2));
        p.rotate(10);
    }

    // The roll pointer stays at the top.
    p.rotate(-m_roll);
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(Qt::black));
    Triangle(p, QPointF(0, y0), QPointF(-T / 2.0, y0 + T), QPointF(T / 2.0, y0 + T));
}

void QCompass::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(width() / 2, height() / 2);
    const int S = m_size;

    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(71, 71, 71));
    p.drawEllipse(QRect(-S / 2, -S / 2, S, S));

    // The rose: tick i lies 10i degrees counter-clockwise from the top.
    const int T = S / 25;
    const double y0 = m_offset - S * 0.5;
    for (int i = 0; i < 36; ++i)
    {
        QString sText;
        if (i == 0)
        {
            sText = QStringLiteral("N");
            p.setPen(QPen(Qt::blue, 2));
            p.setFont(SizedFont(10));
        }
        else if (i == 9 || i == 18 || i == 27)
        {
            sText = QString::fromLatin1(i == 9 ? "W" : i == 18 ? "S" : "E");
            p.setPen(QPen(Qt::white, i == 18 ? 2 : 1));
            p.setFont(SizedFont(10));
        }
        else
        {
            sText = Label(360.0f - 10.0f * i);
            p.setPen(QPen(Qt::white, 1));
            p.setFont(SizedFont(8));
        }
        if (i % 3 == 0)
        {
            p.drawLine(QPointF(0, y0), QPointF(0, y0 + T));
            p.drawText(QRectF(-50, y0 + T + 4, 100, kScaleLabelHeight), Qt::AlignCenter, sText);
        }
        else
            p.drawLine(QPointF(0, y0), QPointF(0, y0 + T / 2));
        p.rotate(-10);
    }

    // Needle: its tips stop short of the rose's labels.
    const int w = S / 5;
    const double dTip = -y0 - T - 4 - kScaleLabelHeight - 2;
    p.setPen(Qt::NoPen);
    p.rotate(m_yaw);
    p.setBrush(QBrush(Qt::red));
    Triangle(p, QPointF(0, -dTip), QPointF(-w / 2, 0), QPointF(w / 2, 0));
    p.setBrush(QBrush(Qt::blue));
    Triangle(p, QPointF(0, dTip), QPointF(-w / 2, 0), QPointF(w / 2, 0));
    p.rotate(-m_yaw);

    // Heading marker on the rim, within the ticks' ring.
    const double h = T + 2.0;
    p.rotate(m_yaw);
    p.setBrush(QColor(255, 0, 0, 224));
    Triangle(p, QPointF(0, y0), QPointF(-h / 2, y0 + h), QPointF(h / 2, y0 + h));
    p.rotate(-m_yaw);

    // Height box.
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QBrush(Qt::white));
    p.setFont(SizedFont(13));
    p.drawRoundedRect(QRect(-65, -21, 130, 42), 6, 6, Qt::AbsoluteSize);
    p.setPen(QPen(Qt::blue, 2));
    // The captions read in the user's language; the numbers keep their width.
    p.drawText(QRect(-65, -19, 130, 21), Qt::AlignCenter, tr("ALT: %1 m").arg(QString::asprintf("%6.1f", m_alt)));
    p.drawText(QRect(-65, 0, 130, 21), Qt::AlignCenter, tr("H: %1 m").arg(QString::asprintf("%6.1f", m_h)));
}
