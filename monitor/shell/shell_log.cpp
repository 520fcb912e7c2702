#include "monitor/shell/shell_log.h"

Q_LOGGING_CATEGORY(lcShell, "zv.shell", QtWarningMsg)
Q_LOGGING_CATEGORY(lcConsole, "zv.shell.console", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWindows, "zv.windows", QtWarningMsg)
