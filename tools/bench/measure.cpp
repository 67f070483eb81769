#include "bench/measure.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "bench/alloc_counter.h"

namespace bench {
namespace {

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU time a thread of this process has run, from the scheduler's own account (nanoseconds).
double ThreadCpuSeconds(pid_t tid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%d/schedstat", static_cast<int>(tid));
    FILE* file = std::fopen(path, "r");
    if (file == nullptr) return 0;
    unsigned long long runNs = 0;
    const int read = std::fscanf(file, "%llu", &runNs);
    std::fclose(file);
    return read == 1 ? runNs / 1e9 : 0;
}

double ThreadsCpuSeconds(const std::set<pid_t>& threads) {
    double total = 0;
    for (pid_t tid : threads) total += ThreadCpuSeconds(tid);
    return total;
}

struct Split {
    uint64_t ui = 0;
    uint64_t camera = 0;
    uint64_t other = 0;
};

Split SplitAllocations(pid_t uiThread, const std::set<pid_t>& cameraThreads) {
    Split split;
    for (const auto& [tid, count] : AllocationsByThread()) {
        if (tid == uiThread)
            split.ui += count;
        else if (cameraThreads.count(tid) != 0)
            split.camera += count;
        else
            split.other += count;
    }
    return split;
}

}  // namespace

long PeakResidentKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

StreamFigures MeasureStream(Viewer& viewer, uint16_t port, long long warmUp, long long frames) {
    StreamFigures figures;
    const std::set<pid_t> threadsBefore = Viewer::Threads();
    if (!viewer.Connect(port) || !viewer.WaitForFrames(warmUp)) {
        viewer.Disconnect();
        return figures;
    }
    std::set<pid_t> cameraThreads;
    for (pid_t tid : Viewer::Threads()) {
        if (threadsBefore.count(tid) == 0) cameraThreads.insert(tid);
    }
    const pid_t uiThread = CurrentThreadId();

    const Split allocationsBefore = SplitAllocations(uiThread, cameraThreads);
    const double cpuBefore = CpuSeconds();
    const double uiCpuBefore = ThreadCpuSeconds(uiThread);
    const double cameraCpuBefore = ThreadsCpuSeconds(cameraThreads);
    const long long firstFrame = viewer.ShownFrame();
    const auto start = std::chrono::steady_clock::now();
    const bool streamed = viewer.WaitForFrames(frames);
    const auto end = std::chrono::steady_clock::now();
    const long long shown = viewer.ShownFrame() - firstFrame;
    const double cpuAfter = CpuSeconds();
    const double uiCpuAfter = ThreadCpuSeconds(uiThread);
    const double cameraCpuAfter = ThreadsCpuSeconds(cameraThreads);
    const Split allocationsAfter = SplitAllocations(uiThread, cameraThreads);

    figures.ok = viewer.Disconnect() && streamed && shown > 0;
    if (shown > 0) {
        const double n = static_cast<double>(shown);
        figures.fps = n / std::chrono::duration<double>(end - start).count();
        figures.cpuSecondsPerFrame = (cpuAfter - cpuBefore) / n;
        figures.uiCpuSecondsPerFrame = (uiCpuAfter - uiCpuBefore) / n;
        figures.cameraCpuSecondsPerFrame = (cameraCpuAfter - cameraCpuBefore) / n;
        figures.uiAllocationsPerFrame = (allocationsAfter.ui - allocationsBefore.ui) / n;
        figures.cameraAllocationsPerFrame =
            (allocationsAfter.camera - allocationsBefore.camera) / n;
        figures.otherAllocationsPerFrame = (allocationsAfter.other - allocationsBefore.other) / n;
    }
    figures.peakResidentKiB = PeakResidentKiB();
    return figures;
}

}  // namespace bench
