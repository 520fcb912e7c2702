#include "monitor/ports/usb/usb_link_primitives.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>

#include "monitor/ports/usb/usb_device.h"

namespace
{
void CopyName(char (&Dest)[16], const char* pName)
{
    if (pName != nullptr)
    {
        std::strncpy(Dest, pName, sizeof(Dest) - 1);
    }
}

uint32_t Blocks(uint32_t n, uint32_t BlockSize)
{
    return static_cast<uint32_t>((uint64_t{n} + BlockSize - 1) / BlockSize);
}
} // namespace

LinkStorage LinkAllocZeroed(size_t Size) { return LinkStorage(static_cast<uint8_t*>(std::calloc(Size ? Size : 1, 1))); }

BlockPool::BlockPool(const char* pName, uint32_t BlockSize, uint32_t BlockCount)
    : m_BlockSize(BlockSize == 0 ? 1 : BlockSize), m_BlockCount(BlockCount),
      m_pStorage(LinkAllocZeroed(size_t{m_BlockSize} * BlockCount)), m_Bitmap((BlockCount + 31) / 32, 0)
{
    CopyName(m_Name, pName);
    if (!m_pStorage)
    {
        throw std::bad_alloc();
    }
    // Bits past the block count read as taken, so no block outside the storage is ever handed out.
    if (BlockCount % 32 != 0)
    {
        m_Bitmap.back() = ~((1u << (BlockCount % 32)) - 1u);
    }
}

void BlockPool::SetBits(uint32_t First, uint32_t n, bool bTaken)
{
    for (uint32_t i = First; i < First + n; ++i)
    {
        const uint32_t mask = 1u << (i % 32);
        if (bTaken)
        {
            m_Bitmap[i / 32] |= mask;
        }
        else
        {
            m_Bitmap[i / 32] &= ~mask;
        }
    }
}

uint8_t* BlockPool::Take()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    for (size_t w = 0; w < m_Bitmap.size(); ++w)
    {
        if (m_Bitmap[w] != 0xFFFFFFFFu)
        {
            const uint32_t bit = static_cast<uint32_t>(__builtin_ctz(~m_Bitmap[w]));
            m_Bitmap[w] |= 1u << bit;
            return m_pStorage.get() + (w * 32 + bit) * size_t{m_BlockSize};
        }
    }
    return nullptr;
}

