// Inside the USB link library: the wire layout, the records of a session and
// the functions of its link loop. The port controller uses usb_link.h only;
// tests and the in-memory receiver use this as well.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "monitor/ports/usb/usb_device.h"
#include "monitor/ports/usb/usb_link.h"
#include "monitor/ports/usb/usb_link_primitives.h"

constexpr uint32_t USB_LINK_MAGIC_HEAD = 0x1234BEEFu;
constexpr uint32_t USB_LINK_MAGIC_TAIL = 0x5678DEADu;
constexpr uint32_t USB_LINK_PACKET_SIZE = 512;
constexpr uint32_t USB_LINK_INLINE_MAX = 476;
// Extended data: a 512-byte header block, then the data padded to 512 bytes.
constexpr uint32_t USB_LINK_EXT_BLOCK = 512;
constexpr uint32_t USB_LINK_MAX_TRANSFER = 32768;
constexpr uint32_t USB_LINK_DROP_TRANSFER = 4096;
// Largest extended data a packet may announce; more is read and dropped.
constexpr uint32_t USB_LINK_MAX_EXT = 16u * 1024u * 1024u;
constexpr uint32_t USB_LINK_HANDLE_MAGIC = 0x11223344u;
// Requests awaiting a reply beyond which the oldest is evicted.
constexpr int USB_LINK_MAX_AWAITING = 64;

enum USB_LINK_TYPE_E : uint8_t
{
    USB_LINK_TYPE_STATUS = 0,
    USB_LINK_TYPE_COMMAND = 1,
    USB_LINK_TYPE_REPLY = 2,
    USB_LINK_TYPE_CHANNEL_DATA = 3,
    USB_LINK_TYPE_RESET = 4,
};

// The status a packet carries about the other side's previous packet, and
// the status given to a request's completion when it is evicted.
enum USB_LINK_PEER_STATUS_E : int16_t
{
    USB_LINK_ACCEPTED = 0,
    USB_LINK_RECEIVE_FAILED = -2,
    USB_LINK_NO_SPACE = -4,
    USB_LINK_EVICTED = -8,
    USB_LINK_UNKNOWN_CHANNEL = -9,
    USB_LINK_UNKNOWN_TYPE = -10,
};

enum USB_LINK_STATE_E : int
{
    USB_LINK_UP = 0,
    USB_LINK_ERROR = 1,       // the receiver stopped answering; waiting for it
    USB_LINK_NO_STRINGS = 2,  // the device has no product name or serial number
    USB_LINK_CANNOT_OPEN = 3, // the device could not be opened
};

#pragma pack(push, 1)
struct UsbLinkPacket
{
    uint32_t MagicHead;
    uint8_t Type;
    uint8_t Channel;
    int16_t Status;
    uint16_t InlineLength;
    uint16_t Reserved1;
    uint32_t ExtLength;
    uint32_t Token;
    uint16_t RequestId;
    uint16_t Sequence;
    uint8_t Reserved2[8];
    uint8_t Payload[USB_LINK_INLINE_MAX];
    uint32_t MagicTail;
};
#pragma pack(pop)
static_assert(sizeof(UsbLinkPacket) == USB_LINK_PACKET_SIZE, "control packet size");
static_assert(offsetof(UsbLinkPacket, Type) == 4 && offsetof(UsbLinkPacket, Status) == 6, "packet layout");
static_assert(offsetof(UsbLinkPacket, InlineLength) == 8 && offsetof(UsbLinkPacket, ExtLength) == 12, "packet layout");
static_assert(offsetof(UsbLinkPacket, Token) == 16 && offsetof(UsbLinkPacket, RequestId) == 20, "packet layout");
static_assert(offsetof(UsbLinkPacket, Sequence) == 22 && offsetof(UsbLinkPacket, Payload) == 32, "packet layout");
static_assert(offsetof(UsbLinkPacket, MagicTail) == 508, "packet layout");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the wire layout is little-endian, as the host");

// A zeroed packet with both magics.
void UsbLinkInitPacket(UsbLinkPacket* pPacket, uint8_t Type);
bool UsbLinkPacketMagicsOk(const UsbLinkPacket& Packet);
// The header block of extended data: both magics, all else 0.
void UsbLinkInitExtHeader(uint8_t (&Header)[USB_LINK_EXT_BLOCK]);
// Extended length rounded up to whole 512-byte blocks, in 64 bits.
inline uint64_t UsbLinkPadded(uint64_t Length)
{
    return (Length + USB_LINK_EXT_BLOCK - 1) / USB_LINK_EXT_BLOCK * USB_LINK_EXT_BLOCK;
}

