// The whole process under a named C library locale, as Qt's application object puts it under the
// desktop's, and back under the previous one at the end of the scope.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace test_support {

class ScopedLocale {
public:
    /* Sets the locale; a locale that is not installed fails the test at once. */
    explicit ScopedLocale(const char* name)
        : m_previous(std::setlocale(LC_ALL, nullptr)),
          m_inForce(std::setlocale(LC_ALL, name) != nullptr) {
        if (!m_inForce) {
            ADD_FAILURE() << "the locale " << name
                          << " is not installed on this machine; scripts/setup.sh generates it";
        }
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    /* Whether the locale was set. */
    bool InForce() const { return m_inForce; }

private:
    std::string m_previous;
    bool m_inForce;
};

}  // namespace test_support
