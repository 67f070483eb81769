// Controls of a dialog: child widgets made from the template's items.
#pragma once

#include <QLineEdit>
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
    explicit ControlClass(QWidget* widget) : m_widget(widget) {
        m_widget->setAutoFillBackground(true);
    }
    ~ControlClass() override { delete m_widget.data(); }
    ControlClass(const ControlClass&) = delete;
    ControlClass& operator=(const ControlClass&) = delete;

    QWidget* Widget() override { return m_widget.data(); }
    /* Starts sending the control's notifications (WM_COMMAND) to its dialog. */
    virtual void NotifyDialog(HWND hDlg, HWND hCtl, int id) { (void)hDlg, (void)hCtl, (void)id; }

private:
    QPointer<QWidget> m_widget;
};

class EntryLimit;

// A control whose text is a one-line entry with a character limit: typing and pasting cannot
// make the text longer than the limit, while a longer text set by the program stays as it is.
class EntryControl : public ControlClass {
public:
    /* limitMessage sets the limit in characters (0: the platform's largest) and returns
       limitResult. */
    EntryControl(QWidget* widget, QLineEdit* entry, UINT limitMessage, LRESULT limitResult);

    std::u16string Text() const override { return FromQString(m_entry->text()); }
    /* Sets the text as the program does, whatever its length; the text the entry already shows
       leaves it alone (caret, selection and picture stay). */
    void SetText(const std::u16string& text) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    QLineEdit* m_entry;
    EntryLimit* m_limit;  // owned by the entry
    const UINT m_limitMessage;
    const LRESULT m_limitResult;
};

/* The control of a template item of that class (in lower case) as a child of parent, its text
   set, not yet placed; NULL for an unknown class. */
std::unique_ptr<ControlClass> MakeControl(const std::u16string& className,
                                          const DLGITEM_RESOURCE& item, QWidget* parent);
/* The drop-down combo box of a template item. */
std::unique_ptr<ControlClass> MakeComboBoxControl(QWidget* parent);

/* Sends WM_COMMAND with the notification code from control hCtl (id) to its dialog. */
void SendNotification(HWND hDlg, HWND hCtl, int id, WORD code);

}  // namespace platform_user
