// The mDNS browser and its cache fed what anyone on the local network may
// send: datagrams (each a 2-byte big-endian length and the bytes) decoded as
// the server decodes them and handed to the browser, which reports its
// services after each one. Services come and go
// in order (added once, updated and removed only while known), each is an
// instance of the type browsed, and the cache keeps its bounds. A second
// cache takes every record directly: a record just added with a TTL is
// found, one withdrawn is gone, a name never holds more than its share.
#include <QCoreApplication>
#include <QHash>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "monitor/ports/mdns/mdns_browser.h"
#include "monitor/ports/mdns/mdns_cache.h"
#include "monitor/ports/mdns/mdns_server.h"

namespace
{
void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

const QByteArray kType = QByteArrayLiteral("_Zorvik_http._tcp.local.");

struct WORLD_T
{
    Mdns::Server Server; // never enabled: queries go nowhere
    Mdns::Cache Cache;
    Mdns::Browser Browser{&Server, kType, &Cache};
    Mdns::Cache Probe;
    QHash<QByteArray, Mdns::Service> Known; // by instance name, lower-case

    WORLD_T()
    {
        const auto isOurs = [](const Mdns::Service& s) {
            return s.instanceName().toLower().endsWith("." + kType.toLower());
        };
        QObject::connect(&Browser, &Mdns::Browser::serviceAdded, [this, isOurs](const Mdns::Service& s) {
            Check(isOurs(s) && !Known.contains(s.instanceName().toLower()));
            Known.insert(s.instanceName().toLower(), s);
        });
        QObject::connect(&Browser, &Mdns::Browser::serviceUpdated, [this, isOurs](const Mdns::Service& s) {
            Check(isOurs(s) && Known.contains(s.instanceName().toLower()));
            Known.insert(s.instanceName().toLower(), s);
        });
        QObject::connect(&Browser, &Mdns::Browser::serviceRemoved, [this](const Mdns::Service& s) {
            Check(Known.remove(s.instanceName().toLower()) == 1);
        });
    }
};

void AddToProbe(Mdns::Cache* pCache, const MDNS_RECORD_T& Record)
{
    const bool bRoom = pCache->Count() < Mdns::Cache::MAX_ENTRIES;
    pCache->addRecord(Record);
    Check(pCache->Count() <= Mdns::Cache::MAX_ENTRIES);
    QList<MDNS_RECORD_T> records;
    pCache->lookupRecords(Record.Name, Record.Type, &records);
    bool bFound = false;
    for (const MDNS_RECORD_T& r : records)
        bFound = bFound || r.SameData(Record);
    if (Record.Ttl == 0)
        Check(!bFound);
    else if (bRoom)
        Check(bFound);
    if (Record.Type != MDNS_TYPE_PTR)
        Check(records.size() <= Mdns::Cache::MAX_PER_NAME);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    static QCoreApplication app(*pArgc, *pArgv);
    // Services are reported as soon as the events are processed after each datagram.
    Mdns::Timing().ServiceDelayMs = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static WORLD_T* pWorld = new WORLD_T;
    if (nSize > 64 * 1024)
        return 0;
    size_t at = 0;
    while (at + 2 <= nSize)
    {
        const size_t n = std::min<size_t>(size_t{pData[at]} << 8 | pData[at + 1], nSize - at - 2);
        MDNS_MESSAGE_T message;
        if (n <= MDNS_MAX_DATAGRAM &&
            MdnsDecodeMessage(reinterpret_cast<const char*>(pData + at + 2), static_cast<int>(n), &message) == MDNS_OK)
        {
            emit pWorld->Server.messageReceived(message);
            QCoreApplication::processEvents();
            Check(pWorld->Cache.Count() <= Mdns::Cache::MAX_ENTRIES);
            for (const MDNS_RECORD_T& record : qAsConst(message.Records))
                AddToProbe(&pWorld->Probe, record);
        }
        at += 2 + n;
    }
    // The next input starts from nothing; the browser forgets its services without reports.
    pWorld->Browser.Refresh();
    pWorld->Known.clear();
    pWorld->Probe.Clear();
    return 0;
}
