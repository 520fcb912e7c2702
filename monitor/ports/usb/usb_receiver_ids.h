// The USB vendor and product IDs by which the monitor recognises a receiver.
// This is the one table: the libusb backend lists only devices that match it,
// and resources/udev/70-qzorvikmonitor-usb.rules gives users access to the
// same IDs (a test checks that the two agree).
//
// The IDs below are placeholders (the open test vendor and product ID), as no
// receiver IDs are known yet: replace them, and the udev rule, with the IDs
// the receivers report ("lsusb" lists them).
#pragma once

#include <cstddef>
#include <cstdint>

struct USB_RECEIVER_ID_T
{
    uint16_t VendorId;
    uint16_t ProductId;
};

inline constexpr USB_RECEIVER_ID_T kUsbReceiverIds[] = {
    {0x1209, 0x0001}, // placeholder
};

inline bool UsbIsReceiverId(uint16_t VendorId, uint16_t ProductId)
{
    for (const USB_RECEIVER_ID_T& id : kUsbReceiverIds)
    {
        if (id.VendorId == VendorId && id.ProductId == ProductId)
        {
            return true;
        }
    }
    return false;
}
