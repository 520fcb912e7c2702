// Ephemeris log bodies with a value of its own in each field, for the tests
// of the RINEX navigation writer and reader. Times of ephemeris and clock are
// each test's; IODC, accuracy and the clock terms that tell the tests'
// records apart are left to them as well.
#pragma once

#include <cstdint>

#include "codec/nav_logs.h"

// GPS layout (GPSEPHEM, QZSSEPHEMERIS) of week 2295, toe and toc at dToe.
inline GPSEPHEM_BODY_T SampleGpsEphem(uint32_t nPrn, double dToe)
{
    GPSEPHEM_BODY_T e{};
    e.Prn = nPrn;
    e.Tow = 86370.0;
    e.Iode1 = e.Iode2 = 45;
    e.Week = 2295;
    e.Toe = e.Toc = dToe;
    e.A = 26560123.456;
    e.DeltaN = 4.512345678e-9;
    e.M0 = 1.2345678901;
    e.Ecc = 0.0123456789;
    e.Omega = -1.987654321;
    e.Cuc = -2.70737707615e-6;
    e.Cus = 8.12485814095e-6;
    e.Crc = 215.34375;
    e.Crs = -52.15625;
    e.Cic = 1.11758708954e-7;
    e.Cis = -5.21540641785e-8;
    e.I0 = 0.961234567891;
    e.IDot = 3.2e-10;
    e.Omega0 = -2.41234567891;
    e.OmegaDot = -8.1e-9;
    e.Tgd = -1.117587e-8;
    e.Af0 = 1.5e-4;
    e.Af1 = -3.41060513165e-12;
    e.AntiSpoofing = 1;
    return e;
}

// GLONASS slot 7 (k = +5), 2024-01-01 00:15:00 UTC in week 2295.
inline GLOEPHEMERIS_BODY_T SampleGloEphem()
{
    GLOEPHEMERIS_BODY_T e{};
    e.SlotOffset = 44;
    e.FreqOffset = 12;
    e.Week = 2295;
    e.EphTime = 87318000;
    e.TimeOffset = 10782; // GLONASS - GPS: 3 h less 18 leap seconds
    e.Nt = 1;
    e.Issue = 60;
    e.PosX = 12345678.125;
    e.PosY = -18765432.5;
    e.PosZ = 9876543.25;
    e.VelX = 2012.3456789;
    e.VelY = -1234.56789;
    e.VelZ = 3001.5;
    e.AccX = 9.31322574615e-7;
    e.AccY = -1.86264514923e-6;
    e.TauN = -1.2e-5;
    e.GammaN = 1.81898940355e-12;
    e.Tk = 11670; // 03:14:30 Moscow time
    e.Age = 1;
    return e;
}

// Galileo E11 from I/NAV, toe and toc at nToe.
inline GALEPHEMERIS_BODY_T SampleGalEphem(uint32_t nToe)
{
    GALEPHEMERIS_BODY_T e{};
    e.SatId = 11;
    e.INavReceived = 1;
    e.E5bHealth = 2;
    e.E1bDvs = 1;
    e.Sisa = 107;
    e.IodNav = 77;
    e.Toe = e.INavToc = nToe;
    e.RootA = 5440.61234567;
    e.DeltaN = 3.1e-9;
    e.M0 = -0.5;
    e.Ecc = 1.9e-4;
    e.Omega = 0.25;
    e.Cuc = 1e-6;
    e.Cus = -1e-6;
    e.Crc = 180.5;
    e.Crs = 10.25;
    e.Cic = 2e-8;
    e.Cis = -2e-8;
    e.I0 = 0.97;
    e.IDot = -1e-10;
    e.Omega0 = 1.5;
    e.OmegaDot = -5.5e-9;
    e.INavAf0 = -6.5e-4;
    return e;
}
