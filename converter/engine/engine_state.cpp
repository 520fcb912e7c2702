#include "converter/engine/engine_state.h"

#include <atomic>

#include "codec/text_helpers.h"

namespace
{
std::atomic<uint32_t> g_nRinexBytesRead{0};
int32_t g_nLeapMs = 0;
FILE* g_pOutputFile = nullptr;
uint32_t g_nBdsEphemStyle = 2;
RinexStopFn g_pfnRinexStop = nullptr;
const void* g_pRinexStopContext = nullptr;
} // namespace

uint32_t GetRinexBytesRead() { return g_nRinexBytesRead.load(std::memory_order_relaxed); }
void SetRinexBytesRead(uint32_t nBytes) { g_nRinexBytesRead.store(nBytes, std::memory_order_relaxed); }
void AddRinexBytesRead(uint32_t nBytes) { g_nRinexBytesRead.fetch_add(nBytes, std::memory_order_relaxed); }

void SetLeapMs(int32_t nLeapMs) { g_nLeapMs = nLeapMs; }
const int32_t* GetLeapMs() { return &g_nLeapMs; }

void SetBdsEphemStyle(uint32_t nStyle) { g_nBdsEphemStyle = nStyle; }
uint32_t GetBdsEphemStyle() { return g_nBdsEphemStyle; }

void SetConvertOutputFile(FILE* pFile) { g_pOutputFile = pFile; }
FILE* GetConvertOutputFile() { return g_pOutputFile; }

void SetRinexReadStop(RinexStopFn pfnStop, const void* pContext)
{
    g_pfnRinexStop = pfnStop;
    g_pRinexStopContext = pContext;
}
bool RinexReadStopRequested() { return g_pfnRinexStop && g_pfnRinexStop(g_pRinexStopContext); }

void TracePhaseCounts(const CompressedPhaseCounts& counts)
{
    if (counts.nShifted)
        DebugPrintf("%u carrier phases written shifted by whole roll-overs or cycles, the same for each lock arc.\n",
                    counts.nShifted);
    if (counts.nDropped)
        DebugPrintf("%u carrier phases dropped: the compressed fields could not hold them.\n", counts.nDropped);
}
