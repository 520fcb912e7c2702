#include "monitor/shell/console_log.h"

Q_LOGGING_CATEGORY(lcConsole, "zv.shell.console", QtInfoMsg)
