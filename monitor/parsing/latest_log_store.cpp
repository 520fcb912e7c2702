#include "monitor/parsing/latest_log_store.h"

#include <array>
#include <cstring>

#include "codec/catalogue.h"
#include "codec/ins_logs.h"
#include "codec/log_dispatch.h"
#include "codec/log_fields.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "monitor/parsing/binary_log_text.h"

namespace
{
// How the kept length of a body follows from the body itself.
enum BODY_RULE_E : uint8_t
{
    RULE_FIXED,     // a fixed record: at least MinBody bytes, the first KeepBody kept
    RULE_DOP,       // DOP values, then a u32 satellite count at byte 24 and that many u32 from byte 28
    RULE_RANGE,     // u32 count, then 44-byte observations
    RULE_RANGECMP,  // u32 count, then 24-byte observations
    RULE_RANGECMP4, // u32 byte count, then those bytes
};

struct BODY_ROW_T
{
    uint16_t Id;
    uint32_t MinBody;
    uint32_t KeepBody; // fixed: bytes kept; counted: room held from the start
    BODY_RULE_E Rule;
    TextDecoderFn Decode; // the codec's text decoder, or null
};

template <const LOG_LAYOUT_T& (*Layout)(), uint16_t Id>
int DecodeWithLayout(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeLayoutText(Layout(), Id, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLength);
}

// The logs whose latest copy the store keeps, with the room the views expect.
const BODY_ROW_T kBodies[] = {
    {MSG_ID_PSRPOS, 72, 72, RULE_FIXED, DecodePositionText},
    {MSG_ID_RTKPOS, 72, 72, RULE_FIXED, DecodePositionText},
    {MSG_ID_BESTPOS, 72, 72, RULE_FIXED, DecodePositionText},
    {MSG_ID_BESTGNSSPOS, 72, 72, RULE_FIXED, DecodePositionText},
    {MSG_ID_MATCHEDPOS, 72, 72, RULE_FIXED, DecodePositionText},
    {MSG_ID_MATCHEDPOSH, 72, 72, RULE_FIXED, DecodePositionText},
    {MSG_ID_PSRVEL, 44, 44, RULE_FIXED, DecodeVelocityText},
    {MSG_ID_RTKVEL, 44, 44, RULE_FIXED, DecodeVelocityText},
    {MSG_ID_BESTVEL, 44, 44, RULE_FIXED, DecodeVelocityText},
    {MSG_ID_BESTGNSSVEL, 44, 44, RULE_FIXED, DecodeVelocityText},
    {MSG_ID_PSRXYZ, 112, 112, RULE_FIXED, DecodeXyzText},
    {MSG_ID_RTKXYZ, 112, 112, RULE_FIXED, DecodeXyzText},
    {MSG_ID_BESTXYZ, 112, 112, RULE_FIXED, DecodeXyzText},
    {MSG_ID_BESTGNSSXYZ, 112, 112, RULE_FIXED, DecodeXyzText},
    {MSG_ID_HEADING, 44, 44, RULE_FIXED, DecodeHeadingText},
    {MSG_ID_HEADING2, 48, 48, RULE_FIXED, DecodeWithLayout<Heading2Layout, MSG_ID_HEADING2>},
    {MSG_ID_AVEPOS, 48, 48, RULE_FIXED, DecodeWithLayout<AvePosLayout, MSG_ID_AVEPOS>},
    {MSG_ID_TIME, 44, 44, RULE_FIXED, DecodeTimeText},
    {MSG_ID_TIMESYNC, 12, 12, RULE_FIXED, DecodeWithLayout<TimeSyncLayout, MSG_ID_TIMESYNC>},
    {174, 28, 284, RULE_DOP, nullptr}, // PSRDOP
    {952, 28, 284, RULE_DOP, nullptr}, // RTKDOP
    {MSG_ID_INSATT, 40, 40, RULE_FIXED, DecodeWithLayout<InsAttLayout, MSG_ID_INSATT>},
    {MSG_ID_INSSPD, 40, 40, RULE_FIXED, DecodeWithLayout<InsSpdLayout, MSG_ID_INSSPD>},
    {MSG_ID_INSVEL, 40, 40, RULE_FIXED, DecodeWithLayout<InsVelLayout, MSG_ID_INSVEL>},
    {MSG_ID_INSPVA, 88, 88, RULE_FIXED, DecodeWithLayout<InsPvaLayout, MSG_ID_INSPVA>},
    {MSG_ID_INSPVAX, 126, 126, RULE_FIXED, DecodeInspvaxText},
    {MSG_ID_RAWIMUSX, 40, 40, RULE_FIXED, nullptr}, // its text form has the short header
    {MSG_ID_RAWIMU, 40, 40, RULE_FIXED, DecodeRawImuText},
    {MSG_ID_RAWIMUX, 40, 40, RULE_FIXED, DecodeRawImuXText},
    {MSG_ID_INSSTATUS, 4, 404, RULE_FIXED, DecodeInsStatusText},
    {MSG_ID_RANGE, 4, 11296 - LOG_HEADER_LENGTH, RULE_RANGE, DecodeRangeText},
    {MSG_ID_RANGEH, 4, 11296 - LOG_HEADER_LENGTH, RULE_RANGE, DecodeRangeText},
    {MSG_ID_BASERANGE, 4, 11396 - LOG_HEADER_LENGTH, RULE_RANGE, DecodeRangeText},
    {MSG_ID_RANGECMP, 4, 6176 - LOG_HEADER_LENGTH, RULE_RANGECMP, DecodeRangeCmpText},
    {MSG_ID_RANGECMP4, 4, 65570 - LOG_HEADER_LENGTH, RULE_RANGECMP4, DecodeRangeCmp4Text},
};
constexpr uint32_t kBodyCount = sizeof kBodies / sizeof kBodies[0];

// Message ID to catalogue index and to body row, built once.
struct LOOKUP_T
{
    std::array<int8_t, 65536> Index;
    std::array<int8_t, 65536> Body;
};

const LOOKUP_T& Lookup()
{
    static const LOOKUP_T* const pLookup = []
    {
        auto* p = new LOOKUP_T;
        p->Index.fill(-1);
        p->Body.fill(-1);
        uint32_t nRows = 0;
        const LOG_SLOT_ROW_T* pRows = GetStoreSlotList(&nRows);
        // The first row of an ID wins, as a search in list order would find it.
        for (uint32_t i = nRows; i-- > 0;)
            p->Index[pRows[i].Id & 0xFFFF] = static_cast<int8_t>(pRows[i].Slot);
        for (uint32_t i = 0; i < kBodyCount; ++i)
            p->Body[kBodies[i].Id] = static_cast<int8_t>(i);
        return p;
    }();
    return *pLookup;
}

const BODY_ROW_T* BodyRow(uint16_t nId)
{
    const int n = Lookup().Body[nId];
    return n < 0 ? nullptr : &kBodies[n];
}

uint32_t ReadU32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Body bytes to keep, or 0 when the body does not hold what it announces.
uint32_t KeptLength(const BODY_ROW_T& Row, const uint8_t* pBody, uint32_t nBody)
{
    if (nBody < Row.MinBody)
        return 0;
    uint64_t nNeed;
    switch (Row.Rule)
    {
    case RULE_FIXED:
        return nBody < Row.KeepBody ? nBody : Row.KeepBody;
    case RULE_DOP:
        nNeed = 28 + 4ull * ReadU32(pBody + 24);
        break;
    case RULE_RANGE:
        nNeed = 4 + uint64_t{sizeof(RANGE_OBS_T)} * ReadU32(pBody);
        break;
    case RULE_RANGECMP:
        nNeed = 4 + uint64_t{sizeof(RANGECMP_OBS_T)} * ReadU32(pBody);
        break;
    case RULE_RANGECMP4:
        nNeed = 4ull + ReadU32(pBody);
        break;
    default:
        return 0;
    }
    return nNeed <= nBody ? static_cast<uint32_t>(nNeed) : 0;
}

struct SIGNAL_PAIR_T
{
    uint32_t Type;
    uint32_t Code;
};
constexpr SIGNAL_PAIR_T kNoPair = {0xFFFFFFFFu, 0xFFFFFFFFu};

// Signal type to signal code per system row of TrackStatusToSystem.
constexpr SIGNAL_PAIR_T kSignalRows[6][12] = {
    {{0, 0},
     {5, 200},
     {9, 33096},
     {14, 2128},
     {17, 520},
     {31, 2568},
     kNoPair,
     kNoPair,
     kNoPair,
     kNoPair,
     kNoPair,
     kNoPair},
    {{0, 1}, {1, 9}, {5, 201}, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair},
    {{1, 130},
     {2, 2306},
     {12, 2506},
     {17, 2514},
     {20, 2522},
     kNoPair,
     kNoPair,
     kNoPair,
     kNoPair,
     kNoPair,
     kNoPair,
     kNoPair},
    {{0, 3},
     {1, 19},
     {2, 11},
     {4, 3},
     {5, 19},
     {6, 11},
     {8, 283},
     {7, 2395},
     {10, 419},
     {9, 2531},
     {12, 403},
     {11, 2515}},
    {{0, 0}, {6, 16}, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair},
    {{16, 0}, {14, 2128}, {17, 8}, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair, kNoPair},
};
} // namespace

