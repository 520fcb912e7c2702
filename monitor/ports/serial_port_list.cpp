#include "monitor/ports/serial_port_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace
{
// "/dev/ttyS10" sorts after "/dev/ttyS2": by the text before the trailing
// number, then by the number.
bool NaturalLess(const QString& a, const QString& b)
{
    auto split = [](const QString& s, QString* head)
    {
        int i = s.size();
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        *head = s.left(i);
        return s.mid(i).toULongLong();
    };
    QString ha, hb;
    const qulonglong na = split(a, &ha);
    const qulonglong nb = split(b, &hb);
    if (ha != hb)
        return ha < hb;
    if (na != nb)
        return na < nb;
    return a < b;
}

// A ttyS line with no UART behind it reports type 0 (unknown port).
bool HasUart(const QString& Entry)
{
    QFile f(Entry + QStringLiteral("/type"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const int type = f.readAll().trimmed().toInt(&ok);
    return ok && type != 0;
}
} // namespace

int EnumSerialPortsIn(const QString& SysClassTty, const QString& DevDir, QStringList& List, QString& Error)
{
    List.clear();
    Error.clear();
    QDir tty(SysClassTty);
    if (!tty.exists() || !tty.isReadable())
    {
        Error = QStringLiteral("Do not have valid Uart!");
        return 1;
    }
    const QStringList names =
        tty.entryList({QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                      QDir::Dirs | QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names)
    {
        const QString entry = tty.filePath(name);
        if (!QFileInfo::exists(entry + QStringLiteral("/device")))
            continue;
        if (name.startsWith(QStringLiteral("ttyS")) && !HasUart(entry))
            continue;
        const QString node = QDir(DevDir).filePath(name);
        if (QFileInfo::exists(node))
            List.append(node);
    }
    std::sort(List.begin(), List.end(), NaturalLess);
    return 0;
}

namespace
{
std::function<int(QStringList&, QString&)>& InstalledLister()
{
    static std::function<int(QStringList&, QString&)> lister;
    return lister;
}
} // namespace

void SetSerialPortLister(std::function<int(QStringList& List, QString& Error)> NewLister)
{
    InstalledLister() = std::move(NewLister);
}

int EnumSerialPorts(QStringList& List, QString& Error)
{
    if (InstalledLister())
        return InstalledLister()(List, Error);
    return EnumSerialPortsIn(QStringLiteral("/sys/class/tty"), QStringLiteral("/dev"), List, Error);
}
