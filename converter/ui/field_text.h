// Form texts into the fixed, NUL-terminated Latin-1 char fields of the
// converter's records, and numbers read from form texts. Numbers are read
// with the C library's conversions over the text's start ("." as the decimal
// point, the program keeps LC_NUMERIC at "C"); text that does not start with a
// number reads as 0.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// Replaces the whole field with the text's Latin-1 bytes, cut so that the
// text and its NUL fit in nSize bytes.
void QStringToCharBuf(const QString& sText, char* pField, size_t nSize);
template <size_t N> void QStringToCharBuf(const QString& sText, char (&field)[N]) { QStringToCharBuf(sText, field, N); }

// The field's text up to its NUL, never past its size.
QString CharBufToQString(const char* pField, size_t nSize);
template <size_t N> QString CharBufToQString(const char (&field)[N]) { return CharBufToQString(field, N); }

void QStringToDouble(const QString& sText, double* pValue);
void QStringToInt(const QString& sText, int32_t* pValue);
void QStringToInt(const QString& sText, uint32_t* pValue);
