// Trace categories of the shell: the main window, the tabs' windows, the
// connection dialogs and docking (zv.shell), and the command window with its
// button bar (zv.shell.console). Debug and info traces are off and warnings
// on unless QT_LOGGING_RULES says otherwise (see the README).
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcShell)
Q_DECLARE_LOGGING_CATEGORY(lcConsole)
// The windows of the views, configuration, INS and tools (zv.windows).
Q_DECLARE_LOGGING_CATEGORY(lcWindows)
