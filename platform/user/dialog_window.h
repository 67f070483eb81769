// Dialogs: top-level windows made from a template, with a persistent client surface, shown
// modelessly or run modally in a nested event loop.
#pragma once

#include "platform/resource_types.h"
#include "platform/user/window.h"

namespace platform_user {

/* The dialog template with that id in the program's resources; NULL when absent. */
const DLGTEMPLATE_RESOURCE* FindDialogTemplate(UINT id);

/* Creates the dialog and its controls from the template, hidden, owned by owner (NULL: none;
   the template position is then taken on the desktop, else in the owner's client area), with
   its messages going to procedure. WM_INITDIALOG is not sent. NULL when no dialog can be made:
   no Qt widget application, or no mailbox for the thread (ERROR_NOT_ENOUGH_MEMORY). */
HWND CreateDialogWindow(const DLGTEMPLATE_RESOURCE& dialogTemplate, HWND owner,
                        WindowProcedure procedure, void* frameworkObject);

/* Gives the keyboard focus to the first control with WS_TABSTOP. */
void FocusFirstTabStop(HWND hDlg);
/* Shows a modeless dialog. */
void ShowDialog(HWND hDlg);
/* Shows the dialog modally and runs a nested event loop until EndDialogWindow; its result, or
   -1 for a bad handle. A dialog ended before it was shown is never shown. */
INT_PTR RunModalDialog(HWND hDlg);
/* Ends the dialog's modal run with result once the current handler returns; a modeless dialog
   is hidden. FALSE for a window that is no dialog. */
bool EndDialogWindow(HWND hDlg, INT_PTR result);
/* Centres the window over owner, or when that is NULL over its own owner, or over the screen
   when it has none. */
void CenterWindowOver(HWND hWnd, HWND owner);
/* Gives the keyboard focus to the control and selects its text. */
void FocusControl(HWND hCtl);
/* The window's class name as in templates: u"combobox", u"edit", ..., u"dialog"; empty if none. */
std::u16string WindowClassName(HWND hWnd);

}  // namespace platform_user
