// What the user is told when the settings file cannot be used: the program runs on without its
// history, and standard error says why in one line.
#pragma once

#include <QString>

namespace platform_registry {

enum class SettingsFailure { kOpen, kWrite };

/* Says on standard error, once per settings file and process, that the file cannot be made or
   read (kOpen) or written (kWrite), naming it. */
void ReportSettingsFailure(const QString& path, SettingsFailure failure);

}  // namespace platform_registry
