#include "monitor/tools/regression_files.h"

#include <QTextCodec>

#include "monitor/ports/config_file.h"

namespace
{
// The lines of a text, without their ends ("\n", "\r\n" or a lone "\r").
QStringList TextLines(const QString& sText)
{
    QString s = sText;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s.split(QLatin1Char('\n'));
}

QString ImageOfLine(const QStringList& Lines, int n)
{
    QString sLine = Lines.value(n - 1).trimmed();
    const QString sPrefix = QString::number(n) + QLatin1Char(',');
    if (sLine.startsWith(sPrefix))
        sLine.remove(0, sPrefix.size());
    return sLine.trimmed();
}
} // namespace

REGRESSION_IMAGES_T ParseRegressionImageList(const QByteArray& Bytes)
{
    QTextCodec* pGbk = QTextCodec::codecForName("GBK");
    const QString sText = pGbk != nullptr ? pGbk->toUnicode(Bytes) : QString::fromLocal8Bit(Bytes);
    const QStringList lines = TextLines(sText);
    REGRESSION_IMAGES_T images;
    for (int n = 1; n <= 2; ++n)
        images.Image[n - 1] = ImageOfLine(lines, n);
    return images;
}

int ReadRegressionImageList(const QString& sPath, REGRESSION_IMAGES_T* pImages)
{
    *pImages = REGRESSION_IMAGES_T();
    QByteArray bytes;
    const int nStatus = ReadConfigFile(sPath, REGRESSION_IMAGE_LIST_MAX_BYTES, &bytes);
    if (nStatus == CONFIG_FILE_OK)
        *pImages = ParseRegressionImageList(bytes);
    return nStatus;
}

QStringList ParseRegressionCommands(const QByteArray& Bytes)
{
    QStringList commands;
    for (const QString& sLine : TextLines(QString::fromUtf8(Bytes)))
    {
        const QString s = sLine.trimmed();
        if (!s.isEmpty())
            commands.append(s);
    }
    return commands;
}

int ReadRegressionCommands(const QString& sPath, QStringList* pCommands)
{
    pCommands->clear();
    QByteArray bytes;
    const int nStatus = ReadConfigFile(sPath, REGRESSION_COMMAND_FILE_MAX_BYTES, &bytes);
    if (nStatus == CONFIG_FILE_OK)
        *pCommands = ParseRegressionCommands(bytes);
    return nStatus;
}
