#include "monitor/views/cn0_bar_chart.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPen>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtCharts/QAbstractAxis>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "codec/range_logs.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/shell/view_payload.h"
#include "monitor/views/cn0_chart_style.h"

QT_CHARTS_USE_NAMESPACE

namespace
{
const char kContext[] = "QCN0BarChartDialog";

QString T(const char* pText) { return QCoreApplication::translate(kContext, pText); }

QString Swatch(const QColor& c)
{
    return QStringLiteral("QLabel {background-color: rgb(%1, %2, %3);}").arg(c.red()).arg(c.green()).arg(c.blue());
}

QFont BoxFont() { return QFont(QStringLiteral("Arial"), 13); }

// The latest observations of one antenna of a port; null when it has none.
const std::vector<RANGE_OBS_T>* AntennaObservations(const QRangeData* pStore, RANGE_ANTENNA_E Antenna)
{
    const RANGE_OBS_SET_T* pSet = pStore != nullptr ? pStore->RangeObservations().Latest(Antenna) : nullptr;
    return pSet != nullptr && !pSet->Obs.empty() ? &pSet->Obs : nullptr;
}

// Widths in the NMEA chart: the value axis with its labels, and one bar with
// the satellite name under it ("J195" in the axis font).
constexpr int kValueAxisRoom = 50;
constexpr int kCategoryRoom = 44;
constexpr int kWideFrom = 15; // satellites from which the content widens by 35 pixels each

// A carrier-to-noise value as a whole number of dB-Hz; what does not read as one is 0.
int WholeCn0(float f) { return std::isfinite(f) && f > 0.0f ? static_cast<int>(std::min(f, 255.0f)) : 0; }
} // namespace

QCN0BarChart::QCN0BarChart(QWidget* pParent)
    : QRequestingView(pParent), m_pScroll(new QScrollArea(this)), m_pContent(new QWidget), m_pNmea(new QRadioButton),
      m_pRange(new QRadioButton), m_pSignalBox(new QCheckBox), m_pSignalBlocks(new QWidget), m_pPosHeading(new QLabel),
      m_pVectHeading(new QLabel), m_pCanvas(new QLabel), m_pTabWidget(new QTabWidget)
{
    setObjectName(QStringLiteral("QCN0BarChartDialog"));
    resize(388, 427);
    setMinimumWidth(400);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/SignalCN0_3.png")));

    auto* pBox = new QVBoxLayout(m_pContent);

    auto* pModeRow = new QHBoxLayout;
    m_pNmea->setText(QStringLiteral("NMEA"));
    m_pNmea->setObjectName(QStringLiteral("Cn0NmeaButton"));
    m_pRange->setObjectName(QStringLiteral("Cn0RangeButton"));
    m_pSignalBox->setObjectName(QStringLiteral("Cn0SignalBox"));
    for (QAbstractButton* p : {static_cast<QAbstractButton*>(m_pNmea), static_cast<QAbstractButton*>(m_pRange),
                               static_cast<QAbstractButton*>(m_pSignalBox)})
    {
        p->setFont(BoxFont());
        pModeRow->addWidget(p);
    }
    m_pNmea->setChecked(true);
    m_pSignalBox->hide();
    pModeRow->addStretch();
    pBox->addLayout(pModeRow);

    // One row of systems where the window is wide enough, else three a row:
    // the legend stays whole at the window's narrowest width.
    auto* pSysRow = new QGridLayout;
    m_pSysGrid = pSysRow;
    pSysRow->setHorizontalSpacing(4);
    pSysRow->setVerticalSpacing(0);
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        if (!SatSlotUsed(nSlot))
            continue;
        m_pSysSwatch[nSlot] = new QLabel;
        m_pSysSwatch[nSlot]->setStyleSheet(Swatch(Cn0SystemColour(nSlot)));
        m_pSysSwatch[nSlot]->setMaximumSize(10, 15);
        const SAT_SLOT_T& s = SatSlot(nSlot);
        m_pSysBox[nSlot] = new QCheckBox(QString::asprintf("%s(%s)", s.SystemName, s.Letter));
        m_pSysBox[nSlot]->setObjectName(QStringLiteral("Cn0System%1").arg(nSlot));
        m_pSysBox[nSlot]->setFont(BoxFont());
        SetLeastSize(m_pSysBox[nSlot], QSize(80, 15));
        m_pSysBox[nSlot]->setChecked(true);
    }
    ArrangeLegend(3);
    pBox->addLayout(pSysRow);

    auto* pBlocks = new QHBoxLayout(m_pSignalBlocks);
    pBlocks->setContentsMargins(0, 0, 0, 0);
    auto* pPosBlock = new QWidget;
    auto* pVectBlock = new QWidget;
    BuildSignalBlock(pPosBlock, m_pPosHeading, m_PosRow, false);
    BuildSignalBlock(pVectBlock, m_pVectHeading, m_VectRow, true);
    pBlocks->addWidget(pPosBlock);
    pBlocks->addWidget(pVectBlock);
    pBlocks->addStretch();
    pBox->addWidget(m_pSignalBlocks);

    OnGGAShow();
    pBox->addWidget(m_pChartView, 1);

    m_pCanvas->setObjectName(QStringLiteral("Cn0RangeCanvas"));
    m_pCanvas->setMinimumHeight(500);
    m_pCanvas->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pCanvas->setAutoFillBackground(true);
    QPalette white = m_pCanvas->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_pCanvas->setPalette(white);
    // The canvas takes the room the content gives it; the picture is made to fit.
    m_pCanvas->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_pCanvas->hide();
    m_pTabWidget->setObjectName(QStringLiteral("Cn0RangeTabs"));
    m_pTabWidget->hide();
    // The pictures take the room the rows above leave.
    pBox->addWidget(m_pCanvas, 1);
    pBox->addWidget(m_pTabWidget, 1);

    m_pScroll->setWidget(m_pContent);
    m_pScroll->setWidgetResizable(false);
    OnLanguageUpdate();
    OnScrollAreasize();
}

