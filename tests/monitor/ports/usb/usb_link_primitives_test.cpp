// The USB link's building blocks: block pools, rings, receive channels, the
// event and the thread wrapper, with a producer and a consumer in two
// threads where the link uses them so (run under ThreadSanitizer in CI).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "monitor/ports/usb/usb_link_primitives.h"

namespace
{
using std::chrono::milliseconds;

TEST(UsbBlockPool, HandsOutEveryBlockOnceAndTakesBackOnlyItsOwnBoundaries)
{
    BlockPool pool("Test", 16, 64);
    std::set<uint8_t*> blocks;
    for (int i = 0; i < 64; ++i)
    {
        uint8_t* p = pool.Take();
        ASSERT_NE(p, nullptr);
        blocks.insert(p);
    }
    EXPECT_EQ(blocks.size(), 64u);
    EXPECT_EQ(pool.Take(), nullptr);

    uint8_t* base = pool.GetBase();
    EXPECT_EQ(pool.GiveBack(base + 16 * 3 + 5), BlockPool::GIVE_BACK_NOT_ALIGNED);
    EXPECT_EQ(pool.GiveBack(base + 16 * 64), BlockPool::GIVE_BACK_OUTSIDE);
    EXPECT_EQ(pool.GiveBack(base - 16), BlockPool::GIVE_BACK_OUTSIDE);
    EXPECT_EQ(pool.GetFreeCount(), 0u) << "a refused give-back changes nothing";
    EXPECT_EQ(pool.GiveBack(base + 16 * 17), BlockPool::GIVE_BACK_OK);
    EXPECT_FALSE(pool.IsTaken(base + 16 * 17));
    EXPECT_TRUE(pool.IsTaken(base + 16 * 18));
    EXPECT_FALSE(pool.IsTaken(base + 16 * 18 + 1));
    EXPECT_EQ(pool.Take(), base + 16 * 17) << "the freed block is the next one given";
}

TEST(UsbBlockPool, RunsAreFirstFitAcrossWordsAndABlockCountOffTheWordsHandsOutNothingBeyond)
{
    BlockPool pool("Runs", 1024, 200);
    uint8_t* base = pool.GetBase();
    // Take everything, then free blocks 30..99 (crossing two words) and 150..199.
    ASSERT_EQ(pool.TakeBytes(200 * 1024), base);
    ASSERT_EQ(pool.GiveBackBytes(base + 30 * 1024, 70 * 1024), BlockPool::GIVE_BACK_OK);
    ASSERT_EQ(pool.GiveBackBytes(base + 150 * 1024, 50 * 1024), BlockPool::GIVE_BACK_OK);

    EXPECT_EQ(pool.TakeBytes(71 * 1024), nullptr) << "no run is that long";
    EXPECT_EQ(pool.GetFreeCount(), 120u) << "a failed run request sets no bit";
    EXPECT_EQ(pool.TakeBytes(3 * 1024 + 1), base + 30 * 1024) << "4 blocks, lowest run";
    EXPECT_EQ(pool.TakeBytes(67 * 1024), nullptr) << "66 left in a row at 34..99, 50 at 150..199";
    EXPECT_EQ(pool.TakeBytes(66 * 1024), base + 34 * 1024);
    EXPECT_EQ(pool.TakeBytes(50 * 1024), base + 150 * 1024);
    EXPECT_EQ(pool.TakeBytes(1), nullptr) << "block 200 and beyond are never handed out";
    EXPECT_EQ(pool.TakeBytes(0), nullptr);

    EXPECT_EQ(pool.Walk(BlockPool::WALK_FIRST, nullptr), base);
    pool.GiveBack(base + 120 * 1024);
    EXPECT_EQ(pool.Walk(BlockPool::WALK_NEXT_FREE, base), base + 120 * 1024);
    EXPECT_EQ(pool.Walk(BlockPool::WALK_NEXT_TAKEN, base + 120 * 1024), base + 121 * 1024);
    EXPECT_EQ(pool.Walk(BlockPool::WALK_NEXT_FREE, base + 120 * 1024), nullptr);
}

TEST(UsbRingQueue, HoldsOneLessThanItsEntriesAndKeepsOrderBetweenTwoThreads)
{
    RingQueue ring("Ring", sizeof(uint32_t), 1024, RingQueue::RING_READER_LOCK);
    uint32_t v = 0;
    for (v = 0; v < 1023; ++v)
    {
        ASSERT_EQ(ring.Push(&v), 1);
    }
    EXPECT_EQ(ring.Push(&v), 0);
    EXPECT_EQ(ring.GetCount(), 1023u);
    uint32_t out = 99;
    EXPECT_EQ(ring.Pop(nullptr), 0);
    EXPECT_EQ(ring.Push(nullptr), 0);
    for (uint32_t i = 0; i < 1023; ++i)
    {
        ASSERT_EQ(ring.Pop(&out), 1);
        ASSERT_EQ(out, i);
    }
    EXPECT_EQ(ring.Pop(&out), 0);

    // One writer without a lock, one reader: every value once, in order.
    constexpr uint32_t kCount = 200000;
    std::thread writer(
        [&ring]
        {
            for (uint32_t i = 0; i < kCount;)
            {
                if (ring.Push(&i) == 1)
                {
                    ++i;
                }
            }
        });
    uint32_t expected = 0;
    while (expected < kCount)
    {
        if (ring.Pop(&out) == 1)
        {
            ASSERT_EQ(out, expected);
            ++expected;
        }
    }
    writer.join();
}

// Fills a reserved buffer with a numbered text and pushes it.
bool PushNumbered(UsbLinkChannel& Channel, uint32_t n, uint32_t Size)
{
    UsbLinkDescriptor* p = Channel.Reserve(Size);
    if (p == nullptr)
    {
        return false;
    }
    std::memset(p->pData, 0, Size);
    std::memcpy(p->pData, &n, sizeof(n));
    p->Length = Size;
    return Channel.Push(p) == UsbLinkChannel::PUSH_OK;
}

uint32_t NumberOf(const UsbLinkDescriptor* p)
{
    uint32_t n = 0;
    std::memcpy(&n, p->pData, sizeof(n));
    return n;
}

TEST(UsbLinkChannel, AFullChannelDropsItsOldestBuffersAndGivesTheirRoomBack)
{
    {
        // The ring holds 1023 buffers: one more drops the oldest.
        UsbLinkChannel roomy(0, 2048);
        for (uint32_t n = 0; n < 1024; ++n)
        {
            ASSERT_TRUE(PushNumbered(roomy, n, 4)) << n;
        }
        EXPECT_EQ(roomy.GetDropped(), 1u);
        for (uint32_t n = 1; n < 1024; ++n)
        {
            UsbLinkDescriptor* p = roomy.WaitPop(0);
            ASSERT_NE(p, nullptr);
            ASSERT_EQ(NumberOf(p), n) << "the newest are kept, in order";
            roomy.GiveBack(p);
        }
        EXPECT_EQ(roomy.WaitPop(0), nullptr);
        EXPECT_EQ(roomy.GetDataPool().GetFreeCount(), 2048u) << "the dropped buffer gave its block back";
    }

    // With 64 data blocks, each buffer past them takes the oldest one's room.
    UsbLinkChannel channel(0, 64);
    EXPECT_EQ(channel.Reserve(0), nullptr);
    for (uint32_t n = 0; n < 100; ++n)
    {
        ASSERT_TRUE(PushNumbered(channel, n, 4)) << n;
    }
    EXPECT_EQ(channel.GetQueued(), 64u);
    EXPECT_EQ(channel.GetDropped(), 36u);
    UsbLinkDescriptor* oldest = channel.WaitPop(0);
    ASSERT_NE(oldest, nullptr);
    EXPECT_EQ(NumberOf(oldest), 36u);
    channel.GiveBack(oldest);
    channel.Flush();

    // A buffer bigger than the pool is not found; one of the pool's size drops all before it.
    EXPECT_EQ(channel.Reserve(65 * 1024), nullptr);
    ASSERT_TRUE(PushNumbered(channel, 1, 1024));
    UsbLinkDescriptor* big = channel.Reserve(64 * 1024);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(channel.GetQueued(), 0u);
    channel.GiveBack(big);

    // Both parts of a packet or neither.
    UsbLinkDescriptor* a = channel.Reserve(10);
    UsbLinkDescriptor* b = channel.Reserve(10);
    ASSERT_EQ(channel.PushPair(a, b), UsbLinkChannel::PUSH_OK);
    EXPECT_EQ(channel.WaitPop(0), a);
    EXPECT_EQ(channel.WaitPop(0), b);
    channel.GiveBack(a);
    channel.GiveBack(b);

    ASSERT_TRUE(PushNumbered(channel, 7, 4));
    channel.Flush();
    EXPECT_EQ(channel.GetQueued(), 0u);
    EXPECT_EQ(channel.GetDropped(), 0u);
    EXPECT_EQ(channel.GetDataPool().GetFreeCount(), 64u);
    EXPECT_EQ(channel.Push(nullptr), UsbLinkChannel::PUSH_NULL);
}

TEST(UsbLinkChannel, AProducerAndAConsumerInTwoThreadsLoseNothingWhileThereIsRoom)
{
    UsbLinkChannel channel(1);
    constexpr uint32_t kCount = 20000;
    std::atomic<bool> bDone{false};
    std::thread producer(
        [&]
        {
            for (uint32_t n = 0; n < kCount; ++n)
            {
                // The consumer keeps up, so the channel never needs to drop.
                while (channel.GetQueued() > 512)
                {
                    std::this_thread::yield();
                }
                PushNumbered(channel, n, 100 + n % 3000);
            }
            bDone.store(true);
        });
    uint32_t expected = 0;
    while (expected < kCount)
    {
        UsbLinkDescriptor* p = channel.WaitPop(100);
        if (p == nullptr)
        {
            ASSERT_FALSE(bDone.load() && channel.GetQueued() == 0) << "lost after " << expected;
            continue;
        }
        ASSERT_EQ(NumberOf(p), expected);
        ASSERT_EQ(p->Length, 100 + expected % 3000);
        channel.GiveBack(p);
        ++expected;
    }
    producer.join();
    EXPECT_EQ(channel.GetDropped(), 0u);
    EXPECT_EQ(channel.GetDataPool().GetFreeCount(), UsbLinkChannel::DEFAULT_BLOCKS);
}

TEST(UsbLinkThread, StartsWithItsHandshakeStopsCooperativelyAndIsNeverKilled)
{
    AutoResetEvent event;
    EXPECT_EQ(event.Wait(1), -1);
    event.Set();
    EXPECT_EQ(event.Wait(0), 0);
    EXPECT_EQ(event.Wait(1), -1) << "the event clears itself";

    std::atomic<bool> bStop{false};
    std::atomic<int> turns{0};
    LinkThread worker("Worker");
    EXPECT_EQ(worker.GetState(), LinkThread::THREAD_CREATED);
    ASSERT_EQ(worker.Start(
                  [&]
                  {
                      while (!bStop.load())
                      {
                          ++turns;
                          std::this_thread::sleep_for(milliseconds(1));
                      }
                  },
                  3000),
              0);
    EXPECT_EQ(worker.GetState(), LinkThread::THREAD_RUNNING);
    while (turns.load() == 0)
    {
        std::this_thread::yield();
    }
    bStop.store(true);
    EXPECT_EQ(worker.Stop(3000), LinkThread::THREAD_ENDED);
    EXPECT_EQ(worker.GetState(), LinkThread::THREAD_ENDED);

    // A body that does not follow its stop request is left running, not
    // killed; what it uses stays alive, and it ends on its own later.
    auto pRelease = std::make_shared<std::atomic<bool>>(false);
    {
        LinkThread stubborn("Stubborn");
        ASSERT_EQ(stubborn.Start(
                      [pRelease]
                      {
                          while (!pRelease->load())
                          {
                              std::this_thread::sleep_for(milliseconds(1));
                          }
                      },
                      3000),
                  0);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(stubborn.Stop(50), LinkThread::THREAD_NOT_ENDED);
        EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(2000));
    }
    pRelease->store(true);
    std::this_thread::sleep_for(milliseconds(20));
}
} // namespace
