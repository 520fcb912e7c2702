#include "monitor/ports/usb/usb_device.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "monitor/ports/usb/usb_receiver_ids.h"

namespace
{
std::atomic<UsbTraceSink> g_TraceSink{nullptr};

constexpr int kStringBufferSize = 516;
constexpr uint8_t kStringDescriptorType = 3;
// Reads of a flush: each takes what is there within a millisecond.
constexpr int kFlushReads = 64;
constexpr int kFlushChunk = 4096;

bool IsLive(const UsbDeviceRecord* pRecord)
{
    return pRecord != nullptr && pRecord->Magic.load(std::memory_order_acquire) == USB_DEV_MAGIC;
}

// Marks a record invalid for good; its memory stays with the table.
void Retire(UsbDeviceRecord* pRecord)
{
    pRecord->Handle.reset();
    pRecord->OpenCount = 0;
    pRecord->Magic.store(0, std::memory_order_release);
}

void AppendUtf8(uint32_t Code, std::string* pOut, size_t MaxBytes, bool* pFull)
{
    char bytes[4];
    size_t n = 0;
    if (Code < 0x80)
    {
        bytes[n++] = static_cast<char>(Code);
    }
    else if (Code < 0x800)
    {
        bytes[n++] = static_cast<char>(0xC0 | (Code >> 6));
        bytes[n++] = static_cast<char>(0x80 | (Code & 0x3F));
    }
    else if (Code < 0x10000)
    {
        bytes[n++] = static_cast<char>(0xE0 | (Code >> 12));
        bytes[n++] = static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | (Code & 0x3F));
    }
    else
    {
        bytes[n++] = static_cast<char>(0xF0 | (Code >> 18));
        bytes[n++] = static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | (Code & 0x3F));
    }
    // A character that does not fit whole ends the text.
    if (pOut->size() + n > MaxBytes)
    {
        *pFull = true;
        return;
    }
    pOut->append(bytes, n);
}

CUsbBackendHandle* HandleOf(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord)
{
    std::lock_guard<std::mutex> lock(pTable->DeviceLock);
    return pRecord->Handle.get();
}

int Transfer(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord, uint8_t Endpoint, uint8_t* pBuf, uint32_t Length,
             uint32_t TimeoutMs, std::atomic<uint32_t>* pShortCount, const std::atomic<bool>* pAbort)
{
    if (pTable == nullptr || !IsLive(pRecord))
    {
        return USB_DEV_BAD_RECORD;
    }
    if (Length == 0)
    {
        return 0;
    }
    CUsbBackendHandle* pHandle = HandleOf(pTable, pRecord);
    if (pHandle == nullptr)
    {
        return USB_DEV_NOT_OPEN;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max<uint32_t>(TimeoutMs, 1));
    const uint32_t length = std::min<uint32_t>(Length, 0x7FFFFFFFu);
    uint32_t done = 0;
    // A short packet does not end the transfer: the rest may follow within the
    // time-out. With an abort flag the wait goes in slices, so that a stop
    // ends it within one slice; what a slice moved is kept.
    while (done < length)
    {
        if (pAbort != nullptr && pAbort->load())
        {
            break;
        }
        const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (rest <= 0 && done > 0)
        {
            break;
        }
        uint32_t slice = static_cast<uint32_t>(std::max<int64_t>(rest, 1));
        if (pAbort != nullptr)
        {
            slice = std::min(slice, USB_DEV_ABORT_SLICE_MS);
        }
        int n = 0;
        const USB_XFER_E result =
            pTable->Backend->BulkTransfer(pHandle, Endpoint, pBuf + done, static_cast<int>(length - done), slice, &n);
        done += static_cast<uint32_t>(std::clamp(n, 0, static_cast<int>(length - done)));
        if (result == USB_XFER_STALL)
        {
            pTable->Backend->ClearHalt(pHandle, Endpoint);
            break;
        }
        if ((result != USB_XFER_OK && result != USB_XFER_TIMEOUT) || Clock::now() >= deadline)
        {
            break;
        }
    }
    if (done == length)
    {
        pShortCount->store(0);
        return static_cast<int>(done);
    }
    if (pShortCount->fetch_add(1) + 1 < USB_DEV_SHORT_RESET_COUNT)
    {
        return static_cast<int>(done);
    }
    pShortCount->store(0);
    if (pTable->Backend->ClearHalt(pHandle, Endpoint) != 0)
    {
        return USB_DEV_RESET_FAILED;
    }
    return static_cast<int>(done);
}
} // namespace