void QCN0BarChart::BuildSignalBlock(QWidget* pBlock, QLabel* pHeading, SIGNAL_ROW_T* pRows, bool bVector)
{
    auto* pLayout = new QVBoxLayout(pBlock);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pHeading->hide();
    pLayout->addWidget(pHeading);
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        if (!SatSlotUsed(nSlot))
            continue;
        SIGNAL_ROW_T& row = pRows[nSlot];
        auto* pRow = new QHBoxLayout;
        row.Name = new QLabel(QString::fromLatin1(SatSlot(nSlot).SystemName));
        row.Name->setMinimumWidth(40);
        row.Narrow = new QLabel;
        row.Narrow->setMaximumWidth(2);
        pRow->addWidget(row.Name);
        pRow->addWidget(row.Narrow);
        row.Name->hide();
        row.Narrow->hide();
        for (int k = 0; k < SIGNALS_PER_SLOT; ++k)
        {
            row.Swatch[k] = new QLabel;
            row.Swatch[k]->setStyleSheet(Swatch(Cn0SignalColour(nSlot, k, bVector)));
            row.Swatch[k]->setMaximumSize(10, 15);
            row.Box[k] = new QCheckBox(QString::fromLatin1(Cn0SignalName(nSlot, k)));
            row.Box[k]->setObjectName(QStringLiteral("%1Signal%2_%3")
                                          .arg(bVector ? QStringLiteral("Vect") : QStringLiteral("Pos"))
                                          .arg(nSlot)
                                          .arg(k));
            row.Box[k]->setFont(BoxFont());
            SetLeastSize(row.Box[k], QSize(40, 15));
            row.Box[k]->setChecked(true);
            row.Swatch[k]->hide();
            row.Box[k]->hide();
            pRow->addWidget(row.Swatch[k]);
            pRow->addWidget(row.Box[k]);
        }
        pRow->addStretch();
        pLayout->addLayout(pRow);
    }
}

