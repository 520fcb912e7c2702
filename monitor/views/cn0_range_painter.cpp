// The Range bars of the CN0 view, painted into pictures in one of three
// layouts: wide (every constellation on one axis), tall (one axis per
// constellation, stacked) and small (one tab per constellation).
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QStaticText>
#include <QTabWidget>
#include <algorithm>
#include <cmath>

#include "monitor/views/cn0_bar_chart.h"
#include "monitor/views/cn0_chart_style.h"

namespace
{
constexpr int kTopCn0 = 55;     // the y axis ends here; higher values are drawn at the top
constexpr int kTickStep = 5;    // dB-Hz between y ticks
constexpr int kGroupWidth = 30; // the bars of one satellite: 3/4 of its slot

// A bar in its colour inside a one-pixel black frame, as drawRect draws it
// with the default pen, made of two plain fills: many times faster.
void FramedBar(QPainter& p, const QRect& r, const QColor& Colour)
{
    p.fillRect(r.adjusted(0, 0, 1, 1), Qt::black);
    if (r.width() > 1 && r.height() > 1)
        p.fillRect(r.adjusted(1, 1, 0, 0), Colour);
}

void Arrow(QPainter& p, QPoint Tip, QPoint a, QPoint b)
{
    p.drawLine(a, Tip);
    p.drawLine(b, Tip);
}
} // namespace

QPixmap QCN0BarChart::NewPicture(const QSize& Need)
{
    // The canvas is white itself; the picture holds the plot only.
    if (Need.isEmpty())
        return QPixmap();
    QPixmap picture(Need);
    picture.fill(Qt::white);
    return picture;
}

void QCN0BarChart::PaintAxes(QPainter& p, int nXLength, int nYLength, int nYScale, int nTickStroke,
                             const QStringList& Labels)
{
    p.setPen(QPen(Qt::black));
    p.drawLine(0, 0, nXLength + 10, 0);
    Arrow(p, QPoint(nXLength + 10, 0), QPoint(nXLength + 5, -5), QPoint(nXLength + 5, 5));
    p.drawLine(0, 0, 0, -nYLength);
    Arrow(p, QPoint(0, -nYLength), QPoint(-5, -nYLength + 5), QPoint(5, -nYLength + 5));
    for (int v = 0; v <= kTopCn0; v += kTickStep)
    {
        const int y = -nYScale * v;
        p.drawLine(0, y, nTickStroke, y);
        // Values end short of the ticks; the top one stays below the arrow.
        PaintLabel(p, QPoint(-7, y + 4), QString::number(v), Qt::AlignRight);
    }
    for (int i = 1; i <= Labels.size(); ++i)
    {
        const int x = BAR_SLOT_WIDTH * i;
        p.drawLine(x, 0, x, -3);
        PaintLabel(p, QPoint(x, 15), Labels[i - 1], Qt::AlignHCenter);
    }
}

void QCN0BarChart::PaintLabel(QPainter& p, const QPoint& Baseline, const QString& sText, Qt::Alignment Align)
{
    // The labels come back at every update: each is laid out once and kept.
    if (m_Labels.size() > 4096)
        m_Labels.clear();
    auto it = m_Labels.find(sText);
    if (it == m_Labels.end())
    {
        it = m_Labels.insert(sText, QStaticText(sText));
        it->setTextFormat(Qt::PlainText);
        it->prepare(QTransform(), p.font());
    }
    // The laid-out text knows its width: the label is placed by it, left of,
    // centred on or right of the point.
    const int nWidth = static_cast<int>(std::ceil(it->size().width()));
    const int nShift = (Align & Qt::AlignRight) ? nWidth : (Align & Qt::AlignHCenter) ? nWidth / 2 : 0;
    p.drawStaticText(Baseline - QPoint(nShift, p.fontMetrics().ascent()), *it);
}

void QCN0BarChart::PaintSlotBars(QPainter& p, const QPoint& Origin, uint32_t nSlot, int nBase, int nScale, int nPicture)
{
    const QStringList& merged = m_Merged[nSlot];
    for (int j = 0; j < merged.size(); ++j)
    {
        const QString& sLabel = merged[j];
        int posAt[SIGNALS_PER_SLOT], vectAt[SIGNALS_PER_SLOT];
        int n = 0;
        for (int k = 0; k < SIGNALS_PER_SLOT; ++k)
        {
            posAt[k] = m_Pos[nSlot][k].Labels.indexOf(sLabel);
            vectAt[k] = m_Vect[nSlot][k].Labels.indexOf(sLabel);
            n += (posAt[k] >= 0 ? 1 : 0) + (vectAt[k] >= 0 ? 1 : 0);
        }
        n = std::max(n, 1);
        int nOffset = nBase;
        auto bar = [&](const SIGNAL_LIST_T& List, int nAt, int k, bool bVector)
        {
            nOffset += nOffset == nBase ? kGroupWidth / 2 : kGroupWidth / n;
            const int nCn0 = List.Values[nAt];
            const int nHeight = std::clamp(nCn0, 0, kTopCn0) * nScale;
            const QRect rect(BAR_SLOT_WIDTH * j + nOffset, -nHeight, kGroupWidth / n, nHeight);
            FramedBar(p, rect, Cn0SignalColour(nSlot, k, bVector));
            m_Bars.append({nSlot, k, bVector, sLabel, nCn0, rect.translated(Origin), nPicture});
        };
        for (int k = 0; k < SIGNALS_PER_SLOT; ++k)
            if (posAt[k] >= 0 && m_PosRow[nSlot].Box[k]->isChecked())
                bar(m_Pos[nSlot][k], posAt[k], k, false);
        for (int k = 0; k < SIGNALS_PER_SLOT; ++k)
            if (vectAt[k] >= 0 && m_VectRow[nSlot].Box[k]->isChecked())
                bar(m_Vect[nSlot][k], vectAt[k], k, true);
    }
}

