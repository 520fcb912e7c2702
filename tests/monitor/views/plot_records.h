// Position records as the tab set's position parser fills them, for the plot
// tests and benchmarks: latitude and longitude given in degrees, the GPS
// seconds of week (negative: none) and the fix quality of the GGA sentence;
// and the way of a vehicle driving laps of a block.
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

// East and north (m) of a vehicle Along metres into laps of a Width by
// Height block, anticlockwise from the block's south-west corner.
inline void AlongBlock(double Along, double Width, double Height, double* pEast, double* pNorth)
{
    const double u = std::fmod(Along, 2 * (Width + Height));
    if (u < Width)
        *pEast = u, *pNorth = 0;
    else if (u < Width + Height)
        *pEast = Width, *pNorth = u - Width;
    else if (u < 2 * Width + Height)
        *pEast = 2 * Width + Height - u, *pNorth = Height;
    else
        *pEast = 0, *pNorth = 2 * (Width + Height) - u;
}
