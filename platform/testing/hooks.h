// Test seams of the platform stand-in: what a test cannot have for real (an attached debugger,
// a user answering message boxes, a missing or controllable performance counter, a name lookup
// that never returns, a thread or socket layer that cannot be created) and counts of live
// platform objects. Only tests include this header.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "../windef.h"

namespace platform_testing {

/* Receives every OutputDebugStringW text while set (a debugger attached); empty function detaches. */
void SetDebugOutputObserver(std::function<void(const std::u16string&)> observer);

/* Answers every message box instead of showing it, on the calling thread; empty function restores. */
void SetMessageBoxAnswerer(std::function<int(const std::u16string& text, UINT type)> answerer);

/* Replaces the performance counter: frequency 0 with present=false makes the probe fail. */
void SetPerformanceCounter(bool present, int64_t frequency, std::function<int64_t()> reading);
/* Restores the monotonic clock. */
void ResetPerformanceCounter();

/* Replaces the name resolver (IPv4 address in network order, false when unknown). The stand-in
   still runs it on a helper so closing the socket abandons the wait. Empty function restores. */
void SetHostResolver(std::function<bool(const std::string& name, uint32_t* address)> resolver);

/* Runs observer after every close of an open socket, on the closing thread, before closesocket
   returns; empty function detaches. Lets a test hold the closing thread right after its close. */
void SetSocketCloseObserver(std::function<void(uint32_t socket)> observer);

/* The next `count` thread creations fail. */
void FailThreadCreations(int count);
/* WSAStartup fails while set. */
void FailSocketLayerStartup(bool fail);

/* Runs observer after every settings value written successfully, on the writing thread, before the
   write returns; empty function detaches. Lets a test change the settings folder between writes. */
void SetSettingsWriteObserver(std::function<void()> observer);

/* A window on the calling thread whose messages go to proc; for tests without a dialog. */
HWND CreateTestWindow(std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)> proc);

/* Live platform objects, for leak checks. */
int LiveBitmapCount();
int LiveDeviceContextCount();
int OpenSocketCount();
int LiveThreadCount();
int LiveWindowCount();
/* Threads waiting in a cross-thread SendMessageW to the window whose call has not run yet or is
   running; 0 for a bad handle. */
int WaitingSendCount(HWND hWnd);
int OpenRegistryKeyCount();

}  // namespace platform_testing
