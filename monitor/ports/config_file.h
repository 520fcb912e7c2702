// The files the monitor keeps for itself in the user's configuration folder
// (command presets, command history, docking layout, USB receiver IDs, the
// tools' remembered paths and lists, map services, reference configurations)
// are used only when they are regular files, and read only up to a bound: a
// FIFO, a device or a socket in their place would block the start or a
// window for ever, and a huge file would take its memory and time. Whatever
// stands there instead is left as it is; the caller reports it once and goes
// on with its defaults.
//
// Nothing here waits: files are opened without blocking and examined before
// a byte is read or written. Any thread.
#pragma once

#include <QByteArray>
#include <QString>

class QFile;

enum CONFIG_FILE_E : int
{
    CONFIG_FILE_OK = 0,
    CONFIG_FILE_MISSING = -1,      // nothing at the path
    CONFIG_FILE_NOT_REGULAR = -2,  // a FIFO, device, socket or folder stands at the path
    CONFIG_FILE_TOO_LARGE = -3,    // larger than the bound
    CONFIG_FILE_UNREADABLE = -4,   // cannot be opened or read
    CONFIG_FILE_UNWRITABLE = -5,   // cannot be opened or made for writing
    CONFIG_FILE_WRITE_FAILED = -6, // a write or its flush failed
};

// Whether sPath is a regular file of at most nMaxBytes that can be opened for
// reading: CONFIG_FILE_OK, MISSING, NOT_REGULAR, TOO_LARGE or UNREADABLE.
int CheckConfigFile(const QString& sPath, qint64 nMaxBytes);
// The whole file into *pData when it passes CheckConfigFile; *pData is empty otherwise.
int ReadConfigFile(const QString& sPath, qint64 nMaxBytes, QByteArray* pData);
// Opens sPath for appending, making it (and its folder) when missing, only
// when it is a regular file: CONFIG_FILE_OK, NOT_REGULAR or UNWRITABLE.
int OpenConfigFileForAppend(const QString& sPath, QFile* pFile);
// Why a file was not used, for a sentence shown to the user ("it is not a
// regular file"); nMaxBytes is the bound that CONFIG_FILE_TOO_LARGE speaks of.
QString ConfigFileReason(int nStatus, qint64 nMaxBytes = 0);
