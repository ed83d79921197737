// Leaving an edited parameter field: the value checks, their boxes, and the
// saved text that comes back, driven by real focus changes.
#include <QCoreApplication>
#include <QFocusEvent>
#include <QTest>

#include "FormFixture.h"

namespace {

class FieldCheckFixture : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        Form->show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        // The gateway's answers enable the fields: address 2A, channel 0F, PAN ID 1234.
        Answer("01 04 01 00 2A");
        Answer("84 00 04 00 00 80 00 00");
        Answer("83 00 02 00 34 12");
    }

    // The operator tabs into the field, replaces its text and tabs on.
    void TypeAndLeave(QLineEdit* field, const QString& typed) {
        field->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(field->hasFocus());
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        TypeText(field, typed);
        QTest::keyClick(field, Qt::Key_Tab);
        ASSERT_FALSE(field->hasFocus());
    }
};

struct TCheckRow {
    const char* Field;
    const char* Typed;
    const char* Box;          // nullptr: no box
    const char* ShownWithBox; // the field's text while the box is open
    const char* After;        // the field's text afterwards
};

void PrintTo(const TCheckRow& row, std::ostream* os) {
    *os << row.Field << " typed \"" << row.Typed << "\"";
}

class FieldCheckTest : public FieldCheckFixture, public ::testing::WithParamInterface<TCheckRow> {};