int CatalogueIndexOf(uint32_t nMessageId) { return nMessageId > 0xFFFF ? -1 : Lookup().Index[nMessageId]; }

uint32_t TrackStatusToSystem(uint32_t uStatus)
{
    static constexpr uint32_t kSystems[8] = {0, 1, 0, 2, 3, 5, 0, 0};
    return kSystems[(uStatus >> 16) & 7u];
}

uint32_t TrackStatusToSignalType(uint32_t uStatus, uint32_t nSystem)
{
    if (nSystem >= 6)
        return 65535;
    const uint32_t nType = (uStatus >> 21) & 31u;
    for (const SIGNAL_PAIR_T& Pair : kSignalRows[nSystem])
        if (Pair.Type == nType)
            return Pair.Code;
    return 65535;
}

int ParseAsciiLogHeader(const char* pText, int32_t nLength, BinaryLogHeader* pHeader)
{
    if (pText == nullptr || pHeader == nullptr || nLength < 2 || pText[0] != '#')
        return 0;
    const char* pComma = static_cast<const char*>(std::memchr(pText, ',', static_cast<size_t>(nLength)));
    if (pComma == nullptr)
        return 0;
    const char* pName = pText + 1;
    uint32_t nName = static_cast<uint32_t>(pComma - pName);
    // "#RANGECMPA_1": a compressed range log made from RANGEH.
    const bool bFromRangeH = nName > 2 && pName[nName - 2] == '_' && pName[nName - 1] == '1';
    if (bFromRangeH)
        nName -= 2;
    uint8_t uType = 0;
    uint16_t nId = LogNameToId(pName, 1, nName, &uType);
    if (nId == 0 || nId == LOG_ID_UNKNOWN)
        nId = LookupLogName(GetLogNameTable(LOG_TABLE_MONITOR_SECOND), pName, nName, &uType);
    if (nId == 0 || nId == LOG_ID_UNKNOWN || !ParseAsciiHeader(pText, nLength, nId, pHeader))
        return 0;
    pHeader->MessageType = static_cast<uint8_t>(uType | (bFromRangeH ? LOG_TYPE_FROM_RANGEH : 0));
    pHeader->MessageLength = 0;
    return 1;
}

