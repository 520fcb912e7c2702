// The caster protocol under the NTRIP port controller: Base64 logins, the GGA
// sentence that reports the rover's position, the requests of a client and of
// a server, the check of the caster's reply, the chunked transfer coding of
// NTRIP 2 streams, and for the sessions over datagrams (NTRIP 2 over UDP and
// RTSP) the RTP packets, the RTSP requests and replies and the rule that says
// which packets of a stream are new. Plain routines over caller-owned
// buffers; the controller moves the bytes over its sockets.
#pragma once

#include <cstdint>

#include "monitor/ports/port_records.h"

// Result of one caster session, also the code a failed session reports.
enum NTRIP_RESULT_E : int32_t
{
    NTRIP_OK = 0,               // stopped, or a source table read to its end
    NTRIP_CONNECT_FAILED = 1,   // refused, unreachable, or not connected in time
    NTRIP_RESOLVE_FAILED = 2,   // the caster's name does not resolve
    NTRIP_NO_ADDRESS = 3,       // the name resolves to no IPv4 address
    NTRIP_REQUEST_TOO_LONG = 4, // the request does not fit its buffer
    NTRIP_SEND_FAILED = 5,      // the request could not be sent
    NTRIP_REFUSED = 6,          // the caster answered with something else than what was asked
    NTRIP_HTTP_STATUS = 7,      // an HTTP error status s, reported as (s << 16) | 7
    NTRIP_BAD_CHUNK = 9,        // malformed chunked transfer coding
    NTRIP_NO_MOUNT_POINT = 11,  // the caster answered a mount point with its source table: it has no such mount point
    NTRIP_CLOSED = 12,          // the caster closed the connection
    NTRIP_RECEIVE_FAILED = 13,  // the connection failed while open
    NTRIP_TIMED_OUT = 10060,    // the caster fell silent

    // NTRIP 2 over UDP; a refusal with HTTP status s is s * 100 + 110.
    NTRIP_UDP_REQUEST_TOO_LONG = 101, // the request does not fit its buffer
    NTRIP_UDP_LOGIN_TOO_LONG = 102,   // the same, with the login
    NTRIP_UDP_BIND_FAILED = 103,      // the local datagram port cannot be bound
    NTRIP_UDP_SEND_FAILED = 105,      // a request or an upload datagram could not be sent
    NTRIP_UDP_REFUSED = 106,          // the caster answered with something else than what was asked
    NTRIP_UDP_NO_SESSION = 107,       // the caster's reply names no session number
    NTRIP_UDP_NO_LENGTH = 108,        // a source table without its length
    NTRIP_UDP_TABLE_SHORT = 109,      // a source table that ended short of its length or went past the bound
    NTRIP_UDP_SILENT = 111,           // nothing from the caster in time
    NTRIP_UDP_ENDED = 112,            // the caster ended the session
    NTRIP_UDP_KEEPALIVE_FAILED = 113, // a keep-alive could not be sent
    NTRIP_UDP_FOREIGN_SESSION = 114,  // the caster sent only datagrams of another session

    // RTSP; the control connection falling silent is NTRIP_TIMED_OUT.
    NTRIP_RTSP_BIND_FAILED = 201,      // the local data port cannot be bound
    NTRIP_RTSP_CONNECT_FAILED = 204,   // the control connection cannot be made
    NTRIP_RTSP_REQUEST_TOO_LONG = 205, // a request does not fit its buffer
    NTRIP_RTSP_LOGIN_TOO_LONG = 206,   // the same, with the login
    NTRIP_RTSP_SEND_FAILED = 207,      // a request or the first data packet could not be sent
    NTRIP_RTSP_BAD_REPLY = 210,        // a reply without its session or data port, or without end
    NTRIP_RTSP_CLOSED = 211,           // the caster closed the control connection
    NTRIP_RTSP_RECEIVE_FAILED = 212,   // the control connection failed while open
    NTRIP_RTSP_REFUSED = 218,          // the caster did not answer "RTSP/1.0 200 OK"
};

// A refused NTRIP 2 over UDP session's result for HTTP status s.
inline int32_t NtripUdpStatusResult(int32_t nStatus) { return nStatus * 100 + 110; }

