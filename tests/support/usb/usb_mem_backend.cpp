#include "support/usb/usb_mem_backend.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "monitor/ports/usb/usb_receiver_ids.h"

namespace
{
class CMemHandle : public CUsbBackendHandle
{
public:
    CMemHandle(std::shared_ptr<CUsbMemDevice> pDevice, uint64_t Generation)
        : Device(std::move(pDevice)), Generation(Generation)
    {
    }
    ~CMemHandle() override { Device->Release(Generation); }

    const std::shared_ptr<CUsbMemDevice> Device;
    const uint64_t Generation;
};

// Appends one code point of UTF-8 text as UTF-16LE units.
void AppendUtf16(uint32_t Code, std::vector<uint8_t>* pOut)
{
    auto unit = [pOut](uint32_t u)
    {
        pOut->push_back(static_cast<uint8_t>(u & 0xFF));
        pOut->push_back(static_cast<uint8_t>(u >> 8));
    };
    if (Code >= 0x10000)
    {
        Code -= 0x10000;
        unit(0xD800 + (Code >> 10));
        unit(0xDC00 + (Code & 0x3FF));
    }
    else
    {
        unit(Code);
    }
}
} // namespace

std::vector<uint8_t> UsbMemStringDescriptor(const std::string& Utf8Text)
{
    std::vector<uint8_t> desc{0, 3};
    const auto* p = reinterpret_cast<const unsigned char*>(Utf8Text.data());
    const size_t n = Utf8Text.size();
    for (size_t i = 0; i < n && desc.size() < 254;)
    {
        uint32_t code = p[i];
        size_t len = 1;
        if (code >= 0xF0 && i + 3 < n)
        {
            code = ((code & 0x07) << 18) | ((p[i + 1] & 0x3F) << 12) | ((p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F);
            len = 4;
        }
        else if (code >= 0xE0 && i + 2 < n)
        {
            code = ((code & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
            len = 3;
        }
        else if (code >= 0xC0 && i + 1 < n)
        {
            code = ((code & 0x1F) << 6) | (p[i + 1] & 0x3F);
            len = 2;
        }
        AppendUtf16(code, &desc);
        i += len;
    }
    desc[0] = static_cast<uint8_t>(desc.size());
    return desc;
}

CUsbMemDevice::CUsbMemDevice(std::string Product, std::string Serial)
    : m_VendorId(kUsbReceiverIds[0].VendorId), m_ProductId(kUsbReceiverIds[0].ProductId)
{
    m_Strings[USB_DEV_PRODUCT_STRING] = UsbMemStringDescriptor(Product);
    m_Strings[USB_DEV_SERIAL_STRING] = UsbMemStringDescriptor(Serial);
}

CUsbMemDevice::~CUsbMemDevice() = default;

void CUsbMemDevice::SetStringDescriptor(uint8_t Index, std::vector<uint8_t> Raw)
{
    Lock lock(m_Mutex);
    m_Strings[Index] = std::move(Raw);
}

std::vector<uint8_t> CUsbMemDevice::GetStringDescriptor(uint8_t Index) const
{
    Lock lock(m_Mutex);
    const auto it = m_Strings.find(Index);
    return it != m_Strings.end() ? it->second : std::vector<uint8_t>{};
}

void CUsbMemDevice::SetPlugged(bool bPlugged)
{
    Lock lock(m_Mutex);
    if (bPlugged == m_bPlugged)
    {
        return;
    }
    m_bPlugged = bPlugged;
    ++m_Generation;
    m_bClaimed = false;
    if (bPlugged)
    {
        OnPowerUp();
    }
    m_Cond.notify_all();
}

void CUsbMemDevice::PullOutLocked()
{
    m_bPlugged = false;
    ++m_Generation;
    m_bClaimed = false;
    m_Cond.notify_all();
}

bool CUsbMemDevice::IsPlugged() const
{
    Lock lock(m_Mutex);
    return m_bPlugged;
}

void CUsbMemDevice::SetIds(uint16_t VendorId, uint16_t ProductId)
{
    Lock lock(m_Mutex);
    m_VendorId = VendorId;
    m_ProductId = ProductId;
}

uint16_t CUsbMemDevice::GetVendorId() const
{
    Lock lock(m_Mutex);
    return m_VendorId;
}

uint16_t CUsbMemDevice::GetProductId() const
{
    Lock lock(m_Mutex);
    return m_ProductId;
}

void CUsbMemDevice::SetBusy(bool bBusy)
{
    Lock lock(m_Mutex);
    m_bBusy = bBusy;
}

void CUsbMemDevice::SetNoAccess(bool bNoAccess)
{
    Lock lock(m_Mutex);
    m_bNoAccess = bNoAccess;
}

uint32_t CUsbMemDevice::GetClearHaltCount() const
{
    Lock lock(m_Mutex);
    return m_ClearHaltCount;
}

void CUsbMemDevice::SetClearHaltFails(bool bFails)
{
    Lock lock(m_Mutex);
    m_bClearHaltFails = bFails;
}

uint64_t CUsbMemDevice::Claim(int* pError, USB_OPEN_FAULT_E* pFault)
{
    Lock lock(m_Mutex);
    if (!m_bPlugged || m_bNoAccess)
    {
        *pError = USB_DEV_CANNOT_OPEN;
        *pFault = m_bPlugged ? USB_OPEN_FAULT_PERMISSION : USB_OPEN_FAULT_GONE;
        return 0;
    }
    if (m_bClaimed || m_bBusy)
    {
        *pError = USB_DEV_INIT_FAILED;
        *pFault = USB_OPEN_FAULT_BUSY;
        return 0;
    }
    *pFault = USB_OPEN_FAULT_NONE;
    m_bClaimed = true;
    return m_Generation;
}

void CUsbMemDevice::Release(uint64_t Generation)
{
    Lock lock(m_Mutex);
    if (Generation == m_Generation)
    {
        m_bClaimed = false;
    }
}

bool CUsbMemDevice::IsGeneration(uint64_t Generation) const
{
    Lock lock(m_Mutex);
    return !Gone(Generation);
}

USB_XFER_E CUsbMemDevice::Transfer(uint64_t Generation, uint8_t Endpoint, uint8_t* pBuf, int Length, uint32_t TimeoutMs,
                                   int* pDone)
{
    *pDone = 0;
    Lock lock(m_Mutex);
    if (Gone(Generation))
    {
        return USB_XFER_NO_DEVICE;
    }
    return TransferLocked(lock, Generation, Endpoint, pBuf, Length, TimeoutMs, pDone);
}

int CUsbMemDevice::ClearHalt(uint64_t Generation, uint8_t)
{
    Lock lock(m_Mutex);
    ++m_ClearHaltCount;
    return Gone(Generation) || m_bClearHaltFails ? -1 : 0;
}

USB_XFER_E CUsbMemDevice::TransferLocked(Lock& Held, uint64_t Generation, uint8_t Endpoint, uint8_t*, int Length,
                                         uint32_t TimeoutMs, int* pDone)
{
    if ((Endpoint & 0x80u) == 0)
    {
        *pDone = Length;
        return USB_XFER_OK;
    }
    WaitLocked(Held, Generation, TimeoutMs, [] { return false; });
    return Gone(Generation) ? USB_XFER_NO_DEVICE : USB_XFER_TIMEOUT;
}

bool CUsbMemDevice::WaitLocked(Lock& Held, uint64_t Generation, uint32_t TimeoutMs, const std::function<bool()>& Ready)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (!Ready())
    {
        if (Gone(Generation))
        {
            return false;
        }
        if (m_Cond.wait_until(Held, deadline) == std::cv_status::timeout)
        {
            return Ready() && !Gone(Generation);
        }
    }
    return !Gone(Generation);
}

CUsbMemBackend::CUsbMemBackend() = default;

CUsbMemBackend::~CUsbMemBackend() = default;

void CUsbMemBackend::AddDevice(std::shared_ptr<CUsbMemDevice> pDevice, std::string Path)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (Path.empty())
        {
            Path = "mem-" + std::to_string(m_NextPath++);
        }
        m_Devices.emplace_back(std::move(Path), pDevice);
    }
    pDevice->SetPlugged(true);
}

