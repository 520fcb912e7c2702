// Trace categories of the parsing layer. Debug and info traces are off and
// warnings on unless QT_LOGGING_RULES says otherwise (see the README):
//   zv.parsing         framing of the received bytes
//   zv.parsing.binary  binary logs turned into text
//   zv.parsing.rtcm3   RTCM3 messages turned into text
//   zv.parsing.codec   the receiver log codec's own traces
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcParsing)
Q_DECLARE_LOGGING_CATEGORY(lcBinaryMsg)
Q_DECLARE_LOGGING_CATEGORY(lcRtcm3)
Q_DECLARE_LOGGING_CATEGORY(lcCodec)

// Sends the codec's traces (which have no Qt) to zv.parsing.codec; the
// monitor calls it once at start.
void RouteCodecTracesToParsing();
