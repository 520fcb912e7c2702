#include "support/usb/usb_sim_receiver.h"

#include <algorithm>
#include <cstring>

namespace
{
const char kImageUpdate[] = "ImageUpdate";

std::vector<uint8_t> PacketBytes(const UsbLinkPacket& Packet)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&Packet);
    return std::vector<uint8_t>(p, p + sizeof(Packet));
}
} // namespace

CUsbSimReceiver::CUsbSimReceiver(std::string Product, std::string Serial)
    : CUsbMemDevice(std::move(Product), std::move(Serial))
{
}

void CUsbSimReceiver::SetTiming(const TIMING_T& Timing)
{
    Lock lock(m_Mutex);
    m_Timing = Timing;
}

void CUsbSimReceiver::QueueLocked(OUT_T Out)
{
    m_Outbox.push_back(std::move(Out));
    Wake();
}

void CUsbSimReceiver::QueueDataLocked(uint8_t Channel, const std::string& Data)
{
    for (size_t offset = 0; offset < Data.size();)
    {
        OUT_T out;
        UsbLinkInitPacket(&out.Packet, USB_LINK_TYPE_CHANNEL_DATA);
        out.Packet.Channel = Channel;
        const size_t inlineLength = std::min<size_t>(Data.size() - offset, USB_LINK_INLINE_MAX);
        out.Packet.InlineLength = static_cast<uint16_t>(inlineLength);
        std::memcpy(out.Packet.Payload, Data.data() + offset, inlineLength);
        offset += inlineLength;
        out.Ext = Data.substr(offset, USB_LINK_MAX_TRANSFER);
        offset += out.Ext.size();
        QueueLocked(std::move(out));
    }
}

void CUsbSimReceiver::SendChannelData(uint8_t Channel, const std::string& Inline, const std::string& Ext)
{
    UsbLinkPacket packet;
    UsbLinkInitPacket(&packet, USB_LINK_TYPE_CHANNEL_DATA);
    packet.Channel = Channel;
    packet.InlineLength = static_cast<uint16_t>(std::min<size_t>(Inline.size(), USB_LINK_INLINE_MAX));
    std::memcpy(packet.Payload, Inline.data(), packet.InlineLength);
    SendPacket(packet, Ext);
}

void CUsbSimReceiver::StreamChannelData(uint8_t Channel, const std::string& Data, uint32_t InlineBytes,
                                        uint32_t ExtBytes)
{
    InlineBytes = std::min(InlineBytes, USB_LINK_INLINE_MAX);
    Lock lock(m_Mutex);
    for (size_t offset = 0; offset < Data.size();)
    {
        OUT_T out;
        UsbLinkInitPacket(&out.Packet, USB_LINK_TYPE_CHANNEL_DATA);
        out.Packet.Channel = Channel;
        const size_t inlineLength = std::min<size_t>(Data.size() - offset, InlineBytes);
        out.Packet.InlineLength = static_cast<uint16_t>(inlineLength);
        std::memcpy(out.Packet.Payload, Data.data() + offset, inlineLength);
        offset += inlineLength;
        out.Ext = Data.substr(offset, ExtBytes);
        offset += out.Ext.size();
        QueueLocked(std::move(out));
    }
}

void CUsbSimReceiver::SendCommand(const std::string& Text, const std::string& Ext)
{
    UsbLinkPacket packet;
    UsbLinkInitPacket(&packet, USB_LINK_TYPE_COMMAND);
    packet.InlineLength = static_cast<uint16_t>(std::min<size_t>(Text.size(), USB_LINK_INLINE_MAX));
    std::memcpy(packet.Payload, Text.data(), packet.InlineLength);
    SendPacket(packet, Ext);
}

