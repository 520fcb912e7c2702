#include "monitor/config/deg_format.h"

#include <cmath>
#include <cstdint>

QList<double> FormatDeg(double dValue)
{
    const double a = std::fabs(dValue);
    const double degrees = static_cast<double>(static_cast<int32_t>(a));
    const double minutes = static_cast<double>(static_cast<int32_t>((a - degrees) * 60.0));
    return {degrees, minutes, ((a - degrees) * 60.0 - minutes) * 60.0};
}

DEG_TEXT_T SplitDegrees(double dValue, int nDecimals)
{
    const double a = std::isfinite(dValue) ? std::fabs(dValue) : 0.0;
    const qint64 perSecond = static_cast<qint64>(std::llround(std::pow(10.0, nDecimals)));
    const qint64 units = std::llround(a * 3600.0 * static_cast<double>(perSecond));
    const qint64 perMinute = 60 * perSecond, perDegree = 3600 * perSecond;
    DEG_TEXT_T text;
    text.sDegrees = QString::number(static_cast<double>(units / perDegree), 'g', 6);
    text.sMinutes = QString::number(static_cast<double>(units % perDegree / perMinute), 'g', 6);
    text.sSeconds = QString::number(static_cast<double>(units % perMinute) / static_cast<double>(perSecond), 'f',
                                    nDecimals);
    return text;
}
