#include "monitor/ports/usb_receiver_id_file.h"

#include <QDir>
#include <QStandardPaths>

#include "monitor/ports/config_file.h"

QString UsbReceiverIdFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Configure/UsbReceiverIds.txt"));
}

USB_ID_FILE_T LoadUsbReceiverIdFile(const QString& sPath)
{
    USB_ID_FILE_T result;
    result.sPath = sPath;
    QByteArray text;
    result.nStatus = ReadConfigFile(sPath, USB_ID_FILE_T::MAX_BYTES, &text);
    result.bFound = result.nStatus != CONFIG_FILE_MISSING;
    result.bUnreadable = result.bFound && result.nStatus != CONFIG_FILE_OK;
    if (result.nStatus == CONFIG_FILE_OK)
        UsbParseReceiverIds(text.toStdString(), &result.Ids, &result.Malformed);
    UsbSetAddedReceiverIds(result.Ids);
    return result;
}