std::string CUsbMemBackend::GetPath(const CUsbMemDevice* pDevice) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    for (const auto& entry : m_Devices)
    {
        if (entry.second.get() == pDevice)
        {
            return entry.first;
        }
    }
    return {};
}

void CUsbMemBackend::SetListFails(bool bFails)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bListFails = bFails;
}

int CUsbMemBackend::ListDevices(std::vector<USB_BUS_DEVICE_T>* pDevices, bool bProducts)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    pDevices->clear();
    if (m_bListFails)
    {
        return USB_DEV_NO_DEVICE_LIST;
    }
    for (const auto& entry : m_Devices)
    {
        const CUsbMemDevice& device = *entry.second;
        if (!device.IsPlugged())
        {
            continue;
        }
        USB_BUS_DEVICE_T seen;
        seen.Path = entry.first;
        seen.VendorId = device.GetVendorId();
        seen.ProductId = device.GetProductId();
        if (bProducts)
        {
            const std::vector<uint8_t> desc = device.GetStringDescriptor(USB_DEV_PRODUCT_STRING);
            UsbDevDecodeString(desc.data(), static_cast<int>(desc.size()), 255, &seen.Product);
        }
        pDevices->push_back(std::move(seen));
    }
    return static_cast<int>(pDevices->size());
}