void UsbSetTraceSink(UsbTraceSink pSink) { g_TraceSink.store(pSink); }

void UsbTrace(const char* pFormat, ...)
{
    const UsbTraceSink sink = g_TraceSink.load();
    if (sink == nullptr)
    {
        return;
    }
    char text[512];
    va_list args;
    va_start(args, pFormat);
    std::vsnprintf(text, sizeof(text), pFormat, args);
    va_end(args);
    sink(text);
}

UsbDeviceTable::UsbDeviceTable(std::shared_ptr<IUsbBackend> pBackend) : Backend(std::move(pBackend))
{
    UsbDevEnumerate(this, true);
}

UsbDeviceTable::~UsbDeviceTable()
{
    std::lock_guard<std::mutex> list(ListLock);
    std::lock_guard<std::mutex> device(DeviceLock);
    for (auto& pRecord : Records)
    {
        Retire(pRecord.get());
    }
}

bool UsbDevDecodeString(const uint8_t* pDesc, int nReceived, size_t MaxBytes, std::string* pText)
{
    pText->clear();
    if (pDesc == nullptr || nReceived < 2)
    {
        return false;
    }
    const int length = pDesc[0];
    if (length < 2 || length > nReceived || pDesc[1] != kStringDescriptorType)
    {
        return false;
    }
    const int units = (length - 2) / 2;
    bool bFull = false;
    for (int i = 0; i < units && !bFull; ++i)
    {
        uint32_t code = static_cast<uint32_t>(pDesc[2 + 2 * i] | (pDesc[3 + 2 * i] << 8));
        if (code == 0)
        {
            break;
        }
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units)
        {
            const uint32_t low = static_cast<uint32_t>(pDesc[4 + 2 * i] | (pDesc[5 + 2 * i] << 8));
            if (low >= 0xDC00 && low < 0xE000)
            {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
            else
            {
                code = 0xFFFD;
            }
        }
        else if (code >= 0xD800 && code < 0xE000)
        {
            code = 0xFFFD;
        }
        AppendUtf8(code, pText, MaxBytes, &bFull);
    }
    return true;
}

