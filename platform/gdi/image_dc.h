// Device contexts that draw on an image owned elsewhere: a window's client surface.
#pragma once

#include <QImage>

#include "platform/windef.h"

/* CreateImageDC: a device context drawing on target (32-bit, kept alive by the caller until the
   DC is deleted), got for window when one is given; default state: black text, white opaque
   background, nothing selected. NULL for a target of another format. */
HDC CreateImageDC(QImage* target, HWND window = nullptr);

/* DeleteImageDC: releases a device context from CreateImageDC for the same window (or none);
   FALSE for any other handle. */
BOOL DeleteImageDC(HDC hdc, HWND window = nullptr);
