// Name lookups in progress, so that closing a socket can abandon its creator thread's lookup.
#pragma once

#include <atomic>
#include <memory>

#include "platform/windef.h"

namespace platform_winsock {

/* Wakes a gethostbyname waiting on that thread; it returns NULL with WSAEINTR. */
void AbandonLookupOfThread(DWORD threadId);
/* The calling thread made a socket: once another thread has closed it (the flag is set), the
   calling thread's lookups do not start, until it makes another socket. */
void NoteSocketCreated(std::shared_ptr<const std::atomic<bool>> closedByAnotherThread);

}  // namespace platform_winsock
