// Message boxes and the application's main window they belong to: a box without an owner is
// shown over the main window, and while the main window is being destroyed the boxes of worker
// threads are dismissed.
#pragma once

#include "platform/windef.h"

namespace platform_user {

/* Names the application's main window (worker message boxes may be shown again). */
void SetApplicationMainWindow(HWND hWnd);
/* Told by DestroyWindow as a window starts being destroyed; TRUE for the main window, whose
   destruction dismisses the worker message boxes (IDCANCEL, also those on their way) and every
   later one until AllowWorkerMessageBoxes. */
bool NoteWindowDestroying(HWND hWnd);
/* Worker message boxes are shown again (the main window has been destroyed). */
void AllowWorkerMessageBoxes();
/* The worker boxes asked for and not yet answered (shown or on their way). */
int WorkerMessageBoxCount();

}  // namespace platform_user
