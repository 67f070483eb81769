// One connection of the fake camera, step by step, with the script's fault where it strikes.
#include "fakecamera/script_runner.h"

#include <algorithm>
#include <cstdio>

namespace fakecamera {
namespace {

constexpr size_t kHeaderLength = 32;
constexpr size_t kMessageLength = 4;
constexpr size_t kAuthPacketLength = 48;
constexpr char kImageRequest[] = "0110";

void PlaceField(std::string& header, size_t offset, size_t width, const std::string& text) {
    std::copy_n(text.begin(), std::min(width, text.size()),
                header.begin() + static_cast<std::ptrdiff_t>(offset));
}

class Runner {
public:
    Runner(TcpConnection& connection, const Script& script, const StopSignal& stop,
           const StopSignal& resetStalls, const ConnectionEvents& events)
        : m_connection(connection),
          m_script(script),
          m_stop(stop),
          m_resetStalls(resetStalls),
          m_events(events) {}

    void Run();

private:
    const Fault* FaultAt(Stage stage, int frame) const;
    bool Send(Stage stage, int frame, const std::string& bytes);
    bool Receive(Stage stage, int frame, size_t length, std::string* bytes);
    bool SendFrame(int frame);
    void Act(Action action);
    std::vector<uint8_t> Payload(int frame);

    TcpConnection& m_connection;
    const Script& m_script;
    const StopSignal& m_stop;
    const StopSignal& m_resetStalls;
    const ConnectionEvents& m_events;
    std::vector<uint8_t> m_generatedBase;  // the generated picture, its caption rewritten per frame
};

const Fault* Runner::FaultAt(Stage stage, int frame) const {
    if (!m_script.fault.has_value() || m_script.fault->stage != stage) return nullptr;
    const bool perFrame =
        stage == Stage::kRequest || stage == Stage::kHeader || stage == Stage::kPayload;
    if (perFrame && m_script.fault->frame != frame) return nullptr;
    return &*m_script.fault;
}

void Runner::Act(Action action) {
    switch (action) {
        case Action::kClose:
            m_connection.Close();
            break;
        case Action::kReset:
            m_connection.Reset();
            break;
        case Action::kStall:
            if (m_connection.WaitUntilDelivered(&m_stop)) {
                if (m_events.stalled) m_events.stalled();
                const bool peerClosed = m_connection.WaitForPeerClose(&m_stop, &m_resetStalls);
                if (!peerClosed && m_resetStalls.Raised()) m_connection.Reset();
            }
            break;
    }
}

bool Runner::Send(Stage stage, int frame, const std::string& bytes) {
    const Fault* fault = FaultAt(stage, frame);
    if (fault == nullptr) return m_connection.SendAll(bytes, &m_stop, m_script.trickle);
    const size_t before = std::min(fault->afterBytes, bytes.size());
    if (m_connection.SendAll(std::string_view(bytes).substr(0, before), &m_stop,
                             m_script.trickle)) {
        Act(fault->action);
    }
    return false;
}

bool Runner::Receive(Stage stage, int frame, size_t length, std::string* bytes) {
    const Fault* fault = FaultAt(stage, frame);
    if (fault == nullptr) {
        *bytes = m_connection.ReceiveExact(length, &m_stop);
        return bytes->size() == length;
    }
    const size_t before = std::min(fault->afterBytes, length);
    if (m_connection.ReceiveExact(before, &m_stop).size() == before) Act(fault->action);
    return false;
}

std::vector<uint8_t> Runner::Payload(int frame) {
    if (m_script.payload) return m_script.payload(frame);
    const GeneratedFrames& g = m_script.generated;
    const std::string caption = g.caption ? g.caption(frame) : FrameCounterCaption(frame);
    if (m_generatedBase.empty()) {
        m_generatedBase =
            MakeCaptionedJpeg(g.width, g.height, g.quality, g.subsampling, g.progressive, caption);
        return m_generatedBase;
    }
    std::vector<uint8_t> payload = m_generatedBase;
    std::string text = caption.substr(0, kCaptionLength);
    text.resize(kCaptionLength, ' ');
    std::copy(text.begin(), text.end(), payload.begin() + kCaptionOffset);
    return payload;
}

bool Runner::SendFrame(int frame) {
    const std::vector<uint8_t> payloadBytes = Payload(frame);
    const std::string payload(payloadBytes.begin(), payloadBytes.end());
    const std::string header = BuildHeader(m_script, frame, payload.size());
    if (m_script.splitHeaderAndPayload) {
        return Send(Stage::kHeader, frame, header) && Send(Stage::kPayload, frame, payload);
    }
    // One send: a fault in either part strikes at its place in the joined bytes.
    const std::string joined = header + payload;
    const Fault* fault = FaultAt(Stage::kHeader, frame);
    size_t offset = 0;
    if (fault != nullptr) {
        offset = std::min(fault->afterBytes, header.size());
    } else if ((fault = FaultAt(Stage::kPayload, frame)) != nullptr) {
        offset = header.size() + std::min(fault->afterBytes, payload.size());
    }
    if (fault == nullptr) return m_connection.SendAll(joined, &m_stop, m_script.trickle);
    if (m_connection.SendAll(std::string_view(joined).substr(0, offset), &m_stop,
                             m_script.trickle)) {
        Act(fault->action);
    }
    return false;
}

void Runner::Run() {
    if (!Send(Stage::kHandshake, 0, m_script.handshakeReply)) return;
    std::string auth;
    if (!Receive(Stage::kAuthPacket, 0, kAuthPacketLength, &auth)) return;
    if (m_events.authPacketReceived) m_events.authPacketReceived(auth);
    const std::string reply =
        m_script.authReplyFor ? m_script.authReplyFor(auth) : m_script.authReply;
    if (!Send(Stage::kAuthReply, 0, reply)) return;
    for (int frame = 0;; ++frame) {
        if (m_script.frameLimit >= 0 && frame >= m_script.frameLimit) {
            Act(Action::kStall);
            return;
        }
        std::string message;
        for (;;) {
            if (!Receive(Stage::kRequest, frame, kMessageLength, &message)) return;
            if (message == kImageRequest) break;
            if (m_events.otherMessageReceived) m_events.otherMessageReceived();
        }
        if (m_events.requestReceived) m_events.requestReceived();
        if (!SendFrame(frame)) return;
        if (m_events.frameSent) m_events.frameSent();
    }
}

}  // namespace

std::string BuildHeader(const Script& script, int frame, size_t payloadSize) {
    std::string header(kHeaderLength, '\0');
    char filler[21];
    std::snprintf(filler, sizeof filler, "FAKECAM%013d", frame + 1);
    PlaceField(header, 0, 20, filler);
    PlaceField(header, 20, 4, script.codeText);
    std::string length;
    if (script.lengthText) {
        length = script.lengthText(frame, payloadSize);
    } else {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08zu", payloadSize);
        length = digits;
    }
    PlaceField(header, 24, 8, length);
    return header;
}

void RunScript(TcpConnection& connection, const Script& script, const StopSignal& stop,
               const StopSignal& resetStalls, const ConnectionEvents& events) {
    Runner(connection, script, stop, resetStalls, events).Run();
}

}  // namespace fakecamera
