#include "monitor/config/lock_out_diag.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>

#include "codec/signals.h"

QLockOutDiag::QLockOutDiag(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("QLockOutDiag"));
    resize(537, 492);
    auto* pOuter = new QGridLayout(this);
    auto* pInner = new QGridLayout;
    pOuter->addLayout(pInner, 0, 0);
    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QStringLiteral("SystemLockOutTab"));
    m_pTabs->setGeometry(0, 0, 531, 491);
    pInner->addWidget(m_pTabs, 0, 0);
    m_pTabs->setObjectName(QStringLiteral("LockOutSysTab"));
    // GLONASS has 24 satellites in three columns, the others 32 in four.
    const struct
    {
        int nColumns;
        int nSatellites;
    } systems[] = {{4, 32}, {3, 24}, {4, 32}, {4, 32}};
    for (int s = 0; s < 4; ++s)
        BuildSystemTab(s, systems[s].nColumns, systems[s].nSatellites);
    OnLanguageUpdate();
}

QLockOutDiag::~QLockOutDiag() = default;

void QLockOutDiag::BuildSystemTab(int iSystem, int nColumns, int nSatellites)
{
    const QString sName = QLatin1String(SatelliteSystemName(static_cast<uint32_t>(iSystem)));
    auto* pPage = new QWidget(m_pTabs);
    pPage->setObjectName(QStringLiteral("LockOut%1Tab").arg(sName));
    m_pTabs->addTab(pPage, sName);
    auto* pPageLayout = new QGridLayout(pPage);
    auto* pGrid = new QGridLayout;
    pGrid->setObjectName(QStringLiteral("LockOut%1GridLay").arg(sName));
    pGrid->setSpacing(6);
    pGrid->setContentsMargins(10, 0, 10, 0);
    pPageLayout->addLayout(pGrid, 0, 0);
    QFont font(QStringLiteral("Arial"), 11);
    auto label = [&](const QString& sText, const QString& sObjectName)
    {
        auto* pLabel = new QLabel(sText, pPage);
        pLabel->setObjectName(sObjectName);
        pLabel->setFont(font);
        pLabel->setTextFormat(Qt::RichText);
        return pLabel;
    };
    // Row 0: the headers; rows 1 to 8: satellites 1, 2, 3 ... across each row.
    auto* pHeader = new QHBoxLayout;
    pGrid->addLayout(pHeader, 0, 0);
    for (int c = 0; c < nColumns; ++c)
    {
        const QString sHeaderName = QStringLiteral("SvTitel%1_%2").arg(iSystem).arg(c);
        QLabel* pSv = label(QStringLiteral("SV"), sHeaderName);
        QLabel* pEnable = label(QString(), sHeaderName);
        for (QLabel* pTitle : {pSv, pEnable})
        {
            pTitle->setMinimumWidth(80);
            pTitle->setMaximumSize(80, 30);
            pHeader->addWidget(pTitle);
        }
        m_EnableHeaders << pEnable;
    }
    int n = 1;
    for (int r = 1; r <= 8; ++r)
    {
        auto* pRow = new QHBoxLayout;
        pGrid->addLayout(pRow, r, 0);
        for (int c = 0; c < nColumns && n <= nSatellites; ++c, ++n)
        {
            const QString sNumber = QString::asprintf("%2d", n);
            QLabel* pNumber = label(sNumber, sNumber);
            auto* pBox = new QCheckBox(pPage);
            pBox->setObjectName(QStringLiteral("En%1_%2").arg(iSystem).arg(n - 1));
            pNumber->setBuddy(pBox);
            pRow->addWidget(pNumber);
            pRow->addWidget(pBox);
        }
    }
}

void QLockOutDiag::OnLanguageUpdate()
{
    setWindowTitle(tr("QLockOutDiag"));
    for (QLabel* pHeader : qAsConst(m_EnableHeaders))
        pHeader->setText(tr("Enable"));
}