void QCN0BarChart::OnGGAShow()
{
    m_pSeries = new QStackedBarSeries;
    m_pAxisX = new QBarCategoryAxis;
    m_pAxisY = new QValueAxis;
    m_pAxisY->setRange(0, 55);
    m_pAxisY->setTickType(QValueAxis::TicksDynamic);
    m_pAxisY->setTickAnchor(0);
    m_pAxisY->setTickInterval(5);
    m_pAxisY->setLabelFormat(QStringLiteral("%u"));
    const QFont small(QStringLiteral("Arial"), 7);
    m_pAxisX->setLabelsFont(small);
    m_pAxisY->setLabelsFont(small);
    // The height of a value label, measured as the chart measures its labels.
    QGraphicsTextItem probe;
    probe.document()->setDocumentMargin(0.5);
    probe.setFont(small);
    probe.setHtml(QStringLiteral("55"));
    m_fValueLabelHeight = probe.boundingRect().height();
    m_pChart = new QChart;
    m_pChart->addSeries(m_pSeries);
    m_pChart->addAxis(m_pAxisX, Qt::AlignBottom);
    m_pChart->addAxis(m_pAxisY, Qt::AlignLeft);
    m_pSeries->attachAxis(m_pAxisX);
    m_pSeries->attachAxis(m_pAxisY);
    m_pSeries->setBarWidth(0.8);
    m_pChart->legend()->hide();
    m_pChart->setTitle(QStringLiteral("CN0"));
    // Drawn at every tick, so drawn the quick way with the same look: the
    // theme's white-to-white gradient as plain white, the grid and axis lines
    // one pixel wide and, since every line and bar is upright, without
    // antialiasing (the texts keep theirs).
    m_pChart->setBackgroundBrush(Qt::white);
    // The chart fills its view: the height goes to the bars and their labels.
    m_pChart->layout()->setContentsMargins(0, 0, 0, 0);
    m_pChart->setBackgroundRoundness(0);
    for (QAbstractAxis* pAxis : {static_cast<QAbstractAxis*>(m_pAxisX), static_cast<QAbstractAxis*>(m_pAxisY)})
    {
        QPen grid = pAxis->gridLinePen();
        grid.setWidth(0);
        pAxis->setGridLinePen(grid);
        QPen minor = pAxis->minorGridLinePen();
        minor.setWidth(0);
        pAxis->setMinorGridLinePen(minor);
        QPen line = pAxis->linePen();
        line.setWidth(0);
        pAxis->setLinePen(line);
    }
    m_pChartView = new QChartView(m_pChart);
    m_pChartView->setObjectName(QStringLiteral("Cn0ChartView"));
    // In a low window the content scrolls rather than squeeze the plot below
    // the height its labels need.
    m_pChartView->setMinimumHeight(200);
    m_pChartView->hide();
    connect(m_pChart, &QChart::plotAreaChanged, this, &QCN0BarChart::FitValueLabels);
}

void QCN0BarChart::FitValueLabels(const QRectF& Plot)
{
    // Qt Charts elides a value label higher than its share of the axis to
    // "...": the labels go every 5 dB-Hz where the plot has room for twelve,
    // else every 10, 25 or 55; the grid keeps a line every 5.
    int nStep = 55;
    for (const int nTry : {5, 10, 25})
    {
        if (Plot.height() / (55 / nTry + 1) >= m_fValueLabelHeight + 1.0)
        {
            nStep = nTry;
            break;
        }
    }
    if (m_pAxisY->tickInterval() == nStep)
        return;
    m_pAxisY->setTickInterval(nStep);
    m_pAxisY->setMinorTickCount(nStep / 5 - 1);
}

