// A read-only stream that hands out the given bytes and then fails, as a disk
// or a network share that drops out part-way does.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/types.h>

inline FILE* OpenFailingStream(std::string bytes)
{
    struct Source
    {
        std::string bytes;
        size_t nPos;
    };
    cookie_io_functions_t io{};
    io.read = [](void* pCookie, char* pOut, size_t nSize) -> ssize_t {
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
    io.close = [](void* pCookie) {
        delete static_cast<Source*>(pCookie);
        return 0;
    };
    return fopencookie(new Source{std::move(bytes), 0}, "rb", io);
}
