// USB link library: the operations the USB port controller and the quick
// connect dialog call. A receiver on USB is driven by a host-polled exchange
// of 512-byte control packets on pipe 1, each optionally followed by
// extended data on pipe 2. Over it run three byte channels from the receiver,
// writes from the host to a channel, command requests with replies, and the
// firmware image update.
//
// One session per device (pools, queues, channels and two threads) is shared
// by the handles of its opened channels. Sessions survive unplugging: a lost
// receiver is waited for by its serial number and the session goes on.
//
// Threads: every call may come from any thread; one handle is used by one
// thread at a time. Every wait is bounded, so closing a handle returns within
// about a second whatever the link is doing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "monitor/ports/usb/usb_device.h"

struct UsbLinkHandle;
struct UsbLinkSession;

constexpr int USB_LINK_CHANNELS = 3;
constexpr int USB_LINK_MAX_HANDLES = 384;

// Results of UsbLinkClose, UsbLinkRelease and UsbLinkWrite (and of the
// request functions in usb_link_session.h).
enum USB_LINK_RESULT_E : int
{
    USB_LINK_OK = 0,
    USB_LINK_BAD_HANDLE = -1,
    USB_LINK_POOLS_EXHAUSTED = -4,
    USB_LINK_BAD_CHANNEL = -9,
    USB_LINK_NOT_A_REQUEST = -12,
    USB_LINK_REPLY_WITHOUT_TOKEN = -13,
    USB_LINK_RING_FULL = -14,
    USB_LINK_NO_DATA = -15,
    USB_LINK_TEXT_TOO_LONG = -16,
    USB_LINK_WRITE_BAD_HANDLE = -123, // UsbLinkWrite's own code for a bad handle
};

// Results of UsbLinkUpdateImage; the message buffer gets the text beside each.
enum USB_IMAGE_RESULT_E : int
{
    USB_IMAGE_DONE = 0,           // "Update finished"
    USB_IMAGE_INPUT_ERROR = -1,   // "input error"
    USB_IMAGE_INVALID_PORT = -2,  // "Invalid Port"
    USB_IMAGE_OUT_OF_MEMORY = -3, // "Out of Memory"
    USB_IMAGE_BUSY = -4,          // "USB busy"
    USB_IMAGE_TIMEOUT = -5,       // "timeout": the receiver did not take the image
    USB_IMAGE_REFUSED = -6,       // "<receiver's text> (<status>)"
    USB_IMAGE_LINK_LOST = -7,     // "USB link lost": the receiver went away during the update
    USB_IMAGE_CANCELLED = -8,     // "cancelled": the caller's stop request
};

// Waits of the library in milliseconds (and one count); tests shorten them.
// A session takes a copy when it is created.
struct USB_LINK_TIMING_T
{
    uint32_t ControlReadMs = 1000;  // one control packet from the receiver
    uint32_t ResyncReadMs = 10;     // the read that drops the rest of a bad packet
    uint32_t ControlWriteMs = 50;   // one control or status packet to the receiver
    uint32_t ExtTransferMs = 200;   // each transfer of extended data
    uint32_t ReconnectPollMs = 500; // between searches for a lost receiver
    uint32_t FailedReadsForLinkError = 11;
    uint32_t ThreadStartMs = 3000;
    uint32_t ThreadStopMs = 3000;
    uint32_t PushRetryMs = 1;
    uint32_t ImageAckMs = 5000;   // for the receiver to acknowledge the image
    uint32_t ImageReplyMs = 1000; // for a refusal after the acknowledgement
};
USB_LINK_TIMING_T& UsbLinkTiming();

// The device list: refreshed by UsbLinkGetDeviceCount (0 when it cannot be read).
int UsbLinkGetDeviceCount();
UsbDeviceRecord* UsbLinkGetDevice(int Index);
// The device's strings; read from the device first when empty.
std::string UsbLinkGetProductName(UsbDeviceRecord* pDevice);
std::string UsbLinkGetSerialNumber(UsbDeviceRecord* pDevice);

// Opens channel 0..2 of a device; null when the device cannot be opened, the
// channel is already open, or the handle table is full. Opening another
// channel of an open device shares its session and empties that channel.
UsbLinkHandle* UsbLinkOpen(UsbDeviceRecord* pDevice, uint32_t Channel);
int UsbLinkClose(UsbLinkHandle* pHandle);
// The channel's next received buffer and its length, waiting up to TimeoutMs;
// null with length 0 when none came. The buffer stays the library's until
// UsbLinkRelease; until then the same buffer is returned again.
const uint8_t* UsbLinkRead(UsbLinkHandle* pHandle, uint32_t* pLength, uint32_t TimeoutMs);
int UsbLinkRelease(UsbLinkHandle* pHandle);
// Queues bytes for the handle's channel on the receiver.
int UsbLinkWrite(UsbLinkHandle* pHandle, const void* pData, uint32_t Length);
// Sends a firmware image and waits for the receiver to take it; one update at
// a time in the process. With a message buffer, a text for the result is
// written into it (NUL-terminated, cut to MessageSize). IsCancelled, when
// given, is asked while waiting and ends the update early.
int UsbLinkUpdateImage(UsbLinkHandle* pHandle, const void* pImage, uint32_t Length, char* pMessage,
                       size_t MessageSize = 256, const std::function<bool()>& IsCancelled = {});

// Values for views and tests.
UsbLinkSession* UsbLinkGetSession(UsbLinkHandle* pHandle);
uint32_t UsbLinkGetDropped(UsbLinkHandle* pHandle);
// Whether the handle's receiver answers now: false while its link is lost
// (writes are queued meanwhile and go once it is back), and for a bad handle.
bool UsbLinkIsUp(UsbLinkHandle* pHandle);

// Replaces the system's USB stack (tests use the in-memory one). Only while
// no handle is open: -1 otherwise. The process starts with libusb.
int UsbLinkSetBackend(std::shared_ptr<IUsbBackend> pBackend);
UsbDeviceTable* UsbLinkGetTable();

// Where files that a receiver writes with "WriteFile" go (the working
// directory while empty). The receiver can only name paths inside it.
void UsbLinkSetWriteFileFolder(const std::string& Folder);
std::string UsbLinkGetWriteFileFolder();
