// Showing, focusing, centring and ending dialogs, and the nested event loop of a modal run.
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include "platform/user.h"
#include "platform/user/dialog_class.h"
#include "platform/user/dialog_window.h"

namespace platform_user {

void FocusFirstTabStop(HWND hDlg) {
    std::shared_ptr<Window> window = OwnedWindow(hDlg);
    DialogClass* dialog = OwnedDialog(hDlg);
    if (window == nullptr || dialog == nullptr) return;
    for (HWND child : window->children) {
        std::shared_ptr<Window> control = OwnedWindow(child);
        if (control == nullptr || (control->style & WS_TABSTOP) == 0) continue;
        QWidget* widget = control->windowClass->Widget();
        if (widget == nullptr || widget->isHidden() || !widget->isEnabled()) continue;
        dialog->SetInitialFocus(widget);
        widget->setFocus(Qt::TabFocusReason);
        return;
    }
}

void ShowDialog(HWND hDlg) {
    DialogClass* dialog = OwnedDialog(hDlg);
    if (dialog == nullptr) return;
    dialog->Dialog()->show();
    dialog->Dialog()->activateWindow();
    if (QWidget* focus = dialog->InitialFocus()) focus->setFocus(Qt::TabFocusReason);
}

INT_PTR RunModalDialog(HWND hDlg) {
    DialogClass* dialog = OwnedDialog(hDlg);
    if (dialog == nullptr) return -1;
    const std::shared_ptr<ModalRun> run = dialog->Modal();
    if (!run->ended) {
        QEventLoop loop;
        run->loop = &loop;
        dialog->Dialog()->setWindowModality(Qt::ApplicationModal);
        ShowDialog(hDlg);
        loop.exec(QEventLoop::DialogExec);
        run->loop = nullptr;
        // The dialog may have been destroyed while it ran.
        if (DialogClass* still = OwnedDialog(hDlg)) {
            still->Dialog()->hide();
            still->Dialog()->setWindowModality(Qt::NonModal);
        }
    }
    return run->result;
}

bool EndDialogWindow(HWND hDlg, INT_PTR result) {
    DialogClass* dialog = OwnedDialog(hDlg);
    if (dialog == nullptr) return false;
    const std::shared_ptr<ModalRun>& run = dialog->Modal();
    run->ended = true;
    run->result = result;
    run->loop != nullptr ? run->loop->exit() : dialog->Dialog()->hide();
    return true;
}

void CenterWindowOver(HWND hWnd, HWND owner) {
    QWidget* widget = TopLevelWidget(hWnd);
    if (widget == nullptr) return;
    QWidget* ownerWidget = owner != nullptr                    ? TopLevelWidget(owner)
                           : widget->parentWidget() != nullptr ? widget->parentWidget()->window()
                                                               : nullptr;
    QRect area;
    if (ownerWidget != nullptr) {
        area = ownerWidget->frameGeometry();
    } else if (QScreen* screen =
                   widget->screen() ? widget->screen() : QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    const QRect frame = widget->frameGeometry();
    widget->move(area.x() + (area.width() - frame.width()) / 2,
                 area.y() + (area.height() - frame.height()) / 2);
}

void FocusControl(HWND hCtl) {
    std::shared_ptr<Window> window = OwnedWindow(hCtl);
    QWidget* widget = window == nullptr ? nullptr : window->windowClass->Widget();
    if (widget == nullptr) return;
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* entry = qobject_cast<QLineEdit*>(widget)) entry->selectAll();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) combo->lineEdit()->selectAll();
}

}  // namespace platform_user