uint8_t* BlockPool::TakeBytes(uint32_t n)
{
    if (n == 0)
    {
        return nullptr;
    }
    const uint32_t k = Blocks(n, m_BlockSize);
    if (k == 1)
    {
        return Take();
    }
    if (k > m_BlockCount)
    {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(m_Lock);
    uint32_t run = 0;
    uint32_t i = 0;
    while (i < m_BlockCount)
    {
        // Whole words are skipped when taken, and taken whole when free.
        if (i % 32 == 0)
        {
            const uint32_t word = m_Bitmap[i / 32];
            if (word == 0xFFFFFFFFu)
            {
                run = 0;
                i += 32;
                continue;
            }
            if (word == 0 && k - run >= 32)
            {
                run += 32;
                i += 32;
                if (run == k)
                {
                    break;
                }
                continue;
            }
        }
        run = BitSet(i) ? 0 : run + 1;
        ++i;
        if (run == k)
        {
            break;
        }
    }
    if (run != k)
    {
        return nullptr;
    }
    const uint32_t first = i - k;
    SetBits(first, k, true);
    return m_pStorage.get() + first * size_t{m_BlockSize};
}

int BlockPool::CheckAddress(const void* p, uint32_t* pIndex) const
{
    const auto* pByte = static_cast<const uint8_t*>(p);
    const uint8_t* pBase = m_pStorage.get();
    if (pByte < pBase || pByte >= pBase + size_t{m_BlockSize} * m_BlockCount)
    {
        return GIVE_BACK_OUTSIDE;
    }
    const size_t offset = static_cast<size_t>(pByte - pBase);
    if (offset % m_BlockSize != 0)
    {
        return GIVE_BACK_NOT_ALIGNED;
    }
    *pIndex = static_cast<uint32_t>(offset / m_BlockSize);
    return GIVE_BACK_OK;
}

int BlockPool::GiveBack(const void* p) { return GiveBackBytes(p, m_BlockSize); }

int BlockPool::GiveBackBytes(const void* p, uint32_t n)
{
    uint32_t first = 0;
    const int checked = CheckAddress(p, &first);
    if (checked != GIVE_BACK_OK)
    {
        return checked;
    }
    const uint32_t k = std::min(Blocks(n, m_BlockSize), m_BlockCount - first);
    std::lock_guard<std::mutex> lock(m_Lock);
    SetBits(first, k, false);
    return GIVE_BACK_OK;
}

uint8_t* BlockPool::Walk(WALK_E Mode, const void* p) const
{
    if (m_BlockCount == 0)
    {
        return nullptr;
    }
    if (Mode == WALK_FIRST)
    {
        return m_pStorage.get();
    }
    uint32_t from = 0;
    if (p != nullptr)
    {
        uint32_t index = 0;
        const auto* pByte = static_cast<const uint8_t*>(p);
        if (pByte < m_pStorage.get())
        {
            from = 0;
        }
        else
        {
            const int checked = CheckAddress(p, &index);
            if (checked == GIVE_BACK_OUTSIDE)
            {
                return nullptr;
            }
            if (checked == GIVE_BACK_NOT_ALIGNED)
            {
                index = static_cast<uint32_t>((pByte - m_pStorage.get()) / m_BlockSize);
            }
            from = index + 1;
        }
    }
    std::lock_guard<std::mutex> lock(m_Lock);
    for (uint32_t i = from; i < m_BlockCount; ++i)
    {
        if (BitSet(i) == (Mode == WALK_NEXT_TAKEN))
        {
            return m_pStorage.get() + i * size_t{m_BlockSize};
        }
    }
    return nullptr;
}

bool BlockPool::IsTaken(const void* p) const
{
    uint32_t index = 0;
    if (CheckAddress(p, &index) != GIVE_BACK_OK)
    {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_Lock);
    return BitSet(index);
}

int BlockPool::IndexOf(const void* p) const
{
    uint32_t index = 0;
    return CheckAddress(p, &index) == GIVE_BACK_OK ? static_cast<int>(index) : -1;
}

uint32_t BlockPool::GetFreeCount() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    uint32_t taken = 0;
    for (uint32_t word : m_Bitmap)
    {
        taken += static_cast<uint32_t>(__builtin_popcount(word));
    }
    return static_cast<uint32_t>(m_Bitmap.size() * 32 - taken);
}

RingQueue::RingQueue(const char* pName, uint32_t EntrySize, uint32_t EntryCount, uint32_t Flags)
    : m_EntrySize(EntrySize), m_EntryCount(EntryCount < 2 ? 2 : EntryCount),
      m_pStorage(LinkAllocZeroed(size_t{EntrySize} * m_EntryCount))
{
    CopyName(m_Name, pName);
    if (!m_pStorage)
    {
        throw std::bad_alloc();
    }
    if (Flags & RING_WRITER_LOCK)
    {
        m_pWriterLock = std::make_unique<std::mutex>();
    }
    if (Flags & RING_READER_LOCK)
    {
        m_pReaderLock = std::make_unique<std::mutex>();
    }
}

int RingQueue::Push(const void* pEntry)
{
    if (pEntry == nullptr)
    {
        return 0;
    }
    std::unique_lock<std::mutex> lock;
    if (m_pWriterLock)
    {
        lock = std::unique_lock<std::mutex>(*m_pWriterLock);
    }
    const uint32_t write = m_Write.load(std::memory_order_relaxed);
    const uint32_t next = write + 1 == m_EntryCount ? 0 : write + 1;
    if (next == m_Read.load(std::memory_order_acquire))
    {
        return 0;
    }
    std::memcpy(m_pStorage.get() + size_t{write} * m_EntrySize, pEntry, m_EntrySize);
    m_Write.store(next, std::memory_order_release);
    return 1;
}