void QCN0BarChart::OnLanguageUpdate()
{
    m_pPosHeading->setText(T(QT_TRANSLATE_NOOP("QCN0BarChartDialog", "Pos Ant:")));
    m_pVectHeading->setText(T(QT_TRANSLATE_NOOP("QCN0BarChartDialog", "Vect Ant:")));
    m_pSignalBox->setText(T(QT_TRANSLATE_NOOP("QCN0BarChartDialog", "Signal")));
    m_pRange->setText(T(QT_TRANSLATE_NOOP("QCN0BarChartDialog", "Range")));
    for (QLabel* p : {m_pPosHeading, m_pVectHeading})
        p->setMaximumSize(QSize(100, 20).expandedTo(p->sizeHint()));
    setWindowTitle(T(QT_TRANSLATE_NOOP("QCN0BarChartDialog", "CN0")));
    m_pChart->setTitle(windowTitle());
    m_Labels.clear();
}

// ---- Showing ----

void QCN0BarChart::SendLogRequest(uint nPortID) { emit SignalSendNMEAMsg(nPortID, NmeaLogRequest()); }

void QCN0BarChart::ArrangeLegend(int nColumns)
{
    if (nColumns == m_nLegendColumns)
        return;
    m_nLegendColumns = nColumns;
    for (int c = 0; c < m_pSysGrid->columnCount(); ++c)
        m_pSysGrid->setColumnStretch(c, 0);
    int nShown = 0;
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        if (m_pSysBox[nSlot] == nullptr)
            continue;
        for (QWidget* p : {static_cast<QWidget*>(m_pSysSwatch[nSlot]), static_cast<QWidget*>(m_pSysBox[nSlot])})
            m_pSysGrid->removeWidget(p);
        m_pSysGrid->addWidget(m_pSysSwatch[nSlot], nShown / nColumns, 2 * (nShown % nColumns));
        m_pSysGrid->addWidget(m_pSysBox[nSlot], nShown / nColumns, 2 * (nShown % nColumns) + 1);
        ++nShown;
    }
    m_pSysGrid->setColumnStretch(2 * nColumns, 1);
}

void QCN0BarChart::resizeEvent(QResizeEvent* pEvent)
{
    QRequestingView::resizeEvent(pEvent);
    // The width the legend takes in one row, measured once: its texts do not
    // change with the language.
    if (m_nLegendRowWidth == 0)
    {
        m_nLegendRowWidth = 40;
        for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
            if (m_pSysBox[nSlot] != nullptr)
                m_nLegendRowWidth += m_pSysBox[nSlot]->sizeHint().width() + 10 + 2 * m_pSysGrid->horizontalSpacing();
    }
    ArrangeLegend(width() >= m_nLegendRowWidth ? static_cast<int>(SAT_SLOT_COUNT) : 3);
    OnScrollAreasize();
}

void QCN0BarChart::OnScrollAreasize()
{
    m_pScroll->setGeometry(0, 0, width(), height());
    if (!m_pRange->isChecked() || m_pNmea->isChecked())
        return;
    const QSize least = m_pContent->minimumSizeHint();
    const int h = m_ContentHeight > height() ? m_ContentHeight : height() - 30;
    const int w = width() >= m_PlotWidth ? width() : m_PlotWidth + 300;
    m_pContent->setGeometry(0, 0, std::max(w, least.width()), std::max(h, least.height()));
}

QStringList QCN0BarChart::OnRemoveListSame(QStringList list)
{
    QStringList out;
    for (const QString& s : qAsConst(list))
        if (!out.contains(s))
            out << s;
    return out;
}

// ---- Updates ----

void QCN0BarChart::OnPortTabChange(int)
{
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        for (int k = 0; k < SIGNALS_PER_SLOT; ++k)
        {
            m_Pos[nSlot][k] = SIGNAL_LIST_T();
            m_Vect[nSlot][k] = SIGNAL_LIST_T();
        }
        m_Merged[nSlot].clear();
    }
    m_XLabels.clear();
}

void QCN0BarChart::Want(QWidget* pWidget, bool bShown) { m_Wanted[pWidget] = bShown; }

void QCN0BarChart::ApplyWanted()
{
    for (auto it = m_Wanted.cbegin(); it != m_Wanted.cend(); ++it)
        if (it.key()->isHidden() == it.value())
            it.key()->setVisible(it.value());
    m_Wanted.clear();
}

