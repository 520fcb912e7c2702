// A caster's reply as the NTRIP controller reads it: the reply check on an
// exact-size copy (so an over-read is caught), then the chunk decoder on what
// follows the header, cut in two at an arbitrary point. Neither reads past its
// input, writes more data than it was given, or leaves a reason unterminated.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "monitor/ports/ntrip_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2 || nSize > 3 * NTRIP_REPLY_HEADER_MAX)
        return 0;
    // Byte 0: what was asked (mount point in NTRIP 1 or 2, source table, a
    // server in NTRIP 1 or 2); byte 1: where the payload is cut.
    NTRIP_CONFIG_T config;
    NtripSetDefaultConfig(&config);
    const uint8_t kind = pData[0] % 5;
    config.Mode = kind == 0 || kind == 3 ? 1 : 5;
    config.SourceTable = kind == 2 ? 1 : 0;
    config.ServerMode = kind >= 3 ? 1 : 0;
    const size_t cut = pData[1];
    const std::vector<char> reply(pData + 2, pData + nSize);
    const int n = static_cast<int>(reply.size());

    NTRIP_REPLY_T result;
    const int rc = NtripCheckReply(&config, reply.data(), n, &result);
    if (std::memchr(result.Reason, '\0', sizeof(result.Reason)) == nullptr)
        __builtin_trap();
    if (rc == NTRIP_REPLY_INCOMPLETE || rc == NTRIP_REFUSED || (rc & 0xFFFF) == NTRIP_HTTP_STATUS)
        return 0;
    // A source table in place of the mount point is read on like an accepted reply.
    if ((rc != 0 && rc != NTRIP_NO_MOUNT_POINT) || result.HeaderLength <= 0 || result.HeaderLength > n ||
        (result.Chunked != 0 && result.Chunked != 1))
        __builtin_trap();

    const int payload = n - result.HeaderLength;
    const int first = static_cast<int>(cut) < payload ? static_cast<int>(cut) : payload;
    NTRIP_CHUNK_DECODER_T state;
    NtripChunkDecoderInit(&state);
    int ended = 0;
    std::vector<char> piece1(reply.begin() + result.HeaderLength, reply.begin() + result.HeaderLength + first);
    std::vector<char> piece2(reply.begin() + result.HeaderLength + first, reply.end());
    std::vector<char> out1(piece1.size() + 1), out2(piece2.size() + 1);
    const int a = NtripDechunk(&state, piece1.data(), static_cast<int>(piece1.size()), out1.data(), &ended);
    if (a > static_cast<int>(piece1.size()))
        __builtin_trap();
    const int b = NtripDechunk(&state, piece2.data(), static_cast<int>(piece2.size()), out2.data(), &ended);
    if (b > static_cast<int>(piece2.size()) || (a < 0 && b != -NTRIP_BAD_CHUNK))
        __builtin_trap();
    return 0;
}
