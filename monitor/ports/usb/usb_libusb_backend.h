// The device layer's backend for real receivers, over libusb-1.0. It lists
// every device but hubs (the device layer picks the receivers by their IDs);
// a device's key is its place on the bus ("<bus>-<port>.<port>..."), so a
// receiver plugged into the same socket again gets the same key. Opening claims the interface
// that carries the link's bulk endpoints 0x01/0x81 and 0x02/0x82, detaching a
// kernel driver that may hold it.
#pragma once

#include "monitor/ports/usb/usb_device.h"

struct libusb_context;

class CUsbLibusbBackend : public IUsbBackend
{
public:
    CUsbLibusbBackend();
    ~CUsbLibusbBackend() override;

    // False when libusb could not be started (no USB on this system); every
    // call then fails cleanly.
    bool IsReady() const { return m_pContext != nullptr; }

    int ListDevices(std::vector<USB_BUS_DEVICE_T>* pDevices, bool bProducts) override;
    std::unique_ptr<CUsbBackendHandle> Open(const std::string& Path, int* pError, USB_OPEN_FAULT_E* pFault) override;
    int ReadStringDescriptor(CUsbBackendHandle* pHandle, uint8_t Index, uint8_t* pBuf, int Capacity) override;
    USB_XFER_E BulkTransfer(CUsbBackendHandle* pHandle, uint8_t Endpoint, uint8_t* pBuf, int Length, uint32_t TimeoutMs,
                            int* pDone) override;
    int ClearHalt(CUsbBackendHandle* pHandle, uint8_t Endpoint) override;

private:
    libusb_context* m_pContext = nullptr;
};
