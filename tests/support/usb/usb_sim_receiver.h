// The receiver's side of the USB link protocol, in memory, for tests: it
// answers every packet of the host with one of its own, sends what a test
// queues (channel data, commands, replies, raw bytes), takes the host's
// channel data, commands and firmware images, and can be told to refuse,
// repeat, stay silent or pull itself out.
//
// Its pacing follows the polled exchange: after each packet it waits for the
// host's answer and sends the same packet again when none comes; with nothing
// to say it answers after an idle pause. Both times can be shortened.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "monitor/ports/usb/usb_link_session.h"
#include "support/usb/usb_mem_backend.h"

class CUsbSimReceiver : public CUsbMemDevice
{
public:
    struct TIMING_T
    {
        uint32_t IdleMs = 5;     // pause before a status packet when there is nothing to send
        uint32_t RepeatMs = 100; // a packet the host leaves unanswered is sent again after this
    };
    // How the receiver answers a firmware image.
    struct IMAGE_ANSWER_T
    {
        int16_t AckStatus = 0; // the acknowledgement of the packet that carried it
        bool bReply = false;   // a refusal follows as a reply
        std::string ReplyText;
        int16_t ReplyStatus = 0;
        uint32_t ReplyDelayMs = 0;
    };
    // Answers a host command that awaits a reply; false for no reply. Called
    // with the receiver locked: it must not call the receiver.
    using COMMAND_HANDLER_T = std::function<bool(const std::string& Command, std::string* pReply)>;
    // Bytes to send back on a channel for bytes the host wrote to it (same rule).
    using CHANNEL_RESPONDER_T = std::function<std::string(uint8_t Channel, const std::string& Data)>;

    CUsbSimReceiver(std::string Product, std::string Serial);

    void SetTiming(const TIMING_T& Timing);
    // Queues packets; they go out one per turn, in order.
    void SendChannelData(uint8_t Channel, const std::string& Inline, const std::string& Ext = {});
    // Data cut into packets of InlineBytes inline and up to ExtBytes extended each.
    void StreamChannelData(uint8_t Channel, const std::string& Data, uint32_t InlineBytes, uint32_t ExtBytes);
    void SendCommand(const std::string& Text, const std::string& Ext = {});
    void SendReply(uint32_t Token, uint16_t RequestId, const std::string& Inline, const std::string& Ext = {});
    // Any packet: type, channel, status, inline length and payload, token and
    // request id are taken as given (an inline length may even exceed the
    // payload); the magics, extended length and sequence number are the receiver's.
    void SendPacket(const UsbLinkPacket& Fields, const std::string& Ext = {}, bool bStatusGiven = false);
    // Raw bytes for the next reads of pipe 1 and 2, in place of a packet.
    void InjectRaw(std::vector<uint8_t> Control, std::vector<uint8_t> Extended = {});
    // Sends its last packet again, sequence number and all.
    void RepeatLastPacket();
    // The next packet arrives in two pieces, the rest DelayMs after the first.
    void SplitNextPacket(uint32_t FirstBytes, uint32_t DelayMs);
    // The next host packet of Type is acknowledged with Status.
    void SetNextAck(uint8_t Type, int16_t Status);
    // The next host control packet of Type is lost on its way: the receiver
    // never sees it, so it sends its own last packet again.
    void LoseNextHostPacket(uint8_t Type);
    // While silent the receiver sends nothing (the host's reads time out).
    void SetSilent(bool bSilent);
    void SetImageAnswer(const IMAGE_ANSWER_T& Answer);
    // Pulls itself out once this many image bytes have arrived (0: never).
    void UnplugAfterImageBytes(uint32_t Bytes);
    void SetCommandHandler(COMMAND_HANDLER_T Handler);
    void SetChannelResponder(CHANNEL_RESPONDER_T Responder);

    // Every control packet the host sent, in order.
    std::vector<UsbLinkPacket> GetHostPackets() const;
    std::string GetChannelInput(uint8_t Channel) const;
    std::vector<std::string> GetCommands() const;
    std::vector<std::string> GetImages() const;
    size_t GetQueued() const;
    uint32_t GetLinkResets() const;

protected:
    USB_XFER_E TransferLocked(Lock& Held, uint64_t Generation, uint8_t Endpoint, uint8_t* pBuf, int Length,
                              uint32_t TimeoutMs, int* pDone) override;
    void OnPowerUp() override;

private:
    using Clock = std::chrono::steady_clock;
    struct OUT_T
    {
        UsbLinkPacket Packet{};
        std::string Ext;
        bool bStatusGiven = false;
        bool bRepeat = false;
        Clock::time_point NotBefore{};
    };

    void QueueLocked(OUT_T Out);
    void QueueDataLocked(uint8_t Channel, const std::string& Data);
    bool TryProduceLocked(Clock::time_point Now);
    Clock::time_point NextProduceLocked(Clock::time_point Now) const;
    void StageLocked(const std::vector<uint8_t>& Control, const std::string& Extended);
    USB_XFER_E ReadControlLocked(Lock& Held, uint64_t Generation, uint8_t* pBuf, int Length, uint32_t TimeoutMs,
                                 int* pDone);
    USB_XFER_E ReadExtendedLocked(Lock& Held, uint64_t Generation, uint8_t* pBuf, int Length, uint32_t TimeoutMs,
                                  int* pDone);
    USB_XFER_E WriteControlLocked(const uint8_t* pBuf, int Length, int* pDone);
    USB_XFER_E WriteExtendedLocked(const uint8_t* pBuf, int Length, int* pDone);
    void ProcessHostPacketLocked(const UsbLinkPacket& Packet, const std::string& Ext);

    TIMING_T m_Timing;
    IMAGE_ANSWER_T m_Image;
    uint32_t m_UnplugAfterImageBytes = 0;
    COMMAND_HANDLER_T m_CommandHandler;
    CHANNEL_RESPONDER_T m_ChannelResponder;
    std::map<uint8_t, int16_t> m_NextAck;
    std::map<uint8_t, uint32_t> m_Lose;
    bool m_bSilent = false;

    // Sending.
    std::deque<OUT_T> m_Outbox;
    std::deque<std::pair<std::vector<uint8_t>, std::vector<uint8_t>>> m_Raw;
    std::vector<uint8_t> m_Current; // control packet being read by the host
    size_t m_CurrentOffset = 0;
    size_t m_SplitAt = 0;
    uint32_t m_SplitNext = 0;
    uint32_t m_SplitDelayMs = 0;
    Clock::time_point m_SplitReadyAt{};
    std::string m_Pipe2; // extended data being read by the host
    size_t m_Pipe2Offset = 0;
    std::vector<uint8_t> m_LastSent;
    std::string m_LastSentExt;
    bool m_bAwaitingHost = false;
    bool m_bHostNeedsAck = false;
    Clock::time_point m_SentAt{};
    Clock::time_point m_HostAnsweredAt{};
    uint16_t m_NextSequence = 0;
    int16_t m_PendingAck = 0;

    // Receiving.
    std::vector<uint8_t> m_HostControl;
    UsbLinkPacket m_HostPacket{};
    std::string m_HostExt;
    size_t m_HostExtExpected = 0;
    uint16_t m_LastHostSequence = 0;

    // What arrived.
    std::vector<UsbLinkPacket> m_HostPackets;
    std::string m_ChannelInput[USB_LINK_CHANNELS];
    std::vector<std::string> m_Commands;
    std::vector<std::string> m_Images;
    uint32_t m_LinkResets = 0;
};
