#include "converter/engine/converter_log.h"

#include "codec/text_helpers.h"

Q_LOGGING_CATEGORY(lcConverter, "zv.converter", QtWarningMsg)

void RouteCodecTracesToConverter()
{
    SetDebugPrintSink([](const char* pText) { qCDebug(lcConverter, "%s", QByteArray(pText).trimmed().constData()); });
}
