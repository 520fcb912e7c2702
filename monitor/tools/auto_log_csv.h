// The board descriptions of automatic logging and their CSV file
// ("AutoLogConfig.csv"): a header line, then one line per board with the ten
// fields Computer, PortName, EVK, Antenna, Base, Version, MAntLinkChain,
// SAntLinkChain, ProductID and SN. A field holding a comma or a double quote
// is quoted (a quote inside doubled), so any text survives a save and a
// load; line ends inside a field are dropped when it is written. The file is
// UTF-8; one written by hand in Latin-1 is read as such.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One board as the list window knows it, kept per port name ever seen.
struct AUTO_LOG_ENTRY_T
{
    QString Computer = QStringLiteral("##UNKNOWN");
    QString PortName;    // the tab text without its marks
    QString DisplayName; // the firmware, hardware and serial label
    QString PortTag;     // "U1" or "U2": the receiver port that answers
    QString EVK;
    QString Antenna;
    QString Base;
    QString Version;
    QString MAntLinkChain;
    QString SAntLinkChain;
    QString ProductID;
    QString SN;
    bool PropertiesValid = false;
    uint UniquePortID = 0; // the port of its open tab; 0 without one
};

// The number of fields of a board line.
constexpr int AUTO_LOG_CSV_FIELDS = 10;

// A board line's entry as it comes from the file: its display name and port
// tag are taken from the port name ("_U1" gives "U1", anything else "U2").
AUTO_LOG_ENTRY_T AutoLogEntryFromName(const QString& sPortName);

// One CSV line (without its line end) of the fields, quoted where needed.
QString JoinCsvLine(const QStringList& Fields);
// The fields of one CSV line; a quote left open runs to the end of the line.
QStringList SplitCsvLine(const QString& sLine);

// The whole file.
QByteArray AutoLogCsvText(const QStringList& Header, const QList<AUTO_LOG_ENTRY_T>& Entries);
// Reads a file's text: its first line is the header unless it holds "##"
// (the mark of a board line's unknown computer); every other line of at least
// ten fields is a board (fields beyond the tenth are ignored), others are
// skipped. pHeader is left as it is when the file has none.
void ReadAutoLogCsv(const QString& sText, QStringList* pHeader, QList<AUTO_LOG_ENTRY_T>* pEntries);
