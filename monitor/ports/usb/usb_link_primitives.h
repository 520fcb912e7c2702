// Building blocks of the USB link library that allocate nothing after they
// are made: fixed-block pools with a free bitmap, fixed rings of equal
// entries, receive channels built of both, an auto-reset event and a thread
// wrapper. A session sizes every pool once, so the data path never touches
// the heap.
//
// Threads are never killed: a thread that does not end within its stop time
// is left running and reported, and its owner must then keep everything the
// thread uses alive. Every wait of the link library is bounded so that this
// does not happen.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Zeroed storage allocated once; large areas get the system's zero pages, so
// memory is used only where data are written.
struct LinkFreeDeleter
{
    void operator()(uint8_t* p) const { std::free(p); }
};
using LinkStorage = std::unique_ptr<uint8_t[], LinkFreeDeleter>;
LinkStorage LinkAllocZeroed(size_t Size);

class BlockPool
{
public:
    // Walk modes.
    enum WALK_E
    {
        WALK_NEXT_FREE = 0,
        WALK_NEXT_TAKEN = 1,
        WALK_FIRST = 2,
    };
    // GiveBack results.
    enum GIVE_BACK_E
    {
        GIVE_BACK_OK = 0,
        GIVE_BACK_OUTSIDE = -1,     // the address lies outside the storage
        GIVE_BACK_NOT_ALIGNED = -2, // not on a block boundary
    };

    BlockPool(const char* pName, uint32_t BlockSize, uint32_t BlockCount);
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

    // One block, or null when every block is taken.
    uint8_t* Take();
    // ceil(n / block size) consecutive blocks (the lowest run that fits), or
    // null for n = 0 or when no run is free; nothing changes on failure.
    uint8_t* TakeBytes(uint32_t n);
    int GiveBack(const void* p);
    // Gives back the ceil(n / block size) blocks from p on.
    int GiveBackBytes(const void* p, uint32_t n);
    // The next free or taken block after p (from the first block when p is
    // null), or the first block for WALK_FIRST; null when there is none.
    uint8_t* Walk(WALK_E Mode, const void* p) const;
    bool IsTaken(const void* p) const;
    uint32_t GetFreeCount() const;

    const char* GetName() const { return m_Name; }
    uint32_t GetBlockSize() const { return m_BlockSize; }
    uint32_t GetBlockCount() const { return m_BlockCount; }
    uint8_t* GetBase() const { return m_pStorage.get(); }
    // Index of the block at p, or -1 when p is not a block's address.
    int IndexOf(const void* p) const;

private:
    bool BitSet(uint32_t i) const { return (m_Bitmap[i / 32] >> (i % 32)) & 1u; }
    void SetBits(uint32_t First, uint32_t n, bool bTaken);
    int CheckAddress(const void* p, uint32_t* pIndex) const;

    char m_Name[16] = {};
    const uint32_t m_BlockSize;
    const uint32_t m_BlockCount;
    LinkStorage m_pStorage;
    std::vector<uint32_t> m_Bitmap; // bit set = taken; bits past the count stay set
    mutable std::mutex m_Lock;
};

class RingQueue
{
public:
    enum FLAGS_E : uint32_t
    {
        RING_WRITER_LOCK = 1,
        RING_READER_LOCK = 2,
    };

    RingQueue(const char* pName, uint32_t EntrySize, uint32_t EntryCount, uint32_t Flags);
    RingQueue(const RingQueue&) = delete;
    RingQueue& operator=(const RingQueue&) = delete;

    // 1 pushed, 0 full or null entry. Without the writer lock only one thread may push.
    int Push(const void* pEntry);
    // 1 popped (the oldest entry), 0 empty or null target. Without the reader
    // lock only one thread may pop.
    int Pop(void* pEntry);
    // Copies the oldest entry out without removing it; for the only popper.
    int Peek(void* pEntry) const;
    uint32_t GetCount() const;
    uint32_t GetCapacity() const { return m_EntryCount - 1; }

private:
    char m_Name[16] = {};
    const uint32_t m_EntrySize;
    const uint32_t m_EntryCount;
    LinkStorage m_pStorage;
    std::atomic<uint32_t> m_Write{0};
    std::atomic<uint32_t> m_Read{0};
    std::unique_ptr<std::mutex> m_pWriterLock;
    std::unique_ptr<std::mutex> m_pReaderLock;
};

