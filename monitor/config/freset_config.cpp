#include "monitor/config/freset_config.h"

QFresetConfig::QFresetConfig(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Freset"), pParent)
{
    setObjectName(QStringLiteral("QFresetConfig"));
}
