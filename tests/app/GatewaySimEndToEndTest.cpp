// A new operator's first minute against the project's gateway simulator: the
// default fields, "Connect", "Считать", and every value arrives; a write is
// read back.
#include <string>
#include <vector>

#include "LiveFormFixture.h"
#include "tests/support/GatewaySimProcess.h"

namespace {

class AgainstGatewaySim : public LiveFormFixture {
protected:
    // Connect and "Считать" with the default fields: all five values arrive.
    void ConnectAndReadAll(const std::vector<std::string>& options) {
        GatewaySimProcess sim(options);
        ASSERT_NE(sim.Port(), 0) << sim.Output();
        EXPECT_EQ(Edit("Edit2")->text(), "127.0.0.1");
        EXPECT_EQ(Edit("Edit8")->text(), "2001");
        ConnectTo(sim.Port());
        ASSERT_NE(Reader, nullptr) << Log().join('\n').toStdString();

        Button("Button2")->click();
        ASSERT_TRUE(WaitUntil([&] { return AllFieldsEnabled(); }))
            << Log().join('\n').toStdString();
        for (const char* name : {"Edit3", "Edit4", "Edit5", "Edit6", "Edit7"}) {
            EXPECT_NE(Edit(name)->text(), "NC") << name;
            EXPECT_NE(Edit(name)->text(), "Channel error") << name;
        }
        EXPECT_TRUE(Button("Button3")->isEnabled());
        EXPECT_TRUE(Messages.Shown.empty());
    }
};

TEST_F(AgainstGatewaySim, DefaultFieldsConnectAndReadAllFiveValues) {
    ConnectAndReadAll({});
}

// As scripts/run starts it: the simulator negotiates Telnet options first.
TEST_F(AgainstGatewaySim, DefaultFieldsReadAllFiveValuesFromATelnetGateway) {
    ConnectAndReadAll({"--telnet"});
}

TEST_F(AgainstGatewaySim, WrittenValuesAreReadBack) {
    GatewaySimProcess sim;
    ASSERT_NE(sim.Port(), 0) << sim.Output();
    ConnectTo(sim.Port());
    ASSERT_NE(Reader, nullptr) << Log().join('\n').toStdString();
    Button("Button2")->click();
    ASSERT_TRUE(WaitUntil([&] { return AllFieldsEnabled(); })) << Log().join('\n').toStdString();

    // Values that differ from whatever the device held.
    const QString address = Edit("Edit4")->text() == "3C" ? "4D" : "3C";
    const QString channel = Edit("Edit5")->text() == "14" ? "15" : "14";
    const QString panId = Edit("Edit6")->text() == "BEEF" ? "CAFE" : "BEEF";
    Edit("Edit4")->setText(address);
    Edit("Edit5")->setText(channel);
    Edit("Edit6")->setText(panId);
    Button("Button3")->click();
    for (const char* name : {"Edit4", "Edit5", "Edit6"})
        Edit(name)->setText("NC");

    Button("Button2")->click();
    EXPECT_TRUE(WaitUntil([&] {
        return Edit("Edit4")->text() == address && Edit("Edit5")->text() == channel &&
               Edit("Edit6")->text() == panId;
    })) << Log().join('\n').toStdString();
}

} // namespace
