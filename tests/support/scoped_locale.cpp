#include "support/scoped_locale.h"

#include <gtest/gtest.h>

#include <clocale>

namespace test_support {

ScopedLocale::ScopedLocale(const char* name) : m_previous(std::setlocale(LC_ALL, nullptr)) {
    m_inForce = std::setlocale(LC_ALL, name) != nullptr;
    if (!m_inForce) {
        ADD_FAILURE() << "the locale " << name
                      << " is not installed on this machine; scripts/setup.sh generates it";
    }
}

ScopedLocale::~ScopedLocale() {
    std::setlocale(LC_ALL, m_previous.c_str());
}

std::string DecimalPoint() {
    return std::localeconv()->decimal_point;
}

}  // namespace test_support
