// The window procedure through which the framework's window objects receive their messages.
#pragma once

#include "platform/afx.h"
#include "platform/user/window.h"

namespace platform_afx {

/* The procedure that delivers every message of the window to pWnd->WindowProc; at WM_NCDESTROY
   the object lets go of the handle. */
platform_user::WindowProcedure FrameworkProcedure(CWnd* pWnd);

}  // namespace platform_afx