int ParseAsciiLog(const char* pLine, uint32_t nLength, QRangeData* pStore)
{
    return pStore != nullptr ? pStore->StoreTextLog(pLine, nLength) : -1;
}

QRangeData::QRangeData(QObject* pParent)
    : QObject(pParent), m_Slots(kBodyCount), m_pScratch(new uint8_t[LOG_MAX_BINARY_LENGTH]),
      m_pCmp4(new RANGECMP4_CONTEXT_T())
{
    std::memset(Headers, 0, sizeof Headers);
    std::memset(Counts, 0, sizeof Counts);
    for (uint32_t i = 0; i < kBodyCount; ++i)
        m_Slots[i].Data.assign(LOG_HEADER_LENGTH + kBodies[i].KeepBody, 0);
}

QRangeData::~QRangeData() = default;

void QRangeData::Count(const BinaryLogHeader& Header)
{
    const int n = CatalogueIndexOf(Header.MessageId);
    if (n < 0)
        return;
    Headers[n] = Header;
    ++Counts[n];
}

int QRangeData::KeepBody(const BinaryLogHeader& Header, const uint8_t* pBody, uint32_t nBody)
{
    const int nRow = Lookup().Body[Header.MessageId];
    if (nRow < 0)
        return 1;
    const uint32_t nKeep = KeptLength(kBodies[nRow], pBody, nBody);
    if (nKeep == 0)
        return 0;
    SLOT_T& Slot = m_Slots[static_cast<size_t>(nRow)];
    const uint32_t nTotal = LOG_HEADER_LENGTH + nKeep;
    if (Slot.Data.size() < nTotal)
        Slot.Data.resize(nTotal);
    BinaryLogHeader Kept = Header;
    Kept.MessageLength = static_cast<uint16_t>(nKeep);
    std::memcpy(Slot.Data.data(), &Kept, LOG_HEADER_LENGTH);
    std::memcpy(Slot.Data.data() + LOG_HEADER_LENGTH, pBody, nKeep);
    // A shorter body leaves no bytes of the one before behind it.
    if (Slot.Length > nTotal)
        std::memset(Slot.Data.data() + nTotal, 0, Slot.Length - nTotal);
    Slot.Length = nTotal;
    ++Slot.Updates;
    return 1;
}

