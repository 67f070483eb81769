// The static control: a label, its text left-aligned at the top.
#include <QLabel>

#include "platform/user/control_class.h"

namespace platform_user {

namespace {

class StaticControl : public ControlClass {
public:
    explicit StaticControl(QLabel* label) : ControlClass(label), m_label(label) {}

    std::u16string Text() const override { return FromQString(m_label->text()); }
    void SetText(const std::u16string& text) override { m_label->setText(ToQString(text)); }

private:
    QLabel* m_label;
};

}  // namespace

std::unique_ptr<ControlClass> MakeStaticControl(const DLGITEM_RESOURCE& item, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    auto control = std::make_unique<StaticControl>(label);
    control->SetText(item.text == nullptr ? std::u16string() : std::u16string(item.text));
    return control;
}

}  // namespace platform_user
