// The Qt message box that shows a platform message box.
#pragma once

#include <QMessageBox>
#include <memory>
#include <string>

#include "platform/windef.h"

namespace platform_user {

/* A message box with the buttons and icon of the type, over parent (NULL: none). */
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::u16string& text,
                                            const std::u16string& caption, UINT type);
/* The platform's result (IDOK, IDCANCEL) for the Qt result of a box of that type. */
int MessageBoxResult(int qtResult, UINT type);
/* The widget a box of hWnd is shown over: that window's, else the main window's; NULL if none. */
QWidget* MessageBoxParent(HWND hWnd);

}  // namespace platform_user
