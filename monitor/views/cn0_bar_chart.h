// The CN0 view: the carrier-to-noise density of the satellites the current
// port's receiver tracks, as bars. "NMEA" charts one bar per satellite from
// the GSV data of the position record, coloured by constellation; "Range"
// paints up to three bars per satellite, one per signal, from the port's
// latest range observations of each antenna (whatever log they came in), in
// a wide, tall or tabbed layout chosen by the window's size. A check box per constellation (and, in Range mode, per signal)
// filters both. When shown it asks the receiver for the NMEA sentences.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QPixmap>
#include <QRect>
#include <QStaticText>
#include <QStringList>
#include <QVector>
#include <QtCharts/QChartGlobal>
#include <vector>

#include "codec/range_logs.h"
#include "monitor/views/requesting_view.h"
#include "monitor/views/satellite_views.h"

QT_CHARTS_BEGIN_NAMESPACE
class QBarCategoryAxis;
class QChart;
class QChartView;
class QStackedBarSeries;
class QValueAxis;
QT_CHARTS_END_NAMESPACE

class QCheckBox;
class QGridLayout;
class QLabel;
class QPainter;
class QRadioButton;
class QScrollArea;
class QTabWidget;

class QCN0BarChart : public QRequestingView
{
    Q_OBJECT

public:
    enum : int
    {
        SIGNALS_PER_SLOT = 3,
        BAR_SLOT_WIDTH = 40, // pixels per satellite
    };
    enum RANGE_LAYOUT_E
    {
        RANGE_LAYOUT_NONE,  // nothing painted
        RANGE_LAYOUT_WIDE,  // one chart of every constellation
        RANGE_LAYOUT_TALL,  // one chart per constellation, stacked
        RANGE_LAYOUT_SMALL, // one tab per constellation
    };
    // One bar the Range painter drew, in its picture's pixels.
    struct RANGE_BAR_T
    {
        uint32_t Slot;
        int Signal;
        bool VectorAntenna;
        QString Label; // "G12"
        int Cn0;       // dB-Hz, as the receiver gave it (whole)
        QRect Rect;
        int Picture; // 0: the canvas, else tab Picture - 1
    };

    explicit QCN0BarChart(QWidget* pParent = nullptr);

    // The layout of a window of this size: at least 900 wide is wide, else at
    // least 700 high is tall, else the tabs.
    static RANGE_LAYOUT_E LayoutForSize(const QSize& Size);

    // What the view shows, to read back.
    QT_CHARTS_NAMESPACE::QChartView* ChartView() const { return m_pChartView; }
    QT_CHARTS_NAMESPACE::QStackedBarSeries* Series() const { return m_pSeries; }
    QT_CHARTS_NAMESPACE::QBarCategoryAxis* CategoryAxis() const { return m_pAxisX; }
    QT_CHARTS_NAMESPACE::QValueAxis* ValueAxis() const { return m_pAxisY; }
    QLabel* Canvas() const { return m_pCanvas; }
    QTabWidget* RangeTabs() const { return m_pTabWidget; }
    QWidget* Content() const { return m_pContent; }
    RANGE_LAYOUT_E PaintedLayout() const { return m_Painted; }
    const QVector<RANGE_BAR_T>& PaintedBars() const { return m_Bars; }
    const QStringList& XLabels() const { return m_XLabels; }
    QRadioButton* NmeaButton() const { return m_pNmea; }
    QRadioButton* RangeButton() const { return m_pRange; }
    QCheckBox* SignalBox() const { return m_pSignalBox; }
    QCheckBox* SystemBox(uint32_t nSlot) const { return nSlot < SAT_SLOT_COUNT ? m_pSysBox[nSlot] : nullptr; }
    QCheckBox* PosSignalBox(uint32_t nSlot, int k) const
    {
        return nSlot < SAT_SLOT_COUNT ? m_PosRow[nSlot].Box[k] : nullptr;
    }

signals:
    void SignalSendNMEAMsg(uint UniquePortID, QByteArray WriteData);

public slots:
    // pPortTab: the port tab set, read during the call only.
    void OnUpdateCN0BarChart(void* pPortTab);
    void NMEACN0BarChart();
    void RANGECN0BarChart();
    void OnLanguageUpdate();
    void OnPortTabChange(int CurIndex);
    void OnGGAShow();
    void OnScrollAreasize();
    QStringList OnRemoveListSame(QStringList list);
    void OnWidthPaiter();
    void OnHeightPaiter();
    void OnTabWightPaiter();
    void OnUpdatePainter();

protected:
    // Asks the receiver for the sentences the chart needs.
    void SendLogRequest(uint nPortID) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    // The satellites of one slot and signal, one antenna.
    struct SIGNAL_LIST_T
    {
        QStringList Labels;
        QList<int> Values;
        QList<int> SatNumbers; // no repeats
    };
    // The widgets of one slot in an antenna's signal block.
    struct SIGNAL_ROW_T
    {
        QLabel* Name = nullptr;
        QLabel* Narrow = nullptr;
        QLabel* Swatch[SIGNALS_PER_SLOT] = {};
        QCheckBox* Box[SIGNALS_PER_SLOT] = {};
    };

