// The link loop of a session and what it runs: building and queuing
// requests, reading the receiver's control packets and extended data,
// answering every packet with exactly one, and the command thread.
#include <algorithm>
#include <cstring>

#include "monitor/ports/usb/usb_link_session.h"

namespace
{
constexpr uint32_t kTokenIndexBits = 8;
constexpr uint32_t kGenerationMask = 0xFFFFFFu;

void LinkLost(UsbLinkSession* pSession, const char* pWhy)
{
    if (pSession->LinkState.load() == USB_LINK_UP)
    {
        UsbTrace("#W,Link lost (%s),%s\n", pWhy, pSession->SerialNumber);
    }
    pSession->LinkState.store(USB_LINK_ERROR);
    pSession->LinkLosses.fetch_add(1);
    // A packet sent on the lost link is not acknowledged by the next one.
    pSession->pSent = nullptr;
}

// One pipe transfer of the link thread; a failed pipe reset loses the link.
// Every transfer ends soon after the session is told to stop.
bool PipeRead(UsbLinkSession* pSession, uint8_t Pipe, void* pBuf, uint32_t Length, uint32_t TimeoutMs)
{
    const int n =
        UsbDevReadPipe(pSession->pTable, pSession->pDevice.load(), Pipe, pBuf, Length, TimeoutMs, &pSession->bStop);
    if (n == USB_DEV_RESET_FAILED)
    {
        LinkLost(pSession, "read");
    }
    return n == static_cast<int>(Length);
}

bool PipeWrite(UsbLinkSession* pSession, uint8_t Pipe, const void* pBuf, uint32_t Length, uint32_t TimeoutMs)
{
    const int n =
        UsbDevWritePipe(pSession->pTable, pSession->pDevice.load(), Pipe, pBuf, Length, TimeoutMs, &pSession->bStop);
    if (n == USB_DEV_RESET_FAILED)
    {
        LinkLost(pSession, "write");
    }
    return n == static_cast<int>(Length);
}

int DropExtData(UsbLinkSession* pSession, uint32_t ExtLength)
{
    return UsbLinkReceiveExtData(pSession, ExtLength, nullptr, 0);
}

void ReleaseCommand(UsbLinkSession* pSession, UsbLinkCommand* pCommand)
{
    if (pCommand == nullptr)
    {
        return;
    }
    if (pCommand->pText != nullptr)
    {
        pSession->ExData.GiveBackBytes(pCommand->pText, pCommand->TextCapacity);
    }
    if (pCommand->pExtData != nullptr)
    {
        pSession->ExData.GiveBackBytes(pCommand->pExtData, pCommand->ExtCapacity);
    }
    pSession->Commands.GiveBack(pCommand);
}

// Step 5 of a turn: the receiver's packet acknowledges what was sent last turn.
void Acknowledge(UsbLinkSession* pSession, int Status)
{
    UsbLinkRequest* pRequest = pSession->pSent;
    pSession->pSent = nullptr;
    if (pRequest->pfnAck != nullptr)
    {
        pRequest->pfnAck(pSession, pRequest, Status);
    }
    bool bReset = false;
    {
        std::lock_guard<std::mutex> lock(pSession->SvrLock);
        bReset = pRequest == pSession->pResetRequest;
        if (bReset)
        {
            pSession->pResetRequest = nullptr;
        }
    }
    if (bReset)
    {
        // The request stays the session's for the next link reset.
        if (Status == USB_LINK_ACCEPTED)
        {
            pSession->bLinkResetPending.store(false);
        }
        else
        {
            // Until a link reset is accepted every packet of the receiver is
            // dropped, so a refused one is sent again rather than left pending.
            UsbTrace("#W,Link reset refused (%d)\n", Status);
            UsbLinkArmLinkReset(pSession);
        }
        return;
    }
    UsbLinkRequest* pHead = nullptr;
    pSession->SendRing.Pop(&pHead);
    if (Status == USB_LINK_ACCEPTED && pRequest->Token != 0 && pRequest->pPacket != nullptr &&
        pRequest->pPacket->Type != USB_LINK_TYPE_REPLY)
    {
        pSession->CtrlPkg.GiveBack(pRequest->pPacket);
        pRequest->pPacket = nullptr;
        if (pRequest->pExtData != nullptr)
        {
            pSession->ExData.GiveBackBytes(pRequest->pExtData,
                                           static_cast<uint32_t>(UsbLinkPadded(pRequest->ExtLength)));
            pRequest->pExtData = nullptr;
        }
        pRequest->State = USB_LINK_REQUEST_AWAITING_REPLY;
        pSession->Awaiting[pSession->Requests.IndexOf(pRequest)] = pRequest;
        pSession->AwaitingCount.fetch_add(1);
        return;
    }
    UsbLinkFreeRequest(pSession, pRequest);
}

// Gives up a request awaiting its reply: its completion hears USB_LINK_EVICTED.
void EvictAwaiting(UsbLinkSession* pSession, uint32_t Index)
{
    UsbLinkRequest* pRequest = pSession->Awaiting[Index];
    pSession->Awaiting[Index] = nullptr;
    if (pRequest->pfnDone != nullptr)
    {
        pRequest->pfnDone(pSession, pRequest, USB_LINK_EVICTED, nullptr, nullptr, 0, nullptr, 0);
    }
    UsbLinkFreeRequest(pSession, pRequest);
    pSession->AwaitingCount.fetch_sub(1);
}

// Step 2 of a turn: beyond the limit, the request that has waited longest for its reply is given up.
void EvictOldest(UsbLinkSession* pSession)
{
    while (pSession->AwaitingCount.load() > USB_LINK_MAX_AWAITING)
    {
        uint16_t counter = 0;
        {
            std::lock_guard<std::mutex> lock(pSession->SvrLock);
            counter = pSession->RequestIdCounter;
        }
        int oldest = -1;
        uint32_t oldestAge = 0;
        for (uint32_t i = 0; i < UsbLinkSession::REQUESTS; ++i)
        {
            const UsbLinkRequest* pRequest = pSession->Awaiting[i];
            if (pRequest == nullptr)
            {
                continue;
            }
            // Ids come from a 16-bit counter and far fewer than 0x10000
            // requests exist at once, so the difference is the true age;
            // the newest request (its id equal to the counter) is age 0.
            const uint32_t age = static_cast<uint16_t>(counter - pRequest->RequestId);
            if (oldest < 0 || age > oldestAge)
            {
                oldest = static_cast<int>(i);
                oldestAge = age;
            }
        }
        if (oldest < 0)
        {
            pSession->AwaitingCount.store(0);
            return;
        }
        EvictAwaiting(pSession, static_cast<uint32_t>(oldest));
    }
}

// The receiver started its link again (it restarted): it will answer none of
// the requests it had, and its sequence numbers begin anew.
void ReceiverLinkReset(UsbLinkSession* pSession)
{
    UsbTrace("#I,Link reset by the receiver,%s\n", pSession->SerialNumber);
    pSession->LastSequence = 0;
    for (uint32_t i = 0; i < UsbLinkSession::REQUESTS; ++i)
    {
        if (pSession->Awaiting[i] != nullptr)
        {
            EvictAwaiting(pSession, i);
        }
    }
}

bool SendExtData(UsbLinkSession* pSession, const UsbLinkRequest* pRequest)
{
    const uint32_t timeout = pSession->Timing.ExtTransferMs;
    uint8_t header[USB_LINK_EXT_BLOCK];
    UsbLinkInitExtHeader(header);
    if (!PipeWrite(pSession, USB_PIPE_EXTENDED, header, sizeof(header), timeout))
    {
        return false;
    }
    const uint64_t padded = UsbLinkPadded(pRequest->ExtLength);
    for (uint64_t offset = 0; offset < padded;)
    {
        const uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>(USB_LINK_MAX_TRANSFER, padded - offset));
        if (!PipeWrite(pSession, USB_PIPE_EXTENDED, pRequest->pExtData + offset, chunk, timeout))
        {
            return false;
        }
        offset += chunk;
    }
    return true;
}

