// pemblar-bench: the speed, CPU cost, memory and heap traffic of the real frame road (camera
// thread, frame arrival, decode, paint, request) against a fake camera in another process on
// loopback, as ratios to the limit of one frame (its decode plus one round trip); and a soak.
#include <sys/types.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/alloc_counter.h"
#include "bench/camera_process.h"
#include "bench/limit.h"
#include "bench/measure.h"
#include "bench/soak.h"
#include "bench/viewer.h"
#include "platform/windows.h"
#include "res/resources.h"

namespace {

const char kUsage[] =
    R"(Usage: pemblar-bench [--quick] [--json FILE] [--frames N] [--repeats N] [--case NAME]
       pemblar-bench --soak [FRAMES]

Measures the viewer's frame road against a fake camera in another process on loopback, for
frames of 320x240, 640x480 and 1280x960 (quality 75) and for 640x480 sent by a camera that
writes header and payload separately. Prints a table; the last line is "ratio 640x480: R".
  --quick       a short run (few frames, one repeat)
  --json FILE   also write the figures as JSON
  --frames N    frames measured per repeat (default 2000)
  --repeats N   repeats of each case (default 5)
  --case NAME   run only that case (320x240, 640x480, 1280x960 or "640x480 split")
  --soak [N]    stream N frames (default 100000) with a reconnect every 5000 and check that
                memory, descriptors, threads and platform objects stay flat
)";

struct Case {
    const char* name;
    bench::FrameSet frames;
    int limitCase;  // index of the case whose limit applies
};

struct Spread {
    double median = 0, min = 0, max = 0;
};

Spread SpreadOf(const std::vector<double>& values) {
    Spread s;
    if (values.empty()) return s;
    s.median = bench::Median(values);
    s.min = *std::min_element(values.begin(), values.end());
    s.max = *std::max_element(values.begin(), values.end());
    return s;
}

template <typename Row>
Spread SpreadOf(const std::vector<Row>& rows, double Row::*field) {
    std::vector<double> values;
    for (const Row& row : rows) values.push_back(row.*field);
    return SpreadOf(values);
}

// One measurement of the limit; fps is 1 / (decode + round trip).
struct LimitSample {
    double decodeMs, roundTripMs, quickAckMs, fps;
};

// One repeat's limit: the mean of the measurements right before and right after its viewer run.
LimitSample MeanLimit(const LimitSample& before, const LimitSample& after) {
    LimitSample mean{(before.decodeMs + after.decodeMs) / 2,
                     (before.roundTripMs + after.roundTripMs) / 2,
                     (before.quickAckMs + after.quickAckMs) / 2, 0};
    mean.fps = 1e3 / (mean.decodeMs + mean.roundTripMs);
    return mean;
}

// One repeat's viewer run, with its ratios to that repeat's limit.
struct ViewSample {
    double fps, ratio, cpuMs, cpuPerDecode, uiCpuMs, cameraCpuMs, uiAllocs, cameraAllocs,
        otherAllocs;
};

struct Result {
    std::string name;
    size_t meanFrameBytes = 0;
    Spread decodeMs, roundTripMs, roundTripQuickAckMs, limitFps;
    Spread fps, ratio, cpuMs, cpuPerDecode, uiCpuMs, cameraCpuMs, uiAllocs, cameraAllocs,
        otherAllocs;
    long peakResidentKiB = 0;
    int failures = 0;
};

std::string JsonSpread(const Spread& s) {
    char text[160];
    std::snprintf(text, sizeof text, R"({"median": %.6g, "min": %.6g, "max": %.6g})", s.median,
                  s.min, s.max);
    return text;
}

bool WriteJson(const std::string& path, const std::vector<Result>& results, int frames,
               int repeats) {
    std::ofstream out(path);
    out << "{\n  \"frames_per_repeat\": " << frames << ",\n  \"repeats\": " << repeats
        << ",\n  \"allocation_counting\": "
        << (bench::AllocationCountingActive() ? "true" : "false") << ",\n  \"cases\": [\n";
    for (size_t i = 0; i < results.size(); ++i) {
        const Result& r = results[i];
        out << "    {\"name\": \"" << r.name << "\", \"mean_frame_bytes\": " << r.meanFrameBytes
            << ",\n     \"decode_ms\": " << JsonSpread(r.decodeMs)
            << ", \"round_trip_ms\": " << JsonSpread(r.roundTripMs)
            << ",\n     \"round_trip_quickack_ms\": " << JsonSpread(r.roundTripQuickAckMs)
            << ", \"limit_fps\": " << JsonSpread(r.limitFps)
            << ",\n     \"fps\": " << JsonSpread(r.fps) << ", \"ratio\": " << JsonSpread(r.ratio)
            << ",\n     \"cpu_ms_per_frame\": " << JsonSpread(r.cpuMs)
            << ", \"cpu_per_decode\": " << JsonSpread(r.cpuPerDecode)
            << ", \"ui_cpu_ms_per_frame\": " << JsonSpread(r.uiCpuMs)
            << ", \"camera_cpu_ms_per_frame\": " << JsonSpread(r.cameraCpuMs)
            << ",\n     \"ui_allocations_per_frame\": " << JsonSpread(r.uiAllocs)
            << ",\n     \"camera_allocations_per_frame\": " << JsonSpread(r.cameraAllocs)
            << ",\n     \"other_allocations_per_frame\": " << JsonSpread(r.otherAllocs)
            << ",\n     \"peak_resident_kib\": " << r.peakResidentKiB
            << ", \"failed_repeats\": " << r.failures << "}"
            << (i + 1 < results.size() ? ",\n" : "\n");
    }
    out << "  ]\n}\n";
    return static_cast<bool>(out);
}

