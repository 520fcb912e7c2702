#include "monitor/config/userconfig_diag.h"
#include "monitor/shell/shell_log.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextStream>
#include <QVBoxLayout>
#include <algorithm>

#include "monitor/config/station_map.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/config_file.h"
#include "monitor/shell/port_tab.h"
#include "monitor/views/map_page.h"

namespace
{
// A reference configuration is a page of text; anything far larger is not one.
constexpr qint64 kMaxReferenceBytes = 1024 * 1024;

CStationMapPage& NoMapPage()
{
    static CStationMapPage page;
    return page;
}

// Lines that differ from receiver to receiver by design are never marked.
bool NeverMarked(const QString& sLine)
{
    return sLine.contains(QLatin1String("netconfig"), Qt::CaseInsensitive) ||
           sLine.contains(QLatin1String("baseid"), Qt::CaseInsensitive);
}
} // namespace

QString UserconfigFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Configure/Config/Userconfig.txt"));
}

QUserconfigDiag::QUserconfigDiag(QWidget* pParent)
    : QDialog(pParent), m_pMapPage(&NoMapPage()), m_sUserconfigPath(UserconfigFilePath())
{
    setObjectName(QStringLiteral("QUserconfigDiag"));
    resize(670, 500);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Userconfig.png")));
    setWindowFlags(Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    auto* pGrid = new QGridLayout(this);
    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QStringLiteral("tabWidget"));
    pGrid->addWidget(m_pTabs, 0, 0);

    // The comparison page.
    auto* pTablePage = new QWidget;
    pTablePage->setObjectName(QStringLiteral("tab"));
    auto* pTableLayout = new QVBoxLayout(pTablePage);
    m_pTable = new QTableWidget(0, 2, pTablePage);
    m_pTable->setObjectName(QStringLiteral("pUserTableWidget"));
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pFileState = new QLabel(pTablePage);
    m_pFileState->setObjectName(QStringLiteral("pReferenceFileState"));
    m_pFileState->setWordWrap(true);
    m_pFileState->hide();
    pTableLayout->addWidget(m_pTable);
    pTableLayout->addWidget(m_pFileState);
    m_pTabs->addTab(pTablePage, QString());

    // The reference station page: its settings beside the map.
    auto* pStationPage = new QWidget;
    pStationPage->setObjectName(QStringLiteral("widget"));
    auto* pStationLayout = new QHBoxLayout(pStationPage);
    auto* pGroup = new QGroupBox(pStationPage);
    pGroup->setObjectName(QStringLiteral("groupBox"));
    pGroup->setMinimumSize(200, 190);
    pGroup->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* pRows = new QGridLayout(pGroup);
    const char* const captions[] = {"label", "label_2", "label_3", "pLonLable", "pLatLable", "pHeiLable"};
    const char* const values[] = {"pBaseidValueLable", "pPosaveValueLable", "pFixStatusLable",
                                  "pLonValueLable",    "pLatValueLable",    "pHeiValueLable"};
    QLabel* valueLabels[6] = {};
    for (int r = 0; r < 6; ++r)
    {
        auto* pCaption = new QLabel(pGroup);
        pCaption->setObjectName(QLatin1String(captions[r]));
        valueLabels[r] = new QLabel(pGroup);
        valueLabels[r]->setObjectName(QLatin1String(values[r]));
        m_CaptionLabels << pCaption;
        if (r < 3)
        {
            pRows->addWidget(pCaption, r, 0, 1, 2);
            pRows->addWidget(valueLabels[r], r, 2);
            continue;
        }
        // The fixed position's coordinates stand indented under "Fix:".
        pRows->addItem(new QSpacerItem(10, 20, QSizePolicy::Fixed, QSizePolicy::Minimum), r, 0);
        pCaption->setMinimumWidth(60);
        valueLabels[r]->setMinimumWidth(90);
        pRows->addWidget(pCaption, r, 1);
        pRows->addWidget(valueLabels[r], r, 2);
        m_PositionLabels << pCaption << valueLabels[r];
    }
    pRows->setRowStretch(6, 1);
    m_pBaseid = valueLabels[0];
    m_pPosave = valueLabels[1];
    m_pFixStatus = valueLabels[2];
    m_pLon = valueLabels[3];
    m_pLat = valueLabels[4];
    m_pHeight = valueLabels[5];
    for (QLabel* pLabel : qAsConst(m_PositionLabels))
        pLabel->hide();
    m_pMapWidget = new QWidget(pStationPage);
    m_pMapWidget->setObjectName(QStringLiteral("MapWidget"));
    m_pMapWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    pStationLayout->addWidget(pGroup, 0, Qt::AlignTop);
    pStationLayout->addWidget(m_pMapWidget, 1);
    m_pTabs->addTab(pStationPage, QString());

    auto* pBottom = new QHBoxLayout;
    m_pPortTabName = new QLabel(this);
    m_pPortTabName->setObjectName(QStringLiteral("pPortTabName"));
    m_pRefresh = new QPushButton(this);
    m_pRefresh->setObjectName(QStringLiteral("pRefreshButton"));
    pBottom->addWidget(m_pPortTabName);
    pBottom->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pBottom->addWidget(m_pRefresh);
    pGrid->addLayout(pBottom, 1, 0);
    connect(m_pRefresh, &QPushButton::clicked, this, &QUserconfigDiag::OnUserconfigRefressh);
    OnLanguageUpdate();
}