// The HTTP status carried by a result of kind NTRIP_HTTP_STATUS, or by a
// refused NTRIP 2 over UDP session, else 0.
inline int32_t NtripResultHttpStatus(int32_t nResult)
{
    if (nResult > 0xFFFF && (nResult & 0xFFFF) == NTRIP_HTTP_STATUS)
    {
        return nResult >> 16;
    }
    const int32_t nStatus = (nResult - 110) / 100;
    return nStatus >= 100 && nStatus <= 599 && NtripUdpStatusResult(nStatus) == nResult ? nStatus : 0;
}

enum : int32_t
{
    NTRIP_REQUEST_MAX = 1000,      // longest request
    NTRIP_LOGIN_TEXT_MAX = 255,    // longest "user:password" before encoding
    NTRIP_GGA_MAX = 128,           // room for a GGA sentence with its CR LF and NUL
    NTRIP_REPLY_HEADER_MAX = 4096, // a reply header that does not end within this is refused
    NTRIP_REASON_MAX = 128,
    NTRIP_CHUNK_PIECE = 100, // data bytes per chunk of an upload
};

// The socket layer's start-up, before a controller's first session: this
// system's sockets need no start, so it checks that an IPv4 stream socket
// can be had (one is made and closed at once). 0 when it can, else 1.
int NtripStartup();

// Standard Base64 (RFC 4648 alphabet, "=" padding) of n bytes, NUL-terminated.
// Returns the length, or -1 when pOut cannot hold it and its NUL.
int NtripBase64Encode(const void* pIn, int n, char* pOut, int nCapacity);

// Position of the NUL-terminated needle in n bytes of pBuf, or -1.
int NtripFindString(const char* pBuf, int n, const char* pNeedle);

// Base64 of User, ":" and Password; -1 when User is longer than 255
// characters, the joined text would exceed 255, or pOut is too small.
int NtripEncodeLogin(char* pOut, int nCapacity, const char* pUser, const char* pPassword);

// What a GGA report says: the rover's position and the time of that fix.
struct NTRIP_POSITION_T
{
    int32_t PositionTime; // GPS ms of week of the fix; negative while there is none
    int32_t UtcMsOfDay;   // UTC ms of day of the same fix; negative when unknown
    double Latitude;      // degrees, south negative
    double Longitude;     // degrees, west negative
    double Height;        // ellipsoidal, m
};

// "$GPGGA,hhmmss.ss,ddmm.mmmm,N,dddmm.mmmm,E,1,10,0,h.hh,M,0,M,,*CS\r\n" with
// the UTC time of the fix (empty when unknown) and the ellipsoidal height
// over a geoid separation of 0. Returns the length, or -1 without a position,
// with a coordinate out of range, or when pOut is too small.
int NtripBuildGga(const NTRIP_POSITION_T* pPosition, char* pOut, int nCapacity);

// A client asks for the source table when told to, or when it names no mount
// point (empty, or beginning with "%").
bool NtripWantsSourceTable(const NTRIP_CONFIG_T* pConfig);

// The request a session sends: a server's SOURCE (NTRIP 1) or POST (NTRIP 2),
// a client's source-table request, or a client's mount-point request with its
// GGA sentence pGga (null or empty for none). With a proxy the path carries
// "http://", the caster's name, ":" and its port. In mode 4 (NTRIP 2 over
// UDP) there is no proxy, and the GGA sentence goes only in its header line,
// as the request travels in one datagram. Returns the length, or
// -NTRIP_REQUEST_TOO_LONG when it does not fit nCapacity (at most
// NTRIP_REQUEST_MAX is used).
int NtripBuildRequest(const NTRIP_CONFIG_T* pConfig, const char* pGga, char* pOut, int nCapacity);

// What the caster said to a request.
struct NTRIP_REPLY_T
{
    int32_t HeaderLength;          // bytes of the reply before its payload
    int32_t Chunked;               // the payload is in chunked transfer coding
    int32_t Status;                // HTTP status, 0 for other replies
    char Reason[NTRIP_REASON_MAX]; // why a reply was refused, printable
};

