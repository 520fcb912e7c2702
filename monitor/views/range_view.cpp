#include "monitor/views/range_view.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "codec/range_logs.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/view_payload.h"
#include "monitor/views/flow_layout.h"

namespace
{
// The window's texts belong to the context of its form.
constexpr const char* kContext = "QRangeViewDiag";

// The logs the table reads, in the order of the choice box.
struct SOURCE_T
{
    const char* pName;
    uint16_t MessageId;
};
constexpr SOURCE_T kSources[] = {
    {"RANGE", MSG_ID_RANGE},
    {"BASERANGE", MSG_ID_BASERANGE},
    {"RANGECMP", MSG_ID_RANGECMP},
    {"RANGECMP4", MSG_ID_RANGECMP4},
};

// Systems of the tracking status (bits 16-18) with their row colours and the
// names of their signal types (bits 21-25), in the order the counts are shown.
struct SIGNAL_NAME_T
{
    uint8_t Type;
    const char* pName;
};
struct SYSTEM_ROW_T
{
    uint8_t System;
    const char* pName;
    QRgb Colour;
    SIGNAL_NAME_T Signals[12];
    int nSignals;
};
constexpr uint8_t kTrackingNavIC = 6; // the tracking status's value for NavIC
const SYSTEM_ROW_T kSystems[] = {
    {TRACK_SYS_GPS,
     "GPS",
     qRgb(222, 235, 245),
     {{0, "L1C/A"}, {5, "L2P"}, {9, "L2P"}, {14, "L5Q"}, {17, "L2C"}, {16, "L1C"}},
     6},
    {TRACK_SYS_GLONASS, "GLO", qRgb(228, 239, 228), {{0, "G1C/A"}, {5, "G2P"}, {1, "G2C/A"}, {6, "G3Q"}}, 4},
    {TRACK_SYS_GALILEO,
     "GAL",
     qRgb(244, 234, 235),
     {{1, "E1B"}, {2, "E1C"}, {12, "E5AQ"}, {17, "E5BQ"}, {20, "E5AltBOC"}, {6, "E6B"}, {7, "E6C"}},
     7},
    {TRACK_SYS_BEIDOU,
     "BDS",
     qRgb(245, 241, 222),
     {{0, "B1I"},
      {1, "B2I"},
      {2, "B3I"},
      {4, "B1I"},
      {5, "B2I"},
      {6, "B3I"},
      {7, "B1CP"},
      {8, "B1CD"},
      {9, "B2aP"},
      {10, "B2aD"},
      {11, "B2bP"},
      {12, "B2bD"}},
     12},
    {TRACK_SYS_QZSS, "QZSS", qRgb(204, 204, 235), {{0, "L1C/A"}, {14, "L5Q"}, {16, "L1C"}, {17, "L2C"}, {27, "L6"}}, 5},
    {TRACK_SYS_SBAS, "SBAS", qRgb(221, 221, 221), {{0, "L1C/A"}, {14, "L5Q"}}, 2},
    {kTrackingNavIC, "NavIC", qRgb(228, 239, 228), {{0, "L5S"}}, 1},
};
constexpr int kSystemCount = static_cast<int>(sizeof(kSystems) / sizeof(kSystems[0]));

struct COLUMN_T
{
    const char* pHeader;
    int Width;
};
constexpr COLUMN_T kColumns[QRangeView::COLUMN_COUNT] = {
    {QT_TRANSLATE_NOOP("QRangeViewDiag", "PRN"), 60},     {QT_TRANSLATE_NOOP("QRangeViewDiag", "Signal"), 80},
    {QT_TRANSLATE_NOOP("QRangeViewDiag", "CN0"), 50},     {QT_TRANSLATE_NOOP("QRangeViewDiag", "LockTime"), 80},
    {QT_TRANSLATE_NOOP("QRangeViewDiag", "ADRVld"), 60},  {QT_TRANSLATE_NOOP("QRangeViewDiag", "ADR"), 100},
    {QT_TRANSLATE_NOOP("QRangeViewDiag", "ADRStd"), 55},  {QT_TRANSLATE_NOOP("QRangeViewDiag", "PSRVld"), 60},
    {QT_TRANSLATE_NOOP("QRangeViewDiag", "PSR"), 100},    {QT_TRANSLATE_NOOP("QRangeViewDiag", "PSRStd"), 60},
    {QT_TRANSLATE_NOOP("QRangeViewDiag", "Dopp"), 70},    {QT_TRANSLATE_NOOP("QRangeViewDiag", "Status"), 90},
    {QT_TRANSLATE_NOOP("QRangeViewDiag", "GloFreq"), 65},
};

// The table with its grid lines filled as rectangles of one pixel: the
// raster engine strokes a line pixel by pixel (the rows' lines of a table
// 1000 pixels wide took 3.5 ms, two fifths of its repaint), a rectangle in
// one span per pixel row. The lines lie where QTableView draws them, in its
// grid colour: the last pixel row of every row and the last pixel column of
// every column, up to the last row and column. Its grid is always solid;
// both headers stay shown, left to right, with no spans.
class CFilledGridTableView : public QTableView
{
public:
    explicit CFilledGridTableView(QWidget* pParent) : QTableView(pParent)
    {
        // The base draws no line; this draws them after it.
        setGridStyle(Qt::NoPen);
    }

protected:
    void paintEvent(QPaintEvent* pEvent) override
    {
        QTableView::paintEvent(pEvent);
        if (!showGrid())
            return;
        const QHeaderView* pRows = verticalHeader();
        const QHeaderView* pColumns = horizontalHeader();
        const int nWidth = pColumns->length() - pColumns->offset();
        const int nHeight = pRows->length() - pRows->offset();
        if (nWidth <= 0 || nHeight <= 0)
            return;
        const QStyleOptionViewItem option = viewOptions();
        const QColor colour =
            QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
        // Painting stays inside the region being repainted.
        const QRect area = pEvent->rect() & QRect(0, 0, nWidth, nHeight);
        if (area.isEmpty())
            return;
        QPainter painter(viewport());
        // Rows and columns from the first in the area to the last in it, or to the last of all.
        const auto last = [](const QHeaderView* pHeader, int nAt)
        {
            const int v = pHeader->visualIndexAt(nAt);
            return v < 0 ? pHeader->count() - 1 : v;
        };
        for (int v = std::max(pRows->visualIndexAt(area.top()), 0); v <= last(pRows, area.bottom()); ++v)
        {
            const int row = pRows->logicalIndex(v);
            if (!pRows->isSectionHidden(row))
                painter.fillRect(area.left(), rowViewportPosition(row) + rowHeight(row) - 1, area.width(), 1, colour);
        }
        for (int v = std::max(pColumns->visualIndexAt(area.left()), 0); v <= last(pColumns, area.right()); ++v)
        {
            const int column = pColumns->logicalIndex(v);
            if (!pColumns->isSectionHidden(column))
                painter.fillRect(columnViewportPosition(column) + columnWidth(column) - 1, area.top(), 1, area.height(),
                                 colour);
        }
    }
};

const SYSTEM_ROW_T* FindSystem(uint32_t nSystem)
{
    for (const SYSTEM_ROW_T& s : kSystems)
    {
        if (s.System == nSystem)
            return &s;
    }
    return nullptr;
}
} // namespace

