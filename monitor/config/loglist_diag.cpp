#include "monitor/config/loglist_diag.h"
#include "monitor/parsing/number_text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTableWidget>

#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/port_tab.h"

namespace
{
enum : int
{
    COLUMN_PORT = 0,
    COLUMN_MSG = 1,
    COLUMN_TRIGGER = 2,
    COLUMN_PERIOD = 3,
};

// A period cell: shown as the receiver's number, ordered by its value.
class CPeriodItem : public QTableWidgetItem
{
public:
    explicit CPeriodItem(double dPeriod) : QTableWidgetItem(PlainNumber(dPeriod)), m_dPeriod(dPeriod) {}
    bool operator<(const QTableWidgetItem& Other) const override
    {
        if (const auto* pOther = dynamic_cast<const CPeriodItem*>(&Other))
            return m_dPeriod < pOther->m_dPeriod;
        return QTableWidgetItem::operator<(Other);
    }

private:
    double m_dPeriod;
};
} // namespace

QLoglistDiag::QLoglistDiag(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("pLoglistDiag"));
    resize(475, 401);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/LoglistCheck.png")));
    setWindowFlags(Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    auto* pGrid = new QGridLayout(this);
    m_pTable = new QTableWidget(0, 4, this);
    m_pTable->setObjectName(QStringLiteral("pLoglistTableWidget"));
    // Every cell shown whole (a period of 1.23457e+06, a trigger of ONCHANGED);
    // the last column takes the room left.
    m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setAlternatingRowColors(true);
    m_pTable->verticalHeader()->hide();
    pGrid->addWidget(m_pTable, 0, 0);
    auto* pRow = new QHBoxLayout;
    m_pPortTabName = new QLabel(this);
    m_pPortTabName->setObjectName(QStringLiteral("pPortTabName"));
    m_pRefresh = new QPushButton(this);
    m_pRefresh->setObjectName(QStringLiteral("pRefreshButton"));
    pRow->addWidget(m_pPortTabName);
    pRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pRow->addWidget(m_pRefresh);
    pGrid->addLayout(pRow, 1, 0);
    connect(m_pRefresh, &QPushButton::clicked, this, &QLoglistDiag::OnRefressh);
    connect(m_pTable->horizontalHeader(), &QHeaderView::sectionClicked, this, &QLoglistDiag::sort);
    OnLanguageUpdate();
}

QLoglistDiag::~QLoglistDiag() = default;

void QLoglistDiag::OnLanguageUpdate()
{
    setWindowTitle(tr("Loglist Check"));
    m_pRefresh->setText(tr(" Refresh"));
    m_HeaderLabels = QStringList{tr("Port"), tr("Msg"), tr("Trigger"), tr("Period")};
    m_pTable->setHorizontalHeaderLabels(m_HeaderLabels);
}

void QLoglistDiag::OnShowDialog()
{
    show();
    raise();
    activateWindow();
    OnRefressh();
}

void QLoglistDiag::SendLoglistaCmd() { OnRefressh(); }

void QLoglistDiag::OnRefressh()
{
    m_pPortTabName->clear();
    const uint uPortID = m_pPortTab ? m_pPortTab->GetCurPortID() : 0;
    // Another port's logs are not shown beside this one's name.
    if (uPortID != m_PortID)
        m_pTable->setRowCount(0);
    m_PortID = uPortID;
    if (uPortID == 0)
        return;
    const int iTab = m_pPortTab->GetTabIndexByPortID(uPortID);
    m_pPortTabName->setText(m_pPortTab->GetPortInfo(uPortID).TabText);
    emit SignalSendLoglistMask(static_cast<uint>(iTab), STATUS_MSG_LOGLIST);
}

void QLoglistDiag::OnUpdateDiag()
{
    // Only the reply of the port asked fills the table.
    if (m_pPortTab == nullptr || m_PortID == 0 || m_pPortTab->GetStatusReplyPortID() != m_PortID)
        return;
    const QStatusMsgParser* pStore = m_pPortTab->GetStatusReplies(m_PortID);
    if (pStore == nullptr)
        return;
    const QStringList names = pStore->m_LogNameList;
    const QStringList ports = pStore->m_LogPortList;
    const QStringList triggers = pStore->m_LogTriggerList;
    const QList<double> periods = pStore->m_LogPeriodList;
    m_pTable->setSortingEnabled(false);
    m_pTable->clearContents();
    m_pTable->setRowCount(names.size());
    for (int i = 0; i < names.size(); ++i)
    {
        m_pTable->setItem(i, COLUMN_PORT, new QTableWidgetItem(ports.value(i)));
        m_pTable->setItem(i, COLUMN_MSG, new QTableWidgetItem(names[i]));
        m_pTable->setItem(i, COLUMN_TRIGGER, new QTableWidgetItem(triggers.value(i)));
        m_pTable->setItem(i, COLUMN_PERIOD, new CPeriodItem(periods.value(i)));
    }
}

void QLoglistDiag::sort(int col)
{
    m_pTable->sortItems(col, m_bAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_bAscending = !m_bAscending;
}
