// pemblar-fuzz-seeds DIR: writes the fuzz targets' seed inputs into DIR/<target>/, made by the
// project's own code. Camera streams are recorded from the fake camera on loopback, each a whole
// connection as the viewer receives it; frames come from the fake camera's JPEG maker; stored
// history is made by the history's encoder and written to a settings file by its settings key.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "camera/camera_protocol.h"
#include "fakecamera/captioned_jpeg.h"
#include "fakecamera/fake_camera.h"
#include "fakecamera/tcp.h"
#include "history/connection_history.h"
#include "history/history_codec.h"
#include "history/settings_key.h"

namespace {

using fakecamera::Action;
using fakecamera::Fault;
using fakecamera::Script;
using fakecamera::Stage;
using fakecamera::Subsampling;

bool g_failed = false;

void WriteSeed(const QString& folder, const char* name, const QByteArray& bytes) {
    QDir().mkpath(folder);
    QFile file(folder + "/" + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "pemblar-fuzz-seeds: cannot write %s\n", qPrintable(file.fileName()));
        g_failed = true;
    }
}

QByteArray Bytes(const std::vector<uint8_t>& data) {
    return QByteArray(reinterpret_cast<const char*>(data.data()),
                      static_cast<qsizetype>(data.size()));
}

QByteArray Bytes(const std::string& data) {
    return QByteArray(data.data(), static_cast<qsizetype>(data.size()));
}

std::vector<uint8_t> SmallFrame(Subsampling subsampling, bool progressive, const char* caption) {
    return fakecamera::MakeCaptionedJpeg(16, 16, 50, subsampling, progressive, caption);
}

std::string Requests(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "0110";
    return text;
}

// One connection to the fake camera, as the viewer receives it: the handshake reply, the login
// reply and everything that follows `requests` image requests, until the camera closes. Unless
// the script ends the connection earlier, the camera closes when it waits for one more request.
QByteArray Record(Script script, int requests) {
    if (!script.fault.has_value())
        script.fault = Fault{Stage::kRequest, requests, 0, Action::kClose};
    fakecamera::FakeCamera camera(std::move(script));
    if (!camera.Start()) {
        g_failed = true;
        return {};
    }
    fakecamera::TcpConnection viewer = fakecamera::ConnectLoopback(camera.Port());
    std::string received = viewer.ReceiveExact(MESSAGE_PACKET_LENGTH);
    char auth[IMG_XFER_USER_AUTH_PKT_LEN];
    BuildAuthPacket(auth, u"admin", u"secret");
    if (received.size() == MESSAGE_PACKET_LENGTH && viewer.SendAll({auth, sizeof auth})) {
        received += viewer.ReceiveExact(MESSAGE_PACKET_LENGTH);
        viewer.SendAll(Requests(requests));
    }
    for (;;) {
        const std::string more = viewer.ReceiveExact(4096);
        received += more;
        if (more.size() < 4096) break;
    }
    camera.Stop();
    return Bytes(received);
}

void CameraStreamSeeds(const QString& folder) {
    auto small = [](int frame) {
        return SmallFrame(frame % 2 == 0 ? Subsampling::k420 : Subsampling::kGray, false,
                          fakecamera::FrameCounterCaption(frame).c_str());
    };
    Script frames;
    frames.payload = small;
    WriteSeed(folder, "two_frames", Record(frames, 2));

    Script full;
    full.handshakeReply = "0120";
    full.fault = Fault{Stage::kAuthPacket, 0, 0, Action::kClose};
    WriteSeed(folder, "server_full", Record(full, 0));

    Script refused;
    refused.authReply = "0302";
    refused.fault = Fault{Stage::kRequest, 0, 0, Action::kClose};
    WriteSeed(folder, "login_refused", Record(refused, 0));

    Script tooLong;
    tooLong.payload = small;
    tooLong.lengthText = [](int, size_t) { return std::string("00200001"); };
    tooLong.fault = Fault{Stage::kPayload, 0, 0, Action::kClose};
    WriteSeed(folder, "length_too_long", Record(tooLong, 1));

    Script cut;
    cut.payload = small;
    cut.fault = Fault{Stage::kPayload, 1, 100, Action::kClose};
    WriteSeed(folder, "payload_cut", Record(cut, 2));

    Script notJpeg;
    notJpeg.payload = [](int) { return std::vector<uint8_t>(64, 'x'); };
    WriteSeed(folder, "not_a_jpeg", Record(notJpeg, 1));
}

void FramePathSeeds(const QString& folder) {
    WriteSeed(folder, "baseline_420",
              Bytes(SmallFrame(Subsampling::k420, false, "2024-01-02 03:04:05")));
    WriteSeed(folder, "progressive_444",
              Bytes(SmallFrame(Subsampling::k444, true, "progressive frame")));
    WriteSeed(folder, "gray", Bytes(SmallFrame(Subsampling::kGray, false, "grey frame")));
    std::vector<uint8_t> cut = SmallFrame(Subsampling::k422, false, "cut frame");
    cut.resize(cut.size() / 2);
    WriteSeed(folder, "no_end_marker", Bytes(cut));
}

// The way byte of the history target (0: one unit per byte, 1: little-endian pairs, 2: a settings
// file) followed by its bytes.
void HistorySeeds(const QString& folder) {
    const CString ips = EncodeHistory({u"192.168.0.10", u"camera.local", u""});
    const CString ports = EncodeHistory({u"5000", u"80"});
    std::string units(1, '\0');
    for (int i = 0; i < ips.GetLength(); ++i) units += static_cast<char>(ips.GetString()[i]);
    WriteSeed(folder, "units", Bytes(units));

    std::string pairs(1, '\1');
    for (int i = 0; i < ports.GetLength(); ++i) {
        pairs += static_cast<char>(ports.GetString()[i] & 0xFF);
        pairs += static_cast<char>(ports.GetString()[i] >> 8);
    }
    WriteSeed(folder, "pairs", Bytes(pairs));

    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    {
        CHistoryKey key;
        key.WriteText(HISTORY_VALUE_IP, ips);
        key.WriteText(HISTORY_VALUE_PORT, ports);
    }
    QFile stored(home.path() + "/MyCompany/Pemblar.conf");
    if (!stored.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "pemblar-fuzz-seeds: the settings key wrote no file\n");
        g_failed = true;
        return;
    }
    WriteSeed(folder, "settings_file", QByteArray("\2") + stored.readAll());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: pemblar-fuzz-seeds DIR\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    CameraStreamSeeds(root + "/camera_stream");
    FramePathSeeds(root + "/frame_path");
    HistorySeeds(root + "/history_decoder");
    return g_failed ? 1 : 0;
}
