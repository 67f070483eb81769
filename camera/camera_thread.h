// The worker that runs one camera connection from address resolution to the end of the stream.
#pragma once

#include "platform/windows.h"

#define WM_IMAGE_ARRIVED (WM_USER + 2)

/* Runs one connection for the CCameraOwner passed as pParam; always returns 0. One connection at
   a time: a thread waits for the thread of the previous connection to end before it starts. */
UINT CameraThreadProc(LPVOID pParam);