QUserconfigDiag::~QUserconfigDiag() { m_pMapPage->Release(); }

void QUserconfigDiag::SetMapPage(CStationMapPage* pPage)
{
    m_pMapPage->Release();
    m_pMapPage = pPage != nullptr ? pPage : &NoMapPage();
    LoadMapView();
}

void QUserconfigDiag::OnLanguageUpdate()
{
    setWindowTitle(tr("Userconfig"));
    m_pTabs->setTabText(0, tr("Userconfig"));
    m_pTabs->setTabText(1, tr("Reference Station Status"));
    m_pRefresh->setText(tr("Refresh"));
    const QString captions[] = {tr("Baseid:"),    tr("Posave:"),  tr("Fix:"),
                                tr("Longitude:"), tr("latitude"), tr("Height")};
    for (int i = 0; i < m_CaptionLabels.size(); ++i)
        m_CaptionLabels[i]->setText(captions[i]);
    m_HeaderLabels = QStringList{tr("Command"), tr("Msg")};
    m_pTable->setHorizontalHeaderLabels(m_HeaderLabels);
    ShowFileState();
}

void QUserconfigDiag::ShowFileState()
{
    m_pFileState->setVisible(!m_sFileError.isEmpty());
    m_pFileState->setText(m_sFileError.isEmpty()
                              ? QString()
                              : tr("The reference file %1 cannot be read (%2), so there is nothing to compare the "
                                   "receiver's lines with.")
                                    .arg(QDir::toNativeSeparators(m_sUserconfigPath), m_sFileError));
}

void QUserconfigDiag::OnShowDialog()
{
    show();
    raise();
    activateWindow();
    SendUerconfigCmd();
    LoadMapView();
}

void QUserconfigDiag::OnUserconfigRefressh() { SendUerconfigCmd(); }

void QUserconfigDiag::ClearShown()
{
    m_pTable->setRowCount(0);
    for (QLabel* pLabel : {m_pBaseid, m_pPosave, m_pFixStatus, m_pLon, m_pLat, m_pHeight})
        pLabel->clear();
    for (QLabel* pLabel : qAsConst(m_PositionLabels))
        pLabel->hide();
}

void QUserconfigDiag::SendUerconfigCmd()
{
    m_pPortTabName->clear();
    const uint uPortID = m_pPortTab ? m_pPortTab->GetCurPortID() : 0;
    // Another receiver's configuration is not shown beside this one's name.
    if (uPortID != m_PortID)
        ClearShown();
    m_PortID = uPortID;
    if (uPortID == 0)
        return;
    m_pPortTabName->setText(m_pPortTab->GetPortInfo(uPortID).TabText);
    emit SignalSendUserconfig(uPortID, STATUS_MSG_USERCONFIG);
}

void QUserconfigDiag::hideEvent(QHideEvent* pEvent)
{
    QDialog::hideEvent(pEvent);
    LoadMapView();
}

void QUserconfigDiag::LoadMapView()
{
    if (isVisible())
        m_pMapPage->Show(m_pMapWidget);
    else
        m_pMapPage->Release();
}

void QUserconfigDiag::OnUpdateDiag()
{
    // Only the reply of the port asked fills the view.
    if (m_pPortTab == nullptr || m_PortID == 0 || m_pPortTab->GetStatusReplyPortID() != m_PortID)
        return;
    const QStatusMsgParser* pStore = m_pPortTab->GetStatusReplies(m_PortID);
    if (pStore == nullptr)
        return;
    QStringList received = pStore->m_UserConfigList;
    UpdateStationStatus(received);
    m_FileLines.clear();
    m_sFileError.clear();
    if (!ReadReferenceFile(&m_FileLines, &m_sFileError))
        m_FileLines.clear();
    ShowFileState();
    std::sort(received.begin(), received.end());
    std::sort(m_FileLines.begin(), m_FileLines.end());
    FillCompareTable(m_FileLines, received);
}

