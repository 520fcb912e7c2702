// The USB receiver IDs a user adds: "Configure/UsbReceiverIds.txt" under the
// monitor's configuration folder, one "VVVV:PPPP" (vendor and product ID in
// hexadecimal, as lsusb shows them) a line; "#" starts a comment. Its IDs are
// matched beside the built-in table. A line that is no ID is skipped and
// handed back, so that the quick connect window can name it.
#pragma once

#include <QString>
#include <vector>

#include "monitor/ports/usb/usb_receiver_ids.h"

struct USB_ID_FILE_T
{
    // A list of IDs is a few lines; anything larger is not one.
    static constexpr qint64 MAX_BYTES = 64 * 1024;
    QString sPath;
    bool bFound = false;                  // something is there
    bool bUnreadable = false;             // it is there but cannot be read: no ID is added
    int nStatus = 0;                      // why, a CONFIG_FILE_E
    std::vector<USB_RECEIVER_ID_T> Ids;   // the IDs it adds
    std::vector<USB_ID_LINE_T> Malformed; // lines skipped
};

QString UsbReceiverIdFilePath();
// Reads the file and makes its IDs the added ones; a missing or unreadable
// file adds none, and so does anything but a regular file of at most
// MAX_BYTES (a FIFO there is never waited on).
USB_ID_FILE_T LoadUsbReceiverIdFile(const QString& sPath = UsbReceiverIdFilePath());
