// The log keeps the layout of a memo whose lines were added one by one: every
// line ends with a line break, so the caret waits on a fresh line below.
#include "app/LogView.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

TLogView::TLogView(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
}

void TLogView::AppendLine(const QString& text) {
    QString line = text;
    // The gateway ends its lines with CR LF; a lone CR counts as a break too.
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // Text that the operator typed last, without a line break, keeps its own line.
    // Only the last block is looked at: the whole text would make each line
    // cost as much as the log is long. A line separator (Shift+Enter) counts
    // as a break, as it does in the plain text.
    const QString last = document()->lastBlock().text();
    if (!last.isEmpty() && last.back() != QChar::LineSeparator)
        cursor.insertText(QStringLiteral("\n"));
    cursor.insertText(line + QLatin1Char('\n'));

    setTextCursor(cursor);
    ensureCursorVisible();
}

QStringList TLogView::Lines() const {
    QStringList lines = toPlainText().split(QLatin1Char('\n'));
    if (lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void TLogView::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    // A held key repeats its press; like the operator's finger, it is released once.
    if (!event->isAutoRepeat()) emit KeyReleased();
}
