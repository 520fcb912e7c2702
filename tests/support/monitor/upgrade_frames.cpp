#include "upgrade_frames.h"

#include "codec/crc.h"
#include "monitor/ports/remote_upgrade.h"

QByteArray BuildUpgradeTextFrame(uint8_t Type, uint16_t Sequence, const QByteArray& Identity, const QByteArray& Text)
{
    QByteArray frame(static_cast<int>(REMOTE_UPGRADE_DATA_OFFSET), '\0');
    frame[0] = static_cast<char>(0xD3);
    frame[3] = static_cast<char>(0xFF);
    frame[4] = static_cast<char>(0x90);
    frame[5] = static_cast<char>(Type);
    frame[6] = 4;
    for (int i = 0; i < 8 && i < Identity.size(); ++i)
    {
        frame[8 + i] = Identity[i];
    }
    frame[16] = static_cast<char>(Text.size() & 0xFF);
    frame[17] = static_cast<char>(Text.size() >> 8);
    frame[18] = static_cast<char>(Sequence & 0xFF);
    frame[19] = static_cast<char>(Sequence >> 8);
    frame.append(Text);
    frame.append('\0');
    const int length = frame.size() - 3;
    frame[1] = static_cast<char>(length >> 8);
    frame[2] = static_cast<char>(length & 0xFF);
    frame.append(3, '\0');
    ResealUpgradeFrame(&frame);
    return frame;
}

void ResealUpgradeFrame(QByteArray* pFrame)
{
    const int n = pFrame->size() - 3;
    const uint32_t crc = Crc24qCompute(pFrame->constData(), static_cast<uint32_t>(n));
    (*pFrame)[n] = static_cast<char>(crc >> 16);
    (*pFrame)[n + 1] = static_cast<char>(crc >> 8);
    (*pFrame)[n + 2] = static_cast<char>(crc);
}

QList<QByteArray> TakeImageFrames(QByteArray* pStream)
{
    static const QByteArray kHead("\xD3\x05\xA0\xFF\x90\x03\x04", 7);
    QList<QByteArray> frames;
    for (;;)
    {
        const int at = pStream->indexOf(kHead);
        if (at < 0 || pStream->size() - at < static_cast<int>(REMOTE_UPGRADE_FRAME_LEN))
        {
            return frames;
        }
        frames.append(pStream->mid(at, REMOTE_UPGRADE_FRAME_LEN));
        pStream->remove(0, at + static_cast<int>(REMOTE_UPGRADE_FRAME_LEN));
    }
}
