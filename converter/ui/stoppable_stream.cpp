#include "converter/ui/stoppable_stream.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace
{
struct StoppableFile
{
    int nFd;
    const std::atomic<bool>* pStop;
};

ssize_t ReadStoppable(void* pCookie, char* pBuffer, size_t nSize)
{
    const StoppableFile* pFile = static_cast<StoppableFile*>(pCookie);
    if (pFile->pStop->load(std::memory_order_acquire))
        return 0;
    ssize_t n;
    do
        n = ::read(pFile->nFd, pBuffer, nSize);
    while (n < 0 && errno == EINTR);
    return n;
}

int SeekStoppable(void* pCookie, off64_t* pOffset, int nWhence)
{
    const off64_t nAt = ::lseek64(static_cast<StoppableFile*>(pCookie)->nFd, *pOffset, nWhence);
    if (nAt < 0)
        return -1;
    *pOffset = nAt;
    return 0;
}

int CloseStoppable(void* pCookie)
{
    StoppableFile* pFile = static_cast<StoppableFile*>(pCookie);
    const int n = ::close(pFile->nFd);
    delete pFile;
    return n;
}
} // namespace

FILE* OpenStoppableStream(const QString& sPath, const std::atomic<bool>* pStop)
{
    const int nFd = ::open(QFile::encodeName(sPath).constData(), O_RDONLY | O_CLOEXEC);
    if (nFd < 0)
        return nullptr;
    auto* pCookie = new (std::nothrow) StoppableFile{nFd, pStop};
    FILE* pStream = pCookie ? fopencookie(pCookie, "rb", {ReadStoppable, nullptr, SeekStoppable, CloseStoppable})
                            : nullptr;
    if (!pStream)
    {
        delete pCookie;
        ::close(nFd);
    }
    return pStream;
}
