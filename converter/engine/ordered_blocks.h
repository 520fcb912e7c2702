// Work on a stream cut into blocks, spread over a few threads and finished in
// stream order: each block goes through four steps on one worker thread.
// The first and the third run on every worker at once; the second and the
// fourth run in block order, one block after the other (the second for the
// state the stream carries from block to block, the fourth to hand the
// results on in order, such as writing them to a file). The thread that fills
// the blocks only reads the stream: at most a fixed number of blocks are out
// at a time, so memory stays the same however long the stream is.
//
//   OrderedBlocks<Block> work(nWorkers, nInFlight, first, inOrder, third, deliver);
//   Block* p = work.Take();   // a block to fill: new, or one delivered before
//   ...fill *p...; work.Submit(p);
//   work.Drain();             // every submitted block delivered
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

template <typename Block> class OrderedBlocks
{
public:
    // A step on block b, the nIndex-th submitted (from 0), by worker nWorker
    // (0 .. nWorkers - 1, for per-thread state). Fewer than one worker is one.
    using Step = std::function<void(Block& b, uint64_t nIndex, uint32_t nWorker)>;

    OrderedBlocks(uint32_t nWorkers, uint32_t nInFlight, Step first, Step inOrder, Step third, Step deliver)
        : m_nInFlight(nInFlight < 1 ? 1 : nInFlight), m_First(std::move(first)), m_InOrder(std::move(inOrder)),
          m_Third(std::move(third)), m_Deliver(std::move(deliver))
    {
        // Without a worker nothing submitted would ever be delivered.
        for (uint32_t i = 0; i < std::max<uint32_t>(nWorkers, 1); ++i)
            m_Workers.emplace_back([this, i] { Work(i); });
    }

    // Lets the workers finish what was submitted, then ends them.
    ~OrderedBlocks()
    {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_bEnd = true;
        }
        m_Queued.notify_all();
        for (std::thread& t : m_Workers)
            t.join();
    }

    OrderedBlocks(const OrderedBlocks&) = delete;
    OrderedBlocks& operator=(const OrderedBlocks&) = delete;

    // A block to fill: a new one while fewer than nInFlight exist, else one
    // delivered before (its contents as they were: the filler clears what it
    // reuses), waiting for one where need be.
    Block* Take()
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        if (m_Free.empty() && m_All.size() < m_nInFlight)
        {
            m_All.push_back(std::make_unique<Entry>());
            return &m_All.back()->block;
        }
        m_Delivered.wait(lock, [this] { return !m_Free.empty(); });
        Entry* e = m_Free.back();
        m_Free.pop_back();
        return &e->block;
    }

    void Submit(Block* p)
    {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            Entry* e = EntryOf(p);
            e->nIndex = m_nSubmitted++;
            m_Queue.push_back(e);
        }
        m_Queued.notify_one();
    }

    // Gives back a block taken and not submitted.
    void Return(Block* p)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Free.push_back(EntryOf(p));
    }

    // Waits until every submitted block is delivered.
    void Drain()
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Delivered.wait(lock, [this] { return m_nNextDelivery == m_nSubmitted; });
    }

private:
    struct Entry
    {
        Block block;
        uint64_t nIndex = 0;
        std::condition_variable turn; // its worker waits here for a turn
    };

    // The few blocks ever made are searched (under the lock).
    Entry* EntryOf(Block* p)
    {
        for (const std::unique_ptr<Entry>& e : m_All)
            if (&e->block == p)
                return e.get();
        return nullptr;
    }

    // Waits for the block's turn on one of the two counters. Blocks are
    // taken from the queue in order, so the block whose turn it is has a
    // worker already: the wait always ends.
    void WaitTurn(const uint64_t& nNext, Entry* e)
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        e->turn.wait(lock, [&nNext, e] { return nNext == e->nIndex; });
    }

    // Moves a counter on and wakes the worker of the block whose turn it is
    // (only that one: the others would wake for nothing).
    void NextTurn(uint64_t& nNext)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        ++nNext;
        for (const std::unique_ptr<Entry>& e : m_All)
            if (e->nIndex == nNext)
                e->turn.notify_one();
    }

    void Work(uint32_t nWorker)
    {
        for (;;)
        {
            Entry* e = nullptr;
            {
                std::unique_lock<std::mutex> lock(m_Mutex);
                m_Queued.wait(lock, [this] { return m_bEnd || !m_Queue.empty(); });
                if (m_Queue.empty())
                    return;
                e = m_Queue.front();
                m_Queue.pop_front();
            }
            m_First(e->block, e->nIndex, nWorker);
            WaitTurn(m_nNextInOrder, e);
            m_InOrder(e->block, e->nIndex, nWorker);
            NextTurn(m_nNextInOrder);
            m_Third(e->block, e->nIndex, nWorker);
            WaitTurn(m_nNextDelivery, e);
            m_Deliver(e->block, e->nIndex, nWorker);
            {
                std::lock_guard<std::mutex> lock(m_Mutex);
                m_Free.push_back(e);
            }
            NextTurn(m_nNextDelivery);
            m_Delivered.notify_all();
        }
    }

    const uint32_t m_nInFlight;
    const Step m_First, m_InOrder, m_Third, m_Deliver;

    std::mutex m_Mutex;
    std::condition_variable m_Queued;    // a block submitted, or the end
    std::condition_variable m_Delivered; // a block is free again
    std::vector<std::unique_ptr<Entry>> m_All;
    std::vector<Entry*> m_Free;  // delivered or returned, to be filled again
    std::deque<Entry*> m_Queue; // submitted, not yet taken by a worker
    uint64_t m_nSubmitted = 0;
    uint64_t m_nNextInOrder = 0;
    uint64_t m_nNextDelivery = 0;
    bool m_bEnd = false;
    std::vector<std::thread> m_Workers;
};
