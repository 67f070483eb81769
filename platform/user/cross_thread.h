// Calls made on a window's own thread for another thread, which waits for the result.
#pragma once

#include <functional>
#include <memory>

#include "platform/user/window.h"

namespace platform_user {

/* Runs work on the window's thread and waits for it; TRUE and *result set when it ran, FALSE
   when the window is being destroyed (before or while the caller waits). */
bool CallOnWindowThread(const std::shared_ptr<Window>& window, std::function<LRESULT()> work,
                        LRESULT* result);

/* Dispatches the message to the window on its thread and waits for it, like CallOnWindowThread;
   allocates nothing once the calling thread has made a call before. */
bool SendOnWindowThread(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT* result);

/* Marks the window as being destroyed and releases every caller waiting on it; later calls
   fail at once. */
void ReleaseWaitingCallers(Window& window);

}  // namespace platform_user
