#include "bench/alloc_counter.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define BENCH_COUNT_ALLOCATIONS 0
#else
#define BENCH_COUNT_ALLOCATIONS 1
#endif

namespace bench {
namespace {

// One slot per thread that has allocated; the last slot collects threads beyond the table.
constexpr int kSlots = 512;
struct Slot {
    std::atomic<pid_t> tid{0};
    std::atomic<uint64_t> count{0};
};
Slot g_slots[kSlots];
std::atomic<int> g_usedSlots{0};

// Plain constant-initialised thread-local data: reading it never allocates.
thread_local int t_slot = -1;

[[maybe_unused]] void CountAllocation() {
    if (t_slot < 0) {
        int slot = g_usedSlots.fetch_add(1, std::memory_order_relaxed);
        if (slot >= kSlots) slot = kSlots - 1;
        g_slots[slot].tid.store(static_cast<pid_t>(::syscall(SYS_gettid)),
                                std::memory_order_relaxed);
        t_slot = slot;
    }
    g_slots[t_slot].count.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

bool AllocationCountingActive() {
    return BENCH_COUNT_ALLOCATIONS != 0;
}

std::map<pid_t, uint64_t> AllocationsByThread() {
    // Copied into a fixed array first: building the map allocates and so counts itself.
    pid_t tids[kSlots];
    uint64_t counts[kSlots];
    const int used = std::min(g_usedSlots.load(), kSlots);
    for (int i = 0; i < used; ++i) {
        tids[i] = g_slots[i].tid.load(std::memory_order_relaxed);
        counts[i] = g_slots[i].count.load(std::memory_order_relaxed);
    }
    std::map<pid_t, uint64_t> result;
    for (int i = 0; i < used; ++i) result[tids[i]] += counts[i];
    return result;
}

pid_t CurrentThreadId() {
    return static_cast<pid_t>(::syscall(SYS_gettid));
}

}  // namespace bench

#if BENCH_COUNT_ALLOCATIONS
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);

void* malloc(size_t size) {
    bench::CountAllocation();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    bench::CountAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) {
    bench::CountAllocation();
    return __libc_realloc(pointer, size);
}

void* memalign(size_t alignment, size_t size) {
    bench::CountAllocation();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    bench::CountAllocation();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    bench::CountAllocation();
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr && size != 0) return ENOMEM;
    *result = pointer;
    return 0;
}

void free(void* pointer) {
    __libc_free(pointer);
}
}
#endif
