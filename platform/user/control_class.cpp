// Controls by template class name.
#include "platform/user/control_class.h"

#include "platform/user.h"

namespace platform_user {

namespace {

bool SameClass(LPCWSTR className, const char16_t* expected) {
    return className != nullptr && QString::fromUtf16(className).compare(
                                       QString::fromUtf16(expected), Qt::CaseInsensitive) == 0;
}

}  // namespace

ControlClass::ControlClass(QWidget* widget) : m_widget(widget) {
    m_widget->setAutoFillBackground(true);
}

ControlClass::~ControlClass() {
    delete m_widget.data();
}

std::unique_ptr<ControlClass> MakeControl(const DLGITEM_RESOURCE& item, QWidget* parent) {
    if (SameClass(item.className, u"static")) return MakeStaticControl(item, parent);
    if (SameClass(item.className, u"button")) return MakeButtonControl(item, parent);
    if (SameClass(item.className, u"edit")) return MakeEditControl(item, parent);
    if (SameClass(item.className, u"combobox")) return MakeComboBoxControl(item, parent);
    return nullptr;
}

void SendNotification(HWND hDlg, HWND hCtl, int id, WORD code) {
    QtDispatchScope scope(hDlg);
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hCtl));
}

}  // namespace platform_user
