// Cross-thread calls: the caller queues the work to the mailbox of the window's thread and waits
// on its own condition until the work has run or the window is being destroyed.
#include "platform/user/cross_thread.h"

#include <algorithm>
#include <condition_variable>

#include "platform/user/thread_mailbox.h"

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
        std::lock_guard<std::mutex> guard(window->lock);
        if (window->destroying || window->mailbox == nullptr) return false;
        window->pending.push_back(call);
        PostWork(window->mailbox, [call] { RunPendingCall(call); });
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