// Step 8 of a turn: the host answers with the head of its queue, or with a status packet.
void SendHead(UsbLinkSession* pSession)
{
    // Only a packet that goes out whole in this turn awaits the receiver's acknowledgement.
    pSession->pSent = nullptr;
    UsbLinkRequest* pRequest = nullptr;
    for (;;)
    {
        bool bReset = false;
        {
            std::lock_guard<std::mutex> lock(pSession->SvrLock);
            pRequest = pSession->pResetRequest;
            bReset = pRequest != nullptr;
            if (!bReset && pSession->SendRing.Peek(&pRequest) != 1)
            {
                pRequest = nullptr;
            }
        }
        if (pRequest == nullptr || bReset)
        {
            break;
        }
        if (pRequest->pPacket != nullptr && (pRequest->pfnKeep == nullptr || pRequest->pfnKeep(pSession, pRequest)))
        {
            break;
        }
        UsbLinkRequest* pHead = nullptr;
        pSession->SendRing.Pop(&pHead);
        UsbLinkFreeRequest(pSession, pRequest);
    }
    if (pRequest == nullptr)
    {
        UsbLinkSendStatus(pSession, USB_LINK_ACCEPTED);
        return;
    }
    // A request whose transfer failed stays at the head and goes again whole next turn.
    if (!PipeWrite(pSession, USB_PIPE_CONTROL, pRequest->pPacket, USB_LINK_PACKET_SIZE,
                   pSession->Timing.ControlWriteMs))
    {
        return;
    }
    if (pRequest->ExtLength > 0 && !SendExtData(pSession, pRequest))
    {
        return;
    }
    if (pSession->LinkState.load() == USB_LINK_UP)
    {
        pSession->pSent = pRequest;
    }
}
} // namespace

