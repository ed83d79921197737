// The typing limits of the gateway address and the parameter fields: pasted
// text is cut at the limit, and typing stays within it also after the window
// put a longer text of its own there (plain typing: Form1LayoutTest).
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "FormFixture.h"

namespace {

struct TLimitRow {
    const char* Field;
    const char* Answer; // the gateway's answer that fills the field first; nullptr: none
    bool SelectAll;     // else the caret stands at the end
    bool Paste;         // else typed key by key
    const char* Input;
    const char* After;
};

void PrintTo(const TLimitRow& row, std::ostream* os) {
    *os << row.Field << (row.Paste ? " pasted \"" : " typed \"") << row.Input << '"'
        << (row.SelectAll ? " over all" : " at the end");
}

class TypingLimitTest : public FormFixture, public ::testing::WithParamInterface<TLimitRow> {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        Form->show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    }
};

TEST_P(TypingLimitTest, TypedAndPastedTextStaysWithinTheLimit) {
    const TLimitRow& row = GetParam();
    if (row.Answer) Answer(row.Answer);
    QLineEdit* field = Edit(row.Field);
    ASSERT_TRUE(field->isEnabled());
    field->setFocus(Qt::TabFocusReason);
    if (row.SelectAll) {
        field->selectAll();
    } else {
        field->end(false);
    }
    const QString input = QString::fromUtf8(row.Input);
    if (row.Paste) {
        QGuiApplication::clipboard()->setText(input);
        ASSERT_EQ(QGuiApplication::clipboard()->text(), input);
        field->paste();
    } else {
        TypeText(field, input);
    }
    EXPECT_EQ(field->text(), QString::fromUtf8(row.After));
}

// Limits: gateway address (Edit8) 4, upper case; address (Edit4) and channel
// (Edit5) 2; PAN ID (Edit6) 4.
INSTANTIATE_TEST_SUITE_P(
    Form1, TypingLimitTest,
    ::testing::Values(
        TLimitRow{"Edit8", nullptr, true, true, "abcdef", "ABCD"},
        TLimitRow{"Edit4", "01 04 01 00 2A", true, true, "A5B6C7", "A5"},
        TLimitRow{"Edit6", "83 00 02 00 34 12", true, true, "56789A", "5678"},
        TLimitRow{"Edit5", "84 00 04 00 00 18 00 00", false, false, "12", "Channel error"},
        TLimitRow{"Edit5", "84 00 04 00 00 18 00 00", false, true, "12", "Channel error"},
        TLimitRow{"Edit5", "84 00 04 00 00 18 00 00", true, false, "1A2B", "1A"},
        TLimitRow{"Edit5", "84 00 04 00 00 18 00 00", true, true, "1A2B", "1A"}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

} // namespace
