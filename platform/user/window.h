// The window objects of the user family: what a handle names, and the table of live windows.
//
// A window belongs to the thread that created it; its procedure, its Qt object and its class
// state are used on that thread only. Other threads reach a window only through the table (to
// look it up) and through its cross-thread state (to queue a call to its thread), which its
// lock guards.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/windef.h"

namespace platform_user {

using WindowProcedure =
    std::function<LRESULT(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)>;

struct PendingCall;
class ThreadMailbox;

// What a class of window does by itself: its widget, its text and its own messages. A window
// without a widget keeps its text here.
class WindowClass {
public:
    virtual ~WindowClass() = default;
    /* The widget of a dialog or control; NULL for a window without one. */
    virtual QWidget* Widget() { return nullptr; }
    virtual std::u16string Text() const { return m_text; }
    virtual void SetText(const std::u16string& text) { m_text = text; }
    /* Handles a message of this class (a control's request, a dialog's close); FALSE when the
       message is not one of the class's. */
    virtual bool HandleMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }
    /* The client surface of a top-level dialog; NULL for other windows. */
    virtual QImage* Surface() { return nullptr; }

private:
    std::u16string m_text;
};

struct Window {
    HWND handle = nullptr;
    std::thread::id thread;            // the owner thread
    ThreadMailbox* mailbox = nullptr;  // the owner thread's
    HWND parent = nullptr;             // a control's dialog
    int id = -1;                       // a control's id
    std::u16string className;          // as in templates: u"dialog", u"button", u"combobox", ...
    DWORD style = 0;                   // a control's template style
    std::vector<HWND> children;        // a dialog's controls, in template order
    WindowProcedure procedure;         // empty: the class's default handling only
    void* frameworkObject = nullptr;   // the framework object whose procedure this is, if any
    std::shared_ptr<void> attachment;  // kept for the window's life (a framework wrapper)
    std::unique_ptr<WindowClass> windowClass;
    int qtDispatchDepth = 0;  // Qt events and signals of this window being handled

    // Cross-thread state, guarded by lock.
    std::mutex lock;
    bool destroying = false;
    std::vector<std::shared_ptr<PendingCall>> pending;
};

/* A new window of the calling thread under a handle never handed out again, its owner thread
   and mailbox set; the caller fills in the rest before the window takes messages. NULL with
   ERROR_NOT_ENOUGH_MEMORY when the thread's mailbox cannot be made. */
std::shared_ptr<Window> NewWindow(std::u16string className);
/* Removes the window from the table; its handle names nothing from now on. */
void UnregisterWindow(HWND hWnd);
/* The window the handle names, from any thread; NULL with ERROR_INVALID_WINDOW_HANDLE when none. */
std::shared_ptr<Window> LookUpWindow(HWND hWnd);
/* The window, when the calling thread owns it; NULL otherwise (ERROR_ACCESS_DENIED for a window
   of another thread). */
std::shared_ptr<Window> OwnedWindow(HWND hWnd);
/* The top-level widget of the calling thread's window (a control's dialog); NULL for a NULL
   handle, another thread's window or one without a widget. */
QWidget* TopLevelWidget(HWND hWnd);
/* The number of windows in the table. */
int WindowCount();

/* Delivers a message to the window's procedure (or its class's default handling) at once. */
LRESULT Dispatch(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam);
/* The platform's handling of a message no procedure took: the class's own messages, the text
   messages and paint validation. */
LRESULT DefaultWindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

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

/* Counts a Qt event or signal of the window being handled, so that destroying the window from
   inside it defers the deletion of its Qt objects. */
class QtDispatchScope {
public:
    explicit QtDispatchScope(HWND hWnd);
    ~QtDispatchScope();
    QtDispatchScope(const QtDispatchScope&) = delete;
    QtDispatchScope& operator=(const QtDispatchScope&) = delete;

private:
    HWND m_hWnd;
};

/* TRUE when a Qt widget application exists, so that windows and boxes can be shown. */
bool WidgetsAvailable();

/* Converts between the platform's UTF-16 text and Qt's. */
inline QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}
inline std::u16string FromQString(const QString& text) {
    return text.toStdU16String();
}

}  // namespace platform_user
