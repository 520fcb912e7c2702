#include "monitor/ports/ntrip_mount_table.h"

#include <cstring>

#include "monitor/ports/ntrip_protocol.h"

void CNtripMountTable::Clear() { *this = CNtripMountTable(); }

bool CNtripMountTable::Take(const char* pData, int n, qint64 nMaxBytes)
{
    if (m_bEnded)
        return true;
    m_nBytes += n;
    m_Line.append(pData, n);
    int start = 0;
    for (int end; (end = m_Line.indexOf('\n', start)) >= 0; start = end + 1)
    {
        const int length = end - start - (end > start && m_Line.at(end - 1) == '\r' ? 1 : 0);
        const char* pLine = m_Line.constData() + start;
        constexpr int kEndLength = sizeof(NTRIP_TABLE_END) - 1;
        if (length >= kEndLength && std::memcmp(pLine, NTRIP_TABLE_END, kEndLength) == 0)
        {
            m_Line.clear();
            m_bEnded = true;
            return true;
        }
        const char* pMount = nullptr;
        const int mountLength = NtripTableMountPoint(pLine, length, &pMount);
        if (mountLength > 0)
        {
            if (m_Offered.size() < MAX_LISTED)
                m_Offered << QString::fromLatin1(pMount, mountLength);
            ++m_nOfferedCount;
        }
    }
    m_Line.remove(0, start);
    // A table without line ends, or one without end, is read no further.
    m_bEnded = m_Line.size() > NTRIP_REPLY_HEADER_MAX || m_nBytes > nMaxBytes;
    return m_bEnded;
}
