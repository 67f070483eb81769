#include "support/held_resolver.h"

#include <chrono>

#include "platform/testing/hooks.h"
#include "platform/winsock.h"

namespace test_support {

HeldResolver::HeldResolver() {
    platform_testing::SetHostResolver([this](const std::string& name, uint32_t* address) {
        std::unique_lock<std::mutex> lock(m_lock);
        ++m_inside;
        m_asked = true;
        m_lastName = name;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_released; });
        *address = inet_addr("127.0.0.1");
        --m_inside;
        m_changed.notify_all();
        return true;
    });
}

HeldResolver::~HeldResolver() {
    Release();
    platform_testing::SetHostResolver({});
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [this] { return m_inside == 0; });
}

bool HeldResolver::WaitAsked() {
    std::unique_lock<std::mutex> lock(m_lock);
    return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_asked; });
}

bool HeldResolver::Asked() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_asked;
}

std::string HeldResolver::LastName() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lastName;
}

void HeldResolver::Release() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_released = true;
    m_changed.notify_all();
}

}  // namespace test_support