void UsbLinkInitPacket(UsbLinkPacket* pPacket, uint8_t Type)
{
    std::memset(pPacket, 0, sizeof(*pPacket));
    pPacket->MagicHead = USB_LINK_MAGIC_HEAD;
    pPacket->MagicTail = USB_LINK_MAGIC_TAIL;
    pPacket->Type = Type;
}

bool UsbLinkPacketMagicsOk(const UsbLinkPacket& Packet)
{
    return Packet.MagicHead == USB_LINK_MAGIC_HEAD && Packet.MagicTail == USB_LINK_MAGIC_TAIL;
}

void UsbLinkInitExtHeader(uint8_t (&Header)[USB_LINK_EXT_BLOCK])
{
    std::memset(Header, 0, sizeof(Header));
    std::memcpy(Header, &USB_LINK_MAGIC_HEAD, 4);
    std::memcpy(Header + USB_LINK_EXT_BLOCK - 4, &USB_LINK_MAGIC_TAIL, 4);
}

UsbLinkRequest* UsbLinkBuildRequest(UsbLinkSession* pSession, uint8_t Type, uint32_t ExtLength)
{
    if (ExtLength > USB_LINK_MAX_EXT)
    {
        return nullptr;
    }
    UsbLinkRequest* pRequest = pSession->Requests.Take();
    if (pRequest == nullptr)
    {
        return nullptr;
    }
    const int index = pSession->Requests.IndexOf(pRequest);
    uint32_t& generation = pSession->Generations[index];
    generation = (generation + 1) & kGenerationMask;
    generation = generation == 0 ? 1 : generation;
    pRequest->Generation = generation;
    pRequest->pPacket = reinterpret_cast<UsbLinkPacket*>(pSession->CtrlPkg.Take());
    if (pRequest->pPacket == nullptr)
    {
        UsbLinkFreeRequest(pSession, pRequest);
        return nullptr;
    }
    UsbLinkInitPacket(pRequest->pPacket, Type);
    if (ExtLength > 0)
    {
        const uint32_t padded = static_cast<uint32_t>(UsbLinkPadded(ExtLength));
        pRequest->pExtData = pSession->ExData.TakeBytes(padded);
        if (pRequest->pExtData == nullptr)
        {
            UsbLinkFreeRequest(pSession, pRequest);
            return nullptr;
        }
        std::memset(pRequest->pExtData + ExtLength, 0, padded - ExtLength);
        pRequest->ExtLength = ExtLength;
        pRequest->pPacket->ExtLength = ExtLength;
    }
    pRequest->State = USB_LINK_REQUEST_BUILT;
    return pRequest;
}

