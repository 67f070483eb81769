// Frame arrival: every WM_IMAGE_ARRIVED of the camera thread, a frame or a connection's end.
#include <cstring>

#include "common/frame_buffer.h"
#include "common/trace.h"
#include "dialog/pemblar_dlg.h"

namespace {

const int kCaptionFirst = 24;
const int kCaptionLast = 42;

// TRUE when the bytes FF D9 stand at two neighbouring positions of the first `length` bytes.
// Whether there is one does not depend on the direction of the search; it runs from the end,
// where a whole frame has its marker, jumping from one FF to the one before.
BOOL HasEndMarker(const BYTE* frame, int32_t length) {
    if (length < 2) return FALSE;
    size_t before = static_cast<size_t>(length) - 1;  // a marker's first byte stands before it
    while (const void* found = memrchr(frame, 0xFF, before)) {
        const BYTE* p = static_cast<const BYTE*>(found);
        if (p[1] == 0xD9) return TRUE;
        before = static_cast<size_t>(p - frame);
    }
    return FALSE;
}

}  // namespace

LRESULT CPemblarDlg::OnImageArrived(WPARAM, LPARAM) {
    UpdateFrameRate();

    // The caption sits at fixed positions, whatever the frame's length: one unit per byte.
    m_strStamp.Empty();
    for (int p = kCaptionFirst; p <= kCaptionLast; ++p) {
        m_strStamp.AppendChar(static_cast<WCHAR>(ImageData[p]));
    }

    // A frame without its end marker is not decoded and the picture is kept. Like a frame without
    // a device context, it is still repainted: the view then tells the truth (Disconnected once the
    // connection has ended) and the paint requests the next frame.
    const int32_t length = ImageDataLength;
    if (length != 0 && !HasEndMarker(ImageData, length)) {
        TraceMessage(u"There is no 0xFFD9 in current image");
    } else if (HDC hdc = GetDC(m_hWnd); hdc != nullptr) {
        m_image.DecodeFrame(hdc);
        if (ReleaseDC(m_hWnd, hdc) == 0) {
            TraceMessage(u"ReleaseDC: fail");
        }
    }
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 1;
}
