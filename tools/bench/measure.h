// One measured stretch of the stream through the real viewer: rate, CPU time and heap
// allocations per frame, split by thread.
#pragma once

#include <sys/types.h>

#include <set>

#include "bench/viewer.h"

namespace bench {

struct StreamFigures {
    double fps = 0;
    double cpuSecondsPerFrame = 0;        // the whole process (getrusage)
    double uiCpuSecondsPerFrame = 0;      // the UI thread alone
    double cameraCpuSecondsPerFrame = 0;  // the threads started by this connection
    double uiAllocationsPerFrame = 0;
    double cameraAllocationsPerFrame = 0;  // the threads started by this connection
    double otherAllocationsPerFrame = 0;
    long peakResidentKiB = 0;  // the process's peak so far
    bool ok = false;
};

/* Connects, lets `warmUp` frames pass, measures `frames` frames, disconnects. */
StreamFigures MeasureStream(Viewer& viewer, uint16_t port, long long warmUp, long long frames);

/* The process's peak resident memory so far, KiB. */
long PeakResidentKiB();

}  // namespace bench
