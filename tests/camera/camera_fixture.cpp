#include "camera_fixture.h"

#include "camera/camera_protocol.h"
#include "camera/camera_thread.h"
#include "platform/testing/hooks.h"
#include "support/blocking_probe.h"
#include "support/pump_events.h"

const char kClosedGracefully[] = "nRead is 0 in recvn(the connection was closed gracefully)";
const char kConnectionReset[] = "nRead is SOCKET_ERROR in recvn : 10054";

std::vector<uint8_t> MarkedPayload(size_t size, const std::string& caption19) {
    std::vector<uint8_t> payload(size, 0x55);
    payload[0] = 0xFF;
    payload[1] = 0xD8;
    for (size_t i = 0; i < 19 && 24 + i < size; ++i) {
        payload[24 + i] = static_cast<uint8_t>(i < caption19.size() ? caption19[i] : ' ');
    }
    payload[size - 2] = 0xFF;
    payload[size - 1] = 0xD9;
    return payload;
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

Strings TestCameraOwner::Events() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_events;
}

bool TestCameraOwner::Record(DWORD ticket, const std::string& what) {
    std::lock_guard<std::mutex> lock(m_lock);
    const bool current = ticket == m_current;
    m_events.push_back(current ? what : "stale:" + what);
    return current;
}

int TestCameraOwner::GetCameraPort(CString* portText) {
    if (onPortRead) onPortRead();
    portText->Format(u"%d", port);
    return port;
}

BOOL TestCameraOwner::SetSocket(DWORD ticket, SOCKET s) {
    if (refuseSocket.load()) {
        Record(ticket, "socket refused");
        return FALSE;
    }
    if (!Record(ticket, "socket")) return FALSE;
    socket.store(s);
    return TRUE;
}

void TestCameraOwner::Set(DWORD ticket, const char* name, std::atomic<BOOL>& flag, BOOL value) {
    if (Record(ticket, name + ("=" + std::to_string(value)))) flag.store(value);
}

CameraRun::CameraRun(TestCameraOwner& owner) : m_owner(owner) {
    m_window = platform_testing::CreateTestWindow([this](UINT message, WPARAM w, LPARAM l) {
        if (message != WM_IMAGE_ARRIVED) return LRESULT{0};
        // The camera thread waits in its hand-off while this runs, so the buffer is still.
        const auto* data = reinterpret_cast<const char*>(ImageData);
        m_notifications.push_back({w,
                                   l,
                                   ImageDataLength,
                                   {ImageData[0], ImageData[1]},
                                   std::string(data + 24, 19),
                                   m_owner.connected.load(),
                                   m_owner.trying.load(),
                                   m_owner.firstFrame.load()});
        if (onNotification) onNotification(m_notifications.back());
        return LRESULT{0};
    });
    m_owner.window = m_window;
}

CameraRun::~CameraRun() {
    if (m_thread != nullptr && ExitCode() == STILL_ACTIVE) {
        ADD_FAILURE() << "the camera thread was still running at the end of the test";
        m_owner.running = FALSE;
        closesocket(m_owner.socket.load());
        WaitForEnd();
    }
    m_thread.reset();
    DestroyWindow(m_window);
}

bool CameraRun::Start() {
    CWinThread* thread =
        AfxBeginThread(CameraThreadProc, &m_owner, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread == nullptr) return false;
    thread->m_bAutoDelete = FALSE;
    m_thread.reset(thread);
    m_thread->ResumeThread();
    return true;
}

bool CameraRun::WaitForEnd() {
    return test_support::PumpEventsUntil([this] { return ExitCode() != STILL_ACTIVE; });
}

bool CameraRun::WaitForNotifications(size_t count) {
    return test_support::PumpEventsUntil([&] { return m_notifications.size() >= count; });
}

DWORD CameraRun::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_thread != nullptr) GetExitCodeThread(m_thread->m_hThread, &code);
    return code;
}

BOOL CameraRun::RequestNextFrame() {
    return SendImageRequestPacket(m_owner.socket.load());
}

void CameraThreadTest::SetUp() {
    openSocketsBefore = platform_testing::OpenSocketCount();
    liveThreadsBefore = platform_testing::LiveThreadCount();
}

void CameraThreadTest::TearDown() {
    platform_testing::SetMessageBoxAnswerer({});
    platform_testing::SetHostResolver({});
    EXPECT_EQ(platform_testing::LiveThreadCount(), liveThreadsBefore);
}

void CameraThreadTest::StartCamera(fakecamera::Script script) {
    camera.SetScript(std::move(script));
    ASSERT_TRUE(camera.Start());
    owner.port = camera.Port();
}

void CameraThreadTest::ExpectEndedOnce(const CameraRun& run, size_t frames) {
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(owner.connected.load(), FALSE);
    EXPECT_EQ(owner.trying.load(), FALSE);
    EXPECT_EQ(owner.firstFrame.load(), TRUE);
    const Strings events = owner.Events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(Strings(events.end() - 3, events.end()),
              (Strings{"connected=0", "trying=0", "firstFrame=1"}));
    ASSERT_EQ(run.Notifications().size(), frames + 1);
    const Notification& last = run.Notifications().back();
    EXPECT_EQ(
        std::make_tuple(last.connected, last.trying, last.firstFrame, last.wParam, last.lParam),
        std::make_tuple(FALSE, FALSE, TRUE, WPARAM{0}, LPARAM{0}));
}

void CameraThreadTest::ExpectClosedOnce() {
    EXPECT_EQ(trace.Count("closesocket failed"), 0);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
    const SOCKET s = owner.socket.load();
    ASSERT_NE(s, 0u);
    EXPECT_EQ(closesocket(s), SOCKET_ERROR);  // already closed by the thread
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}
