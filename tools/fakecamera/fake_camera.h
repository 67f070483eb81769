// A scriptable camera on loopback: it answers the viewer's handshake, authentication and image
// requests the way its script says, including every way of answering wrongly, and records what
// the viewer sent.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fakecamera/captioned_jpeg.h"
#include "fakecamera/tcp.h"

namespace fakecamera {

// The parts of a connection, in order; a fault can strike at any byte of any of them.
enum class Stage {
    kHandshake,   // sending the handshake reply
    kAuthPacket,  // receiving the 48-byte authentication packet
    kAuthReply,   // sending the reply to it
    kRequest,     // receiving a frame's 4-byte request
    kHeader,      // sending a frame's 32-byte header
    kPayload,     // sending a frame's payload
};

enum class Action {
    kClose,  // orderly close
    kReset,  // abortive close (the viewer sees a reset)
    kStall,  // never answer again; the connection stays open until the viewer closes it
};

struct Fault {
    Stage stage = Stage::kHandshake;
    int frame = 0;          // which frame (0-based) for kRequest, kHeader and kPayload
    size_t afterBytes = 0;  // bytes of the stage transferred before the action
    Action action = Action::kClose;
};

// The frames a script serves when it supplies no payloads of its own.
struct GeneratedFrames {
    int width = 160;
    int height = 120;
    int quality = 80;
    Subsampling subsampling = Subsampling::k420;
    bool progressive = false;
    // The 19-character caption of frame i; by default "frame " and a 13-digit counter.
    std::function<std::string(int frame)> caption;
};

/* "frame 0000000000001" for frame 0: the default caption, counting from 1. */
std::string FrameCounterCaption(int frame);
/* A timestamp caption "YYYY-MM-DD HH:MM:SS" of the local time. */
std::string TimestampCaption(int frame);

struct Script {
    std::string handshakeReply = "0121";  // any bytes, sent as they are
    std::string authReply = "0301";       // any bytes, sent as they are
    // When set, the reply to each authentication packet (48 bytes) instead of authReply.
    std::function<std::string(const std::string& authPacket)> authReplyFor;
    // The payload of frame i; empty function: generated frames.
    std::function<std::vector<uint8_t>(int frame)> payload;
    GeneratedFrames generated;
    // Header bytes 20..23 and 24..31: a text is placed at its field's start, cut to the field
    // and padded with zero bytes. Empty lengthText: the payload size as "%08d".
    std::string codeText = "0130";
    std::function<std::string(int frame, size_t payloadSize)> lengthText;
    bool splitHeaderAndPayload = false;  // two sends (header, then payload) instead of one
    bool trickle = false;                // one byte per send, for every reply
    std::optional<Fault> fault;
    int frameLimit = -1;  // frames served before stalling; -1: no limit
};

class FakeCamera {
public:
    FakeCamera();
    explicit FakeCamera(Script script);
    ~FakeCamera();
    FakeCamera(const FakeCamera&) = delete;
    FakeCamera& operator=(const FakeCamera&) = delete;

    /* Listens on 127.0.0.1 (port 0: one the system chooses) and serves from its own thread. */
    bool Start(uint16_t port = 0);
    /* Ends every connection and joins every thread; the camera can be started again. */
    void Stop();
    uint16_t Port() const { return m_listener.Port(); }

    /* The script of connections accepted from now on. */
    void SetScript(Script script);
    /* Ends every stall, present and later, with a reset (so a test chooses when it strikes). */
    void ResetStalledConnections();
    /* More simultaneous viewers than this are answered "0120" and closed; 0: no limit. */
    void SetMaxViewers(int count);

    std::vector<std::string> AuthPackets() const;  // every authentication packet, 48 bytes each
    int RequestCount() const { return m_requests.load(); }            // "0110" packets received
    int OtherMessageCount() const { return m_otherMessages.load(); }  // any other 4 bytes
    int ConnectionCount() const { return m_connections.load(); }      // connections accepted
    int ActiveConnections() const { return m_active.load(); }
    int FramesSent() const { return m_framesSent.load(); }  // headers and payloads sent whole
    int StallCount() const { return m_stalls.load(); }  // stalls reached, their bytes all delivered
    /* The viewer's port of the latest accepted connection; 0 before the first. */
    uint16_t LastPeerPort() const { return m_lastPeerPort.load(); }

private:
    struct Server;

    void AcceptLoop();
    void Serve(TcpConnection connection, const Script& script);
    void ReapFinishedServers();

    mutable std::mutex m_lock;
    Script m_script;
    int m_maxViewers = 0;
    std::vector<std::string> m_authPackets;
    std::vector<std::unique_ptr<Server>> m_servers;

    TcpListener m_listener;
    std::unique_ptr<StopSignal> m_stop;
    std::unique_ptr<StopSignal> m_resetStalls;
    std::thread m_acceptThread;

    std::atomic<int> m_requests{0};
    std::atomic<int> m_otherMessages{0};
    std::atomic<int> m_connections{0};
    std::atomic<int> m_active{0};
    std::atomic<int> m_framesSent{0};
    std::atomic<int> m_stalls{0};
    std::atomic<uint16_t> m_lastPeerPort{0};
};

}  // namespace fakecamera
