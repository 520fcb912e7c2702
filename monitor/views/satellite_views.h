// What the satellite views (sky plot, CN0 bars) share: their constellation
// slots, how a satellite of the position record's satellite table is labelled,
// and the NMEA sentences they ask a receiver for when shown.
//
// Two codes name a satellite system in these views, and they differ:
// - the slot code, a GNSS_SYSTEM_E value (0 GPS, 1 GLONASS, 2 Galileo,
//   3 BeiDou, 5 QZSS; slot 4 is never used), which the position record's
//   SAT_INFO_T::System and TrackStatusToSystem give;
// - the raw code of a channel tracking status, bits 16-18 (TRACKING_SYSTEM_E:
//   0 GPS, 1 GLONASS, 2 SBAS, 3 Galileo, 4 BeiDou, 5 QZSS, 6 and 7 others).
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <cstdint>

class QWidget;

enum : uint32_t
{
    SAT_SLOT_COUNT = 6,
    SAT_SLOT_UNUSED = 4, // no widgets, never matches
};

struct SAT_SLOT_T
{
    uint32_t SlotSys;       // the slot code (GNSS_SYSTEM_E)
    const char* BoxText;    // "GPS(G)" ...; empty for the unused slot
    const char* Letter;     // "G", "R", "E", "C", "J"
    const char* SystemName; // "GPS", "GLO", "GAL", "BDS", "QZSS"
};

// The six slots, by slot code.
const SAT_SLOT_T& SatSlot(uint32_t nSlot);
// Whether a slot has widgets (every slot but 4).
inline bool SatSlotUsed(uint32_t nSlot) { return nSlot < SAT_SLOT_COUNT && nSlot != SAT_SLOT_UNUSED; }

// The number a satellite of the satellite table is shown by: GPS and QZSS n,
// GLONASS n - 64, Galileo n - 300 for 301-400 else n - 100, BeiDou n - 400
// for 401-500 else n - 160. 0 when the satellite has no such number: a
// number below its system's offset (it would read as a negative or, unsigned,
// a huge number), outside the satellite table (1-500), or an unused slot.
int SatDisplayNumber(uint32_t nSlot, uint32_t nSatNumber);
// The slot letter and a number: "G12", "R1".
QString SatSlotLabel(uint32_t nSlot, int nNumber);

// The NMEA sentences that fill the satellite table, asked for when a
// satellite view is shown.
QByteArray NmeaLogRequest();

// Gives a control at least Least, and never less than its text needs: the
// sizes of the forms were chosen for one font, and another font must not cut
// the text.
void SetLeastSize(QWidget* pWidget, const QSize& Least);