void CUsbSimReceiver::SendReply(uint32_t Token, uint16_t RequestId, const std::string& Inline, const std::string& Ext)
{
    UsbLinkPacket packet;
    UsbLinkInitPacket(&packet, USB_LINK_TYPE_REPLY);
    packet.Token = Token;
    packet.RequestId = RequestId;
    packet.InlineLength = static_cast<uint16_t>(std::min<size_t>(Inline.size(), USB_LINK_INLINE_MAX));
    std::memcpy(packet.Payload, Inline.data(), packet.InlineLength);
    SendPacket(packet, Ext);
}

void CUsbSimReceiver::SendPacket(const UsbLinkPacket& Fields, const std::string& Ext, bool bStatusGiven)
{
    OUT_T out;
    out.Packet = Fields;
    out.Ext = Ext;
    out.bStatusGiven = bStatusGiven;
    Lock lock(m_Mutex);
    QueueLocked(std::move(out));
}

void CUsbSimReceiver::InjectRaw(std::vector<uint8_t> Control, std::vector<uint8_t> Extended)
{
    Lock lock(m_Mutex);
    m_Raw.emplace_back(std::move(Control), std::move(Extended));
    Wake();
}

void CUsbSimReceiver::RepeatLastPacket()
{
    OUT_T out;
    out.bRepeat = true;
    Lock lock(m_Mutex);
    QueueLocked(std::move(out));
}

void CUsbSimReceiver::SplitNextPacket(uint32_t FirstBytes, uint32_t DelayMs)
{
    Lock lock(m_Mutex);
    m_SplitNext = FirstBytes;
    m_SplitDelayMs = DelayMs;
}

void CUsbSimReceiver::SetNextAck(uint8_t Type, int16_t Status)
{
    Lock lock(m_Mutex);
    m_NextAck[Type] = Status;
}

void CUsbSimReceiver::LoseNextHostPacket(uint8_t Type)
{
    Lock lock(m_Mutex);
    ++m_Lose[Type];
}

void CUsbSimReceiver::SetSilent(bool bSilent)
{
    Lock lock(m_Mutex);
    m_bSilent = bSilent;
    Wake();
}

void CUsbSimReceiver::SetImageAnswer(const IMAGE_ANSWER_T& Answer)
{
    Lock lock(m_Mutex);
    m_Image = Answer;
}

void CUsbSimReceiver::UnplugAfterImageBytes(uint32_t Bytes)
{
    Lock lock(m_Mutex);
    m_UnplugAfterImageBytes = Bytes;
}

void CUsbSimReceiver::SetCommandHandler(COMMAND_HANDLER_T Handler)
{
    Lock lock(m_Mutex);
    m_CommandHandler = std::move(Handler);
}

void CUsbSimReceiver::SetChannelResponder(CHANNEL_RESPONDER_T Responder)
{
    Lock lock(m_Mutex);
    m_ChannelResponder = std::move(Responder);
}

std::vector<UsbLinkPacket> CUsbSimReceiver::GetHostPackets() const
{
    Lock lock(m_Mutex);
    return m_HostPackets;
}

std::string CUsbSimReceiver::GetChannelInput(uint8_t Channel) const
{
    Lock lock(m_Mutex);
    return Channel < USB_LINK_CHANNELS ? m_ChannelInput[Channel] : std::string();
}

std::vector<std::string> CUsbSimReceiver::GetCommands() const
{
    Lock lock(m_Mutex);
    return m_Commands;
}

std::vector<std::string> CUsbSimReceiver::GetImages() const
{
    Lock lock(m_Mutex);
    return m_Images;
}

size_t CUsbSimReceiver::GetQueued() const
{
    Lock lock(m_Mutex);
    return m_Outbox.size() + m_Raw.size();
}

uint32_t CUsbSimReceiver::GetLinkResets() const
{
    Lock lock(m_Mutex);
    return m_LinkResets;
}

