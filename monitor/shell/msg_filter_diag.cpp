#include "monitor/shell/msg_filter_diag.h"

#include <QDateTime>
#include <QEvent>
#include <QHeaderView>
#include <algorithm>

#include "monitor/shell/monitor_resources.h"
#include "ui_MsgFiterDiag.h"

namespace
{
// Received bytes as text, all of them: the QByteArray form of fromLatin1
// stops at the first zero byte, and binary logs hold many.
QString Latin1Text(const QByteArray& Bytes) { return QString::fromLatin1(Bytes.constData(), Bytes.size()); }
} // namespace

QMsgFiterDiag::QMsgFiterDiag(QWidget* pParent) : QDialog(pParent), m_pUi(new Ui::MsgFiterDiag)
{
    InitMonitorResources();
    m_pUi->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/MsgFilter.png")));
    setObjectName(QStringLiteral("QMsgFiterDiag"));
    QTableWidget* pTable = m_pUi->FilterTable;
    // 130 pixels, or what the time needs in this font, so that it is never cut.
    const int nTimeWidth = pTable->fontMetrics().horizontalAdvance(QStringLiteral("2000-00-00 00:00:00.000")) +
                           2 * pTable->frameWidth() + 12;
    pTable->setColumnWidth(0, std::max(130, nTimeWidth));
    QFont bold = pTable->horizontalHeader()->font();
    bold.setWeight(QFont::Bold);
    pTable->horizontalHeader()->setFont(bold);
    pTable->setContentsMargins(100, 100, 100, 100);
    pTable->horizontalHeader()->setStretchLastSection(false);
    // The column can be far wider than the view: its title stands where the lines begin.
    if (QTableWidgetItem* pTitle = pTable->horizontalHeaderItem(1))
        pTitle->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    pTable->viewport()->installEventFilter(this);
    FitTextColumn();
    connect(m_pUi->ClearButton, &QPushButton::clicked, this, &QMsgFiterDiag::OnClear);
    connect(m_pUi->IgnoreCaseCheck, &QCheckBox::clicked, this, &QMsgFiterDiag::OnIgnoreCase);
    connect(m_pUi->FilterTailCheck, &QCheckBox::clicked, this, &QMsgFiterDiag::OnRefresh);
}

QMsgFiterDiag::~QMsgFiterDiag() = default;

void QMsgFiterDiag::OnUpdateDataDiag(QByteArray OutData)
{
    if (!isVisible() || OutData.isEmpty())
        return;
    QByteArray Text = m_Carry + OutData;
    // The text after the last line feed waits for the rest of its line, even
    // when this chunk holds no match: its matching half may still come.
    const int nLastFeed = Text.lastIndexOf('\n');
    m_Carry = Text.mid(nLastFeed + 1);
    if (m_Carry.size() > CARRY_MAX)
        m_Carry.clear();
    Text.truncate(nLastFeed + 1);
    const QString sFilter = m_pUi->FilterEdit->text();
    if (sFilter.isEmpty())
    {
        OnClear();
        return;
    }
    if (sFilter != m_sLastFilter)
    {
        OnClear();
        m_sLastFilter = sFilter;
    }
    const QByteArray Filter = sFilter.toLatin1();
    auto contains = [this, &Filter](const QByteArray& Line)
    {
        return m_eCase == Qt::CaseSensitive ? Line.contains(Filter)
                                            : Latin1Text(Line).contains(Latin1Text(Filter), Qt::CaseInsensitive);
    };
    if (nLastFeed < 0 || !contains(Text))
        return;
    const QString sNow = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    int nStart = 0;
    for (int nEnd; (nEnd = Text.indexOf('\n', nStart)) >= 0; nStart = nEnd + 1)
    {
        const QByteArray Line = Text.mid(nStart, nEnd - nStart);
        if (!contains(Line))
            continue;
        if (m_pUi->FilterTailCheck->isChecked())
        {
            if (m_HeldLines.size() >= MAX_ROWS)
            {
                m_HeldLines.removeFirst();
                m_HeldTimes.removeFirst();
            }
            m_HeldLines.append(Latin1Text(Line));
            m_HeldTimes.append(sNow);
        }
        else
            AddTableWidgetItem(Latin1Text(Line), sNow, m_pUi->FilterTable->rowCount());
    }
}

void QMsgFiterDiag::AddTableWidgetItem(QString Data, QString CurTime, int rowIndex)
{
    QTableWidget* pTable = m_pUi->FilterTable;
    if (rowIndex >= MAX_ROWS)
    {
        pTable->removeRow(0);
        rowIndex = pTable->rowCount();
    }
    pTable->insertRow(rowIndex);
    pTable->setItem(rowIndex, 0, new QTableWidgetItem(CurTime));
    pTable->setItem(rowIndex, 1, new QTableWidgetItem(Data));
    // The text and the cell's padding.
    const int nWidth = pTable->fontMetrics().horizontalAdvance(Data) + 16;
    if (nWidth > m_nTextWidth)
    {
        m_nTextWidth = nWidth;
        FitTextColumn();
    }
    pTable->scrollToBottom();
}

void QMsgFiterDiag::FitTextColumn()
{
    QTableWidget* pTable = m_pUi->FilterTable;
    pTable->setColumnWidth(1, std::max(m_nTextWidth, pTable->viewport()->width() - pTable->columnWidth(0)));
}

bool QMsgFiterDiag::eventFilter(QObject* pObj, QEvent* pEvent)
{
    if (pObj == m_pUi->FilterTable->viewport() && pEvent->type() == QEvent::Resize)
        FitTextColumn();
    return QDialog::eventFilter(pObj, pEvent);
}

void QMsgFiterDiag::ApplyMinimumSizes()
{
    const bool bWindow = isWindow();
    setMinimumSize(bWindow ? QSize(1000, 300) : QSize(0, 0));
    m_pUi->FilterTable->setMinimumSize(bWindow ? QSize(800, 200) : QSize(200, 100));
}

void QMsgFiterDiag::OnClear()
{
    m_pUi->FilterTable->setRowCount(0);
    m_nTextWidth = 0;
    FitTextColumn();
}

void QMsgFiterDiag::OnPortTabChange(int) { OnClear(); }

void QMsgFiterDiag::OnIgnoreCase()
{
    m_eCase = m_pUi->IgnoreCaseCheck->isChecked() ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

void QMsgFiterDiag::OnRefresh()
{
    if (m_pUi->FilterTailCheck->isChecked())
        return;
    for (int i = 0; i < m_HeldLines.size(); ++i)
        AddTableWidgetItem(m_HeldLines[i], m_HeldTimes[i], m_pUi->FilterTable->rowCount());
    m_HeldLines.clear();
    m_HeldTimes.clear();
}

void QMsgFiterDiag::OnLanguageUpdate() { m_pUi->retranslateUi(this); }

void QMsgFiterDiag::closeEvent(QCloseEvent* pEvent)
{
    OnClear();
    m_HeldLines.clear();
    m_HeldTimes.clear();
    QDialog::closeEvent(pEvent);
}

void QMsgFiterDiag::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        OnLanguageUpdate();
    if (pEvent->type() == QEvent::ParentChange)
        ApplyMinimumSizes();
    QDialog::changeEvent(pEvent);
}
