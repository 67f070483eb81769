// A stand-in for the dialog that starts the camera thread: the texts and port it connects with,
// the running flag, the ticketed flag setters (a superseded connection changes nothing), and a
// record of everything the thread did to it.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "camera/camera_owner.h"

class TestCameraOwner : public CCameraOwner {
public:
    TestCameraOwner();

    // What the thread connects with; set before it starts.
    HWND window = nullptr;
    CString host = u"127.0.0.1";
    int port = 0;
    CString id = u"admin";
    CString password = u"secret";
    std::atomic<BOOL> running{TRUE};
    std::atomic<bool> refuseSocket{false};  // as a closing dialog refuses the new socket

    /* A new connection becomes the current one, as a Connect command makes it. */
    void BeginConnection();

    // The record state, as the thread left it.
    std::atomic<BOOL> connected{TRUE};
    std::atomic<BOOL> trying{TRUE};
    std::atomic<BOOL> firstFrame{FALSE};
    std::atomic<SOCKET> socket{0};
    std::atomic<int> socketWrites{0};
    std::atomic<int> cameraThreadId{0};  // kernel id of the thread that took a ticket last

    /* Every setter call in order, as "name=value" for the current connection and
       "stale:name=value" for a superseded one. */
    std::vector<std::string> Events() const;

    HWND GetNotifyWindow() override { return window; }
    DWORD GetConnectionTicket() override;
    BOOL IsCurrentConnection(DWORD ticket) override;
    CString GetCameraHost() override { return host; }
    int GetCameraPort() override { return port; }
    BOOL IsRunning() override { return running.load(); }
    CString GetID() override { return id; }
    CString GetPassword() override { return password; }
    BOOL SetSocket(DWORD ticket, SOCKET s) override;
    void SetConnected(DWORD ticket, BOOL value) override;
    void SetTrying(DWORD ticket, BOOL value) override;
    void SetFirstFrame(DWORD ticket, BOOL value) override;

private:
    /* Records the call; true when the ticket names the current connection. */
    bool Record(DWORD ticket, const std::string& what);

    mutable std::mutex m_lock;
    DWORD m_current = 0;
    std::vector<std::string> m_events;
};
