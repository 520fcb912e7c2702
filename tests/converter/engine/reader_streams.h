// Source streams for the reader tests, and a run of a RINEX-to-log reader on
// one with a temporary file as its context's output stream.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/types.h>

#include "converter/engine/convert_context.h"
#include "converter/engine/rinex_readers.h"

// A stream that reads the given bytes.
inline FILE* OpenTextStream(const std::string& bytes)
{
    FILE* f = std::tmpfile();
    if (f && !bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    if (f)
        std::rewind(f);
    return f;
}

// A read-only stream that hands out the given bytes and then fails, as a disk
// or a network share that drops out part-way does.
inline FILE* OpenFailingStream(std::string bytes)
{
    struct Source
    {
        std::string bytes;
        size_t nPos;
    };
    cookie_io_functions_t io{};
    io.read = [](void* pCookie, char* pOut, size_t nSize) -> ssize_t
    {
        Source& s = *static_cast<Source*>(pCookie);
        if (s.nPos >= s.bytes.size())
        {
            errno = EIO;
            return -1;
        }
        const size_t n = std::min(nSize, s.bytes.size() - s.nPos);
        std::memcpy(pOut, s.bytes.data() + s.nPos, n);
        s.nPos += n;
        return static_cast<ssize_t>(n);
    };
    io.close = [](void* pCookie)
    {
        delete static_cast<Source*>(pCookie);
        return 0;
    };
    return fopencookie(new Source{std::move(bytes), 0}, "rb", io);
}

// Runs read(pSrc, context) and closes pSrc; the reader's status, and in *pText
// what it wrote to the context's output stream. The context is a fresh one
// unless the caller gives its own.
template <typename Read>
int RunRinexReader(FILE* pSrc, Read read, std::string* pText, CConvertContext* pContext = nullptr)
{
    CConvertContext own;
    CConvertContext& context = pContext ? *pContext : own;
    FILE* pOut = std::tmpfile();
    context.SetRinexToLogFile(pOut);
    const int nStatus = read(pSrc, &context);
    context.SetRinexToLogFile(nullptr);
    if (pSrc)
        std::fclose(pSrc);
    pText->clear();
    if (pOut)
    {
        pText->resize(static_cast<size_t>(std::ftell(pOut)));
        std::rewind(pOut);
        if (std::fread(&(*pText)[0], 1, pText->size(), pOut) != pText->size())
            pText->clear();
        std::fclose(pOut);
    }
    return nStatus;
}

// A RINEX observation file read into a log file (option 0 RANGE, 1
// RANGECMP); the reader's status, RINEX_READ_NO_HEADER when either file
// cannot be opened.
inline int RinexObsFileToLogs(const std::string& sRinex, const std::string& sLogs, uint32_t nOption = 0)
{
    FILE* pIn = std::fopen(sRinex.c_str(), "rb");
    FILE* pOut = std::fopen(sLogs.c_str(), "wb");
    int nStatus = RINEX_READ_NO_HEADER;
    if (pIn && pOut)
    {
        CConvertContext context;
        context.SetRinexToLogFile(pOut);
        nStatus = ConvertRinexObsToRange(pIn, nOption, &context);
    }
    if (pIn)
        std::fclose(pIn);
    if (pOut)
        std::fclose(pOut);
    return nStatus;
}

// A header line as other software writes it: content, the label at column
// 61, no trailing blanks.
inline std::string H(const std::string& sContent, const char* pLabel)
{
    std::string s = sContent;
    s.resize(60, ' ');
    return s + pLabel + "\n";
}
