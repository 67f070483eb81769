// pemblar-bench: the speed, CPU cost, memory and heap traffic of the real frame road (camera
// thread, frame arrival, decode, paint, request) against a fake camera in another process on
// loopback, as ratios to the limit of one frame (its decode plus one round trip); and a soak.
#include <sys/types.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/alloc_counter.h"
#include "bench/camera_process.h"
#include "bench/limit.h"
#include "bench/measure.h"
#include "bench/soak.h"
#include "bench/viewer.h"
#include "camera/camera_protocol.h"
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

// One repeat: its limit (the mean of the measurements right before and right after its viewer
// run; limitFps is 1 / (decode + round trip)) and its viewer run with the ratios to that limit.
struct Sample {
    double decodeMs, roundTripMs, quickAckMs, limitFps;
    double fps, ratio, cpuMs, cpuPerDecode, uiCpuMs, cameraCpuMs, uiAllocs, cameraAllocs,
        otherAllocs;
};

struct Result {
    std::string name;
    size_t meanFrameBytes = 0;
    std::vector<Sample> limits;  // every repeat
    std::vector<Sample> views;   // the repeats whose stream ran
    long peakResidentKiB = 0;
    int failures = 0;
};

// The median, minimum and maximum of one figure over the repeats; all zero when there are none.
struct Spread {
    double median = 0, min = 0, max = 0;
};

Spread SpreadOf(const std::vector<Sample>& samples, double Sample::*field) {
    std::vector<double> values;
    for (const Sample& sample : samples) values.push_back(sample.*field);
    Spread s;
    if (values.empty()) return s;
    s.median = bench::Median(values);
    s.min = *std::min_element(values.begin(), values.end());
    s.max = *std::max_element(values.begin(), values.end());
    return s;
}

// Every figure of a case as the table shows it and the JSON names it, in the table's order.
struct Figure {
    const char* label;
    const char* format;
    const char* key;
    double Sample::*field;
    bool ofLimit;  // taken over every repeat, not only those whose stream ran
};
const Figure kFigures[] = {
    {"limit: decode ms", "%.3f", "decode_ms", &Sample::decodeMs, true},
    {"limit: round trip ms", "%.3f", "round_trip_ms", &Sample::roundTripMs, true},
    {"  (with quick ack)", "%.3f", "round_trip_quickack_ms", &Sample::quickAckMs, true},
    {"limit fps", "%.1f", "limit_fps", &Sample::limitFps, true},
    {"viewer fps", "%.1f", "fps", &Sample::fps, false},
    {"ratio", "%.3f", "ratio", &Sample::ratio, false},
    {"CPU ms per frame", "%.3f", "cpu_ms_per_frame", &Sample::cpuMs, false},
    {"CPU per frame / decode", "%.2f", "cpu_per_decode", &Sample::cpuPerDecode, false},
    {"  of which UI thread", "%.3f", "ui_cpu_ms_per_frame", &Sample::uiCpuMs, false},
    {"  of which camera thread", "%.3f", "camera_cpu_ms_per_frame", &Sample::cameraCpuMs, false},
    {"allocations/frame UI", "%.2f", "ui_allocations_per_frame", &Sample::uiAllocs, false},
    {"allocations/frame camera", "%.2f", "camera_allocations_per_frame", &Sample::cameraAllocs,
     false},
    {"allocations/frame other", "%.2f", "other_allocations_per_frame", &Sample::otherAllocs, false},
};

Spread SpreadOf(const Result& r, const Figure& f) {
    return SpreadOf(f.ofLimit ? r.limits : r.views, f.field);
}

// Prints the table; the last line is the 640x480 case's ratio, or that of the one case run.
void PrintResults(const std::vector<Result>& results, int frames, int repeats) {
    std::printf("pemblar-bench: %d frames per repeat, %d repeats, medians [min .. max]%s\n", frames,
                repeats, bench::AllocationCountingActive() ? "" : " (allocations not counted)");
    for (const Result& r : results) {
        std::printf("%s (frame %zu bytes)\n", r.name.c_str(), r.meanFrameBytes);
        for (const Figure& f : kFigures) {
            const Spread s = SpreadOf(r, f);
            char median[32], low[32], high[32];
            std::snprintf(median, sizeof median, f.format, s.median);
            std::snprintf(low, sizeof low, f.format, s.min);
            std::snprintf(high, sizeof high, f.format, s.max);
            std::printf("  %-26s %10s   [%s .. %s]\n", f.label, median, low, high);
        }
        std::printf("  %-26s %10.1f MiB%s\n", "peak resident so far", r.peakResidentKiB / 1024.0,
                    r.failures ? "  (some repeats failed)" : "");
    }
    const Result* last = nullptr;
    for (const Result& r : results) {
        if (last == nullptr || r.name == "640x480") last = &r;
    }
    if (last != nullptr) {
        std::printf("ratio %s: %.3f\n", last->name.c_str(),
                    SpreadOf(last->views, &Sample::ratio).median);
    }
}

// Writes the results as JSON; false when the file cannot be written.
bool WriteJson(const std::string& path, const std::vector<Result>& results, int frames,
               int repeats) {
    QJsonArray cases;
    for (const Result& r : results) {
        QJsonObject object{{"name", QString::fromStdString(r.name)},
                           {"mean_frame_bytes", static_cast<qint64>(r.meanFrameBytes)},
                           {"peak_resident_kib", static_cast<qint64>(r.peakResidentKiB)},
                           {"failed_repeats", r.failures}};
        for (const Figure& f : kFigures) {
            const Spread s = SpreadOf(r, f);
            object.insert(f.key, QJsonObject{{"median", s.median}, {"min", s.min}, {"max", s.max}});
        }
        cases.append(object);
    }
    const QJsonObject root{{"frames_per_repeat", frames},
                           {"repeats", repeats},
                           {"allocation_counting", bench::AllocationCountingActive()},
                           {"cases", cases}};
    QFile file(QString::fromStdString(path));
    const QByteArray text = QJsonDocument(root).toJson();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text) == text.size() && file.flush();
}

