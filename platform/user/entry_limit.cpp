// The entry's limit as a validator: an edit that would grow the text beyond the limit is refused.
#include "platform/user/entry_limit.h"

#include <algorithm>
#include <climits>

namespace platform_user {

namespace {

const int kLargestLimit = INT_MAX - 1;

}  // namespace

EntryLimit::EntryLimit(QLineEdit* entry)
    : QValidator(entry), m_entry(entry), m_limit(kLargestLimit) {
    m_acceptedLength = entry->text().size();
    // The validator sees the edited text only; the length before the edit is tracked here.
    QObject::connect(entry, &QLineEdit::textChanged, this,
                     [this](const QString& text) { m_acceptedLength = text.size(); });
    entry->setValidator(this);
}

void EntryLimit::SetLimit(int chars) {
    m_limit = chars <= 0 ? kLargestLimit : chars;
}

void EntryLimit::SetText(const QString& text) {
    // Setting the text the entry already shows changes nothing, so the entry is left alone: the
    // caret and the selection stay where the user put them, and the entry is not redrawn. The
    // main window's paint sets both entries' texts again for every frame.
    if (m_entry->text() == text) return;
    // The entry validates the new text too: it must pass, or the entry would stop refusing
    // the edits that follow.
    m_acceptedLength = std::max(m_acceptedLength, text.size());
    m_entry->setText(text);
}

QValidator::State EntryLimit::validate(QString& input, int& pos) const {
    (void)pos;
    if (input.size() <= m_limit || input.size() <= m_acceptedLength) return Acceptable;
    return Invalid;
}

}  // namespace platform_user