struct UsbLinkRequest;
using UsbLinkAckFn = void (*)(UsbLinkSession* pSession, UsbLinkRequest* pRequest, int Status);
// Status is 0 for a reply (then pReply is the reply packet) and
// USB_LINK_EVICTED when the request was given up (pReply null).
using UsbLinkDoneFn = void (*)(UsbLinkSession* pSession, UsbLinkRequest* pRequest, int Status,
                               const UsbLinkPacket* pReply, const uint8_t* pInline, uint32_t InlineLength,
                               const uint8_t* pExt, uint32_t ExtLength);
// Asked before a queued request is sent; false drops it unsent.
using UsbLinkKeepFn = bool (*)(UsbLinkSession* pSession, UsbLinkRequest* pRequest);

enum USB_LINK_REQUEST_STATE_E : uint32_t
{
    USB_LINK_REQUEST_FREE = 0,
    USB_LINK_REQUEST_BUILT = 1,
    USB_LINK_REQUEST_QUEUED = 2, // queued, or sent and awaiting its acknowledgement
    USB_LINK_REQUEST_AWAITING_REPLY = 3,
};

struct UsbLinkRequest
{
    UsbLinkPacket* pPacket = nullptr; // a "CtrlPkg" block
    uint8_t* pExtData = nullptr;      // "ExData" blocks, padded with zeros
    uint32_t ExtLength = 0;
    uint8_t* pReplyBuffer = nullptr;
    uint32_t ReplyCapacity = 0;
    UsbLinkAckFn pfnAck = nullptr;
    UsbLinkDoneFn pfnDone = nullptr;
    UsbLinkKeepFn pfnKeep = nullptr;
    uint32_t State = USB_LINK_REQUEST_FREE;
    uint16_t RequestId = 0;
    uint32_t Token = 0;
    uint32_t Generation = 0; // of its record; part of the token
    void* pContext = nullptr;
    uint32_t Tag = 0; // the context's own mark
};

// A command the receiver sent, waiting for the command thread.
struct UsbLinkCommand
{
    uint32_t Token = 0;
    uint16_t RequestId = 0;
    char* pText = nullptr; // inline payload, NUL-terminated
    uint32_t TextCapacity = 0;
    uint8_t* pExtData = nullptr;
    uint32_t ExtLength = 0;
    uint32_t ExtCapacity = 0;
};

// A pool of records of one type over a BlockPool; taking constructs one.
template <class T> class LinkRecordPool
{
public:
    LinkRecordPool(const char* pName, uint32_t Count) : m_Pool(pName, RecordSize(), Count) {}
    T* Take()
    {
        uint8_t* p = m_Pool.Take();
        return p != nullptr ? new (p) T() : nullptr;
    }
    void GiveBack(T* p)
    {
        if (p != nullptr && m_Pool.IsTaken(p))
        {
            p->~T();
            m_Pool.GiveBack(p);
        }
    }
    bool IsTaken(const T* p) const { return m_Pool.IsTaken(p); }
    int IndexOf(const T* p) const { return m_Pool.IndexOf(p); }
    // The record at Index (taken or not); null past the end.
    T* At(uint32_t Index) const
    {
        return Index < m_Pool.GetBlockCount() ? reinterpret_cast<T*>(m_Pool.GetBase() + Index * RecordSize()) : nullptr;
    }
    uint32_t GetCount() const { return m_Pool.GetBlockCount(); }
    uint32_t GetFreeCount() const { return m_Pool.GetFreeCount(); }

private:
    static constexpr uint32_t RecordSize() { return (sizeof(T) + alignof(T) - 1) / alignof(T) * alignof(T); }
    BlockPool m_Pool;
};

struct UsbLinkSession
{
    static constexpr uint32_t SEND_SLOTS = 256;
    static constexpr uint32_t COMMAND_SLOTS = 64;
    static constexpr uint32_t CTRL_PACKETS = 64;
    static constexpr uint32_t REQUESTS = 128;
    static constexpr uint32_t EXT_BLOCK = 1024;
    static constexpr uint32_t EXT_BLOCKS = 16384;
    static constexpr uint32_t COMMANDS = 32;

    explicit UsbLinkSession(UsbDeviceTable* pTable);
    ~UsbLinkSession();

    UsbDeviceTable* const pTable;
    std::atomic<UsbDeviceRecord*> pDevice{nullptr}; // current device; changes on a reconnection
    bool bDeviceOpen = false;                       // the session holds its device open (link thread)
    char ProductName[64] = {};
    char SerialNumber[128] = {};
    USB_LINK_TIMING_T Timing;
    std::atomic<int> LinkState{USB_LINK_UP};
    std::atomic<uint32_t> LinkLosses{0}; // raised each time the link is lost