void UsbLinkFreeRequest(UsbLinkSession* pSession, UsbLinkRequest* pRequest)
{
    if (pRequest == nullptr)
    {
        return;
    }
    if (pRequest->pPacket != nullptr)
    {
        pSession->CtrlPkg.GiveBack(pRequest->pPacket);
    }
    if (pRequest->pExtData != nullptr)
    {
        pSession->ExData.GiveBackBytes(pRequest->pExtData, static_cast<uint32_t>(UsbLinkPadded(pRequest->ExtLength)));
    }
    pSession->Requests.GiveBack(pRequest);
}

int UsbLinkQueueRequest(UsbLinkSession* pSession, UsbLinkRequest* pRequest)
{
    if (pRequest == nullptr || !pSession->Requests.IsTaken(pRequest) || pRequest->pPacket == nullptr)
    {
        return USB_LINK_NOT_A_REQUEST;
    }
    if (pRequest->pPacket->Type == USB_LINK_TYPE_REPLY && pRequest->pPacket->Token == 0)
    {
        return USB_LINK_REPLY_WITHOUT_TOKEN;
    }
    std::lock_guard<std::mutex> lock(pSession->SvrLock);
    if (pSession->SendRing.GetCount() >= pSession->SendRing.GetCapacity())
    {
        return USB_LINK_RING_FULL;
    }
    if (pRequest->pfnDone != nullptr)
    {
        const uint32_t index = static_cast<uint32_t>(pSession->Requests.IndexOf(pRequest));
        pRequest->RequestId = ++pSession->RequestIdCounter;
        pRequest->Token = (pRequest->Generation << kTokenIndexBits) | (index + 1);
        pRequest->pPacket->RequestId = pRequest->RequestId;
        pRequest->pPacket->Token = pRequest->Token;
    }
    if (++pSession->SequenceCounter == 0)
    {
        ++pSession->SequenceCounter;
    }
    pRequest->pPacket->Sequence = pSession->SequenceCounter;
    pRequest->State = USB_LINK_REQUEST_QUEUED;
    pSession->SendRing.Push(&pRequest);
    return USB_LINK_OK;
}

int UsbLinkSendChannelData(UsbLinkSession* pSession, uint32_t Channel, const void* pData, uint32_t Length)
{
    if (pData == nullptr || Length == 0)
    {
        return USB_LINK_NO_DATA;
    }
    if (Channel >= USB_LINK_CHANNELS)
    {
        return USB_LINK_BAD_CHANNEL;
    }
    const uint32_t inlineLength = std::min(Length, USB_LINK_INLINE_MAX);
    UsbLinkRequest* pRequest = UsbLinkBuildRequest(pSession, USB_LINK_TYPE_CHANNEL_DATA, Length - inlineLength);
    if (pRequest == nullptr)
    {
        return USB_LINK_POOLS_EXHAUSTED;
    }
    const auto* pBytes = static_cast<const uint8_t*>(pData);
    pRequest->pPacket->Channel = static_cast<uint8_t>(Channel);
    pRequest->pPacket->InlineLength = static_cast<uint16_t>(inlineLength);
    std::memcpy(pRequest->pPacket->Payload, pBytes, inlineLength);
    if (Length > inlineLength)
    {
        std::memcpy(pRequest->pExtData, pBytes + inlineLength, Length - inlineLength);
    }
    if (UsbLinkQueueRequest(pSession, pRequest) != USB_LINK_OK)
    {
        UsbLinkFreeRequest(pSession, pRequest);
        return USB_LINK_RING_FULL;
    }
    return USB_LINK_OK;
}

