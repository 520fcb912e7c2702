#include "monitor/parsing/latest_log_store.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "codec/catalogue.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "monitor/parsing/binary_log_text.h"

namespace
{
// Message ID to catalogue index, built once from the store's slot list.
const std::array<int8_t, 65536>& CatalogueLookup()
{
    static const std::array<int8_t, 65536>* const pLookup = []
    {
        auto* p = new std::array<int8_t, 65536>;
        p->fill(-1);
        uint32_t nRows = 0;
        const LOG_SLOT_ROW_T* pRows = GetStoreSlotList(&nRows);
        // The first row of an ID wins, as a search in list order would find it.
        for (uint32_t i = nRows; i-- > 0;)
            (*p)[pRows[i].Id & 0xFFFF] = static_cast<int8_t>(pRows[i].Slot);
        return p;
    }();
    return *pLookup;
}

uint32_t ReadU32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Body bytes to keep, or 0 when the body does not hold what it announces.
uint32_t KeptLength(const LOG_TYPE_T& Type, const uint8_t* pBody, uint32_t nBody)
{
    if (nBody < Type.MinBody)
        return 0;
    constexpr uint32_t kCount = sizeof(uint32_t);
    uint64_t nNeed;
    switch (Type.BodyRule)
    {
    case LOG_BODY_FIXED:
        return nBody < Type.KeepBody ? nBody : Type.KeepBody;
    case LOG_BODY_DOP:
        nNeed = offsetof(DopBody, Sats) + uint64_t{sizeof(uint32_t)} * ReadU32(pBody + offsetof(DopBody, SatCount));
        break;
    case LOG_BODY_RANGE:
        nNeed = kCount + uint64_t{sizeof(RANGE_OBS_T)} * ReadU32(pBody);
        break;
    case LOG_BODY_RANGECMP:
        nNeed = kCount + uint64_t{sizeof(RANGECMP_OBS_T)} * ReadU32(pBody);
        break;
    case LOG_BODY_RANGECMP4:
        nNeed = kCount + uint64_t{ReadU32(pBody)};
        break;
    default:
        return 0;
    }
    return nNeed <= nBody ? static_cast<uint32_t>(nNeed) : 0;
}

} // namespace

int CatalogueIndexOf(uint32_t nMessageId) { return nMessageId > 0xFFFF ? -1 : CatalogueLookup()[nMessageId]; }

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

QRangeData::QRangeData(QObject* pParent, const LOG_REGISTRY_T* pRegistry)
    : QObject(pParent), m_pRegistry(&LogRegistryOr(pRegistry)), m_pBodySlot(new std::array<int8_t, 65536>),
      m_pScratch(new uint8_t[LOG_MAX_BINARY_LENGTH])
{
    std::memset(Headers, 0, sizeof Headers);
    std::memset(Counts, 0, sizeof Counts);
    m_pBodySlot->fill(-1);
    // The logs the registry has the store keep, each with a slot; of two rows
    // with one ID the first is kept.
    for (uint32_t i = 0; i < m_pRegistry->Count; ++i)
    {
        const LOG_TYPE_T& Type = m_pRegistry->Rows[i];
        const uint16_t nId = LogTypeId(Type);
        if (Type.BodyRule == LOG_BODY_NONE || nId == LOG_TYPE_NO_ID || (*m_pBodySlot)[nId] >= 0 ||
            m_Slots.size() >= 127)
            continue;
        (*m_pBodySlot)[nId] = static_cast<int8_t>(m_Slots.size());
        SLOT_T Slot;
        Slot.Type = &Type;
        Slot.Data.assign(LOG_HEADER_LENGTH + Type.KeepBody, 0);
        m_Slots.push_back(std::move(Slot));
    }
}

const LOG_TYPE_T* QRangeData::BodyType(uint16_t nMessageId) const
{
    const int n = (*m_pBodySlot)[nMessageId];
    return n < 0 ? nullptr : m_Slots[static_cast<size_t>(n)].Type;
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
    const int nRow = (*m_pBodySlot)[Header.MessageId];
    if (nRow < 0)
        return 1;
    const uint32_t nKeep = KeptLength(*m_Slots[static_cast<size_t>(nRow)].Type, pBody, nBody);
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
    const int nKept = KeepBody(Header, pRecord + LOG_HEADER_LENGTH, Header.MessageLength);
    if (nKept == 1)
        m_RangeObs.TakeLog(pRecord, LOG_HEADER_LENGTH + Header.MessageLength);
    else
        m_RangeObs.TakeMalformed(Header);
    return nKept;
}

int QRangeData::StoreBinaryLog(const uint8_t* pLog, uint32_t nLength)
{
    uint32_t nRecord = 0;
    if (!BinaryLogToRecord(pLog, nLength, m_pScratch.get(), LOG_MAX_BINARY_LENGTH, &nRecord))
        return -1;
    return StoreRecord(m_pScratch.get(), nRecord, true);
}

int QRangeData::StoreLogRecord(const uint8_t* pRecord, uint32_t nLength) { return StoreRecord(pRecord, nLength, true); }

int QRangeData::StoreTextLog(const char* pLine, uint32_t nLength)
{
    if (pLine == nullptr || nLength == 0 || pLine[0] != '#')
        return -1;
    const int32_t n = static_cast<int32_t>(nLength > 0x7FFFFFFFu ? 0x7FFFFFFFu : nLength);
    BinaryLogHeader Header;
    if (!CheckTextLogCrc(pLine, n) || !ParseAsciiLogHeader(pLine, n, &Header))
        return 0;
    Count(Header);
    const LOG_TYPE_T* pType = BodyType(Header.MessageId);
    if (pType == nullptr || !(pType->Uses & LOG_USE_STORE_TEXT) || pType->Decode == nullptr)
        return 1;
    // Decoded into scratch first: a body that does not read leaves the kept copy alone.
    int32_t nOut = 0;
    if (!pType->Decode(pLine, n, m_pScratch.get(), &nOut) || nOut <= 0)
    {
        m_RangeObs.TakeMalformed(Header);
        return 0;
    }
    return StoreRecord(m_pScratch.get(), static_cast<uint32_t>(nOut), false) == 1 ? 1 : 0;
}

const uint8_t* QRangeData::LogCopy(uint16_t nMessageId, uint32_t* pLength) const
{
    const int nRow = (*m_pBodySlot)[nMessageId];
    if (nRow < 0)
        return nullptr;
    const SLOT_T& Slot = m_Slots[static_cast<size_t>(nRow)];
    if (pLength != nullptr)
        *pLength = Slot.Length;
    return Slot.Data.data();
}

uint32_t QRangeData::BodyUpdates(uint16_t nMessageId) const
{
    const int nRow = (*m_pBodySlot)[nMessageId];
    return nRow < 0 ? 0 : m_Slots[static_cast<size_t>(nRow)].Updates;
}