int RingQueue::Pop(void* pEntry)
{
    if (pEntry == nullptr)
    {
        return 0;
    }
    std::unique_lock<std::mutex> lock;
    if (m_pReaderLock)
    {
        lock = std::unique_lock<std::mutex>(*m_pReaderLock);
    }
    const uint32_t read = m_Read.load(std::memory_order_relaxed);
    if (read == m_Write.load(std::memory_order_acquire))
    {
        return 0;
    }
    std::memcpy(pEntry, m_pStorage.get() + size_t{read} * m_EntrySize, m_EntrySize);
    m_Read.store(read + 1 == m_EntryCount ? 0 : read + 1, std::memory_order_release);
    return 1;
}

int RingQueue::Peek(void* pEntry) const
{
    if (pEntry == nullptr)
    {
        return 0;
    }
    const uint32_t read = m_Read.load(std::memory_order_relaxed);
    if (read == m_Write.load(std::memory_order_acquire))
    {
        return 0;
    }
    std::memcpy(pEntry, m_pStorage.get() + size_t{read} * m_EntrySize, m_EntrySize);
    return 1;
}

uint32_t RingQueue::GetCount() const
{
    const uint32_t write = m_Write.load(std::memory_order_acquire);
    const uint32_t read = m_Read.load(std::memory_order_acquire);
    return write >= read ? write - read : m_EntryCount - read + write;
}

void AutoResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bSignalled = true;
    }
    m_Cond.notify_one();
}

void AutoResetEvent::Reset()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bSignalled = false;
}

int AutoResetEvent::Wait(uint32_t TimeoutMs)
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (!m_Cond.wait_for(lock, std::chrono::milliseconds(TimeoutMs), [this] { return m_bSignalled; }))
    {
        return -1;
    }
    m_bSignalled = false;
    return 0;
}

UsbLinkChannel::UsbLinkChannel(uint32_t Number, uint32_t BlockCount)
    : m_Number(Number), m_Data("LogData", BLOCK_SIZE, BlockCount),
      m_Params("LogParam", sizeof(UsbLinkDescriptor), DESCRIPTORS),
      m_Ring("Log", sizeof(UsbLinkDescriptor*), RING_ENTRIES, RingQueue::RING_READER_LOCK)
{
}

void UsbLinkChannel::GiveBack(UsbLinkDescriptor* pDesc)
{
    if (pDesc == nullptr)
    {
        return;
    }
    if (pDesc->pData != nullptr)
    {
        m_Data.GiveBackBytes(pDesc->pData, pDesc->Capacity);
    }
    m_Params.GiveBack(pDesc);
}

bool UsbLinkChannel::DropOldest()
{
    UsbLinkDescriptor* pOld = nullptr;
    if (m_Ring.Pop(&pOld) != 1)
    {
        return false;
    }
    GiveBack(pOld);
    m_Dropped.fetch_add(1);
    return true;
}

void UsbLinkChannel::Flush()
{
    UsbLinkDescriptor* pOld = nullptr;
    while (m_Ring.Pop(&pOld) == 1)
    {
        GiveBack(pOld);
    }
    m_bEnabled.store(true);
    m_Dropped.store(0);
}

UsbLinkDescriptor* UsbLinkChannel::Reserve(uint32_t Size)
{
    if (Size == 0)
    {
        return nullptr;
    }
    UsbLinkDescriptor* pDesc = nullptr;
    uint8_t* pData = nullptr;
    for (int tries = 0; tries < MAX_TRIES; ++tries)
    {
        if (pDesc == nullptr)
        {
            pDesc = reinterpret_cast<UsbLinkDescriptor*>(m_Params.Take());
        }
        if (pData == nullptr)
        {
            pData = m_Data.TakeBytes(Size);
        }
        if (pDesc != nullptr && pData != nullptr)
        {
            *pDesc = UsbLinkDescriptor{pData, 0, Size};
            return pDesc;
        }
        if (!DropOldest())
        {
            break;
        }
    }
    if (pDesc != nullptr)
    {
        m_Params.GiveBack(pDesc);
    }
    if (pData != nullptr)
    {
        m_Data.GiveBackBytes(pData, Size);
    }
    if (Size > BLOCK_SIZE)
    {
        UsbTrace("#W,Reserve,%u bytes not found on channel %u\n", Size, m_Number);
    }
    return nullptr;
}

