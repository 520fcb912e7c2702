// The command button presets on disk: "Configure/Preset/CMD.txt" under the
// monitor's configuration folder, UTF-8, one line per group ended by CR LF:
//
//     <group>:::<label>,,,<send string>;;;<label>,,,<send string>;;;
//     <group without buttons>:::
//
// A carriage return inside the line is written "@CR", a line feed "@LF". A
// line holding "#######" is a comment. Comments and other lines that give no
// group are kept and written back at the top, so a hand-edited file loses
// nothing when the bar saves it.
//
// A save goes to a temporary file in the same folder that then replaces the
// old one, so a crash or a full disk while saving leaves the old file whole.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct PRESET_SET_T
{
    QStringList GroupNames;
    QList<QStringList> GroupLabels;      // parallel to GroupNames
    QList<QStringList> GroupSendStrings; // parallel to GroupNames
    QStringList KeptLines;               // lines that give no group, without line ending
};

enum PRESET_STATUS_E : int
{
    PRESET_OK = 0,
    PRESET_CANNOT_READ = -1,    // no file: the set holds the group "Default"
    PRESET_CANNOT_WRITE = -2,   // the folder or the temporary file could not be made or written
    PRESET_CANNOT_REPLACE = -3, // the old file could not be replaced; it is unchanged
    PRESET_UNREADABLE = -4,     // a file is there but is not read: the set holds the group "Default"
};

// The largest preset file read. Hand-made sets are a few kilobytes; a file
// of this size can already hold tens of thousands of buttons, and a larger
// one would keep the monitor from starting.
inline constexpr qint64 PRESET_FILE_MAX_BYTES = 256 * 1024;

// Name of the group a set without groups gets.
inline constexpr char PRESET_DEFAULT_GROUP[] = "Default";

// The preset file in the monitor's configuration folder.
QString PresetFilePath();

// One line (without line ending) read as a group: true with the name and the
// buttons; false for comments and invalid lines, and for a group a save
// would not write back as it is (see the checks below), which is kept as a
// line of its own.
bool ParsePresetLine(const QString& sLine, QString* pName, QStringList* pLabels, QStringList* pSendStrings);
// One group as a line, without line ending.
QString FormatPresetLine(const QString& sName, const QStringList& Labels, const QStringList& SendStrings);
// Whether a group comes back unchanged after a save and a reload: separators
// (":::", ",,,", ";;;"), "@CR", "@LF" or "#######" in the wrong place would
// cut it or turn it into a comment.
bool IsPresetGroupStorable(const QString& sName, const QStringList& Labels, const QStringList& SendStrings);
// Whether a group name comes back unchanged both with and without buttons,
// and a button in any group: what is typed is checked with these, so that
// every set the bar holds is written back as it is.
bool IsPresetNameStorable(const QString& sName);
bool IsPresetButtonStorable(const QString& sLabel, const QString& sSendString);

// The whole file's text; a set without groups gets the group "Default".
PRESET_SET_T ParsePresetText(const QByteArray& Text);
QByteArray FormatPresetText(const PRESET_SET_T& Set);
// Whether the set's file stays within PRESET_FILE_MAX_BYTES, so that the
// next start reads it.
bool IsPresetSetStorable(const PRESET_SET_T& Set);

// Reads a file into *pSet: PRESET_OK, or PRESET_CANNOT_READ (no file) or
// PRESET_UNREADABLE with the group "Default". A file is read only when it is
// a regular file of at most PRESET_FILE_MAX_BYTES, and its set written again
// stays within that bound; *pFileStatus (may be null) gets why it was not (a
// CONFIG_FILE_E of config_file.h).
int ReadPresetFile(const QString& sPath, PRESET_SET_T* pSet, int* pFileStatus = nullptr);
// Writes Text as the whole file, creating its folder: PRESET_OK or a negative status.
int WritePresetFile(const QString& sPath, const QByteArray& Text);
