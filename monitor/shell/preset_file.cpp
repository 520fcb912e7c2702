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

namespace
{
// The line as the format reads it, whether or not a save would write it so.
bool ReadPresetLine(const QString& sLine, QString* pName, QStringList* pLabels, QStringList* pSendStrings)
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

// Whether the group's line reads back as exactly this group.
bool ReadsBackAsItself(const QString& sName, const QStringList& Labels, const QStringList& SendStrings)
{
    if (Labels.size() != SendStrings.size())
        return false;
    QString sName2;
    QStringList labels2, sends2;
    return ReadPresetLine(FormatPresetLine(sName, Labels, SendStrings), &sName2, &labels2, &sends2) &&
           sName2 == sName && labels2 == Labels && sends2 == SendStrings;
}
} // namespace

bool ParsePresetLine(const QString& sLine, QString* pName, QStringList* pLabels, QStringList* pSendStrings)
{
    // A group a save would change (a name or a text that cuts its own line)
    // is no group: the line is kept as it is, and the set read is the set
    // the next save writes.
    if (ReadPresetLine(sLine, pName, pLabels, pSendStrings) && IsPresetNameStorable(*pName) &&
        IsPresetGroupStorable(*pName, *pLabels, *pSendStrings))
    {
        bool bButtonsStorable = true;
        for (int i = 0; i < pLabels->size() && bButtonsStorable; ++i)
            bButtonsStorable = IsPresetButtonStorable(pLabels->at(i), pSendStrings->at(i));
        if (bButtonsStorable)
            return true;
    }
    pName->clear();
    pLabels->clear();
    pSendStrings->clear();
    return false;
}

QString FormatPresetLine(const QString& sName, const QStringList& Labels, const QStringList& SendStrings)
{
    QString sLine = sName + kGroupSep;
    for (int i = 0; i < Labels.size() && i < SendStrings.size(); ++i)
        sLine += Labels[i] + kFieldSep + SendStrings[i] + kButtonEnd;
    // A group without buttons is its name and ":::"; such a line is only read
    // with a name, and its name is read as written. An empty name, or one
    // holding a line break (written "@CR", "@LF"), is kept by the form with
    // buttons: the ";;;" makes the reader take the name back as it was.
    if (Labels.isEmpty() && (sName.isEmpty() || sName.contains(QLatin1Char('\r')) || sName.contains(QLatin1Char('\n'))))
        sLine += kButtonEnd;
    return sLine.replace(QLatin1Char('\r'), kCR).replace(QLatin1Char('\n'), kLF);
}

bool IsPresetGroupStorable(const QString& sName, const QStringList& Labels, const QStringList& SendStrings)
{
    return ReadsBackAsItself(sName, Labels, SendStrings);
}

bool IsPresetNameStorable(const QString& sName)
{
    // The name stands before buttons or none, as buttons are added and deleted.
    return ReadsBackAsItself(sName, {}, {}) &&
           ReadsBackAsItself(sName, {QStringLiteral("L")}, {QStringLiteral("S")});
}

bool IsPresetButtonStorable(const QString& sLabel, const QString& sSendString)
{
    return ReadsBackAsItself(QStringLiteral("G"), {sLabel}, {sSendString});
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

bool IsPresetSetStorable(const PRESET_SET_T& Set) { return FormatPresetText(Set).size() <= PRESET_FILE_MAX_BYTES; }

int ReadPresetFile(const QString& sPath, PRESET_SET_T* pSet, int* pFileStatus)
{
    QByteArray text;
    // A file read in part is no set (the groups it holds would be lost): it
    // is not read at all.
    const int nStatus = ReadConfigFile(sPath, PRESET_FILE_MAX_BYTES, &text);
    if (pFileStatus != nullptr)
        *pFileStatus = nStatus;
    *pSet = ParsePresetText(text);
    if (nStatus == CONFIG_FILE_OK && !IsPresetSetStorable(*pSet))
    {
        // Line breaks inside a line and bytes that are no UTF-8 grow when
        // written: a set whose save could not be read again is not taken.
        *pSet = ParsePresetText(QByteArray());
        if (pFileStatus != nullptr)
            *pFileStatus = CONFIG_FILE_TOO_LARGE;
        return PRESET_UNREADABLE;
    }
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