TEST_P(FieldCheckTest, LeavingTheFieldChecksItsText) {
    const TCheckRow& row = GetParam();
    QLineEdit* field = Edit(row.Field);
    Messages.Observe = [field] { return field->text(); };
    TypeAndLeave(field, QString::fromUtf8(row.Typed));
    if (row.Box) {
        ASSERT_EQ(Messages.Shown.size(), 1u);
        EXPECT_FALSE(Messages.Shown[0].IsException);
        EXPECT_EQ(Messages.Shown[0].Text, QString::fromUtf8(row.Box));
        EXPECT_EQ(Messages.Shown[0].Observed, QString::fromUtf8(row.ShownWithBox));
    } else {
        EXPECT_TRUE(Messages.Shown.empty());
    }
    EXPECT_EQ(field->text(), QString::fromUtf8(row.After));
    EXPECT_EQ(Log().size(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Form1, FieldCheckTest,
    ::testing::Values(TCheckRow{"Edit5", "0B", nullptr, nullptr, "0B"},
                      TCheckRow{"Edit5", "1A", nullptr, nullptr, "1A"},
                      TCheckRow{"Edit5", "1a", nullptr, nullptr, "1a"},
                      TCheckRow{"Edit5", "0A", "Error: Неверный канал 0A", "0A", "0F"},
                      TCheckRow{"Edit5", "1B", "Error: Неверный канал 1B", "1B", "0F"},
                      TCheckRow{"Edit5", "26", "Error: Неверный канал 26", "26", "0F"},
                      TCheckRow{"Edit5", "", "'0x' is not a valid integer value", "0F", "0F"},
                      TCheckRow{"Edit5", "G1", "'0xG1' is not a valid integer value", "0F", "0F"},
                      TCheckRow{"Edit4", "02", nullptr, nullptr, "02"},
                      TCheckRow{"Edit4", "FE", nullptr, nullptr, "FE"},
                      TCheckRow{"Edit4", "01", "Error: Неверный адрес устройства 01", "01", "2A"},
                      TCheckRow{"Edit4", "00", "Error: Неверный адрес устройства 00", "00", "2A"},
                      TCheckRow{"Edit4", "FF", "Error: Неверный адрес устройства FF", "FF", "2A"},
                      TCheckRow{"Edit4", "", "'0x' is not a valid integer value", "2A", "2A"},
                      TCheckRow{"Edit4", "G1", "'0xG1' is not a valid integer value", "2A", "2A"},
                      TCheckRow{"Edit4", "ф", "'0xф' is not a valid integer value", "2A", "2A"},
                      TCheckRow{"Edit6", "FFFF", nullptr, nullptr, "FFFF"},
                      TCheckRow{"Edit6", "0", nullptr, nullptr, "0"},
                      TCheckRow{"Edit6", "", "'0x' is not a valid integer value", "1234", "1234"},
                      TCheckRow{"Edit6", "G1", "'0xG1' is not a valid integer value", "1234",
                                "1234"}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

class FieldFocusTest : public FieldCheckFixture {};

TEST_F(FieldFocusTest, PassingThroughAValidFieldShowsNothing) {
    for (const char* name : {"Edit4", "Edit5", "Edit6", "Edit4"}) {
        Edit(name)->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(Edit(name)->hasFocus());
    }
    Button("Button2")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(Messages.Shown.empty());
}

TEST_F(FieldFocusTest, EachFieldRestoresTheTextItHeldWhenEntered) {
    TypeAndLeave(Edit("Edit4"), QStringLiteral("FE"));
    TypeAndLeave(Edit("Edit5"), QStringLiteral("27"));
    EXPECT_EQ(Edit("Edit4")->text(), QStringLiteral("FE"));
    EXPECT_EQ(Edit("Edit5")->text(), QStringLiteral("0F"));
}

TEST_F(FieldFocusTest, AnswerWhileAFieldIsEditedRunsNoCheckAndKeepsTheSavedText) {
    QLineEdit* address = Edit("Edit4");
    address->setFocus(Qt::TabFocusReason);
    Answer("01 04 01 00 3C");
    Answer("84 00 04 00 00 18 00 00");
    EXPECT_TRUE(Messages.Shown.empty());
    EXPECT_EQ(address->text(), QStringLiteral("3C"));
    address->selectAll();
    TypeText(address, QStringLiteral("FF"));
    QTest::keyClick(address, Qt::Key_Tab);
    EXPECT_EQ(address->text(), QStringLiteral("2A"));
}

TEST_F(FieldFocusTest, SavedTextIsRestoredEvenWhenItIsNoValue) {
    Answer("84 00 04 00 00 18 00 00");
    ASSERT_EQ(Edit("Edit5")->text(), QStringLiteral("Channel error"));
    TypeAndLeave(Edit("Edit5"), QStringLiteral("30"));
    EXPECT_EQ(Edit("Edit5")->text(), QStringLiteral("Channel error"));
}

// A platform that re-activates the window as the box closes may move the focus
// into the next field (and run its Enter) while the box is still open.
TEST_F(FieldFocusTest, RefusedFieldGetsItsOwnTextBackWhenTheNextFieldIsEnteredDuringTheBox) {
    QLineEdit* address = Edit("Edit4");
    QLineEdit* channel = Edit("Edit5");
    Messages.Observe = [address, channel] {
        QFocusEvent entered(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(channel, &entered);
        return address->text();
    };
    TypeAndLeave(address, QStringLiteral("FF"));
    ASSERT_EQ(Messages.Shown.size(), 1u);
    EXPECT_EQ(Messages.Shown[0].Text, QStringLiteral("Error: Неверный адрес устройства FF"));
    EXPECT_EQ(address->text(), QStringLiteral("2A"));
    EXPECT_EQ(channel->text(), QStringLiteral("0F"));
}

TEST_F(FieldFocusTest, AnotherWindowTakingTheFocusIsNoExit) {
    QLineEdit* channel = Edit("Edit5");
    channel->setFocus(Qt::TabFocusReason);
    channel->selectAll();
    TypeText(channel, QStringLiteral("30"));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(Messages.Shown.empty());
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    Button("Button2")->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(Messages.Shown.size(), 1u);
    EXPECT_EQ(Messages.Shown[0].Text, QStringLiteral("Error: Неверный канал 30"));
    EXPECT_EQ(channel->text(), QStringLiteral("0F"));
}

} // namespace
