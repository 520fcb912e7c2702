// Checks a firmware image before it is sent to a receiver: the header's magic,
// a plausible body length and count, the product code of the connected
// receiver and the MD5 digest of the body.
//
// Image: a 64-byte little-endian header, then the body. Header: body length in
// two parts at offsets 4 and 12 (added), MD5 of the body at 16, product code at
// 32, magic 0x74737271 at 38, a count at 42.
#pragma once

#include <QObject>
#include <cstdint>

#include "monitor/ports/port_property.h"

class QIODevice;

class QFWImageChecker : public QObject
{
    Q_OBJECT

public:
    static constexpr int HEADER_LEN = 64;
    static constexpr uint32_t MAGIC = 0x74737271u;
    static constexpr uint64_t MAX_BODY_LEN = 0x1E00000u;
    static constexpr uint32_t MAX_COUNT = 100000u;

    enum CHECK_RESULT_E
    {
        IMAGE_OK = 0,
        IMAGE_NO_MAGIC = -1, // also a file shorter than the header
        IMAGE_TOO_LARGE = -2,
        IMAGE_BAD_COUNT = -3,
        IMAGE_OTHER_PRODUCT = -4,
        IMAGE_BAD_DIGEST = -5, // also a body shorter than announced
    };

    explicit QFWImageChecker(QObject* pParent = nullptr);

    // Reads the image from the device's current position (the start of the
    // file); the caller opens and closes it. Returns a CHECK_RESULT_E value.
    int CheckImage(QIODevice* pImage, QZvPortProperty* pProperty);
    const uint8_t* GetHeader() const { return m_Header; }

private:
    uint8_t m_Header[HEADER_LEN];
};
