#include "converter/ui/job_files.h"

#include <QFile>
#include <QFileInfo>

SOURCE_CHECK_E CheckSourceFile(const QString& sPath, uint64_t* pSize)
{
    const QFileInfo info(sPath);
    QFile file(sPath);
    if (sPath.isEmpty() || !info.isFile() || !file.open(QIODevice::ReadOnly))
        return SOURCE_UNREADABLE;
    *pSize = static_cast<uint64_t>(file.size());
    return *pSize == 0 ? SOURCE_EMPTY : SOURCE_OK;
}

OUTPUT_CHECK_E CheckOutputFile(const QString& sPath, const QString& sSourcePath)
{
    const QFileInfo info(sPath);
    if (sPath.isEmpty() || sPath.endsWith('/') || info.isDir())
        return OUTPUT_UNNAMED;
    if (!sSourcePath.isEmpty() && info.absoluteFilePath() == QFileInfo(sSourcePath).absoluteFilePath())
        return OUTPUT_SAME_AS_SOURCE;
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        return OUTPUT_FOLDER;
    if (info.exists() && !info.isWritable())
        return OUTPUT_READ_ONLY;
    return OUTPUT_OK;
}

void CJobFiles::Add(const QString& sPath)
{
    if (sPath.isEmpty())
        return;
    const QString sAbsolute = QFileInfo(sPath).absoluteFilePath();
    for (const File& file : m_Files)
        if (file.sPath == sAbsolute)
            return;
    m_Files.push_back({sAbsolute, QFileInfo::exists(sAbsolute)});
}

void CJobFiles::RemoveCreated() const
{
    for (const File& file : m_Files)
        if (!file.bExisted && QFileInfo(file.sPath).isFile())
            QFile::remove(file.sPath);
}