void QCN0BarChart::HideSignalRows()
{
    Want(m_pPosHeading, false);
    Want(m_pVectHeading, false);
    for (SIGNAL_ROW_T* pRows : {m_PosRow, m_VectRow})
        for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
        {
            if (!SatSlotUsed(nSlot))
                continue;
            Want(pRows[nSlot].Name, false);
            Want(pRows[nSlot].Narrow, false);
            for (int k = 0; k < SIGNALS_PER_SLOT; ++k)
            {
                Want(pRows[nSlot].Swatch[k], false);
                Want(pRows[nSlot].Box[k], false);
            }
        }
}

void QCN0BarChart::OnUpdateCN0BarChart(void* pPortTab)
{
    // What is shown is worked out first and changed once at the end, so that
    // widgets that stay as they are do not make the window lay itself out again.
    // The tab set the main window handed over, read during this update.
    m_pPortTab = PortTabPayload(pPortTab);
    OnPortTabChange(0);
    m_ContentHeight = 0;
    Want(m_pSignalBox, false);
    HideSignalRows();
    for (QLabel* p : m_pSysSwatch)
        if (p != nullptr)
            Want(p, true);
    if (m_pNmea->isChecked())
    {
        Want(m_pCanvas, false);
        Want(m_pTabWidget, false);
        Want(m_pChartView, true);
        ApplyWanted();
        NMEACN0BarChart();
    }
    if (m_pRange->isChecked())
    {
        // The painter of the layout shows the canvas or the tabs.
        Want(m_pSignalBox, true);
        m_bSignal = m_pSignalBox->isChecked();
        for (QLabel* p : m_pSysSwatch)
            if (p != nullptr)
                Want(p, false);
        Want(m_pChartView, false);
        RANGECN0BarChart();
    }
    ApplyWanted();
}

