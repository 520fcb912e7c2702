// USB device layer: the lowest layer of the USB link library. A table of the
// attached receivers, reference-counted opening, each device's product and
// serial-number strings, and bulk pipe reads and writes with a caller's
// time-out. Plain functions over records with int status codes; it knows
// nothing of the link protocol above it.
//
// The system's USB stack sits behind IUsbBackend: libusb for real receivers
// (usb_libusb_backend.h) and an in-memory device for tests (usb_mem_backend.h).
//
// Records are never freed while the table lives: a record that leaves the
// table is only marked invalid (magic cleared), so a pointer that another
// thread still holds stays safe to check and gives USB_DEV_BAD_RECORD.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Status codes of the layer; pipe transfers return a byte count >= 0 instead of USB_DEV_OK.
enum USB_DEV_STATUS_E : int
{
    USB_DEV_OK = 0,
    USB_DEV_BAD_RECORD = -1,        // null, or a record that left the table
    USB_DEV_NO_DEVICE_LIST = -2,    // the system's device list cannot be read
    USB_DEV_CANNOT_OPEN = -3,       // removed, or the device cannot be opened
    USB_DEV_INIT_FAILED = -4,       // opened, but its link interface cannot be claimed
    USB_DEV_NOT_OPEN = -5,          // closed more often than opened, or a transfer on a closed record
    USB_DEV_DESCRIPTOR_FAILED = -6, // a string descriptor cannot be read or is malformed
    USB_DEV_RESET_FAILED = -7,      // the pipe reset after repeated short transfers failed
};

enum USB_DEV_STATE_E : uint32_t
{
    USB_DEV_STATE_NEW = 0,
    USB_DEV_STATE_CLOSED = 1,
    USB_DEV_STATE_OPEN = 2,
    USB_DEV_STATE_OPEN_FAILED = 3,
    USB_DEV_STATE_REMOVED = 4, // left the system while open; invalid after its last close
};

constexpr uint32_t USB_DEV_MAGIC = 0xFE3703E5u;
constexpr int USB_DEV_MAX_DEVICES = 128;
constexpr size_t USB_DEV_PATH_MAX = 259;
constexpr size_t USB_DEV_PRODUCT_MAX = 31;
constexpr size_t USB_DEV_SERIAL_MAX = 63;
// String descriptor indexes read for the product name and the serial number.
constexpr uint8_t USB_DEV_PRODUCT_STRING = 2;
constexpr uint8_t USB_DEV_SERIAL_STRING = 3;
// Link pipes: IN endpoint = pipe | 0x80, OUT endpoint = pipe & 0x7F.
constexpr uint8_t USB_PIPE_CONTROL = 1;
constexpr uint8_t USB_PIPE_EXTENDED = 2;
// Short transfers in a row after which the pipe is reset.
constexpr uint32_t USB_DEV_SHORT_RESET_COUNT = 4;
// Longest single wait of a transfer that can be aborted.
constexpr uint32_t USB_DEV_ABORT_SLICE_MS = 50;

inline uint8_t UsbPipeInEndpoint(uint8_t Pipe) { return static_cast<uint8_t>(Pipe | 0x80u); }
inline uint8_t UsbPipeOutEndpoint(uint8_t Pipe) { return static_cast<uint8_t>(Pipe & 0x7Fu); }

// Outcome of one bulk transfer of a backend.
enum USB_XFER_E
{
    USB_XFER_OK,        // ended normally: all bytes, or (IN) a short packet
    USB_XFER_TIMEOUT,   // the time-out passed; the count says how much got through
    USB_XFER_STALL,     // the endpoint halted
    USB_XFER_OVERFLOW,  // the device sent more than asked for
    USB_XFER_NO_DEVICE, // the device is gone
    USB_XFER_ERROR,
};

// Why a device could not be opened, as far as the system tells.
enum USB_OPEN_FAULT_E : int
{
    USB_OPEN_FAULT_NONE = 0,
    USB_OPEN_FAULT_PERMISSION,   // this user may not open it (on Linux: no udev rule grants it)
    USB_OPEN_FAULT_BUSY,         // another program holds its link interface
    USB_OPEN_FAULT_NO_INTERFACE, // it has no interface with the link's bulk endpoints
    USB_OPEN_FAULT_GONE,         // it is no longer attached
    USB_OPEN_FAULT_OTHER,
};

// A device on the bus, as the system lists it without opening it.
struct USB_BUS_DEVICE_T
{
    std::string Path; // the backend's key of the device
    uint16_t VendorId = 0;
    uint16_t ProductId = 0;
    std::string Product; // the product string the system keeps; may be empty
};

// An opened and claimed device of a backend.
class CUsbBackendHandle
{
public:
    virtual ~CUsbBackendHandle() = default;
};

// The system's USB stack as the layer needs it. Every call may come from any
// thread; transfers on one handle may run in one thread while another reads
// its strings.
class IUsbBackend
{
public:
    virtual ~IUsbBackend() = default;
    // Every device present now (hubs left out) with its IDs, in a stable
    // order; the count, or USB_DEV_NO_DEVICE_LIST. Product strings are filled
    // only with bProducts.
    virtual int ListDevices(std::vector<USB_BUS_DEVICE_T>* pDevices, bool bProducts) = 0;
    // Opens a device and claims its link interface, exclusively. Null with
    // *pError USB_DEV_CANNOT_OPEN or USB_DEV_INIT_FAILED and *pFault saying why.
    virtual std::unique_ptr<CUsbBackendHandle> Open(const std::string& Path, int* pError, USB_OPEN_FAULT_E* pFault) = 0;
    // The raw string descriptor, its 2-byte head included; the byte count, or < 0.
    virtual int ReadStringDescriptor(CUsbBackendHandle* pHandle, uint8_t Index, uint8_t* pBuf, int Capacity) = 0;
    // One bulk transfer; an IN transfer ends at a short packet. *pDone is the count moved.
    virtual USB_XFER_E BulkTransfer(CUsbBackendHandle* pHandle, uint8_t Endpoint, uint8_t* pBuf, int Length,
                                    uint32_t TimeoutMs, int* pDone) = 0;
    // Clears a halt or a stale state of an endpoint; 0, or < 0.
    virtual int ClearHalt(CUsbBackendHandle* pHandle, uint8_t Endpoint) = 0;
};

