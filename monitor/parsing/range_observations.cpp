#include "monitor/parsing/range_observations.h"

#include <cstring>

#include "codec/gnss_time.h"
#include "codec/rangecmp4.h"

namespace
{
// The longest RANGE log: a message length of 65535 holds RANGE_MAX_OBS records.
constexpr uint32_t kMaxRangeLog = LOG_HEADER_LENGTH + 4 + RANGE_MAX_OBS * sizeof(RANGE_OBS_T);

uint32_t ReadU32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
} // namespace

CRangeObservations::CRangeObservations() = default;
CRangeObservations::~CRangeObservations() = default;

bool CRangeObservations::IsRangeLog(uint16_t nMessageId)
{
    switch (nMessageId)
    {
    case MSG_ID_RANGE:
    case MSG_ID_RANGEH:
    case MSG_ID_BASERANGE:
    case MSG_ID_RANGECMP:
    case MSG_ID_RANGECMP4:
        return true;
    default:
        return false;
    }
}

RANGE_ANTENNA_E CRangeObservations::AntennaOf(const BinaryLogHeader& Header)
{
    switch (Header.MessageId)
    {
    case MSG_ID_RANGEH:
        return RANGE_ANTENNA_SECOND;
    case MSG_ID_BASERANGE:
        return RANGE_ANTENNA_BASE;
    case MSG_ID_RANGECMP:
    case MSG_ID_RANGECMP4:
        return (Header.MessageType & LOG_TYPE_FROM_RANGEH) ? RANGE_ANTENNA_SECOND : RANGE_ANTENNA_POSITION;
    default:
        return RANGE_ANTENNA_POSITION;
    }
}

RANGE_OBS_SET_T& CRangeObservations::SetOf(uint16_t nMessageId, RANGE_ANTENNA_E Antenna)
{
    for (RANGE_OBS_SET_T& s : m_Sets)
        if (s.SourceId == nMessageId && s.Antenna == Antenna)
            return s;
    m_Sets.emplace_back();
    m_Sets.back().SourceId = nMessageId;
    m_Sets.back().Antenna = Antenna;
    return m_Sets.back();
}

uint8_t* CRangeObservations::Scratch()
{
    if (!m_pScratch)
        m_pScratch.reset(new uint8_t[kMaxRangeLog]);
    return m_pScratch.get();
}

void CRangeObservations::Keep(const BinaryLogHeader& Header, const uint8_t* pRange, RANGE_REFUSAL_E Refusal)
{
    RANGE_OBS_SET_T& s = SetOf(Header.MessageId, AntennaOf(Header));
    s.Header = Header;
    s.Refusal = Refusal;
    ++s.Updates;
    s.Sequence = ++m_Sequence;
    if (Refusal != RANGE_REFUSAL_NONE || pRange == nullptr)
    {
        s.Obs.clear();
        ++m_Refused[Refusal < RANGE_REFUSAL_COUNT ? Refusal : RANGE_REFUSED_MALFORMED];
        return;
    }
    const uint32_t n = ReadU32(pRange + LOG_HEADER_LENGTH);
    const auto* pFirst = reinterpret_cast<const RANGE_OBS_T*>(pRange + LOG_HEADER_LENGTH + 4);
    s.Obs.assign(pFirst, pFirst + n);
}

void CRangeObservations::TakeMalformed(const BinaryLogHeader& Header)
{
    if (!IsRangeLog(Header.MessageId))
        return;
    // A RANGECMP4 log that could not be read may have held references: the
    // chain starts again at the next reference epoch.
    if (Header.MessageId == MSG_ID_RANGECMP4 && m_Cmp4[AntennaOf(Header)])
        ForgetRangeCmp4References(m_Cmp4[AntennaOf(Header)].get());
    Keep(Header, nullptr, RANGE_REFUSED_MALFORMED);
}