int UsbDevEnumerate(UsbDeviceTable* pTable, bool Force)
{
    if (pTable == nullptr)
    {
        return USB_DEV_NO_DEVICE_LIST;
    }
    std::lock_guard<std::mutex> list(pTable->ListLock);
    const int old = pTable->Active;
    const int next = 1 - old;
    pTable->Counts[next] = 0;
    std::vector<USB_BUS_DEVICE_T> bus;
    const int listed = pTable->Backend ? pTable->Backend->ListDevices(&bus, false) : USB_DEV_NO_DEVICE_LIST;
    if (listed < 0)
    {
        UsbTrace("#E,GetDevInfo,%d\n", listed);
        return USB_DEV_NO_DEVICE_LIST;
    }
    std::vector<const USB_BUS_DEVICE_T*> receivers;
    for (const USB_BUS_DEVICE_T& device : bus)
    {
        if (UsbIsReceiverId(device.VendorId, device.ProductId))
        {
            receivers.push_back(&device);
        }
    }
    UsbDeviceRecord** pNew = pTable->Lists[next];
    int& count = pTable->Counts[next];
    for (size_t i = 0; i < receivers.size() && count < USB_DEV_MAX_DEVICES; ++i)
    {
        const std::string& path = receivers[i]->Path;
        if (path.empty() || path.size() > USB_DEV_PATH_MAX)
        {
            UsbTrace("#W,GetDevInterface,%d\n", static_cast<int>(i));
            break;
        }
        if (std::any_of(pNew, pNew + count, [&path](const UsbDeviceRecord* p) { return p->Path == path; }))
        {
            continue;
        }
        UsbDeviceRecord* pFound = nullptr;
        for (int k = 0; k < pTable->Counts[old]; ++k)
        {
            UsbDeviceRecord* pOld = pTable->Lists[old][k];
            if (IsLive(pOld) && pOld->Path == path)
            {
                pFound = pOld;
                break;
            }
        }
        if (pFound != nullptr)
        {
            if (Force || UsbDevGetProductName(pTable, pFound).empty())
            {
                UsbDevReadStrings(pTable, pFound);
            }
        }
        else
        {
            pTable->Records.push_back(std::make_unique<UsbDeviceRecord>());
            pFound = pTable->Records.back().get();
            pFound->Path = path;
            pFound->VendorId = receivers[i]->VendorId;
            pFound->ProductId = receivers[i]->ProductId;
            UsbDevReadStrings(pTable, pFound);
        }
        pNew[count++] = pFound;
    }
    pTable->Active = next;

    for (int k = 0; k < pTable->Counts[old]; ++k)
    {
        UsbDeviceRecord* pOld = pTable->Lists[old][k];
        pTable->Lists[old][k] = nullptr;
        if (std::find(pNew, pNew + count, pOld) != pNew + count)
        {
            continue;
        }
        std::lock_guard<std::mutex> device(pTable->DeviceLock);
        if (!IsLive(pOld))
        {
            continue;
        }
        if (pOld->OpenCount == 0)
        {
            Retire(pOld);
        }
        else
        {
            pOld->State.store(USB_DEV_STATE_REMOVED);
        }
    }
    pTable->Counts[old] = 0;
    return count;
}

int UsbDevRefresh(UsbDeviceTable* pTable) { return UsbDevEnumerate(pTable, false); }

int UsbDevListBus(UsbDeviceTable* pTable, std::vector<USB_BUS_DEVICE_T>* pDevices)
{
    pDevices->clear();
    if (pTable == nullptr || !pTable->Backend)
    {
        return USB_DEV_NO_DEVICE_LIST;
    }
    const int listed = pTable->Backend->ListDevices(pDevices, true);
    return listed < 0 ? USB_DEV_NO_DEVICE_LIST : static_cast<int>(pDevices->size());
}

UsbDeviceRecord* UsbDevGetByIndex(UsbDeviceTable* pTable, int Index)
{
    if (pTable == nullptr)
    {
        return nullptr;
    }
    std::lock_guard<std::mutex> list(pTable->ListLock);
    if (Index < 0 || Index >= pTable->Counts[pTable->Active])
    {
        return nullptr;
    }
    UsbDeviceRecord* pRecord = pTable->Lists[pTable->Active][Index];
    return IsLive(pRecord) ? pRecord : nullptr;
}

bool UsbDevIsValid(const UsbDeviceRecord* pRecord) { return IsLive(pRecord); }

uint32_t UsbDevGetState(const UsbDeviceRecord* pRecord)
{
    return pRecord != nullptr ? pRecord->State.load() : USB_DEV_STATE_REMOVED;
}

int UsbDevGetOpenFault(const UsbDeviceRecord* pRecord)
{
    return IsLive(pRecord) ? pRecord->OpenFault.load() : USB_OPEN_FAULT_NONE;
}

