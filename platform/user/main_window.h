// The application's main window, as the user family needs to know it: message boxes without an
// owner are shown over it, and while it is being destroyed the message boxes of worker threads
// are dismissed.
#pragma once

#include "platform/windef.h"

namespace platform_user {

/* Names the application's main window (worker message boxes may be shown again). */
void SetApplicationMainWindow(HWND hWnd);
/* The main window while it lives and is not being destroyed; NULL otherwise. */
HWND ApplicationMainWindow();
/* Told by DestroyWindow as a window starts being destroyed: for the main window, worker
   message boxes are dismissed until it has been destroyed. */
void NoteWindowDestroying(HWND hWnd);
/* Told by DestroyWindow once the window has been destroyed. */
void NoteWindowDestroyed(HWND hWnd);

}  // namespace platform_user
