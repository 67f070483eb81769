// Collects every diagnostic handed to the debug output (where TraceMessage sends it) while the
// recorder lives. Safe to feed from any thread.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace test_support {

class TraceRecorder {
public:
    TraceRecorder();
    ~TraceRecorder();
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    /* The texts so far, in order, as UTF-8. */
    std::vector<std::string> Messages() const;
    /* The texts so far as UTF-16. */
    std::vector<std::u16string> RawMessages() const;
    /* How many texts equal text. */
    int Count(const std::string& text) const;
    void Clear();

private:
    mutable std::mutex m_lock;
    std::vector<std::u16string> m_messages;
};

}  // namespace test_support
