// GDI family: device contexts, 32-bit bitmaps, brushes, text and block copies.
#pragma once

#include "windef.h"

#define SRCCOPY 0x00CC0020u
#define BITSPIXEL 12
#define WHITE_BRUSH 0
#define BLACK_BRUSH 4
#define DT_LEFT 0x00000000u
#define DT_TOP 0x00000000u
#define CLR_INVALID 0xFFFFFFFFu
#define GDI_ERROR 0xFFFFFFFFu

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

/* GetDC: a device context drawing on the window's client surface; release it with ReleaseDC. NULL for a bad window. */
HDC GetDC(HWND hWnd);

/* ReleaseDC: releases a device context from GetDC; 1 on success, 0 when hDC is not the window's. */
int ReleaseDC(HWND hWnd, HDC hDC);

/* CreateCompatibleDC: a memory device context holding a 1 x 1 stock bitmap until another is
   selected; NULL on failure. */
HDC CreateCompatibleDC(HDC hdc);

/* DeleteDC: releases a memory device context; the selected bitmap survives. FALSE for a bad handle. */
BOOL DeleteDC(HDC hdc);

/* GetDeviceCaps: BITSPIXEL gives 32 for every device context; other indices give 0. */
int GetDeviceCaps(HDC hdc, int nIndex);

/* CreateCompatibleBitmap: a new 32-bit bitmap of width x height, black; NULL on failure or when
   either side is not positive. */
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);

/* GetObjectW: copies the BITMAP description of a bitmap into lpvObject; the bytes copied, 0 on failure. */
int GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject);

/* SelectObject: selects a bitmap or brush into the device context; the previously selected one, NULL on failure. */
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ hgdiobj);

/* DeleteObject: releases a bitmap or brush that no device context holds selected; stock objects stay. FALSE on failure. */
BOOL DeleteObject(HGDIOBJ hObject);

/* GetStockObject: one of the platform's stock brushes; never deleted. */
HGDIOBJ GetStockObject(int fnObject);

/* FillRect: fills the rectangle (right and bottom exclusive) with the brush; nonzero on success. */
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);

/* SetTextColor: sets the text colour; returns the previous one, CLR_INVALID on failure. */
COLORREF SetTextColor(HDC hdc, COLORREF crColor);

/* SetBkColor: sets the opaque background colour of text cells; returns the previous one. */
COLORREF SetBkColor(HDC hdc, COLORREF crColor);

/* DrawTextW: draws nCount units (-1: up to the zero unit) top-left in lpRect, unwrapped and clipped,
   glyphs in the text colour on cells of the background colour; returns the text height, 0 on failure. */
int DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, RECT* lpRect, UINT uFormat);

/* BitBlt: copies a width x height block from the source to the destination (SRCCOPY only). */
BOOL BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc, int nXSrc,
            int nYSrc, DWORD dwRop);

/* StretchBlt: copies a source block scaled onto a destination block, nearest pixel (SRCCOPY only). */
BOOL StretchBlt(HDC hdcDest, int nXOriginDest, int nYOriginDest, int nWidthDest, int nHeightDest,
                HDC hdcSrc, int nXOriginSrc, int nYOriginSrc, int nWidthSrc, int nHeightSrc,
                DWORD dwRop);
