#include "dialog/dialog_fixture.h"

#include <QAbstractButton>
#include <algorithm>
#include <cstring>

#include "camera/camera_protocol.h"
#include "platform/gdi/image_dc.h"
#include "platform/testing/hooks.h"
#include "support/pump_events.h"
#include "support/window_pixels.h"

void DialogTest::SetUp() {
    platform_testing::SetPerformanceCounter(true, 1000000, [this] { return m_now.load(); });
}

void DialogTest::TearDown() {
    if (m_dialog && m_dialog->m_hWnd != nullptr) m_dialog->DestroyWindow();
    m_dialog.reset();
    platform_testing::ResetPerformanceCounter();
    std::memset(ImageData, 0, sizeof ImageData);
    ImageDataLength = 0;
}

void DialogTest::CreateDialog() {
    m_dialog = std::make_unique<TestDialog>();
    ASSERT_TRUE(m_dialog->Create(IDD_PEMBLAR_DIALOG));
    ASSERT_NE(test_support::WidgetOf(m_dialog->m_hWnd), nullptr);
    test_support::WidgetOf(m_dialog->m_hWnd)->show();
    Settle();
}

void DialogTest::Click(int id) {
    auto* button =
        qobject_cast<QAbstractButton*>(test_support::WidgetOf(GetDlgItem(m_dialog->m_hWnd, id)));
    ASSERT_NE(button, nullptr);
    button->click();
}

void DialogTest::CreateConnected() {
    ASSERT_TRUE(m_camera.Start());
    CreateDialog();
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_NE(s, INVALID_SOCKET);
    sockaddr_in address{.sin_family = AF_INET,
                        .sin_port = htons(m_camera.Port()),
                        .sin_addr = {inet_addr("127.0.0.1")},
                        .sin_zero = {}};
    ASSERT_EQ(connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    char packet[IMG_XFER_USER_AUTH_PKT_LEN];
    ASSERT_EQ(recvn(s, packet, MESSAGE_PACKET_LENGTH), MESSAGE_PACKET_LENGTH);
    BuildAuthPacket(packet, u"viewer", u"secret");
    ASSERT_EQ(send(s, packet, IMG_XFER_USER_AUTH_PKT_LEN, 0), IMG_XFER_USER_AUTH_PKT_LEN);
    ASSERT_EQ(recvn(s, packet, MESSAGE_PACKET_LENGTH), MESSAGE_PACKET_LENGTH);
    m_dialog->m_socket = s;
    m_dialog->m_bLoading = m_dialog->m_bTrying = FALSE;
    m_dialog->m_bConnected = m_dialog->m_bRunning = TRUE;
}

void DialogTest::LoadFrame(const std::vector<uint8_t>& frame) {
    std::copy(frame.begin(), frame.end(), ImageData);
    ImageDataLength = static_cast<int32_t>(frame.size());
}

bool DialogTest::WaitForRequests(int count) {
    return test_support::PumpEventsUntil([&] { return m_camera.RequestCount() >= count; });
}

void DialogTest::Settle() {
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(100));
}

void DialogTest::DrawViewText(QImage* image, const std::u16string& text, RECT rect, COLORREF ink,
                              COLORREF paper) {
    HDC dc = CreateImageDC(image);
    SetTextColor(dc, ink);
    SetBkColor(dc, paper);
    DrawTextW(dc, text.c_str(), -1, &rect, 0);
    DeleteImageDC(dc);
}
