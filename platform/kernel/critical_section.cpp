// Critical sections: a std::recursive_mutex constructed inside the caller's opaque storage.
#include <mutex>
#include <new>

#include "platform/kernel.h"

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::opaque),
              "the lock must fit the critical section's storage");
static_assert(alignof(std::recursive_mutex) <= alignof(CRITICAL_SECTION),
              "the critical section's storage must be aligned for the lock");

std::recursive_mutex* LockOf(LPCRITICAL_SECTION section) {
    return std::launder(reinterpret_cast<std::recursive_mutex*>(section->opaque));
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    new (lpCriticalSection->opaque) std::recursive_mutex();
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    LockOf(lpCriticalSection)->~recursive_mutex();
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    LockOf(lpCriticalSection)->lock();
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    LockOf(lpCriticalSection)->unlock();
}
