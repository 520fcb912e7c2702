#include "monitor/ports/mdns/mdns_message.h"

#include <QHash>

namespace
{
constexpr uint16_t CLASS_IN = 1;
constexpr uint16_t CLASS_TOP_BIT = 0x8000;
constexpr uint16_t FLAG_RESPONSE = 0x8000;
constexpr uint16_t FLAG_AUTHORITATIVE = 0x0400;
constexpr int HEADER_SIZE = 12;
// Offsets above this cannot be reached by a compression pointer.
constexpr int MAX_POINTER_OFFSET = 0x3FFF;

// A bounded cursor over one datagram; the first read past the end makes it
// fail for good.
class DatagramReader
{
public:
    DatagramReader(const uint8_t* pData, int nSize) : m_pData(pData), m_nSize(nSize) {}

    bool Ok() const { return m_Status == MDNS_OK; }
    MDNS_STATUS_E Status() const { return m_Status; }
    void Fail(MDNS_STATUS_E eStatus)
    {
        if (m_Status == MDNS_OK)
            m_Status = eStatus;
    }
    int Pos() const { return m_nPos; }
    int Size() const { return m_nSize; }
    bool Has(int n)
    {
        if (!Ok() || n < 0 || n > m_nSize - m_nPos)
        {
            Fail(MDNS_TRUNCATED);
            return false;
        }
        return true;
    }
    uint8_t U8()
    {
        if (!Has(1))
            return 0;
        return m_pData[m_nPos++];
    }
    uint16_t U16()
    {
        if (!Has(2))
            return 0;
        const uint16_t v = static_cast<uint16_t>(m_pData[m_nPos] << 8 | m_pData[m_nPos + 1]);
        m_nPos += 2;
        return v;
    }
    uint32_t U32()
    {
        const uint32_t hi = U16();
        return hi << 16 | U16();
    }
    const uint8_t* Bytes(int n)
    {
        if (!Has(n))
            return nullptr;
        const uint8_t* p = m_pData + m_nPos;
        m_nPos += n;
        return p;
    }
    void Seek(int nPos) { m_nPos = nPos; }

