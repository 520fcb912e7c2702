// Name filters of the converter's file choosers. Patterns are separated by
// blanks. RINEX names end in the two-digit year and the type letter, matched
// in both cases (files often come in lower case); the digits keep "x.log"
// out of the GLONASS pattern.
#pragma once

inline constexpr const char* kLogFileFilter = "LogFile(*.log *.LOG);;TextFile(*.txt *.TXT);;AllFile(*)";
inline constexpr const char* kObsFileFilter = "ObsFile(*.[0-9][0-9]O *.[0-9][0-9]o);;AllFile(*)";
inline constexpr const char* kGpsNavFileFilter = "GPSNavFile(*.[0-9][0-9]N *.[0-9][0-9]n);;AllFile(*)";
inline constexpr const char* kMixedNavFileFilter = "NavFile(*.[0-9][0-9]M *.[0-9][0-9]m);;AllFile(*)";
inline constexpr const char* kGloNavFileFilter = "GLONavFile(*.[0-9][0-9]G *.[0-9][0-9]g);;AllFile(*)";
inline constexpr const char* kGalNavFileFilter = "GALFile(*.[0-9][0-9]L *.[0-9][0-9]l);;AllFile(*)";
inline constexpr const char* kBdsNavFileFilter = "BDSNavFile(*.[0-9][0-9]C *.[0-9][0-9]c);;AllFile(*)";
inline constexpr const char* kQzsNavFileFilter = "QZSNavFile(*.[0-9][0-9]J *.[0-9][0-9]j);;AllFile(*)";
inline constexpr const char* kRinexFileFilter = "RinexFile(*.[0-9][0-9]O *.[0-9][0-9]o *.[0-9][0-9]N *.[0-9][0-9]n "
                                                "*.[0-9][0-9]G *.[0-9][0-9]g *.[0-9][0-9]L *.[0-9][0-9]l "
                                                "*.[0-9][0-9]C *.[0-9][0-9]c);;AllFile(*)";
