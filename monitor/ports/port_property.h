// What a connected receiver says about itself in answer to
// "version\r\nnetconfig\r\n": board, firmware, serial number, the receiver port
// it answered through and its IP address.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <mutex>

// The fields as one value, so that the GUI thread can take a consistent copy
// while a port thread parses a fresh reply.
struct PORT_PROPERTY_T
{
    QString VersionLine;     // the line before "<VERSION OK"
    QString Port;            // receiver port that answered, such as "COM1"
    QString PortShort;       // "U1" for COM1, "U2" for COM2, else Port
    QString FirmwareVersion; // field 1 of the VERSION line
    QString FirmwareLabel;   // firmware, hardware and serial texts, "%s-%s_%s"
    QString BoardName;       // field 0 up to its first "-"
    QString Model;           // field 0
    QString SN;
    QString ID;
    QString ProductCode; // first 4 characters of field 3
    uint32_t FValue = 0; // hexadecimal number after "F:"
    QString IP;          // from the NETCONFIG reply
    bool bIpFound = false;
    QString NetConfigLine; // the NETCONFIG reply's line, as the receiver wrote it
};

// What a port has gathered of the reply to its property query.
struct PROPERTY_REPLY_T
{
    QByteArray Text;       // the newest received bytes, zero bytes included
    bool bVersion = false; // the VERSION reply was read; the NETCONFIG one is awaited
};

class QZvPortProperty : public QObject
{
    Q_OBJECT

public:
    explicit QZvPortProperty(QObject* pParent = nullptr);

    // The query whose reply Parse reads (20 bytes).
    static QByteArray GetQueryCmd();

    // Received bytes a port keeps between two parses of its reply.
    static constexpr int REPLY_AREA_SIZE = 16384;
    // How long a port waits for the NETCONFIG reply once the VERSION reply has
    // come: the receiver answers the two commands one after the other, often
    // in separate reads, and a receiver without a network answers with an
    // error or not at all.
    static constexpr int NETCONFIG_WAIT_MS = 600;

    enum
    {
        REPLY_NONE = 0,    // no VERSION reply yet
        REPLY_VERSION = 1, // the VERSION reply was read: the fields are valid
        REPLY_WHOLE = 2,   // the NETCONFIG reply was read too
    };
    // Adds received bytes to the reply gathered so far and reads it; returns
    // one of the REPLY_ values. A receiver usually streams binary logs before
    // and around its reply, so the text is read whole, zero bytes included.
    // Between calls only the newest REPLY_AREA_SIZE bytes are kept, from a
    // line start: a fast stream never crowds the reply out, however long the
    // query waits. The IP address is taken when its reply comes, after the
    // VERSION reply or in the same read.
    int ParseGathered(PROPERTY_REPLY_T* pReply, const char* pData, int nLength);
    // The part of a gathered reply worth a trace: from just before the
    // VERSION reply when it is still held, at most REPLY_AREA_SIZE bytes.
    static QByteArray ReplyArea(const PROPERTY_REPLY_T& Reply);

    // Parses everything received so far; true once the VERSION reply is
    // complete. The fields change only on success.
    bool Parse(const QString& sText);

    // A copy of the fields, safe to call from any thread.
    PORT_PROPERTY_T Get() const;
    void Clear();

    static bool ParseText(const QString& sText, PORT_PROPERTY_T* pProperty);

private:
    // Whether the text from From on holds the end of the NETCONFIG reply (or
    // its refusal); its IP address, if any, goes into pProperty.
    static bool NetConfigAnswered(const QString& sText, int From, PORT_PROPERTY_T* pProperty = nullptr);
    static void ReadNetConfig(const QString& sLine, PORT_PROPERTY_T* pProperty);

    mutable std::mutex m_Mutex;
    PORT_PROPERTY_T m_Property;
};