int UsbDevOpen(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord)
{
    if (pTable == nullptr || !IsLive(pRecord))
    {
        return USB_DEV_BAD_RECORD;
    }
    std::lock_guard<std::mutex> device(pTable->DeviceLock);
    if (!IsLive(pRecord))
    {
        return USB_DEV_BAD_RECORD;
    }
    if (pRecord->State.load() == USB_DEV_STATE_REMOVED)
    {
        pRecord->OpenFault.store(USB_OPEN_FAULT_GONE);
        return USB_DEV_CANNOT_OPEN;
    }
    if (!pRecord->Handle)
    {
        int error = USB_DEV_CANNOT_OPEN;
        USB_OPEN_FAULT_E fault = USB_OPEN_FAULT_OTHER;
        std::unique_ptr<CUsbBackendHandle> pHandle = pTable->Backend->Open(pRecord->Path, &error, &fault);
        if (!pHandle)
        {
            pRecord->OpenFault.store(fault == USB_OPEN_FAULT_NONE ? USB_OPEN_FAULT_OTHER : fault);
            pRecord->State.store(USB_DEV_STATE_OPEN_FAILED);
            if (error == USB_DEV_INIT_FAILED)
            {
                UsbTrace("#E,OpenDev,%d\n", error);
                return USB_DEV_INIT_FAILED;
            }
            return USB_DEV_CANNOT_OPEN;
        }
        pRecord->Handle = std::move(pHandle);
        pRecord->OpenFault.store(USB_OPEN_FAULT_NONE);
        pRecord->OpenCount = 0;
        pRecord->ReadShortCount.store(0);
        pRecord->WriteShortCount.store(0);
        pRecord->State.store(USB_DEV_STATE_OPEN);
    }
    ++pRecord->OpenCount;
    return USB_DEV_OK;
}

int UsbDevClose(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord)
{
    if (pTable == nullptr || !IsLive(pRecord))
    {
        return USB_DEV_BAD_RECORD;
    }
    std::lock_guard<std::mutex> device(pTable->DeviceLock);
    if (!IsLive(pRecord))
    {
        return USB_DEV_BAD_RECORD;
    }
    if (pRecord->OpenCount == 0)
    {
        return USB_DEV_NOT_OPEN;
    }
    if (--pRecord->OpenCount > 0)
    {
        return USB_DEV_OK;
    }
    pRecord->Handle.reset();
    if (pRecord->State.load() == USB_DEV_STATE_REMOVED)
    {
        Retire(pRecord);
    }
    else
    {
        pRecord->State.store(USB_DEV_STATE_CLOSED);
    }
    return USB_DEV_OK;
}

int UsbDevReadStrings(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord)
{
    if (pTable == nullptr || !IsLive(pRecord))
    {
        return USB_DEV_BAD_RECORD;
    }
    const int opened = UsbDevOpen(pTable, pRecord);
    if (opened != USB_DEV_OK)
    {
        return opened;
    }
    CUsbBackendHandle* pHandle = HandleOf(pTable, pRecord);
    std::string texts[2];
    const uint8_t indexes[2] = {USB_DEV_PRODUCT_STRING, USB_DEV_SERIAL_STRING};
    const size_t limits[2] = {USB_DEV_PRODUCT_MAX, USB_DEV_SERIAL_MAX};
    int result = USB_DEV_OK;
    for (int i = 0; i < 2 && result == USB_DEV_OK; ++i)
    {
        uint8_t buf[kStringBufferSize];
        const int n = pTable->Backend->ReadStringDescriptor(pHandle, indexes[i], buf, sizeof(buf));
        if (n < 0 || !UsbDevDecodeString(buf, std::min(n, kStringBufferSize), limits[i], &texts[i]))
        {
            result = USB_DEV_DESCRIPTOR_FAILED;
        }
    }
    if (result == USB_DEV_OK)
    {
        std::lock_guard<std::mutex> device(pTable->DeviceLock);
        std::memset(pRecord->ProductName, 0, sizeof(pRecord->ProductName));
        std::memset(pRecord->SerialNumber, 0, sizeof(pRecord->SerialNumber));
        std::memcpy(pRecord->ProductName, texts[0].data(), texts[0].size());
        std::memcpy(pRecord->SerialNumber, texts[1].data(), texts[1].size());
    }
    UsbDevClose(pTable, pRecord);
    return result;
}

