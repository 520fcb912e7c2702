#include "converter/ui/field_text.h"

#include <cstdlib>
#include <cstring>

void QStringToCharBuf(const QString& sText, char* pField, size_t nSize)
{
    if (nSize == 0)
        return;
    const QByteArray bytes = sText.toLatin1();
    const size_t n = std::min(static_cast<size_t>(bytes.size()), nSize - 1);
    std::memset(pField, 0, nSize);
    std::memcpy(pField, bytes.constData(), n);
}

QString CharBufToQString(const char* pField, size_t nSize)
{
    return QString::fromLatin1(pField, static_cast<int>(strnlen(pField, nSize)));
}

void QStringToDouble(const QString& sText, double* pValue)
{
    const QByteArray bytes = sText.toLatin1();
    *pValue = std::strtod(bytes.constData(), nullptr);
}

void QStringToInt(const QString& sText, int32_t* pValue)
{
    const QByteArray bytes = sText.toLatin1();
    *pValue = static_cast<int32_t>(std::strtol(bytes.constData(), nullptr, 10));
}

void QStringToInt(const QString& sText, uint32_t* pValue)
{
    const QByteArray bytes = sText.toLatin1();
    *pValue = static_cast<uint32_t>(std::strtoul(bytes.constData(), nullptr, 10));
}
