// Collects every diagnostic handed to the debug output (where TraceMessage sends it) while the
// recorder lives. Safe to feed from any thread.
#pragma once

#include <QString>
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/testing/hooks.h"

namespace test_support {

class TraceRecorder {
public:
    TraceRecorder() {
        platform_testing::SetDebugOutputObserver([this](const std::u16string& text) {
            std::lock_guard<std::mutex> lock(m_lock);
            m_messages.push_back(QString::fromStdU16String(text).toStdString());
        });
    }
    ~TraceRecorder() { platform_testing::SetDebugOutputObserver({}); }
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    /* The texts so far, in order, as UTF-8. */
    std::vector<std::string> Messages() const {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_messages;
    }
    /* How many texts equal text. */
    int Count(const std::string& text) const {
        const std::vector<std::string> messages = Messages();
        return static_cast<int>(std::count(messages.begin(), messages.end(), text));
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_messages.clear();
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_messages;
};

}  // namespace test_support
