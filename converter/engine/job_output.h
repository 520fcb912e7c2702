// An output file of a conversion job, written so that a job that fails
// leaves whatever stood at its path before it. A regular file, or a path
// where nothing stands yet, is written beside the target under a temporary
// name and takes its place only when the job succeeds, on the disk before it
// does (an earlier file keeps its permissions, a new one gets those the umask
// leaves); a failed job removes only that temporary file. Anything else the
// user names (a device such as /dev/null, a pipe) is written as it stands and
// never removed. A symbolic link is followed, so the file it points to is the
// one replaced.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class CJobOutput
{
public:
    CJobOutput() = default;
    CJobOutput(const CJobOutput&) = delete;
    CJobOutput& operator=(const CJobOutput&) = delete;
    // An output still open is discarded.
    ~CJobOutput();

    // The stream to write to, or null when it cannot be created (an empty
    // path, a missing folder, no write permission).
    FILE* Open(const char* pPath);
    // Bytes the output holds so far (what the stream has passed on: call
    // fflush first).
    uint64_t BytesWritten() const { return m_nBytes; }
    // Whether the stream can go back to rewrite what it wrote: a file, not a
    // pipe or a terminal.
    bool Seekable() const { return m_bSeekable; }
    // Has the kernel start putting what was written on the disk, without
    // waiting for it: outputs about to be finished together start theirs
    // first, so that their waits overlap. A file being written has it
    // started every few MB as it grows.
    void StartWriteback();
    // Ends the output: bKeep puts what was written in place of the target,
    // otherwise it is discarded and the target stays as it was. False when
    // the written output could not be completed (a failed write, close or
    // rename); the target then stays as it was too.
    bool Finish(bool bKeep);

private:
    FILE* m_pFile = nullptr;
    int m_nFd = -1;
    bool m_bWriteFailed = false;
    bool m_bSeekable = false;
    uint64_t m_nBytes = 0;
    uint64_t m_nPosition = 0;
    uint64_t m_nWritebackFrom = 0; // what lies before was handed to the disk
    std::string m_sTarget;
    std::string m_sTemp; // empty when the target is written as it stands
};
