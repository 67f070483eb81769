// Buttons: push buttons (the default one reacts to Enter) and automatic check boxes. A click
// sends BN_CLICKED to the dialog; BM_GETCHECK and BM_SETCHECK read and set a check box.
#include <QCheckBox>
#include <QPushButton>

#include "platform/user.h"
#include "platform/user/control_class.h"

namespace platform_user {

namespace {

const DWORD kButtonTypeMask = 0x0000000Fu;

class ButtonControl : public ControlClass {
public:
    explicit ButtonControl(QAbstractButton* button) : ControlClass(button), m_button(button) {}

    std::u16string Text() const override { return FromQString(m_button->text()); }
    void SetText(const std::u16string& text) override { m_button->setText(ToQString(text)); }

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) override {
        switch (message) {
            case BM_GETCHECK:
                *result =
                    m_button->isCheckable() && m_button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
                return true;
            case BM_SETCHECK:
                if (m_button->isCheckable()) m_button->setChecked(wParam == BST_CHECKED);
                *result = 0;
                return true;
            default:
                return false;
        }
    }

    void NotifyDialog(HWND hDlg, HWND hCtl, int id) override {
        QObject::connect(m_button, &QAbstractButton::clicked, m_button,
                         [hDlg, hCtl, id] { SendNotification(hDlg, hCtl, id, BN_CLICKED); });
    }

private:
    QAbstractButton* m_button;
};

}  // namespace

std::unique_ptr<ControlClass> MakeButtonControl(const DLGITEM_RESOURCE& item, QWidget* parent) {
    const DWORD type = item.style & kButtonTypeMask;
    QAbstractButton* button;
    if (type == BS_AUTOCHECKBOX) {
        button = new QCheckBox(parent);
    } else {
        auto* push = new QPushButton(parent);
        push->setDefault(type == BS_DEFPUSHBUTTON);
        button = push;
    }
    auto control = std::make_unique<ButtonControl>(button);
    control->SetText(item.text == nullptr ? std::u16string() : std::u16string(item.text));
    return control;
}

}  // namespace platform_user