std::unique_ptr<CUsbBackendHandle> CUsbMemBackend::Open(const std::string& Path, int* pError, USB_OPEN_FAULT_E* pFault)
{
    std::shared_ptr<CUsbMemDevice> pDevice;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        for (const auto& entry : m_Devices)
        {
            if (entry.first == Path)
            {
                pDevice = entry.second;
            }
        }
    }
    *pError = USB_DEV_CANNOT_OPEN;
    *pFault = USB_OPEN_FAULT_GONE;
    if (!pDevice)
    {
        return nullptr;
    }
    const uint64_t generation = pDevice->Claim(pError, pFault);
    if (generation == 0)
    {
        return nullptr;
    }
    *pError = USB_DEV_OK;
    return std::make_unique<CMemHandle>(pDevice, generation);
}

int CUsbMemBackend::ReadStringDescriptor(CUsbBackendHandle* pHandle, uint8_t Index, uint8_t* pBuf, int Capacity)
{
    auto* pMem = static_cast<CMemHandle*>(pHandle);
    if (!pMem->Device->IsGeneration(pMem->Generation))
    {
        return -1;
    }
    const std::vector<uint8_t> desc = pMem->Device->GetStringDescriptor(Index);
    if (desc.empty())
    {
        return -1;
    }
    const int n = std::min(Capacity, static_cast<int>(desc.size()));
    std::memcpy(pBuf, desc.data(), static_cast<size_t>(n));
    return n;
}

USB_XFER_E CUsbMemBackend::BulkTransfer(CUsbBackendHandle* pHandle, uint8_t Endpoint, uint8_t* pBuf, int Length,
                                        uint32_t TimeoutMs, int* pDone)
{
    auto* pMem = static_cast<CMemHandle*>(pHandle);
    return pMem->Device->Transfer(pMem->Generation, Endpoint, pBuf, Length, TimeoutMs, pDone);
}

int CUsbMemBackend::ClearHalt(CUsbBackendHandle* pHandle, uint8_t Endpoint)
{
    auto* pMem = static_cast<CMemHandle*>(pHandle);
    return pMem->Device->ClearHalt(pMem->Generation, Endpoint);
}
