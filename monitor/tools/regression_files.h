// The two files a regression bench row names: the image list of the firmware
// test (line 1 "1,<image 1>", line 2 "2,<image 2>", in GBK as the bench's
// users write it) and the command file of the command test (one receiver
// command a line). Both are read whole, up to a bound, by the functions
// here, like the other files the tools read: a FIFO or a device in their
// place is never waited on and a huge file never taken into memory.
// Plain functions over bytes and paths; any thread.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// An image list holds two paths; a command file a day of commands.
inline constexpr qint64 REGRESSION_IMAGE_LIST_MAX_BYTES = 64 * 1024;
inline constexpr qint64 REGRESSION_COMMAND_FILE_MAX_BYTES = 1024 * 1024;

struct REGRESSION_IMAGES_T
{
    QString Image[2]; // image 1 and image 2; empty when the list lacks one
};

// The images of a list's bytes: line n (n = 1, 2) without its leading "n,"
// and without the blanks around it.
REGRESSION_IMAGES_T ParseRegressionImageList(const QByteArray& Bytes);
// Reads the list at sPath into *pImages (emptied first); a CONFIG_FILE_E.
int ReadRegressionImageList(const QString& sPath, REGRESSION_IMAGES_T* pImages);

// The commands of a command file's bytes (UTF-8): every line that holds
// more than blanks, without its line end and the blanks around it.
QStringList ParseRegressionCommands(const QByteArray& Bytes);
// Reads the file at sPath into *pCommands (emptied first); a CONFIG_FILE_E.
int ReadRegressionCommands(const QString& sPath, QStringList* pCommands);