    // A name at the cursor; the cursor ends after its in-place part. Every
    // pointer must lead to an offset before the labels that hold it, so a
    // chain of pointers always ends, and the name is bounded in length.
    QByteArray Name()
    {
        QByteArray name;
        int nPos = m_nPos;
        int nLimit = m_nPos; // a pointer must point before this
        int nEnd = -1;       // cursor after the in-place part
        int nWire = 0;
        for (;;)
        {
            if (nPos >= m_nSize)
            {
                Fail(MDNS_TRUNCATED);
                return {};
            }
            const uint8_t b = m_pData[nPos];
            if ((b & 0xC0) == 0xC0)
            {
                if (nPos + 1 >= m_nSize)
                {
                    Fail(MDNS_TRUNCATED);
                    return {};
                }
                const int nTarget = (b & 0x3F) << 8 | m_pData[nPos + 1];
                if (nEnd < 0)
                    nEnd = nPos + 2;
                if (nTarget >= nLimit)
                {
                    Fail(MDNS_BAD_POINTER);
                    return {};
                }
                nLimit = nTarget;
                nPos = nTarget;
                continue;
            }
            if (b & 0xC0)
            {
                Fail(MDNS_BAD_LABEL);
                return {};
            }
            nWire += 1 + b;
            if (nWire > MDNS_MAX_NAME)
            {
                Fail(MDNS_NAME_TOO_LONG);
                return {};
            }
            if (b == 0)
            {
                if (nEnd < 0)
                    nEnd = nPos + 1;
                break;
            }
            if (b > m_nSize - nPos - 1)
            {
                Fail(MDNS_TRUNCATED);
                return {};
            }
            name += MdnsEscapeLabel(QByteArray(reinterpret_cast<const char*>(m_pData + nPos + 1), b));
            name += '.';
            nPos += 1 + b;
        }
        m_nPos = nEnd;
        return name.isEmpty() ? QByteArray(".") : name;
    }

private:
    const uint8_t* m_pData;
    int m_nSize;
    int m_nPos = 0;
    MDNS_STATUS_E m_Status = MDNS_OK;
};

void ParseTxt(const uint8_t* p, int n, QMap<QByteArray, QByteArray>* pAttributes)
{
    int i = 0;
    while (i < n)
    {
        const int nLen = p[i++];
        if (nLen > n - i)
            break; // a string cut off by the end of the record
        const QByteArray entry(reinterpret_cast<const char*>(p + i), nLen);
        i += nLen;
        if (entry.isEmpty() || entry.startsWith('='))
            continue;
        const int nEq = entry.indexOf('=');
        const QByteArray key = nEq < 0 ? entry : entry.left(nEq);
        // Only the first occurrence of a key counts.
        if (pAttributes->contains(key))
            continue;
        pAttributes->insert(key, nEq < 0 ? QByteArray() : entry.mid(nEq + 1));
    }
}

bool ReadRecord(DatagramReader& r, MDNS_RECORD_T* pRecord, bool* pKeep)
{
    pRecord->Name = r.Name();
    pRecord->Type = r.U16();
    const uint16_t nClass = r.U16();
    pRecord->FlushCache = (nClass & CLASS_TOP_BIT) != 0;
    pRecord->Ttl = r.U32();
    const int nLength = r.U16();
    if (!r.Has(nLength))
        return false;
    const int nStart = r.Pos();
    const int nEnd = nStart + nLength;
    *pKeep = (nClass & ~CLASS_TOP_BIT) == CLASS_IN;
    switch (pRecord->Type)
    {
    case MDNS_TYPE_A:
        if (nLength != 4)
            r.Fail(MDNS_BAD_RDATA);
        else
        {
            const uint8_t* p = r.Bytes(4);
            pRecord->Address = QHostAddress(static_cast<quint32>(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]));
        }
        break;
    case MDNS_TYPE_AAAA:
        if (nLength != 16)
            r.Fail(MDNS_BAD_RDATA);
        else
            pRecord->Address = QHostAddress(r.Bytes(16));
        break;
    case MDNS_TYPE_PTR:
        pRecord->Target = r.Name();
        break;
    case MDNS_TYPE_SRV:
        pRecord->Priority = r.U16();
        pRecord->Weight = r.U16();
        pRecord->Port = r.U16();
        pRecord->Target = r.Name();
        break;
    case MDNS_TYPE_TXT:
        ParseTxt(r.Bytes(nLength), nLength, &pRecord->Attributes);
        break;
    default:
        *pKeep = false;
        break;
    }
    if (r.Ok() && r.Pos() > nEnd)
        r.Fail(MDNS_BAD_RDATA);
    r.Seek(nEnd);
    return r.Ok();
}

class DatagramWriter
{
public:
    void U8(uint8_t v) { m_Out.append(static_cast<char>(v)); }
    void U16(uint16_t v)
    {
        U8(static_cast<uint8_t>(v >> 8));
        U8(static_cast<uint8_t>(v));
    }
    void U32(uint32_t v)
    {
        U16(static_cast<uint16_t>(v >> 16));
        U16(static_cast<uint16_t>(v));
    }
    void Bytes(const QByteArray& b) { m_Out.append(b); }
    int Pos() const { return m_Out.size(); }
    void PatchU16(int nPos, uint16_t v)
    {
        m_Out[nPos] = static_cast<char>(v >> 8);
        m_Out[nPos + 1] = static_cast<char>(v);
    }

