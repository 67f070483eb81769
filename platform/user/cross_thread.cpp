// Cross-thread calls: the caller queues the work to the window's thread through the window's Qt
// object and waits on its own condition until the work has run or the window is being destroyed.
#include "platform/user/cross_thread.h"

#include <QMetaObject>
#include <algorithm>
#include <condition_variable>

namespace platform_user {

struct PendingCall {
    std::function<LRESULT()> work;
    std::mutex lock;
    std::condition_variable changed;
    enum class State { Waiting, Running, Done, Released } state = State::Waiting;
    LRESULT result = 0;
};

namespace {

// Runs on the window's thread: the work, unless the caller was released meanwhile.
void RunPendingCall(const std::shared_ptr<PendingCall>& call) {
    {
        std::lock_guard<std::mutex> guard(call->lock);
        if (call->state != PendingCall::State::Waiting) return;
        call->state = PendingCall::State::Running;
    }
    const LRESULT result = call->work();
    std::lock_guard<std::mutex> guard(call->lock);
    if (call->state == PendingCall::State::Running) {
        call->result = result;
        call->state = PendingCall::State::Done;
        call->changed.notify_all();
    }
}

// Held while a call is posted and taken by the window's thread before it reads the posted call:
// Qt's event queue orders the two threads with locks that ThreadSanitizer cannot see.
std::mutex& PostingLock() {
    static std::mutex lock;
    return lock;
}

void Forget(Window& window, const std::shared_ptr<PendingCall>& call) {
    std::lock_guard<std::mutex> guard(window.lock);
    std::erase(window.pending, call);
}

}  // namespace

bool CallOnWindowThread(const std::shared_ptr<Window>& window, std::function<LRESULT()> work,
                        LRESULT* result) {
    auto call = std::make_shared<PendingCall>();
    call->work = std::move(work);
    {
        // The Qt object is deleted only after `destroying` is set under this lock, so it is
        // alive while the call is posted.
        std::lock_guard<std::mutex> guard(window->lock);
        if (window->destroying) return false;
        window->pending.push_back(call);
        std::lock_guard<std::mutex> posting(PostingLock());
        QMetaObject::invokeMethod(
            window->windowClass->Object(),
            [call] {
                { std::lock_guard<std::mutex> posted(PostingLock()); }
                RunPendingCall(call);
            },
            Qt::QueuedConnection);
    }
    bool done;
    {
        std::unique_lock<std::mutex> guard(call->lock);
        call->changed.wait(guard, [&] {
            return call->state == PendingCall::State::Done ||
                   call->state == PendingCall::State::Released;
        });
        done = call->state == PendingCall::State::Done;
        if (done && result != nullptr) *result = call->result;
    }
    Forget(*window, call);
    return done;
}

void ReleaseWaitingCallers(Window& window) {
    std::vector<std::shared_ptr<PendingCall>> released;
    {
        std::lock_guard<std::mutex> guard(window.lock);
        window.destroying = true;
        released.swap(window.pending);
    }
    for (const std::shared_ptr<PendingCall>& call : released) {
        std::lock_guard<std::mutex> guard(call->lock);
        call->state = PendingCall::State::Released;
        call->changed.notify_all();
    }
}

}  // namespace platform_user