struct Case {
    const char* name;
    bench::FrameSet frames;
    int limitCase;  // index of the case whose limit applies
};

int Fail(const char* what) {
    std::fprintf(stderr, "pemblar-bench: %s\n", what);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const QCommandLineOption helpOption("help"), quickOption("quick"), soakOption("soak");
    const QCommandLineOption jsonOption("json", QString(), "FILE");
    const QCommandLineOption framesOption("frames", QString(), "N", "2000");
    const QCommandLineOption repeatsOption("repeats", QString(), "N", "5");
    const QCommandLineOption caseOption("case", QString(), "NAME");
    QCommandLineParser parser;
    parser.addOptions(
        {helpOption, quickOption, soakOption, jsonOption, framesOption, repeatsOption, caseOption});
    const bool parsed = parser.parse(arguments);
    const bool soak = parser.isSet(soakOption);
    // The only word that is no option is the soak's frame count.
    const QStringList words = parser.positionalArguments();
    if (!parsed || parser.isSet(helpOption) || words.size() > (soak ? 1 : 0)) {
        const bool help = parsed && parser.isSet(helpOption);
        std::fputs(kUsage, help ? stdout : stderr);
        return help ? 0 : 2;
    }
    // A count that is no number reads as 0 and is refused with the others that are not positive.
    const bool quick = parser.isSet(quickOption);
    const long long soakFrames = words.isEmpty() ? 100000 : words[0].toLongLong();
    const std::string jsonPath = parser.value(jsonOption).toStdString();
    const std::string onlyCase = parser.value(caseOption).toStdString();
    const int frames = quick ? 100 : parser.value(framesOption).toInt();
    const int repeats = quick ? 1 : parser.value(repeatsOption).toInt();
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
                    if (jpeg.size() > MAX_IMAGE_DATA_LENGTH) {
                        return Fail("a frame is larger than the largest image the viewer takes");
                    }
                    bytes += jpeg.size();
                }
                r.meanFrameBytes = bytes / cycle.size();
                // The split camera is held to the ordinary camera's limit.
                const uint16_t limitPort = cameras[static_cast<size_t>(c.limitCase)]->Port();

                // Each repeat measures the limit right before and right after the viewer runs
                // and takes the mean of the two, so that both see the machine in the same state
                // even when its speed drifts during the run; the repeat's ratios come from that.
                const auto measureLimit = [&](Sample* sample) {
                    const double decodeSeconds =
                        bench::MedianCycleDecodeSeconds(cycle, decodeRounds);
                    const double roundTripSeconds =
                        bench::MedianRoundTripSeconds(limitPort, roundTrips, false);
                    const double quickAckSeconds =
                        bench::MedianRoundTripSeconds(cameras[i]->Port(), roundTrips, true);
                    if (decodeSeconds <= 0 || roundTripSeconds < 0 || quickAckSeconds < 0) {
                        return false;
                    }
                    sample->decodeMs = decodeSeconds * 1e3;
                    sample->roundTripMs = roundTripSeconds * 1e3;
                    sample->quickAckMs = quickAckSeconds * 1e3;
                    return true;
                };
                for (int k = 0; k < repeats; ++k) {
                    Sample before{}, after{};
                    if (!measureLimit(&before)) return Fail("the limit could not be measured");

                    bench::Viewer viewer;
                    if (!viewer.Open()) return Fail("the dialog could not be created");
                    const bench::StreamFigures f =
                        bench::MeasureStream(viewer, cameras[i]->Port(), quick ? 30 : 300, frames);
                    if (!f.ok) ++r.failures;
                    if (!measureLimit(&after)) return Fail("the limit could not be measured");

                    Sample s{};
                    s.decodeMs = (before.decodeMs + after.decodeMs) / 2;
                    s.roundTripMs = (before.roundTripMs + after.roundTripMs) / 2;
                    s.quickAckMs = (before.quickAckMs + after.quickAckMs) / 2;
                    s.limitFps = 1e3 / (s.decodeMs + s.roundTripMs);
                    r.limits.push_back(s);
                    if (f.fps <= 0) continue;
                    s.fps = f.fps;
                    s.ratio = f.fps / s.limitFps;
                    s.cpuMs = f.cpuSecondsPerFrame * 1e3;
                    s.cpuPerDecode = s.cpuMs / s.decodeMs;
                    s.uiCpuMs = f.uiCpuSecondsPerFrame * 1e3;
                    s.cameraCpuMs = f.cameraCpuSecondsPerFrame * 1e3;
                    s.uiAllocs = f.uiAllocationsPerFrame;
                    s.cameraAllocs = f.cameraAllocationsPerFrame;
                    s.otherAllocs = f.otherAllocationsPerFrame;
                    r.views.push_back(s);
                }
                r.peakResidentKiB = bench::PeakResidentKiB();
                results.push_back(r);
            }

            PrintResults(results, frames, repeats);
            if (!jsonPath.empty() && !WriteJson(jsonPath, results, frames, repeats)) {
                status = Fail("the JSON file could not be written");
            }
            for (const Result& r : results) {
                if (r.failures != 0) status = 1;
            }
        }
    }
    std::filesystem::remove_all(home);
    return status;
}
