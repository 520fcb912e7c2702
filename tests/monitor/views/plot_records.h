// Position records as the tab set's position parser fills them, for the plot
// tests: latitude and longitude given in degrees, the GPS seconds of week
// (negative: none) and the fix quality of the GGA sentence.
#pragma once

#include <cmath>

#include "monitor/parsing/pos_data_parser.h"

inline POS_DATA_T PlotRecord(double LatDeg, double LonDeg, double Height, double GpsSeconds, int FixQuality,
                             double Undulation = 0)
{
    constexpr double kPi = 3.141592653589793;
    POS_DATA_T r;
    ResetPosData(&r);
    r.Latitude = LatDeg * kPi / 180.0;
    r.Longitude = LonDeg * kPi / 180.0;
    r.Height = Height;
    r.Undulation = Undulation;
    r.GpsSeconds = GpsSeconds;
    r.FixQuality = static_cast<uint8_t>(FixQuality);
    return r;
}
