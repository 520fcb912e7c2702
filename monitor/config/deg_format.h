// Angles in degrees as the configuration windows show them: whole degrees,
// whole minutes and seconds.
#pragma once

#include <QList>
#include <QString>

// |value| as whole degrees, whole minutes and unrounded seconds.
QList<double> FormatDeg(double dValue);

// |value| as whole degrees, whole minutes and seconds with nDecimals
// decimals, rounded once at that precision before the split, so that
// 59.99999999" shows as the next whole minute instead of "60.0000". A value
// that is no number counts as 0.
struct DEG_TEXT_T
{
    QString sDegrees; // QString::number(v, 'g', 6)
    QString sMinutes; // QString::number(v, 'g', 6)
    QString sSeconds; // nDecimals decimals
};
DEG_TEXT_T SplitDegrees(double dValue, int nDecimals);
