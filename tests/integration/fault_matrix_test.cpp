// The whole viewer against a camera that misbehaves at every step and at the byte boundaries that
// matter: each row checks what the view does, what the failing step reports, that the next
// Connect to a well-behaved camera streams, and that no platform object outlives the viewer.
#include <QAbstractButton>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "camera/frame_buffer.h"
#include "imaging/jpeg_image.h"
#include "integration/viewer_fixture.h"
#include "platform/testing/hooks.h"
#include "support/pump_events.h"

namespace {

using fakecamera::Action;
using fakecamera::Stage;
using Texts = std::vector<std::string>;

// Every served payload is padded to this size, so the lengths in the diagnostics are known.
constexpr size_t kFrameSize = 20000;
constexpr char kClosed[] = "nRead is 0 in recvn(the connection was closed gracefully)";
constexpr char kInterrupted[] = "nRead is SOCKET_ERROR in recvn : 10004";  // socket closed under it
constexpr char kReset[] = "nRead is SOCKET_ERROR in recvn : 10054";

enum class Ending {
    kByItself,          // the fault ends the connection; the view returns to Disconnected
    kKeepsStreaming,    // the rules hand the odd frame on and the stream goes on
    kPausesUntilPaint,  // the frame is dropped without a repaint: no request until a paint
    kStallDisconnect,  // streaming stalls; the user presses Disconnect, the next Connect retires it
    kStallClose,       // set-up stalls (the button is ignored while trying); the viewer is closed
};

struct FaultRow {
    const char* name;
    std::function<void(fakecamera::Script&)> misbehave;
    Texts traces;  // diagnostics that must have been reported
    Ending ending = Ending::kByItself;
    const char* messageBox = nullptr;  // shown instead of any diagnostic
    bool freshFrameBuffer = false;     // the frame buffer as the process starts: all zero
};

std::vector<uint8_t> CaptionedJpeg(int i) {
    return fakecamera::MakeCaptionedJpeg(160, 120, 80, fakecamera::Subsampling::k420, false,
                                         fakecamera::FrameCounterCaption(i));
}

void PrintTo(const FaultRow& row, std::ostream* os) {
    *os << row.name;
}

// Frame i as the camera serves it: a captioned JPEG padded with zero bytes to `size`.
std::vector<uint8_t> Frame(int i, size_t size = kFrameSize) {
    std::vector<uint8_t> jpeg = CaptionedJpeg(i);
    jpeg.resize(size, 0);
    return jpeg;
}

// Frame i without its end marker (a JPEG's only FF D9), padded as usual.
std::vector<uint8_t> FrameWithoutEndMarker(int i) {
    std::vector<uint8_t> jpeg = CaptionedJpeg(i);
    jpeg.resize(jpeg.size() - 2);
    jpeg.resize(kFrameSize, 0);
    return jpeg;
}

std::vector<uint8_t> FrameWithoutStartMarker(int i) {
    std::vector<uint8_t> frame = Frame(i);
    frame[0] = 0;
    frame[1] = 0;
    return frame;
}

bool HasEndMarker(const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9) return true;
    }
    return false;
}

// Frame `odd` made by `make`; every other frame as usual.
std::function<void(fakecamera::Script&)> OddFrame(int odd,
                                                  std::function<std::vector<uint8_t>(int)> make) {
    return [odd, make](fakecamera::Script& script) {
        script.payload = [odd, make](int i) { return i == odd ? make(i) : Frame(i); };
    };
}

std::function<void(fakecamera::Script&)> FaultAt(Stage stage, int frame, size_t bytes,
                                                 Action action, bool trickle = false) {
    return [=](fakecamera::Script& script) {
        script.fault = fakecamera::Fault{stage, frame, bytes, action};
        script.trickle = trickle;
    };
}

std::function<void(fakecamera::Script&)> LengthOfFrame(int frame, std::string text) {
    return [frame, text](fakecamera::Script& script) {
        script.lengthText = [frame, text](int i, size_t size) {
            char digits[16];
            std::snprintf(digits, sizeof digits, "%08zu", size);
            return i == frame ? text : std::string(digits);
        };
    };
}

std::string Short(const char* what, size_t got, long expected) {
    return "nRead(" + std::to_string(got) + ") is not equal to " + what + "(" +
           std::to_string(expected) + ")";
}

const std::string kShortHandshake = Short("MESSAGE_PACKET_LENGTH", 0, 4);