int UsbLinkChannel::Push(UsbLinkDescriptor* pDesc)
{
    if (pDesc == nullptr)
    {
        return PUSH_NULL;
    }
    if (!m_bEnabled.load())
    {
        return PUSH_DISABLED;
    }
    for (int tries = 0; tries < MAX_TRIES; ++tries)
    {
        if (m_Ring.Push(&pDesc) == 1)
        {
            m_Event.Set();
            return PUSH_OK;
        }
        if (!DropOldest())
        {
            break;
        }
    }
    return PUSH_GAVE_UP;
}

int UsbLinkChannel::PushPair(UsbLinkDescriptor* pFirst, UsbLinkDescriptor* pSecond)
{
    if (pFirst == nullptr && pSecond == nullptr)
    {
        return PUSH_NULL;
    }
    if (!m_bEnabled.load())
    {
        return PUSH_DISABLED;
    }
    const uint32_t needed = (pFirst != nullptr ? 1u : 0u) + (pSecond != nullptr ? 1u : 0u);
    // Only this thread pushes, so room made here stays.
    while (m_Ring.GetCapacity() - m_Ring.GetCount() < needed)
    {
        if (!DropOldest())
        {
            return PUSH_GAVE_UP;
        }
    }
    for (UsbLinkDescriptor* pDesc : {pFirst, pSecond})
    {
        if (pDesc != nullptr)
        {
            m_Ring.Push(&pDesc);
        }
    }
    m_Event.Set();
    return PUSH_OK;
}

UsbLinkDescriptor* UsbLinkChannel::WaitPop(uint32_t TimeoutMs)
{
    UsbLinkDescriptor* pDesc = nullptr;
    if (m_Ring.Pop(&pDesc) == 1)
    {
        return pDesc;
    }
    if (m_Event.Wait(TimeoutMs) == 0 && m_Ring.Pop(&pDesc) == 1)
    {
        return pDesc;
    }
    return nullptr;
}

LinkThread::LinkThread(const char* pName) : m_pShared(std::make_shared<SHARED_T>()) { CopyName(m_Name, pName); }

LinkThread::~LinkThread()
{
    if (!m_Thread.joinable())
    {
        return;
    }
    bool bEnded = false;
    {
        std::lock_guard<std::mutex> lock(m_pShared->EndMutex);
        bEnded = m_pShared->bEnded;
    }
    if (bEnded)
    {
        m_Thread.join();
    }
    else
    {
        m_Thread.detach();
    }
}

uint32_t LinkThread::GetState() const { return m_pShared->State.load(); }

int LinkThread::Start(std::function<void()> Body, uint32_t StartTimeoutMs)
{
    if (m_Thread.joinable())
    {
        return -1;
    }
    std::shared_ptr<SHARED_T> pShared = m_pShared;
    try
    {
        m_Thread = std::thread(
            [pShared, Body = std::move(Body)]
            {
                pShared->State.store(THREAD_RUNNING);
                pShared->Started.Set();
                Body();
                std::lock_guard<std::mutex> lock(pShared->EndMutex);
                pShared->bEnded = true;
                pShared->State.store(THREAD_ENDED);
                pShared->EndCond.notify_all();
            });
    }
    catch (const std::system_error&)
    {
        m_pShared->State.store(THREAD_START_FAILED);
        return -1;
    }
    if (m_pShared->Started.Wait(StartTimeoutMs) != 0)
    {
        // The thread exists but did not begin in time; Stop still waits for it.
        m_pShared->State.store(THREAD_START_FAILED);
        return -1;
    }
    return 0;
}

uint32_t LinkThread::Stop(uint32_t TimeoutMs)
{
    if (!m_Thread.joinable())
    {
        return m_pShared->State.load();
    }
    std::unique_lock<std::mutex> lock(m_pShared->EndMutex);
    if (!m_pShared->EndCond.wait_for(lock, std::chrono::milliseconds(TimeoutMs), [this] { return m_pShared->bEnded; }))
    {
        m_pShared->State.store(THREAD_NOT_ENDED);
        UsbTrace("#E,Thread %s did not end in %u ms; left running\n", m_Name, TimeoutMs);
        return THREAD_NOT_ENDED;
    }
    lock.unlock();
    m_Thread.join();
    return THREAD_ENDED;
}
