// The arithmetic of the coordinate and time conversion tool: angles between
// decimal degrees, NMEA ddmm.mmmm and degrees-minutes-seconds; geodetic
// coordinates and earth-centred XYZ on the WGS-84 ellipsoid; GPS week and
// seconds and a UTC date. Plain functions; the window only reads and shows.
#pragma once

#include <cstdint>
#include <string_view>

#include "codec/gnss_time.h"

// WGS-84.
inline constexpr double WGS84_A = 6378137.0;
inline constexpr double WGS84_B = 6356752.314245179;
inline constexpr double WGS84_E2 = 0.006694379990141317;

// What the tool takes as typed: latitude and longitude in degrees, X, Y, Z
// and the height in metres (far beyond the orbits of navigation satellites),
// the GPS weeks of the dates the time routines take (1980/1/6 to the end of
// 2099) and leap seconds no larger than the span of those dates.
inline constexpr double LATITUDE_LIMIT_DEG = 90.0;
inline constexpr double LONGITUDE_LIMIT_DEG = 180.0;
inline constexpr double CARTESIAN_LIMIT_M = 1e9;
inline constexpr uint32_t GPS_WEEK_MAX = 6260;
inline constexpr int64_t LEAP_SECONDS_LIMIT = int64_t{43825} * 86400;

// An angle split for display. The parts are magnitudes; the sign is apart,
// so that -0.5 degrees keeps its sign although its whole degrees are 0.
struct DMS_ANGLE_T
{
    bool Negative;
    uint32_t Degrees;
    uint32_t Minutes;  // 0-59
    double Seconds;    // 0 to 59.9999, a whole number of 1/10000 seconds
};

// Degrees to degrees, minutes and seconds, the seconds rounded to four
// decimals; a rounding that reaches 60 seconds or 60 minutes carries over, so
// that 10.1 gives 10 6' 0.0000'' and never 10 5' 60.0000''. For angles
// within the limits above: larger ones are refused where they are typed.
DMS_ANGLE_T DegreesToDms(double dDegrees);

// Degrees of an NMEA ddmm.mmmm value (sign kept: -3112.3456 is south or
// west). The minutes are the value less its whole hundreds, so that 3129.0
// is 31 degrees 29 minutes. Returns false when the minutes reach 60.
bool NmeaToDegrees(double dNmea, double* pDegrees);

// Degrees as an NMEA ddmm.mmmmmm value, the minutes rounded to six decimals
// with the carry into the degrees (10.9999999999 gives 1100.000000). For
// angles within the limits above, as DegreesToDms.
double DegreesToNmea(double dDegrees);

// Degrees of degrees, minutes and seconds given as magnitudes, negative when
// bNegative. Returns false when the minutes or the seconds reach 60.
bool DmsToDegrees(double dDegrees, double dMinutes, double dSeconds, bool bNegative, double* pDegrees);

// A decimal number in C form ("." whatever the locale), blanks around it
// allowed. False for empty text or anything else ("nan" and "inf" too). A
// number beyond the range of a double reads as the largest double of its
// sign, one too small for it as zero.
bool ReadNumber(std::string_view sText, double* pValue);

enum WHOLE_NUMBER_E : int
{
    WHOLE_NUMBER_OK = 0,
    WHOLE_NUMBER_INVALID = -1,      // empty, or not a whole number
    WHOLE_NUMBER_OUT_OF_RANGE = -2, // a whole number outside nMin..nMax (however many digits)
};

// A whole decimal number ("+" or "-" before it and blanks around it allowed)
// within nMin..nMax: a WHOLE_NUMBER_E, with *pValue set when OK.
int ReadWholeNumber(std::string_view sText, int64_t nMin, int64_t nMax, int64_t* pValue);

// Latitude and longitude (degrees) of a receiver position log in full text:
// the body after ";" holds the solution status, the position type, then
// latitude and longitude. False when the line does not hold them.
bool PositionFromLog(std::string_view sLine, double* pLatDeg, double* pLonDeg);

// Latitude and longitude (degrees) of an NMEA sentence that carries a
// position (GGA, GNS, RMC, GLL; others are read as GGA), south and west
// negative by the hemisphere letters. False when the sentence has no position.
bool PositionFromNmea(std::string_view sSentence, double* pLatDeg, double* pLonDeg);

// Longitude, latitude (degrees) and ellipsoidal height (m) to earth-centred XYZ (m).
void GeodeticToEcef(double dLonDeg, double dLatDeg, double dHeight, double* pX, double* pY, double* pZ);

// Earth-centred XYZ to longitude, latitude and height, in closed form
// (Bowring's single step, exact to well below a millimetre on and near the
// ground). A point on the Z axis, the centre included, is at a pole of
// longitude 0.
void EcefToGeodetic(double dX, double dY, double dZ, double* pLonDeg, double* pLatDeg, double* pHeight);

// GPS week and seconds of week to a UTC date. pLeapSeconds: GPS minus UTC as
// given (0 keeps GPS time); null takes the leap seconds in force at that
// time. Returns false for seconds outside the week, a week above
// GPS_WEEK_MAX, leap seconds beyond LEAP_SECONDS_LIMIT, or a date before the
// GPS epoch or after 2099.
bool GpsWeekSecondsToUtc(uint32_t nWeek, uint32_t nSeconds, const int64_t* pLeapSeconds, CalendarTime* pUtc);

// A UTC date to GPS week and whole seconds of week, with the leap seconds as
// above (null: those in force at that date). Returns false for a date the time
// routines do not take (before the GPS epoch, after 2099, or not a date),
// leap seconds beyond LEAP_SECONDS_LIMIT, or a GPS time before the epoch or
// after week GPS_WEEK_MAX.
bool UtcToGpsWeekSeconds(const CalendarTime& Utc, const int64_t* pLeapSeconds, uint32_t* pWeek, uint32_t* pSeconds);
