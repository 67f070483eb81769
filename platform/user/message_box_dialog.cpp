// Message boxes as Qt message boxes: MB_OK shows OK, MB_OKCANCEL OK and Cancel (Escape cancels);
// MB_ICONEXCLAMATION shows the warning icon.
#include "platform/user/message_box_dialog.h"

#include "platform/user.h"
#include "platform/user/main_window.h"
#include "platform/user/window.h"

namespace platform_user {

namespace {

const UINT kButtonMask = 0x0000000Fu;
const UINT kIconMask = 0x000000F0u;

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::u16string& text,
                                            const std::u16string& caption, UINT type) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(ToQString(caption));
    box->setText(ToQString(text));
    if ((type & kIconMask) == MB_ICONEXCLAMATION) box->setIcon(QMessageBox::Warning);
    if ((type & kButtonMask) == MB_OKCANCEL) {
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

int MessageBoxResult(int qtResult, UINT type) {
    if ((type & kButtonMask) != MB_OKCANCEL) return IDOK;
    return qtResult == QMessageBox::Ok ? IDOK : IDCANCEL;
}

QWidget* MessageBoxParent(HWND hWnd) {
    std::shared_ptr<Window> window = OwnedWindow(hWnd);
    if (window == nullptr) window = OwnedWindow(ApplicationMainWindow());
    if (window == nullptr || window->windowClass->Widget() == nullptr) return nullptr;
    return window->windowClass->Widget()->window();
}

}  // namespace platform_user
