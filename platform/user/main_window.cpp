// The application's main window and what its destruction ends.
#include "platform/user/main_window.h"

#include <mutex>

#include "platform/user/worker_message_box.h"

namespace platform_user {

namespace {

std::mutex g_lock;
HWND g_mainWindow = nullptr;
HWND g_destroyingMainWindow = nullptr;

}  // namespace

void SetApplicationMainWindow(HWND hWnd) {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_mainWindow = hWnd;
    }
    AllowWorkerMessageBoxes();
}

HWND ApplicationMainWindow() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_mainWindow;
}

void NoteWindowDestroying(HWND hWnd) {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (hWnd == nullptr || hWnd != g_mainWindow) return;
        g_mainWindow = nullptr;
        g_destroyingMainWindow = hWnd;
    }
    DismissWorkerMessageBoxes();
}

void NoteWindowDestroyed(HWND hWnd) {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (hWnd == nullptr || hWnd != g_destroyingMainWindow) return;
        g_destroyingMainWindow = nullptr;
    }
    AllowWorkerMessageBoxes();
}

}  // namespace platform_user
