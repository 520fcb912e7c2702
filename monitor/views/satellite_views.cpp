#include "monitor/views/satellite_views.h"

#include <QWidget>

#include "codec/gnss_numbering.h"
#include "monitor/parsing/pos_data_parser.h"

namespace
{
const SAT_SLOT_T kSlots[SAT_SLOT_COUNT] = {
    {GNSS_SYSTEM_GPS, "GPS(G)", "G", "GPS"},
    {GNSS_SYSTEM_GLONASS, "GLO(R)", "R", "GLO"},
    {GNSS_SYSTEM_GALILEO, "GAL(E)", "E", "GAL"},
    {GNSS_SYSTEM_BDS, "BDS(C)", "C", "BDS"},
    {SAT_SLOT_UNUSED, "", "", ""},
    {GNSS_SYSTEM_QZSS, "QZSS(J)", "J", "QZSS"},
};

// Galileo and BeiDou numbers of the second NMEA numbering (301-400, 401-500).
constexpr int kSecondRangeSpan = 100;
} // namespace

const SAT_SLOT_T& SatSlot(uint32_t nSlot) { return kSlots[nSlot < SAT_SLOT_COUNT ? nSlot : SAT_SLOT_UNUSED]; }

int SatDisplayNumber(uint32_t nSlot, uint32_t nSatNumber)
{
    if (!SatSlotUsed(nSlot) || nSatNumber < 1 || nSatNumber > POS_SAT_TABLE_SIZE)
        return 0;
    const int n = static_cast<int>(nSatNumber);
    int nShown = n;
    switch (nSlot)
    {
    case GNSS_SYSTEM_GLONASS:
        nShown = n - static_cast<int>(SAT_TABLE_GLO_BASE);
        break;
    case GNSS_SYSTEM_GALILEO:
        nShown = n > static_cast<int>(NMEA_GAL_BASE) && n <= static_cast<int>(NMEA_GAL_BASE) + kSecondRangeSpan
                     ? n - static_cast<int>(NMEA_GAL_BASE)
                     : n - static_cast<int>(SAT_TABLE_GAL_BASE);
        break;
    case GNSS_SYSTEM_BDS:
        nShown =
            n > static_cast<int>(SAT_TABLE_BDS_BASE) && n <= static_cast<int>(SAT_TABLE_BDS_BASE) + kSecondRangeSpan
                ? n - static_cast<int>(SAT_TABLE_BDS_BASE)
                : n - static_cast<int>(NMEA_BDS_BASE);
        break;
    default:
        break;
    }
    return nShown > 0 ? nShown : 0;
}

QString SatSlotLabel(uint32_t nSlot, int nNumber)
{
    return QString::fromLatin1(SatSlot(nSlot).Letter) + QString::number(nNumber);
}

QByteArray NmeaLogRequest()
{
    return QStringLiteral("log gpgsv ontime 1\r\nlog gpgga ontime 1\r\nlog gpgsa ontime 1\r\n").toUtf8();
}

void SetLeastSize(QWidget* pWidget, const QSize& Least)
{
    pWidget->setMinimumSize(Least.expandedTo(pWidget->sizeHint()));
}