int UsbLinkSendCommand(UsbLinkSession* pSession, const char* pText, UsbLinkDoneFn pfnDone, void* pContext)
{
    if (pText == nullptr || *pText == '\0')
    {
        return USB_LINK_NO_DATA;
    }
    const size_t length = std::strlen(pText) + 1;
    if (length > USB_LINK_INLINE_MAX)
    {
        return USB_LINK_TEXT_TOO_LONG;
    }
    UsbLinkRequest* pRequest = UsbLinkBuildRequest(pSession, USB_LINK_TYPE_COMMAND, 0);
    if (pRequest == nullptr)
    {
        return USB_LINK_POOLS_EXHAUSTED;
    }
    pRequest->pPacket->InlineLength = static_cast<uint16_t>(length);
    std::memcpy(pRequest->pPacket->Payload, pText, length);
    pRequest->pfnDone = pfnDone;
    pRequest->pContext = pContext;
    if (UsbLinkQueueRequest(pSession, pRequest) != USB_LINK_OK)
    {
        UsbLinkFreeRequest(pSession, pRequest);
        return USB_LINK_RING_FULL;
    }
    return pRequest->RequestId;
}

int UsbLinkSendStatus(UsbLinkSession* pSession, int Status)
{
    UsbLinkPacket packet;
    UsbLinkInitPacket(&packet, USB_LINK_TYPE_STATUS);
    packet.Status = static_cast<int16_t>(Status);
    return PipeWrite(pSession, USB_PIPE_CONTROL, &packet, sizeof(packet), pSession->Timing.ControlWriteMs) ? 0 : -1;
}

int UsbLinkReceiveExtData(UsbLinkSession* pSession, uint32_t ExtLength, uint8_t* pBuf, uint64_t Capacity)
{
    if (ExtLength == 0)
    {
        return 0;
    }
    const uint32_t timeout = pSession->Timing.ExtTransferMs;
    uint8_t header[USB_LINK_EXT_BLOCK];
    if (!PipeRead(pSession, USB_PIPE_EXTENDED, header, sizeof(header), timeout))
    {
        return -1;
    }
    uint32_t head = 0;
    uint32_t tail = 0;
    std::memcpy(&head, header, 4);
    std::memcpy(&tail, header + USB_LINK_EXT_BLOCK - 4, 4);
    if (head != USB_LINK_MAGIC_HEAD || tail != USB_LINK_MAGIC_TAIL)
    {
        return -2;
    }
    const uint64_t padded = UsbLinkPadded(ExtLength);
    const bool bKeep = pBuf != nullptr && padded <= Capacity;
    const uint32_t most = bKeep ? USB_LINK_MAX_TRANSFER : USB_LINK_DROP_TRANSFER;
    for (uint64_t offset = 0; offset < padded;)
    {
        if (pSession->bStop.load())
        {
            return -1;
        }
        const uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>(most, padded - offset));
        uint8_t* pDest = bKeep ? pBuf + offset : pSession->DropBuffer;
        if (!PipeRead(pSession, USB_PIPE_EXTENDED, pDest, chunk, timeout))
        {
            return -1;
        }
        offset += chunk;
    }
    return 0;
}

