// The controls of a dialog by template class name: the static label, push buttons and check
// boxes, the one-line edit entry (the combo box has its own file), and the entry limit they share.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QValidator>
#include <algorithm>
#include <climits>

#include "platform/user.h"
#include "platform/user/control_class.h"

namespace platform_user {

// The entry's limit as a validator: an edit that would grow the text beyond the limit is refused.
class EntryLimit : public QValidator {
public:
    static constexpr int kLargest = INT_MAX - 1;

    explicit EntryLimit(QLineEdit* entry)
        : QValidator(entry), acceptedLength(entry->text().size()) {
        // The validator sees the edited text only; the length before the edit is tracked here.
        QObject::connect(entry, &QLineEdit::textChanged, this,
                         [this](const QString& text) { acceptedLength = text.size(); });
        entry->setValidator(this);
    }

    State validate(QString& input, int&) const override {
        return input.size() <= limit || input.size() <= acceptedLength ? Acceptable : Invalid;
    }

    int limit = kLargest;
    qsizetype acceptedLength;  // length of the text the entry shows
};

namespace {

const DWORD kButtonTypeMask = 0x0000000Fu;

// A control showing the text of its widget (a label's, a button's).
template <typename TextWidget>
class TextControl : public ControlClass {
public:
    explicit TextControl(TextWidget* widget) : ControlClass(widget), m_widget(widget) {}

    std::u16string Text() const override { return FromQString(m_widget->text()); }
    void SetText(const std::u16string& text) override { m_widget->setText(ToQString(text)); }

protected:
    TextWidget* m_widget;
};

// Push buttons (the default one reacts to Enter) and automatic check boxes. A click sends
// BN_CLICKED to the dialog; BM_GETCHECK and BM_SETCHECK read and set a check box.
class ButtonControl : public TextControl<QAbstractButton> {
public:
    using TextControl::TextControl;

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) override {
        switch (message) {
            case BM_GETCHECK:
                *result =
                    m_widget->isCheckable() && m_widget->isChecked() ? BST_CHECKED : BST_UNCHECKED;
                return true;
            case BM_SETCHECK:
                if (m_widget->isCheckable()) m_widget->setChecked(wParam == BST_CHECKED);
                *result = 0;
                return true;
            default:
                return false;
        }
    }

    void NotifyDialog(HWND hDlg, HWND hCtl, int id) override {
        QObject::connect(m_widget, &QAbstractButton::clicked, m_widget,
                         [hDlg, hCtl, id] { SendNotification(hDlg, hCtl, id, BN_CLICKED); });
    }
};

}  // namespace

EntryControl::EntryControl(QWidget* widget, QLineEdit* entry, UINT limitMessage,
                           LRESULT limitResult)
    : ControlClass(widget),
      m_entry(entry),
      m_limit(new EntryLimit(entry)),
      m_limitMessage(limitMessage),
      m_limitResult(limitResult) {}

bool EntryControl::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message != m_limitMessage) return false;
    // 0 gives the platform's largest limit.
    const int chars = static_cast<int>(wParam);
    m_limit->limit = chars <= 0 ? EntryLimit::kLargest : chars;
    *result = m_limitResult;
    return true;
}

void EntryControl::SetText(const std::u16string& text) {
    // The main window's paint sets both entries' texts again for every frame: an unchanged text
    // must not move the caret or redraw the entry.
    const QString value = ToQString(text);
    if (m_entry->text() == value) return;
    // The entry validates the new text too: it must pass, or the entry would stop refusing the
    // edits that follow.
    m_limit->acceptedLength = std::max(m_limit->acceptedLength, value.size());
    m_entry->setText(value);
}

std::unique_ptr<ControlClass> MakeControl(const std::u16string& className,
                                          const DLGITEM_RESOURCE& item, QWidget* parent) {
    std::unique_ptr<ControlClass> control;
    if (className == u"static") {
        auto* label = new QLabel(parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
        control = std::make_unique<TextControl<QLabel>>(label);
    } else if (className == u"button" && (item.style & kButtonTypeMask) == BS_AUTOCHECKBOX) {
        control = std::make_unique<ButtonControl>(new QCheckBox(parent));
    } else if (className == u"button") {
        auto* push = new QPushButton(parent);
        push->setDefault((item.style & kButtonTypeMask) == BS_DEFPUSHBUTTON);
        control = std::make_unique<ButtonControl>(push);
    } else if (className == u"edit") {
        // The edit control: a one-line entry that scrolls its text.
        auto* entry = new QLineEdit(parent);
        control = std::make_unique<EntryControl>(entry, entry, EM_LIMITTEXT, 0);
    } else if (className == u"combobox") {
        control = MakeComboBoxControl(parent);
    } else {
        return nullptr;
    }
    control->SetText(item.text == nullptr ? std::u16string() : std::u16string(item.text));
    return control;
}

void SendNotification(HWND hDlg, HWND hCtl, int id, WORD code) {
    QtDispatchScope scope(hDlg);
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hCtl));
}

}  // namespace platform_user