void QCN0BarChart::NMEACN0BarChart()
{
    OnScrollAreasize();
    const POS_DATA_T* pPos = m_pPortTab != nullptr ? m_pPortTab->GetPosData() : nullptr;
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        m_NmeaValues[nSlot].clear();
        m_NmeaLabels[nSlot].clear();
    }
    m_AllValues.clear();
    m_Categories.clear();
    if (pPos == nullptr || static_cast<int8_t>(pPos->FixQuality) < 1)
    {
        // No fix: an empty chart, without the categories of an earlier one.
        m_pSeries->clear();
        m_pAxisX->clear();
        return;
    }
    int nCount = 0;
    for (const SAT_INFO_T& sat : pPos->SatInfo)
    {
        const int nCn0 = static_cast<int8_t>(sat.CN0);
        if (sat.SatNumber == 0 || nCn0 <= 0 || !SatSlotUsed(sat.System))
            continue;
        const int nShown = SatDisplayNumber(sat.System, sat.SatNumber);
        if (nShown == 0)
            continue;
        m_NmeaValues[sat.System] << nCn0;
        m_NmeaLabels[sat.System] << SatSlotLabel(sat.System, nShown);
        ++nCount;
    }
    // The content never gets narrower or lower than its rows need.
    m_pContent->resize(
        QSize(nCount >= kWideFrom ? 35 * nCount : width() - 10, height() - 30).expandedTo(m_pContent->minimumSizeHint()));

    // Categories of the checked systems; a label met twice (one satellite
    // under two numberings) is charted once, since the axis holds each once.
    QList<uint32_t> owners;
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        if (!SatSlotUsed(nSlot) || !m_pSysBox[nSlot]->isChecked())
            continue;
        for (int i = 0; i < m_NmeaLabels[nSlot].size(); ++i)
        {
            if (m_Categories.contains(m_NmeaLabels[nSlot][i]))
                continue;
            m_Categories << m_NmeaLabels[nSlot][i];
            m_AllValues << m_NmeaValues[nSlot][i];
            owners << nSlot;
        }
    }
    // The series stays on the chart with its axes. While the checked systems
    // and the satellites stay the same, only the values that changed are
    // replaced; otherwise the sets and the categories are made anew, in one
    // step each. Rebuilding every bar of the chart costs far more than a tick has.
    QList<uint32_t> shown;
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
        if (SatSlotUsed(nSlot) && m_pSysBox[nSlot]->isChecked())
            shown << nSlot;
    const QList<QBarSet*> current = m_pSeries->barSets();
    bool bSameShape = current.size() == shown.size() && m_pAxisX->categories() == m_Categories;
    for (int k = 0; bSameShape && k < shown.size(); ++k)
        bSameShape = current[k]->label() == QLatin1String(SatSlot(shown[k]).SystemName);
    auto valueOf = [&](uint32_t nSlot, int i) { return owners[i] == nSlot ? m_AllValues[i] : 0.0; };
    if (bSameShape)
    {
        // The chart lays every bar out again for each replaced value. A set's
        // values are replaced with its change notifier (the set's own child
        // object) quiet, and the last one again aloud, so that the chart is
        // laid out once per set. Without such a child each replacement lays
        // the chart out, slower but the same.
        for (int k = 0; k < shown.size(); ++k)
        {
            int nLast = -1;
            {
                const QSignalBlocker quiet(current[k]->findChild<QObject*>());
                for (int i = 0; i < m_Categories.size(); ++i)
                    if (current[k]->at(i) != valueOf(shown[k], i))
                    {
                        current[k]->replace(i, valueOf(shown[k], i));
                        nLast = i;
                    }
            }
            if (nLast >= 0)
                current[k]->replace(nLast, valueOf(shown[k], nLast));
        }
        return;
    }
    QList<QBarSet*> sets;
    for (uint32_t nSlot : qAsConst(shown))
    {
        auto* pSet = new QBarSet(QString::fromLatin1(SatSlot(nSlot).SystemName));
        pSet->setColor(Cn0SystemColour(nSlot));
        QList<qreal> values;
        values.reserve(m_Categories.size());
        for (int i = 0; i < m_Categories.size(); ++i)
            values << valueOf(nSlot, i);
        pSet->append(values);
        sets << pSet;
    }
    m_pSeries->clear();
    m_pAxisX->setCategories(m_Categories);
    m_pSeries->append(sets);
    // Room for every satellite's name under its bar: a narrow window scrolls
    // rather than cut the names to "...". From fifteen satellites on the
    // content is 35 pixels a satellite wide whatever the window.
    const int nCategories = static_cast<int>(m_Categories.size());
    m_pChartView->setMinimumWidth(nCategories < kWideFrom ? kValueAxisRoom + kCategoryRoom * nCategories : 0);
    m_pContent->resize(m_pContent->size().expandedTo(m_pContent->minimumSizeHint()));
}

void QCN0BarChart::GatherRangeSignals(const std::vector<RANGE_OBS_T>& Obs, bool bVector)
{
    SIGNAL_LIST_T(&lists)[SAT_SLOT_COUNT][SIGNALS_PER_SLOT] = bVector ? m_Vect : m_Pos;
    SIGNAL_ROW_T* pRows = bVector ? m_VectRow : m_PosRow;
    if (m_bSignal)
        Want(bVector ? m_pVectHeading : m_pPosHeading, true);
    for (const RANGE_OBS_T& obs : Obs)
    {
        // SBAS and the systems without a slot have no bars of their own,
        // and a PRN above 255 is no satellite: skipped.
        const uint32_t nRawSys = TrackingStatusSystem(obs.TrackingStatus);
        if (obs.Prn > 255 || nRawSys == TRACK_SYS_SBAS || nRawSys >= TRACK_SYS_COUNT)
            continue;
        const uint32_t nSlot = TrackStatusToSystem(obs.TrackingStatus);
        const uint32_t nCode = TrackStatusToSignalType(obs.TrackingStatus, nSlot);
        const int k = nCode == 65535 ? 7 : static_cast<int>((nCode >> 3) & 7u);
        const int nNumber = nSlot == GNSS_SYSTEM_GLONASS ? obs.Prn - GLO_PRN_OFFSET : obs.Prn;
        // A signal without a bar does not put its satellite on the axis either.
        if (!SatSlotUsed(nSlot) || k >= SIGNALS_PER_SLOT || nNumber <= 0)
            continue;
        SIGNAL_LIST_T& list = lists[nSlot][k];
        list.Labels << SatSlotLabel(nSlot, nNumber);
        list.Values << WholeCn0(obs.CNo);
        if (!list.SatNumbers.contains(nNumber))
            list.SatNumbers << nNumber;
        if (m_bSignal)
        {
            Want(pRows[nSlot].Swatch[k], true);
            Want(pRows[nSlot].Box[k], true);
            Want(pRows[nSlot].Name, true);
        }
    }
    if (m_bSignal)
        for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
        {
            if (!SatSlotUsed(nSlot))
                continue;
            bool bAny = false;
            for (int k = 0; k < SIGNALS_PER_SLOT; ++k)
                bAny = bAny || !lists[nSlot][k].Labels.isEmpty();
            Want(pRows[nSlot].Narrow, bAny);
        }
}