bool QUserconfigDiag::ReadReferenceFile(QStringList* pLines, QString* pError) const
{
    QByteArray text;
    const int nStatus = ReadConfigFile(m_sUserconfigPath, kMaxReferenceBytes, &text);
    if (nStatus != CONFIG_FILE_OK)
    {
        *pError = ConfigFileReason(nStatus, kMaxReferenceBytes);
        return false;
    }
    QTextStream in(&text, QIODevice::ReadOnly);
    in.setCodec("UTF-8");
    while (!in.atEnd())
        pLines->append(in.readLine());
    return true;
}

void QUserconfigDiag::UpdateStationStatus(const QStringList& UserconfigList)
{
    // Only what this reply says is shown.
    for (QLabel* pLabel : {m_pBaseid, m_pPosave, m_pFixStatus, m_pLon, m_pLat, m_pHeight})
        pLabel->clear();
    for (QLabel* pLabel : qAsConst(m_PositionLabels))
        pLabel->hide();
    QString sFix;
    bool bPoint = false;
    double dLat = 0, dLon = 0;
    // Each setting is the line's first word; other words that merely contain
    // it ("FIXDATUM") are other settings.
    for (const QString& sLine : UserconfigList)
    {
        const QStringList f = sLine.split(QLatin1Char(' '));
        const QString& sWord = f.first();
        if (sWord == QLatin1String("BASEID"))
            m_pBaseid->setText(f.value(1));
        else if (sWord == QLatin1String("POSAVE"))
            m_pPosave->setText(f.value(1));
        else if (sWord == QLatin1String("FIX") && f.size() >= 2)
        {
            sFix = f[1];
            m_pFixStatus->setText(sFix);
            const bool bShown = f.size() >= 5;
            for (QLabel* pLabel : qAsConst(m_PositionLabels))
                pLabel->setVisible(bShown);
            bool bLat = false, bLon = false;
            if (bShown)
            {
                m_pLat->setText(f[2]);
                m_pLon->setText(f[3]);
                m_pHeight->setText(f[4]);
                dLat = f[2].toDouble(&bLat);
                dLon = f[3].toDouble(&bLon);
            }
            bPoint = bLat && bLon && qAbs(dLat) <= 90.0 && qAbs(dLon) <= 180.0;
        }
    }
    // One marker for the fixed position, when there is one with coordinates.
    if (sFix.isEmpty() || sFix == QLatin1String("NONE") || !bPoint)
        return;
    qCDebug(lcWindows, "%s", qPrintable(MapScriptAddMarker(dLat, dLon, true)));
    m_pMapPage->AddMarker(dLat, dLon, true);
}

void QUserconfigDiag::FillCompareTable(QStringList OtherList, QStringList ShownList)
{
    struct ROW_T
    {
        QString sLine;
        bool bShown; // from ShownList (the receiver), else only in OtherList (the file)
    };
    QList<ROW_T> rows;
    for (const QString& sLine : ShownList)
        rows.append({sLine, true});
    for (const QString& sLine : OtherList)
        if (!ShownList.contains(sLine))
            rows.append({sLine, false});
    std::stable_sort(rows.begin(), rows.end(), [](const ROW_T& a, const ROW_T& b) { return a.sLine < b.sLine; });

    m_pTable->clearContents();
    m_pTable->setRowCount(rows.size());
    const QColor marked(222, 235, 245, 255);
    for (int i = 0; i < rows.size(); ++i)
    {
        const QString& sLine = rows[i].sLine;
        const bool bIcom = sLine.contains(QLatin1String("ICOMCONFIG"));
        const QChar sep = bIcom && sLine.contains(QLatin1Char(',')) ? QLatin1Char(',') : QLatin1Char(' ');
        const QStringList parts = sLine.split(sep);
        const QString sName = parts.first();
        // A line of one word is its name alone.
        QString sValue;
        if (parts.size() >= 2)
            sValue = QString(sLine).remove(sName + (bIcom ? QLatin1Char(',') : QLatin1Char(' ')));
        auto* pName = new QTableWidgetItem(sName);
        auto* pValue = new QTableWidgetItem(sValue);
        m_pTable->setItem(i, 0, pName);
        m_pTable->setItem(i, 1, pValue);
        const bool bDiffers = rows[i].bShown ? !OtherList.contains(sLine) : true;
        if (!bDiffers || NeverMarked(sLine))
            continue;
        QFont font = pName->font();
        font.setWeight(75);
        const QString sTip = rows[i].bShown ? tr("Only the receiver reports this line.")
                                            : tr("Only the reference file holds this line.");
        for (QTableWidgetItem* pItem : {pName, pValue})
        {
            pItem->setFont(font);
            pItem->setBackground(marked);
            pItem->setToolTip(sTip);
        }
    }
    m_pTable->resizeColumnsToContents();
}
