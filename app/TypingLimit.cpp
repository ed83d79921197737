// Finding what an edit inserted, and cutting it to the room the limit leaves.
// Typed letters become upper case one by one, so the text keeps its length and
// the caret its place.
#include "app/TypingLimit.h"

#include <QLineEdit>
#include <algorithm>

TTypingLimit::TTypingLimit(QLineEdit* field, int maxLength, bool upperCase)
    : QValidator(field), MaxLength(maxLength), UpperCase(upperCase), Held(field->text()) {}

void TTypingLimit::ShowWindowText(QLineEdit* field, const QString& text) {
    if (auto* limit = field->findChild<TTypingLimit*>(QString(), Qt::FindDirectChildrenOnly)) {
        limit->WindowText = text;
        limit->WindowTextPending = true;
    }
    field->setText(text);
}

// An edit replaces the part Held[start, end) with the inserted text and leaves
// the caret after it: input = Held[0, start) + inserted + Held[end, size).
QValidator::State TTypingLimit::validate(QString& input, int& pos) const {
    if (input == Held) return Acceptable;
    if (WindowTextPending && input == WindowText) {
        WindowTextPending = false;
        Held = input;
        return Acceptable;
    }
    qsizetype caret = std::clamp<qsizetype>(pos, 0, input.size());
    const qsizetype kept = input.size() - caret; // after the caret: Held's own tail
    qsizetype start = 0;
    if (kept > Held.size() || input.mid(caret) != Held.right(kept)) {
        caret = input.size(); // no insertion at the caret: all of it counts as inserted
    } else {
        const qsizetype most = std::min(caret, Held.size() - kept);
        while (start < most && input[start] == Held[start])
            ++start;
    }
    const qsizetype room = std::max<qsizetype>(0, MaxLength - start - (input.size() - caret));
    QString inserted = input.mid(start, std::min(caret - start, room));
    if (UpperCase) {
        for (QChar& c : inserted)
            c = c.toUpper();
    }
    input = input.left(start) + inserted + input.mid(caret);
    pos = static_cast<int>(start + inserted.size());
    Held = input;
    return Acceptable;
}