class AutoResetEvent
{
public:
    void Set();
    void Reset();
    // 0 when signalled (the event is cleared again), -1 on time-out.
    int Wait(uint32_t TimeoutMs);

private:
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    bool m_bSignalled = false;
};

// One received buffer: its data in the channel's data pool, the bytes it
// holds and the bytes reserved for it.
struct UsbLinkDescriptor
{
    uint8_t* pData;
    uint32_t Length;
    uint32_t Capacity;
};

// One receive channel: received buffers wait in a ring for the reader. The
// link thread is the only writer; a full channel loses its oldest buffers,
// never the newest, and counts them.
class UsbLinkChannel
{
public:
    static constexpr uint32_t BLOCK_SIZE = 1024;
    static constexpr uint32_t DEFAULT_BLOCKS = 16384;
    static constexpr uint32_t DESCRIPTORS = 2048;
    static constexpr uint32_t RING_ENTRIES = 1024;
    static constexpr int MAX_TRIES = 1024;

    // Push results.
    enum PUSH_E
    {
        PUSH_OK = 0,
        PUSH_NULL = -1,
        PUSH_GAVE_UP = -2,
        PUSH_DISABLED = -3,
    };

    explicit UsbLinkChannel(uint32_t Number, uint32_t BlockCount = DEFAULT_BLOCKS);
    UsbLinkChannel(const UsbLinkChannel&) = delete;
    UsbLinkChannel& operator=(const UsbLinkChannel&) = delete;

    // Gives every queued buffer back; enabled again, drop count 0.
    void Flush();
    // A descriptor with room for Size bytes, dropping the oldest queued
    // buffers when the pools are short; null for 0 or when no room is found.
    UsbLinkDescriptor* Reserve(uint32_t Size);
    int Push(UsbLinkDescriptor* pDesc);
    // Pushes both buffers or neither (either may be null), so that the reader
    // never gets half of what arrived together.
    int PushPair(UsbLinkDescriptor* pFirst, UsbLinkDescriptor* pSecond);
    // The oldest buffer, waiting up to TimeoutMs for one; null when none came.
    UsbLinkDescriptor* WaitPop(uint32_t TimeoutMs);
    // Returns a buffer's data blocks and its descriptor to the pools.
    void GiveBack(UsbLinkDescriptor* pDesc);

    uint32_t GetNumber() const { return m_Number; }
    bool IsEnabled() const { return m_bEnabled.load(); }
    uint32_t GetDropped() const { return m_Dropped.load(); }
    uint32_t GetQueued() const { return m_Ring.GetCount(); }
    const BlockPool& GetDataPool() const { return m_Data; }

private:
    bool DropOldest();

    const uint32_t m_Number;
    BlockPool m_Data;
    BlockPool m_Params;
    RingQueue m_Ring;
    AutoResetEvent m_Event;
    std::atomic<bool> m_bEnabled{true};
    std::atomic<uint32_t> m_Dropped{0};
};

class LinkThread
{
public:
    enum STATE_E : uint32_t
    {
        THREAD_CREATED = 0,
        THREAD_START_FAILED = 1,
        THREAD_RUNNING = 2,
        THREAD_ENDED = 3,
        THREAD_NOT_ENDED = 4, // did not end within the stop time; left running
    };

    explicit LinkThread(const char* pName);
    // A thread that is still running is left alone (see THREAD_NOT_ENDED);
    // what it shares with this object outlives both.
    ~LinkThread();
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;

    // Runs Body in a new thread and waits up to StartTimeoutMs for it to
    // begin; 0, or -1 with THREAD_START_FAILED.
    int Start(std::function<void()> Body, uint32_t StartTimeoutMs);
    // Waits up to TimeoutMs for the body to return (the caller has asked it
    // to first); the resulting state.
    uint32_t Stop(uint32_t TimeoutMs);
    uint32_t GetState() const;
    const char* GetName() const { return m_Name; }

private:
    struct SHARED_T
    {
        std::atomic<uint32_t> State{THREAD_CREATED};
        AutoResetEvent Started;
        std::mutex EndMutex;
        std::condition_variable EndCond;
        bool bEnded = false;
    };

    char m_Name[16] = {};
    std::thread m_Thread;
    std::shared_ptr<SHARED_T> m_pShared;
};
