// Kernel family: last error, performance counter, threads, critical sections, debug output.
#pragma once

#include "windef.h"

#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0u
#define WAIT_TIMEOUT 258u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 259u
#define CREATE_SUSPENDED 0x00000004u
#define THREAD_PRIORITY_NORMAL 3  // the device's normal priority level

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_INVALID_WINDOW_HANDLE 1400L

typedef DWORD (*LPTHREAD_START_ROUTINE)(LPVOID);

/* GetLastError: returns the calling thread's last-error code. */
DWORD GetLastError();

/* SetLastError: sets the calling thread's last-error code. */
void SetLastError(DWORD dwErrCode);

/* QueryPerformanceFrequency: stores the counts per second; FALSE when there is no counter. */
BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency);

/* QueryPerformanceCounter: stores the monotonic counter's reading; FALSE when there is none. */
BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount);

/* CreateThread: starts lpStartAddress(lpParameter) on a new thread, suspended with
   CREATE_SUSPENDED; NULL with ERROR_INVALID_PARAMETER (no procedure) or ERROR_NOT_ENOUGH_MEMORY (no
   thread). */
HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, DWORD dwStackSize,
                    LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                    DWORD dwCreationFlags, LPDWORD lpThreadId);

/* ResumeThread: decrements the suspend count, starting the thread at zero; the previous count, or
   0xFFFFFFFF with ERROR_INVALID_HANDLE. */
DWORD ResumeThread(HANDLE hThread);

/* GetExitCodeThread: stores STILL_ACTIVE while the thread runs, else its exit code; FALSE with
   ERROR_INVALID_HANDLE. */
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);

/* WaitForSingleObject: waits up to dwMilliseconds for a thread to end; WAIT_OBJECT_0, WAIT_TIMEOUT,
   or WAIT_FAILED with ERROR_INVALID_HANDLE. */
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

/* CloseHandle: releases a thread handle; the thread runs on. FALSE with ERROR_INVALID_HANDLE. */
BOOL CloseHandle(HANDLE hObject);

/* GetCurrentThreadId: a number naming the calling thread, never given to another thread. */
DWORD GetCurrentThreadId();

/* Sleep: suspends the calling thread for at least dwMilliseconds. */
void Sleep(DWORD dwMilliseconds);

struct CRITICAL_SECTION {
    alignas(8) unsigned char opaque[64];
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

/* InitializeCriticalSection: makes a recursive lock ready for use. */
void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

/* DeleteCriticalSection: releases a lock that no thread holds. */
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

/* EnterCriticalSection: blocks until the calling thread holds the lock. */
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

/* LeaveCriticalSection: releases one hold of the lock by the calling thread. */
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

/* OutputDebugStringW: hands a copy of the text to an attached debugger; without one, nothing. */
void OutputDebugStringW(LPCWSTR lpOutputString);
