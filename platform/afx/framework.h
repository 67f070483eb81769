// What the framework's own files share: the window procedure of its window objects and the copy
// of a control's text.
#pragma once

#include <functional>

#include "platform/afx.h"
#include "platform/user/window.h"

namespace platform_afx {

/* The procedure that delivers every message of the window to pWnd->WindowProc; at WM_NCDESTROY
   the object lets go of the handle. */
platform_user::WindowProcedure FrameworkProcedure(CWnd* pWnd);

/* Copies a text of length units into rString through copy(buffer, buffer size), which returns
   the units it copied or a negative number; that number, rString untouched when negative. */
int CopyText(int length, const std::function<int(LPWSTR, int)>& copy, CString& rString);

/* The window's text. */
CString WindowText(HWND hWnd);

}  // namespace platform_afx
