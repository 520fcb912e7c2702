// The latest-log store of one port: for every log of the monitor's catalogue
// how many have arrived and the header of the latest, and for the logs the
// views and dialogs read, the latest log itself (header and body). Binary logs
// come from the framer, text logs from the port's text; a log whose body does
// not read, or whose counts do not fit its own length, leaves the kept copy as
// it was.
#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/gnss_numbering.h"
#include "codec/log_format.h"
#include "codec/log_registry.h"
#include "monitor/parsing/range_observations.h"

enum : uint32_t
{
    STORE_SLOT_COUNT = 66,
};

// Catalogue index of a message ID, or -1.
int CatalogueIndexOf(uint32_t nMessageId);

// TrackStatusToSystem and TrackStatusToSignalType, the views' reading of a
// channel tracking status, are in codec/gnss_numbering.h.

// The text header of a full text log (the text after "#", nLength characters)
// as a binary header: message ID and type from the log name, the other fields
// from the header text, message length 0. Returns 1, or 0.
int ParseAsciiLogHeader(const char* pText, int32_t nLength, BinaryLogHeader* pHeader);

class QRangeData;
// A full text log line into the store: -1 when it does not begin with "#",
// 0 when it is refused (checksum, header or body), 1 otherwise.
int ParseAsciiLog(const char* pLine, uint32_t nLength, QRangeData* pStore);

class QRangeData : public QObject
{
    Q_OBJECT

public:
    // The logs whose bodies the store keeps, and how, come from a log registry:
    // the codec's own unless another is given (it must outlive the store).
    explicit QRangeData(QObject* pParent = nullptr, const LOG_REGISTRY_T* pRegistry = nullptr);
    ~QRangeData() override;

    BinaryLogHeader Headers[STORE_SLOT_COUNT]; // latest header per catalogue index (port code, long form)
    uint32_t Counts[STORE_SLOT_COUNT];         // logs received per catalogue index

    // A binary log as the framer hands it out (long or short header, body,
    // CRC). Returns -1 for a log outside the catalogue (or not a whole log), 0
    // when it is counted but its body is refused, 1 when it is counted (and
    // kept, where the store keeps that log).
    int StoreBinaryLog(const uint8_t* pLog, uint32_t nLength);
    // The same for a log record as BinaryLogToRecord makes it (long header
    // with the port code, body, no CRC).
    int StoreLogRecord(const uint8_t* pRecord, uint32_t nLength);
    // A full text log line; see ParseAsciiLog.
    int StoreTextLog(const char* pLine, uint32_t nLength);

    // The kept copy of a log (28-byte header, then the body; the header's
    // message length is the body kept), or null when the store keeps no such
    // log. Before the first log of its kind the copy is all zero with length 0.
    const uint8_t* LogCopy(uint16_t nMessageId, uint32_t* pLength = nullptr) const;
    // The kept body as its record type when at least sizeof(T) bytes are held, else null.
    template <class T> const T* Body(uint16_t nMessageId) const
    {
        uint32_t n = 0;
        const uint8_t* p = LogCopy(nMessageId, &n);
        return (p != nullptr && n >= LOG_HEADER_LENGTH + sizeof(T)) ? reinterpret_cast<const T*>(p + LOG_HEADER_LENGTH)
                                                                    : nullptr;
    }
    // How often the kept copy of a log has been replaced.
    uint32_t BodyUpdates(uint16_t nMessageId) const;

    // The port's latest range observations, each range log expanded as it
    // was taken (see CRangeObservations).
    const CRangeObservations& RangeObservations() const { return m_RangeObs; }

    // The registry the store reads its logs from.
    const LOG_REGISTRY_T& LogTypes() const { return *m_pRegistry; }

    struct SLOT_T
    {
        const LOG_TYPE_T* Type = nullptr;
        std::vector<uint8_t> Data;
        uint32_t Length = 0;
        uint32_t Updates = 0;
    };

private:
    const LOG_TYPE_T* BodyType(uint16_t nMessageId) const;
    int KeepBody(const BinaryLogHeader& Header, const uint8_t* pBody, uint32_t nBody);
    int StoreRecord(const uint8_t* pRecord, uint32_t nLength, bool bCount);
    void Count(const BinaryLogHeader& Header);

    const LOG_REGISTRY_T* m_pRegistry;
    std::unique_ptr<std::array<int8_t, 65536>> m_pBodySlot; // message ID to slot, -1 for none
    std::vector<SLOT_T> m_Slots;
    std::unique_ptr<uint8_t[]> m_pScratch; // a decoded text log before it is kept
    CRangeObservations m_RangeObs;
};
