// Colours and signal names of the CN0 view, per constellation slot and
// signal (0-2), for the position and the vector antenna.
#pragma once

#include <QColor>
#include <cstdint>

#include "monitor/views/satellite_views.h"

inline QColor Cn0SystemColour(uint32_t nSlot)
{
    static const QColor kColours[SAT_SLOT_COUNT] = {QColor(0, 0, 255), QColor(153, 0, 0), QColor(34, 68, 102),
                                                    QColor(255, 0, 0), QColor(0, 0, 0),   QColor(0, 144, 166)};
    return kColours[nSlot < SAT_SLOT_COUNT ? nSlot : SAT_SLOT_UNUSED];
}

inline const char* Cn0SignalName(uint32_t nSlot, int k)
{
    static const char* const kNames[SAT_SLOT_COUNT][3] = {{"L1", "L2", "L5"}, {"G1", "G2", "G3"}, {"E1", "E5A", "E5B"},
                                                          {"B1", "B3", "B2"}, {"", "", ""},       {"L1", "L2", "L5"}};
    return nSlot < SAT_SLOT_COUNT && k >= 0 && k < 3 ? kNames[nSlot][k] : "";
}

inline QColor Cn0SignalColour(uint32_t nSlot, int k, bool bVector)
{
    static const QColor kPosition[SAT_SLOT_COUNT][3] = {
        {QColor(0, 0, 255), QColor(0, 240, 0), QColor(0, 255, 255)},
        {QColor(153, 0, 0), QColor(194, 128, 0), QColor(102, 68, 34)},
        {QColor(34, 68, 102), QColor(189, 183, 107), QColor(153, 0, 153)},
        {QColor(255, 0, 0), QColor(255, 165, 0), QColor(170, 136, 102)},
        {QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)},
        {QColor(87, 178, 213), QColor(0, 128, 140), QColor(128, 128, 0)}};
    static const QColor kVector[SAT_SLOT_COUNT][3] = {
        {QColor(147, 112, 216), QColor(0, 0, 153), QColor(0, 144, 0)},
        {QColor(0, 153, 153), QColor(153, 255, 0), QColor(194, 143, 0)},
        {QColor(102, 79, 34), QColor(34, 244, 102), QColor(153, 240, 153)},
        {QColor(189, 183, 251), QColor(128, 0, 128), QColor(96, 0, 96)},
        {QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)},
        {QColor(46, 139, 87), QColor(0, 100, 143), QColor(115, 143, 37)}};
    if (nSlot >= SAT_SLOT_COUNT || k < 0 || k >= 3)
        return QColor(0, 0, 0);
    return bVector ? kVector[nSlot][k] : kPosition[nSlot][k];
}
