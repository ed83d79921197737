// The real modal boxes: their title, icon and text, and a field check whose
// box takes the focus away and gives it back without a second check.
#include <QMessageBox>
#include <QTimer>

#include "FormFixture.h"
#include "app/QtMessageBoxes.h"

namespace {

struct TSeenBox {
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QString FieldText;
};

// Looks at the next modal box once it is open, then presses its OK.
void CloseNextBox(std::vector<TSeenBox>& seen, const QLineEdit* field = nullptr) {
    QTimer::singleShot(0, [&seen, field] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.push_back(
            {box->windowTitle(), box->text(), box->icon(), field ? field->text() : QString()});
        box->button(QMessageBox::Ok)->click();
    });
}

TEST(QtMessageBoxes, BoxesCarryTheApplicationTitle) {
    TQtMessageBoxes boxes;
    std::vector<TSeenBox> seen;
    CloseNextBox(seen);
    boxes.ShowException(QStringLiteral("server not responding."));
    CloseNextBox(seen);
    boxes.ShowMessage(QStringLiteral("Error: Неверный канал 1B"));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Title, QStringLiteral("bqTest"));
    EXPECT_EQ(seen[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(seen[0].Text, QStringLiteral("server not responding."));
    EXPECT_EQ(seen[1].Title, QStringLiteral("bqTest"));
    EXPECT_EQ(seen[1].Icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen[1].Text, QStringLiteral("Error: Неверный канал 1B"));
}

TEST(QtMessageBoxes, FieldCheckBoxLeavesTheFocusWhereTheOperatorSentIt) {
    TFakeClientRecord wire;
    TQtMessageBoxes boxes;
    auto client = std::make_unique<TFakeTelnetClient>(wire);
    TFakeTelnetClient* fake = client.get();
    TForm1 form(std::move(client), boxes);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    fake->Deliver("> 2001 MEM 84 00 04 00 00 80 00 00");
    fake->Deliver("> 2001 MEM 83 00 02 00 34 12");
    QLineEdit* channel = form.findChild<QLineEdit*>(QStringLiteral("Edit5"));
    QLineEdit* panId = form.findChild<QLineEdit*>(QStringLiteral("Edit6"));

    std::vector<TSeenBox> seen;
    channel->setFocus(Qt::TabFocusReason);
    channel->selectAll();
    TypeText(channel, QStringLiteral("30"));
    CloseNextBox(seen, channel);
    QTest::keyClick(channel, Qt::Key_Tab);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, QStringLiteral("Error: Неверный канал 30"));
    EXPECT_EQ(seen[0].FieldText, QStringLiteral("30"));
    EXPECT_EQ(channel->text(), QStringLiteral("0F"));
    // The window manager gives the window back its focus once the box has gone.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_TRUE(panId->hasFocus());

    // The PAN ID field was entered once, after the box: its own text was saved.
    panId->selectAll();
    TypeText(panId, QStringLiteral("G1"));
    CloseNextBox(seen, panId);
    QTest::keyClick(panId, Qt::Key_Tab);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].Text, QStringLiteral("'0xG1' is not a valid integer value"));
    EXPECT_EQ(panId->text(), QStringLiteral("1234"));
}

} // namespace
