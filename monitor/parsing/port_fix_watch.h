// The latest fix of one port, whatever log the receiver tells it with: GGA
// sentences and full text position logs from the port's own text, binary
// position logs (BESTPOS, RTKPOS, PSRPOS, BESTGNSSPOS, MATCHEDPOS, INSPVA,
// INSPVAX) from its latest-log store. The fix quality is read as the
// position record reads it (pos_data_parser.h): GGA's quality, the
// solution's for a position log, the INS status for an INS log. Kept per
// port while a tool that judges boards by their fix watches it (the
// regression bench); the current tab's position record follows one chosen
// log only.
//
// GUI thread, in the port's receive road.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <memory>

class QRangeData;
struct POS_DATA_T;

struct PORT_FIX_T
{
    uint32_t Positions = 0;   // positions seen since the watch began
    uint8_t FixQuality = 255; // of the latest; 255 before the first
};

class CPortFixWatch
{
public:
    CPortFixWatch();
    ~CPortFixWatch();
    CPortFixWatch(const CPortFixWatch&) = delete;
    CPortFixWatch& operator=(const CPortFixWatch&) = delete;

    // The port's own text (an unfinished line waits for the next call), then
    // the store's position logs that arrived since the last call.
    void Feed(const char* pText, int32_t nLength, const QRangeData* pStore);
    const PORT_FIX_T& Fix() const { return m_Fix; }
    // The store's position logs as they stand now are seen: those the
    // position parser has just stored from text the watch already read.
    void SkipStore(const QRangeData* pStore);

private:
    void ReadLine(const char* pLine, int32_t nLength);
    void Take(uint8_t nQuality);

    PORT_FIX_T m_Fix;
    QByteArray m_Leftover;
    std::unique_ptr<POS_DATA_T> m_pScratch;
    uint32_t m_StoreSeen[7] = {};
    bool m_bStoreSeen = false;
};