const FaultRow kRows[] = {
    // The handshake reply: cut at its first bytes and before its last one, reset, or wrong.
    {"handshake_close_at_0",
     FaultAt(Stage::kHandshake, 0, 0, Action::kClose),
     {kClosed, kShortHandshake}},
    {"handshake_close_at_1",
     FaultAt(Stage::kHandshake, 0, 1, Action::kClose),
     {kClosed, Short("MESSAGE_PACKET_LENGTH", 1, 4)}},
    {"handshake_trickled_close_at_3",
     FaultAt(Stage::kHandshake, 0, 3, Action::kClose, true),
     {kClosed, Short("MESSAGE_PACKET_LENGTH", 3, 4)}},
    {"handshake_reset_at_2",
     FaultAt(Stage::kHandshake, 0, 2, Action::kReset),
     {kReset, "read error1"}},
    {"handshake_0120",
     [](fakecamera::Script& s) { s.handshakeReply = "0120"; },
     {"ERROR: Server Full"}},
    {"handshake_0000",
     [](fakecamera::Script& s) { s.handshakeReply = "0000"; },
     {"Error: unexpected message from camera(0)"}},
    {"handshake_abcd",
     [](fakecamera::Script& s) { s.handshakeReply = "abcd"; },
     {"Error: unexpected message from camera(0)"}},
    {"handshake_stall_then_close",
     FaultAt(Stage::kHandshake, 0, 2, Action::kStall),
     {kInterrupted, "read error1", "closesocket failed"},
     Ending::kStallClose},

    // The authentication packet: the camera takes part of it (the rest unread makes its close a
    // reset) or all of it, then goes.
    {"auth_packet_reset_at_1",
     FaultAt(Stage::kAuthPacket, 0, 1, Action::kReset),
     {kReset, "read error2"}},
    {"auth_packet_close_at_47",
     FaultAt(Stage::kAuthPacket, 0, 47, Action::kClose),
     {kReset, "read error2"}},
    {"auth_packet_close_at_48",
     FaultAt(Stage::kAuthPacket, 0, 48, Action::kClose),
     {kClosed, kShortHandshake}},
    {"auth_packet_stall_then_close",
     FaultAt(Stage::kAuthPacket, 0, 48, Action::kStall),
     {kInterrupted, "read error2", "isReconnect : closesocket error : 10038"},
     Ending::kStallClose},

    // The authentication reply.
    {"auth_reply_close_at_0",
     FaultAt(Stage::kAuthReply, 0, 0, Action::kClose),
     {kClosed, kShortHandshake}},
    {"auth_reply_close_at_3",
     FaultAt(Stage::kAuthReply, 0, 3, Action::kClose),
     {kClosed, Short("MESSAGE_PACKET_LENGTH", 3, 4)}},
    {"auth_reply_reset_at_1",
     FaultAt(Stage::kAuthReply, 0, 1, Action::kReset),
     {kReset, "read error2"}},
    {"auth_reply_0302",
     [](fakecamera::Script& s) { s.authReply = "0302"; },
     {},
     Ending::kByItself,
     "Admin authentication failed"},
    {"auth_reply_9000",
     [](fakecamera::Script& s) { s.authReply = "9000"; },
     {},
     Ending::kByItself,
     "Error: Invalid message id"},
    {"auth_reply_0000",
     [](fakecamera::Script& s) { s.authReply = "0000"; },
     {"Error: unexpected message from camera(0)"}},

    // The image requests: the camera reads part of one and resets, or closes with a byte unread.
    {"first_request_reset_at_2",
     FaultAt(Stage::kRequest, 0, 2, Action::kReset),
     {kReset, "Error receiving header"}},
    {"second_request_close_at_3",
     FaultAt(Stage::kRequest, 1, 3, Action::kClose),
     {kReset, "Error receiving header"}},

    // The image header.
    {"first_header_close_at_0",
     FaultAt(Stage::kHeader, 0, 0, Action::kClose),
     {kClosed, Short("IMAGE_DATA_HEADER_LENGTH", 0, 32)}},
    {"second_header_close_at_31",
     FaultAt(Stage::kHeader, 1, 31, Action::kClose),
     {kClosed, Short("IMAGE_DATA_HEADER_LENGTH", 31, 32)}},
    {"second_header_reset_at_20",
     FaultAt(Stage::kHeader, 1, 20, Action::kReset),
     {kReset, "Error receiving header"}},
    {"third_header_stall_then_disconnect",
     FaultAt(Stage::kHeader, 2, 10, Action::kStall),
     {kInterrupted, "Error receiving header", "closesocket failed"},
     Ending::kStallDisconnect},
    {"header_code_0131",
     [](fakecamera::Script& s) { s.codeText = "0131"; },
     {"message is not IMAGE_OK"}},
    {"header_code_abcd",
     [](fakecamera::Script& s) { s.codeText = "abcd"; },
     {"message is not IMAGE_OK"}},

    // The length field.
    {"length_0_first_frame_of_the_process",
     OddFrame(0, [](int) { return std::vector<uint8_t>(); }),
     {"image data spoiled"},
     Ending::kByItself,
     nullptr,
     true},
    {"length_0_after_good_frames",
     OddFrame(2, [](int) { return std::vector<uint8_t>(); }),
     {},
     Ending::kKeepsStreaming},
    {"length_minus_1", LengthOfFrame(1, "-1"), {Short("ImageDataLength", 0, -1)}},
    {"length_200000",
     OddFrame(1, [](int i) { return Frame(i, 200000); }),
     {},
     Ending::kKeepsStreaming},
    {"length_200001", LengthOfFrame(1, "00200001"), {"ImageDataLength too long (200001)"}},

    // The payload: cut at its first byte, in its middle and before its last byte, or spoiled.
    {"first_payload_close_at_1",
     FaultAt(Stage::kPayload, 0, 1, Action::kClose),
     {kClosed, Short("ImageDataLength", 1, kFrameSize)}},
    {"second_payload_close_at_0",
     FaultAt(Stage::kPayload, 1, 0, Action::kClose),
     {kClosed, Short("ImageDataLength", 0, kFrameSize)}},
    {"second_payload_trickled_close_in_the_middle",
     FaultAt(Stage::kPayload, 1, kFrameSize / 2, Action::kClose, true),
     {kClosed, Short("ImageDataLength", kFrameSize / 2, kFrameSize)}},
    {"second_payload_close_at_its_last_byte",
     FaultAt(Stage::kPayload, 1, kFrameSize - 1, Action::kClose),
     {kClosed, Short("ImageDataLength", kFrameSize - 1, kFrameSize)}},
    {"second_payload_reset_in_the_middle",
     FaultAt(Stage::kPayload, 1, kFrameSize / 2, Action::kReset),
     {kReset, "error reading real image data"}},
    {"second_payload_stall_then_disconnect",
     FaultAt(Stage::kPayload, 1, kFrameSize / 2, Action::kStall),
     {kInterrupted, "error reading real image data", "closesocket failed"},
     Ending::kStallDisconnect},
    {"payload_without_ffd8", OddFrame(1, FrameWithoutStartMarker), {"image data spoiled"}},
    {"payload_without_ffd9",
     OddFrame(2, FrameWithoutEndMarker),
     {"There is no 0xFFD9 in current image"},
     Ending::kPausesUntilPaint},

    // Every reply one byte at a time.
    {"trickled_stream",
     [](fakecamera::Script& s) { s.trickle = true; },
     {},
     Ending::kKeepsStreaming},
};