void CUsbSimReceiver::OnPowerUp()
{
    m_Current.clear();
    m_CurrentOffset = 0;
    m_SplitAt = 0;
    m_Pipe2.clear();
    m_Pipe2Offset = 0;
    m_LastSent.clear();
    m_LastSentExt.clear();
    m_bAwaitingHost = false;
    m_bHostNeedsAck = false;
    m_HostAnsweredAt = Clock::now();
    m_NextSequence = 0;
    m_PendingAck = 0;
    m_HostControl.clear();
    m_HostExt.clear();
    m_HostExtExpected = 0;
    m_LastHostSequence = 0;
}

void CUsbSimReceiver::StageLocked(const std::vector<uint8_t>& Control, const std::string& Extended)
{
    m_Current = Control;
    m_CurrentOffset = 0;
    m_SplitAt = 0;
    if (m_SplitNext > 0 && m_SplitNext < Control.size())
    {
        m_SplitAt = m_SplitNext;
        m_SplitReadyAt = Clock::now() + std::chrono::milliseconds(m_SplitDelayMs);
        m_SplitNext = 0;
    }
    m_Pipe2 = Extended;
    m_Pipe2Offset = 0;
}

bool CUsbSimReceiver::TryProduceLocked(Clock::time_point Now)
{
    if (!m_Raw.empty())
    {
        StageLocked(m_Raw.front().first, std::string(m_Raw.front().second.begin(), m_Raw.front().second.end()));
        m_Raw.pop_front();
        return true;
    }
    if (m_HostExtExpected > 0)
    {
        // The host began a packet with extended data and did not finish it.
        m_HostExtExpected = 0;
        m_PendingAck = USB_LINK_RECEIVE_FAILED;
        m_bAwaitingHost = false;
        m_bHostNeedsAck = true;
    }
    if (m_bAwaitingHost)
    {
        if (Now - m_SentAt < std::chrono::milliseconds(m_Timing.RepeatMs) || m_LastSent.empty())
        {
            return false;
        }
        StageLocked(m_LastSent, m_LastSentExt);
        m_SentAt = Now;
        return true;
    }
    OUT_T out;
    const bool bReady = !m_Outbox.empty() && m_Outbox.front().NotBefore <= Now;
    if (bReady)
    {
        out = m_Outbox.front();
        m_Outbox.pop_front();
    }
    else if (!m_bHostNeedsAck && Now - m_HostAnsweredAt < std::chrono::milliseconds(m_Timing.IdleMs))
    {
        return false;
    }
    else
    {
        UsbLinkInitPacket(&out.Packet, USB_LINK_TYPE_STATUS);
    }
    std::string ext;
    if (out.bRepeat && !m_LastSent.empty())
    {
        StageLocked(m_LastSent, m_LastSentExt);
    }
    else
    {
        UsbLinkPacket& packet = out.Packet;
        packet.MagicHead = USB_LINK_MAGIC_HEAD;
        packet.MagicTail = USB_LINK_MAGIC_TAIL;
        packet.ExtLength = static_cast<uint32_t>(out.Ext.size());
        if (!out.bStatusGiven)
        {
            packet.Status = m_PendingAck;
        }
        m_PendingAck = 0;
        packet.Sequence = 0;
        if (packet.Type != USB_LINK_TYPE_STATUS)
        {
            if (++m_NextSequence == 0)
            {
                ++m_NextSequence;
            }
            packet.Sequence = m_NextSequence;
        }
        if (!out.Ext.empty())
        {
            uint8_t header[USB_LINK_EXT_BLOCK];
            UsbLinkInitExtHeader(header);
            ext.assign(reinterpret_cast<const char*>(header), sizeof(header));
            ext += out.Ext;
            ext.resize(USB_LINK_EXT_BLOCK + UsbLinkPadded(out.Ext.size()), '\0');
        }
        m_LastSent = PacketBytes(packet);
        m_LastSentExt = ext;
        StageLocked(m_LastSent, ext);
    }
    m_bHostNeedsAck = false;
    m_bAwaitingHost = true;
    m_SentAt = Now;
    return true;
}

