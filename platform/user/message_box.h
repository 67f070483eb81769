// Message boxes and the application's main window they belong to: a box without an owner is
// shown over the main window, and while the main window is being destroyed the boxes of worker
// threads are dismissed.
#pragma once

#include "platform/windef.h"

namespace platform_user {

/* Names the application's main window (worker message boxes may be shown again). */
void SetApplicationMainWindow(HWND hWnd);
/* Told by DestroyWindow as a window starts being destroyed: for the main window, worker
   message boxes are dismissed (IDCANCEL, also those on their way) until it has been destroyed. */
void NoteWindowDestroying(HWND hWnd);
/* Told by DestroyWindow once the window has been destroyed. */
void NoteWindowDestroyed(HWND hWnd);
/* The worker boxes asked for and not yet answered (shown or on their way). */
int WorkerMessageBoxCount();

}  // namespace platform_user