struct UsbDeviceRecord
{
    std::atomic<uint32_t> Magic{USB_DEV_MAGIC};
    std::unique_ptr<CUsbBackendHandle> Handle; // set while open
    std::atomic<uint32_t> State{USB_DEV_STATE_NEW};
    uint32_t OpenCount = 0;
    std::string Path; // key across enumerations, at most USB_DEV_PATH_MAX bytes
    uint16_t VendorId = 0;
    uint16_t ProductId = 0;
    // Why the last open failed; USB_OPEN_FAULT_NONE after one that succeeded.
    std::atomic<int> OpenFault{USB_OPEN_FAULT_NONE};
    char ProductName[USB_DEV_PRODUCT_MAX + 1] = {};
    char SerialNumber[USB_DEV_SERIAL_MAX + 1] = {};
    std::atomic<uint32_t> ReadShortCount{0};
    std::atomic<uint32_t> WriteShortCount{0};
};

struct UsbDeviceTable
{
    explicit UsbDeviceTable(std::shared_ptr<IUsbBackend> pBackend);
    ~UsbDeviceTable();
    UsbDeviceTable(const UsbDeviceTable&) = delete;
    UsbDeviceTable& operator=(const UsbDeviceTable&) = delete;

    std::shared_ptr<IUsbBackend> Backend;
    UsbDeviceRecord* Lists[2][USB_DEV_MAX_DEVICES] = {};
    int Counts[2] = {0, 0};
    int Active = 0;
    std::mutex ListLock;   // held for a whole enumeration
    std::mutex DeviceLock; // open, close, retirement, strings
    // Every record the table made; kept until the table goes.
    std::vector<std::unique_ptr<UsbDeviceRecord>> Records;
};

// Rebuilds the device list of the receivers (devices whose IDs
// UsbIsReceiverId knows): a device still present keeps its record, a new one
// gets a record with its strings, one that left is retired. With Force the
// strings of every device are read again. The count of devices, or USB_DEV_NO_DEVICE_LIST.
int UsbDevEnumerate(UsbDeviceTable* pTable, bool Force);
// Every device on the bus, receivers or not, with its product string; the
// count, or USB_DEV_NO_DEVICE_LIST. Nothing is opened.
int UsbDevListBus(UsbDeviceTable* pTable, std::vector<USB_BUS_DEVICE_T>* pDevices);
int UsbDevRefresh(UsbDeviceTable* pTable);
UsbDeviceRecord* UsbDevGetByIndex(UsbDeviceTable* pTable, int Index);
// True for a record of the table that has not been retired for good.
bool UsbDevIsValid(const UsbDeviceRecord* pRecord);
int UsbDevOpen(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord);
int UsbDevClose(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord);
int UsbDevReadStrings(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord);
// Opens and closes again, reading the strings when the product name is empty.
int UsbDevProbe(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord);
// Opens, and reads the strings when the product name is empty; stays open on success.
int UsbDevOpenWithStrings(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord);
// Copies of the strings (UTF-8); empty for a null or invalid record.
std::string UsbDevGetProductName(UsbDeviceTable* pTable, const UsbDeviceRecord* pRecord);
std::string UsbDevGetSerialNumber(UsbDeviceTable* pTable, const UsbDeviceRecord* pRecord);
uint32_t UsbDevGetState(const UsbDeviceRecord* pRecord);
// Why the record's last open failed (USB_OPEN_FAULT_E); NONE for a null or invalid record.
int UsbDevGetOpenFault(const UsbDeviceRecord* pRecord);
// Moves exactly Length bytes or fewer when the time-out passes or the device
// fails; a short packet does not end a read. The count moved (0 for Length 0),
// or USB_DEV_BAD_RECORD, USB_DEV_NOT_OPEN, USB_DEV_RESET_FAILED. When pAbort
// is given the transfer also ends, short, within USB_DEV_ABORT_SLICE_MS of it
// becoming true.
int UsbDevReadPipe(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord, uint8_t Pipe, void* pBuf, uint32_t Length,
                   uint32_t TimeoutMs, const std::atomic<bool>* pAbort = nullptr);
int UsbDevWritePipe(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord, uint8_t Pipe, const void* pBuf, uint32_t Length,
                    uint32_t TimeoutMs, const std::atomic<bool>* pAbort = nullptr);
// Discards what waits on the IN endpoint (a few short reads); the OUT side has nothing to discard.
int UsbDevFlushIn(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord, uint8_t Pipe);
int UsbDevFlushOut(UsbDeviceTable* pTable, UsbDeviceRecord* pRecord, uint8_t Pipe);

// A string descriptor as UTF-8, cut to at most MaxBytes on a character
// boundary. False for a malformed descriptor (too short, a length beyond the
// bytes received, or not a string descriptor).
bool UsbDevDecodeString(const uint8_t* pDesc, int nReceived, size_t MaxBytes, std::string* pText);

// Debug traces of the USB library go here; nothing is written without a sink.
using UsbTraceSink = void (*)(const char* pText);
void UsbSetTraceSink(UsbTraceSink pSink);
void UsbTrace(const char* pFormat, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