int UsbLinkHandleReply(UsbLinkSession* pSession, const UsbLinkPacket& Packet)
{
    const uint32_t index = (Packet.Token & 0xFFu) - 1u;
    UsbLinkRequest* pRequest =
        Packet.Token != 0 && index < UsbLinkSession::REQUESTS ? pSession->Awaiting[index] : nullptr;
    if (pRequest == nullptr || pRequest->Token != Packet.Token || pRequest->RequestId != Packet.RequestId)
    {
        // A reply to nothing that still waits: dropped silently.
        DropExtData(pSession, Packet.ExtLength);
        return USB_LINK_ACCEPTED;
    }
    const uint8_t* pExt = nullptr;
    uint8_t* pTemp = nullptr;
    const uint64_t padded = UsbLinkPadded(Packet.ExtLength);
    if (Packet.ExtLength > 0)
    {
        uint8_t* pDest = pRequest->pReplyBuffer;
        if (pDest == nullptr || padded > pRequest->ReplyCapacity)
        {
            pTemp = Packet.ExtLength <= USB_LINK_MAX_EXT ? pSession->ExData.TakeBytes(static_cast<uint32_t>(padded))
                                                         : nullptr;
            if (pTemp == nullptr)
            {
                DropExtData(pSession, Packet.ExtLength);
                return USB_LINK_NO_SPACE;
            }
            pDest = pTemp;
        }
        if (UsbLinkReceiveExtData(pSession, Packet.ExtLength, pDest, padded) != 0)
        {
            if (pTemp != nullptr)
            {
                pSession->ExData.GiveBackBytes(pTemp, static_cast<uint32_t>(padded));
            }
            return USB_LINK_RECEIVE_FAILED;
        }
        pExt = pDest;
    }
    pSession->Awaiting[index] = nullptr;
    pSession->AwaitingCount.fetch_sub(1);
    if (pRequest->pfnDone != nullptr)
    {
        pRequest->pfnDone(pSession, pRequest, USB_LINK_ACCEPTED, &Packet, Packet.Payload, Packet.InlineLength, pExt,
                          Packet.ExtLength);
    }
    UsbLinkFreeRequest(pSession, pRequest);
    if (pTemp != nullptr)
    {
        pSession->ExData.GiveBackBytes(pTemp, static_cast<uint32_t>(padded));
    }
    return USB_LINK_ACCEPTED;
}

int UsbLinkHandleChannelData(UsbLinkSession* pSession, const UsbLinkPacket& Packet)
{
    if (Packet.Channel >= USB_LINK_CHANNELS)
    {
        DropExtData(pSession, Packet.ExtLength);
        return USB_LINK_UNKNOWN_CHANNEL;
    }
    UsbLinkChannel& channel = *pSession->Channels[Packet.Channel];
    UsbLinkDescriptor* pExt = nullptr;
    UsbLinkDescriptor* pInline = nullptr;
    if (Packet.ExtLength > 0)
    {
        const uint64_t padded = UsbLinkPadded(Packet.ExtLength);
        pExt = Packet.ExtLength <= USB_LINK_MAX_EXT ? channel.Reserve(static_cast<uint32_t>(padded)) : nullptr;
        if (pExt == nullptr)
        {
            DropExtData(pSession, Packet.ExtLength);
            return USB_LINK_NO_SPACE;
        }
        if (UsbLinkReceiveExtData(pSession, Packet.ExtLength, pExt->pData, pExt->Capacity) != 0)
        {
            channel.GiveBack(pExt);
            return USB_LINK_RECEIVE_FAILED;
        }
        pExt->Length = Packet.ExtLength;
    }
    if (Packet.InlineLength > 0)
    {
        pInline = channel.Reserve(Packet.InlineLength);
        if (pInline == nullptr)
        {
            channel.GiveBack(pExt);
            return USB_LINK_NO_SPACE;
        }
        std::memcpy(pInline->pData, Packet.Payload, Packet.InlineLength);
        pInline->Length = Packet.InlineLength;
    }
    if (pInline == nullptr && pExt == nullptr)
    {
        return USB_LINK_ACCEPTED;
    }
    // The inline part first; both parts or neither reach the reader.
    if (channel.PushPair(pInline, pExt) != UsbLinkChannel::PUSH_OK)
    {
        channel.GiveBack(pInline);
        channel.GiveBack(pExt);
        return USB_LINK_NO_SPACE;
    }
    return USB_LINK_ACCEPTED;
}

