// Cross-thread calls: the caller queues the call to the mailbox of the window's thread and waits
// for its completion: the result once the call has run, nothing when the window is being
// destroyed. Each thread keeps its call record for the next call, so a thread handing over a
// stream of messages (the camera thread's frames) allocates nothing per message.
#include <algorithm>
#include <optional>

#include "platform/kernel/completion.h"
#include "platform/user/thread_mailbox.h"
#include "platform/user/window.h"

namespace platform_user {

struct PendingCall final : public MailboxItem {
    // What runs: `work` when set, else the message for `target`.
    std::function<LRESULT()> work;
    std::weak_ptr<Window> target;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    platform_kernel::Completion<std::optional<LRESULT>> done;  // empty: released

    // Runs on the window's thread: the call, unless the caller was released meanwhile. The
    // record outlives this: the mailbox holds it until this returns.
    void Run() override {
        if (done.IsDone()) return;
        LRESULT value = 0;
        if (work) {
            value = work();
        } else if (std::shared_ptr<Window> live = target.lock()) {
            value = Dispatch(live, message, wParam, lParam);
        }
        done.Complete(value);
    }
};

namespace {

// The calling thread's record, made anew only while an earlier call of this thread is still
// referenced elsewhere (a released call its window's thread has not dropped yet).
std::shared_ptr<PendingCall> FreshCall() {
    thread_local std::shared_ptr<PendingCall> kept;
    if (kept == nullptr || kept.use_count() != 1) kept = std::make_shared<PendingCall>();
    kept->work = nullptr;
    kept->target.reset();
    kept->done.Reset();
    return kept;
}

bool RunOnWindowThread(const std::shared_ptr<Window>& window,
                       const std::shared_ptr<PendingCall>& call, LRESULT* result) {
    {
        std::lock_guard<std::mutex> guard(window->lock);
        if (window->destroying) return false;
        window->pending.push_back(call);
        PostItem(window->mailbox, call);
    }
    const std::optional<LRESULT> value = call->done.Wait();
    if (value.has_value() && result != nullptr) *result = *value;
    std::lock_guard<std::mutex> guard(window->lock);
    std::erase(window->pending, call);
    return value.has_value();
}

}  // namespace

bool CallOnWindowThread(const std::shared_ptr<Window>& window, std::function<LRESULT()> work,
                        LRESULT* result) {
    std::shared_ptr<PendingCall> call = FreshCall();
    call->work = std::move(work);
    return RunOnWindowThread(window, call, result);
}

bool SendOnWindowThread(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT* result) {
    std::shared_ptr<PendingCall> call = FreshCall();
    call->target = window;
    call->message = message;
    call->wParam = wParam;
    call->lParam = lParam;
    return RunOnWindowThread(window, call, result);
}

void ReleaseWaitingCallers(Window& window) {
    std::vector<std::shared_ptr<PendingCall>> released;
    {
        std::lock_guard<std::mutex> guard(window.lock);
        window.destroying = true;
        released.swap(window.pending);
    }
    for (const std::shared_ptr<PendingCall>& call : released) call->done.Complete(std::nullopt);
}

}  // namespace platform_user
