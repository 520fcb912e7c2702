// The caster protocol under the NTRIP port controller: Base64 logins, the GGA
// sentence that reports the rover's position, the requests of a client and of
// a server, the check of the caster's reply, and the chunked transfer coding
// of NTRIP 2 streams. Plain routines over caller-owned buffers; the controller
// moves the bytes over its sockets.
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
    NTRIP_MODE_UNSUPPORTED = 8, // RTSP and NTRIP 2 over UDP are not offered
    NTRIP_BAD_CHUNK = 9,        // malformed chunked transfer coding
    NTRIP_NO_MOUNT_POINT = 11,  // the caster answered a mount point with its source table: it has no such mount point
    NTRIP_CLOSED = 12,          // the caster closed the connection
    NTRIP_RECEIVE_FAILED = 13,  // the connection failed while open
    NTRIP_TIMED_OUT = 10060,    // the caster fell silent
};

// The HTTP status carried by a result of kind NTRIP_HTTP_STATUS, else 0.
inline int32_t NtripResultHttpStatus(int32_t nResult)
{
    return nResult > 0xFFFF && (nResult & 0xFFFF) == NTRIP_HTTP_STATUS ? nResult >> 16 : 0;
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
// "http://", the caster's name, ":" and its port. Returns the length, or
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