inline constexpr int NTRIP_REPLY_INCOMPLETE = -1;

// Checks the first n bytes the caster sent in reply to the request that
// NtripBuildRequest makes of pConfig. A mount point must be answered with
// "ICY 200 OK" or an HTTP/1.x 200 reply carrying "Content-Type: gnss/data"; a
// source table with "SOURCETABLE 200 OK" or an HTTP/1.x 200 reply; a server
// with a line holding "OK" or an HTTP/1.x 200 reply. Returns 0 when accepted
// (HeaderLength and Chunked filled), NTRIP_REPLY_INCOMPLETE while the reply
// can still become acceptable, else NTRIP_REFUSED or (status << 16) |
// NTRIP_HTTP_STATUS with Reason filled. A mount point answered with the
// source table gives NTRIP_NO_MOUNT_POINT, with HeaderLength and Chunked
// filled as well: the table that follows tells which mount points there
// are. A reply whose header has not ended within NTRIP_REPLY_HEADER_MAX bytes
// is refused.
int NtripCheckReply(const NTRIP_CONFIG_T* pConfig, const char* pData, int n, NTRIP_REPLY_T* pReply);

// The mount point of a source table line ("STR;<mount>;..." without its
// line end): its length, with *ppMount pointing at it in pLine; -1 for any
// other line.
int NtripTableMountPoint(const char* pLine, int n, const char** ppMount);

// Decoder of HTTP/1.1 chunked transfer coding, fed as the bytes arrive.
struct NTRIP_CHUNK_DECODER_T
{
    uint32_t Phase;
    uint32_t Digits; // size digits read, or characters of the line skipped
    uint64_t Left;   // data bytes left in the current chunk
};

void NtripChunkDecoderInit(NTRIP_CHUNK_DECODER_T* pState);
// Decodes n bytes; their data go to pOut, which has room for n. Returns the
// number of data bytes, or -NTRIP_BAD_CHUNK on a malformed chunk (the decoder
// then stays failed). *pEnded becomes 1 once the last chunk and its trailer
// were read; bytes after them are ignored.
int NtripDechunk(NTRIP_CHUNK_DECODER_T* pState, const char* pIn, int n, char* pOut, int* pEnded);

// Bytes that NtripChunkEncode makes of n data bytes.
int NtripChunkEncodedSize(int n);
// n data bytes as chunks of up to NTRIP_CHUNK_PIECE bytes, each "%x\r\n",
// the data and "\r\n". Returns the length, or -1 when pOut is too small.
int NtripChunkEncode(const void* pData, int n, char* pOut, int nCapacity);

// Sessions over datagrams. Every datagram begins with a 12-byte RTP header:
// 0x80 (version 2, no padding, extension or contributing sources), the
// payload type, the sequence number, the timestamp and the session number
// (the RTP source), each big-endian.
enum : int32_t
{
    NTRIP_RTP_HEADER = 12,
    NTRIP_RTP_DATA = 96,          // the stream's bytes; empty: a keep-alive
    NTRIP_RTP_HTTP = 97,          // an NTRIP 2 request or reply over UDP
    NTRIP_RTP_END = 98,           // the caster ends the session
    NTRIP_RTP_PAYLOAD_MAX = 1400, // payload bytes of a datagram the port sends
    // Packets a stream may skip at once and still be taken as going on.
    NTRIP_RTP_SEQUENCE_WINDOW = 3000,
    NTRIP_RTSP_REQUEST_MAX = 1000,
};

struct NTRIP_RTP_T
{
    int32_t PayloadType; // without the marker bit
    int32_t Marker;
    uint16_t Sequence;
    uint32_t Timestamp;
    uint32_t Session;
    const char* pPayload; // in the datagram
    int32_t PayloadLength;
};

// Reads a datagram's RTP header: 0 when it has at least NTRIP_RTP_HEADER
// bytes and begins with 0x80, else -1.
int NtripParseRtp(const char* pData, int n, NTRIP_RTP_T* pPacket);
// Writes an RTP header of NTRIP_RTP_HEADER bytes to pOut.
void NtripBuildRtpHeader(int nPayloadType, uint16_t nSequence, uint32_t nTimestamp, uint32_t nSession, char* pOut);

