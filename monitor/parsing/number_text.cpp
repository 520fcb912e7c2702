#include "monitor/parsing/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

QString PlainNumber(double d, int nMaxDecimals)
{
    if (!std::isfinite(d))
        return QString::number(d);
    QString sText = QString::number(d, 'f', nMaxDecimals);
    if (sText.contains(QLatin1Char('.')))
    {
        while (sText.endsWith(QLatin1Char('0')))
            sText.chop(1);
        if (sText.endsWith(QLatin1Char('.')))
            sText.chop(1);
    }
    return sText == QLatin1String("-0") ? QStringLiteral("0") : sText;
}

QString FloatDecimals(float f, int nDecimals)
{
    double d = static_cast<double>(f);
    if (std::isfinite(d))
    {
        // Nine significant digits always read back as the same float.
        for (int nDigits = 1; nDigits <= 9; ++nDigits)
        {
            char text[32];
            std::snprintf(text, sizeof text, "%.*g", nDigits, d);
            const double dShort = std::strtod(text, nullptr);
            if (static_cast<float>(dShort) == f)
            {
                d = dShort;
                break;
            }
        }
    }
    return QString::asprintf("%.*f", nDecimals, d);
}