// The live platform objects that a viewer owns while it lives.
struct LiveObjects {
    int sockets = platform_testing::OpenSocketCount();
    int threads = platform_testing::LiveThreadCount();
    int bitmaps = platform_testing::LiveBitmapCount();
    int windows = platform_testing::LiveWindowCount();
    int deviceContexts = platform_testing::LiveDeviceContextCount();
};

class FaultMatrixTest : public ViewerTest, public ::testing::WithParamInterface<FaultRow> {
protected:
    static fakecamera::Script WellBehaved() {
        fakecamera::Script script;
        script.payload = [](int i) { return Frame(i); };
        return script;
    }

    void ExpectTraced(const Texts& texts) {
        // A retired thread reports once its receive has been woken, which may follow the wait.
        test_support::PumpEventsUntil([&] {
            return std::all_of(texts.begin(), texts.end(),
                               [&](const std::string& text) { return m_trace.Count(text) > 0; });
        });
        for (const std::string& text : texts) {
            EXPECT_GE(m_trace.Count(text), 1)
                << text << " among " << ::testing::PrintToString(m_trace.Messages());
        }
    }

    bool IsStreaming() {
        return m_viewer->m_bConnected && !m_viewer->m_bTrying && ButtonText() == u"Disconnect";
    }

    void RunTheFault(const FaultRow& row);
};

