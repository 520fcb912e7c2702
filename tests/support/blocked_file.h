// What can stand where a file the programs keep should be, and what its
// reader must refuse without waiting: a folder, a FIFO and a file larger than
// the reader's bound.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "fifo_guard.h"

// Runs Check once with each of them at sPath (WriteHuge writes the file over
// the bound, whose reason is pHugeWhy); Check gets the reason the reader must
// give. A FIFO the reader waited on fails the case, and the path is cleared
// between cases.
inline void ForEachBlockedFile(const QString& sPath, const std::function<void()>& WriteHuge, const char* pHugeWhy,
                               const std::function<void(const char* pWhy)>& Check)
{
    std::unique_ptr<CFifoGuard> pFifo;
    const struct
    {
        const char* Name;
        std::function<void()> Block;
        const char* Why;
    } blocks[] = {
        {"a folder", [&] { QDir().mkpath(sPath); }, "it is not a regular file"},
        {"a FIFO", [&] { pFifo = std::make_unique<CFifoGuard>(sPath.toStdString()); }, "it is not a regular file"},
        {"a huge file", WriteHuge, pHugeWhy},
    };
    for (const auto& b : blocks)
    {
        SCOPED_TRACE(b.Name);
        b.Block();
        Check(b.Why);
        EXPECT_TRUE(pFifo == nullptr || !pFifo->Released());
        pFifo.reset();
        QDir().rmdir(sPath);
        QFile::remove(sPath);
    }
}
