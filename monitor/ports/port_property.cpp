#include "monitor/ports/port_property.h"

#include <QStringList>
#include <algorithm>
#include <mutex>

namespace
{
// Hardware revision and board serial from the receiver ID; positions that the
// ID does not reach give empty texts.
QString MakeFirmwareLabel(const QString& sFirmware, const QString& sID)
{
    QString sHardware;
    if (sID.startsWith(QLatin1String("2018")) || sID.startsWith(QLatin1String("2017")))
    {
        static const char* const kRevisions[] = {"1.0", "1.1", "1.2", "1.3"};
        if (sID.size() > 9)
        {
            const int index = sID.at(9).unicode() - 'A';
            if (index >= 0 && index < 4)
            {
                sHardware = QLatin1String(kRevisions[index]);
            }
        }
    }
    else if (sID.size() > 7)
    {
        sHardware = QString(sID.at(6)) + QLatin1Char('.') + sID.at(7);
    }

    QString sSerial = sID.mid(12, 4);
    if (!sSerial.isEmpty() && sSerial.at(0) == QLatin1Char('0'))
    {
        const bool bSecondNonZero =
            sSerial.size() > 1 && sSerial.at(1) >= QLatin1Char('1') && sSerial.at(1) <= QLatin1Char('9');
        sSerial.remove(0, bSecondNonZero ? 1 : 2);
    }
    return QStringLiteral("%1-%2_%3").arg(sFirmware, sHardware, sSerial);
}
} // namespace

QZvPortProperty::QZvPortProperty(QObject* pParent) : QObject(pParent) {}

QByteArray QZvPortProperty::GetQueryCmd() { return QByteArrayLiteral("version\r\nnetconfig\r\n"); }

bool QZvPortProperty::ParseText(const QString& sText, PORT_PROPERTY_T* pProperty)
{
    const QStringList lines = sText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const int versionOk = lines.indexOf(QStringLiteral("<VERSION OK"));
    if (versionOk <= 0)
    {
        return false;
    }
    PORT_PROPERTY_T prop;
    prop.VersionLine = lines.at(versionOk - 1);
    const QStringList fields = prop.VersionLine.split(QLatin1Char(','));
    if (fields.size() < 7)
    {
        return false;
    }
    prop.Model = fields.at(0);
    prop.BoardName = fields.at(0).section(QLatin1Char('-'), 0, 0);
    prop.FirmwareVersion = fields.at(1);
    prop.ProductCode = fields.at(3).left(4);
    for (const QString& field : fields)
    {
        if (field.startsWith(QLatin1String("ID:")))
        {
            prop.ID = field.mid(3);
        }
        else if (field.startsWith(QLatin1String("SN:")))
        {
            prop.SN = field.mid(3);
        }
        else if (field.startsWith(QLatin1String("F:")))
        {
            prop.FValue = field.mid(2).toUInt(nullptr, 16);
        }
    }
    // Only a prompt such as "[COM1]" names the port; a log line that happens
    // to follow the reply does not.
    if (versionOk + 1 < lines.size())
    {
        const QString& sPrompt = lines.at(versionOk + 1);
        const int close = sPrompt.indexOf(QLatin1Char(']'));
        if (sPrompt.startsWith(QLatin1Char('[')) && close > 0)
        {
            prop.Port = sPrompt.mid(1, close - 1);
        }
    }
    const int netOk = lines.indexOf(QStringLiteral("<NETCONFIG OK"));
    if (netOk > 0)
    {
        ReadNetConfig(lines.at(netOk - 1), &prop);
    }
    if (prop.Port == QLatin1String("COM1"))
    {
        prop.PortShort = QStringLiteral("U1");
    }
    else if (prop.Port == QLatin1String("COM2"))
    {
        prop.PortShort = QStringLiteral("U2");
    }
    else
    {
        prop.PortShort = prop.Port;
    }
    prop.FirmwareLabel = MakeFirmwareLabel(prop.FirmwareVersion, prop.ID);
    *pProperty = prop;
    return true;
}

int QZvPortProperty::ParseGathered(PROPERTY_REPLY_T* pReply, const char* pData, int nLength)
{
    QByteArray& text = pReply->Text;
    text.append(pData, nLength);
    // With the length: the QByteArray form would stop at the first zero byte.
    const QString sText = QString::fromLatin1(text.constData(), text.size());
    int result = pReply->bVersion ? REPLY_VERSION : REPLY_NONE;
    PORT_PROPERTY_T prop;
    // Read whole again while the VERSION reply is held: the prompt after it
    // and the NETCONFIG reply may have come in later reads.
    if (ParseText(sText, &prop))
    {
        pReply->bVersion = true;
        result =
            NetConfigAnswered(sText, sText.lastIndexOf(QLatin1String("<VERSION OK"))) ? REPLY_WHOLE : REPLY_VERSION;
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Property = prop;
    }
    else if (pReply->bVersion && NetConfigAnswered(sText, 0, &prop))
    {
        // The VERSION reply has left the area; only the NETCONFIG one was awaited.
        result = REPLY_WHOLE;
        if (prop.bIpFound)
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Property.IP = prop.IP;
            m_Property.bIpFound = true;
        }
    }
    if (result != REPLY_WHOLE && text.size() > REPLY_AREA_SIZE)
    {
        const int from = text.size() - REPLY_AREA_SIZE;
        const int lineStart = text.indexOf('\n', from);
        text.remove(0, lineStart >= 0 ? lineStart + 1 : from);
    }
    return result;
}

QByteArray QZvPortProperty::ReplyArea(const PROPERTY_REPLY_T& Reply)
{
    const int version = Reply.Text.lastIndexOf("<VERSION");
    return Reply.Text.mid(std::max(0, version - 1024), REPLY_AREA_SIZE);
}

bool QZvPortProperty::NetConfigAnswered(const QString& sText, int From, PORT_PROPERTY_T* pProperty)
{
    const QStringList lines = sText.mid(std::max(0, From)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const int netOk = lines.lastIndexOf(QStringLiteral("<NETCONFIG OK"));
    if (netOk >= 0)
    {
        if (netOk > 0 && pProperty != nullptr)
        {
            ReadNetConfig(lines.at(netOk - 1), pProperty);
        }
        return true;
    }
    // A receiver without a network refuses the command.
    for (const QString& sLine : lines)
    {
        if (sLine.startsWith(QLatin1String("<ERROR")) || sLine.startsWith(QLatin1String("<NETCONFIG ERROR")))
        {
            return true;
        }
    }
    return false;
}

void QZvPortProperty::ReadNetConfig(const QString& sLine, PORT_PROPERTY_T* pProperty)
{
    pProperty->NetConfigLine = sLine;
    const QStringList parts = sLine.split(QLatin1Char(' '));
    if (parts.size() > 2 && parts.at(2).contains(QLatin1Char('.')))
    {
        pProperty->IP = parts.at(2);
        pProperty->bIpFound = true;
    }
}

bool QZvPortProperty::Parse(const QString& sText)
{
    PORT_PROPERTY_T prop;
    if (!ParseText(sText, &prop))
    {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Property = prop;
    return true;
}

PORT_PROPERTY_T QZvPortProperty::Get() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Property;
}

void QZvPortProperty::Clear()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Property = PORT_PROPERTY_T();
}
