#include "test_camera_owner.h"

#include "support/blocking_probe.h"

TestCameraOwner::TestCameraOwner() {
    BeginConnection();
}

void TestCameraOwner::BeginConnection() {
    std::lock_guard<std::mutex> lock(m_lock);
    ++m_current;
}

DWORD TestCameraOwner::GetConnectionTicket() {
    cameraThreadId.store(test_support::KernelThreadId());
    std::lock_guard<std::mutex> lock(m_lock);
    return m_current;
}

BOOL TestCameraOwner::IsCurrentConnection(DWORD ticket) {
    std::lock_guard<std::mutex> lock(m_lock);
    return ticket == m_current;
}

std::vector<std::string> TestCameraOwner::Events() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_events;
}

bool TestCameraOwner::Record(DWORD ticket, const std::string& what) {
    std::lock_guard<std::mutex> lock(m_lock);
    const bool current = ticket == m_current;
    m_events.push_back(current ? what : "stale:" + what);
    return current;
}

BOOL TestCameraOwner::SetSocket(DWORD ticket, SOCKET s) {
    if (refuseSocket.load()) {
        Record(ticket, "socket refused");
        return FALSE;
    }
    if (!Record(ticket, "socket")) return FALSE;
    socket.store(s);
    socketWrites.fetch_add(1);
    return TRUE;
}

void TestCameraOwner::SetConnected(DWORD ticket, BOOL value) {
    if (Record(ticket, "connected=" + std::to_string(value))) connected.store(value);
}

void TestCameraOwner::SetTrying(DWORD ticket, BOOL value) {
    if (Record(ticket, "trying=" + std::to_string(value))) trying.store(value);
}

void TestCameraOwner::SetFirstFrame(DWORD ticket, BOOL value) {
    if (Record(ticket, "firstFrame=" + std::to_string(value))) firstFrame.store(value);
}
