// Frame arrival on the real dialog: the caption, the end-marker check, decode and repaint.
#include <vector>

#include "common/frame_buffer.h"
#include "dialog/dialog_fixture.h"
#include "fakecamera/captioned_jpeg.h"

namespace {

std::vector<uint8_t> Frame(const std::string& caption) {
    return fakecamera::MakeCaptionedJpeg(64, 48, 80, fakecamera::Subsampling::k420, false, caption);
}

TEST_F(DialogTest, EveryFrameIsRepaintedAndOnlyOneWithoutAnEndMarkerIsReported) {
    CreateConnected();
    Settle();
    int requests = m_camera.RequestCount();
    std::vector<uint8_t> markerFirst{0xFF, 0xD9};
    markerFirst.resize(500, 0x11);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        bool accepted;
    } cases[] = {
        {"real frame", Frame("caption 0000000001"), true},
        {"marker alone", {0xFF, 0xD9}, true},
        {"marker at 0 of a long frame", markerFirst, true},
        {"marker right after another FF", {0x00, 0xFF, 0xFF, 0xD9, 0x00}, true},
        // The case before left FF D9 at positions 2 and 3: the D9 now lies past the end.
        {"D9 after the last byte", {0x00, 0x00, 0xFF}, false},
        {"marker first, FF bytes after it", {0xFF, 0xD9, 0xFF, 0x00, 0xFF, 0xFF, 0x00}, true},
        {"FF and D9 apart", {0xFF, 0x00, 0xD9, 0xD9}, false},
        {"one byte", {0xFF}, false},
        {"empty frame", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_trace.Clear();
        LoadFrame(c.bytes);
        EXPECT_EQ(1, Arrive());
        EXPECT_TRUE(WaitForRequests(requests + 1)) << m_camera.RequestCount();  // repainted
        EXPECT_EQ(c.accepted ? 0 : 1, m_trace.Count("There is no 0xFFD9 in current image"));
        requests = m_camera.RequestCount();
    }
    Settle();
    EXPECT_EQ(requests, m_camera.RequestCount()) << "no paint without a frame";
}

TEST_F(DialogTest, ARejectedFrameKeepsThePictureAndTheCaptionComesFromFixedPositions) {
    CreateDialog();
    LoadFrame(Frame("first caption  0001"));
    Arrive();
    const HBITMAP shown = m_dialog->m_image.m_hBitmap;
    ASSERT_NE(nullptr, shown);
    std::vector<uint8_t> noMarker = Frame("second caption 0002");
    noMarker.resize(noMarker.size() - 2);  // drop the FF D9 at the end
    LoadFrame(noMarker);
    Arrive();
    EXPECT_EQ(shown, m_dialog->m_image.m_hBitmap);
    EXPECT_EQ(u"second caption 0002", m_dialog->m_strStamp.Text());
    EXPECT_EQ(1, m_dialog->m_nFrames) << "the meter counts a rejected frame";

    // The caption is the 19 units at 24..42, a zero byte among them included; a shorter frame
    // takes the rest of its caption from what the longer one left behind.
    std::vector<uint8_t> older(100, 0);
    for (int p = 24; p <= 42; ++p) older[p] = static_cast<uint8_t>(0x80 + p);
    older[30] = 0;
    std::u16string caption(older.begin() + 24, older.begin() + 43);
    LoadFrame(older);
    Arrive();
    EXPECT_EQ(caption, m_dialog->m_strStamp.Text());
    LoadFrame(std::vector<uint8_t>(28, 'x'));
    Arrive();
    EXPECT_EQ(caption.replace(0, 4, u"xxxx"), m_dialog->m_strStamp.Text());
}

}  // namespace