int UsbDevProbe(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord)
{
    const int opened = UsbDevOpen(pTable, pRecord);
    if (opened != USB_DEV_OK)
    {
        return opened;
    }
    if (UsbDevGetProductName(pTable, pRecord).empty())
    {
        UsbDevReadStrings(pTable, pRecord);
    }
    UsbDevClose(pTable, pRecord);
    return USB_DEV_OK;
}

int UsbDevOpenWithStrings(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord)
{
    const int opened = UsbDevOpen(pTable, pRecord);
    if (opened != USB_DEV_OK || !UsbDevGetProductName(pTable, pRecord).empty())
    {
        return opened;
    }
    return UsbDevReadStrings(pTable, pRecord);
}

std::string UsbDevGetProductName(UsbDeviceTable* pTable, const UsbDeviceRecord* pRecord)
{
    if (pTable == nullptr || !IsLive(pRecord))
    {
        return {};
    }
    std::lock_guard<std::mutex> device(pTable->DeviceLock);
    return std::string(pRecord->ProductName, strnlen(pRecord->ProductName, sizeof(pRecord->ProductName)));
}

std::string UsbDevGetSerialNumber(UsbDeviceTable* pTable, const UsbDeviceRecord* pRecord)
{
    if (pTable == nullptr || !IsLive(pRecord))
    {
        return {};
    }
    std::lock_guard<std::mutex> device(pTable->DeviceLock);
    return std::string(pRecord->SerialNumber, strnlen(pRecord->SerialNumber, sizeof(pRecord->SerialNumber)));
}

int UsbDevReadPipe(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord, uint8_t Pipe, void* pBuf, uint32_t Length,
                   uint32_t TimeoutMs, const std::atomic<bool>* pAbort)
{
    if (pRecord == nullptr)
    {
        return USB_DEV_BAD_RECORD;
    }
    return Transfer(pTable, pRecord, UsbPipeInEndpoint(Pipe), static_cast<uint8_t*>(pBuf), Length, TimeoutMs,
                    &pRecord->ReadShortCount, pAbort);
}

int UsbDevWritePipe(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord, uint8_t Pipe, const void* pBuf, uint32_t Length,
                    uint32_t TimeoutMs, const std::atomic<bool>* pAbort)
{
    if (pRecord == nullptr)
    {
        return USB_DEV_BAD_RECORD;
    }
    // The backend takes one buffer type for both directions; an OUT transfer only reads it.
    return Transfer(pTable, pRecord, UsbPipeOutEndpoint(Pipe), static_cast<uint8_t*>(const_cast<void*>(pBuf)), Length,
                    TimeoutMs, &pRecord->WriteShortCount, pAbort);
}

int UsbDevFlushIn(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord, uint8_t Pipe)
{
    if (pTable == nullptr || !IsLive(pRecord))
    {
        return USB_DEV_BAD_RECORD;
    }
    CUsbBackendHandle* pHandle = HandleOf(pTable, pRecord);
    if (pHandle == nullptr)
    {
        return USB_DEV_NOT_OPEN;
    }
    uint8_t buf[kFlushChunk];
    for (int i = 0; i < kFlushReads; ++i)
    {
        int n = 0;
        const USB_XFER_E result =
            pTable->Backend->BulkTransfer(pHandle, UsbPipeInEndpoint(Pipe), buf, kFlushChunk, 1, &n);
        if (result != USB_XFER_OK || n <= 0)
        {
            break;
        }
    }
    return USB_DEV_OK;
}

int UsbDevFlushOut(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord, uint8_t)
{
    if (pTable == nullptr || !IsLive(pRecord))
    {
        return USB_DEV_BAD_RECORD;
    }
    return HandleOf(pTable, pRecord) != nullptr ? USB_DEV_OK : USB_DEV_NOT_OPEN;
}