void PrintSpread(const char* label, const Spread& s, const char* format) {
    char median[32], low[32], high[32];
    std::snprintf(median, sizeof median, format, s.median);
    std::snprintf(low, sizeof low, format, s.min);
    std::snprintf(high, sizeof high, format, s.max);
    std::printf("  %-26s %10s   [%s .. %s]\n", label, median, low, high);
}

int Fail(const char* what) {
    std::fprintf(stderr, "pemblar-bench: %s\n", what);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    bool quick = false;
    bool soak = false;
    long long soakFrames = 100000;
    std::string jsonPath;
    int frames = 2000;
    int repeats = 5;
    std::string onlyCase;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quick") {
            quick = true;
        } else if (arg == "--json" && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (arg == "--frames" && i + 1 < argc) {
            frames = std::atoi(argv[++i]);
        } else if (arg == "--repeats" && i + 1 < argc) {
            repeats = std::atoi(argv[++i]);
        } else if (arg == "--case" && i + 1 < argc) {
            onlyCase = argv[++i];
        } else if (arg == "--soak") {
            soak = true;
            if (i + 1 < argc && argv[i + 1][0] != '-') soakFrames = std::atoll(argv[++i]);
        } else {
            std::fputs(kUsage, arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        }
    }
    if (quick) {
        frames = 100;
        repeats = 1;
    }
    if (frames <= 0 || repeats <= 0 || soakFrames <= 0) return Fail("counts must be positive");

    const std::vector<Case> cases = {
        {"320x240", {320, 240, 75, false}, 0},
        {"640x480", {640, 480, 75, false}, 1},
        {"1280x960", {1280, 960, 75, false}, 2},
        {"640x480 split", {640, 480, 75, true}, 1},
    };

    // Every camera is forked before the viewer starts a thread.
    std::vector<std::unique_ptr<bench::CameraProcess>> cameras;
    if (soak) {
        cameras.push_back(std::make_unique<bench::CameraProcess>());
        if (!cameras.back()->Start({320, 240, 75, false})) return Fail("no camera process");
    } else {
        for (const Case& c : cases) {
            cameras.push_back(std::make_unique<bench::CameraProcess>());
            if (!cameras.back()->Start(c.frames)) return Fail("no camera process");
        }
    }

    // A settings home of its own, so the viewer's history stays out of the user's.
    char home[] = "/tmp/pemblar-bench-XXXXXX";
    if (::mkdtemp(home) == nullptr) return Fail("no temporary folder");
    setenv("XDG_CONFIG_HOME", home, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int status = 0;
    {
        QApplication application(argc, argv);
        CWinApp app;
        AfxSetResourceTable(&kProgramResources);
        WSADATA data;
        if (!AfxSocketInit(&data)) return Fail("the socket layer did not start");

        if (soak) {
            status = bench::RunSoak(cameras[0]->Port(), soakFrames);
        } else {
            std::vector<Result> results;
            const int decodeRounds = quick ? 2 : 5;
            const int roundTrips = quick ? 50 : 300;
            for (size_t i = 0; i < cases.size(); ++i) {
                const Case& c = cases[i];
                if (!onlyCase.empty() && onlyCase != c.name) continue;
                Result r;
                r.name = c.name;
                const auto cycle = bench::MakeFrameCycle(c.frames, 30);
                size_t bytes = 0;
                for (const auto& jpeg : cycle) {
                    if (jpeg.size() > 200000) return Fail("a frame is larger than 200000 bytes");
                    bytes += jpeg.size();
                }
                r.meanFrameBytes = bytes / cycle.size();
                // The split camera is held to the ordinary camera's limit.
                const uint16_t limitPort = cameras[static_cast<size_t>(c.limitCase)]->Port();

                // Each repeat measures the limit right before and right after the viewer runs
                // and takes the mean of the two, so that both see the machine in the same state
                // even when its speed drifts during the run; the repeat's ratios come from that.
                const auto measureLimit = [&](LimitSample* sample) {
                    const double decodeSeconds =
                        bench::MedianCycleDecodeSeconds(cycle, decodeRounds);
                    const double roundTripSeconds =
                        bench::MedianRoundTripSeconds(limitPort, roundTrips, false);
                    const double quickAckSeconds =
                        bench::MedianRoundTripSeconds(cameras[i]->Port(), roundTrips, true);
                    if (decodeSeconds <= 0 || roundTripSeconds < 0 || quickAckSeconds < 0) {
                        return false;
                    }
                    *sample = {decodeSeconds * 1e3, roundTripSeconds * 1e3, quickAckSeconds * 1e3,
                               0};
                    return true;
                };
                std::vector<LimitSample> limits;
                std::vector<ViewSample> views;
                for (int k = 0; k < repeats; ++k) {
                    LimitSample before{}, after{};
                    if (!measureLimit(&before)) return Fail("the limit could not be measured");

                    bench::Viewer viewer;
                    if (!viewer.Open()) return Fail("the dialog could not be created");
                    const bench::StreamFigures f =
                        bench::MeasureStream(viewer, cameras[i]->Port(), quick ? 30 : 300, frames);
                    if (!f.ok) ++r.failures;
                    if (!measureLimit(&after)) return Fail("the limit could not be measured");

                    const LimitSample limit = MeanLimit(before, after);
                    limits.push_back(limit);
                    if (f.fps <= 0) continue;
                    views.push_back({f.fps, f.fps / limit.fps, f.cpuSecondsPerFrame * 1e3,
                                     f.cpuSecondsPerFrame * 1e3 / limit.decodeMs,
                                     f.uiCpuSecondsPerFrame * 1e3, f.cameraCpuSecondsPerFrame * 1e3,
                                     f.uiAllocationsPerFrame, f.cameraAllocationsPerFrame,
                                     f.otherAllocationsPerFrame});
                }
                r.decodeMs = SpreadOf(limits, &LimitSample::decodeMs);
                r.roundTripMs = SpreadOf(limits, &LimitSample::roundTripMs);
                r.roundTripQuickAckMs = SpreadOf(limits, &LimitSample::quickAckMs);
                r.limitFps = SpreadOf(limits, &LimitSample::fps);
                r.fps = SpreadOf(views, &ViewSample::fps);
                r.ratio = SpreadOf(views, &ViewSample::ratio);
                r.cpuMs = SpreadOf(views, &ViewSample::cpuMs);
                r.cpuPerDecode = SpreadOf(views, &ViewSample::cpuPerDecode);
                r.uiCpuMs = SpreadOf(views, &ViewSample::uiCpuMs);
                r.cameraCpuMs = SpreadOf(views, &ViewSample::cameraCpuMs);
                r.uiAllocs = SpreadOf(views, &ViewSample::uiAllocs);
                r.cameraAllocs = SpreadOf(views, &ViewSample::cameraAllocs);
                r.otherAllocs = SpreadOf(views, &ViewSample::otherAllocs);
                r.peakResidentKiB = bench::PeakResidentKiB();
                results.push_back(r);
            }

            std::printf("pemblar-bench: %d frames per repeat, %d repeats, medians [min .. max]%s\n",
                        frames, repeats,
                        bench::AllocationCountingActive() ? "" : " (allocations not counted)");
            for (const Result& r : results) {
                std::printf("%s (frame %zu bytes)\n", r.name.c_str(), r.meanFrameBytes);
                PrintSpread("limit: decode ms", r.decodeMs, "%.3f");
                PrintSpread("limit: round trip ms", r.roundTripMs, "%.3f");
                PrintSpread("  (with quick ack)", r.roundTripQuickAckMs, "%.3f");
                PrintSpread("limit fps", r.limitFps, "%.1f");
                PrintSpread("viewer fps", r.fps, "%.1f");
                PrintSpread("ratio", r.ratio, "%.3f");
                PrintSpread("CPU ms per frame", r.cpuMs, "%.3f");
                PrintSpread("CPU per frame / decode", r.cpuPerDecode, "%.2f");
                PrintSpread("  of which UI thread", r.uiCpuMs, "%.3f");
                PrintSpread("  of which camera thread", r.cameraCpuMs, "%.3f");
                PrintSpread("allocations/frame UI", r.uiAllocs, "%.2f");
                PrintSpread("allocations/frame camera", r.cameraAllocs, "%.2f");
                PrintSpread("allocations/frame other", r.otherAllocs, "%.2f");
                std::printf("  %-26s %10.1f MiB%s\n", "peak resident so far",
                            r.peakResidentKiB / 1024.0,
                            r.failures ? "  (some repeats failed)" : "");
            }
            if (!jsonPath.empty() && !WriteJson(jsonPath, results, frames, repeats)) {
                status = Fail("the JSON file could not be written");
            }
            for (const Result& r : results) {
                if (r.failures != 0) status = 1;
            }
            // The last line: the 640x480 case's ratio, or the one case asked for.
            const Result* last = nullptr;
            for (const Result& r : results) {
                if (last == nullptr || r.name == "640x480") last = &r;
            }
            if (last != nullptr)
                std::printf("ratio %s: %.3f\n", last->name.c_str(), last->ratio.median);
        }
    }
    std::filesystem::remove_all(home);
    return status;
}
