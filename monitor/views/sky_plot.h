// The sky plot view: where the satellites of the current port's receiver
// stand in the sky, one disc per satellite coloured by constellation, solid
// when used in the solution and faint when only tracked, with a check box per
// constellation choosing what is drawn. The main window's tick hands it the
// current port's position record; when shown it asks the receiver for the
// NMEA sentences that fill the record.
#pragma once

#include <QByteArray>

#include "monitor/views/requesting_view.h"
#include "monitor/views/satellite_views.h"

class QCheckBox;
class SkyplotWidget;

class QSkyplot : public QRequestingView
{
    Q_OBJECT

public:
    explicit QSkyplot(QWidget* pParent = nullptr);

    SkyplotWidget* Plot() const { return m_pPlot; }
    // The check box of a constellation slot (null for slot 4).
    QCheckBox* SlotBox(uint32_t nSlot) const { return nSlot < SAT_SLOT_COUNT ? m_pBoxes[nSlot] : nullptr; }

signals:
    void SignalSendNMEAMsg(uint UniquePortID, QByteArray WriteData);

public slots:
    // pPosition: the current port's POS_DATA_T, read during the call only.
    void OnUpdateSkyPlot(void* pPosition);
    void OnLanguageUpdate();
    void OnPortTabChange(int CurIndex);

protected:
    // Asks the receiver for the sentences the plot needs.
    void SendLogRequest(uint nPortID) override;

private:
    void RemoveAllSatellites();

    SkyplotWidget* m_pPlot;
    QCheckBox* m_pBoxes[SAT_SLOT_COUNT] = {};
};
