#include "monitor/shell/preset_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "monitor/ports/config_file.h"

namespace
{
const QString kGroupSep = QStringLiteral(":::");
const QString kFieldSep = QStringLiteral(",,,");
const QString kButtonEnd = QStringLiteral(";;;");
const QString kComment = QStringLiteral("#######");
const QString kCR = QStringLiteral("@CR");
const QString kLF = QStringLiteral("@LF");

QString Unescape(QString s) { return s.replace(kCR, QStringLiteral("\r")).replace(kLF, QStringLiteral("\n")); }
} // namespace

QString PresetFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Configure/Preset/CMD.txt"));
}

bool ParsePresetLine(const QString& sLine, QString* pName, QStringList* pLabels, QStringList* pSendStrings)
{
    pLabels->clear();
    pSendStrings->clear();
    if (sLine.contains(kComment))
        return false;
    const int iGroupSep = sLine.indexOf(kGroupSep);
    if (iGroupSep < 0)
        return false;
    if (!sLine.contains(kButtonEnd))
    {
        // A group without buttons needs a name.
        *pName = sLine.left(iGroupSep);
        return !pName->isEmpty();
    }
    *pName = Unescape(sLine.left(iGroupSep));
    const int iButtons = iGroupSep + kGroupSep.size();
    const int iEnd = sLine.indexOf(kGroupSep, iButtons);
    const QString sButtons = sLine.mid(iButtons, iEnd < 0 ? -1 : iEnd - iButtons);
    for (const QString& sPiece : sButtons.split(kButtonEnd))
    {
        const int iField = sPiece.indexOf(kFieldSep);
        if (iField < 0)
            continue;
        const int iSend = iField + kFieldSep.size();
        const int iSendEnd = sPiece.indexOf(kFieldSep, iSend);
        pLabels->append(Unescape(sPiece.left(iField)));
        pSendStrings->append(Unescape(sPiece.mid(iSend, iSendEnd < 0 ? -1 : iSendEnd - iSend)));
    }
    return true;
}

QString FormatPresetLine(const QString& sName, const QStringList& Labels, const QStringList& SendStrings)
{
    QString sLine = sName + kGroupSep;
    for (int i = 0; i < Labels.size() && i < SendStrings.size(); ++i)
        sLine += Labels[i] + kFieldSep + SendStrings[i] + kButtonEnd;
    return sLine.replace(QLatin1Char('\r'), kCR).replace(QLatin1Char('\n'), kLF);
}

bool IsPresetGroupStorable(const QString& sName, const QStringList& Labels, const QStringList& SendStrings)
{
    if (Labels.size() != SendStrings.size())
        return false;
    QString sName2;
    QStringList labels2, sends2;
    return ParsePresetLine(FormatPresetLine(sName, Labels, SendStrings), &sName2, &labels2, &sends2) &&
           sName2 == sName && labels2 == Labels && sends2 == SendStrings;
}

PRESET_SET_T ParsePresetText(const QByteArray& Text)
{
    PRESET_SET_T set;
    for (QString sLine : QString::fromUtf8(Text.constData(), Text.size()).split(QLatin1Char('\n')))
    {
        if (sLine.endsWith(QLatin1Char('\r')))
            sLine.chop(1);
        if (sLine.isEmpty())
            continue;
        QString sName;
        QStringList labels, sends;
        if (ParsePresetLine(sLine, &sName, &labels, &sends))
        {
            set.GroupNames << sName;
            set.GroupLabels << labels;
            set.GroupSendStrings << sends;
        }
        else
        {
            set.KeptLines << sLine;
        }
    }
    if (set.GroupNames.isEmpty())
    {
        set.GroupNames << QString::fromLatin1(PRESET_DEFAULT_GROUP);
        set.GroupLabels << QStringList();
        set.GroupSendStrings << QStringList();
    }
    return set;
}

QByteArray FormatPresetText(const PRESET_SET_T& Set)
{
    QString sText;
    for (const QString& sLine : Set.KeptLines)
        sText += sLine + QStringLiteral("\r\n");
    for (int i = 0; i < Set.GroupNames.size(); ++i)
        sText += FormatPresetLine(Set.GroupNames[i], Set.GroupLabels.value(i), Set.GroupSendStrings.value(i)) +
                 QStringLiteral("\r\n");
    return sText.toUtf8();
}

int ReadPresetFile(const QString& sPath, PRESET_SET_T* pSet, int* pFileStatus)
{
    QByteArray text;
    // A file read in part is no set (the groups it holds would be lost): it
    // is not read at all.
    const int nStatus = ReadConfigFile(sPath, PRESET_FILE_MAX_BYTES, &text);
    if (pFileStatus != nullptr)
        *pFileStatus = nStatus;
    *pSet = ParsePresetText(text);
    if (nStatus == CONFIG_FILE_OK)
        return PRESET_OK;
    return nStatus == CONFIG_FILE_MISSING ? PRESET_CANNOT_READ : PRESET_UNREADABLE;
}

int WritePresetFile(const QString& sPath, const QByteArray& Text)
{
    if (!QDir().mkpath(QFileInfo(sPath).absolutePath()))
        return PRESET_CANNOT_WRITE;
    QSaveFile file(sPath);
    if (!file.open(QIODevice::WriteOnly))
        return PRESET_CANNOT_WRITE;
    if (file.write(Text) != Text.size())
    {
        file.cancelWriting();
        return PRESET_CANNOT_WRITE;
    }
    return file.commit() ? PRESET_OK : PRESET_CANNOT_REPLACE;
}