    // Writes a name, pointing to an earlier copy of its longest known suffix.
    MDNS_STATUS_E Name(const QByteArray& Name)
    {
        QList<QByteArray> labels;
        if (!MdnsSplitName(Name, &labels))
            return MDNS_BAD_LABEL;
        int nWire = 1;
        for (const QByteArray& label : labels)
        {
            if (label.isEmpty() || label.size() > MDNS_MAX_LABEL)
                return MDNS_BAD_LABEL;
            nWire += 1 + label.size();
        }
        if (nWire > MDNS_MAX_NAME)
            return MDNS_NAME_TOO_LONG;
        for (int i = 0; i < labels.size(); ++i)
        {
            QByteArray suffix;
            for (int j = i; j < labels.size(); ++j)
                suffix += static_cast<char>(labels[j].size()) + labels[j];
            const auto it = m_Suffixes.constFind(suffix);
            if (it != m_Suffixes.constEnd())
            {
                U16(static_cast<uint16_t>(0xC000 | it.value()));
                return MDNS_OK;
            }
            if (Pos() <= MAX_POINTER_OFFSET)
                m_Suffixes.insert(suffix, Pos());
            U8(static_cast<uint8_t>(labels[i].size()));
            Bytes(labels[i]);
        }
        U8(0);
        return MDNS_OK;
    }

    QByteArray m_Out;

private:
    QHash<QByteArray, int> m_Suffixes; // wire form of the suffixes written so far
};

MDNS_STATUS_E WriteRecordData(DatagramWriter& w, const MDNS_RECORD_T& Record)
{
    switch (Record.Type)
    {
    case MDNS_TYPE_A:
    {
        bool bOk = false;
        const quint32 v4 = Record.Address.toIPv4Address(&bOk);
        w.U32(bOk ? v4 : 0);
        return MDNS_OK;
    }
    case MDNS_TYPE_AAAA:
    {
        const Q_IPV6ADDR v6 = Record.Address.toIPv6Address();
        w.Bytes(QByteArray(reinterpret_cast<const char*>(v6.c), 16));
        return MDNS_OK;
    }
    case MDNS_TYPE_PTR:
        return w.Name(Record.Target);
    case MDNS_TYPE_SRV:
        w.U16(Record.Priority);
        w.U16(Record.Weight);
        w.U16(Record.Port);
        return w.Name(Record.Target);
    case MDNS_TYPE_TXT:
    {
        if (Record.Attributes.isEmpty())
            w.U8(0); // a TXT record holds at least one string
        for (auto it = Record.Attributes.constBegin(); it != Record.Attributes.constEnd(); ++it)
        {
            const QByteArray entry = it.value().isNull() ? it.key() : it.key() + '=' + it.value();
            if (entry.size() > 255)
                return MDNS_BAD_RDATA;
            w.U8(static_cast<uint8_t>(entry.size()));
            w.Bytes(entry);
        }
        return MDNS_OK;
    }
    default:
        return MDNS_BAD_RDATA;
    }
}
} // namespace

bool MDNS_RECORD_T::SameData(const MDNS_RECORD_T& Other) const
{
    if (Type != Other.Type || !MdnsSameName(Name, Other.Name))
        return false;
    switch (Type)
    {
    case MDNS_TYPE_A:
    case MDNS_TYPE_AAAA:
        return Address == Other.Address;
    case MDNS_TYPE_PTR:
        return MdnsSameName(Target, Other.Target);
    case MDNS_TYPE_SRV:
        return MdnsSameName(Target, Other.Target) && Port == Other.Port && Priority == Other.Priority &&
               Weight == Other.Weight;
    case MDNS_TYPE_TXT:
        return Attributes == Other.Attributes;
    default:
        return true;
    }
}

bool MdnsSameName(const QByteArray& A, const QByteArray& B) { return A.compare(B, Qt::CaseInsensitive) == 0; }

