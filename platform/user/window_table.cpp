// The table of live windows: handles are counted up from 1 and never handed out again.
#include <QApplication>
#include <atomic>
#include <unordered_map>

#include "platform/user/thread_mailbox.h"
#include "platform/user/window.h"

namespace platform_user {

namespace {

class WindowTable {
public:
    HWND NewHandle() { return reinterpret_cast<HWND>(++m_lastHandle); }

    void Add(std::shared_ptr<Window> window) {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto key = reinterpret_cast<uintptr_t>(window->handle);
        m_windows.emplace(key, std::move(window));
    }

    void Remove(HWND hWnd) {
        std::shared_ptr<Window> removed;  // released outside the lock
        std::lock_guard<std::mutex> guard(m_lock);
        auto it = m_windows.find(reinterpret_cast<uintptr_t>(hWnd));
        if (it != m_windows.end()) {
            removed = std::move(it->second);
            m_windows.erase(it);
        }
    }

    std::shared_ptr<Window> Find(HWND hWnd) {
        std::lock_guard<std::mutex> guard(m_lock);
        auto it = m_windows.find(reinterpret_cast<uintptr_t>(hWnd));
        return it == m_windows.end() ? nullptr : it->second;
    }

    int Count() {
        std::lock_guard<std::mutex> guard(m_lock);
        return static_cast<int>(m_windows.size());
    }

private:
    std::mutex m_lock;
    std::atomic<uintptr_t> m_lastHandle{0};
    std::unordered_map<uintptr_t, std::shared_ptr<Window>> m_windows;
};

// Never destroyed: a window still alive at process exit must not be torn down after the Qt
// application it belongs to.
WindowTable& Table() {
    static WindowTable* table = new WindowTable;
    return *table;
}

}  // namespace

HWND NewWindowHandle() {
    return Table().NewHandle();
}

HWND RegisterWindow(std::shared_ptr<Window> window) {
    if (window->handle == nullptr) window->handle = NewWindowHandle();
    if (window->mailbox == nullptr) window->mailbox = CurrentThreadMailbox();
    HWND handle = window->handle;
    Table().Add(std::move(window));
    return handle;
}

void UnregisterWindow(HWND hWnd) {
    Table().Remove(hWnd);
}

std::shared_ptr<Window> LookUpWindow(HWND hWnd) {
    return hWnd == nullptr ? nullptr : Table().Find(hWnd);
}

std::shared_ptr<Window> OwnedWindow(HWND hWnd) {
    std::shared_ptr<Window> window = LookUpWindow(hWnd);
    if (window == nullptr || window->thread != std::this_thread::get_id()) return nullptr;
    return window;
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

QString ToQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string FromQString(const QString& text) {
    return text.toStdU16String();
}

}  // namespace platform_user
