// The character limit of an entry field: typing and pasting cannot make the text longer than
// the limit, while a longer text set by the program stays as it is (and may be shortened).
#pragma once

#include <QLineEdit>
#include <QValidator>

namespace platform_user {

class EntryLimit : public QValidator {
public:
    /* Installs itself on the entry, which owns it; no limit beyond the platform's largest. */
    explicit EntryLimit(QLineEdit* entry);

    /* Sets the limit in characters; 0 gives the platform's largest. */
    void SetLimit(int chars);
    int Limit() const { return m_limit; }
    /* Sets the entry's text as the program does: whatever its length. */
    void SetText(const QString& text);

    State validate(QString& input, int& pos) const override;

private:
    QLineEdit* m_entry;
    int m_limit;
    qsizetype m_acceptedLength = 0;  // length of the text the entry shows
};

}  // namespace platform_user
