// Message boxes of worker threads: shown on the UI thread without blocking it, while the worker
// waits for the answer.
#pragma once

#include <string>

#include "platform/windef.h"

namespace platform_user {

/* Shows the box on the UI thread and waits for its button; IDCANCEL while the application's
   main window is being destroyed, also for a box already showing or on its way. */
int ShowWorkerMessageBox(const std::u16string& text, const std::u16string& caption, UINT type);
/* Dismisses every worker box (IDCANCEL), and every later one at once until allowed again.
   Called on the UI thread. */
void DismissWorkerMessageBoxes();
/* Worker boxes are shown again. */
void AllowWorkerMessageBoxes();
/* The worker boxes asked for and not yet answered (shown or on their way). */
int WorkerMessageBoxCount();

}  // namespace platform_user