int QRangeData::StoreRecord(const uint8_t* pRecord, uint32_t nLength, bool bCount)
{
    if (pRecord == nullptr || nLength < LOG_HEADER_LENGTH || pRecord[0] != LOG_SYNC_0 || pRecord[1] != LOG_SYNC_1 ||
        pRecord[3] != LOG_HEADER_LENGTH)
        return -1;
    BinaryLogHeader Header;
    std::memcpy(&Header, pRecord, sizeof Header);
    if (nLength < LOG_HEADER_LENGTH + Header.MessageLength || CatalogueIndexOf(Header.MessageId) < 0)
        return -1;
    if (bCount)
        Count(Header);
    return KeepBody(Header, pRecord + LOG_HEADER_LENGTH, Header.MessageLength);
}

int QRangeData::StoreBinaryLog(const uint8_t* pLog, uint32_t nLength)
{
    uint32_t nRecord = 0;
    if (!BinaryLogToRecord(pLog, nLength, m_pScratch.get(), LOG_MAX_BINARY_LENGTH, &nRecord))
        return -1;
    return StoreRecord(m_pScratch.get(), nRecord, true);
}

int QRangeData::StoreLogRecord(const uint8_t* pRecord, uint32_t nLength) { return StoreRecord(pRecord, nLength, true); }

int QRangeData::ReplaceLogCopy(const uint8_t* pRecord, uint32_t nLength)
{
    if (nLength < LOG_HEADER_LENGTH || BodyRow(reinterpret_cast<const BinaryLogHeader*>(pRecord)->MessageId) == nullptr)
        return 0;
    return StoreRecord(pRecord, nLength, false) == 1 ? 1 : 0;
}

int QRangeData::StoreTextLog(const char* pLine, uint32_t nLength)
{
    if (pLine == nullptr || nLength == 0 || pLine[0] != '#')
        return -1;
    const int32_t n = static_cast<int32_t>(nLength > 0x7FFFFFFFu ? 0x7FFFFFFFu : nLength);
    BinaryLogHeader Header;
    if (!CheckTextLogCrc(pLine, n) || !ParseAsciiLogHeader(pLine, n, &Header))
        return 0;
    Count(Header);
    const BODY_ROW_T* pRow = BodyRow(Header.MessageId);
    if (pRow == nullptr || pRow->Decode == nullptr)
        return 1;
    // Decoded into scratch first: a body that does not read leaves the kept copy alone.
    int32_t nOut = 0;
    if (!pRow->Decode(pLine, n, m_pScratch.get(), &nOut) || nOut <= 0)
        return 0;
    return StoreRecord(m_pScratch.get(), static_cast<uint32_t>(nOut), false) == 1 ? 1 : 0;
}

const uint8_t* QRangeData::LogCopy(uint16_t nMessageId, uint32_t* pLength) const
{
    const int nRow = Lookup().Body[nMessageId];
    if (nRow < 0)
        return nullptr;
    const SLOT_T& Slot = m_Slots[static_cast<size_t>(nRow)];
    if (pLength != nullptr)
        *pLength = Slot.Length;
    return Slot.Data.data();
}

uint32_t QRangeData::BodyUpdates(uint16_t nMessageId) const
{
    const int nRow = Lookup().Body[nMessageId];
    return nRow < 0 ? 0 : m_Slots[static_cast<size_t>(nRow)].Updates;
}
