// The log's line rules as the operator sees them: appended text always starts
// a line of its own, whatever was typed into the log last, and the end stays in view.
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

#include "app/LogView.h"

namespace {

struct TLogCase {
    const char* Name;
    QString Typed; // typed into the log before the lines arrive
    QStringList Appended;
    QString Shown; // the whole text afterwards
};

class LogViewTest : public ::testing::TestWithParam<TLogCase> {};

TEST_P(LogViewTest, AppendedLinesStartOnAFreshLine) {
    TLogView log;
    for (const QChar ch : GetParam().Typed) {
        if (ch == QChar::LineSeparator)
            QTest::keyClick(&log, Qt::Key_Return, Qt::ShiftModifier);
        else if (ch == QLatin1Char('\n'))
            QTest::keyClick(&log, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, &log, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    for (const QString& line : GetParam().Appended)
        log.AppendLine(line);
    EXPECT_EQ(log.toPlainText(), GetParam().Shown);
}

const QString Separator(QChar::LineSeparator);

INSTANTIATE_TEST_SUITE_P(
    TLogView, LogViewTest,
    ::testing::Values(
        TLogCase{"EmptyLog", "", {"one", "two"}, "one\ntwo\n"},
        TLogCase{"GatewayLineEnds", "", {"a\r\nb\rc"}, "a\nb\nc\n"},
        TLogCase{"TypedWithoutBreak", "ok", {"Connected."}, "ok\nConnected.\n"},
        TLogCase{"TypedWithEnter", "ok\n", {"Connected."}, "ok\nConnected.\n"},
        // Shift+Enter ends the visible line without starting a block.
        TLogCase{"TypedWithShiftEnter", "ok" + Separator, {"Connected."}, "ok\nConnected.\n"},
        TLogCase{"TypedBetweenLines", "", {"one"}, "one\n"},
        TLogCase{"EmptyLine", "", {"", "x"}, "\nx\n"}),
    [](const ::testing::TestParamInfo<TLogCase>& info) { return std::string(info.param.Name); });

TEST(LogViewScroll, TheLastLineStaysInViewAsTheLogGrows) {
    TLogView log;
    log.resize(300, 120);
    log.show();
    for (int i = 0; i < 200; ++i)
        log.AppendLine(QString::number(i));
    EXPECT_GT(log.verticalScrollBar()->value(), 0);
    EXPECT_TRUE(log.textCursor().atEnd());
    QTextCursor lastLine(log.document()->findBlockByNumber(199));
    EXPECT_TRUE(log.viewport()->rect().contains(log.cursorRect(lastLine)));
    EXPECT_EQ(log.Lines().size(), 200);
    EXPECT_EQ(log.Lines().back(), QStringLiteral("199"));
}

TEST(LogViewTyping, TextTypedAfterAnAppendedLineGetsItsOwnLineBeforeTheNext) {
    TLogView log;
    log.AppendLine(QStringLiteral("first"));
    QTest::sendKeyEvent(QTest::Click, &log, Qt::Key_unknown, QStringLiteral("x"), Qt::NoModifier);
    log.AppendLine(QStringLiteral("second"));
    EXPECT_EQ(log.Lines(), QStringList({"first", "x", "second"}));
}

} // namespace
