// What the window shows beyond its design: a disabled button looks disabled,
// the port and host fields explain themselves, the channel field names its
// decimal channel.
#include "FormFixture.h"

namespace {

class HintsTest : public FormFixture {};

TEST_F(HintsTest, OnlyUsableButtonsHaveGreenCaptions) {
    const QColor green(0, 128, 0);
    QPushButton* write = Button("Button3");
    ASSERT_FALSE(write->isEnabled());
    EXPECT_EQ(write->palette().color(QPalette::Active, QPalette::ButtonText), green);
    EXPECT_EQ(write->palette().color(QPalette::Inactive, QPalette::ButtonText), green);
    EXPECT_NE(write->palette().color(QPalette::Disabled, QPalette::ButtonText), green);
}

TEST_F(HintsTest, PortAndHostHaveToolTipsAndAccessibleNames) {
    EXPECT_EQ(Edit("Edit1")->accessibleName(), QStringLiteral("Port"));
    EXPECT_EQ(Edit("Edit2")->accessibleName(), QStringLiteral("Host"));
    EXPECT_TRUE(Edit("Edit1")->toolTip().contains(QStringLiteral("port")));
    EXPECT_TRUE(Edit("Edit2")->toolTip().contains(QStringLiteral("address")));
}

TEST_F(HintsTest, ChannelToolTipFollowsTheAnswer) {
    Answer("84 00 04 00 00 80 00 00");
    EXPECT_EQ(Edit("Edit5")->text(), QStringLiteral("0F"));
    EXPECT_TRUE(Edit("Edit5")->toolTip().startsWith(QStringLiteral("Channel 15;")))
        << Edit("Edit5")->toolTip().toStdString();
}

} // namespace
