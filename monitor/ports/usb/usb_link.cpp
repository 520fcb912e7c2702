// The manager of the USB link library: the device list, the handle table,
// session creation and destruction, reading and writing through handles, and
// the firmware image update.
#include "monitor/ports/usb/usb_link.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "monitor/ports/usb/usb_libusb_backend.h"
#include "monitor/ports/usb/usb_link_session.h"

struct UsbLinkHandle
{
    std::atomic<uint32_t> Magic{0};
    bool bUsed = false; // in the table (manager lock)
    UsbDeviceRecord* pDevice = nullptr;
    UsbLinkSession* pSession = nullptr;
    uint32_t Channel = 0;
};

namespace
{
// The manager lives for the whole process and is never destroyed, so that a
// port closed late in the program's exit finds it intact.
struct UsbLinkManager
{
    std::mutex Lock; // "UsbMng": the handle table, session creation and destruction
    std::unique_ptr<UsbDeviceTable> pTable;
    std::vector<std::unique_ptr<UsbDeviceTable>> OldTables; // replaced tables; records may still be held
    std::mutex FolderLock;
    std::string WriteFileFolder;
};

UsbLinkManager& Manager()
{
    static UsbLinkManager* pManager = new UsbLinkManager;
    return *pManager;
}

// Handles live in one fixed table, so a handle pointer always points at
// valid memory and a closed handle is told by its magic.
UsbLinkHandle g_Handles[USB_LINK_MAX_HANDLES];

UsbDeviceTable* TableLocked(UsbLinkManager& Mgr)
{
    if (!Mgr.pTable)
    {
        Mgr.pTable = std::make_unique<UsbDeviceTable>(std::make_shared<CUsbLibusbBackend>());
    }
    return Mgr.pTable.get();
}

UsbDeviceTable* Table()
{
    UsbLinkManager& mgr = Manager();
    std::lock_guard<std::mutex> lock(mgr.Lock);
    return TableLocked(mgr);
}

bool IsHandle(const UsbLinkHandle* pHandle)
{
    const auto p = reinterpret_cast<uintptr_t>(pHandle);
    const auto first = reinterpret_cast<uintptr_t>(&g_Handles[0]);
    const auto end = reinterpret_cast<uintptr_t>(&g_Handles[USB_LINK_MAX_HANDLES]);
    if (p < first || p >= end || (p - first) % sizeof(UsbLinkHandle) != 0)
    {
        return false;
    }
    return pHandle->Magic.load(std::memory_order_acquire) == USB_LINK_HANDLE_MAGIC;
}

void CopyText(char* pDest, size_t Size, const std::string& Text)
{
    std::memset(pDest, 0, Size);
    std::memcpy(pDest, Text.data(), std::min(Text.size(), Size - 1));
}

// Every session, by its current device; a device belongs to one session.
std::mutex g_SessionsLock;
std::vector<UsbLinkSession*> g_Sessions;

void ArmLinkResetLocked(UsbLinkSession* pSession)
{
    pSession->bLinkResetPending.store(true);
    if (pSession->pLinkReset == nullptr)
    {
        // The session's first arming, while its pools are full.
        pSession->pLinkReset = UsbLinkBuildRequest(pSession, USB_LINK_TYPE_RESET, 0);
        if (pSession->pLinkReset == nullptr)
        {
            return;
        }
    }
    UsbLinkRequest* pRequest = pSession->pLinkReset;
    UsbLinkInitPacket(pRequest->pPacket, USB_LINK_TYPE_RESET);
    if (++pSession->SequenceCounter == 0)
    {
        ++pSession->SequenceCounter;
    }
    pRequest->pPacket->Sequence = pSession->SequenceCounter;
    pRequest->State = USB_LINK_REQUEST_QUEUED;
    pSession->pResetRequest = pRequest;
}

void DestroySession(UsbLinkSession* pSession)
{
    pSession->bStop.store(true);
    pSession->StopEvent.Set();
    pSession->CmdEvent.Set();
    const uint32_t server = pSession->Server.Stop(pSession->Timing.ThreadStopMs);
    pSession->CmdEvent.Set();
    const uint32_t cmd = pSession->Cmd.Stop(pSession->Timing.ThreadStopMs);
    if (server == LinkThread::THREAD_NOT_ENDED || cmd == LinkThread::THREAD_NOT_ENDED)
    {
        // A thread still uses the session: it is left in memory rather than freed under it.
        UsbTrace("#E,Session %s left running\n", pSession->SerialNumber);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(g_SessionsLock);
        g_Sessions.erase(std::remove(g_Sessions.begin(), g_Sessions.end(), pSession), g_Sessions.end());
    }
    if (pSession->bDeviceOpen)
    {
        UsbDevClose(pSession->pTable, pSession->pDevice.load());
        pSession->bDeviceOpen = false;
    }
    delete pSession;
}

UsbLinkSession* CreateSession(UsbDeviceTable* pTable, UsbDeviceRecord* pDevice)
{
    UsbLinkSession* pSession = nullptr;
    try
    {
        pSession = new UsbLinkSession(pTable);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
    pSession->pDevice.store(pDevice);
    std::string product = UsbDevGetProductName(pTable, pDevice);
    std::string serial = UsbDevGetSerialNumber(pTable, pDevice);
    if (product.empty() || serial.empty())
    {
        UsbDevReadStrings(pTable, pDevice);
        product = UsbDevGetProductName(pTable, pDevice);
        serial = UsbDevGetSerialNumber(pTable, pDevice);
    }
    if (product.empty() || serial.empty())
    {
        pSession->LinkState.store(USB_LINK_NO_STRINGS);
    }
    else
    {
        CopyText(pSession->ProductName, sizeof(pSession->ProductName), product);
        CopyText(pSession->SerialNumber, sizeof(pSession->SerialNumber), serial);
    }
    if (UsbDevOpenWithStrings(pTable, pDevice) == USB_DEV_OK)
    {
        pSession->bDeviceOpen = true;
    }
    else
    {
        pSession->LinkState.store(USB_LINK_CANNOT_OPEN);
    }
    {
        std::lock_guard<std::mutex> lock(pSession->SvrLock);
        ArmLinkResetLocked(pSession);
    }
    {
        std::lock_guard<std::mutex> lock(g_SessionsLock);
        g_Sessions.push_back(pSession);
    }
    if (pSession->Server.Start([pSession] { UsbLinkServe(pSession); }, pSession->Timing.ThreadStartMs) != 0 ||
        pSession->Cmd.Start([pSession] { UsbLinkCommandServer(pSession); }, pSession->Timing.ThreadStartMs) != 0)
    {
        DestroySession(pSession);
        return nullptr;
    }
    return pSession;
}

// The process-wide state of the one image update that may run; its
// callbacks come from the link thread, possibly after the update gave up.
struct IMAGE_UPDATE_T
{
    std::mutex Lock;
    uint32_t Generation = 0;
    bool bAttached = false;
    bool bAcked = false;
    int AckStatus = 0;
    bool bReplied = false;
    int ReplyStatus = 0;
    char ReplyText[1024] = {};
    AutoResetEvent TxEvent; // "ImgUpTx"
    AutoResetEvent FbEvent; // "ImgUpFB"
};

IMAGE_UPDATE_T& ImageUpdate()
{
    static IMAGE_UPDATE_T* pImage = new IMAGE_UPDATE_T;
    return *pImage;
}

std::mutex& ImageBusy()
{
    static std::mutex* pBusy = new std::mutex;
    return *pBusy;
}

bool ImageAttached(const IMAGE_UPDATE_T& Image, const UsbLinkRequest* pRequest)
{
    return Image.bAttached && Image.Generation == pRequest->Tag;
}

void OnImageAck(UsbLinkSession*, UsbLinkRequest* pRequest, int Status)
{
    IMAGE_UPDATE_T& image = ImageUpdate();
    std::lock_guard<std::mutex> lock(image.Lock);
    if (ImageAttached(image, pRequest))
    {
        image.AckStatus = Status;
        image.bAcked = true;
        image.TxEvent.Set();
    }
}

void OnImageDone(UsbLinkSession*, UsbLinkRequest* pRequest, int Status, const UsbLinkPacket* pReply,
                 const uint8_t* pInline, uint32_t InlineLength, const uint8_t*, uint32_t)
{
    IMAGE_UPDATE_T& image = ImageUpdate();
    std::lock_guard<std::mutex> lock(image.Lock);
    // An eviction is no answer of the receiver.
    if (!ImageAttached(image, pRequest) || pReply == nullptr || Status == USB_LINK_EVICTED)
    {
        return;
    }
    image.ReplyStatus = pReply->Status;
    const uint32_t n = std::min<uint32_t>(InlineLength, sizeof(image.ReplyText) - 1);
    std::memcpy(image.ReplyText, pInline, n);
    image.ReplyText[n] = '\0';
    image.bReplied = true;
    image.FbEvent.Set();
}

bool KeepImageRequest(UsbLinkSession*, UsbLinkRequest* pRequest)
{
    IMAGE_UPDATE_T& image = ImageUpdate();
    std::lock_guard<std::mutex> lock(image.Lock);
    return ImageAttached(image, pRequest);
}

int ImageResult(char* pMessage, size_t Size, int Result, const char* pText)
{
    if (pMessage != nullptr && Size > 0)
    {
        std::snprintf(pMessage, Size, "%s", pText);
    }
    return Result;
}

enum WAIT_E
{
    WAIT_SIGNALLED,
    WAIT_TIMEOUT,
    WAIT_LINK_LOST,
    WAIT_CANCELLED,
};

// Waits for an event in short slices, watching the link and the caller.
WAIT_E WaitImageEvent(AutoResetEvent& Event, uint32_t TimeoutMs, UsbLinkSession* pSession, uint32_t Losses,
                      const std::function<bool()>& IsCancelled)
{
    using Clock = std::chrono::steady_clock;
    constexpr uint32_t kSliceMs = 20;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;)
    {
        if (IsCancelled && IsCancelled())
        {
            return WAIT_CANCELLED;
        }
        if (pSession->LinkLosses.load() != Losses || pSession->LinkState.load() != USB_LINK_UP)
        {
            return WAIT_LINK_LOST;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
        {
            return WAIT_TIMEOUT;
        }
        if (Event.Wait(std::min<uint32_t>(kSliceMs, static_cast<uint32_t>(left))) == 0)
        {
            return WAIT_SIGNALLED;
        }
    }
}
} // namespace

USB_LINK_TIMING_T& UsbLinkTiming()
{
    static USB_LINK_TIMING_T timing;
    return timing;
}

UsbLinkSession::UsbLinkSession(UsbDeviceTable* pTable)
    : pTable(pTable), Timing(UsbLinkTiming()), SendRing("Send", sizeof(UsbLinkRequest*), SEND_SLOTS, 0),
      CmdRing("CMD", sizeof(UsbLinkCommand*), COMMAND_SLOTS, 0), CtrlPkg("CtrlPkg", USB_LINK_PACKET_SIZE, CTRL_PACKETS),
      Requests("Request", REQUESTS), ExData("ExData", EXT_BLOCK, EXT_BLOCKS), Commands("CMD", COMMANDS),
      Server("Server"), Cmd("CMD")
{
    for (uint32_t ch = 0; ch < USB_LINK_CHANNELS; ++ch)
    {
        Channels[ch] = std::make_unique<UsbLinkChannel>(ch);
    }
}

UsbLinkSession::~UsbLinkSession() = default;

int UsbLinkGetDeviceCount()
{
    const int count = UsbDevRefresh(Table());
    return count < 0 ? 0 : count;
}

UsbDeviceRecord* UsbLinkGetDevice(int Index) { return UsbDevGetByIndex(Table(), Index); }

std::string UsbLinkGetProductName(UsbDeviceRecord* pDevice)
{
    UsbDeviceTable* pTable = Table();
    std::string name = UsbDevGetProductName(pTable, pDevice);
    if (name.empty() && UsbDevReadStrings(pTable, pDevice) == USB_DEV_OK)
    {
        name = UsbDevGetProductName(pTable, pDevice);
    }
    return name;
}

std::string UsbLinkGetSerialNumber(UsbDeviceRecord* pDevice)
{
    UsbDeviceTable* pTable = Table();
    std::string serial = UsbDevGetSerialNumber(pTable, pDevice);
    if (serial.empty() && UsbDevReadStrings(pTable, pDevice) == USB_DEV_OK)
    {
        serial = UsbDevGetSerialNumber(pTable, pDevice);
    }
    return serial;
}

UsbLinkHandle* UsbLinkOpen(UsbDeviceRecord* pDevice, uint32_t Channel)
{
    if (pDevice == nullptr || Channel >= USB_LINK_CHANNELS)
    {
        return nullptr;
    }
    UsbLinkManager& mgr = Manager();
    std::lock_guard<std::mutex> lock(mgr.Lock);
    UsbDeviceTable* pTable = TableLocked(mgr);
    if (!UsbDevIsValid(pDevice))
    {
        return nullptr;
    }
    UsbLinkSession* pSession = nullptr;
    int slot = -1;
    for (int i = 0; i < USB_LINK_MAX_HANDLES; ++i)
    {
        UsbLinkHandle& h = g_Handles[i];
        if (!h.bUsed)
        {
            slot = slot < 0 ? i : slot;
            continue;
        }
        if (h.pDevice == pDevice || h.pSession->pDevice.load() == pDevice)
        {
            if (h.Channel == Channel)
            {
                return nullptr;
            }
            pSession = h.pSession;
        }
    }
    if (slot < 0)
    {
        UsbTrace("#E,UsbLinkOpen,all %d handles in use\n", USB_LINK_MAX_HANDLES);
        return nullptr;
    }
    if (pSession != nullptr)
    {
        pSession->Channels[Channel]->Flush();
    }
    else
    {
        if (UsbDevProbe(pTable, pDevice) != USB_DEV_OK)
        {
            return nullptr;
        }
        pSession = CreateSession(pTable, pDevice);
        if (pSession == nullptr)
        {
            return nullptr;
        }
    }
    UsbLinkHandle& h = g_Handles[slot];
    h.pDevice = pDevice;
    h.pSession = pSession;
    h.Channel = Channel;
    h.bUsed = true;
    h.Magic.store(USB_LINK_HANDLE_MAGIC, std::memory_order_release);
    return &h;
}

int UsbLinkClose(UsbLinkHandle* pHandle)
{
    if (!IsHandle(pHandle))
    {
        return USB_LINK_BAD_HANDLE;
    }
    UsbLinkSession* pSession = pHandle->pSession;
    const uint32_t ch = pHandle->Channel;
    if (pSession->Held[ch] != nullptr)
    {
        pSession->Channels[ch]->GiveBack(pSession->Held[ch]);
        pSession->Held[ch] = nullptr;
    }
    UsbLinkManager& mgr = Manager();
    std::lock_guard<std::mutex> lock(mgr.Lock);
    if (!pHandle->bUsed)
    {
        return USB_LINK_OK;
    }
    pHandle->Magic.store(0, std::memory_order_release);
    pHandle->bUsed = false;
    pHandle->pSession = nullptr;
    pHandle->pDevice = nullptr;
    const bool bShared = std::any_of(std::begin(g_Handles), std::end(g_Handles),
                                     [pSession](const UsbLinkHandle& h) { return h.bUsed && h.pSession == pSession; });
    if (!bShared)
    {
        DestroySession(pSession);
    }
    return USB_LINK_OK;
}

const uint8_t* UsbLinkRead(UsbLinkHandle* pHandle, uint32_t* pLength, uint32_t TimeoutMs)
{
    if (pLength == nullptr)
    {
        return nullptr;
    }
    *pLength = 0;
    if (!IsHandle(pHandle) || pHandle->Channel >= USB_LINK_CHANNELS)
    {
        return nullptr;
    }
    UsbLinkSession* pSession = pHandle->pSession;
    const uint32_t ch = pHandle->Channel;
    UsbLinkDescriptor* pDesc = pSession->Held[ch];
    if (pDesc == nullptr)
    {
        pDesc = pSession->Channels[ch]->WaitPop(TimeoutMs);
        pSession->Held[ch] = pDesc;
    }
    if (pDesc == nullptr)
    {
        return nullptr;
    }
    *pLength = pDesc->Length;
    return pDesc->pData;
}

int UsbLinkRelease(UsbLinkHandle* pHandle)
{
    if (!IsHandle(pHandle))
    {
        return USB_LINK_BAD_HANDLE;
    }
    if (pHandle->Channel >= USB_LINK_CHANNELS)
    {
        return USB_LINK_BAD_CHANNEL;
    }
    UsbLinkSession* pSession = pHandle->pSession;
    const uint32_t ch = pHandle->Channel;
    pSession->Channels[ch]->GiveBack(pSession->Held[ch]);
    pSession->Held[ch] = nullptr;
    return USB_LINK_OK;
}

int UsbLinkWrite(UsbLinkHandle* pHandle, const void* pData, uint32_t Length)
{
    if (!IsHandle(pHandle))
    {
        return USB_LINK_WRITE_BAD_HANDLE;
    }
    return UsbLinkSendChannelData(pHandle->pSession, pHandle->Channel, pData, Length);
}

UsbLinkSession* UsbLinkGetSession(UsbLinkHandle* pHandle) { return IsHandle(pHandle) ? pHandle->pSession : nullptr; }

uint32_t UsbLinkGetDropped(UsbLinkHandle* pHandle)
{
    return IsHandle(pHandle) ? pHandle->pSession->Channels[pHandle->Channel]->GetDropped() : 0;
}

bool UsbLinkIsUp(UsbLinkHandle* pHandle)
{
    return IsHandle(pHandle) && pHandle->pSession->LinkState.load() == USB_LINK_UP;
}

int UsbLinkUpdateImage(UsbLinkHandle* pHandle, const void* pImage, uint32_t Length, char* pMessage, size_t MessageSize,
                       const std::function<bool()>& IsCancelled)
{
    if (pImage == nullptr || Length == 0)
    {
        return ImageResult(pMessage, MessageSize, USB_IMAGE_INPUT_ERROR, "input error");
    }
    if (!IsHandle(pHandle))
    {
        return ImageResult(pMessage, MessageSize, USB_IMAGE_INVALID_PORT, "Invalid Port");
    }
    std::unique_lock<std::mutex> busy(ImageBusy(), std::try_to_lock);
    if (!busy.owns_lock())
    {
        return ImageResult(pMessage, MessageSize, USB_IMAGE_BUSY, "USB busy");
    }
    UsbLinkSession* pSession = pHandle->pSession;
    UsbLinkRequest* pRequest = UsbLinkBuildRequest(pSession, USB_LINK_TYPE_COMMAND, Length);
    if (pRequest == nullptr)
    {
        return ImageResult(pMessage, MessageSize, USB_IMAGE_OUT_OF_MEMORY, "Out of Memory");
    }
    UsbLinkSendCommand(pSession, "UnLogAll");

    IMAGE_UPDATE_T& image = ImageUpdate();
    {
        std::lock_guard<std::mutex> lock(image.Lock);
        ++image.Generation;
        image.bAttached = true;
        image.bAcked = false;
        image.bReplied = false;
        image.AckStatus = 0;
        image.ReplyStatus = 0;
        image.ReplyText[0] = '\0';
        image.TxEvent.Reset();
        image.FbEvent.Reset();
        pRequest->Tag = image.Generation;
    }
    static const char kImageUpdate[] = "ImageUpdate";
    pRequest->pPacket->InlineLength = sizeof(kImageUpdate) - 1;
    std::memcpy(pRequest->pPacket->Payload, kImageUpdate, sizeof(kImageUpdate) - 1);
    std::memcpy(pRequest->pExtData, pImage, Length);
    pRequest->pfnAck = OnImageAck;
    pRequest->pfnDone = OnImageDone;
    pRequest->pfnKeep = KeepImageRequest;
    pRequest->pContext = &image;
    auto detach = [&image]
    {
        std::lock_guard<std::mutex> lock(image.Lock);
        image.bAttached = false;
    };
    const uint32_t losses = pSession->LinkLosses.load();
    const USB_LINK_TIMING_T timing = UsbLinkTiming();
    if (UsbLinkQueueRequest(pSession, pRequest) != USB_LINK_OK)
    {
        detach();
        UsbLinkFreeRequest(pSession, pRequest);
        return ImageResult(pMessage, MessageSize, USB_IMAGE_BUSY, "USB busy");
    }
    // The request belongs to the link thread from here on; only the image state is touched below.
    auto failed = [&](WAIT_E Wait)
    {
        detach();
        if (Wait == WAIT_CANCELLED)
        {
            return ImageResult(pMessage, MessageSize, USB_IMAGE_CANCELLED, "cancelled");
        }
        if (Wait == WAIT_LINK_LOST)
        {
            return ImageResult(pMessage, MessageSize, USB_IMAGE_LINK_LOST, "USB link lost");
        }
        return ImageResult(pMessage, MessageSize, USB_IMAGE_TIMEOUT, "timeout");
    };
    const WAIT_E tx = WaitImageEvent(image.TxEvent, timing.ImageAckMs, pSession, losses, IsCancelled);
    if (tx != WAIT_SIGNALLED)
    {
        return failed(tx);
    }
    int ackStatus = 0;
    {
        std::lock_guard<std::mutex> lock(image.Lock);
        ackStatus = image.AckStatus;
    }
    if (ackStatus != 0)
    {
        // The receiver did not accept the packet that carried the image.
        detach();
        char text[64];
        std::snprintf(text, sizeof(text), "image not accepted (%d)", ackStatus);
        return ImageResult(pMessage, MessageSize, USB_IMAGE_REFUSED, text);
    }
    const WAIT_E fb = WaitImageEvent(image.FbEvent, timing.ImageReplyMs, pSession, losses, IsCancelled);
    if (fb == WAIT_TIMEOUT)
    {
        detach();
        return ImageResult(pMessage, MessageSize, USB_IMAGE_DONE, "Update finished");
    }
    if (fb != WAIT_SIGNALLED)
    {
        return failed(fb);
    }
    detach();
    std::lock_guard<std::mutex> lock(image.Lock);
    if (pMessage != nullptr && MessageSize > 0)
    {
        std::snprintf(pMessage, MessageSize, "%s (%d)", image.ReplyText, image.ReplyStatus);
    }
    return USB_IMAGE_REFUSED;
}

int UsbLinkSetBackend(std::shared_ptr<IUsbBackend> pBackend)
{
    UsbLinkManager& mgr = Manager();
    std::lock_guard<std::mutex> lock(mgr.Lock);
    if (std::any_of(std::begin(g_Handles), std::end(g_Handles), [](const UsbLinkHandle& h) { return h.bUsed; }))
    {
        return -1;
    }
    if (mgr.pTable)
    {
        mgr.OldTables.push_back(std::move(mgr.pTable));
    }
    mgr.pTable = std::make_unique<UsbDeviceTable>(std::move(pBackend));
    return 0;
}

UsbDeviceTable* UsbLinkGetTable() { return Table(); }

void UsbLinkSetWriteFileFolder(const std::string& Folder)
{
    UsbLinkManager& mgr = Manager();
    std::lock_guard<std::mutex> lock(mgr.FolderLock);
    mgr.WriteFileFolder = Folder;
}

std::string UsbLinkGetWriteFileFolder()
{
    UsbLinkManager& mgr = Manager();
    std::lock_guard<std::mutex> lock(mgr.FolderLock);
    return mgr.WriteFileFolder;
}

// Used by the link loop: a lost receiver came back, or its link reset was refused.
void UsbLinkArmLinkReset(UsbLinkSession* pSession)
{
    std::lock_guard<std::mutex> lock(pSession->SvrLock);
    ArmLinkResetLocked(pSession);
}

// Used by the link loop: may another session's device become this session's?
bool UsbLinkClaimDevice(UsbLinkSession* pSession, UsbDeviceRecord* pDevice)
{
    std::lock_guard<std::mutex> lock(g_SessionsLock);
    for (UsbLinkSession* pOther : g_Sessions)
    {
        if (pOther != pSession && pOther->pDevice.load() == pDevice)
        {
            return false;
        }
    }
    pSession->pDevice.store(pDevice);
    return true;
}
