// The frame image holder: the latest frame as a device bitmap, and the drawing of it.
#pragma once

#include "platform/windows.h"

// The memory device context of every decode and every drawing: made by the first DecodeFrame,
// never deleted.
extern HDC g_hMemDC;

class CJpegImage {
public:
    CJpegImage();
    virtual ~CJpegImage();
    CJpegImage(const CJpegImage&) = delete;
    CJpegImage& operator=(const CJpegImage&) = delete;

    // Replaces the bitmap with the frame now in ImageData (none when it does not decode).
    // hdc is a device context of the window that will show the picture. Returns TRUE.
    BOOL DecodeFrame(HDC hdc);
    // Draws the bitmap at (x, y) stretched to cx by cy, or at its own size when both are -1;
    // nothing when the holder is empty. Returns TRUE.
    BOOL Draw(HDC hdc, int x, int y, int cx, int cy);

    // The decoder's data callback: copies nothing and reports ImageDataLength, because the
    // decoder reads ImageData itself.
    static DWORD GetFrameData(LPSTR szBuffer, DWORD dwBufferMax, LPARAM lParam);
    // The decoder's progress callback: nothing to do.
    static void ImageProgress(IImageRender* pRender, BOOL bComplete, LPARAM lParam);

    int m_nHeight = 0;            // of the current bitmap, read back after a decode
    int m_nWidth = 0;             // of the current bitmap, read back after a decode
    HBITMAP m_hBitmap = nullptr;  // owned; none while the holder is empty
};
