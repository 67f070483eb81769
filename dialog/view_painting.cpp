// Painting of the view: a status text, or the caption, the frame rate and the picture, and the
// request for the next frame at every connected paint.
#include "camera/camera_protocol.h"
#include "common/trace.h"
#include "dialog/pemblar_dlg.h"

namespace {

const COLORREF kWhite = 0xFFFFFF;
const COLORREF kBlack = 0x000000;
const LONG kViewLeft = 5;
const LONG kViewTop = 70;
const LONG kBandBottom = 90;
const LONG kBandSplit = 165;
const LONG kBandTextTop = 72;

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
    const RECT viewArea = {kViewLeft, kViewTop, w + 5, h + 90};
    const RECT statusText = {w / 2 - 25, h / 2 + 70, w / 2 + 65, h / 2 + 90};
    const RECT disconnectedText = {w / 2 - 35, h / 2 + 70, w / 2 + 65, h / 2 + 90};

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
        const RECT rateBand = {kBandSplit, kViewTop, w + 5, kBandBottom};
        FillRect(dc, &rateBand, m_brushBack);
        m_strViewText.Format(u"%f", static_cast<double>(m_fFps));
        DrawViewText(dc, m_strViewText, {kBandSplit, kBandTextTop, w + 5, kBandBottom});

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
