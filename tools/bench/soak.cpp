#include "bench/soak.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/viewer.h"
#include "platform/testing/hooks.h"

namespace bench {
namespace {

constexpr long long kReconnectEvery = 5000;
constexpr long long kWarmUp = 500;
constexpr long kResidentAllowanceKiB = 4096;  // growth of resident memory tolerated

struct Snapshot {
    long residentKiB = 0;
    int descriptors = 0;
    int threads = 0;
    int bitmaps = 0;
    int deviceContexts = 0;
    int sockets = 0;
    int platformThreads = 0;
    int windows = 0;
    int registryKeys = 0;
};

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

int CountEntries(const char* folder) {
    std::error_code error;
    const std::filesystem::directory_iterator entries(folder, error);
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

Snapshot Take() {
    Snapshot s;
    s.residentKiB = ResidentKiB();
    s.descriptors = CountEntries("/proc/self/fd") - 1;  // less the listing's own descriptor
    s.threads = CountEntries("/proc/self/task");
    s.bitmaps = platform_testing::LiveBitmapCount();
    s.deviceContexts = platform_testing::LiveDeviceContextCount();
    s.sockets = platform_testing::OpenSocketCount();
    s.platformThreads = platform_testing::LiveThreadCount();
    s.windows = platform_testing::LiveWindowCount();
    s.registryKeys = platform_testing::OpenRegistryKeyCount();
    return s;
}

// Prints one figure; false when it grew beyond the allowance.
bool Check(const char* name, long start, long end, long allowance) {
    const bool ok = end - start <= allowance;
    std::printf("  %-24s %10ld %10ld %+8ld  (allowance %+ld) %s\n", name, start, end, end - start,
                allowance, ok ? "ok" : "GREW");
    return ok;
}

}  // namespace

int RunSoak(uint16_t port, long long frames) {
    Viewer viewer;
    if (!viewer.Open() || !viewer.Connect(port) || !viewer.WaitForFrames(kWarmUp)) {
        std::printf("soak: the stream did not start\n");
        return 2;
    }
    const Snapshot start = Take();
    long long streamed = 0;
    int reconnects = 0;
    while (streamed < frames) {
        const long long stretch = std::min(kReconnectEvery, frames - streamed);
        if (!viewer.WaitForFrames(stretch)) {
            std::printf("soak: the stream stalled after %lld frames\n", streamed);
            return 2;
        }
        streamed += stretch;
        if (streamed < frames) {
            if (!viewer.Disconnect() || !viewer.Connect(port) || !viewer.WaitForFrames(kWarmUp)) {
                std::printf("soak: reconnect %d failed after %lld frames\n", reconnects + 1,
                            streamed);
                return 2;
            }
            ++reconnects;
        }
    }
    const Snapshot end = Take();
    std::printf("soak: %lld frames, %d reconnects (figures while connected, after warm-up)\n",
                streamed, reconnects);
    std::printf("  %-24s %10s %10s %8s\n", "", "start", "end", "change");
    bool ok =
        Check("resident memory KiB", start.residentKiB, end.residentKiB, kResidentAllowanceKiB);
    ok &= Check("open descriptors", start.descriptors, end.descriptors, 0);
    ok &= Check("threads", start.threads, end.threads, 0);
    ok &= Check("bitmaps", start.bitmaps, end.bitmaps, 0);
    ok &= Check("device contexts", start.deviceContexts, end.deviceContexts, 0);
    ok &= Check("sockets", start.sockets, end.sockets, 0);
    ok &= Check("platform threads", start.platformThreads, end.platformThreads, 0);
    ok &= Check("windows", start.windows, end.windows, 0);
    ok &= Check("registry keys", start.registryKeys, end.registryKeys, 0);
    std::printf("soak %s\n", ok ? "passed" : "FAILED");
    return ok ? 0 : 1;
}

}  // namespace bench