    void BuildSignalBlock(QWidget* pBlock, QLabel* pHeading, SIGNAL_ROW_T* pRows, bool bVector);
    // The bars' lists of one antenna's observations, and its signal rows to show.
    void GatherRangeSignals(const std::vector<RANGE_OBS_T>& Obs, bool bVector);
    void HideSignalRows();
    // Shows or hides a widget once the update has worked out what it shows.
    void Want(QWidget* pWidget, bool bShown);
    void ApplyWanted();
    // A slot takes part in the Range bars: its system box and one of its signal boxes are checked.
    bool TakesPart(uint32_t nSlot) const;
    // A white picture of that size; null when none can be made.
    static QPixmap NewPicture(const QSize& Need);
    // A label with its baseline starting at Baseline, as drawText puts it.
    void PaintLabel(QPainter& p, const QPoint& Baseline, const QString& sText, Qt::Alignment Align);
    void PaintAxes(QPainter& p, int nXLength, int nYLength, int nYScale, int nTickStroke, const QStringList& Labels);
    // Bars of one slot's merged satellites from x offset nBase, nScale pixels per dB-Hz.
    void PaintSlotBars(QPainter& p, const QPoint& Origin, uint32_t nSlot, int nBase, int nScale, int nPicture);
    void ShowPicture(const QPixmap& Picture);
    // Nothing to show: an empty chart and a blank picture.
    void ClearRangePicture();
    // The value axis's label step for a plot of that size.
    void FitValueLabels(const QRectF& Plot);

    // Widgets.
    QScrollArea* m_pScroll;
    QWidget* m_pContent;
    QRadioButton* m_pNmea;
    QRadioButton* m_pRange;
    QCheckBox* m_pSignalBox;
    QLabel* m_pSysSwatch[SAT_SLOT_COUNT] = {};
    QCheckBox* m_pSysBox[SAT_SLOT_COUNT] = {};
    QGridLayout* m_pSysGrid = nullptr; // the system legend
    int m_nLegendColumns = 0;          // systems a row
    int m_nLegendRowWidth = 0;         // window width that holds them in one row
    void ArrangeLegend(int nColumns);
    QWidget* m_pSignalBlocks;
    QLabel* m_pPosHeading;
    QLabel* m_pVectHeading;
    SIGNAL_ROW_T m_PosRow[SAT_SLOT_COUNT];
    SIGNAL_ROW_T m_VectRow[SAT_SLOT_COUNT];
    QT_CHARTS_NAMESPACE::QChartView* m_pChartView = nullptr;
    QT_CHARTS_NAMESPACE::QChart* m_pChart = nullptr;
    QT_CHARTS_NAMESPACE::QStackedBarSeries* m_pSeries = nullptr;
    QT_CHARTS_NAMESPACE::QBarCategoryAxis* m_pAxisX = nullptr;
    QT_CHARTS_NAMESPACE::QValueAxis* m_pAxisY = nullptr;
    QLabel* m_pCanvas;
    QTabWidget* m_pTabWidget;

    // Range lists, emptied on every update and on a change of tab.
    SIGNAL_LIST_T m_Pos[SAT_SLOT_COUNT][SIGNALS_PER_SLOT];
    SIGNAL_LIST_T m_Vect[SAT_SLOT_COUNT][SIGNALS_PER_SLOT];
    QStringList m_Merged[SAT_SLOT_COUNT];
    QStringList m_XLabels;
    // NMEA lists.
    QList<double> m_NmeaValues[SAT_SLOT_COUNT];
    QStringList m_NmeaLabels[SAT_SLOT_COUNT];
    QList<double> m_AllValues;
    QStringList m_Categories;

    qreal m_fValueLabelHeight = 0;
    int m_PlotWidth = 0;
    int m_ContentHeight = 0;
    bool m_bSignal = false;
    QHash<QWidget*, bool> m_Wanted;
    QHash<QString, QStaticText> m_Labels; // the pictures' texts, laid out
    QPixmap m_Picture;
    RANGE_LAYOUT_E m_Painted = RANGE_LAYOUT_NONE;
    QVector<RANGE_BAR_T> m_Bars;
};
