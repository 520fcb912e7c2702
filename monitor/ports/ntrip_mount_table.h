// The mount points of a source table a caster sends in place of the stream
// of a mount point it does not have, read line by line as its bytes arrive
// (the chunked coding already undone). The table is read up to its
// "ENDSOURCETABLE" line; a line longer than NTRIP_REPLY_HEADER_MAX or a
// table longer than its bound ends it early, whatever the caster sends.
#pragma once

#include <QByteArray>
#include <QStringList>

// The line that ends a source table.
inline constexpr char NTRIP_TABLE_END[] = "ENDSOURCETABLE";

class CNtripMountTable
{
public:
    // Mount points listed; the count goes on beyond them.
    static constexpr int MAX_LISTED = 100;

    void Clear();
    // Takes the next bytes of the table; true once it has ended (its end
    // line came, or a bound was passed), after which nothing more is read.
    bool Take(const char* pData, int n, qint64 nMaxBytes);
    // The first MAX_LISTED mount points, in table order, and how many there are.
    const QStringList& Offered() const { return m_Offered; }
    int OfferedCount() const { return m_nOfferedCount; }

private:
    QByteArray m_Line; // a line not yet ended
    QStringList m_Offered;
    int m_nOfferedCount = 0;
    qint64 m_nBytes = 0;
    bool m_bEnded = false;
};
