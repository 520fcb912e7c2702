#include "monitor/ports/port_property.h"

#include <QMutexLocker>
#include <QStringList>

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
        const QStringList parts = lines.at(netOk - 1).split(QLatin1Char(' '));
        if (parts.size() > 2 && parts.at(2).contains(QLatin1Char('.')))
        {
            prop.IP = parts.at(2);
            prop.bIpFound = true;
        }
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

bool QZvPortProperty::ParseGathered(QByteArray* pGathered, const char* pData, int nLength)
{
    pGathered->append(pData, nLength);
    // With the length: the QByteArray form would stop at the first zero byte.
    const bool bParsed = Parse(QString::fromLatin1(pGathered->constData(), pGathered->size()));
    if (pGathered->size() > REPLY_AREA_SIZE)
    {
        const int from = pGathered->size() - REPLY_AREA_SIZE;
        const int lineStart = pGathered->indexOf('\n', from);
        pGathered->remove(0, lineStart >= 0 ? lineStart + 1 : from);
    }
    return bParsed;
}

bool QZvPortProperty::Parse(const QString& sText)
{
    PORT_PROPERTY_T prop;
    if (!ParseText(sText, &prop))
    {
        return false;
    }
    QMutexLocker lock(&m_Mutex);
    m_Property = prop;
    return true;
}

PORT_PROPERTY_T QZvPortProperty::Get() const
{
    QMutexLocker lock(&m_Mutex);
    return m_Property;
}

void QZvPortProperty::Clear()
{
    QMutexLocker lock(&m_Mutex);
    m_Property = PORT_PROPERTY_T();
}
