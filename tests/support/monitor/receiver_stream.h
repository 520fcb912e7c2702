// What a fake receiver streams: epoch after epoch of a small constellation
// seen from one place, as binary logs (BESTPOS, RANGE, a GPS ephemeris every
// tenth epoch), text logs (BESTPOSA, RANGEA), NMEA sentences (GGA, GSA, GSV,
// RMC) and RTCM3 frames (1005 every tenth epoch, GPS and GLONASS MSM4); on
// request also the epoch's RANGE as RANGECMP and RANGECMP4, text or binary,
// and the INS solution INSPVAX (text or binary). Like most receivers it can
// stream its range observations only compressed: as RANGECMP, or as RANGECMP4
// whose reference epochs come at an interval of their own with differential
// epochs between; and range logs of a stretch of its time can be lost on the
// line (made, so the receiver's chain goes on, but never sent).
// The logs come from the codec's own record layouts and formatters. Each item
// carries the text a data view in binary-to-text mode shows for it: the
// codec's full text of a binary log (none for the ephemeris, which the view
// only counts), text and NMEA as they are, and for an RTCM3 frame the opening
// of its line ("Msg 1074: Size: 123 ").
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "codec/ins_logs.h"
#include "codec/range_logs.h"

enum STREAM_KIND_E : uint32_t
{
    STREAM_BINARY_LOGS = 0x1,
    STREAM_TEXT_LOGS = 0x2,
    STREAM_NMEA = 0x4,
    STREAM_RTCM3 = 0x8,
    STREAM_ALL = 0xF,
};

// The log a streaming receiver puts its range observations in.
enum RANGE_FORM_E : uint32_t
{
    RANGE_FORM_RANGE = 0,
    RANGE_FORM_RANGECMP = 1,
    RANGE_FORM_RANGECMP4 = 2,
};

struct RANGECMP4_CONTEXT_T;

struct STREAM_ITEM_T
{
    std::string Name; // "BESTPOSB", "GPGGA", "RTCM1074", "reply" ...
    std::string Wire; // the bytes on the line
    std::string Text; // what the view shows (the line's opening when TextIsPrefix)
    bool TextIsPrefix = false;
    uint16_t MessageId = 0; // binary logs: the message ID, else 0
};

class ReceiverStream
{
public:
    // Starts at GPS week and ms of week; epochs are EpochMs apart.
    explicit ReceiverStream(uint16_t nWeek = 2295, uint32_t nStartMs = 79218000, uint32_t nEpochMs = 1000);

    // The next epoch's items of the kinds asked for (STREAM_KIND_E bits).
    std::vector<STREAM_ITEM_T> NextEpoch(uint32_t Kinds);
    // One log by the name a LOG command gives ("BESTPOSA", "bestposb",
    // "GPGGA", "RANGEB", "RTCM1005" ...), at the current epoch; false for a
    // name this receiver does not log.
    bool OneLog(const std::string& Name, STREAM_ITEM_T* pItem) const;
    static bool IsLogName(const std::string& Name);
    // The INS solution the receiver logs as INSPVAXA and INSPVAXB: at the
    // site, aligned, with known velocities, attitude and deviations.
    static InspvaxBody SiteInspvax();

    // Without a fix, positions report no solution (BESTPOS insufficient
    // observations, GGA quality 0); with one, an RTK fixed solution.
    void SetFix(bool bFix) { m_bFix = bFix; }
    // The log of the streamed epochs' range observations; RANGECMP4 with a
    // reference epoch at each time of week that is a multiple of
    // nReferenceEveryMs.
    void SetRangeForm(RANGE_FORM_E Form, uint32_t nReferenceEveryMs = 1000);
    // Range logs of the epochs from FromMs up to ToMs (ms of stream time,
    // 0 at its first epoch) are made but lost.
    void LoseRangeLogs(const std::vector<std::pair<uint32_t, uint32_t>>& Windows) { m_Lost = Windows; }

    uint16_t Week() const { return m_Week; }
    uint32_t Ms() const { return m_Ms; }
    uint32_t Epochs() const { return m_Epochs; }

private:
    // bStreamed: the epoch goes out as streamed, its range observations in
    // the stream's range log (and the RANGECMP4 chain goes on).
    std::vector<STREAM_ITEM_T> Items(uint32_t Kinds, bool bEphemeris, bool bStation, bool bStreamed = false) const;
    bool RangeLost() const;
    // The epoch's range observations: their carrier-to-noise moves from epoch to epoch.
    std::vector<RANGE_OBS_T> EpochObservations() const;

    uint16_t m_Week;
    uint32_t m_Ms;
    uint32_t m_EpochMs;
    uint32_t m_Epochs = 0;
    double m_Seconds = 0; // since the start
    bool m_bFix = true;
    RANGE_FORM_E m_RangeForm = RANGE_FORM_RANGE;
    std::shared_ptr<RANGECMP4_CONTEXT_T> m_pPacker; // the receiver's RANGECMP4 chain
    std::vector<std::pair<uint32_t, uint32_t>> m_Lost;
};

// Reads Shown (what a view showed) as the items' texts one after the other:
// whole texts exactly, prefixes up to their line end. Returns how many items
// matched in a row from the first, and in *pUsed the characters they took;
// all items and all of Shown when nothing was lost, cut, added or changed.
size_t MatchShownText(const std::string& Shown, const std::vector<STREAM_ITEM_T>& Items, size_t* pUsed = nullptr);
