// Destroying a window: waiting callers are released first, then the window and its controls
// receive WM_DESTROY and WM_NCDESTROY, then the handles are released and the Qt objects deleted.
#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

#include "platform/user.h"
#include "platform/user/message_box.h"
#include "platform/user/window.h"

namespace {

using platform_user::Window;
using platform_user::WindowClass;

// Deletes the Qt objects, the controls' first. From inside a Qt event or signal of the window
// the deletion waits until control is back in the event loop.
void DeleteClasses(std::vector<std::unique_ptr<WindowClass>> classes, bool defer) {
    if (classes.empty()) return;
    if (QWidget* top = classes.front()->Widget(); top != nullptr && top->isWindow()) top->hide();
    auto held = std::make_shared<std::vector<std::unique_ptr<WindowClass>>>(std::move(classes));
    auto deleteAll = [held] {
        while (!held->empty()) held->pop_back();
    };
    if (defer && QCoreApplication::instance() != nullptr) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), deleteAll, Qt::QueuedConnection);
    } else {
        deleteAll();
    }
}

}  // namespace

BOOL DestroyWindow(HWND hWnd) {
    std::shared_ptr<Window> window = platform_user::OwnedWindow(hWnd);
    if (window == nullptr) return FALSE;
    {
        std::lock_guard<std::mutex> guard(window->lock);
        if (window->destroying) return FALSE;
    }
    // The window, then its controls.
    std::vector<std::shared_ptr<Window>> tree{window};
    for (HWND child : window->children) {
        if (std::shared_ptr<Window> control = platform_user::OwnedWindow(child))
            tree.push_back(control);
    }
    for (const std::shared_ptr<Window>& member : tree) {
        platform_user::ReleaseWaitingCallers(*member);
    }
    const bool mainWindow = platform_user::NoteWindowDestroying(hWnd);

    for (const std::shared_ptr<Window>& member : tree) {
        platform_user::Dispatch(member, WM_DESTROY, 0, 0);
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        platform_user::Dispatch(*it, WM_NCDESTROY, 0, 0);
    }

    std::shared_ptr<Window> parent =
        window->parent == nullptr ? nullptr : platform_user::OwnedWindow(window->parent);
    const bool defer = window->qtDispatchDepth > 0 || (parent && parent->qtDispatchDepth > 0);
    std::vector<std::unique_ptr<WindowClass>> classes;
    for (const std::shared_ptr<Window>& member : tree) {
        platform_user::UnregisterWindow(member->handle);
        classes.push_back(std::move(member->windowClass));
    }
    if (parent != nullptr) std::erase(parent->children, hWnd);
    // The procedures and attachments go with the window objects, once no call is inside them.
    DeleteClasses(std::move(classes), defer);
    if (mainWindow) platform_user::AllowWorkerMessageBoxes();
    return TRUE;
}
