#include "monitor/ports/usb/usb_libusb_backend.h"

#include <libusb.h>

#include <algorithm>
#include <atomic>
#include <fstream>

namespace
{
constexpr unsigned kStringTimeoutMs = 500;
constexpr uint16_t kDefaultLanguage = 0x0409;
constexpr int kMaxPortDepth = 8;

class CLibusbHandle : public CUsbBackendHandle
{
public:
    CLibusbHandle(libusb_device_handle* pHandle, int Interface) : Handle(pHandle), Interface(Interface) {}
    ~CLibusbHandle() override
    {
        libusb_release_interface(Handle, Interface);
        libusb_close(Handle);
    }

    libusb_device_handle* const Handle;
    const int Interface;
    std::atomic<int> Language{-1}; // first language of the device, read once
};

std::string DevicePath(libusb_device* pDevice)
{
    uint8_t ports[kMaxPortDepth];
    const int depth = libusb_get_port_numbers(pDevice, ports, kMaxPortDepth);
    std::string path = std::to_string(libusb_get_bus_number(pDevice));
    for (int i = 0; i < depth; ++i)
    {
        path += (i == 0 ? '-' : '.');
        path += std::to_string(ports[i]);
    }
    if (depth <= 0)
    {
        path += ":" + std::to_string(libusb_get_device_address(pDevice));
    }
    return path;
}

// The product string the kernel read when the device was attached: sysfs
// names a device by the same bus and port numbers as DevicePath. Anyone may
// read it, whereas the descriptor itself needs the device opened.
std::string SysfsProduct(const std::string& Path)
{
    std::ifstream file("/sys/bus/usb/devices/" + Path + "/product");
    std::string product;
    std::getline(file, product);
    return product;
}

USB_OPEN_FAULT_E FaultOf(int LibusbError)
{
    switch (LibusbError)
    {
    case LIBUSB_ERROR_ACCESS:
        return USB_OPEN_FAULT_PERMISSION;
    case LIBUSB_ERROR_BUSY:
        return USB_OPEN_FAULT_BUSY;
    case LIBUSB_ERROR_NO_DEVICE:
        return USB_OPEN_FAULT_GONE;
    case LIBUSB_ERROR_NOT_FOUND:
        return USB_OPEN_FAULT_NO_INTERFACE;
    default:
        return USB_OPEN_FAULT_OTHER;
    }
}

// The interface whose first setting has bulk endpoints 0x01, 0x81, 0x02 and 0x82; -1 when none has.
int LinkInterface(libusb_device* pDevice)
{
    libusb_config_descriptor* pConfig = nullptr;
    if (libusb_get_active_config_descriptor(pDevice, &pConfig) != 0 || pConfig == nullptr)
    {
        return -1;
    }
    int found = -1;
    for (int i = 0; i < pConfig->bNumInterfaces && found < 0; ++i)
    {
        if (pConfig->interface[i].num_altsetting < 1)
        {
            continue;
        }
        const libusb_interface_descriptor& alt = pConfig->interface[i].altsetting[0];
        int seen = 0;
        for (int e = 0; e < alt.bNumEndpoints; ++e)
        {
            const libusb_endpoint_descriptor& ep = alt.endpoint[e];
            if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
            {
                continue;
            }
            for (uint8_t pipe : {USB_PIPE_CONTROL, USB_PIPE_EXTENDED})
            {
                if (ep.bEndpointAddress == UsbPipeInEndpoint(pipe) || ep.bEndpointAddress == UsbPipeOutEndpoint(pipe))
                {
                    ++seen;
                }
            }
        }
        if (seen == 4)
        {
            found = alt.bInterfaceNumber;
        }
    }
    libusb_free_config_descriptor(pConfig);
    return found;
}
} // namespace

CUsbLibusbBackend::CUsbLibusbBackend()
{
    if (libusb_init(&m_pContext) != 0)
    {
        m_pContext = nullptr;
    }
}

CUsbLibusbBackend::~CUsbLibusbBackend()
{
    if (m_pContext != nullptr)
    {
        libusb_exit(m_pContext);
    }
}

int CUsbLibusbBackend::ListDevices(std::vector<USB_BUS_DEVICE_T>* pDevices, bool bProducts)
{
    pDevices->clear();
    if (m_pContext == nullptr)
    {
        return USB_DEV_NO_DEVICE_LIST;
    }
    libusb_device** ppList = nullptr;
    const ssize_t n = libusb_get_device_list(m_pContext, &ppList);
    if (n < 0)
    {
        return USB_DEV_NO_DEVICE_LIST;
    }
    for (ssize_t i = 0; i < n; ++i)
    {
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(ppList[i], &desc) != 0 || desc.bDeviceClass == LIBUSB_CLASS_HUB)
        {
            continue;
        }
        USB_BUS_DEVICE_T device;
        device.Path = DevicePath(ppList[i]);
        device.VendorId = desc.idVendor;
        device.ProductId = desc.idProduct;
        if (bProducts)
        {
            device.Product = SysfsProduct(device.Path);
        }
        pDevices->push_back(std::move(device));
    }
    libusb_free_device_list(ppList, 1);
    std::sort(pDevices->begin(), pDevices->end(),
              [](const USB_BUS_DEVICE_T& a, const USB_BUS_DEVICE_T& b) { return a.Path < b.Path; });
    return static_cast<int>(pDevices->size());
}

