// Limits what the operator may type into a single-line edit: a number of
// characters and, optionally, upper case only.
#pragma once

#include <QValidator>

// A validator rather than QLineEdit::setMaxLength, because the latter also
// cuts texts that the window itself puts there ("Channel error" in a
// two-character channel field).
class TTypingLimit : public QValidator {
public:
    TTypingLimit(int maxLength, bool upperCase, QObject* parent);

    State validate(QString& input, int& pos) const override;

    const int MaxLength;
    const bool UpperCase;
};
