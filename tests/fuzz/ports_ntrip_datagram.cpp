// What the caster port reads in its sessions over datagrams: an RTSP reply
// (to SETUP or to another request), an NTRIP 2 reply over UDP (to a mount
// point, a source table or a server), or a run of datagrams whose RTP headers
// are read and whose packets are taken or refused. Each reads an exact-size
// copy (so an over-read is caught), ends its reason, and keeps its results
// within the input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "monitor/ports/ntrip_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1 || nSize > 3 * NTRIP_REPLY_HEADER_MAX)
        return 0;
    // Byte 0: what is read.
    const uint8_t kind = pData[0] % 6;
    const std::vector<char> in(pData + 1, pData + nSize);
    const int n = static_cast<int>(in.size());
    if (kind < 2)
    {
        NTRIP_RTSP_REPLY_T reply;
        const int rc = NtripCheckRtspReply(in.data(), n, kind, &reply);
        if (std::memchr(reply.Reason, '\0', sizeof(reply.Reason)) == nullptr)
            __builtin_trap();
        if (rc == 0 && (reply.HeaderLength <= 0 || reply.HeaderLength > n || reply.Status != 200 ||
                        (kind == 1 && (reply.HasSession == 0 || reply.ServerPort <= 0 || reply.ServerPort > 0xFFFF))))
            __builtin_trap();
        if (rc != 0 && rc != NTRIP_REPLY_INCOMPLETE && rc != NTRIP_RTSP_REFUSED && rc != NTRIP_RTSP_BAD_REPLY)
            __builtin_trap();
        return 0;
    }
    if (kind < 5)
    {
        NTRIP_CONFIG_T config;
        NtripSetDefaultConfig(&config);
        config.Mode = 4;
        config.SourceTable = kind == 3 ? 1 : 0;
        config.ServerMode = kind == 4 ? 1 : 0;
        NTRIP_UDP_REPLY_T reply;
        const int rc = NtripCheckUdpReply(&config, in.data(), n, &reply);
        if (std::memchr(reply.Reason, '\0', sizeof(reply.Reason)) == nullptr)
            __builtin_trap();
        if (rc == 0 && (reply.HeaderLength <= 0 || reply.HeaderLength > n || (kind == 2 && reply.HasSession == 0) ||
                        (kind == 3 && reply.ContentLength < 0)))
            __builtin_trap();
        if (rc != 0 && rc != NTRIP_REPLY_INCOMPLETE && NtripResultHttpStatus(rc) == 0 &&
            (rc < NTRIP_UDP_REQUEST_TOO_LONG || rc > NTRIP_UDP_FOREIGN_SESSION))
            __builtin_trap();
        return 0;
    }
    // Datagrams, each preceded by its length byte.
    NTRIP_RTP_TRACK_T track;
    NtripRtpTrackInit(&track);
    uint32_t taken = 0, offered = 0;
    for (size_t at = 0; at < in.size();)
    {
        const size_t length = static_cast<uint8_t>(in[at++]);
        const size_t size = length < in.size() - at ? length : in.size() - at;
        const std::vector<char> datagram(in.begin() + static_cast<std::ptrdiff_t>(at),
                                         in.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        NTRIP_RTP_T packet;
        if (NtripParseRtp(datagram.data(), static_cast<int>(datagram.size()), &packet) != 0)
            continue;
        if (packet.PayloadLength < 0 || packet.pPayload != datagram.data() + NTRIP_RTP_HEADER ||
            packet.PayloadLength != static_cast<int>(datagram.size()) - NTRIP_RTP_HEADER)
            __builtin_trap();
        ++offered;
        const uint16_t before = track.Sequence;
        const int bTaken = NtripRtpTake(&track, packet.Sequence, packet.Timestamp);
        // A packet taken after the first moves the sequence on within the window.
        if (bTaken != 0 && taken > 0 &&
            (static_cast<uint16_t>(packet.Sequence - before) == 0 ||
             static_cast<uint16_t>(packet.Sequence - before) > NTRIP_RTP_SEQUENCE_WINDOW))
            __builtin_trap();
        taken += static_cast<uint32_t>(bTaken);
    }
    if (taken + track.Stale != offered)
        __builtin_trap();
    return 0;
}
