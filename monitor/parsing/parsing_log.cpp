#include "monitor/parsing/parsing_log.h"

#include "codec/text_helpers.h"

Q_LOGGING_CATEGORY(lcParsing, "zv.parsing", QtWarningMsg)
Q_LOGGING_CATEGORY(lcBinaryMsg, "zv.parsing.binary", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRtcm3, "zv.parsing.rtcm3", QtWarningMsg)
Q_LOGGING_CATEGORY(lcCodec, "zv.parsing.codec", QtWarningMsg)

void RouteCodecTracesToParsing()
{
    SetDebugPrintSink([](const char* pText) { qCDebug(lcCodec, "%s", QByteArray(pText).trimmed().constData()); });
}
