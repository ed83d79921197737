// Limits what the operator may type or paste into a single-line edit: a
// number of characters and, optionally, upper case only.
#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

// A validator rather than QLineEdit::setMaxLength, because the latter also
// cuts texts that the window itself puts there ("Channel error" in a
// two-character channel field). What the operator inserts - typed or pasted -
// is cut so that the text stays within the limit, as setMaxLength would cut
// it; a longer text of the window's own stays whole, and only shrinks as the
// operator deletes from it or replaces it.
class TTypingLimit : public QValidator {
    Q_OBJECT

public:
    // Limits `field`, which becomes the validator's parent.
    TTypingLimit(QLineEdit* field, int maxLength, bool upperCase);

    State validate(QString& input, int& pos) const override;

    // Puts a text of the window's own into `field`, whole even when it is
    // longer than the field's typing limit.
    static void ShowWindowText(QLineEdit* field, const QString& text);

    const int MaxLength;
    const bool UpperCase;

private:
    // The field's text as last validated: what an edit is compared with to
    // find what it inserted.
    mutable QString Held;
    // The window's next text, taken whole once.
    mutable QString WindowText;
    mutable bool WindowTextPending = false;
};
