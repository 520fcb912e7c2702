// WGS-84 Universal Transverse Mercator projection: zone and latitude band of a
// point, and latitude/longitude to easting/northing with an eighth-order
// Gauss-Krueger series. No special zones (Norway, Svalbard) are applied.
#pragma once

#include <cstdint>

// Longitudinal zone 1-60 of a longitude in degrees; longitudes outside
// [-180, 180) are wrapped, so 180 is zone 1. A NaN gives 0.
int32_t UtmZone(double dLonDeg);

// Latitude band letter ("CDEFGHJKLMNPQRSTUVWX", 8 degrees each from -80, X
// stretched to 84). Outside -80..84 degrees, or for a NaN, there is no band: 0.
char UtmLatitudeBand(double dLatDeg);

// Length of the meridian arc from the equator to latitude dLat (radians), m.
double MeridianArc(double dLat);

// Unscaled transverse Mercator coordinates (m) of dLat, dLon about the central
// meridian dLon0, all in radians.
void TransverseMercator(double dLat, double dLon, double dLon0, double* pX, double* pY);

// UTM easting and northing (m) of dLat, dLon (radians) in the given zone; the
// false northing is added south of the equator.
void LatLonToUtm(double dLat, double dLon, int32_t nZone, double* pEasting, double* pNorthing);
