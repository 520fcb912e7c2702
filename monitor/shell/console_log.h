// Debug traces of the command window and the button bar (off unless the
// "zv.shell.console" category is enabled).
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcConsole)
