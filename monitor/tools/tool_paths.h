// Paths of the tools: the files they keep under the monitor's configuration
// folder, the one-line path files that remember a chosen folder or file, the
// dated log tree and its numbered file names, and the paths they propose
// beside a file the user chose. Every path is built with "/" and kept as
// text: a folder with a non-ASCII name keeps it.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QSet>
#include <QString>
#include <functional>

// The clock a tool reads for dated folders, names and schedules; tests set their own.
using TOOL_CLOCK_T = std::function<QDateTime()>;

// The path without the point and suffix of its file name ("/a/rx.txt" gives
// "/a/rx"); a point in a folder name stays, a name without a suffix is whole.
inline QString PathWithoutSuffix(const QString& sPath)
{
    const QString sSuffix = QFileInfo(sPath).suffix();
    return sSuffix.isEmpty() ? sPath : sPath.left(sPath.size() - sSuffix.size() - 1);
}

// A file of the monitor's configuration: sRelative ("Configure/Config/x.ini")
// under the application's configuration folder.
QString ToolConfigFile(const QString& sRelative);

// Text read from a file the user may have written with any editor: UTF-8
// when the bytes are UTF-8, else one character per byte (Latin-1).
QString DecodeToolText(const QByteArray& Bytes);

// A path file holds one line; a larger file is no path file.
inline constexpr qint64 PATH_FILE_MAX_BYTES = 64 * 1024;
// The first line of a path file; empty when it is missing, unreadable, larger
// than PATH_FILE_MAX_BYTES or no regular file (a FIFO there is never waited
// on). *pStatus, when given, gets why (a CONFIG_FILE_E).
QString ReadPathFile(const QString& sFile, int* pStatus = nullptr);
// Replaces the path file whole with sPath (UTF-8, no line end), creating its
// folder; false when it cannot be written, or when something other than a
// regular file stands at its place (that is left as it is).
bool WritePathFile(const QString& sFile, const QString& sPath);

// A log name's base from a port's or tab's name: every ".", ":", "/" and "\"
// becomes "_", so that the name stays one file in the folder it is given.
QString LogBaseName(QString sName);

// The day's folder of a log tree, root/yyyy/yyyyMM/yyyyMMdd, with sSubFolder
// below it when not empty; created with its parents. Empty when it cannot be made.
QString MakeDatedLogDir(const QString& sRoot, const QDate& Day, const QString& sSubFolder = QString());

// How many numbered files one base name may have in one folder.
constexpr int LOG_NAME_COUNT_MAX = 999;

// folder/base_n.log with the first n from 1 to LOG_NAME_COUNT_MAX whose file
// does not exist and is not in Taken (names handed out but not created yet);
// empty when all are used.
QString NumberedLogName(const QString& sFolder, const QString& sBase, const QSet<QString>& Taken = {});
