#include "converter/engine/job_output.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
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

mode_t CurrentUmask()
{
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
}
} // namespace

CJobOutput::~CJobOutput() { Finish(false); }

FILE* CJobOutput::Open(const char* pPath)
{
    Finish(false);
    if (!pPath || !*pPath)
        return nullptr;
    m_sTarget = pPath;
    m_nBytes = 0;
    m_bWriteFailed = false;
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
        std::string sTemplate = FolderOf(m_sTarget) + "/." + NameOf(m_sTarget) + ".XXXXXX";
        m_nFd = ::mkstemp(&sTemplate[0]);
        if (m_nFd < 0)
            return nullptr;
        m_sTemp = sTemplate;
        ::fchmod(m_nFd, bExists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask()));
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
        out.m_nBytes += nDone;
        return static_cast<ssize_t>(nDone);
    };
    m_pFile = ::fopencookie(this, "wb", io);
    if (!m_pFile)
    {
        Finish(false);
        return nullptr;
    }
    return m_pFile;
}

bool CJobOutput::Finish(bool bKeep)
{
    bool bOk = true;
    if (m_pFile)
    {
        bOk = std::fclose(m_pFile) == 0 && !m_bWriteFailed;
        m_pFile = nullptr;
    }
    if (m_nFd >= 0)
    {
        bOk = ::close(m_nFd) == 0 && bOk;
        m_nFd = -1;
    }
    if (!m_sTemp.empty())
    {
        if (bKeep && bOk)
            bOk = ::rename(m_sTemp.c_str(), m_sTarget.c_str()) == 0;
        if (!bKeep || !bOk)
            ::unlink(m_sTemp.c_str());
        m_sTemp.clear();
    }
    return bOk;
}
