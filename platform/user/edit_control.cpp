// The edit control: a one-line entry with a character limit (EM_LIMITTEXT) that scrolls its
// text; ES_PASSWORD hides what is typed.
#include <QLineEdit>

#include "platform/user.h"
#include "platform/user/control_class.h"
#include "platform/user/entry_limit.h"

namespace platform_user {

namespace {

class EditControl : public ControlClass {
public:
    explicit EditControl(QLineEdit* entry)
        : ControlClass(entry), m_entry(entry), m_limit(new EntryLimit(entry)) {}

    std::u16string Text() const override { return FromQString(m_entry->text()); }
    void SetText(const std::u16string& text) override { m_limit->SetText(ToQString(text)); }

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) override {
        if (message != EM_LIMITTEXT) return false;
        m_limit->SetLimit(static_cast<int>(wParam));
        *result = 0;
        return true;
    }

private:
    QLineEdit* m_entry;
    EntryLimit* m_limit;  // owned by the entry
};

}  // namespace

std::unique_ptr<ControlClass> MakeEditControl(const DLGITEM_RESOURCE& item, QWidget* parent) {
    auto* entry = new QLineEdit(parent);
    if ((item.style & ES_PASSWORD) != 0) entry->setEchoMode(QLineEdit::Password);
    auto control = std::make_unique<EditControl>(entry);
    control->SetText(item.text == nullptr ? std::u16string() : std::u16string(item.text));
    return control;
}

}  // namespace platform_user
