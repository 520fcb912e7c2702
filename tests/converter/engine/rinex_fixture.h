// A RINEX observation header record as a range-log job fills it: station
// description, systems and observation types, the signals and satellites the
// source scan found, GLONASS slots, times and leap seconds.
#pragma once

#include <cstring>

#include "codec/signals.h"
#include "converter/engine/rinex_obs_header.h"

struct ScanResult
{
    uint32_t aCodes[6][RINEX_SCAN_CODES] = {};
    uint32_t aCounts[6] = {};
    uint64_t aSatMasks[6][RINEX_SCAN_CODES] = {};
    uint32_t aSatCounts[6][RINEX_SCAN_CODES] = {};

    void Add(uint32_t nSystem, uint32_t nCode, uint64_t nSatMask)
    {
        const uint32_t i = aCounts[nSystem]++;
        aCodes[nSystem][i] = nCode;
        aSatMasks[nSystem][i] = nSatMask;
        aSatCounts[nSystem][i] = static_cast<uint32_t>(__builtin_popcountll(nSatMask));
    }
};

// GPS 1C 2W 2S 5Q on 14 satellites, GLONASS 1C 2P 3Q, Galileo 1B 5Q 7Q,
// BeiDou B1I B2I B3I and two third-generation signals, QZSS 1C 2S.
inline ScanResult FullScan()
{
    ScanResult scan;
    for (uint32_t nCode : {0u, 33096u, 520u, 2128u})
        scan.Add(GNSS_SYSTEM_GPS, nCode, 0x3FFF);
    for (uint32_t nCode : {1u, 201u, 2385u})
        scan.Add(GNSS_SYSTEM_GLONASS, nCode, 0x7);
    for (uint32_t nCode : {130u, 2506u, 2514u})
        scan.Add(GNSS_SYSTEM_GALILEO, nCode, 0x9);
    for (uint32_t nCode : {3u, 19u, 11u, 2395u, 2531u})
        scan.Add(GNSS_SYSTEM_BDS, nCode, 0x3F0);
    for (uint32_t nCode : {5u, 525u})
        scan.Add(GNSS_SYSTEM_QZSS, nCode, 0x1);
    return scan;
}

template <size_t N> void SetField(char (&field)[N], const char* p)
{
    std::memset(field, 0, N);
    const size_t n = std::strlen(p);
    std::memcpy(field, p, n < N - 1 ? n : N - 1);
}

// The record after the window's steps and the header fillers; the creation
// date is fixed so that the text can be compared.
inline RinexObsHeader MakeObsHeader(int32_t nVersion, const ScanResult& scan = FullScan(),
                                    uint8_t nSysMask = 1 | 2 | 4 | 8 | 32,
                                    uint32_t nTypeMask = RINEX_OBS_C | RINEX_OBS_L | RINEX_OBS_D | RINEX_OBS_S)
{
    RinexObsHeader h{};
    h.nVersion = nVersion;
    h.nSysMask = nSysMask;
    h.nObsTypeMask = nTypeMask;
    SetField(h.szFileType, "OBSERVATION DATA");
    SetField(h.szProgram, "Moxelin");
    SetField(h.szRunBy, "Halvorne");
    SetField(h.szMarkerName, "Halvorne Ant001");
    SetField(h.szMarkerNumber, "Ant001");
    SetField(h.szMarkerType, "GEODETIC");
    SetField(h.szObserver, "Halvorne-001");
    SetField(h.szAgency, "Halvorne");
    SetField(h.szRecNumber, "Halvorne#001");
    SetField(h.szRecType, "GEODETIC");
    SetField(h.szRecVersion, "Halvorne QT9C2");
    SetField(h.szAntNumber, "Ant001");
    SetField(h.szAntType, "ROVER");
    h.aApproxPos[0] = -2148744.3969;
    h.aApproxPos[1] = 4426641.2048;
    h.aApproxPos[2] = 4044655.8537;
    h.aAntDeltaHen[0] = 1.234;
    h.aAntDeltaXyz[1] = 0.125; // only the second number set
    h.dInterval = 1.0;
    // Week 2295, Monday 2024-01-01 00:00:18 GPS time, for one hour.
    h.FirstObs.nWeek = 2295;
    h.FirstObs.nMsOfWeek = 86418000;
    h.LastObs.nWeek = 2295;
    h.LastObs.nMsOfWeek = 90017000;
    h.aLeapSeconds[0] = 18;
    h.aLeapSeconds[1] = 18;
    h.aLeapSeconds[2] = 1929;
    h.aLeapSeconds[3] = 7;
    FillRinexObsTypes(scan.aCodes, scan.aCounts, &h);
    FillRinexPhaseShifts(scan.aSatMasks, scan.aSatCounts, scan.aCounts, scan.aCodes, &h);
    const int32_t aSlots[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const int32_t aFreqs[] = {1, -4, 5, 6, 1, -4, 5, 6, -2};
    SetGloSlotFrequencies(9, aSlots, aFreqs, &h);
    SetField(h.szDate, "20240102 030405 UTC");
    return h;
}