CUsbSimReceiver::Clock::time_point CUsbSimReceiver::NextProduceLocked(Clock::time_point Now) const
{
    if (m_bAwaitingHost)
    {
        return m_SentAt + std::chrono::milliseconds(m_Timing.RepeatMs);
    }
    Clock::time_point next = m_HostAnsweredAt + std::chrono::milliseconds(m_Timing.IdleMs);
    if (!m_Outbox.empty())
    {
        next = std::min(next, m_Outbox.front().NotBefore);
    }
    return std::max(next, Now);
}

USB_XFER_E CUsbSimReceiver::TransferLocked(Lock& Held, uint64_t Generation, uint8_t Endpoint, uint8_t* pBuf, int Length,
                                           uint32_t TimeoutMs, int* pDone)
{
    switch (Endpoint)
    {
    case 0x80 | USB_PIPE_CONTROL:
        return ReadControlLocked(Held, Generation, pBuf, Length, TimeoutMs, pDone);
    case 0x80 | USB_PIPE_EXTENDED:
        return ReadExtendedLocked(Held, Generation, pBuf, Length, TimeoutMs, pDone);
    case USB_PIPE_CONTROL:
        return WriteControlLocked(pBuf, Length, pDone);
    case USB_PIPE_EXTENDED:
        return WriteExtendedLocked(pBuf, Length, pDone);
    default:
        return USB_XFER_STALL;
    }
}

USB_XFER_E CUsbSimReceiver::ReadControlLocked(Lock& Held, uint64_t Generation, uint8_t* pBuf, int Length,
                                              uint32_t TimeoutMs, int* pDone)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;)
    {
        if (Gone(Generation))
        {
            return USB_XFER_NO_DEVICE;
        }
        const Clock::time_point now = Clock::now();
        Clock::time_point wake = deadline;
        if (m_CurrentOffset < m_Current.size())
        {
            size_t end = m_Current.size();
            if (m_SplitAt > 0 && m_CurrentOffset < m_SplitAt)
            {
                end = m_SplitAt;
            }
            else if (m_SplitAt > 0 && now < m_SplitReadyAt)
            {
                end = 0;
                wake = std::min(wake, m_SplitReadyAt);
            }
            if (end > m_CurrentOffset)
            {
                const size_t n = std::min<size_t>(static_cast<size_t>(Length), end - m_CurrentOffset);
                std::memcpy(pBuf, m_Current.data() + m_CurrentOffset, n);
                m_CurrentOffset += n;
                if (m_CurrentOffset >= m_Current.size())
                {
                    m_Current.clear();
                    m_CurrentOffset = 0;
                    m_SplitAt = 0;
                }
                *pDone = static_cast<int>(n);
                return USB_XFER_OK;
            }
        }
        else if (!m_bSilent)
        {
            if (TryProduceLocked(now))
            {
                continue;
            }
            wake = std::min(wake, NextProduceLocked(now));
        }
        if (now >= deadline)
        {
            return USB_XFER_TIMEOUT;
        }
        m_Cond.wait_until(Held, std::max(wake, now + std::chrono::microseconds(100)));
    }
}

USB_XFER_E CUsbSimReceiver::ReadExtendedLocked(Lock& Held, uint64_t Generation, uint8_t* pBuf, int Length,
                                               uint32_t TimeoutMs, int* pDone)
{
    const bool bData = WaitLocked(Held, Generation, TimeoutMs, [this] { return m_Pipe2Offset < m_Pipe2.size(); });
    if (Gone(Generation))
    {
        return USB_XFER_NO_DEVICE;
    }
    if (!bData)
    {
        return USB_XFER_TIMEOUT;
    }
    const size_t n = std::min<size_t>(static_cast<size_t>(Length), m_Pipe2.size() - m_Pipe2Offset);
    std::memcpy(pBuf, m_Pipe2.data() + m_Pipe2Offset, n);
    m_Pipe2Offset += n;
    *pDone = static_cast<int>(n);
    return USB_XFER_OK;
}