void FaultMatrixTest::RunTheFault(const FaultRow& row) {
    fakecamera::Script script = WellBehaved();
    row.misbehave(script);
    m_camera.SetScript(script);
    ConnectToCamera();

    switch (row.ending) {
        case Ending::kByItself:
            if (row.messageBox != nullptr) {
                QMessageBox* box = WaitForMessageBox(QString::fromUtf8(row.messageBox));
                ASSERT_NE(box, nullptr);
                box->button(QMessageBox::Ok)->click();
            }
            ASSERT_TRUE(WaitForDisconnected());
            if (row.messageBox != nullptr) {
                EXPECT_EQ(m_trace.Messages(), Texts{}) << "a refusal is shown, not reported";
            }
            ExpectTraced(row.traces);
            break;

        case Ending::kKeepsStreaming:
            ASSERT_TRUE(WaitForFrames(5));
            EXPECT_TRUE(IsStreaming());
            EXPECT_EQ(m_trace.Messages(), Texts{});
            PressDisconnect();
            ASSERT_TRUE(WaitForDisconnected());
            break;

        case Ending::kPausesUntilPaint: {
            ASSERT_TRUE(
                test_support::PumpEventsUntil([&] { return m_trace.Count(row.traces[0]) > 0; }));
            // The dropped frame asks for no repaint, so no request follows it.
            const int requests = m_camera.RequestCount();
            test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(300));
            EXPECT_EQ(m_camera.RequestCount(), requests);
            EXPECT_EQ(m_camera.FramesSent(), requests);
            EXPECT_TRUE(IsStreaming());
            // A paint for any other reason requests the next frame, and the stream goes on.
            InvalidateRect(m_viewer->m_hWnd, nullptr, FALSE);
            ASSERT_TRUE(WaitForFrames(3));
            EXPECT_EQ(m_trace.Count(row.traces[0]), 1);
            PressDisconnect();
            ASSERT_TRUE(WaitForDisconnected());
            break;
        }

        case Ending::kStallDisconnect:
            ASSERT_TRUE(test_support::PumpEventsUntil([&] { return m_camera.StallCount() > 0; }));
            EXPECT_TRUE(IsStreaming());
            PressDisconnect();
            ASSERT_TRUE(WaitForDisconnected());
            EXPECT_EQ(m_trace.Messages(), Texts{}) << "the thread still waits in its receive";
            break;  // the next Connect closes the stalled socket

        case Ending::kStallClose: {
            ASSERT_TRUE(test_support::PumpEventsUntil([&] { return m_camera.StallCount() > 0; }));
            EXPECT_TRUE(m_viewer->m_bTrying);
            ClickConnectButton();  // ignored while trying
            EXPECT_TRUE(m_viewer->m_bTrying);
            EXPECT_EQ(ButtonText(), u"Disconnect");
            CloseViewer();
            EXPECT_EQ(platform_testing::LiveThreadCount(), m_threadsBefore);
            ExpectTraced(row.traces);
            m_viewer.reset();
            StartViewer();
            break;
        }
    }
}

TEST_P(FaultMatrixTest, TheViewRecoversReportsTheStepAndLeaksNothing) {
    const FaultRow& row = GetParam();
    if (row.freshFrameBuffer) {
        std::fill(std::begin(ImageData), std::end(ImageData), BYTE{0});
        ImageDataLength = 0;
    }
    const bool memoryDcBefore = g_hMemDC != nullptr;
    const LiveObjects before;

    StartViewer();
    RunTheFault(row);
    if (HasFatalFailure()) return;

    // The next Connect to a well-behaved camera streams.
    m_camera.SetScript(WellBehaved());
    ConnectToCamera();
    ASSERT_TRUE(WaitForFrames(3));
    EXPECT_TRUE(IsStreaming());
    ExpectTraced(row.traces);
    PressDisconnect();
    ASSERT_TRUE(WaitForDisconnected());

    CloseViewer();
    m_viewer.reset();
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(20));
    const LiveObjects after;
    EXPECT_EQ(after.sockets, before.sockets);
    EXPECT_EQ(after.threads, before.threads);
    EXPECT_EQ(after.bitmaps, before.bitmaps);
    EXPECT_EQ(after.windows, before.windows);
    // The memory device context made at the process's first decode lives on, by design.
    const int memoryDcMade = !memoryDcBefore && g_hMemDC != nullptr ? 1 : 0;
    EXPECT_EQ(after.deviceContexts, before.deviceContexts + memoryDcMade);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, FaultMatrixTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FaultRow>& info) {
                             return std::string(info.param.name);
                         });

TEST(FaultMatrixFrames, TheServedFramesCarryTheMarkersTheRowsRelyOn) {
    const std::vector<uint8_t> frame = Frame(0);
    ASSERT_EQ(frame.size(), kFrameSize);
    EXPECT_EQ(frame[0], 0xFF);
    EXPECT_EQ(frame[1], 0xD8);
    EXPECT_TRUE(HasEndMarker(frame));
    EXPECT_FALSE(HasEndMarker(FrameWithoutEndMarker(2)));
    EXPECT_TRUE(HasEndMarker(FrameWithoutStartMarker(1)));
}

}  // namespace
