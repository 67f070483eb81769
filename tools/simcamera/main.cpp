// pemblar-camera: a simulated network camera on loopback, for demos and tests. It serves a moving
// picture (or the JPEG files of a folder) with a timestamp caption, to several viewers at once,
// and can misbehave at every step on command.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fakecamera/fake_camera.h"
#include "simcamera/moving_picture.h"

namespace {

const char kUsage[] = R"(Usage: pemblar-camera [options]

A simulated network camera on 127.0.0.1. It answers the viewer's handshake and login, then one
JPEG frame per image request, each with a 19-character caption at bytes 24 to 42.

Picture
  --port N            listen on port N (default 5555; 0 lets the system choose, and prints it)
  --size WxH          size of the generated moving picture (default 320x240)
  --quality Q         JPEG quality 1..100 (default 75)
  --folder DIR        serve the JPEG files of DIR (sorted by name, in a loop) instead
  --caption KIND      "timestamp" (default) or "counter"

Viewers
  --id ID             require this login ID (default: any ID is accepted)
  --password PW       require this password (default: any password is accepted)
  --max-viewers N     viewers served at once; more are answered SERVER_FULL (default 4)

Misbehaviour (for tests and demos)
  --handshake TEXT    the 4 bytes sent on connect (default 0121, SERVER_READY; 0120 is SERVER_FULL)
  --auth-reply TEXT   the 4 bytes answering the login (default 0301; 0302 refuses, 9000 invalid)
  --header-code TEXT  header bytes 20..23 (default 0130, IMAGE_OK)
  --length TEXT       header bytes 24..31 instead of the payload's true length
  --split             send each header and its payload with two separate sends
  --trickle           send every reply one byte at a time
  --frames N          serve N frames per connection, then stall
  --fault STAGE:FRAME:BYTES:ACTION
                      at frame FRAME, after BYTES bytes of STAGE, do ACTION;
                      STAGE: handshake, auth, auth-reply, request, header, payload;
                      ACTION: close, reset, stall
  --help              this text

Stop it with Ctrl-C (SIGINT) or SIGTERM.
)";

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

bool ParseStage(const std::string& text, fakecamera::Stage* stage) {
    using fakecamera::Stage;
    static const std::pair<const char*, Stage> kStages[] = {
        {"handshake", Stage::kHandshake}, {"auth", Stage::kAuthPacket},
        {"auth-reply", Stage::kAuthReply}, {"request", Stage::kRequest},
        {"header", Stage::kHeader},       {"payload", Stage::kPayload},
    };
    for (const auto& [name, value] : kStages) {
        if (text == name) {
            *stage = value;
            return true;
        }
    }
    return false;
}

bool ParseAction(const std::string& text, fakecamera::Action* action) {
    using fakecamera::Action;
    if (text == "close") *action = Action::kClose;
    else if (text == "reset") *action = Action::kReset;
    else if (text == "stall") *action = Action::kStall;
    else return false;
    return true;
}

bool ParseFault(const std::string& text, fakecamera::Fault* fault) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t colon; (colon = text.find(':', start)) != std::string::npos; start = colon + 1) {
        parts.push_back(text.substr(start, colon - start));
    }
    parts.push_back(text.substr(start));
    if (parts.size() != 4 || !ParseStage(parts[0], &fault->stage) ||
        !ParseAction(parts[3], &fault->action)) {
        return false;
    }
    fault->frame = std::atoi(parts[1].c_str());
    fault->afterBytes = static_cast<size_t>(std::strtoul(parts[2].c_str(), nullptr, 10));
    return true;
}

std::vector<std::vector<uint8_t>> LoadFolder(const std::string& folder) {
    std::vector<std::filesystem::path> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".jpg" || ext == ".jpeg" || ext == ".JPG")) {
            paths.push_back(entry.path());
        }
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::vector<uint8_t>> frames;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
            frames.push_back(std::move(bytes));
        }
    }
    return frames;
}

struct Options {
    uint16_t port = 5555;
    int width = 320;
    int height = 240;
    int quality = 75;
    std::string folder;
    bool counterCaption = false;
    std::string id;
    std::string password;
    bool requireLogin = false;
    int maxViewers = 4;
    fakecamera::Script script;
};

