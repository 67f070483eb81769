// Runs one connection's script: handshake, authentication, then one frame per request.
#pragma once

#include <functional>
#include <string>

#include "fakecamera/fake_camera.h"
#include "fakecamera/tcp.h"

namespace fakecamera {

// What a connection reports while it runs; called on the connection's own thread.
struct ConnectionEvents {
    std::function<void(const std::string& packet)> authPacketReceived;
    std::function<void()> requestReceived;
    std::function<void()> otherMessageReceived;
    std::function<void()> frameSent;
    std::function<void()> stalled;
};

/* Serves the connection by the script until it ends, fails, faults or stop is raised. A stall
   ends in a reset once resetStalls is raised. */
void RunScript(TcpConnection& connection, const Script& script, const StopSignal& stop,
               const StopSignal& resetStalls, const ConnectionEvents& events);

/* The 32-byte header of a frame: filler, code field, length field. */
std::string BuildHeader(const Script& script, int frame, size_t payloadSize);

}  // namespace fakecamera
