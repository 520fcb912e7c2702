#include "monitor/views/sky_plot.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "monitor/parsing/pos_data_parser.h"
#include "monitor/shell/view_payload.h"
#include "monitor/views/skyplot_widget.h"

namespace
{
// Disc colour of each constellation slot.
const QColor kSlotColours[SAT_SLOT_COUNT] = {QColor(51, 144, 215), QColor(0, 112, 0), QColor(173, 66, 76),
                                             QColor(213, 180, 18), QColor(0, 0, 0),   QColor(0, 144, 166)};
const char kContext[] = "QSkyPlotDiag";
} // namespace

QSkyplot::QSkyplot(QWidget* pParent) : QRequestingView(pParent), m_pPlot(new SkyplotWidget(this))
{
    setObjectName(QStringLiteral("QSkyPlotDiag"));
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Satellite.png")));
    resize(307, 368);

    auto* pGrid = new QGridLayout(this);
    auto* pBox = new QVBoxLayout;
    auto* pRow = new QHBoxLayout;
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
    {
        if (!SatSlotUsed(nSlot))
            continue;
        const QColor& c = kSlotColours[nSlot];
        auto* pSwatch = new QLabel(this);
        pSwatch->setStyleSheet(
            QStringLiteral("QLabel {background-color: rgb(%1, %2, %3);}").arg(c.red()).arg(c.green()).arg(c.blue()));
        pSwatch->setMaximumSize(10, 15);
        auto* pCheck = new QCheckBox(QString::fromLatin1(SatSlot(nSlot).BoxText), this);
        pCheck->setObjectName(QStringLiteral("SkySlot%1").arg(nSlot));
        pCheck->setFont(QFont(QStringLiteral("Arial"), 13));
        SetLeastSize(pCheck, QSize(80, 10));
        pCheck->setChecked(true);
        m_pBoxes[nSlot] = pCheck;
        pRow->addWidget(pSwatch);
        pRow->addWidget(pCheck);
    }
    pRow->addStretch();
    pBox->addLayout(pRow);
    pBox->addWidget(m_pPlot);
    pGrid->addLayout(pBox, 0, 0);

    // At least the width the constellation row needs in the font at hand.
    setMinimumSize(QSize(370, 200).expandedTo(pGrid->minimumSize()));
    m_pPlot->setGridColor(QColor(0, 0, 0));
    m_pPlot->setGridWidth(2);
    m_pPlot->setEllipses(3);
    m_pPlot->setCrosses(3);
    m_pPlot->setSatelliteScale(0.04f);
    OnLanguageUpdate();
}

void QSkyplot::OnLanguageUpdate() { setWindowTitle(QCoreApplication::translate(kContext, "SkyPlot")); }

void QSkyplot::SendLogRequest(uint nPortID) { emit SignalSendNMEAMsg(nPortID, NmeaLogRequest()); }

void QSkyplot::RemoveAllSatellites()
{
    const QList<int> ids = m_pPlot->satellites().keys();
    for (int id : ids)
        m_pPlot->remove(id);
}

void QSkyplot::OnPortTabChange(int) { RemoveAllSatellites(); }

void QSkyplot::OnUpdateSkyPlot(void* pPosition)
{
    RemoveAllSatellites();
    const POS_DATA_T* pPos = PosDataPayload(pPosition);
    if (pPos == nullptr)
        return;
    bool bChecked[SAT_SLOT_COUNT] = {};
    for (uint32_t nSlot = 0; nSlot < SAT_SLOT_COUNT; ++nSlot)
        bChecked[nSlot] = m_pBoxes[nSlot] != nullptr && m_pBoxes[nSlot]->isChecked();
    for (const SAT_INFO_T& sat : pPos->SatInfo)
    {
        if (sat.SatNumber == 0)
            continue;
        const int id = static_cast<int>(sat.SatNumber);
        m_pPlot->setAzimuth(id, sat.Azimuth);
        m_pPlot->setElevation(id, static_cast<int8_t>(sat.Elevation));
        m_pPlot->setState(id, SkyplotWidget::Invisible);
        const uint32_t nSlot = sat.System;
        if (!SatSlotUsed(nSlot) || !bChecked[nSlot])
            continue;
        // A number that does not fit its system gets no label and is not drawn.
        const int nShown = SatDisplayNumber(nSlot, sat.SatNumber);
        if (nShown == 0)
            continue;
        m_pPlot->setState(id, sat.Used ? SkyplotWidget::Visible : SkyplotWidget::HalfVisible);
        m_pPlot->setLabel(id, QString::number(nShown));
        m_pPlot->setInnerColor(id, kSlotColours[nSlot]);
        m_pPlot->setFontColor(id, QColor(255, 255, 255));
    }
}
