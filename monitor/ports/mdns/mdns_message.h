// DNS messages as multicast DNS uses them: the wire form with name
// compression, questions, and the record kinds that service discovery needs
// (PTR, SRV, TXT, A, AAAA). The decoder reads datagrams from anyone on the
// local network, so every length, count and compression pointer is checked
// against the datagram before it is followed.
//
// Names are kept in their dotted text form with the final dot
// ("rx1._Zorvik_http._tcp.local."); a "." or "\" inside a label is written
// "\." or "\\", so an instance name may hold dots.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <cstdint>

enum MDNS_TYPE_E : uint16_t
{
    MDNS_TYPE_A = 1,
    MDNS_TYPE_PTR = 12,
    MDNS_TYPE_TXT = 16,
    MDNS_TYPE_AAAA = 28,
    MDNS_TYPE_SRV = 33,
    MDNS_TYPE_ANY = 255,
};

enum MDNS_STATUS_E : int
{
    MDNS_OK = 0,
    MDNS_TRUNCATED = -1,   // a field or record runs past the end of the datagram
    MDNS_BAD_LABEL = -2,   // a label kind other than plain or pointer, or longer than 63 bytes
    MDNS_BAD_POINTER = -3, // a compression pointer that does not point back (it could loop)
    MDNS_NAME_TOO_LONG = -4,
    MDNS_BAD_RDATA = -5, // record data whose length does not fit its type
};

// Largest datagram read or written.
constexpr int MDNS_MAX_DATAGRAM = 9000;
// Longest name on the wire, length bytes and final zero included.
constexpr int MDNS_MAX_NAME = 255;
constexpr int MDNS_MAX_LABEL = 63;

struct MDNS_QUERY_T
{
    QByteArray Name;
    uint16_t Type = MDNS_TYPE_PTR;
    bool UnicastResponse = false; // top bit of the class
};

struct MDNS_RECORD_T
{
    QByteArray Name;
    uint16_t Type = MDNS_TYPE_A;
    bool FlushCache = false; // top bit of the class: this set replaces what is cached
    uint32_t Ttl = 0;        // seconds; 0 says the record is gone
    QHostAddress Address;    // A and AAAA
    QByteArray Target;       // PTR and SRV
    uint16_t Port = 0;       // SRV
    uint16_t Priority = 0;   // SRV
    uint16_t Weight = 0;     // SRV
    // TXT: key=value strings; a key without "=" has a null value.
    QMap<QByteArray, QByteArray> Attributes;

    // Same owner name (any case), type and data; the TTL does not count.
    bool SameData(const MDNS_RECORD_T& Other) const;
};

struct MDNS_MESSAGE_T
{
    QHostAddress Address; // the peer: sender of a received message, receiver of one sent to one peer
    uint16_t Port = 0;
    uint16_t TransactionId = 0;
    bool Response = false;
    QList<MDNS_QUERY_T> Queries;
    // Answer, authority and additional records of a received message; a sent
    // message carries them all as answers.
    QList<MDNS_RECORD_T> Records;
};

Q_DECLARE_METATYPE(MDNS_RECORD_T)
Q_DECLARE_METATYPE(MDNS_MESSAGE_T)

// Reads one datagram. Records of other classes than IN and of kinds not
// listed in MDNS_TYPE_E are skipped. On failure pMessage holds nothing usable.
MDNS_STATUS_E MdnsDecodeMessage(const char* pData, int nSize, MDNS_MESSAGE_T* pMessage);
// Writes a message with compressed names; MDNS_OK and the datagram, or the
// reason the message cannot be written (a label or name too long).
MDNS_STATUS_E MdnsEncodeMessage(const MDNS_MESSAGE_T& Message, QByteArray* pDatagram);

// DNS names compare without regard to ASCII case.
bool MdnsSameName(const QByteArray& A, const QByteArray& B);
// The labels of a dotted name, unescaped; false when an escape is cut off.
bool MdnsSplitName(const QByteArray& Name, QList<QByteArray>* pLabels);
// A label as it stands in a dotted name (dots and backslashes escaped).
QByteArray MdnsEscapeLabel(const QByteArray& Label);
