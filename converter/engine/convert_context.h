// The state that one conversion job or one source scan works on, owned by
// whoever runs it and handed to every engine routine that needs it: the RINEX
// observation and navigation header records, the leap value of the time
// conversions, the BeiDou numbering, the stream a RINEX-to-log job writes its
// logs to, the count of source bytes read and the stop request. Two contexts
// share nothing, so a scan and a job, or two jobs, can run at the same time
// without touching each other; the converter's window still runs one at a
// time.
//
// The byte counter is the one field that another thread reads while the work
// runs (a progress poller, without a lock); everything else belongs to the
// thread that runs the work for as long as it runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "converter/engine/rinex_nav.h"
#include "converter/engine/rinex_obs_header.h"

// The stop request: asked before each block is read; true ends the work there,
// as a read error would.
using ConvertStopFn = bool (*)(const void* pContext);

class CConvertContext
{
public:
    CConvertContext();
    CConvertContext(const CConvertContext&) = delete;
    CConvertContext& operator=(const CConvertContext&) = delete;

    // The header records a range-log job writes from and a scan's result is
    // spread over.
    RinexObsHeader* GetRinexObsHeader() { return &m_ObsHeader; }
    const RinexObsHeader* GetRinexObsHeader() const { return &m_ObsHeader; }
    RinexNavHeader* GetRinexNavHeader() { return &m_NavHeader; }
    const RinexNavHeader* GetRinexNavHeader() const { return &m_NavHeader; }

    // Leap seconds (GPS minus UTC) in milliseconds for the time conversions;
    // 0 stands for the time routines' default.
    void SetLeapMs(int32_t nLeapMs) { m_nLeapMs = nLeapMs; }
    const int32_t* GetLeapMs() const { return &m_nLeapMs; }
    // The leap value in force: the context's, or the program's default.
    int32_t LeapMsOrDefault() const;

    // The converter's BeiDou numbering (1 or 2, 2 at start): 2 reads BeiDou
    // ephemerides as BDSEPHEMERIS with PRNs 1-63, 1 as BD2EPHEM with PRNs +
    // 190; it also selects the signal-type numbering of the signal maps.
    void SetBdsEphemStyle(uint32_t nStyle) { m_nBdsEphemStyle = nStyle; }
    uint32_t GetBdsEphemStyle() const { return m_nBdsEphemStyle; }

    // The stream the RINEX readers write their logs to (null: none).
    void SetRinexToLogFile(FILE* pFile) { m_pOutput = pFile; }
    FILE* GetRinexToLogFile() const { return m_pOutput; }

    // Source bytes read so far: by the RINEX readers of a RINEX-to-log job, or
    // by a scan (GetScanProgress). One 64-bit word, so sources of 4 GiB and
    // more count right, that a poller reads without a lock.
    uint64_t GetRinexBytesRead() const { return m_nBytesRead.load(std::memory_order_relaxed); }
    uint64_t GetScanProgress() const { return GetRinexBytesRead(); }
    void SetRinexBytesRead(uint64_t nBytes) { m_nBytesRead.store(nBytes, std::memory_order_relaxed); }
    void AddRinexBytesRead(uint64_t nBytes) { m_nBytesRead.fetch_add(nBytes, std::memory_order_relaxed); }

    // The stop request of the work (null, the default, never stops).
    void SetStopRequest(ConvertStopFn pfnStop, const void* pContext);
    bool StopRequested() const { return m_pfnStop != nullptr && m_pfnStop(m_pStopContext); }

private:
    RinexObsHeader m_ObsHeader{};
    RinexNavHeader m_NavHeader{};
    int32_t m_nLeapMs = 0;
    uint32_t m_nBdsEphemStyle = 2;
    FILE* m_pOutput = nullptr;
    std::atomic<uint64_t> m_nBytesRead{0};
    static_assert(std::atomic<uint64_t>::is_always_lock_free, "the poller reads the count without a lock");
    ConvertStopFn m_pfnStop = nullptr;
    const void* m_pStopContext = nullptr;
};
