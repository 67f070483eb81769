// The drop-down combo box: an editable entry with a list sorted as items are added (ignoring
// case), drawn with a thin frame and a narrow drop-down button. Changing the list never changes
// the entry; choosing an item puts its text there.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStyleOptionComplex>
#include <algorithm>

#include "platform/user.h"
#include "platform/user/control_class.h"

namespace platform_user {

namespace {

// The application's style with a one-pixel frame round the entry and a drop-down button 13 pixels
// wide. Desktop styles give the frame two pixels and the button nineteen, which leaves a 5-digit
// port in a template's 31-unit box too little room to show.
class ComboBoxProportions : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        if (control != CC_ComboBox || (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField)) {
            return QProxyStyle::subControlRect(control, option, part, widget);
        }
        const QRect box = option->rect;
        const int buttonLeft = box.right() + 1 - kButtonWidth;
        const QRect area = part == SC_ComboBoxArrow
                               ? QRect(buttonLeft, box.top(), kButtonWidth, box.height())
                               : QRect(box.left() + kFrame, box.top() + kFrame,
                                       buttonLeft - box.left() - kFrame, box.height() - 2 * kFrame);
        return visualRect(option->direction, box, area);
    }

private:
    static constexpr int kFrame = 1;
    static constexpr int kButtonWidth = 13;
};

// The style of every drop-down combo box, made on first use; it lives as long as the application.
QStyle* DropDownStyle() {
    static QPointer<ComboBoxProportions> style;
    if (style == nullptr) {
        style = new ComboBoxProportions;
        style->setParent(qApp);
    }
    return style;
}

class ComboBoxControl : public EntryControl {
public:
    explicit ComboBoxControl(QComboBox* combo)
        : EntryControl(combo, combo->lineEdit(), CB_LIMITTEXT, TRUE), m_combo(combo) {}

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        switch (message) {
            case CB_GETCOUNT:
                *result = m_combo->count();
                return true;
            case CB_ADDSTRING:
                *result = AddString(reinterpret_cast<LPCWSTR>(lParam));
                return true;
            case CB_RESETCONTENT:
                m_combo->clear();
                m_combo->lineEdit()->clear();
                *result = 0;
                return true;
            case CB_GETLBTEXTLEN:
                *result =
                    IsItem(wParam) ? m_combo->itemText(static_cast<int>(wParam)).size() : CB_ERR;
                return true;
            case CB_GETLBTEXT:
                *result = CopyItemText(wParam, reinterpret_cast<LPWSTR>(lParam));
                return true;
            case CB_FINDSTRING:
                *result = FindPrefix(static_cast<int>(static_cast<INT_PTR>(wParam)),
                                     reinterpret_cast<LPCWSTR>(lParam));
                return true;
            default:
                return EntryControl::HandleMessage(message, wParam, lParam, result);
        }
    }

private:
    bool IsItem(WPARAM index) const { return index < static_cast<WPARAM>(m_combo->count()); }

    // Inserts after every item that sorts before or equal to the text, ignoring case.
    LRESULT AddString(LPCWSTR text) {
        if (text == nullptr) return CB_ERR;
        const QString item = QString::fromUtf16(text);
        int index = 0;
        while (index < m_combo->count() &&
               m_combo->itemText(index).compare(item, Qt::CaseInsensitive) <= 0) {
            ++index;
        }
        // Qt would let a new item become current and show its text: the entry keeps its own.
        const std::u16string entry = Text();
        const int cursor = m_combo->lineEdit()->cursorPosition();
        m_combo->insertItem(index, item);
        m_combo->setCurrentIndex(-1);
        if (Text() != entry) {
            SetText(entry);
            m_combo->lineEdit()->setCursorPosition(cursor);
        }
        return index;
    }

    LRESULT CopyItemText(WPARAM index, LPWSTR buffer) const {
        if (!IsItem(index) || buffer == nullptr) return CB_ERR;
        const std::u16string text = FromQString(m_combo->itemText(static_cast<int>(index)));
        std::copy(text.begin(), text.end(), buffer);
        buffer[text.size()] = u'\0';
        return static_cast<LRESULT>(text.size());
    }

    // The first item after `start` that begins with the text (wrapping round to `start`);
    // start -1 searches the whole list from the top.
    LRESULT FindPrefix(int start, LPCWSTR text) const {
        const int count = m_combo->count();
        if (text == nullptr || count == 0) return CB_ERR;
        const QString prefix = QString::fromUtf16(text);
        const int first = start < 0 || start >= count ? 0 : start + 1;
        for (int step = 0; step < count; ++step) {
            const int index = (first + step) % count;
            if (m_combo->itemText(index).startsWith(prefix, Qt::CaseInsensitive)) return index;
        }
        return CB_ERR;
    }

    QComboBox* m_combo;
};

}  // namespace

std::unique_ptr<ControlClass> MakeComboBoxControl(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setStyle(DropDownStyle());
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setDuplicatesEnabled(true);
    return std::make_unique<ComboBoxControl>(combo);
}

}  // namespace platform_user