USB_XFER_E CUsbSimReceiver::WriteControlLocked(const uint8_t* pBuf, int Length, int* pDone)
{
    *pDone = Length;
    const size_t take = std::min<size_t>(static_cast<size_t>(Length), USB_LINK_PACKET_SIZE - m_HostControl.size());
    m_HostControl.insert(m_HostControl.end(), pBuf, pBuf + take);
    if (m_HostControl.size() < USB_LINK_PACKET_SIZE)
    {
        return USB_XFER_OK;
    }
    UsbLinkPacket packet;
    std::memcpy(&packet, m_HostControl.data(), sizeof(packet));
    m_HostControl.clear();
    m_HostExtExpected = 0;
    const auto lose = m_Lose.find(packet.Type);
    if (lose != m_Lose.end() && UsbLinkPacketMagicsOk(packet))
    {
        if (--lose->second == 0)
        {
            m_Lose.erase(lose);
        }
        return USB_XFER_OK;
    }
    m_HostPackets.push_back(packet);
    if (!UsbLinkPacketMagicsOk(packet))
    {
        m_PendingAck = USB_LINK_RECEIVE_FAILED;
        m_bAwaitingHost = false;
        m_bHostNeedsAck = true;
        m_HostAnsweredAt = Clock::now();
        Wake();
        return USB_XFER_OK;
    }
    if (packet.ExtLength > 0)
    {
        m_HostPacket = packet;
        m_HostExt.clear();
        m_HostExtExpected = USB_LINK_EXT_BLOCK + UsbLinkPadded(packet.ExtLength);
        return USB_XFER_OK;
    }
    ProcessHostPacketLocked(packet, {});
    return USB_XFER_OK;
}

USB_XFER_E CUsbSimReceiver::WriteExtendedLocked(const uint8_t* pBuf, int Length, int* pDone)
{
    *pDone = Length;
    if (m_HostExtExpected == 0)
    {
        return USB_XFER_OK;
    }
    size_t take = std::min<size_t>(static_cast<size_t>(Length), m_HostExtExpected - m_HostExt.size());
    const bool bImage = m_HostPacket.Type == USB_LINK_TYPE_COMMAND &&
                        m_HostPacket.InlineLength == sizeof(kImageUpdate) - 1 &&
                        std::memcmp(m_HostPacket.Payload, kImageUpdate, sizeof(kImageUpdate) - 1) == 0;
    if (bImage && m_UnplugAfterImageBytes > 0)
    {
        const size_t limit = USB_LINK_EXT_BLOCK + m_UnplugAfterImageBytes;
        if (m_HostExt.size() + take >= limit)
        {
            take = limit > m_HostExt.size() ? limit - m_HostExt.size() : 0;
            *pDone = static_cast<int>(take);
            m_UnplugAfterImageBytes = 0;
            m_HostExtExpected = 0;
            PullOutLocked();
            return USB_XFER_NO_DEVICE;
        }
    }
    m_HostExt.append(reinterpret_cast<const char*>(pBuf), take);
    if (m_HostExt.size() < m_HostExtExpected)
    {
        return USB_XFER_OK;
    }
    m_HostExtExpected = 0;
    uint32_t head = 0;
    uint32_t tail = 0;
    std::memcpy(&head, m_HostExt.data(), 4);
    std::memcpy(&tail, m_HostExt.data() + USB_LINK_EXT_BLOCK - 4, 4);
    if (head != USB_LINK_MAGIC_HEAD || tail != USB_LINK_MAGIC_TAIL)
    {
        m_PendingAck = USB_LINK_RECEIVE_FAILED;
        m_bAwaitingHost = false;
        m_bHostNeedsAck = true;
        m_HostAnsweredAt = Clock::now();
        Wake();
        return USB_XFER_OK;
    }
    ProcessHostPacketLocked(m_HostPacket, m_HostExt.substr(USB_LINK_EXT_BLOCK, m_HostPacket.ExtLength));
    return USB_XFER_OK;
}

