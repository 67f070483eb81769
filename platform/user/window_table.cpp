// The table of live windows and the lookups every window call starts with.
#include <QApplication>

#include "platform/kernel.h"
#include "platform/kernel/handle_table.h"
#include "platform/user/thread_mailbox.h"
#include "platform/user/window.h"

namespace platform_user {

namespace {

using WindowTable = platform_kernel::HandleTable<Window>;

// Never destroyed: a window still alive at process exit must not be torn down after the Qt
// application it belongs to.
WindowTable& Table() {
    static WindowTable* table = new WindowTable;
    return *table;
}

}  // namespace

std::shared_ptr<Window> NewWindow(std::u16string className) {
    ThreadMailbox* mailbox = CurrentThreadMailbox();
    if (mailbox == nullptr) return nullptr;
    auto window = std::make_shared<Window>();
    window->thread = std::this_thread::get_id();
    window->mailbox = mailbox;
    window->className = std::move(className);
    const uintptr_t handle = Table().Add(window);
    if (handle == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    window->handle = reinterpret_cast<HWND>(handle);
    return window;
}

void UnregisterWindow(HWND hWnd) {
    Table().Remove(reinterpret_cast<uintptr_t>(hWnd));
}

std::shared_ptr<Window> LookUpWindow(HWND hWnd) {
    std::shared_ptr<Window> window = Table().Find(reinterpret_cast<uintptr_t>(hWnd));
    if (window == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

std::shared_ptr<Window> OwnedWindow(HWND hWnd) {
    std::shared_ptr<Window> window = LookUpWindow(hWnd);
    if (window == nullptr || window->thread == std::this_thread::get_id()) return window;
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

QWidget* TopLevelWidget(HWND hWnd) {
    std::shared_ptr<Window> window = hWnd == nullptr ? nullptr : OwnedWindow(hWnd);
    QWidget* widget = window == nullptr ? nullptr : window->windowClass->Widget();
    return widget == nullptr ? nullptr : widget->window();
}

int WindowCount() {
    return Table().Count();
}

QtDispatchScope::QtDispatchScope(HWND hWnd) : m_hWnd(hWnd) {
    if (std::shared_ptr<Window> window = OwnedWindow(m_hWnd)) ++window->qtDispatchDepth;
}

QtDispatchScope::~QtDispatchScope() {
    if (std::shared_ptr<Window> window = OwnedWindow(m_hWnd)) --window->qtDispatchDepth;
}

bool WidgetsAvailable() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace platform_user
