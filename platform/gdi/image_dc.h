// Device contexts that draw on an image owned elsewhere: a window's client surface.
#pragma once

#include <QImage>

#include "platform/windef.h"

/* Creates a device context drawing on target (32-bit, kept alive by the caller until the DC is
   deleted); default state: black text, white opaque background, nothing selected. */
HDC CreateImageDC(QImage* target);

/* Releases a device context made by CreateImageDC; FALSE for any other handle. */
BOOL DeleteImageDC(HDC hdc);
