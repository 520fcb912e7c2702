#include "monitor/parsing/port_fix_watch.h"

#include <cstring>

#include "codec/ins_logs.h"
#include "codec/log_format.h"
#include "codec/position_logs.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/pos_data_parser.h"

namespace
{
// The position logs the store keeps, GNSS first, then INS.
const uint16_t kPositionLogs[] = {MSG_ID_BESTPOS,    MSG_ID_RTKPOS, MSG_ID_PSRPOS, MSG_ID_BESTGNSSPOS,
                                  MSG_ID_MATCHEDPOS, MSG_ID_INSPVA, MSG_ID_INSPVAX};
constexpr int kLogs = static_cast<int>(sizeof kPositionLogs / sizeof kPositionLogs[0]);

// GGA's quality: field 6, one digit.
int GgaQuality(const char* pLine, int32_t nLength)
{
    if (nLength < 7 || std::memcmp(pLine + 3, "GGA,", 4) != 0 || !NmeaChecksumOk(pLine, nLength))
        return -1;
    int nField = 0;
    for (int32_t i = 0; i < nLength; ++i)
    {
        if (pLine[i] != ',')
            continue;
        if (++nField == 6)
        {
            const bool bDigit = i + 1 < nLength && pLine[i + 1] >= '0' && pLine[i + 1] <= '9';
            const bool bEnd = i + 2 >= nLength || pLine[i + 2] == ',' || pLine[i + 2] == '*';
            return bDigit && bEnd ? pLine[i + 1] - '0' : -1;
        }
    }
    return -1;
}
} // namespace

static_assert(kLogs == 7, "one seen count per position log");

CPortFixWatch::CPortFixWatch() : m_pScratch(new POS_DATA_T) { ResetPosData(m_pScratch.get()); }

CPortFixWatch::~CPortFixWatch() = default;

void CPortFixWatch::Take(uint8_t nQuality)
{
    m_Fix.FixQuality = nQuality;
    ++m_Fix.Positions;
}

void CPortFixWatch::ReadLine(const char* pLine, int32_t nLength)
{
    if (pLine[0] == '$')
    {
        const int nQuality = GgaQuality(pLine, nLength);
        if (nQuality >= 0)
            Take(static_cast<uint8_t>(nQuality));
    }
    else if (PositionLogToPosData(pLine, nLength, m_pScratch.get()))
        Take(m_pScratch->FixQuality);
}

void CPortFixWatch::SkipStore(const QRangeData* pStore)
{
    for (int i = 0; i < kLogs; ++i)
        m_StoreSeen[i] = pStore->BodyUpdates(kPositionLogs[i]);
}

void CPortFixWatch::Feed(const char* pText, int32_t nLength, const QRangeData* pStore)
{
    CutPositionLines(&m_Leftover, pText, nLength, [this](const char* pLine, int32_t nLine) { ReadLine(pLine, nLine); });
    if (pStore == nullptr)
        return;
    for (int i = 0; i < kLogs; ++i)
    {
        const uint16_t nId = kPositionLogs[i];
        const uint32_t nUpdates = pStore->BodyUpdates(nId);
        const bool bNew = nUpdates != m_StoreSeen[i];
        m_StoreSeen[i] = nUpdates;
        // What the store held before the watch began is no position seen since.
        if (!bNew || !m_bStoreSeen)
            continue;
        if (nId == MSG_ID_INSPVA)
        {
            if (const InsPvaBody* pIns = pStore->Body<InsPvaBody>(nId))
                Take(static_cast<uint8_t>(pIns->InsStatus));
        }
        else if (nId == MSG_ID_INSPVAX)
        {
            if (const InspvaxBody* pIns = pStore->Body<InspvaxBody>(nId))
                Take(static_cast<uint8_t>(pIns->InsStatus));
        }
        else if (const PositionBody* pPos = pStore->Body<PositionBody>(nId))
            Take(PositionFixQuality(pPos->SolStatus, pPos->PosType));
    }
    m_bStoreSeen = true;
}
