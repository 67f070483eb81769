#include "support/trace_recorder.h"

#include <QString>
#include <algorithm>

#include "platform/testing/hooks.h"

namespace test_support {

TraceRecorder::TraceRecorder() {
    platform_testing::SetDebugOutputObserver([this](const std::u16string& text) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_messages.push_back(text);
    });
}

TraceRecorder::~TraceRecorder() {
    platform_testing::SetDebugOutputObserver({});
}

std::vector<std::string> TraceRecorder::Messages() const {
    std::vector<std::string> messages;
    for (const std::u16string& text : RawMessages()) {
        messages.push_back(QString::fromStdU16String(text).toStdString());
    }
    return messages;
}

std::vector<std::u16string> TraceRecorder::RawMessages() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_messages;
}

int TraceRecorder::Count(const std::string& text) const {
    const std::vector<std::string> messages = Messages();
    return static_cast<int>(std::count(messages.begin(), messages.end(), text));
}

void TraceRecorder::Clear() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_messages.clear();
}

}  // namespace test_support
