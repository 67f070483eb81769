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

/* CreateCompatibleDC: a memory device context holding the 1 x 1 stock bitmap until another is
   selected; hdc is NULL (the screen) or a live device context. NULL for a bad hdc. */
HDC CreateCompatibleDC(HDC hdc);

/* DeleteDC: releases a memory device context; its selected bitmap is deselected and survives.
   FALSE for any other handle. */
BOOL DeleteDC(HDC hdc);

/* GetDeviceCaps: BITSPIXEL gives 32 for every live device context; other indices and bad
   handles give 0. */
int GetDeviceCaps(HDC hdc, int nIndex);

/* CreateCompatibleBitmap: a new black 32-bit bitmap of width x height (hdc NULL or a live device
   context); NULL for a bad hdc or when either side is not positive or too large. */
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);

/* GetObjectW: copies a bitmap's BITMAP description (type 0, one plane, 32 bits per pixel, no
   bits pointer) into lpvObject; with lpvObject NULL, the size a description needs. The bytes
   copied; 0 for any other object or a short buffer. */
int GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject);

/* SelectObject: selects a bitmap into a memory device context (only while no other one holds it)
   or a brush into any device context; the object it replaced, NULL on failure. */
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ hgdiobj);

/* DeleteObject: releases a bitmap that no device context holds selected, its pixel memory kept
   for the next bitmap of its size; stock objects stay and give TRUE. FALSE for a selected
   bitmap, a device context or a bad handle. */
BOOL DeleteObject(HGDIOBJ hObject);

/* GetStockObject: the white or the black stock brush, never deleted; NULL for another index. */
HGDIOBJ GetStockObject(int fnObject);

/* FillRect: fills left..right-1 by top..bottom-1 with the brush (on a surface with a device pixel
   ratio, the device pixels between the mapped edges), clipped to the surface; an empty or
   inverted rectangle fills nothing. Nonzero on success, 0 for a bad device context, rectangle
   or brush. */
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);

/* SetTextColor: sets the text colour; the previous one, CLR_INVALID for a bad device context. */
COLORREF SetTextColor(HDC hdc, COLORREF crColor);

/* SetBkColor: sets the opaque background colour of text cells; the previous one, CLR_INVALID
   for a bad device context. */
COLORREF SetBkColor(HDC hdc, COLORREF crColor);

/* DrawTextW: format 0 only (top-left, one line, no wrap): draws nCount units (-1: up to the zero
   unit) in the text colour on the text's own cell (its advance by the font's height) filled with
   the background colour, clipped to lpRect; on a surface with a device pixel ratio, at the
   surface's resolution. The font's height, 0 on failure. */
int DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, RECT* lpRect, UINT uFormat);

/* BitBlt: copies a width x height block from the source to the destination unscaled (onto a
   surface with a device pixel ratio, enlarged by it); parts outside either surface are skipped.
   SRCCOPY only; FALSE for another operation or a bad device context. */
BOOL BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc, int nXSrc,
            int nYSrc, DWORD dwRop);

/* StretchBlt: maps the source block onto the destination block by nearest pixel, unsmoothed; a
   negative extent on one side only mirrors that axis. SRCCOPY only; FALSE as for BitBlt. */
BOOL StretchBlt(HDC hdcDest, int nXOriginDest, int nYOriginDest, int nWidthDest, int nHeightDest,
                HDC hdcSrc, int nXOriginSrc, int nYOriginSrc, int nWidthSrc, int nHeightSrc,
                DWORD dwRop);