// ---- Rows ----

CRangeTableModel::CRangeTableModel(QObject* pParent) : QAbstractTableModel(pParent) {}

void CRangeTableModel::SetRows(std::vector<ROW_T> Rows)
{
    beginResetModel();
    m_Rows = std::move(Rows);
    endResetModel();
}

void CRangeTableModel::SetHeaders(const QStringList& Headers)
{
    m_Headers = Headers;
    emit headerDataChanged(Qt::Horizontal, 0, QRangeView::COLUMN_COUNT - 1);
}

int CRangeTableModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
}

int CRangeTableModel::columnCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : QRangeView::COLUMN_COUNT;
}

QString CRangeTableModel::Text(int Row, int Column) const
{
    if (Row < 0 || Row >= rowCount() || Column < 0 || Column >= QRangeView::COLUMN_COUNT)
        return QString();
    const ROW_T& row = m_Rows[static_cast<size_t>(Row)];
    const RANGE_OBS_T& o = row.Obs;
    const uint32_t st = o.TrackingStatus;
    switch (Column)
    {
    case 0:
        return QString::number(o.Prn);
    case 1:
        return row.Name;
    case 2:
        return QString::number(double(o.CNo), 'f', 2);
    case 3:
        return QString::number(double(o.LockTime), 'f', 3);
    case 4:
        return QString::number(TrackingStatusPhaseLock(st) ? 1 : 0);
    case 5:
        return QString::number(o.Adr, 'f', 4);
    case 6:
        return QString::number(double(o.AdrStd), 'f', 4);
    case 7:
        return QString::number(TrackingStatusCodeLocked(st) ? 1 : 0);
    case 8:
        return QString::number(o.Psr, 'f', 3);
    case 9:
        return QString::number(double(o.PsrStd), 'f', 3);
    case 10:
        return QString::number(double(o.Doppler), 'f', 6);
    case 11:
        return QStringLiteral("%1").arg(st, 8, 16, QLatin1Char('0'));
    default:
        return QString::number(o.GloFreq);
    }
}

