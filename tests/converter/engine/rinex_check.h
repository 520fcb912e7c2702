// Checks of RINEX text against the RINEX definitions of versions 2.10, 2.11
// and 3.02-3.04, written from those definitions and not from the writers: the
// records each version defines, where each field stands, and which
// observation codes exist. Each check returns a list of complaints (empty
// when the text conforms).
#pragma once

#include <map>
#include <string>
#include <vector>

// An observation header: record labels, required records, field columns and
// formats, observation codes, continuation lines.
std::vector<std::string> CheckObsHeader(const std::string& sText, int nVersion);

// Observation types of a header as a reader takes them: system letter to its
// types (RINEX 3), or ' ' to the one list (RINEX 2).
std::map<char, std::vector<std::string>> ObsTypesOf(const std::string& sHeader);

// Observation epochs after the header: the epoch lines, the satellite lists
// and counts, and one record of 16-column fields per satellite with exactly
// the fields its types allow.
std::vector<std::string> CheckObsEpochs(const std::string& sEpochs, int nVersion,
                                        const std::map<char, std::vector<std::string>>& types);

// A navigation header.
std::vector<std::string> CheckNavHeader(const std::string& sText, int nVersion, char cSystem);

// Navigation records: each D19.12 field at its columns, the line count of
// each system's record, the epoch line layout. pValues receives every number
// of every record in file order.
std::vector<std::string> CheckNavRecords(const std::string& sText, int nVersion, char cSystem,
                                         std::vector<std::vector<double>>* pValues);

std::string ReadTextFile(const std::string& sPath);
// Compares with a golden file under tests/data; with ZV_UPDATE_GOLDEN set in
// the environment the file is written instead.
void ExpectGolden(const std::string& sName, const std::string& sText);
