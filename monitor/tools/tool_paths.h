// Paths the tools propose beside the file the user chose.
#pragma once

#include <QFileInfo>
#include <QString>

// The path without the point and suffix of its file name ("/a/rx.txt" gives
// "/a/rx"); a point in a folder name stays, a name without a suffix is whole.
inline QString PathWithoutSuffix(const QString& sPath)
{
    const QString sSuffix = QFileInfo(sPath).suffix();
    return sSuffix.isEmpty() ? sPath : sPath.left(sPath.size() - sSuffix.size() - 1);
}
