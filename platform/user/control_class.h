// Controls of a dialog: child widgets made from the template's items.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "platform/resource_types.h"
#include "platform/user/window.h"

namespace platform_user {

class ControlClass : public WindowClass {
public:
    /* Takes the child widget; it is deleted with the control. Controls paint their whole area,
       so that their own repaints never paint the dialog beneath them. */
    explicit ControlClass(QWidget* widget);
    ~ControlClass() override;
    ControlClass(const ControlClass&) = delete;
    ControlClass& operator=(const ControlClass&) = delete;

    QWidget* Widget() override { return m_widget.data(); }
    /* Starts sending the control's notifications (WM_COMMAND) to its dialog. */
    virtual void NotifyDialog(HWND hDlg, HWND hCtl, int id) { (void)hDlg, (void)hCtl, (void)id; }

private:
    QPointer<QWidget> m_widget;
};

/* The control of a template item as a child of parent (its text set, not yet placed); NULL for
   an unknown class. */
std::unique_ptr<ControlClass> MakeControl(const DLGITEM_RESOURCE& item, QWidget* parent);

std::unique_ptr<ControlClass> MakeStaticControl(const DLGITEM_RESOURCE& item, QWidget* parent);
std::unique_ptr<ControlClass> MakeButtonControl(const DLGITEM_RESOURCE& item, QWidget* parent);
std::unique_ptr<ControlClass> MakeEditControl(const DLGITEM_RESOURCE& item, QWidget* parent);
std::unique_ptr<ControlClass> MakeComboBoxControl(const DLGITEM_RESOURCE& item, QWidget* parent);

/* Sends WM_COMMAND with the notification code from control hCtl (id) to its dialog. */
void SendNotification(HWND hDlg, HWND hCtl, int id, WORD code);

}  // namespace platform_user
