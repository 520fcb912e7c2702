#include "monitor/ports/config_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{
// O_NONBLOCK: opening a FIFO or a device returns at once instead of waiting
// for the other end; the descriptor is examined before it is used.
int OpenNoWait(const QByteArray& Path, int nFlags)
{
    int fd;
    do
        fd = ::open(Path.constData(), nFlags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int StatusOf(const struct stat& st, qint64 nMaxBytes)
{
    if (!S_ISREG(st.st_mode))
        return CONFIG_FILE_NOT_REGULAR;
    return nMaxBytes >= 0 && st.st_size > nMaxBytes ? CONFIG_FILE_TOO_LARGE : CONFIG_FILE_OK;
}

// A descriptor open for reading on a regular file of at most nMaxBytes, in *pFd.
int OpenForReading(const QString& sPath, qint64 nMaxBytes, int* pFd)
{
    *pFd = -1;
    const QByteArray path = QFile::encodeName(sPath);
    struct stat st;
    // What is not a regular file is not even opened: opening a device may act on it.
    if (::stat(path.constData(), &st) != 0)
        return errno == ENOENT ? CONFIG_FILE_MISSING : CONFIG_FILE_UNREADABLE;
    int nStatus = StatusOf(st, nMaxBytes);
    if (nStatus != CONFIG_FILE_OK)
        return nStatus;
    const int fd = OpenNoWait(path, O_RDONLY);
    if (fd < 0)
        return errno == ENOENT ? CONFIG_FILE_MISSING : CONFIG_FILE_UNREADABLE;
    // The path may have been replaced since it was looked at.
    nStatus = ::fstat(fd, &st) != 0 ? CONFIG_FILE_UNREADABLE : StatusOf(st, nMaxBytes);
    if (nStatus != CONFIG_FILE_OK)
    {
        ::close(fd);
        return nStatus;
    }
    *pFd = fd;
    return CONFIG_FILE_OK;
}
} // namespace

int CheckConfigFile(const QString& sPath, qint64 nMaxBytes)
{
    int fd = -1;
    const int nStatus = OpenForReading(sPath, nMaxBytes, &fd);
    if (fd >= 0)
        ::close(fd);
    return nStatus;
}

int ReadConfigFile(const QString& sPath, qint64 nMaxBytes, QByteArray* pData)
{
    pData->clear();
    int fd = -1;
    int nStatus = OpenForReading(sPath, nMaxBytes, &fd);
    if (nStatus != CONFIG_FILE_OK)
        return nStatus;
    // One byte beyond the bound tells a file that grew since it was examined.
    QByteArray data(static_cast<int>(nMaxBytes) + 1, Qt::Uninitialized);
    qint64 nHave = 0;
    while (nHave < data.size())
    {
        const ssize_t n = ::read(fd, data.data() + nHave, static_cast<size_t>(data.size() - nHave));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            nStatus = CONFIG_FILE_UNREADABLE;
            break;
        }
        if (n == 0)
            break;
        nHave += n;
    }
    ::close(fd);
    if (nStatus == CONFIG_FILE_OK && nHave > nMaxBytes)
        nStatus = CONFIG_FILE_TOO_LARGE;
    if (nStatus == CONFIG_FILE_OK)
    {
        data.truncate(static_cast<int>(nHave));
        *pData = data;
    }
    return nStatus;
}

int OpenConfigFileForAppend(const QString& sPath, QFile* pFile)
{
    const QByteArray path = QFile::encodeName(sPath);
    struct stat st;
    if (::stat(path.constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return CONFIG_FILE_NOT_REGULAR;
    QDir().mkpath(QFileInfo(sPath).absolutePath());
    const int fd = OpenNoWait(path, O_WRONLY | O_APPEND | O_CREAT);
    if (fd < 0)
        // ENXIO: a FIFO that nobody reads.
        return errno == ENXIO || errno == EISDIR ? CONFIG_FILE_NOT_REGULAR : CONFIG_FILE_UNWRITABLE;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(fd);
        return CONFIG_FILE_NOT_REGULAR;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!pFile->open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle))
    {
        ::close(fd);
        return CONFIG_FILE_UNWRITABLE;
    }
    return CONFIG_FILE_OK;
}

QString ConfigFileReason(int nStatus, qint64 nMaxBytes)
{
    const char* const kContext = "ConfigFile";
    switch (nStatus)
    {
    case CONFIG_FILE_MISSING:
        return QCoreApplication::translate(kContext, "it does not exist");
    case CONFIG_FILE_NOT_REGULAR:
        return QCoreApplication::translate(kContext, "it is not a regular file");
    case CONFIG_FILE_TOO_LARGE:
        return QCoreApplication::translate(kContext, "it is larger than %1 KB").arg(nMaxBytes / 1024);
    case CONFIG_FILE_UNREADABLE:
        return QCoreApplication::translate(kContext, "it cannot be opened or read");
    case CONFIG_FILE_UNWRITABLE:
        return QCoreApplication::translate(kContext, "it cannot be opened for writing");
    case CONFIG_FILE_WRITE_FAILED:
        return QCoreApplication::translate(kContext, "writing to it failed");
    default:
        return QString();
    }
}
