// The message box answerer of tests.
#include "platform/user/message_box_answerer.h"

#include <mutex>

namespace platform_user {

namespace {

std::mutex g_lock;
MessageBoxAnswerer g_answerer;

}  // namespace

void SetAnswerer(MessageBoxAnswerer answerer) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_answerer = std::move(answerer);
}

std::optional<int> AnswerMessageBox(const std::u16string& text, UINT type) {
    MessageBoxAnswerer answerer;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        answerer = g_answerer;
    }
    // Called without the lock: an answerer may itself wait for other threads.
    if (!answerer) return std::nullopt;
    return answerer(text, type);
}

}  // namespace platform_user
