// Firmware images are checked for header, size, product and digest before an
// upgrade starts.
#include <QBuffer>
#include <QCryptographicHash>
#include <gtest/gtest.h>

#include "monitor/ports/fw_image_checker.h"

namespace
{
void PutU32(QByteArray* p, int nOffset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
    {
        (*p)[nOffset + i] = static_cast<char>(v >> (8 * i));
    }
}

// A valid image for product 0x1A2B with the body "hello" (length 2 + 3).
QByteArray GoodImage()
{
    QByteArray image(64, '\0');
    PutU32(&image, 4, 2);
    PutU32(&image, 12, 3);
    image.replace(16, 16, QCryptographicHash::hash("hello", QCryptographicHash::Md5));
    PutU32(&image, 32, 0x1A2B);
    image.replace(38, 4, QByteArray("\x71\x72\x73\x74", 4));
    PutU32(&image, 42, 0);
    return image + "hello";
}

int Check(const QByteArray& Image, const char* pProductCode)
{
    QZvPortProperty property;
    const QString reply = QStringLiteral("v\r\nB-1,R1,x,%1,ID:x,SN:1,F:0\r\n<VERSION OK\r\n").arg(pProductCode);
    EXPECT_TRUE(property.Parse(reply));
    QBuffer buffer;
    buffer.setData(Image);
    buffer.open(QIODevice::ReadOnly);
    return QFWImageChecker().CheckImage(&buffer, &property);
}
} // namespace

TEST(FWImageChecker, AcceptsAGoodImage)
{
    EXPECT_EQ(Check(GoodImage(), "1A2B"), 0);
    EXPECT_EQ(Check(GoodImage() + "trailing bytes are not part of the body", "1A2B"), 0);
    // The product code is a number written in hexadecimal.
    EXPECT_EQ(Check(GoodImage(), "1a2b"), 0);
}

TEST(FWImageChecker, RejectsDamagedImages)
{
    struct Case
    {
        const char* what;
        QByteArray image;
        const char* product;
        int expected;
    };
    QByteArray noMagic = GoodImage();
    noMagic[40] = 'x';
    QByteArray atLimit = GoodImage();
    PutU32(&atLimit, 4, 0x1E00000 - 3);
    QByteArray overLimit = GoodImage();
    PutU32(&overLimit, 4, 0x1E00000 - 2);
    QByteArray wrapping = GoodImage();
    PutU32(&wrapping, 4, 0xFFFFFFFF);
    QByteArray count = GoodImage();
    PutU32(&count, 42, 100001);
    QByteArray digest = GoodImage();
    digest[20] = static_cast<char>(digest[20] ^ 1);
    QByteArray body = GoodImage();
    body[64] = 'j';

    const Case cases[] = {
        {"magic missing", noMagic, "1A2B", -1},
        {"header cut short", GoodImage().left(50), "1A2B", -1},
        {"empty file", QByteArray(), "1A2B", -1},
        {"body of exactly the limit passes the size test, then ends early", atLimit, "1A2B", -5},
        {"one byte over the limit", overLimit, "1A2B", -2},
        {"length parts that wrap 32 bits", wrapping, "1A2B", -2},
        {"count above 100000", count, "1A2B", -3},
        {"other product", GoodImage(), "1A2C", -4},
        {"receiver without a product code", GoodImage(), "", -4},
        {"digest changed", digest, "1A2B", -5},
        {"body changed", body, "1A2B", -5},
        {"body cut short", GoodImage().left(67), "1A2B", -5},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(Check(c.image, c.product), c.expected) << c.what;
    }
}