int UsbLinkHandleCommand(UsbLinkSession* pSession, const UsbLinkPacket& Packet)
{
    UsbLinkCommand* pCommand = Packet.ExtLength <= USB_LINK_MAX_EXT ? pSession->Commands.Take() : nullptr;
    if (pCommand == nullptr)
    {
        DropExtData(pSession, Packet.ExtLength);
        return USB_LINK_NO_SPACE;
    }
    pCommand->Token = Packet.Token;
    pCommand->RequestId = Packet.RequestId;
    pCommand->TextCapacity = Packet.InlineLength + 1u;
    pCommand->pText = reinterpret_cast<char*>(pSession->ExData.TakeBytes(pCommand->TextCapacity));
    if (Packet.ExtLength > 0)
    {
        pCommand->ExtCapacity = static_cast<uint32_t>(UsbLinkPadded(Packet.ExtLength));
        pCommand->pExtData = pSession->ExData.TakeBytes(pCommand->ExtCapacity);
    }
    if (pCommand->pText == nullptr || (Packet.ExtLength > 0 && pCommand->pExtData == nullptr))
    {
        ReleaseCommand(pSession, pCommand);
        DropExtData(pSession, Packet.ExtLength);
        return USB_LINK_NO_SPACE;
    }
    if (UsbLinkReceiveExtData(pSession, Packet.ExtLength, pCommand->pExtData, pCommand->ExtCapacity) != 0)
    {
        ReleaseCommand(pSession, pCommand);
        return USB_LINK_RECEIVE_FAILED;
    }
    pCommand->ExtLength = Packet.ExtLength;
    std::memcpy(pCommand->pText, Packet.Payload, Packet.InlineLength);
    pCommand->pText[Packet.InlineLength] = '\0';
    bool bQueued = false;
    {
        std::lock_guard<std::mutex> lock(pSession->CmdLock);
        bQueued = pSession->CmdRing.Push(&pCommand) == 1;
    }
    if (!bQueued)
    {
        // The receiver hears that the host had no room and sends the command again.
        ReleaseCommand(pSession, pCommand);
        return USB_LINK_NO_SPACE;
    }
    pSession->CmdEvent.Set();
    return USB_LINK_ACCEPTED;
}

bool UsbLinkWaitDevice(UsbLinkSession* pSession)
{
    UsbDeviceTable* pTable = pSession->pTable;
    if (pSession->bDeviceOpen)
    {
        UsbDevClose(pTable, pSession->pDevice.load());
        pSession->bDeviceOpen = false;
    }
    const std::string serial(pSession->SerialNumber);
    while (!pSession->bStop.load())
    {
        // A device without a serial number cannot be told from another: the session waits for its end.
        if (!serial.empty())
        {
            UsbDevRefresh(pTable);
            for (int i = 0;; ++i)
            {
                UsbDeviceRecord* pDevice = UsbDevGetByIndex(pTable, i);
                if (pDevice == nullptr)
                {
                    break;
                }
                if (UsbDevGetSerialNumber(pTable, pDevice) != serial)
                {
                    continue;
                }
                if (UsbLinkClaimDevice(pSession, pDevice) && UsbDevOpenWithStrings(pTable, pDevice) == USB_DEV_OK)
                {
                    pSession->bDeviceOpen = true;
                    pSession->LinkState.store(USB_LINK_UP);
                    return true;
                }
                break;
            }
        }
        pSession->StopEvent.Wait(pSession->Timing.ReconnectPollMs);
    }
    return false;
}