void QCN0BarChart::RANGECN0BarChart()
{
    m_PlotWidth = 0;
    // The latest observations of the position antenna and of the second
    // antenna, whatever log the port's receive road expanded them from.
    const QRangeData* pStore = m_pPortTab != nullptr ? m_pPortTab->GetCurRangeData() : nullptr;
    const std::vector<RANGE_OBS_T>* pPos = AntennaObservations(pStore, RANGE_ANTENNA_POSITION);
    const std::vector<RANGE_OBS_T>* pVect = AntennaObservations(pStore, RANGE_ANTENNA_SECOND);
    if (pPos == nullptr && pVect == nullptr)
    {
        // No port, or no observations on it: an empty view, not the last port's bars.
        ClearRangePicture();
        return;
    }
    if (pPos != nullptr)
        GatherRangeSignals(*pPos, false);
    if (pVect != nullptr)
        GatherRangeSignals(*pVect, true);

    // Each checked system's satellites on the checked signals, in number order.
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        if (!SatSlotUsed(nSlot) || !m_pSysBox[nSlot]->isChecked())
            continue;
        QList<int> numbers;
        for (int k = 0; k < SIGNALS_PER_SLOT; ++k)
        {
            if (m_PosRow[nSlot].Box[k]->isChecked())
                numbers << m_Pos[nSlot][k].SatNumbers;
            if (m_VectRow[nSlot].Box[k]->isChecked())
                numbers << m_Vect[nSlot][k].SatNumbers;
        }
        std::sort(numbers.begin(), numbers.end());
        QStringList labels;
        for (int n : qAsConst(numbers))
            labels << SatSlotLabel(nSlot, n);
        m_Merged[nSlot] = OnRemoveListSame(labels);
        m_XLabels << m_Merged[nSlot];
    }
    m_ContentHeight += m_bSignal ? 360 : 280;
    ApplyWanted();
    OnUpdatePainter();
}

bool QCN0BarChart::TakesPart(uint32_t nSlot) const
{
    if (!SatSlotUsed(nSlot) || !m_pSysBox[nSlot]->isChecked())
        return false;
    for (int k = 0; k < SIGNALS_PER_SLOT; ++k)
        if (m_PosRow[nSlot].Box[k]->isChecked() || m_VectRow[nSlot].Box[k]->isChecked())
            return true;
    return false;
}

QCN0BarChart::RANGE_LAYOUT_E QCN0BarChart::LayoutForSize(const QSize& Size)
{
    if (Size.width() >= 900)
        return RANGE_LAYOUT_WIDE;
    return Size.height() >= 700 ? RANGE_LAYOUT_TALL : RANGE_LAYOUT_SMALL;
}

void QCN0BarChart::OnUpdatePainter()
{
    switch (LayoutForSize(size()))
    {
    case RANGE_LAYOUT_WIDE:
        OnWidthPaiter();
        break;
    case RANGE_LAYOUT_TALL:
        OnHeightPaiter();
        break;
    default:
        OnTabWightPaiter();
        break;
    }
}