QVariant CRangeTableModel::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid() || Index.row() >= rowCount())
        return QVariant();
    switch (Role)
    {
    case Qt::DisplayRole:
        return Text(Index.row(), Index.column());
    case Qt::TextAlignmentRole:
        return Index.column() == 1 ? QVariant() : QVariant(int(Qt::AlignCenter));
    case Qt::BackgroundRole:
    {
        const QColor& c = m_Rows[static_cast<size_t>(Index.row())].Colour;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    default:
        return QVariant();
    }
}

QVariant CRangeTableModel::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Orientation == Qt::Horizontal && Role == Qt::DisplayRole && Section >= 0 && Section < m_Headers.size())
        return m_Headers.at(Section);
    return QAbstractTableModel::headerData(Section, Orientation, Role);
}

// ---- The window ----

QRangeView::QRangeView(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("QRangeViewDiag"));
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/RangeParser.png")));
    resize(1011, 300);
    auto* pGrid = new QGridLayout(this);
    // The counts wrap onto further lines in a narrow dock.
    auto* pRow = new CFlowLayout;
    m_pLogCombo = new QComboBox(this);
    m_pLogCombo->setObjectName(QStringLiteral("LogComboBox"));
    for (const SOURCE_T& s : kSources)
        m_pLogCombo->addItem(QLatin1String(s.pName));
    pRow->addWidget(m_pLogCombo);
    m_pTotalLabel = new QLabel(this);
    m_pTotalLabel->setObjectName(QStringLiteral("TotalLabel"));
    m_pTotalLabel->hide();
    pRow->addWidget(m_pTotalLabel);
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    for (const SYSTEM_ROW_T& s : kSystems)
    {
        // A system's name and its counts wrap together.
        auto* pPair = new QWidget(this);
        auto* pPairLayout = new QHBoxLayout(pPair);
        pPairLayout->setContentsMargins(0, 0, 0, 0);
        auto* pSystem = new QLabel(QLatin1String(s.pName), pPair);
        pSystem->setObjectName(QLatin1String(s.pName) + QStringLiteral("SystemLabel"));
        pSystem->setFont(bold);
        auto* pCount = new QLabel(pPair);
        pCount->setObjectName(QLatin1String(s.pName) + QStringLiteral("CountLabel"));
        pPairLayout->addWidget(pSystem);
        pPairLayout->addWidget(pCount);
        pRow->addWidget(pPair);
        pPair->hide();
        m_SystemLabels.push_back(pSystem);
        m_CountLabels.push_back(pCount);
    }
    pGrid->addLayout(pRow, 0, 0);

    m_pModel = new CRangeTableModel(this);
    m_pTable = new CFilledGridTableView(this);
    m_pTable->setObjectName(QStringLiteral("RangeTable"));
    m_pTable->setModel(m_pModel);
    m_pTable->verticalHeader()->setDefaultSectionSize(18);
    // Fitting the columns measures the rows in view, not every row of a long log.
    m_pTable->verticalHeader()->setResizeContentsPrecision(0);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setAlternatingRowColors(true);
    for (int c = 0; c < COLUMN_COUNT; ++c)
        m_pTable->setColumnWidth(c, kColumns[c].Width);
    pGrid->addWidget(m_pTable, 1, 0);

    connect(m_pLogCombo, &QComboBox::currentTextChanged, this, &QRangeView::OnSendLoglistCommand);
    RetranslateUi();
}

QRangeView::~QRangeView() = default;