bool MdnsSplitName(const QByteArray& Name, QList<QByteArray>* pLabels)
{
    pLabels->clear();
    QByteArray label;
    bool bPending = false; // characters since the last dot
    for (int i = 0; i < Name.size(); ++i)
    {
        const char c = Name[i];
        if (c == '.')
        {
            pLabels->append(label); // an empty one is refused by the writer
            label.clear();
            bPending = false;
            continue;
        }
        if (c == '\\' && ++i >= Name.size())
            return false;
        label += Name[i];
        bPending = true;
    }
    if (bPending)
        pLabels->append(label);
    if (pLabels->size() == 1 && pLabels->first().isEmpty())
        pLabels->clear(); // "." is the root
    return true;
}

QByteArray MdnsEscapeLabel(const QByteArray& Label)
{
    QByteArray out;
    out.reserve(Label.size());
    for (const char c : Label)
    {
        if (c == '.' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

MDNS_STATUS_E MdnsDecodeMessage(const char* pData, int nSize, MDNS_MESSAGE_T* pMessage)
{
    pMessage->Queries.clear();
    pMessage->Records.clear();
    DatagramReader r(reinterpret_cast<const uint8_t*>(pData), nSize);
    if (!r.Has(HEADER_SIZE))
        return r.Status();
    pMessage->TransactionId = r.U16();
    pMessage->Response = (r.U16() & FLAG_RESPONSE) != 0;
    const int nQuestions = r.U16();
    const int nRecords = r.U16() + r.U16() + r.U16();
    // Every question and record takes bytes, so a count that the datagram
    // cannot hold ends the loops below at its end.
    for (int i = 0; i < nQuestions && r.Ok(); ++i)
    {
        MDNS_QUERY_T query;
        query.Name = r.Name();
        query.Type = r.U16();
        query.UnicastResponse = (r.U16() & CLASS_TOP_BIT) != 0;
        if (r.Ok())
            pMessage->Queries.append(query);
    }
    for (int i = 0; i < nRecords && r.Ok(); ++i)
    {
        MDNS_RECORD_T record;
        bool bKeep = false;
        if (ReadRecord(r, &record, &bKeep) && bKeep)
            pMessage->Records.append(record);
    }
    if (!r.Ok())
    {
        pMessage->Queries.clear();
        pMessage->Records.clear();
    }
    return r.Status();
}

MDNS_STATUS_E MdnsEncodeMessage(const MDNS_MESSAGE_T& Message, QByteArray* pDatagram)
{
    DatagramWriter w;
    w.U16(Message.TransactionId);
    w.U16(Message.Response ? FLAG_RESPONSE | FLAG_AUTHORITATIVE : 0);
    w.U16(static_cast<uint16_t>(Message.Queries.size()));
    w.U16(static_cast<uint16_t>(Message.Records.size()));
    w.U16(0);
    w.U16(0);
    for (const MDNS_QUERY_T& query : Message.Queries)
    {
        if (const MDNS_STATUS_E e = w.Name(query.Name))
            return e;
        w.U16(query.Type);
        w.U16(static_cast<uint16_t>(CLASS_IN | (query.UnicastResponse ? CLASS_TOP_BIT : 0)));
    }
    for (const MDNS_RECORD_T& record : Message.Records)
    {
        if (const MDNS_STATUS_E e = w.Name(record.Name))
            return e;
        w.U16(record.Type);
        w.U16(static_cast<uint16_t>(CLASS_IN | (record.FlushCache ? CLASS_TOP_BIT : 0)));
        w.U32(record.Ttl);
        const int nLengthPos = w.Pos();
        w.U16(0);
        if (const MDNS_STATUS_E e = WriteRecordData(w, record))
            return e;
        const int nLength = w.Pos() - nLengthPos - 2;
        if (nLength > 0xFFFF)
            return MDNS_BAD_RDATA;
        w.PatchU16(nLengthPos, static_cast<uint16_t>(nLength));
    }
    if (w.Pos() > MDNS_MAX_DATAGRAM)
        return MDNS_TRUNCATED;
    *pDatagram = w.m_Out;
    return MDNS_OK;
}
