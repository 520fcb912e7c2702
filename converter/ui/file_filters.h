// Name filters of the converter's file choosers. Patterns are separated by
// blanks, and RINEX names are matched in both cases: the last letter of a
// RINEX 2 style name gives the file type, and files often come in lower case.
#pragma once

inline constexpr const char* kLogFileFilter = "LogFile(*.log *.LOG);;TextFile(*.txt *.TXT);;AllFile(*)";
inline constexpr const char* kObsFileFilter = "ObsFile(*.??O *.??o);;AllFile(*)";
inline constexpr const char* kGpsNavFileFilter = "GPSNavFile(*.??N *.??n);;AllFile(*)";
inline constexpr const char* kMixedNavFileFilter = "NavFile(*.??M *.??m);;AllFile(*)";
inline constexpr const char* kGloNavFileFilter = "GLONavFile(*.??G *.??g);;AllFile(*)";
inline constexpr const char* kGalNavFileFilter = "GALFile(*.??L *.??l);;AllFile(*)";
inline constexpr const char* kBdsNavFileFilter = "BDSNavFile(*.??C *.??c);;AllFile(*)";
inline constexpr const char* kQzsNavFileFilter = "QZSNavFile(*.??J *.??j);;AllFile(*)";
inline constexpr const char* kRinexFileFilter =
    "RinexFile(*.??O *.??o *.??N *.??n *.??G *.??g *.??L *.??l *.??C *.??c);;AllFile(*)";
