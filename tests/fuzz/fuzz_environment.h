// What fuzz targets set up once: the program's resources and a Qt application on the offscreen
// platform, and a temporary settings home so a run never touches the user's settings.
#pragma once

namespace fuzz_support {

/* Registers the program's resources and creates the process's Qt application once; it lives
   until the process ends. */
void StartApplication();

/* Points XDG_CONFIG_HOME at a new temporary folder, removed when the process exits. */
void UseTemporarySettingsHome();

/* Stops the run at once with a message: the input broke a rule the code promises. */
[[noreturn]] void Violation(const char* rule);

}  // namespace fuzz_support
