// Typed letters become upper case one by one, so the text keeps its length
// and the caret its place.
#include "app/TypingLimit.h"

TTypingLimit::TTypingLimit(int maxLength, bool upperCase, QObject* parent)
    : QValidator(parent), MaxLength(maxLength), UpperCase(upperCase) {}

QValidator::State TTypingLimit::validate(QString& input, int& pos) const {
    (void)pos;
    if (input.size() > MaxLength) return Invalid;
    if (UpperCase) {
        for (QChar& c : input)
            c = c.toUpper();
    }
    return Acceptable;
}
