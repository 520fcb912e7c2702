#include "monitor/ports/usb_receiver_id_file.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

QString UsbReceiverIdFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Configure/UsbReceiverIds.txt"));
}

USB_ID_FILE_T LoadUsbReceiverIdFile(const QString& sPath)
{
    USB_ID_FILE_T result;
    result.sPath = sPath;
    QFile file(sPath);
    result.bFound = file.exists();
    if (result.bFound)
    {
        const bool bOpened = file.open(QIODevice::ReadOnly);
        const QByteArray text = bOpened ? file.readAll() : QByteArray();
        result.bUnreadable = !bOpened || file.error() != QFileDevice::NoError;
        if (!result.bUnreadable)
            UsbParseReceiverIds(text.toStdString(), &result.Ids, &result.Malformed);
    }
    UsbSetAddedReceiverIds(result.Ids);
    return result;
}
