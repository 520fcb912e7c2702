#include "monitor/ports/fw_image_checker.h"

#include <QIODevice>
#include <cstring>

#include "codec/crc.h"

namespace
{
uint32_t ReadU32Le(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
} // namespace

QFWImageChecker::QFWImageChecker(QObject* pParent) : QObject(pParent) { std::memset(m_Header, 0, sizeof(m_Header)); }

int QFWImageChecker::CheckImage(QIODevice* pImage, QZvPortProperty* pProperty)
{
    std::memset(m_Header, 0, sizeof(m_Header));
    if (pImage == nullptr || pImage->read(reinterpret_cast<char*>(m_Header), HEADER_LEN) != HEADER_LEN)
    {
        return IMAGE_NO_MAGIC;
    }
    if (ReadU32Le(m_Header + 38) != MAGIC)
    {
        return IMAGE_NO_MAGIC;
    }
    const uint64_t bodyLen = static_cast<uint64_t>(ReadU32Le(m_Header + 4)) + ReadU32Le(m_Header + 12);
    if (bodyLen > MAX_BODY_LEN)
    {
        return IMAGE_TOO_LARGE;
    }
    if (ReadU32Le(m_Header + 42) > MAX_COUNT)
    {
        return IMAGE_BAD_COUNT;
    }
    // The code is hexadecimal: a receiver that writes it in lower case names
    // the same product.
    const QString code = QStringLiteral("%1").arg(ReadU32Le(m_Header + 32), 4, 16, QLatin1Char('0'));
    const QString receiverCode = pProperty != nullptr ? pProperty->Get().ProductCode : QString();
    if (code.compare(receiverCode, Qt::CaseInsensitive) != 0)
    {
        return IMAGE_OTHER_PRODUCT;
    }

    MD5_CONTEXT_T ctx;
    Md5Init(&ctx);
    char buffer[64 * 1024];
    uint64_t left = bodyLen;
    while (left > 0)
    {
        const qint64 want = static_cast<qint64>(left < sizeof(buffer) ? left : sizeof(buffer));
        const qint64 got = pImage->read(buffer, want);
        if (got <= 0)
        {
            return IMAGE_BAD_DIGEST;
        }
        Md5Update(&ctx, buffer, static_cast<uint32_t>(got), 0);
        left -= static_cast<uint64_t>(got);
    }
    uint8_t digest[16];
    Md5Final(&ctx, digest, 0);
    return std::memcmp(digest, m_Header + 16, sizeof(digest)) == 0 ? IMAGE_OK : IMAGE_BAD_DIGEST;
}
