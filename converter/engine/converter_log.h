// Trace category of the converter, zv.converter: the conversion engine's and
// the codec's traces. Debug and info traces are off and warnings on unless
// QT_LOGGING_RULES says otherwise (see the README).
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcConverter)

// Sends the codec's and the engine's traces (DebugPrintf, which has no Qt)
// to zv.converter; the converter calls it once at start. The debug log file
// keeps its own notes.
void RouteCodecTracesToConverter();
