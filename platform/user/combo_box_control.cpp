// The drop-down combo box: an editable entry with a list sorted as items are added (ignoring
// case), drawn with a thin frame and a narrow drop-down button. Changing the list never changes
// the entry; choosing an item puts its text there.
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

#include "platform/user.h"
#include "platform/user/control_class.h"
#include "platform/user/drop_down_style.h"
#include "platform/user/entry_limit.h"

namespace platform_user {

namespace {

// Keeps the entry's text and cursor across a change of the list, which Qt would otherwise let
// select an item and show its text.
class EntryKeeper {
public:
    EntryKeeper(QComboBox* combo, EntryLimit* limit)
        : m_combo(combo),
          m_limit(limit),
          m_text(combo->lineEdit()->text()),
          m_cursor(combo->lineEdit()->cursorPosition()) {}
    ~EntryKeeper() {
        m_combo->setCurrentIndex(-1);
        QLineEdit* entry = m_combo->lineEdit();
        if (entry->text() != m_text) {
            m_limit->SetText(m_text);
            entry->setCursorPosition(m_cursor);
        }
    }
    EntryKeeper(const EntryKeeper&) = delete;
    EntryKeeper& operator=(const EntryKeeper&) = delete;

private:
    QComboBox* m_combo;
    EntryLimit* m_limit;
    QString m_text;
    int m_cursor;
};

class ComboBoxControl : public ControlClass {
public:
    explicit ComboBoxControl(QComboBox* combo)
        : ControlClass(combo), m_combo(combo), m_limit(new EntryLimit(combo->lineEdit())) {}

    std::u16string Text() const override { return FromQString(m_combo->lineEdit()->text()); }
    void SetText(const std::u16string& text) override { m_limit->SetText(ToQString(text)); }

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
            case CB_LIMITTEXT:
                m_limit->SetLimit(static_cast<int>(wParam));
                *result = TRUE;
                return true;
            default:
                return false;
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
        EntryKeeper keeper(m_combo, m_limit);
        m_combo->insertItem(index, item);
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
    EntryLimit* m_limit;  // owned by the entry
};

}  // namespace

std::unique_ptr<ControlClass> MakeComboBoxControl(const DLGITEM_RESOURCE& item, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setStyle(DropDownStyle());
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setDuplicatesEnabled(true);
    auto control = std::make_unique<ComboBoxControl>(combo);
    control->SetText(item.text == nullptr ? std::u16string() : std::u16string(item.text));
    return control;
}

}  // namespace platform_user