// The value after an option, or exits with the usage when there is none.
const char* Value(int argc, char** argv, int* i) {
    if (*i + 1 >= argc) {
        std::fprintf(stderr, "pemblar-camera: %s needs a value\n%s", argv[*i], kUsage);
        std::exit(2);
    }
    return argv[++*i];
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (arg == "--port") {
            o->port = static_cast<uint16_t>(std::atoi(Value(argc, argv, &i)));
        } else if (arg == "--size") {
            if (std::sscanf(Value(argc, argv, &i), "%dx%d", &o->width, &o->height) != 2) return false;
        } else if (arg == "--quality") {
            o->quality = std::atoi(Value(argc, argv, &i));
        } else if (arg == "--folder") {
            o->folder = Value(argc, argv, &i);
        } else if (arg == "--caption") {
            o->counterCaption = std::string(Value(argc, argv, &i)) == "counter";
        } else if (arg == "--id") {
            o->id = Value(argc, argv, &i);
            o->requireLogin = true;
        } else if (arg == "--password") {
            o->password = Value(argc, argv, &i);
            o->requireLogin = true;
        } else if (arg == "--max-viewers") {
            o->maxViewers = std::atoi(Value(argc, argv, &i));
        } else if (arg == "--handshake") {
            o->script.handshakeReply = Value(argc, argv, &i);
        } else if (arg == "--auth-reply") {
            o->script.authReply = Value(argc, argv, &i);
        } else if (arg == "--header-code") {
            o->script.codeText = Value(argc, argv, &i);
        } else if (arg == "--length") {
            const std::string text = Value(argc, argv, &i);
            o->script.lengthText = [text](int, size_t) { return text; };
        } else if (arg == "--split") {
            o->script.splitHeaderAndPayload = true;
        } else if (arg == "--trickle") {
            o->script.trickle = true;
        } else if (arg == "--frames") {
            o->script.frameLimit = std::atoi(Value(argc, argv, &i));
        } else if (arg == "--fault") {
            fakecamera::Fault fault;
            if (!ParseFault(Value(argc, argv, &i), &fault)) return false;
            o->script.fault = fault;
        } else {
            std::fprintf(stderr, "pemblar-camera: unknown option %s\n", arg.c_str());
            return false;
        }
    }
    return o->width > 0 && o->height > 0 && o->quality >= 1 && o->quality <= 100;
}

// The text of a 16-byte field of the authentication packet, up to its first zero byte.
std::string FieldText(const std::string& packet, size_t offset) {
    const std::string field = packet.substr(offset, 16);
    return field.substr(0, field.find('\0'));
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    fakecamera::Script& script = options.script;
    auto captionOf = options.counterCaption ? fakecamera::FrameCounterCaption
                                            : fakecamera::TimestampCaption;
    if (!options.folder.empty()) {
        auto files = std::make_shared<std::vector<std::vector<uint8_t>>>(LoadFolder(options.folder));
        if (files->empty()) {
            std::fprintf(stderr, "pemblar-camera: no JPEG files in %s\n", options.folder.c_str());
            return 1;
        }
        script.payload = [files, captionOf](int frame) {
            return fakecamera::InsertCaption((*files)[static_cast<size_t>(frame) % files->size()],
                                             captionOf(frame));
        };
    } else {
        const int width = options.width, height = options.height, quality = options.quality;
        script.payload = [=](int frame) {
            return fakecamera::InsertCaption(simcamera::MovingPicture(frame, width, height, quality),
                                             captionOf(frame));
        };
    }
    if (options.requireLogin) {
        const std::string id = options.id, password = options.password, accepted = script.authReply;
        script.authReplyFor = [=](const std::string& packet) {
            const bool ok = FieldText(packet, 16) == id.substr(0, 16) &&
                            FieldText(packet, 32) == password.substr(0, 16);
            return ok ? accepted : std::string("0302");
        };
    }

    fakecamera::FakeCamera camera(script);
    camera.SetMaxViewers(options.maxViewers);
    if (!camera.Start(options.port)) {
        std::fprintf(stderr, "pemblar-camera: cannot listen on 127.0.0.1:%u\n", options.port);
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("pemblar-camera listening on 127.0.0.1:%u\n", camera.Port());
    std::fflush(stdout);
    while (!g_stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    camera.Stop();
    std::printf("pemblar-camera stopped after %d connections, %d frames\n", camera.ConnectionCount(),
                camera.FramesSent());
    return 0;
}
