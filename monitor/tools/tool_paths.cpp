#include "monitor/tools/tool_paths.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextCodec>

#include "monitor/ports/config_file.h"

QString ToolConfigFile(const QString& sRelative)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(sRelative);
}

QString DecodeToolText(const QByteArray& Bytes)
{
    QTextCodec::ConverterState state;
    const QString sText = QTextCodec::codecForName("UTF-8")->toUnicode(Bytes.constData(), Bytes.size(), &state);
    return state.invalidChars == 0 ? sText : QString::fromLatin1(Bytes.constData(), Bytes.size());
}

QString ReadPathFile(const QString& sFile, int* pStatus)
{
    QByteArray text;
    const int nStatus = ReadConfigFile(sFile, PATH_FILE_MAX_BYTES, &text);
    if (pStatus != nullptr)
        *pStatus = nStatus;
    // The first line, whatever ends it.
    return DecodeToolText(text).section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
}

bool WritePathFile(const QString& sFile, const QString& sPath)
{
    const int nStatus = CheckConfigFile(sFile, -1);
    if (nStatus != CONFIG_FILE_OK && nStatus != CONFIG_FILE_MISSING)
        return false;
    QDir().mkpath(QFileInfo(sFile).absolutePath());
    QSaveFile file(sFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(sPath.toUtf8());
    return file.commit();
}

QString LogBaseName(QString sName)
{
    for (const QChar c : {QLatin1Char('.'), QLatin1Char(':'), QLatin1Char('/'), QLatin1Char('\\')})
        sName.replace(c, QLatin1Char('_'));
    return sName;
}

QString MakeDatedLogDir(const QString& sRoot, const QDate& Day, const QString& sSubFolder)
{
    if (sRoot.isEmpty() || !Day.isValid())
        return QString();
    QString sDir = QDir(sRoot).filePath(QStringLiteral("%1/%2/%3")
                                            .arg(Day.toString(QStringLiteral("yyyy")),
                                                 Day.toString(QStringLiteral("yyyyMM")),
                                                 Day.toString(QStringLiteral("yyyyMMdd"))));
    if (!sSubFolder.isEmpty())
        sDir = QDir(sDir).filePath(sSubFolder);
    return QDir().mkpath(sDir) ? sDir : QString();
}

QString NumberedLogName(const QString& sFolder, const QString& sBase, const QSet<QString>& Taken)
{
    const QDir dir(sFolder);
    for (int n = 1; n <= LOG_NAME_COUNT_MAX; ++n)
    {
        const QString sPath = dir.filePath(QStringLiteral("%1_%2.log").arg(sBase).arg(n));
        if (!QFileInfo::exists(sPath) && !Taken.contains(sPath))
            return sPath;
    }
    return QString();
}
