// A recorded log as the KMZ export reads it, for each kind of reference
// message (byte 0): every byte of the input is counted as read once, a line
// longer than the read buffer included, and the KML written from the epochs
// it finds is well-formed XML whatever the log held (values out of range,
// control characters, cut sentences).
#include <QBuffer>
#include <QByteArray>
#include <QXmlStreamReader>
#include <cstddef>
#include <cstdint>

#include "monitor/tools/kmz_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1 || nSize > 256 * 1024)
        return 0;
    QByteArray log(reinterpret_cast<const char*>(pData + 1), static_cast<int>(nSize - 1));
    QBuffer in(&log);
    in.open(QIODevice::ReadOnly);
    KMZ_SETTINGS_T settings;
    settings.RefMsgType = pData[0] % 9;
    settings.IconColour = pData[0] & 0x80 ? KMZ_OWN_ICON : (pData[0] >> 4) % KMZ_ICON_COLOURS;
    settings.Heading = (pData[0] & 0x40) != 0;
    settings.TagOffset = -3;
    CKmlTrackWriter writer(settings);
    QByteArray kml = writer.Head();
    PARSE_LOG_INFO_T info;
    uint32_t nEpochs = 0;
    const uint32_t nStatus = ReadKmzLog(
        &in, settings.RefMsgType, &info,
        [&](const POS_DATA_T& Pos)
        {
            POS_DATA_T e = Pos;
            e.Latitude *= 180.0 / 3.14159265358979323846;
            e.Longitude *= 180.0 / 3.14159265358979323846;
            kml += writer.Epoch(e, static_cast<uint32_t>(settings.TagOffset) + nEpochs++);
            return true;
        },
        nullptr);
    kml += writer.Tail();
    if (nStatus != KMZ_OK || info.Processed != static_cast<uint64_t>(log.size()) || writer.Placemarks() > nEpochs)
        __builtin_trap();
    QXmlStreamReader xml(kml);
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        __builtin_trap();
    return 0;
}