QLabel* QRangeView::CountLabel(const QString& sSystem) const
{
    for (int i = 0; i < kSystemCount; ++i)
    {
        if (sSystem == QLatin1String(kSystems[i].pName))
            return m_CountLabels[static_cast<size_t>(i)];
    }
    return nullptr;
}

QLabel* QRangeView::SystemLabel(const QString& sSystem) const
{
    for (int i = 0; i < kSystemCount; ++i)
    {
        if (sSystem == QLatin1String(kSystems[i].pName))
            return m_SystemLabels[static_cast<size_t>(i)];
    }
    return nullptr;
}

void QRangeView::RetranslateUi()
{
    setWindowTitle(QCoreApplication::translate("QRangeViewDiag", "RangeParser"));
    QStringList headers;
    for (const COLUMN_T& c : kColumns)
        headers << QCoreApplication::translate(kContext, c.pHeader);
    m_pModel->SetHeaders(headers);
    // Rows fit the columns to what they show; an empty table still shows each header whole.
    if (m_pModel->rowCount() > 0)
        FitColumns();
    else
        for (int c = 0; c < COLUMN_COUNT; ++c)
            m_pTable->setColumnWidth(c, std::max(kColumns[c].Width, m_pTable->horizontalHeader()->sectionSizeHint(c)));
}

void QRangeView::OnLanguageUpdate() { RetranslateUi(); }

void QRangeView::OnShowDialog()
{
    OnSendLoglistCommand();
    show();
    raise();
}

void QRangeView::OnSendLoglistCommand()
{
    if (m_pPortTab == nullptr)
        return;
    const uint id = m_pPortTab->GetCurPortID();
    if (id == 0)
        return;
    m_RequestedPortID = id;
    emit SignalCheckConfigSendMask(STATUS_MSG_LOGLIST);
}

void QRangeView::OnSendCommand()
{
    if (m_pPortTab == nullptr)
        return;
    // Only the log list of the port the table asked, whichever tab is current now.
    uint id = m_pPortTab->GetStatusReplyPortID();
    if (id == 0)
        id = m_pPortTab->GetCurPortID();
    const QStatusMsgParser* pReplies = m_pPortTab->GetStatusReplies(id);
    if (id == 0 || id != m_RequestedPortID || pReplies == nullptr)
        return;
    const QString sLog = QLatin1String(kSources[std::max(m_pLogCombo->currentIndex(), 0)].pName);
    const QString sReceiverPort = m_pPortTab->GetPortInfo(id).Property.Port;
    bool bOutput = false;
    // A list entry is the log's name and its form letter.
    for (int i = 0; i < pReplies->m_LogNameList.size() && i < pReplies->m_LogPortList.size() && !bOutput; ++i)
        bOutput = pReplies->m_LogNameList[i].chopped(1) == sLog && pReplies->m_LogPortList[i] == sReceiverPort &&
                  !pReplies->m_LogNameList[i].isEmpty();
    OnClear();
    if (!bOutput)
        emit SignalSendRangeMsg(id, (QStringLiteral("log ") + sLog + QStringLiteral("A ontime 1 \r\n")).toUtf8());
}

void QRangeView::OnClear()
{
    m_pModel->SetRows({});
    m_pTotalLabel->hide();
    m_pTotalLabel->clear();
    for (QLabel* pCount : m_CountLabels)
        pCount->parentWidget()->hide();
    m_bShown = false;
}

void QRangeView::OnUpdateData(void* pPortTab)
{
    const CPortTab* pTabs = pPortTab != nullptr ? PortTabPayload(pPortTab) : m_pPortTab;
    if (pTabs == nullptr)
        return;
    const uint id = pTabs->GetCurPortID();
    if (id == 0)
        return;
    // One port's observations are never shown for another.
    if (id != m_PortID)
    {
        m_PortID = id;
        m_SourceId = 0;
        m_SourceUpdates = 0;
        OnClear();
    }
    const QRangeData* pStore = pTabs->GetRangeData(id);
    if (pStore == nullptr)
        return;
    const SOURCE_T& source = kSources[std::max(m_pLogCombo->currentIndex(), 0)];
    const RANGE_OBS_SET_T* pSet = pStore->RangeObservations().FromLog(source.MessageId);
    if (pSet == nullptr)
        return; // no such log has arrived on this port
    // The same log as before is shown again only after a clear.
    if (source.MessageId == m_SourceId && pSet->Updates == m_SourceUpdates && m_bShown)
        return;
    m_SourceId = source.MessageId;
    m_SourceUpdates = pSet->Updates;
    if (pSet->Refusal != RANGE_REFUSAL_NONE)
    {
        OnClear(); // the latest log gave nothing: older observations are not shown for it
        m_bShown = true; // what the table shows for this log, until the next one or a clear
        return;
    }
    ShowObservations(pSet->Obs);
}

