// A log source read into blocks of logs for work spread over the cores
// (OrderedBlocks): the reading thread checks each log and copies the ones the
// work wants into the block being filled, which goes to the workers when it
// holds about LOG_BLOCK_BYTES of them or LOG_BLOCK_LOGS logs.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <sched.h>

#include "converter/engine/log_source.h"
#include "converter/engine/ordered_blocks.h"

enum : uint32_t
{
    LOG_BLOCK_BYTES = 64 * 1024,
    LOG_BLOCK_LOGS = 1024,
    // More workers would only wait for the steps in order and hold blocks.
    LOG_BLOCK_MAX_WORKERS = 8,
};

// Workers for nRequested: 0 as many as the cores the process may run on;
// at least 1, at most LOG_BLOCK_MAX_WORKERS.
inline uint32_t LogBlockWorkers(uint32_t nRequested)
{
    uint32_t n = nRequested;
    if (n == 0)
    {
        cpu_set_t set;
        CPU_ZERO(&set);
        n = sched_getaffinity(0, sizeof set, &set) == 0 ? static_cast<uint32_t>(CPU_COUNT(&set)) : 1;
    }
    return std::min<uint32_t>(std::max<uint32_t>(n, 1), LOG_BLOCK_MAX_WORKERS);
}

// Reads the source to its end (or until *pStop, when given, is set) and hands
// its logs to the work in blocks, in source order, then waits until every
// block is delivered. take(block, frame) copies a log the work wants into the
// block (its bytes into block.Bytes) and returns true; false passes the log
// over. A block is cleared (Clear()) before it is filled.
template <typename Block, typename Take>
void SubmitLogBlocks(LogSourceReader& reader, OrderedBlocks<Block>& work, const std::atomic<bool>* pStop, Take take)
{
    Block* pFill = work.Take();
    pFill->Clear();
    uint32_t nLogs = 0;
    LogSourceFrame frame;
    while (!(pStop && pStop->load(std::memory_order_relaxed)) && reader.Next(&frame))
    {
        if (!take(*pFill, frame))
            continue;
        if (++nLogs >= LOG_BLOCK_LOGS || pFill->Bytes.size() >= LOG_BLOCK_BYTES)
        {
            work.Submit(pFill);
            pFill = work.Take();
            pFill->Clear();
            nLogs = 0;
        }
    }
    if (nLogs == 0)
        work.Return(pFill);
    else
        work.Submit(pFill);
    work.Drain();
}
