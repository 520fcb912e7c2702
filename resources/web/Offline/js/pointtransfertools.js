// The coordinates of the offline map's tiles when they are in BD-09: a fix in
// WGS-84 is shifted to GCJ-02 (the published shift, on the Krasovsky
// ellipsoid) and on to BD-09. Degrees throughout; [latitude, longitude].
"use strict";

var ZV_KRASOVSKY_A = 6378245.0;
var ZV_KRASOVSKY_EE = 0.00669342162296594323;

function zvShiftLatitude(x, y) {
    var r = -100.0 + 2.0 * x + 3.0 * y + 0.2 * y * y + 0.1 * x * y + 0.2 * Math.sqrt(Math.abs(x));
    r += (20.0 * Math.sin(6.0 * x * Math.PI) + 20.0 * Math.sin(2.0 * x * Math.PI)) * 2.0 / 3.0;
    r += (20.0 * Math.sin(y * Math.PI) + 40.0 * Math.sin(y / 3.0 * Math.PI)) * 2.0 / 3.0;
    r += (160.0 * Math.sin(y / 12.0 * Math.PI) + 320.0 * Math.sin(y * Math.PI / 30.0)) * 2.0 / 3.0;
    return r;
}

function zvShiftLongitude(x, y) {
    var r = 300.0 + x + 2.0 * y + 0.1 * x * x + 0.1 * x * y + 0.1 * Math.sqrt(Math.abs(x));
    r += (20.0 * Math.sin(6.0 * x * Math.PI) + 20.0 * Math.sin(2.0 * x * Math.PI)) * 2.0 / 3.0;
    r += (20.0 * Math.sin(x * Math.PI) + 40.0 * Math.sin(x / 3.0 * Math.PI)) * 2.0 / 3.0;
    r += (150.0 * Math.sin(x / 12.0 * Math.PI) + 300.0 * Math.sin(x / 30.0 * Math.PI)) * 2.0 / 3.0;
    return r;
}

function ZvWgs84ToGcj02(latitude, longitude) {
    // The shift is taken about longitude 105, latitude 35.
    var dLat = zvShiftLatitude(longitude - 105.0, latitude - 35.0);
    var dLon = zvShiftLongitude(longitude - 105.0, latitude - 35.0);
    var radLat = latitude / 180.0 * Math.PI;
    var magic = Math.sin(radLat);
    magic = 1 - ZV_KRASOVSKY_EE * magic * magic;
    var sqrtMagic = Math.sqrt(magic);
    dLat = (dLat * 180.0) / ((ZV_KRASOVSKY_A * (1 - ZV_KRASOVSKY_EE)) / (magic * sqrtMagic) * Math.PI);
    dLon = (dLon * 180.0) / (ZV_KRASOVSKY_A / sqrtMagic * Math.cos(radLat) * Math.PI);
    return [latitude + dLat, longitude + dLon];
}

function ZvGcj02ToBd09(latitude, longitude) {
    var xPi = Math.PI * 3000.0 / 180.0;
    var x = longitude;
    var y = latitude;
    var z = Math.sqrt(x * x + y * y) + 0.00002 * Math.sin(y * xPi);
    var theta = Math.atan2(y, x) + 0.000003 * Math.cos(x * xPi);
    return [z * Math.sin(theta) + 0.006, z * Math.cos(theta) + 0.0065];
}

function ZvWgs84ToBd09(latitude, longitude) {
    var gcj = ZvWgs84ToGcj02(latitude, longitude);
    return ZvGcj02ToBd09(gcj[0], gcj[1]);
}
