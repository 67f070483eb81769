// The fake camera: an accepting thread and one thread per connection.
#include "fakecamera/fake_camera.h"

#include <cstdio>
#include <ctime>

#include "fakecamera/script_runner.h"

namespace fakecamera {

// The thread that serves one viewer's connection.
struct FakeCamera::Server {
    std::thread thread;
    std::atomic<bool> finished{false};
};

std::string FrameCounterCaption(int frame) {
    char caption[32];
    std::snprintf(caption, sizeof caption, "frame %013d", frame + 1);
    return caption;
}

std::string TimestampCaption(int) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char caption[32];
    std::strftime(caption, sizeof caption, "%Y-%m-%d %H:%M:%S", &local);
    return caption;
}

FakeCamera::FakeCamera() = default;

FakeCamera::FakeCamera(Script script) : m_script(std::move(script)) {}

FakeCamera::~FakeCamera() {
    Stop();
}

bool FakeCamera::Start(uint16_t port) {
    Stop();
    m_stop = std::make_unique<StopSignal>();
    m_resetStalls = std::make_unique<StopSignal>();
    if (!m_listener.Listen(port)) return false;
    m_acceptThread = std::thread(&FakeCamera::AcceptLoop, this);
    return true;
}

void FakeCamera::Stop() {
    if (m_stop == nullptr) return;
    m_stop->Raise();
    if (m_acceptThread.joinable()) m_acceptThread.join();
    std::vector<std::unique_ptr<Server>> servers;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        servers.swap(m_servers);
    }
    for (auto& server : servers) server->thread.join();
    m_listener.Close();
    m_stop.reset();
    m_resetStalls.reset();
}

void FakeCamera::ResetStalledConnections() {
    if (m_resetStalls != nullptr) m_resetStalls->Raise();
}

void FakeCamera::SetScript(Script script) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_script = std::move(script);
}

void FakeCamera::SetMaxViewers(int count) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_maxViewers = count;
}

std::vector<std::string> FakeCamera::AuthPackets() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_authPackets;
}

void FakeCamera::ReapFinishedServers() {
    for (auto it = m_servers.begin(); it != m_servers.end();) {
        if ((*it)->finished.load()) {
            (*it)->thread.join();
            it = m_servers.erase(it);
        } else {
            ++it;
        }
    }
}

void FakeCamera::AcceptLoop() {
    for (;;) {
        TcpConnection connection = m_listener.Accept(m_stop.get());
        if (!connection.Valid()) return;
        m_connections.fetch_add(1);
        m_lastPeerPort.store(connection.PeerPort());

        std::lock_guard<std::mutex> lock(m_lock);
        ReapFinishedServers();
        const bool full = m_maxViewers > 0 && m_active.load() >= m_maxViewers;
        m_active.fetch_add(1);
        auto server = std::make_unique<Server>();
        Server* const raw = server.get();
        server->thread = std::thread(
            [this, raw, full, script = m_script](TcpConnection viewer) mutable {
                if (full) {
                    viewer.SendAll("0120", m_stop.get());
                    viewer.Close();
                } else {
                    Serve(std::move(viewer), script);
                }
                m_active.fetch_sub(1);
                raw->finished.store(true);
            },
            std::move(connection));
        m_servers.push_back(std::move(server));
    }
}

void FakeCamera::Serve(TcpConnection connection, const Script& script) {
    ConnectionEvents events;
    events.authPacketReceived = [this](const std::string& packet) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_authPackets.push_back(packet);
    };
    events.requestReceived = [this] { m_requests.fetch_add(1); };
    events.otherMessageReceived = [this] { m_otherMessages.fetch_add(1); };
    events.frameSent = [this] { m_framesSent.fetch_add(1); };
    events.stalled = [this] { m_stalls.fetch_add(1); };
    RunScript(connection, script, *m_stop, *m_resetStalls, events);
}

}  // namespace fakecamera