void CRangeObservations::TakeLog(const uint8_t* pRecord, uint32_t nLength)
{
    if (pRecord == nullptr || nLength < LOG_HEADER_LENGTH + 4)
        return;
    BinaryLogHeader h;
    std::memcpy(&h, pRecord, sizeof h);
    if (!IsRangeLog(h.MessageId))
        return;
    if (nLength < LOG_HEADER_LENGTH + uint32_t{h.MessageLength} || h.MessageLength < 4)
    {
        TakeMalformed(h);
        return;
    }
    const uint32_t nCount = ReadU32(pRecord + LOG_HEADER_LENGTH);
    switch (h.MessageId)
    {
    case MSG_ID_RANGECMP:
    {
        if (uint64_t{nCount} * sizeof(RANGECMP_OBS_T) + 4 > h.MessageLength)
            return TakeMalformed(h);
        if (nCount > RANGE_MAX_OBS)
            return Keep(h, nullptr, RANGE_REFUSED_TOO_MANY);
        int32_t nOut = 0;
        if (RangeCmpToRange(pRecord, static_cast<int32_t>(nLength), Scratch(), static_cast<int32_t>(kMaxRangeLog),
                            &nOut) != 1)
            return TakeMalformed(h);
        return Keep(h, Scratch(), RANGE_REFUSAL_NONE);
    }
    case MSG_ID_RANGECMP4:
    {
        const RANGE_REFUSAL_E why = ExpandRangeCmp4(pRecord, nLength, AntennaOf(h));
        if (why == RANGE_REFUSED_MALFORMED)
            return TakeMalformed(h);
        return Keep(h, why == RANGE_REFUSAL_NONE ? Scratch() : nullptr, why);
    }
    default:
        if (uint64_t{nCount} * sizeof(RANGE_OBS_T) + 4 > h.MessageLength)
            return TakeMalformed(h);
        return Keep(h, pRecord, RANGE_REFUSAL_NONE);
    }
}

RANGE_REFUSAL_E CRangeObservations::ExpandRangeCmp4(const uint8_t* pRecord, uint32_t nLength,
                                                    RANGE_ANTENNA_E Antenna)
{
    std::unique_ptr<RANGECMP4_CONTEXT_T>& pContext = m_Cmp4[Antenna];
    if (!pContext)
        pContext.reset(new RANGECMP4_CONTEXT_T());
    BinaryLogHeader h;
    std::memcpy(&h, pRecord, sizeof h);
    const int64_t nMs = int64_t{h.Week} * GNSS_MS_PER_WEEK + h.Milliseconds;
    CHAIN_T& chain = m_Chain[Antenna];
    // Silent for four reference intervals: eight reference epochs may have
    // gone by, and an old reference may carry the ID of the one a
    // differential record was made against.
    if (chain.LastMs >= 0 && chain.ReferenceEveryMs > 0 && nMs - chain.LastMs >= 4 * chain.ReferenceEveryMs)
        ForgetRangeCmp4References(pContext.get());
    chain.LastMs = nMs;
    RANGECMP4_EXPAND_NOTES_T notes;
    int32_t nOut = 0;
    const int ok = RangeCmp4ToRangeNotes(pContext.get(), pRecord, static_cast<int32_t>(nLength), Scratch(),
                                         static_cast<int32_t>(kMaxRangeLog), &nOut, &notes);
    if (ok == 1 && notes.DifferentialRecords == 0 && notes.ReferenceRecords > 0)
    {
        if (chain.ReferenceMs >= 0 && nMs > chain.ReferenceMs)
            chain.ReferenceEveryMs = nMs - chain.ReferenceMs;
        chain.ReferenceMs = nMs;
    }
    if (ok != 1)
        return notes.OutputFull ? RANGE_REFUSED_TOO_MANY : RANGE_REFUSED_MALFORMED;
    if (notes.UnknownSignal > 0)
        return RANGE_REFUSED_UNKNOWN_SIGNAL;
    // Records of a signal a RANGE log has no code for (Galileo E6) are left
    // out and counted: refusing the whole epoch would blank every view of a
    // receiver that tracks it.
    m_LeftOutNoRangeSignal += notes.NoRangeSignal;
    if (notes.NoReference > 0)
        return RANGE_REFUSED_NO_REFERENCE;
    return RANGE_REFUSAL_NONE;
}

const RANGE_OBS_SET_T* CRangeObservations::Latest(RANGE_ANTENNA_E Antenna) const
{
    const RANGE_OBS_SET_T* pLatest = nullptr;
    for (const RANGE_OBS_SET_T& s : m_Sets)
        if (s.Antenna == Antenna && (pLatest == nullptr || s.Sequence > pLatest->Sequence))
            pLatest = &s;
    return pLatest;
}

const RANGE_OBS_SET_T* CRangeObservations::FromLog(uint16_t nMessageId, RANGE_ANTENNA_E Antenna) const
{
    // RANGEH and BASERANGE have an antenna of their own.
    const bool bAnyAntenna = nMessageId == MSG_ID_RANGEH || nMessageId == MSG_ID_BASERANGE;
    for (const RANGE_OBS_SET_T& s : m_Sets)
        if (s.SourceId == nMessageId && (s.Antenna == Antenna || bAnyAntenna))
            return &s;
    return nullptr;
}
