#include "monitor/tools/auto_log_csv.h"

#include <QSet>

namespace
{
QString OneLine(QString s)
{
    s.remove(QLatin1Char('\r'));
    s.remove(QLatin1Char('\n'));
    return s;
}
} // namespace

AUTO_LOG_ENTRY_T AutoLogEntryFromName(const QString& sPortName)
{
    AUTO_LOG_ENTRY_T e;
    e.PortName = sPortName;
    e.PortTag = sPortName.contains(QLatin1String("_U1")) ? QStringLiteral("U1") : QStringLiteral("U2");
    e.DisplayName = QString(sPortName).remove(QLatin1String("_U1")).remove(QLatin1String("_U2"));
    return e;
}

QString JoinCsvLine(const QStringList& Fields)
{
    QStringList out;
    out.reserve(Fields.size());
    for (const QString& f : Fields)
    {
        const QString s = OneLine(f);
        if (s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')))
            out << QLatin1Char('"') + QString(s).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
        else
            out << s;
    }
    return out.join(QLatin1Char(','));
}

QStringList SplitCsvLine(const QString& sLine)
{
    QStringList fields;
    QString cur;
    bool bQuoted = false;
    for (int i = 0; i < sLine.size(); ++i)
    {
        const QChar c = sLine.at(i);
        if (bQuoted)
        {
            if (c != QLatin1Char('"'))
                cur += c;
            else if (i + 1 < sLine.size() && sLine.at(i + 1) == QLatin1Char('"'))
                cur += sLine.at(++i);
            else
                bQuoted = false;
        }
        else if (c == QLatin1Char('"'))
            bQuoted = true;
        else if (c == QLatin1Char(','))
        {
            fields << cur;
            cur.clear();
        }
        else
            cur += c;
    }
    fields << cur;
    return fields;
}

QByteArray AutoLogCsvText(const QStringList& Header, const QList<AUTO_LOG_ENTRY_T>& Entries)
{
    QString s = JoinCsvLine(Header) + QLatin1Char('\n');
    for (const AUTO_LOG_ENTRY_T& e : Entries)
    {
        s += JoinCsvLine({e.Computer, e.PortName, e.EVK, e.Antenna, e.Base, e.Version, e.MAntLinkChain,
                          e.SAntLinkChain, e.ProductID, e.SN}) +
             QLatin1Char('\n');
    }
    return s.toUtf8();
}

void ReadAutoLogCsv(const QString& sText, QStringList* pHeader, QList<AUTO_LOG_ENTRY_T>* pEntries)
{
    // A port name appears once; a later line of the same port is a duplicate.
    QSet<QString> known;
    known.reserve(pEntries->size());
    for (const AUTO_LOG_ENTRY_T& k : *pEntries)
        known.insert(k.PortName);
    bool bFirst = true;
    for (QString sLine : sText.split(QLatin1Char('\n')))
    {
        sLine.remove(QLatin1Char('\r'));
        if (sLine.trimmed().isEmpty())
            continue;
        const QStringList f = SplitCsvLine(sLine);
        if (bFirst && !sLine.contains(QLatin1String("##")))
        {
            bFirst = false;
            *pHeader = f;
            continue;
        }
        bFirst = false;
        if (f.size() < AUTO_LOG_CSV_FIELDS || f.at(1).isEmpty())
            continue;
        AUTO_LOG_ENTRY_T e = AutoLogEntryFromName(f.at(1));
        e.Computer = f.at(0);
        e.EVK = f.at(2);
        e.Antenna = f.at(3);
        e.Base = f.at(4);
        e.Version = f.at(5);
        e.MAntLinkChain = f.at(6);
        e.SAntLinkChain = f.at(7);
        e.ProductID = f.at(8);
        e.SN = f.at(9);
        if (!known.contains(e.PortName))
        {
            known.insert(e.PortName);
            pEntries->append(e);
        }
    }
}
