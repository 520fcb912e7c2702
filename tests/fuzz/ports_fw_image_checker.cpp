// The firmware image check before an upgrade: any image gives the result an
// independent reading of its header and an MD5 of its body (Qt's) predicts.
// Input: a flag byte (bit 0 puts the magic in, bit 1 the receiver's product
// code, bit 2 the right digest, so that the fuzzer reaches every step), two
// bytes of the receiver's product code, then the image.
#include <QBuffer>
#include <QCryptographicHash>
#include <cstddef>
#include <cstdint>

#include "monitor/ports/fw_image_checker.h"

namespace
{
uint32_t U32(const QByteArray& Image, int nAt)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(Image[nAt + i]);
    return v;
}

void PutU32(QByteArray* pImage, int nAt, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        (*pImage)[nAt + i] = static_cast<char>(v >> (8 * i));
}

int Expected(const QByteArray& Image, uint32_t nProduct)
{
    if (Image.size() < QFWImageChecker::HEADER_LEN || U32(Image, 38) != QFWImageChecker::MAGIC)
        return QFWImageChecker::IMAGE_NO_MAGIC;
    const uint64_t nBody = uint64_t{U32(Image, 4)} + U32(Image, 12);
    if (nBody > QFWImageChecker::MAX_BODY_LEN)
        return QFWImageChecker::IMAGE_TOO_LARGE;
    if (U32(Image, 42) > QFWImageChecker::MAX_COUNT)
        return QFWImageChecker::IMAGE_BAD_COUNT;
    if (U32(Image, 32) != nProduct)
        return QFWImageChecker::IMAGE_OTHER_PRODUCT;
    if (static_cast<uint64_t>(Image.size() - QFWImageChecker::HEADER_LEN) < nBody)
        return QFWImageChecker::IMAGE_BAD_DIGEST;
    const QByteArray digest = QCryptographicHash::hash(
        Image.mid(QFWImageChecker::HEADER_LEN, static_cast<int>(nBody)), QCryptographicHash::Md5);
    return digest == Image.mid(16, 16) ? QFWImageChecker::IMAGE_OK : QFWImageChecker::IMAGE_BAD_DIGEST;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 3 || nSize > 1 << 20)
        return 0;
    const uint8_t flags = pData[0];
    const uint32_t nProduct = uint32_t{pData[1]} << 8 | pData[2];
    QByteArray image(reinterpret_cast<const char*>(pData + 3), static_cast<int>(nSize - 3));
    if (image.size() >= QFWImageChecker::HEADER_LEN)
    {
        if (flags & 1)
            PutU32(&image, 38, QFWImageChecker::MAGIC);
        if (flags & 2)
            PutU32(&image, 32, nProduct);
        if (flags & 4)
        {
            const uint32_t nBody = static_cast<uint32_t>(image.size() - QFWImageChecker::HEADER_LEN);
            PutU32(&image, 4, nBody / 2);
            PutU32(&image, 12, nBody - nBody / 2);
            image.replace(16, 16,
                          QCryptographicHash::hash(image.mid(QFWImageChecker::HEADER_LEN), QCryptographicHash::Md5));
        }
    }
    QZvPortProperty property;
    const QString sReply = QStringLiteral("version\r\n<VERSION\r\nZV100-A1,R3.1.0,x,%1%2,ID:201801234B560042,SN:123,F:1F\r\n"
                                          "<VERSION OK\r\n")
                               .arg(nProduct, 4, 16, QLatin1Char('0'))
                               .arg(QStringLiteral("0001"));
    if (!property.Parse(sReply))
        __builtin_trap();
    QBuffer buffer(&image);
    buffer.open(QIODevice::ReadOnly);
    QFWImageChecker checker;
    if (checker.CheckImage(&buffer, &property) != Expected(image, nProduct))
        __builtin_trap();
    return 0;
}
