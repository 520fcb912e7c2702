// Checks the window makes on a job's files before it hands the job to the
// worker, and the record of what a job may write, so that a job that fails
// (or is stopped when the program closes) leaves none of its own files behind.
// The engine's jobs write every output beside its path and put it in place
// only when they succeed (converter/engine/job_output.h), so after a failed
// one nothing new stands at a recorded path; the record removes only a file
// that a job left at a path where nothing stood before it, never what stood
// there, so no file is removed by both.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

enum SOURCE_CHECK_E
{
    SOURCE_OK,
    SOURCE_UNREADABLE, // missing, not a regular file, or not readable
    SOURCE_EMPTY,
};

// A source the window can hand to a job; its size in bytes when it is one.
SOURCE_CHECK_E CheckSourceFile(const QString& sPath, uint64_t* pSize);

enum OUTPUT_CHECK_E
{
    OUTPUT_OK,
    OUTPUT_UNNAMED,   // empty path, or a path that names a folder
    OUTPUT_FOLDER,    // its folder is missing or cannot be written
    OUTPUT_READ_ONLY, // the file exists and cannot be written
    OUTPUT_SAME_AS_SOURCE,
};

// Whether a job could create sPath (relative paths against the current folder).
OUTPUT_CHECK_E CheckOutputFile(const QString& sPath, const QString& sSourcePath);

// The files one job may write, each noted with whether it existed before the
// job started.
class CJobFiles
{
public:
    void Clear() { m_Files.clear(); }
    // Paths are noted once; empty paths are ignored.
    void Add(const QString& sPath);
    // Removes the noted files that the job created.
    void RemoveCreated() const;

private:
    struct File
    {
        QString sPath;
        bool bExisted;
    };
    std::vector<File> m_Files;
};
