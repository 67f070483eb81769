// Painting of the view: a status text, or the caption, the frame rate and the picture, and the
// request for the next frame at every connected paint.
#include "camera/camera_protocol.h"
#include "common/trace.h"
#include "dialog/pemblar_dlg.h"

namespace {

const COLORREF kWhite = 0xFFFFFF;
const COLORREF kBlack = 0x000000;
// The view's fixed edges in dialog pixels. The band with the caption and the frame rate runs
// from kViewTop to kBandBottom, the picture from kBandBottom down; the caption ends and the rate
// begins at kBandSplit; the band's texts start at kBandTextTop.
const LONG kViewLeft = 5;
const LONG kViewTop = 70;
const LONG kBandTextTop = 72;
const LONG kBandBottom = 90;
const LONG kBandSplit = 165;
// The status texts are placed from half the view's width and height, measured from the dialog's
// corner: from this far left of the half width (further for the longer "Disconnected") to this
// far right of it, and as high as the band, moved down by half the height.
const LONG kStatusLeftOfHalfWidth = 25;
const LONG kDisconnectedLeftOfHalfWidth = 35;
const LONG kStatusRightOfHalfWidth = 65;

void DrawViewText(HDC hdc, const CString& text, RECT rect) {
    DrawTextW(hdc, text, text.GetLength(), &rect, 0);
}

}  // namespace

void CPemblarDlg::OnPaint() {
    CPaintDC dc(this);

    UpdateData(TRUE);
    UpdateData(FALSE);

    const LONG w = m_nViewWidth;
    const LONG h = m_nViewHeight;
    const LONG viewRight = kViewLeft + w;
    const LONG viewBottom = kBandBottom + h;
    const LONG statusTop = kViewTop + h / 2;
    const LONG statusBottom = kBandBottom + h / 2;
    const LONG statusRight = w / 2 + kStatusRightOfHalfWidth;
    const RECT viewArea = {kViewLeft, kViewTop, viewRight, viewBottom};
    const RECT statusText = {w / 2 - kStatusLeftOfHalfWidth, statusTop, statusRight, statusBottom};
    const RECT disconnectedText = {w / 2 - kDisconnectedLeftOfHalfWidth, statusTop, statusRight,
                                   statusBottom};

    if (m_bLoading) {
        FillRect(dc, &viewArea, m_brushBack);
        DrawViewText(dc, u"   Loading   ", statusText);
    } else if (m_bTrying) {
        FillRect(dc, &viewArea, m_brushBack);
        DrawViewText(dc, u"   Trying   ", statusText);
    } else if (!m_bConnected) {
        FillRect(dc, &viewArea, m_brushBack);
        DrawViewText(dc, u"   Disconnected   ", disconnectedText);
        m_btnConnect.SetWindowText(u"Connect");
        UpdateData(FALSE);
    } else {
        if (wcscmp(m_strStamp, m_strLastStamp) != 0) {
            SetTextColor(dc, kWhite);
            SetBkColor(dc, kBlack);
            const RECT captionBand = {kViewLeft, kViewTop, kBandSplit, kBandBottom};
            FillRect(dc, &captionBand, m_brushBack);
            m_strLastStamp.Format(u"%s", static_cast<LPCWSTR>(m_strStamp));
            m_strViewText.Format(u"  %s", static_cast<LPCWSTR>(m_strStamp));
            DrawViewText(dc, m_strViewText, {kViewLeft, kBandTextTop, kBandSplit, kBandBottom});
        }

        SetTextColor(dc, kWhite);
        SetBkColor(dc, kBlack);
        const RECT rateBand = {kBandSplit, kViewTop, viewRight, kBandBottom};
        FillRect(dc, &rateBand, m_brushBack);
        m_strViewText.Format(u"%f", static_cast<double>(m_fFps));
        DrawViewText(dc, m_strViewText, {kBandSplit, kBandTextTop, viewRight, kBandBottom});

        m_image.Draw(dc, kViewLeft, kBandBottom, w, h);

        const SOCKET socket = m_socket;
        if (!SendImageRequestPacket(socket)) {
            TraceMessage(u"SendImageRequestPacket returns FALSE");
            if (closesocket(socket) == SOCKET_ERROR) {
                TraceMessage(u"closesocket failed3");
            }
        }
    }
}