void QRangeView::FitColumns()
{
    // The columns take the width of their header and of the widest text in
    // the rows in view (as the item delegate lays a cell out: the text and a
    // margin each side, and the grid line).
    const QHeaderView* pRows = m_pTable->verticalHeader();
    const int nRows = m_pModel->rowCount();
    const int top = std::max(pRows->visualIndexAt(0), 0);
    int bottom = pRows->visualIndexAt(m_pTable->viewport()->height());
    if (bottom < 0 || bottom >= nRows)
        bottom = nRows - 1;
    const QFontMetricsF metrics(m_pTable->font());
    const int margin = 2 * (m_pTable->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_pTable) + 1) +
                       (m_pTable->showGrid() ? 1 : 0);
    for (int c = 0; c < COLUMN_COUNT; ++c)
    {
        int width = m_pTable->horizontalHeader()->sectionSizeHint(c);
        for (int r = top; r <= bottom; ++r)
            width =
                std::max(width, static_cast<int>(std::ceil(metrics.horizontalAdvance(m_pModel->Text(r, c)))) + margin);
        if (m_pTable->columnWidth(c) != width)
            m_pTable->setColumnWidth(c, width);
    }
}

void QRangeView::ShowObservations(const std::vector<RANGE_OBS_T>& Obs)
{
    const uint32_t n = static_cast<uint32_t>(Obs.size());
    // No observation: the table keeps what it shows.
    if (n == 0)
        return;

    // Observations per system and signal name, in the order of the system table.
    std::vector<std::vector<int>> counts(kSystemCount);
    for (int s = 0; s < kSystemCount; ++s)
        counts[static_cast<size_t>(s)].assign(static_cast<size_t>(kSystems[s].nSignals), 0);
    std::vector<CRangeTableModel::ROW_T> rows(n);
    for (uint32_t r = 0; r < n; ++r)
    {
        CRangeTableModel::ROW_T& row = rows[r];
        row.Obs = Obs[r];
        const uint32_t st = row.Obs.TrackingStatus;
        const SYSTEM_ROW_T* pSystem = FindSystem(TrackingStatusSystem(st));
        if (pSystem == nullptr)
            continue;
        row.Name = QLatin1String(pSystem->pName);
        row.Colour = QColor(pSystem->Colour);
        const int s = static_cast<int>(pSystem - kSystems);
        for (int k = 0; k < pSystem->nSignals; ++k)
        {
            if (pSystem->Signals[k].Type != TrackingStatusSignalType(st))
                continue;
            row.Name += QLatin1String(pSystem->Signals[k].pName);
            // Codes that share a name count under that name's first entry.
            int first = 0;
            while (std::strcmp(pSystem->Signals[first].pName, pSystem->Signals[k].pName) != 0)
                ++first;
            ++counts[static_cast<size_t>(s)][static_cast<size_t>(first)];
            break;
        }
    }
    m_pModel->SetRows(std::move(rows));
    FitColumns();

    for (int s = 0; s < kSystemCount; ++s)
    {
        QString sText;
        for (int k = 0; k < kSystems[s].nSignals; ++k)
        {
            const int c = counts[static_cast<size_t>(s)][static_cast<size_t>(k)];
            if (c > 0)
                sText += QString::asprintf("%s:%d ", kSystems[s].Signals[k].pName, c);
        }
        QLabel* pCount = m_CountLabels[static_cast<size_t>(s)];
        pCount->setText(sText);
        pCount->parentWidget()->setVisible(!sText.isEmpty());
    }
    m_pTotalLabel->setText(QCoreApplication::translate("QRangeViewDiag", "Total Obs Num: ") + QString::number(n) +
                           QLatin1Char(' '));
    m_pTotalLabel->show();
    m_bShown = true;
}