void CUsbSimReceiver::ProcessHostPacketLocked(const UsbLinkPacket& Packet, const std::string& Ext)
{
    m_bAwaitingHost = false;
    m_HostAnsweredAt = Clock::now();
    m_bHostNeedsAck = Packet.Type != USB_LINK_TYPE_STATUS;
    int16_t ack = USB_LINK_ACCEPTED;
    const bool bRepeated = Packet.Type != USB_LINK_TYPE_STATUS && Packet.Type != USB_LINK_TYPE_RESET &&
                           Packet.Sequence != 0 && Packet.Sequence == m_LastHostSequence;
    const std::string payload(reinterpret_cast<const char*>(Packet.Payload),
                              std::min<size_t>(Packet.InlineLength, USB_LINK_INLINE_MAX));
    if (!bRepeated)
    {
        switch (Packet.Type)
        {
        case USB_LINK_TYPE_STATUS:
            break;
        case USB_LINK_TYPE_RESET:
            ++m_LinkResets;
            m_LastHostSequence = 0;
            break;
        case USB_LINK_TYPE_CHANNEL_DATA:
            if (Packet.Channel >= USB_LINK_CHANNELS)
            {
                ack = USB_LINK_UNKNOWN_CHANNEL;
                break;
            }
            m_ChannelInput[Packet.Channel] += payload + Ext;
            if (m_ChannelResponder)
            {
                QueueDataLocked(Packet.Channel, m_ChannelResponder(Packet.Channel, payload + Ext));
            }
            break;
        case USB_LINK_TYPE_COMMAND:
            if (payload == kImageUpdate)
            {
                m_Images.push_back(Ext);
                ack = m_Image.AckStatus;
                if (ack == USB_LINK_ACCEPTED && m_Image.bReply && Packet.Token != 0)
                {
                    OUT_T out;
                    UsbLinkInitPacket(&out.Packet, USB_LINK_TYPE_REPLY);
                    out.Packet.Token = Packet.Token;
                    out.Packet.RequestId = Packet.RequestId;
                    out.Packet.Status = m_Image.ReplyStatus;
                    out.bStatusGiven = true;
                    out.Packet.InlineLength = static_cast<uint16_t>(m_Image.ReplyText.size());
                    std::memcpy(out.Packet.Payload, m_Image.ReplyText.data(), m_Image.ReplyText.size());
                    out.NotBefore = Clock::now() + std::chrono::milliseconds(m_Image.ReplyDelayMs);
                    QueueLocked(std::move(out));
                }
                break;
            }
            {
                const std::string text(payload.c_str());
                m_Commands.push_back(text);
                std::string reply;
                if (Packet.Token != 0 && m_CommandHandler && m_CommandHandler(text, &reply))
                {
                    OUT_T out;
                    UsbLinkInitPacket(&out.Packet, USB_LINK_TYPE_REPLY);
                    out.Packet.Token = Packet.Token;
                    out.Packet.RequestId = Packet.RequestId;
                    out.Packet.InlineLength =
                        static_cast<uint16_t>(std::min<size_t>(reply.size(), USB_LINK_INLINE_MAX));
                    std::memcpy(out.Packet.Payload, reply.data(), out.Packet.InlineLength);
                    QueueLocked(std::move(out));
                }
            }
            break;
        default:
            ack = USB_LINK_UNKNOWN_TYPE;
            break;
        }
    }
    const auto scripted = m_NextAck.find(Packet.Type);
    if (scripted != m_NextAck.end())
    {
        ack = scripted->second;
        m_NextAck.erase(scripted);
    }
    m_PendingAck = ack;
    if (Packet.Sequence != 0 && ack == USB_LINK_ACCEPTED)
    {
        m_LastHostSequence = Packet.Sequence;
    }
    Wake();
}