void UsbLinkServe(UsbLinkSession* pSession)
{
    UsbDeviceTable* pTable = pSession->pTable;
    UsbLinkPacket packet;
    while (!pSession->bStop.load())
    {
        if (pSession->LinkState.load() != USB_LINK_UP)
        {
            if (!UsbLinkWaitDevice(pSession))
            {
                break;
            }
            UsbDeviceRecord* pDevice = pSession->pDevice.load();
            for (uint8_t pipe : {USB_PIPE_CONTROL, USB_PIPE_EXTENDED})
            {
                UsbDevFlushIn(pTable, pDevice, pipe);
                UsbDevFlushOut(pTable, pDevice, pipe);
            }
            // The receiver that came back starts a new link.
            pSession->LastSequence = 0;
            pSession->FailedReads = 0;
            pSession->pSent = nullptr;
            UsbLinkArmLinkReset(pSession);
            UsbTrace("#I,Link up again,%s\n", pSession->SerialNumber);
        }
        EvictOldest(pSession);

        if (!PipeRead(pSession, USB_PIPE_CONTROL, &packet, sizeof(packet), pSession->Timing.ControlReadMs))
        {
            if (pSession->LinkState.load() == USB_LINK_UP &&
                ++pSession->FailedReads >= pSession->Timing.FailedReadsForLinkError)
            {
                LinkLost(pSession, "no answer");
            }
            continue;
        }
        pSession->FailedReads = 0;
        if (!UsbLinkPacketMagicsOk(packet))
        {
            uint8_t rest[USB_LINK_PACKET_SIZE];
            PipeRead(pSession, USB_PIPE_CONTROL, rest, sizeof(rest), pSession->Timing.ResyncReadMs);
            continue;
        }
        // A packet sent again under its last sequence number means that the
        // receiver did not get the host's answer: it acknowledges nothing,
        // and the host's packet goes again. So does a link reset: the
        // receiver started anew and took nothing of what was sent last.
        const bool bRepeat = packet.Sequence != 0 && packet.Sequence == pSession->LastSequence;
        if (pSession->pSent != nullptr && !bRepeat && packet.Type != USB_LINK_TYPE_RESET)
        {
            Acknowledge(pSession, packet.Status);
        }
        if (packet.Type != USB_LINK_TYPE_STATUS)
        {
            int status = USB_LINK_ACCEPTED;
            if (packet.InlineLength > USB_LINK_INLINE_MAX)
            {
                DropExtData(pSession, packet.ExtLength);
                status = USB_LINK_RECEIVE_FAILED;
            }
            else if (packet.Type == USB_LINK_TYPE_RESET)
            {
                DropExtData(pSession, packet.ExtLength);
                ReceiverLinkReset(pSession);
            }
            else if (pSession->bLinkResetPending.load() || bRepeat)
            {
                DropExtData(pSession, packet.ExtLength);
            }
            else
            {
                switch (packet.Type)
                {
                case USB_LINK_TYPE_COMMAND:
                    status = UsbLinkHandleCommand(pSession, packet);
                    break;
                case USB_LINK_TYPE_REPLY:
                    status = UsbLinkHandleReply(pSession, packet);
                    break;
                case USB_LINK_TYPE_CHANNEL_DATA:
                    status = UsbLinkHandleChannelData(pSession, packet);
                    break;
                default:
                    DropExtData(pSession, packet.ExtLength);
                    status = USB_LINK_UNKNOWN_TYPE;
                    break;
                }
            }
            if (status != USB_LINK_ACCEPTED)
            {
                // The sequence number is not kept, so that the receiver's repetition is taken.
                UsbLinkSendStatus(pSession, status);
                continue;
            }
        }
        if (packet.Sequence != 0)
        {
            pSession->LastSequence = packet.Sequence;
        }
        SendHead(pSession);
    }
}

void UsbLinkCommandServer(UsbLinkSession* pSession)
{
    static const char kWriteFile[] = "WriteFile";
    static const char kReadFile[] = "ReadFile";
    while (!pSession->bStop.load())
    {
        pSession->CmdEvent.Wait(pSession->Timing.ControlReadMs);
        while (!pSession->bStop.load())
        {
            UsbLinkCommand* pCommand = nullptr;
            {
                std::lock_guard<std::mutex> lock(pSession->CmdLock);
                if (pSession->CmdRing.Pop(&pCommand) != 1)
                {
                    break;
                }
            }
            if (std::strncmp(pCommand->pText, kWriteFile, sizeof(kWriteFile) - 1) == 0)
            {
                const int result = UsbLinkWriteFileCommand(*pCommand, UsbLinkGetWriteFileFolder());
                UsbTrace("#I,WriteFile,%d\n", result);
            }
            else if (std::strncmp(pCommand->pText, kReadFile, sizeof(kReadFile) - 1) == 0)
            {
                UsbTrace("#I,ReadFile ignored\n");
            }
            ReleaseCommand(pSession, pCommand);
        }
    }
}
