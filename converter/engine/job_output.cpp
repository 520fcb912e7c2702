#include "converter/engine/job_output.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
enum : uint64_t
{
    // A file being written is handed to the disk in steps of this size, so
    // that the disk works while the job does and the wait at its end is short.
    WRITEBACK_STEP = 8u << 20,
};

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& sPath)
{
    const size_t nSlash = sPath.rfind('/');
    if (nSlash == std::string::npos)
        return ".";
    return nSlash == 0 ? "/" : sPath.substr(0, nSlash);
}

std::string NameOf(const std::string& sPath)
{
    const size_t nSlash = sPath.rfind('/');
    return nSlash == std::string::npos ? sPath : sPath.substr(nSlash + 1);
}

// Creates a new file beside the target under a hidden name of its own. The
// kernel applies the umask to the mode, as for any file the program creates;
// the name is new (O_EXCL), so nothing that stands there is taken over.
int CreateTemporary(const std::string& sTarget, std::string* pPath)
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<uint64_t> s_nCount{0};
    const std::string sStem = FolderOf(sTarget) + "/." + NameOf(sTarget) + ".";
    for (int nTry = 0; nTry < 64; ++nTry)
    {
        // Random where the kernel gives it, the clock otherwise; the count
        // keeps the tries of one moment apart.
        uint64_t n = 0;
        if (::getrandom(&n, sizeof n, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof n))
        {
            timespec t{};
            ::clock_gettime(CLOCK_REALTIME, &t);
            n = uint64_t(t.tv_sec) * 1000000007u + uint64_t(t.tv_nsec) * 2654435761u + uint64_t(::getpid());
        }
        n ^= s_nCount.fetch_add(1) * 0x9E3779B97F4A7C15ull;
        std::string sPath = sStem;
        for (int i = 0; i < 8; ++i, n /= sizeof kLetters - 1)
            sPath += kLetters[n % (sizeof kLetters - 1)];
        const int nFd = ::open(sPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (nFd >= 0)
        {
            *pPath = sPath;
            return nFd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}
} // namespace

CJobOutput::~CJobOutput() { Finish(false); }

FILE* CJobOutput::Open(const char* pPath)
{
    Finish(false);
    if (!pPath || !*pPath)
        return nullptr;
    m_sTarget = pPath;
    m_nBytes = m_nPosition = m_nWritebackFrom = 0;
    m_bWriteFailed = m_bSeekable = false;
    m_sTemp.clear();

    struct stat st
    {
    };
    const bool bExists = ::stat(pPath, &st) == 0;
    if (bExists && !S_ISREG(st.st_mode))
    {
        // A device or a pipe: written as it stands, nothing to put in place.
        m_nFd = ::open(pPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_nFd < 0)
            return nullptr;
    }
    else
    {
        // The file a link points to is the one to replace.
        if (bExists)
        {
            char szReal[PATH_MAX];
            if (::realpath(pPath, szReal))
                m_sTarget = szReal;
        }
        m_nFd = CreateTemporary(m_sTarget, &m_sTemp);
        if (m_nFd < 0)
            return nullptr;
        // The file it replaces keeps its permissions.
        if (bExists)
            ::fchmod(m_nFd, st.st_mode & 07777);
    }

    cookie_io_functions_t io{};
    io.write = [](void* pCookie, const char* pData, size_t nSize) -> ssize_t
    {
        CJobOutput& out = *static_cast<CJobOutput*>(pCookie);
        size_t nDone = 0;
        while (nDone < nSize)
        {
            const ssize_t n = ::write(out.m_nFd, pData + nDone, nSize - nDone);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
            {
                out.m_bWriteFailed = true;
                return nDone > 0 ? static_cast<ssize_t>(nDone) : -1;
            }
            nDone += static_cast<size_t>(n);
        }
        out.m_nPosition += nDone;
        out.m_nBytes = std::max(out.m_nBytes, out.m_nPosition);
        if (!out.m_sTemp.empty() && out.m_nPosition >= out.m_nWritebackFrom + WRITEBACK_STEP)
        {
            ::sync_file_range(out.m_nFd, static_cast<off64_t>(out.m_nWritebackFrom),
                              static_cast<off64_t>(out.m_nPosition - out.m_nWritebackFrom), SYNC_FILE_RANGE_WRITE);
            out.m_nWritebackFrom = out.m_nPosition;
        }
        return static_cast<ssize_t>(nDone);
    };
    io.seek = [](void* pCookie, off64_t* pOffset, int nWhence) -> int
    {
        CJobOutput& out = *static_cast<CJobOutput*>(pCookie);
        const off64_t n = ::lseek64(out.m_nFd, *pOffset, nWhence);
        if (n < 0)
            return -1;
        *pOffset = n;
        out.m_nPosition = static_cast<uint64_t>(n);
        return 0;
    };
    m_bSeekable = ::lseek64(m_nFd, 0, SEEK_CUR) >= 0;
    m_pFile = ::fopencookie(this, "wb", io);
    if (!m_pFile)
    {
        Finish(false);
        return nullptr;
    }
    return m_pFile;
}

void CJobOutput::StartWriteback()
{
    // A device or a pipe is not put anywhere.
    if (m_sTemp.empty() || m_nFd < 0)
        return;
    if (m_pFile)
        std::fflush(m_pFile);
    ::sync_file_range(m_nFd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool CJobOutput::Finish(bool bKeep)
{
    bool bOk = true;
    if (m_pFile)
    {
        bOk = std::fclose(m_pFile) == 0 && !m_bWriteFailed;
        m_pFile = nullptr;
    }
    const bool bReplace = bKeep && bOk && !m_sTemp.empty();
    if (m_nFd >= 0)
    {
        // On the disk before it takes the target's place: a crash after the
        // rename must not leave an empty file where the earlier one stood.
        if (bReplace)
            bOk = ::fsync(m_nFd) == 0;
        bOk = ::close(m_nFd) == 0 && bOk;
        m_nFd = -1;
    }
    if (!m_sTemp.empty())
    {
        if (bReplace && bOk)
            bOk = ::rename(m_sTemp.c_str(), m_sTarget.c_str()) == 0;
        if (!bKeep || !bOk)
            ::unlink(m_sTemp.c_str());
        m_sTemp.clear();
    }
    return bOk;
}
