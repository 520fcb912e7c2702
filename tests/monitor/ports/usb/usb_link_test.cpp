// The USB link library against the in-memory receiver: the device list, the
// wire format, the exchange and its faults, channels, commands, the image
// update, and closing in every state.
#include <gtest/gtest.h>

#include "monitor/ports/usb/usb_link.h"
#include "monitor/ports/usb/usb_mem_backend.h"

namespace
{
TEST(UsbLinkDevices, TheListGivesNamesAndSerialNumbers)
{
    auto backend = std::make_shared<CUsbMemBackend>();
    backend->Add(std::make_shared<CUsbMemDevice>("b", "1"));
    backend->Add(std::make_shared<CUsbMemDevice>("A", "2"));
    auto nameless = backend->Add(std::make_shared<CUsbMemDevice>("", "3"));
    ASSERT_EQ(UsbLinkSetBackend(backend), 0);

    ASSERT_EQ(UsbLinkGetDeviceCount(), 3);
    EXPECT_EQ(UsbLinkGetProductName(UsbLinkGetDevice(0)), "b");
    EXPECT_EQ(UsbLinkGetSerialNumber(UsbLinkGetDevice(0)), "1");
    EXPECT_EQ(UsbLinkGetProductName(UsbLinkGetDevice(1)), "A");
    EXPECT_EQ(UsbLinkGetProductName(UsbLinkGetDevice(2)), "");
    EXPECT_EQ(UsbLinkGetDevice(3), nullptr);

    // A name the device could not give at first is read when asked for.
    nameless->SetStringDescriptor(USB_DEV_PRODUCT_STRING, UsbMemStringDescriptor("C"));
    EXPECT_EQ(UsbLinkGetProductName(UsbLinkGetDevice(2)), "C");

    nameless->SetPlugged(false);
    EXPECT_EQ(UsbLinkGetDeviceCount(), 2);
    backend->SetListFails(true);
    EXPECT_EQ(UsbLinkGetDeviceCount(), 0);
    EXPECT_EQ(UsbLinkGetProductName(nullptr), "");
}
} // namespace
