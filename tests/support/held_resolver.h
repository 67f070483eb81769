// A name resolver that answers only when released and tells when it has been asked: a lookup
// that does not return until the test says so.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

namespace test_support {

class HeldResolver {
public:
    /* Installs itself as the platform's resolver; every name resolves to 127.0.0.1. */
    HeldResolver();
    /* Releases every held lookup, restores the host's resolver and waits until no lookup is still
       inside this resolver (an abandoned one finishes on its helper thread). */
    ~HeldResolver();
    HeldResolver(const HeldResolver&) = delete;
    HeldResolver& operator=(const HeldResolver&) = delete;

    /* Waits until a lookup has reached the resolver; false after 10 s. */
    bool WaitAsked();
    /* Whether a lookup has reached the resolver yet (for callers that pump events meanwhile). */
    bool Asked();
    /* The name of the latest lookup. */
    std::string LastName();
    /* Lets every held and later lookup answer. */
    void Release();

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_asked = false;
    bool m_released = false;
    int m_inside = 0;  // lookups running in the resolver
    std::string m_lastName;
};

}  // namespace test_support
