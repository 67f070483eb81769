// Heap allocations counted per thread: the bench binary puts its own malloc family in front of
// the C library's and counts every allocating call on the calling thread.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>

namespace bench {

/* True when the counting allocator is in place (not in sanitizer builds, whose runtimes own
   the allocator). */
bool AllocationCountingActive();

/* Allocations made so far by every thread that has allocated, by kernel thread id. */
std::map<pid_t, uint64_t> AllocationsByThread();

/* The calling thread's kernel thread id. */
pid_t CurrentThreadId();

}  // namespace bench
