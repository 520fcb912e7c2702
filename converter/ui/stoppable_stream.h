// A read-only C stream over a file that reports its end as soon as a stop
// flag is set, so that code reading it to the end (the source scan) can be
// ended from another thread without a hook of its own.
#pragma once

#include <QString>

#include <atomic>
#include <cstdio>

// Opens sPath for reading; null when it cannot be opened. pStop must outlive
// the stream; fclose closes the file.
FILE* OpenStoppableStream(const QString& sPath, const std::atomic<bool>* pStop);