    // Guarded by SvrLock: ids, sequence numbers, the send ring and the link reset.
    std::mutex SvrLock;
    RingQueue SendRing;
    uint16_t RequestIdCounter = 0;
    uint16_t SequenceCounter = 0;
    UsbLinkRequest* pResetRequest = nullptr; // armed: sent before anything in the ring
    // The link reset's own request, taken once for the session: writes queued
    // while the receiver was away may hold every control packet of the pool.
    UsbLinkRequest* pLinkReset = nullptr;
    std::atomic<bool> bLinkResetPending{false};

    // Link thread only.
    uint16_t LastSequence = 0;       // last one received, 0 none
    UsbLinkRequest* pSent = nullptr; // sent in the previous turn, awaiting its acknowledgement
    uint32_t FailedReads = 0;
    std::atomic<int> AwaitingCount{0};
    UsbLinkRequest* Awaiting[REQUESTS] = {}; // by record index: requests awaiting a reply
    uint32_t Generations[REQUESTS] = {};     // by record index: raised each time the record is taken

    std::mutex CmdLock;
    RingQueue CmdRing;
    AutoResetEvent CmdEvent;

    BlockPool CtrlPkg;
    LinkRecordPool<UsbLinkRequest> Requests;
    BlockPool ExData;
    LinkRecordPool<UsbLinkCommand> Commands;
    std::unique_ptr<UsbLinkChannel> Channels[USB_LINK_CHANNELS];
    UsbLinkDescriptor* Held[USB_LINK_CHANNELS] = {}; // the reader's buffer of each channel

    std::atomic<bool> bStop{false};
    AutoResetEvent StopEvent;
    LinkThread Server;
    LinkThread Cmd;
    uint8_t DropBuffer[USB_LINK_DROP_TRANSFER] = {};
};

// A request with its control packet and ExtLength bytes of extended data
// (zero-padded), state built; null when a pool is exhausted.
UsbLinkRequest* UsbLinkBuildRequest(UsbLinkSession* pSession, uint8_t Type, uint32_t ExtLength);
void UsbLinkFreeRequest(UsbLinkSession* pSession, UsbLinkRequest* pRequest);
// Gives a request its id and token (when it has a completion) and its
// sequence number, and appends it to the send ring. 0, or
// USB_LINK_NOT_A_REQUEST, USB_LINK_REPLY_WITHOUT_TOKEN, USB_LINK_RING_FULL
// (the caller frees the request).
int UsbLinkQueueRequest(UsbLinkSession* pSession, UsbLinkRequest* pRequest);
int UsbLinkSendChannelData(UsbLinkSession* pSession, uint32_t Channel, const void* pData, uint32_t Length);
// The request id (0 without a completion), or a negative result.
int UsbLinkSendCommand(UsbLinkSession* pSession, const char* pText, UsbLinkDoneFn pfnDone = nullptr,
                       void* pContext = nullptr);
// Runs the link loop until the session's stop flag.
void UsbLinkServe(UsbLinkSession* pSession);
// Waits for a receiver with the session's serial number; false on stop.
bool UsbLinkWaitDevice(UsbLinkSession* pSession);
// 0, or -1 (a short transfer) or -2 (a bad header); data go into pBuf when
// it holds the padded length, else they are read and dropped.
int UsbLinkReceiveExtData(UsbLinkSession* pSession, uint32_t ExtLength, uint8_t* pBuf, uint64_t Capacity);
int UsbLinkHandleReply(UsbLinkSession* pSession, const UsbLinkPacket& Packet);
int UsbLinkHandleChannelData(UsbLinkSession* pSession, const UsbLinkPacket& Packet);
int UsbLinkHandleCommand(UsbLinkSession* pSession, const UsbLinkPacket& Packet);
int UsbLinkSendStatus(UsbLinkSession* pSession, int Status);
// The command thread: runs "WriteFile" and "ReadFile" commands of the receiver.
void UsbLinkCommandServer(UsbLinkSession* pSession);
// A lost receiver came back, or its link reset was refused: the link reset
// is sent again before anything else.
void UsbLinkArmLinkReset(UsbLinkSession* pSession);
// Makes a device the session's unless another session has it; false then.
bool UsbLinkClaimDevice(UsbLinkSession* pSession, UsbDeviceRecord* pDevice);
// Writes a command's extended data into a file under the WriteFile folder.
// 0; -1 a bad or unsafe value or a file that cannot be opened; -2 another
// option letter or a short write; -3 a token that is not an option.
int UsbLinkWriteFileCommand(const UsbLinkCommand& Command, const std::string& Folder);
