// The regression bench's image list and command file: any bytes give two
// image paths and a list of commands that are single trimmed lines, and the
// readers give the same from a file, or refuse one beyond their bound (an
// input whose first byte is 0xFF is padded past it).
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "monitor/ports/config_file.h"
#include "monitor/tools/regression_files.h"

namespace
{
void Check(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

bool OneTrimmedLine(const QString& s)
{
    return !s.contains(QLatin1Char('\r')) && !s.contains(QLatin1Char('\n')) && s == s.trimmed();
}

// One scratch file for the run, removed with its folder at the end.
QString Scratch()
{
    static QTemporaryDir dir;
    static const QString sPath = dir.filePath(QStringLiteral("file.txt"));
    return sPath;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    QByteArray bytes(reinterpret_cast<const char*>(pData), static_cast<int>(nSize & 0xFFFFF));
    const REGRESSION_IMAGES_T images = ParseRegressionImageList(bytes);
    for (const QString& s : images.Image)
        Check(OneTrimmedLine(s));
    const QStringList commands = ParseRegressionCommands(bytes);
    for (const QString& s : commands)
        Check(!s.isEmpty() && OneTrimmedLine(s));
    Check(commands.size() <= bytes.count('\n') + bytes.count('\r') + 1);

    const bool bBeyond = !bytes.isEmpty() && static_cast<uint8_t>(bytes.at(0)) == 0xFF;
    if (bBeyond)
        bytes.append(QByteArray(static_cast<int>(REGRESSION_COMMAND_FILE_MAX_BYTES), '\n'));
    QFile file(Scratch());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return 0;
    file.close();
    REGRESSION_IMAGES_T read;
    QStringList readCommands;
    const int nList = ReadRegressionImageList(Scratch(), &read);
    const int nCommands = ReadRegressionCommands(Scratch(), &readCommands);
    Check(nList == (bytes.size() > REGRESSION_IMAGE_LIST_MAX_BYTES ? CONFIG_FILE_TOO_LARGE : CONFIG_FILE_OK));
    Check(nCommands == (bytes.size() > REGRESSION_COMMAND_FILE_MAX_BYTES ? CONFIG_FILE_TOO_LARGE : CONFIG_FILE_OK));
    if (nList == CONFIG_FILE_OK)
        Check(read.Image[0] == images.Image[0] && read.Image[1] == images.Image[1]);
    else
        Check(read.Image[0].isEmpty() && read.Image[1].isEmpty());
    if (nCommands == CONFIG_FILE_OK)
        Check(readCommands == commands);
    else
        Check(readCommands.isEmpty());
    return 0;
}
