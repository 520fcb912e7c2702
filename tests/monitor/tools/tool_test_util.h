// Helpers of the tools' tests: a cap on the size of files this process
// writes, so that an output fails part-way as on a full disk, and the files
// of a folder.
#pragma once

#include <QDir>
#include <QStringList>
#include <csignal>
#include <sys/resource.h>

// While it lives, a file this process writes cannot grow past nBytes: the
// write that would fails (EFBIG) instead of stopping the process.
class CFileSizeCap
{
public:
    explicit CFileSizeCap(rlim_t nBytes)
    {
        m_OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_Old);
        rlimit capped = m_Old;
        capped.rlim_cur = nBytes;
        m_bSet = setrlimit(RLIMIT_FSIZE, &capped) == 0;
    }
    ~CFileSizeCap()
    {
        setrlimit(RLIMIT_FSIZE, &m_Old);
        std::signal(SIGXFSZ, m_OldHandler);
    }
    bool IsSet() const { return m_bSet; }
    CFileSizeCap(const CFileSizeCap&) = delete;
    CFileSizeCap& operator=(const CFileSizeCap&) = delete;

private:
    rlimit m_Old{};
    void (*m_OldHandler)(int) = SIG_DFL;
    bool m_bSet = false;
};

inline QStringList FilesIn(const QString& sDir)
{
    return QDir(sDir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}
