#include "imaging/jpeg_image.h"

#include "common/frame_buffer.h"

HDC g_hMemDC = nullptr;

namespace {

constexpr DWORD kDecompressInfoSize = 60;
constexpr int kDecodeScale = 100;
constexpr int kMaxFrameWidth = 10000;
constexpr int kMaxFrameHeight = 10000;
constexpr COLORREF kNoTransparentOverride = 0xFFFFFFFF;

}  // namespace

CJpegImage::CJpegImage() = default;

CJpegImage::~CJpegImage() {
    if (m_hBitmap != nullptr) DeleteObject(m_hBitmap);
}

BOOL CJpegImage::DecodeFrame(HDC hdc) {
    if (m_hBitmap != nullptr) {
        DeleteObject(m_hBitmap);
        m_hBitmap = nullptr;
    }
    if (g_hMemDC == nullptr) g_hMemDC = CreateCompatibleDC(hdc);

    DECOMPRESSIMAGEINFO info;
    info.dwSize = kDecompressInfoSize;
    info.pbBuffer = ImageData;
    info.dwBufferMax = MAX_IMAGE_DATA_LENGTH;
    info.dwBufferCurrent = 0;
    info.phBM = &m_hBitmap;
    info.ppImageRender = nullptr;
    info.iBitDepth = GetDeviceCaps(hdc, BITSPIXEL);
    info.lParam = 0;
    info.hdc = g_hMemDC;
    info.iScale = kDecodeScale;
    info.iMaxWidth = kMaxFrameWidth;
    info.iMaxHeight = kMaxFrameHeight;
    info.pfnGetData = GetFrameData;
    info.pfnImageProgress = ImageProgress;
    info.crTransparentOverride = kNoTransparentOverride;
    DecompressImageIndirect(&info);

    if (m_hBitmap != nullptr) {
        BITMAP description{};
        GetObjectW(m_hBitmap, sizeof(description), &description);
        m_nWidth = description.bmWidth;
        m_nHeight = description.bmHeight;
    }
    return TRUE;
}

BOOL CJpegImage::Draw(HDC hdc, int x, int y, int cx, int cy) {
    if (m_hBitmap == nullptr) return TRUE;
    const bool ownSize = cx == -1 && cy == -1;
    HGDIOBJ previous = SelectObject(g_hMemDC, m_hBitmap);
    BITMAP description{};
    GetObjectW(m_hBitmap, sizeof(description), &description);
    if (ownSize) {
        BitBlt(hdc, x, y, description.bmWidth, description.bmHeight, g_hMemDC, 0, 0, SRCCOPY);
    } else {
        StretchBlt(hdc, x, y, cx, cy, g_hMemDC, 0, 0, description.bmWidth, description.bmHeight,
                   SRCCOPY);
    }
    SelectObject(g_hMemDC, previous);
    return TRUE;
}

DWORD CJpegImage::GetFrameData(LPSTR /*szBuffer*/, DWORD /*dwBufferMax*/, LPARAM /*lParam*/) {
    return static_cast<DWORD>(ImageDataLength);
}

void CJpegImage::ImageProgress(IImageRender* /*pRender*/, BOOL /*bComplete*/, LPARAM /*lParam*/) {}
