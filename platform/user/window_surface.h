// The client surface of a window: the pixels its paints draw on, kept between paints.
#pragma once

#include <QImage>

#include "platform/windef.h"

/* The window's client surface (Format_RGB32, the client area in device pixels, carrying the
   window's device pixel ratio); NULL for a bad handle. Valid on the window's thread until the
   window is destroyed. */
QImage* GetWindowSurface(HWND hWnd);
