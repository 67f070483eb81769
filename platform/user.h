// User family: windows, messages, painting, controls and message boxes.
//
// A window handle names a live window object owned by the thread that created it (the UI
// thread). SendMessageW on that thread dispatches at once; from another thread it queues the
// message to the owner and waits for the result. Once a window is being destroyed, every
// pending and later cross-thread send to it returns 0 at once.
#pragma once

#include "windef.h"

#define WM_DESTROY 0x0002u
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_SETTEXT 0x000Cu
#define WM_GETTEXT 0x000Du
#define WM_GETTEXTLENGTH 0x000Eu
#define WM_SETICON 0x0080u
#define WM_NCDESTROY 0x0082u
#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u
#define WM_USER 0x0400u

#define ICON_SMALL 0
#define ICON_BIG 1

#define BN_CLICKED 0

#define IDOK 1
#define IDCANCEL 2

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ICONEXCLAMATION 0x00000030u

#define CB_ERR (-1)
#define CB_GETCOUNT 0x0146u
#define CB_ADDSTRING 0x0143u
#define CB_RESETCONTENT 0x014Bu
#define CB_FINDSTRING 0x014Cu
#define CB_GETLBTEXT 0x0148u
#define CB_GETLBTEXTLEN 0x0149u
#define CB_LIMITTEXT 0x0141u
#define EM_LIMITTEXT 0x00C5u
#define BM_GETCHECK 0x00F0u
#define BM_SETCHECK 0x00F1u
#define BST_UNCHECKED 0
#define BST_CHECKED 1

#define LOWORD(l) ((WORD)(((UINT_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((UINT_PTR)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)(((WORD)(l)) | (((DWORD)((WORD)(h))) << 16)))

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
};

/* SendMessageW: the result of the window's handler: at once on the window's thread, else queued
   to that thread while the caller waits. 0 for a bad handle (ERROR_INVALID_WINDOW_HANDLE), and
   across threads for a window being destroyed (also when that begins while the caller waits). */
LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

/* IsWindow: TRUE while the handle names a window that is not being destroyed. */
BOOL IsWindow(HWND hWnd);

/* DestroyWindow: marks the window and its controls destroyed, releasing waiting senders, sends
   WM_DESTROY and WM_NCDESTROY and releases it. FALSE for a bad handle
   (ERROR_INVALID_WINDOW_HANDLE), a window of another thread (ERROR_ACCESS_DENIED) or one
   already being destroyed. */
BOOL DestroyWindow(HWND hWnd);

/* InvalidateRect: schedules one paint of the whole window (several coalesce), from any thread;
   the rectangle and the erase flag are accepted, and the paint never erases: undrawn pixels
   keep their values. FALSE for a bad handle (ERROR_INVALID_WINDOW_HANDLE). */
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);

/* GetDC: a device context drawing on the window's client surface; release it with ReleaseDC.
   NULL for a window without one. */
HDC GetDC(HWND hWnd);

/* ReleaseDC: releases a device context from GetDC for this window; 1, or 0 when it is not one. */
int ReleaseDC(HWND hWnd, HDC hDC);

/* BeginPaint: a device context on the window's client surface for the paint in progress, the
   whole client area to be painted and nothing erased; NULL for a window without a surface. */
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);

/* EndPaint: releases the paint's device context; what was drawn shows once the paint that
   dispatched WM_PAINT copies the surface to the screen. */
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

/* GetClientRect: 0, 0 and the size of the window's widget (empty without one). FALSE for a bad
   handle (ERROR_INVALID_WINDOW_HANDLE) or a window of another thread (ERROR_ACCESS_DENIED). */
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);

/* GetDlgItem: the dialog's first control with that id in template order, from any thread; NULL
   when there is none or for a bad handle (ERROR_INVALID_WINDOW_HANDLE). */
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);

/* SetWindowTextW: sends WM_SETTEXT: a dialog's caption, a control's text, a combo box's entry;
   FALSE when the handler did not take it. */
BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString);

/* GetWindowTextLengthW: sends WM_GETTEXTLENGTH: the length in units of the text; 0 for a bad
   handle. */
int GetWindowTextLengthW(HWND hWnd);

/* GetWindowTextW: sends WM_GETTEXT: copies at most nMaxCount - 1 units of the text and a
   terminator; the units copied. */
int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount);

/* MessageBoxW: shows a modal box and returns the button pressed (IDOK for MB_OK); a NULL caption
   shows "Error"; 0 when no box can be shown (no Qt application). Called on a worker thread it
   blocks only that thread, and a worker's box is dismissed (IDCANCEL) when the application's
   main window is destroyed. */
int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

/* LoadIconW: the program's icon group with that id (MAKEINTRESOURCE), NULL if absent. Icons are
   shared and never destroyed. */
HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);
