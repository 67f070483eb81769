// Name lookups in progress, so that closing a socket can abandon the lookup of the thread
// that created it.
#pragma once

#include "platform/windef.h"

namespace platform_winsock {

/* Wakes a gethostbyname waiting on that thread; it returns NULL with WSAEINTR. */
void AbandonLookupOfThread(DWORD threadId);

}  // namespace platform_winsock
