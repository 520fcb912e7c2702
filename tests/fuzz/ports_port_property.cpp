// Replies to the property query: any text parses or is refused, never crashes.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "monitor/ports/port_property.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(pData), static_cast<int>(nSize & 0xFFFF));
    PORT_PROPERTY_T property;
    QZvPortProperty::ParseText(text, &property);
    return 0;
}