void QCN0BarChart::ShowPicture(const QPixmap& Picture)
{
    m_Picture = Picture;
    m_pCanvas->setPixmap(m_Picture);
    OnScrollAreasize();
    m_pCanvas->update();
}

void QCN0BarChart::ClearRangePicture()
{
    m_ContentHeight += m_bSignal ? 360 : 280;
    ApplyWanted();
    OnUpdatePainter();
}

void QCN0BarChart::OnWidthPaiter()
{
    m_ContentHeight += 240;
    m_pCanvas->show();
    m_pTabWidget->hide();
    m_PlotWidth = BAR_SLOT_WIDTH * m_XLabels.size() + 10;
    m_pCanvas->setMinimumHeight(500);
    const QPoint origin(50, 230);
    QPixmap picture = NewPicture(QSize(origin.x() + m_PlotWidth + 30, origin.y() + 30));
    if (picture.isNull())
        return;
    m_Bars.clear();
    m_Painted = RANGE_LAYOUT_WIDE;
    QPainter p(&picture);
    p.translate(origin);
    PaintAxes(p, m_PlotWidth, 230, 4, 4, m_XLabels);
    int nBase = 0;
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        if (!TakesPart(nSlot))
            continue;
        PaintSlotBars(p, origin, nSlot, nBase, 4, 0);
        nBase += BAR_SLOT_WIDTH * m_Merged[nSlot].size();
    }
    p.end();
    ShowPicture(picture);
}

void QCN0BarChart::OnHeightPaiter()
{
    m_pCanvas->show();
    m_pTabWidget->hide();
    QList<uint32_t> blocks;
    int nMost = 0;
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
        if (TakesPart(nSlot) && !m_Merged[nSlot].isEmpty())
        {
            blocks << nSlot;
            nMost = std::max(nMost, static_cast<int>(m_Merged[nSlot].size()));
        }
    m_PlotWidth = BAR_SLOT_WIDTH * nMost + 10;
    m_ContentHeight += 185 * blocks.size();
    const QSize need(25 + m_PlotWidth + 30, 225 * blocks.size() + 45);
    m_pCanvas->setMinimumHeight(std::max(500, need.height()));
    QPixmap picture = NewPicture(need);
    if (picture.isNull())
        return;
    m_Bars.clear();
    m_Painted = RANGE_LAYOUT_TALL;
    QPainter p(&picture);
    QPoint origin(25, 225);
    for (uint32_t nSlot : qAsConst(blocks))
    {
        p.resetTransform();
        p.translate(origin);
        PaintAxes(p, m_PlotWidth, 175, 3, 3, m_Merged[nSlot]);
        p.drawText(QPoint(m_PlotWidth / 2, 35), QString::fromLatin1(SatSlot(nSlot).SystemName));
        PaintSlotBars(p, origin, nSlot, 0, 3, 0);
        origin += QPoint(0, 225);
    }
    p.end();
    ShowPicture(picture);
}

void QCN0BarChart::OnTabWightPaiter()
{
    m_pCanvas->hide();
    m_pTabWidget->show();
    const int nCurrent = m_pTabWidget->currentIndex();
    // The pages of the last update go with their tabs.
    while (m_pTabWidget->count() > 0)
    {
        QWidget* pPage = m_pTabWidget->widget(0);
        m_pTabWidget->removeTab(0);
        delete pPage;
    }
    m_pTabWidget->setMinimumHeight(250);
    m_Bars.clear();
    m_Painted = RANGE_LAYOUT_SMALL;
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        if (!TakesPart(nSlot) || m_Merged[nSlot].isEmpty())
            continue;
        m_ContentHeight += 60;
        const int M = (BAR_SLOT_WIDTH + 5) * m_Merged[nSlot].size();
        m_PlotWidth = std::max(m_PlotWidth, M);
        auto* pPage = new QLabel;
        pPage->setMinimumSize(M, 250);
        pPage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const int nPicture = m_pTabWidget->addTab(pPage, QString::fromLatin1(SatSlot(nSlot).SystemName)) + 1;
        // Every tab's axis sits at the same height, inside its picture.
        const QPoint origin(50, 230);
        QPixmap picture = NewPicture(QSize(origin.x() + M + 30, 250));
        QPainter p(&picture);
        p.translate(origin);
        PaintAxes(p, M, 220, 4, 4, m_Merged[nSlot]);
        PaintSlotBars(p, origin, nSlot, 0, 4, nPicture);
        p.end();
        pPage->setPixmap(picture);
    }
    if (nCurrent >= 0 && nCurrent < m_pTabWidget->count())
        m_pTabWidget->setCurrentIndex(nCurrent);
    OnScrollAreasize();
}
