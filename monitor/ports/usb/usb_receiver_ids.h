// The USB vendor and product IDs by which the monitor recognises a receiver:
// the built-in table below and the IDs the user adds in a settings file (the
// monitor reads the file and hands its IDs over with UsbSetAddedReceiverIds).
// The device layer lists only devices that match one of them.
//
// resources/udev/70-qzorvikmonitor-usb.rules gives users access to the
// built-in IDs (a test checks that the two agree). The IDs below are
// placeholders (the open test vendor and product ID), as no receiver IDs are
// known yet: replace them, and the udev rule, with the IDs the receivers
// report ("lsusb" lists them).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct USB_RECEIVER_ID_T
{
    uint16_t VendorId;
    uint16_t ProductId;
};

inline constexpr USB_RECEIVER_ID_T kUsbReceiverIds[] = {
    {0x1209, 0x0001}, // placeholder
};

// True for an ID of the built-in table or one added.
bool UsbIsReceiverId(uint16_t VendorId, uint16_t ProductId);
// Replaces the added IDs. Any thread; enumerations that follow use the new set.
void UsbSetAddedReceiverIds(std::vector<USB_RECEIVER_ID_T> Ids);
std::vector<USB_RECEIVER_ID_T> UsbGetAddedReceiverIds();

// "vvvv:pppp", four lower-case hexadecimal digits each, as lsusb shows an ID.
std::string UsbFormatId(uint16_t VendorId, uint16_t ProductId);

// A line of the settings file that is not an ID.
struct USB_ID_LINE_T
{
    int LineNumber; // from 1
    std::string Text;
};

// Reads the text of a settings file: one "VVVV:PPPP" (hexadecimal, either
// case) a line; "#" starts a comment; blank lines and surrounding blanks are
// ignored. Lines that are neither go to pMalformed and are skipped. IDs are
// appended once each, in the order of the file.
void UsbParseReceiverIds(const std::string& Text, std::vector<USB_RECEIVER_ID_T>* pIds,
                         std::vector<USB_ID_LINE_T>* pMalformed);
