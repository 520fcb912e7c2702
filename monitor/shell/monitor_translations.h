// The monitor's texts in the user's language: every compiled translation of
// one language (one file per area of the monitor) together with Qt's own
// translations of its standard dialogs and buttons.
#pragma once

#include <QString>

// Replaces the installed translations with those of sLanguage ("en" or "zh");
// returns how many of the monitor's own files were installed. Windows then
// re-apply their texts on the LanguageChange event or by their own slot.
int InstallMonitorTranslations(const QString& sLanguage);
