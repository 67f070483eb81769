// The whole viewer against a camera that misbehaves at every step and at the byte boundaries that
// matter: each row checks what the view does, what the failing step reports, that the next
// Connect to a well-behaved camera streams, and that no platform object outlives the viewer.
#include <QAbstractButton>
#include <QMessageBox>
#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "common/frame_buffer.h"
#include "imaging/jpeg_image.h"
#include "integration/viewer_fixture.h"
#include "platform/testing/hooks.h"
#include "support/pump_events.h"

namespace {

using Texts = std::vector<std::string>;
using Misbehave = std::function<void(fakecamera::Script&)>;
using enum fakecamera::Stage;
using enum fakecamera::Action;

constexpr char kSaysClosed[] = "nRead is 0 in recvn(the connection was closed gracefully)";
constexpr char kSaysInterrupted[] = "nRead is SOCKET_ERROR in recvn : 10004";  // closed under it
constexpr char kSaysNoSocket[] = "nRead is SOCKET_ERROR in recvn : 10038";     // closed before it
constexpr char kSaysReset[] = "nRead is SOCKET_ERROR in recvn : 10054";

enum class Ending {
    kByItself,         // the fault ends the connection; the view returns to Disconnected
    kKeepsStreaming,   // the odd frame is shown or skipped as listed; the stream goes on
    kStallDisconnect,  // streaming stalls; the user presses Disconnect, the next Connect retires it
    kStallClose,       // set-up stalls (the button is ignored while trying); the viewer is closed
};
using enum Ending;

struct FaultRow {
    const char* name;
    Misbehave misbehave;
    Texts traces;  // diagnostics that must have been reported
    Ending ending = Ending::kByItself;
    const char* messageBox = nullptr;  // shown instead of any diagnostic
    bool freshFrameBuffer = false;     // the frame buffer as the process starts: all zero
};

void PrintTo(const FaultRow& row, std::ostream* os) {
    *os << row.name;
}

// Frame i as the camera serves it: a captioned JPEG, unpadded, so its only FF D9 is its last two
// bytes and a shorter frame that follows holds no end marker of it.
std::vector<uint8_t> Frame(int i, int width = 160, int height = 120) {
    return fakecamera::MakeCaptionedJpeg(width, height, 80, fakecamera::Subsampling::k420, false,
                                         fakecamera::FrameCounterCaption(i));
}
std::vector<uint8_t> LongFrame(int i) {
    return Frame(i, 640, 480);
}
// Every caption has 19 characters, so every frame of the usual size has this length.
const size_t kFrameSize = Frame(0).size();

// Frame `odd` made by `make`; every other frame as the script served it.
Misbehave OddFrame(int odd, std::function<std::vector<uint8_t>(int)> make) {
    return [odd, make](fakecamera::Script& script) {
        script.payload = [odd, make, others = script.payload](int i) {
            return i == odd ? make(i) : others(i);
        };
    };
}

Misbehave Both(Misbehave first, Misbehave second) {
    return [=](fakecamera::Script& script) {
        first(script);
        second(script);
    };
}

Misbehave Cut(fakecamera::Stage stage, int frame, size_t bytes, fakecamera::Action action,
              bool trickle = false) {
    return [=](fakecamera::Script& script) {
        script.fault = fakecamera::Fault{stage, frame, bytes, action};
        script.trickle = trickle;
    };
}

// One of the script's reply texts set to `text`.
Misbehave Say(std::string fakecamera::Script::*field, std::string text) {
    return [field, text](fakecamera::Script& script) { script.*field = text; };
}
constexpr auto kHandshakeText = &fakecamera::Script::handshakeReply;
constexpr auto kAuthText = &fakecamera::Script::authReply;
constexpr auto kCodeText = &fakecamera::Script::codeText;

Misbehave LengthOfFrame(int frame, std::string text) {
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
std::string ShortPacket(size_t got) {
    return Short("MESSAGE_PACKET_LENGTH", got, 4);
}
std::string ShortHeader(size_t got) {
    return Short("IMAGE_DATA_HEADER_LENGTH", got, 32);
}
std::string ShortImage(size_t got) {
    return Short("ImageDataLength", got, kFrameSize);
}

constexpr char kUnexpected[] = "Error: unexpected message from camera(0)";
constexpr char kHeaderError[] = "Error receiving header";
constexpr char kCloseFailed[] = "closesocket failed";
constexpr char kSpoiled[] = "image data spoiled";
std::vector<uint8_t> Empty(int) {
    return {};
}
const size_t kHalf = kFrameSize / 2;

const FaultRow kRows[] = {
    // The handshake reply: cut at its first bytes and before its last one, reset, or wrong.
    {"handshake_close_at_0", Cut(kHandshake, 0, 0, kClose), {kSaysClosed, ShortPacket(0)}},
    {"handshake_close_at_1", Cut(kHandshake, 0, 1, kClose), {kSaysClosed, ShortPacket(1)}},
    {"handshake_trickled_close_at_3",
     Cut(kHandshake, 0, 3, kClose, true),
     {kSaysClosed, ShortPacket(3)}},
    {"handshake_reset_at_2", Cut(kHandshake, 0, 2, kReset), {kSaysReset, "read error1"}},
    {"handshake_0120", Say(kHandshakeText, "0120"), {"ERROR: Server Full"}},
    {"handshake_0000", Say(kHandshakeText, "0000"), {kUnexpected}},
    {"handshake_abcd", Say(kHandshakeText, "abcd"), {kUnexpected}},
    {"handshake_stall_then_close",
     Cut(kHandshake, 0, 2, kStall),
     {kSaysInterrupted, "read error1", kCloseFailed},
     kStallClose},

    // The authentication packet: the camera takes part of it (the rest unread makes its close a
    // reset) or all of it, then goes.
    {"auth_packet_reset_at_1", Cut(kAuthPacket, 0, 1, kReset), {kSaysReset, "read error2"}},
    {"auth_packet_close_at_47", Cut(kAuthPacket, 0, 47, kClose), {kSaysReset, "read error2"}},
    {"auth_packet_close_at_48", Cut(kAuthPacket, 0, 48, kClose), {kSaysClosed, ShortPacket(0)}},
    {"auth_packet_stall_then_close",
     Cut(kAuthPacket, 0, 48, kStall),
     {kSaysInterrupted, "read error2", "isReconnect : closesocket error : 10038"},
     kStallClose},

    // The authentication reply.
    {"auth_reply_close_at_0", Cut(kAuthReply, 0, 0, kClose), {kSaysClosed, ShortPacket(0)}},
    {"auth_reply_close_at_3", Cut(kAuthReply, 0, 3, kClose), {kSaysClosed, ShortPacket(3)}},
    {"auth_reply_reset_at_1", Cut(kAuthReply, 0, 1, kReset), {kSaysReset, "read error2"}},
    {"auth_reply_0302", Say(kAuthText, "0302"), {}, kByItself, "Admin authentication failed"},
    {"auth_reply_9000", Say(kAuthText, "9000"), {}, kByItself, "Error: Invalid message id"},
    {"auth_reply_0000", Say(kAuthText, "0000"), {kUnexpected}},

    // The image requests: the camera reads part of one and resets, or closes with a byte unread.
    {"first_request_reset_at_2", Cut(kRequest, 0, 2, kReset), {kSaysReset, kHeaderError}},
    {"second_request_close_at_3", Cut(kRequest, 1, 3, kClose), {kSaysReset, kHeaderError}},

    // The image header.
    {"first_header_close_at_0", Cut(kHeader, 0, 0, kClose), {kSaysClosed, ShortHeader(0)}},
    {"second_header_close_at_31", Cut(kHeader, 1, 31, kClose), {kSaysClosed, ShortHeader(31)}},
    {"second_header_reset_at_20", Cut(kHeader, 1, 20, kReset), {kSaysReset, kHeaderError}},
    {"third_header_stall_then_disconnect",
     Cut(kHeader, 2, 10, kStall),
     {kSaysInterrupted, kHeaderError, kCloseFailed},
     kStallDisconnect},
    {"header_code_0131", Say(kCodeText, "0131"), {"message is not IMAGE_OK"}},
    {"header_code_abcd", Say(kCodeText, "abcd"), {"message is not IMAGE_OK"}},

    // The length field.
    {"length_0_first_frame_of_the_process",
     OddFrame(0, Empty),
     {kSpoiled},
     kByItself,
     nullptr,
     true},
    {"length_0_after_good_frames", OddFrame(2, Empty), {}, kKeepsStreaming},
    {"length_minus_1", LengthOfFrame(1, "-1"), {Short("ImageDataLength", 0, -1)}},
    {"length_200000",
     OddFrame(1,
              [](int i) {
                  std::vector<uint8_t> frame = Frame(i);
                  frame.resize(200000, 0);
                  return frame;
              }),
     {},
     kKeepsStreaming},
    {"length_200001", LengthOfFrame(1, "00200001"), {"ImageDataLength too long (200001)"}},

    // The payload: cut at its first byte, in its middle and before its last byte, or spoiled.
    {"first_payload_close_at_1", Cut(kPayload, 0, 1, kClose), {kSaysClosed, ShortImage(1)}},
    {"second_payload_close_at_0", Cut(kPayload, 1, 0, kClose), {kSaysClosed, ShortImage(0)}},
    {"second_payload_trickled_close_in_the_middle",
     Cut(kPayload, 1, kHalf, kClose, true),
     {kSaysClosed, ShortImage(kHalf)}},
    {"second_payload_close_at_its_last_byte",
     Cut(kPayload, 1, kFrameSize - 1, kClose),
     {kSaysClosed, ShortImage(kFrameSize - 1)}},
    {"second_payload_reset_in_the_middle",
     Cut(kPayload, 1, kHalf, kReset),
     {kSaysReset, "error reading real image data"}},
    // The connection's last notification finds no end marker within the new, shorter length.
    {"second_payload_shorter_than_the_first_close_in_the_middle",
     Both(OddFrame(0, LongFrame), Cut(kPayload, 1, kHalf, kClose)),
     {kSaysClosed, ShortImage(kHalf)}},
    {"second_payload_stall_then_disconnect",
     Cut(kPayload, 1, kHalf, kStall),
     {kSaysInterrupted, "error reading real image data", kCloseFailed},
     kStallDisconnect},
    {"payload_without_ffd8",
     OddFrame(1,
              [](int i) {
                  std::vector<uint8_t> frame = Frame(i);
                  frame[0] = frame[1] = 0;
                  return frame;
              }),
     {kSpoiled}},
    {"short_spoiled_payload_after_a_long_good_one",
     Both(OddFrame(0, LongFrame), OddFrame(1, [](int) { return std::vector<uint8_t>(100, 0x55); })),
     {kSpoiled}},
    {"payload_without_ffd9",
     OddFrame(2,
              [](int i) {
                  std::vector<uint8_t> frame = Frame(i);
                  frame.resize(frame.size() - 2);
                  return frame;
              }),
     {"There is no 0xFFD9 in current image"},
     kKeepsStreaming},

    // Every reply one byte at a time.
    {"trickled_stream", [](fakecamera::Script& s) { s.trickle = true; }, {}, kKeepsStreaming},
};

class FaultMatrixTest : public ViewerTest, public ::testing::WithParamInterface<FaultRow> {
protected:
    static fakecamera::Script WellBehaved() {
        fakecamera::Script script;
        script.payload = [](int i) { return Frame(i); };
        return script;
    }

    void RunTheFault(const FaultRow& row);

    Texts m_reported;  // the row's diagnostics as this run reports them
};

void FaultMatrixTest::RunTheFault(const FaultRow& row) {
    fakecamera::Script script = WellBehaved();
    row.misbehave(script);
    m_camera.SetScript(script);
    m_reported = row.traces;
    ConnectToCamera();

    switch (row.ending) {
        case kByItself:
            if (row.messageBox != nullptr) {
                QMessageBox* box = WaitForMessageBox(QString::fromUtf8(row.messageBox));
                ASSERT_NE(box, nullptr);
                EXPECT_TRUE(m_viewer->m_bTrying) << "the camera thread waits for the box";
                box->button(QMessageBox::Ok)->click();
            }
            ASSERT_TRUE(WaitForDisconnected());
            if (row.messageBox != nullptr) {
                EXPECT_EQ(m_trace.Messages(), Texts{}) << "a refusal is shown, not reported";
            }
            ExpectTraced(row.traces);
            break;

        case kKeepsStreaming:
            ASSERT_TRUE(WaitForFrames(5));
            EXPECT_TRUE(IsStreaming());
            EXPECT_EQ(m_trace.Messages(), row.traces);
            PressDisconnect();
            ASSERT_TRUE(WaitForDisconnected());
            break;

        case kStallDisconnect:
            ASSERT_TRUE(test_support::PumpEventsUntil([&] { return m_camera.StallCount() > 0; }));
            EXPECT_TRUE(IsStreaming());
            PressDisconnect();
            ASSERT_TRUE(WaitForDisconnected());
            EXPECT_EQ(m_trace.Messages(), Texts{}) << "the thread still waits in its receive";
            break;  // the next Connect closes the stalled socket

        case kStallClose: {
            ASSERT_TRUE(test_support::PumpEventsUntil([&] { return m_camera.StallCount() > 0; }));
            EXPECT_TRUE(m_viewer->m_bTrying);
            ClickConnectButton();  // ignored while trying
            EXPECT_TRUE(m_viewer->m_bTrying);
            EXPECT_EQ(ButtonText(), u"Disconnect");
            CloseViewer();
            EXPECT_EQ(platform_testing::LiveThreadCount(), m_threadsBefore);
            // The close may find the camera thread between two receives of a trickled reply: its
            // next receive then meets no socket instead of being interrupted.
            test_support::PumpEventsUntil([&] {
                return m_trace.Count(kSaysInterrupted) > 0 || m_trace.Count(kSaysNoSocket) > 0;
            });
            if (m_trace.Count(kSaysInterrupted) == 0 && m_trace.Count(kSaysNoSocket) > 0) {
                std::replace(m_reported.begin(), m_reported.end(),
                             Texts::value_type(kSaysInterrupted), Texts::value_type(kSaysNoSocket));
            }
            ExpectTraced(m_reported);
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
    std::array<int, 5> expected = LiveObjects();

    StartViewer();
    RunTheFault(row);
    if (HasFatalFailure()) return;

    // The next Connect to a well-behaved camera streams.
    m_camera.SetScript(WellBehaved());
    ConnectToCamera();
    ASSERT_TRUE(WaitForFrames(3));
    EXPECT_TRUE(IsStreaming());
    ExpectTraced(m_reported);
    PressDisconnect();
    ASSERT_TRUE(WaitForDisconnected());

    CloseViewer();
    m_viewer.reset();
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(20));
    // The memory device context made at the process's first decode lives on, by design.
    if (!memoryDcBefore && g_hMemDC != nullptr) ++expected[4];
    EXPECT_EQ(LiveObjects(), expected) << "sockets, threads, bitmaps, windows, device contexts";
}

INSTANTIATE_TEST_SUITE_P(EveryStep, FaultMatrixTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FaultRow>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
