// An in-memory USB stack for tests: devices that a test plugs in and pulls
// out, each with its strings and its bulk endpoints, behind the same backend
// interface as libusb. A plain CUsbMemDevice only lists and opens (its IN
// endpoints time out, its OUT endpoints take everything); CUsbSimReceiver
// (usb_sim_receiver.h) adds the receiver's side of the link protocol.
//
// Everything here is thread-safe: the link threads transfer while a test
// thread plugs, pulls and scripts the device.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "monitor/ports/usb/usb_device.h"

// A string descriptor (type 3) holding Text as UTF-16LE.
std::vector<uint8_t> UsbMemStringDescriptor(const std::string& Utf8Text);

class CUsbMemDevice
{
public:
    // The IDs are the first of the built-in receiver table unless set.
    CUsbMemDevice(std::string Product, std::string Serial);
    virtual ~CUsbMemDevice();
    CUsbMemDevice(const CUsbMemDevice&) = delete;
    CUsbMemDevice& operator=(const CUsbMemDevice&) = delete;

    // Replaces a string descriptor by raw bytes; an empty vector makes its read fail.
    void SetStringDescriptor(uint8_t Index, std::vector<uint8_t> Raw);
    std::vector<uint8_t> GetStringDescriptor(uint8_t Index) const;

    // Pulling out ends every transfer at once with USB_XFER_NO_DEVICE and
    // leaves the handles dead; plugging in again starts from power-up.
    void SetPlugged(bool bPlugged);
    bool IsPlugged() const;
    // The vendor and product ID the device reports.
    void SetIds(uint16_t VendorId, uint16_t ProductId);
    uint16_t GetVendorId() const;
    uint16_t GetProductId() const;
    // While set, a second open is refused (another program has the device).
    void SetBusy(bool bBusy);
    // While set, opening is refused for want of permission.
    void SetNoAccess(bool bNoAccess);
    // Transfers and halt clears seen so far, and a switch to make clears fail.
    uint32_t GetClearHaltCount() const;
    void SetClearHaltFails(bool bFails);

    // Backend side: the handle's generation is checked on every call.
    uint64_t Claim(int* pError, USB_OPEN_FAULT_E* pFault);
    void Release(uint64_t Generation);
    USB_XFER_E Transfer(uint64_t Generation, uint8_t Endpoint, uint8_t* pBuf, int Length, uint32_t TimeoutMs,
                        int* pDone);
    int ClearHalt(uint64_t Generation, uint8_t Endpoint);
    bool IsGeneration(uint64_t Generation) const;

protected:
    using Lock = std::unique_lock<std::mutex>;
    // One transfer with m_Mutex held. The default: IN waits out the time-out,
    // OUT takes every byte.
    virtual USB_XFER_E TransferLocked(Lock& Held, uint64_t Generation, uint8_t Endpoint, uint8_t* pBuf, int Length,
                                      uint32_t TimeoutMs, int* pDone);
    // Power-up state, called with m_Mutex held when the device is plugged in.
    virtual void OnPowerUp() {}
    // Waits with m_Mutex held until Ready() is true; false on time-out or
    // when the device was pulled out (then Gone(Generation) is true).
    bool WaitLocked(Lock& Held, uint64_t Generation, uint32_t TimeoutMs, const std::function<bool()>& Ready);
    bool Gone(uint64_t Generation) const { return !m_bPlugged || Generation != m_Generation; }
    // Wakes transfers waiting in WaitLocked.
    void Wake() { m_Cond.notify_all(); }
    // Pulls the device out from inside a transfer (m_Mutex held).
    void PullOutLocked();

    mutable std::mutex m_Mutex;
    std::condition_variable m_Cond;

private:
    std::map<uint8_t, std::vector<uint8_t>> m_Strings;
    bool m_bPlugged = false;
    bool m_bClaimed = false;
    bool m_bBusy = false;
    bool m_bNoAccess = false;
    uint16_t m_VendorId;
    uint16_t m_ProductId;
    bool m_bClearHaltFails = false;
    uint32_t m_ClearHaltCount = 0;
    uint64_t m_Generation = 0;
};

class CUsbMemBackend : public IUsbBackend
{
public:
    CUsbMemBackend();
    ~CUsbMemBackend() override;

    // Adds a device under Path ("mem-<n>" when empty) and plugs it in; it is
    // listed while plugged, in the order of adding.
    template <class DEVICE_T> std::shared_ptr<DEVICE_T> Add(std::shared_ptr<DEVICE_T> pDevice, std::string Path = {})
    {
        AddDevice(pDevice, std::move(Path));
        return pDevice;
    }
    void AddDevice(std::shared_ptr<CUsbMemDevice> pDevice, std::string Path = {});
    std::string GetPath(const CUsbMemDevice* pDevice) const;
    // While set, the device list cannot be read.
    void SetListFails(bool bFails);

    // Plugged devices in the order of adding; the product is the product string descriptor's text.
    int ListDevices(std::vector<USB_BUS_DEVICE_T>* pDevices, bool bProducts) override;
    std::unique_ptr<CUsbBackendHandle> Open(const std::string& Path, int* pError, USB_OPEN_FAULT_E* pFault) override;
    int ReadStringDescriptor(CUsbBackendHandle* pHandle, uint8_t Index, uint8_t* pBuf, int Capacity) override;
    USB_XFER_E BulkTransfer(CUsbBackendHandle* pHandle, uint8_t Endpoint, uint8_t* pBuf, int Length, uint32_t TimeoutMs,
                            int* pDone) override;
    int ClearHalt(CUsbBackendHandle* pHandle, uint8_t Endpoint) override;

private:
    mutable std::mutex m_Mutex;
    std::vector<std::pair<std::string, std::shared_ptr<CUsbMemDevice>>> m_Devices;
    bool m_bListFails = false;
    int m_NextPath = 1;
};