// Which packets of one stream (one payload type of one session) are new.
struct NTRIP_RTP_TRACK_T
{
    uint32_t Started;
    uint16_t Sequence; // of the last packet taken
    uint32_t Timestamp;
    uint32_t Lost;  // sequence numbers skipped by packets taken
    uint32_t Stale; // packets refused
};

void NtripRtpTrackInit(NTRIP_RTP_TRACK_T* pTrack);
// 1 when a packet moves the stream on, and it is taken: the first packet, or
// one whose sequence number follows the last taken by 1 to
// NTRIP_RTP_SEQUENCE_WINDOW (modulo 2^16) and whose timestamp is not behind
// the last taken (modulo 2^32). 0 for a repeat, a late packet, a timestamp
// that goes back or a jump too far ahead.
int NtripRtpTake(NTRIP_RTP_TRACK_T* pTrack, uint16_t nSequence, uint32_t nTimestamp);

// What an NTRIP 2 caster said over UDP: the joined payloads of its reply
// packets, checked against the request NtripBuildRequest makes of pConfig.
struct NTRIP_UDP_REPLY_T
{
    int32_t HeaderLength;
    int32_t Status;     // HTTP status, 0 for other replies
    int32_t HasSession; // Session holds the reply's "Session:" number
    uint32_t Session;
    int64_t ContentLength; // of a source table, -1 when not given
    char Reason[NTRIP_REASON_MAX];
};

// 0 when accepted, NTRIP_REPLY_INCOMPLETE while the reply can still become
// acceptable, else an NTRIP_UDP_* result or NtripUdpStatusResult(status) with
// Reason filled. A mount point must be answered with an HTTP/1.x 200 reply
// carrying "Content-Type: gnss/data" and a session number, a source table
// with an HTTP/1.x 200 (or "SOURCETABLE 200 OK") reply and its
// Content-Length, a server with an HTTP/1.x 200 reply (its session number,
// when there is one, is read too).
int NtripCheckUdpReply(const NTRIP_CONFIG_T* pConfig, const char* pData, int n, NTRIP_UDP_REPLY_T* pReply);

enum NTRIP_RTSP_REQUEST_E : int32_t
{
    NTRIP_RTSP_SETUP,
    NTRIP_RTSP_PLAY,
    NTRIP_RTSP_GET_PARAMETER, // the keep-alive
    NTRIP_RTSP_TEARDOWN,
};

// An RTSP request for the mount point of pConfig at
// "rtsp://<server>:<port>/<mount>": SETUP with the local data port nClientPort,
// the GGA sentence pGga (null or empty for none) and the login, or one of the
// requests of a session nSession. Returns the length, or
// -NTRIP_RTSP_REQUEST_TOO_LONG when it does not fit nCapacity (at most
// NTRIP_RTSP_REQUEST_MAX is used).
int NtripBuildRtspRequest(const NTRIP_CONFIG_T* pConfig, NTRIP_RTSP_REQUEST_E eRequest, int nCSeq, uint32_t nSession,
                          uint16_t nClientPort, const char* pGga, char* pOut, int nCapacity);

struct NTRIP_RTSP_REPLY_T
{
    int32_t HeaderLength;
    int32_t Status; // RTSP status, 0 when the reply is not RTSP
    int32_t CSeq;   // -1 when not given
    int32_t HasSession;
    uint32_t Session;
    int32_t ServerPort; // the caster's data port of Transport, 0 when not given
    char Reason[NTRIP_REASON_MAX];
};

// Checks the reply to a SETUP (bSetup: its session number and the caster's
// data port are needed) or to another request. 0 when it begins
// "RTSP/1.0 200 OK\r\n" and its header has ended, NTRIP_REPLY_INCOMPLETE while
// it may still become so, NTRIP_RTSP_REFUSED for any other status line and
// NTRIP_RTSP_BAD_REPLY for a 200 reply without what is needed or a header
// that does not end within NTRIP_REPLY_HEADER_MAX bytes, with Reason filled.
int NtripCheckRtspReply(const char* pData, int n, int bSetup, NTRIP_RTSP_REPLY_T* pReply);
