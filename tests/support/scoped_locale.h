// The whole process under a named C library locale, as Qt's application object puts it under the
// desktop's, and back under the previous one at the end of the scope.
#pragma once

#include <string>

namespace test_support {

class ScopedLocale {
public:
    /* Sets the locale; a locale that is not installed fails the test at once. */
    explicit ScopedLocale(const char* name);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    /* Whether the locale was set. */
    bool InForce() const { return m_inForce; }

private:
    std::string m_previous;
    bool m_inForce = false;
};

/* The decimal separator of the process's locale now. */
std::string DecimalPoint();

}  // namespace test_support
