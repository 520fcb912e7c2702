// One port's latest range observations, whatever log carried them. Every
// RANGE, RANGEH and BASERANGE log the port's store takes is kept as it is, and
// every RANGECMP and RANGECMP4 log (of either antenna) is expanded as it
// arrives by the codec's expanders; RANGECMP4 with a reference state of the
// port's own per antenna, advanced by every log, so that no differential
// epoch is lost between two refreshes of a window.
//
// A log gives its whole epoch or nothing: a body that does not hold what it
// announces, a record of a signal the expander cannot name, more observations
// than a RANGE log holds, or a differential record whose reference this port
// has not got (it started mid-chain, or lost the log that held it) leave no
// observations for that log, counted by reason. The next reference epoch
// starts a broken chain again. Block IDs tell a differential record's
// reference apart from the seven before it only: after a silence long enough
// to have lost eight reference epochs the port forgets its references rather
// than take an older one with the same ID.
//
// Filled by the store (QRangeData) in the receive road; windows read it
// through the port tab set and write nothing. GUI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/log_format.h"
#include "codec/range_logs.h"

struct RANGECMP4_CONTEXT_T;

enum RANGE_ANTENNA_E : uint32_t
{
    RANGE_ANTENNA_POSITION = 0, // RANGE, RANGECMP, RANGECMP4
    RANGE_ANTENNA_SECOND = 1,   // RANGEH and the compressed logs made from it ("_1")
    RANGE_ANTENNA_BASE = 2,     // BASERANGE: the base station's observations
    RANGE_ANTENNA_COUNT = 3,
};

// Why a range log gave no observations.
enum RANGE_REFUSAL_E : uint32_t
{
    RANGE_REFUSAL_NONE = 0,
    RANGE_REFUSED_MALFORMED,      // its body does not hold what it announces
    RANGE_REFUSED_UNKNOWN_SIGNAL, // a record of a signal or system the expander cannot name
    RANGE_REFUSED_TOO_MANY,       // more observations than a RANGE log holds
    RANGE_REFUSED_NO_REFERENCE,   // a differential record without the reference it was made against
    RANGE_REFUSAL_COUNT,
};

// The observations the latest log of one kind gave.
struct RANGE_OBS_SET_T
{
    uint16_t SourceId = 0; // the log's message ID (MSG_ID_RANGE ... MSG_ID_RANGECMP4)
    RANGE_ANTENNA_E Antenna = RANGE_ANTENNA_POSITION;
    BinaryLogHeader Header{};     // the source log's header: its time is Week and Milliseconds
    std::vector<RANGE_OBS_T> Obs; // empty when the log was refused
    RANGE_REFUSAL_E Refusal = RANGE_REFUSAL_NONE;
    uint32_t Updates = 0;  // logs of this kind taken, refused ones too
    uint64_t Sequence = 0; // order of arrival among the port's range logs
};

class CRangeObservations
{
public:
    CRangeObservations();
    ~CRangeObservations();
    CRangeObservations(const CRangeObservations&) = delete;
    CRangeObservations& operator=(const CRangeObservations&) = delete;

    // Whether a message ID is one of the range logs taken here.
    static bool IsRangeLog(uint16_t nMessageId);
    // The antenna a range log's observations belong to.
    static RANGE_ANTENNA_E AntennaOf(const BinaryLogHeader& Header);

    // A range log as the store keeps it (long header, body, no CRC; nLength
    // covers the header and its message length). Other logs are ignored.
    void TakeLog(const uint8_t* pRecord, uint32_t nLength);
    // A range log whose body the store refused.
    void TakeMalformed(const BinaryLogHeader& Header);

    // The latest observations of an antenna, from whichever of its logs came
    // last; null before the first.
    const RANGE_OBS_SET_T* Latest(RANGE_ANTENNA_E Antenna) const;
    // The latest observations from one kind of log, by its message ID (the
    // compressed logs of the second antenna with RANGE_ANTENNA_SECOND; RANGEH
    // and BASERANGE whatever the antenna given); null before the first.
    const RANGE_OBS_SET_T* FromLog(uint16_t nMessageId, RANGE_ANTENNA_E Antenna = RANGE_ANTENNA_POSITION) const;
    // Logs that gave no observations, by reason.
    uint32_t Refused(RANGE_REFUSAL_E Why) const { return Why < RANGE_REFUSAL_COUNT ? m_Refused[Why] : 0; }
    // Records left out of kept epochs: signals a RANGE log cannot carry.
    uint64_t LeftOutNoRangeSignal() const { return m_LeftOutNoRangeSignal; }

private:
    RANGE_OBS_SET_T& SetOf(uint16_t nMessageId, RANGE_ANTENNA_E Antenna);
    // Sets the kind's observations from a RANGE log (header, count, records),
    // or refuses the log.
    void Keep(const BinaryLogHeader& Header, const uint8_t* pRange, RANGE_REFUSAL_E Refusal);
    RANGE_REFUSAL_E ExpandRangeCmp4(const uint8_t* pRecord, uint32_t nLength, RANGE_ANTENNA_E Antenna);
    uint8_t* Scratch();

    std::vector<RANGE_OBS_SET_T> m_Sets;
    std::array<std::unique_ptr<RANGECMP4_CONTEXT_T>, RANGE_ANTENNA_COUNT> m_Cmp4;
    // Each antenna's RANGECMP4 stream: when its last log and its last
    // reference epoch (a log of reference records only) came, and the time
    // between its last two reference epochs (0 before two).
    struct CHAIN_T
    {
        int64_t LastMs = -1;
        int64_t ReferenceMs = -1;
        int64_t ReferenceEveryMs = 0;
    };
    std::array<CHAIN_T, RANGE_ANTENNA_COUNT> m_Chain;
    std::unique_ptr<uint8_t[]> m_pScratch; // an expansion, before it is kept
    uint32_t m_Refused[RANGE_REFUSAL_COUNT] = {};
    uint64_t m_LeftOutNoRangeSignal = 0;
    uint64_t m_Sequence = 0;
};