std::unique_ptr<CUsbBackendHandle> CUsbLibusbBackend::Open(const std::string& Path, int* pError,
                                                           USB_OPEN_FAULT_E* pFault)
{
    *pError = USB_DEV_CANNOT_OPEN;
    *pFault = USB_OPEN_FAULT_GONE;
    if (m_pContext == nullptr)
    {
        return nullptr;
    }
    libusb_device** ppList = nullptr;
    const ssize_t n = libusb_get_device_list(m_pContext, &ppList);
    if (n < 0)
    {
        return nullptr;
    }
    std::unique_ptr<CUsbBackendHandle> pResult;
    for (ssize_t i = 0; i < n; ++i)
    {
        if (DevicePath(ppList[i]) != Path)
        {
            continue;
        }
        libusb_device_handle* pHandle = nullptr;
        const int opened = libusb_open(ppList[i], &pHandle);
        if (opened != 0)
        {
            UsbTrace("#E,OpenDev,%d (%s)\n", opened, libusb_error_name(opened));
            *pFault = FaultOf(opened);
            break;
        }
        const int iface = LinkInterface(ppList[i]);
        libusb_set_auto_detach_kernel_driver(pHandle, 1);
        const int claimed = iface < 0 ? LIBUSB_ERROR_NOT_FOUND : libusb_claim_interface(pHandle, iface);
        if (claimed != 0)
        {
            UsbTrace("#E,OpenDev,%d (%s)\n", claimed, libusb_error_name(claimed));
            libusb_close(pHandle);
            *pError = USB_DEV_INIT_FAILED;
            *pFault = FaultOf(claimed);
            break;
        }
        *pError = USB_DEV_OK;
        *pFault = USB_OPEN_FAULT_NONE;
        pResult = std::make_unique<CLibusbHandle>(pHandle, iface);
        break;
    }
    libusb_free_device_list(ppList, 1);
    return pResult;
}

int CUsbLibusbBackend::ReadStringDescriptor(CUsbBackendHandle* pHandle, uint8_t Index, uint8_t* pBuf, int Capacity)
{
    auto* pUsb = static_cast<CLibusbHandle*>(pHandle);
    if (pUsb->Language.load() < 0)
    {
        uint8_t langs[255];
        const int n = libusb_get_string_descriptor(pUsb->Handle, 0, 0, langs, sizeof(langs));
        pUsb->Language.store(n >= 4 ? (langs[2] | (langs[3] << 8)) : kDefaultLanguage);
    }
    const int length = std::min(Capacity, 255);
    const int n = libusb_control_transfer(pUsb->Handle, LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_DESCRIPTOR,
                                          static_cast<uint16_t>((LIBUSB_DT_STRING << 8) | Index),
                                          static_cast<uint16_t>(pUsb->Language.load()), pBuf,
                                          static_cast<uint16_t>(length), kStringTimeoutMs);
    return n < 0 ? -1 : n;
}

USB_XFER_E CUsbLibusbBackend::BulkTransfer(CUsbBackendHandle* pHandle, uint8_t Endpoint, uint8_t* pBuf, int Length,
                                           uint32_t TimeoutMs, int* pDone)
{
    auto* pUsb = static_cast<CLibusbHandle*>(pHandle);
    *pDone = 0;
    // libusb takes a time-out of 0 as "wait for ever".
    const int result =
        libusb_bulk_transfer(pUsb->Handle, Endpoint, pBuf, Length, pDone, std::max<uint32_t>(TimeoutMs, 1));
    switch (result)
    {
    case 0:
        return USB_XFER_OK;
    case LIBUSB_ERROR_TIMEOUT:
        return USB_XFER_TIMEOUT;
    case LIBUSB_ERROR_PIPE:
        return USB_XFER_STALL;
    case LIBUSB_ERROR_OVERFLOW:
        return USB_XFER_OVERFLOW;
    case LIBUSB_ERROR_NO_DEVICE:
        return USB_XFER_NO_DEVICE;
    default:
        return USB_XFER_ERROR;
    }
}

int CUsbLibusbBackend::ClearHalt(CUsbBackendHandle* pHandle, uint8_t Endpoint)
{
    return libusb_clear_halt(static_cast<CLibusbHandle*>(pHandle)->Handle, Endpoint) == 0 ? 0 : -1;
}
