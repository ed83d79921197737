// The simulator's Telnet parser and negotiation, byte vectors in, data and replies out.
#include <gtest/gtest.h>

#include <string>

#include "gateway-sim/TelnetFilter.h"

namespace {

struct Exchange {
    const char* name;
    std::string in;
    std::string data;
    std::string reply;
};

std::ostream& operator<<(std::ostream& os, const Exchange& e) {
    return os << e.name;
}

// Rows start after the greeting, as the client's answers come in response to it.
class TelnetExchange : public testing::TestWithParam<std::tuple<Exchange, bool>> {};

TEST_P(TelnetExchange, SameResultWholeOrByteByByte) {
    const auto& [row, byteByByte] = GetParam();
    TTelnetFilter filter(true);
    filter.Greeting();
    std::string data;
    std::string reply;
    const size_t step = byteByByte ? 1 : row.in.size();
    for (size_t pos = 0; pos < row.in.size(); pos += step) {
        const TTelnetInput out = filter.Feed(std::string_view(row.in).substr(pos, step));
        data += out.Data;
        reply += out.Reply;
    }
    EXPECT_EQ(data, row.data);
    EXPECT_EQ(reply, row.reply);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Rows, TelnetExchange,
    testing::Combine(
        testing::Values(
            Exchange{"PlainText", "< 2001 RESET\r", "< 2001 RESET\r", ""},
            Exchange{"EscapedIac",
                     "a\xFF\xFF"
                     "b",
                     "a\xFF"
                     "b",
                     ""},
            Exchange{"CrNulIsCr", "x\r\0y"s, "x\ry", ""},
            Exchange{"NulElsewhereIsData", "\0x"s, "\0x"s, ""},
            Exchange{"TwoByteCommandsVanish",
                     "a\xFF\xF1"
                     "b\xFF\xF6"
                     "c",
                     "abc", ""},
            // the answers the tool gives to the greeting are not answered again
            Exchange{"WillTerminalTypeGetsSend", "\xFF\xFB\x18", "", "\xFF\xFA\x18\x01\xFF\xF0"},
            Exchange{"DoEchoAcceptsOffer", "\xFF\xFD\x01", "", ""},
            Exchange{"DontSgaRefusesOffer", "\xFF\xFE\x03", "", ""},
            Exchange{"UnwantedWillIsRefused", "\xFF\xFB\x1F", "", "\xFF\xFE\x1F"},
            Exchange{"UnofferedDoIsRefused", "\xFF\xFD\x25", "", "\xFF\xFC\x25"},
            Exchange{"RefusalOfRefusalIsQuiet", "\xFF\xFD\x25\xFF\xFE\x25", "", "\xFF\xFC\x25"},
            Exchange{"WontAfterWillIsAcknowledged", "\xFF\xFB\x18\xFF\xFC\x18", "",
                     "\xFF\xFA\x18\x01\xFF\xF0\xFF\xFE\x18"},
            Exchange{"RepeatedWillIsNotAnsweredTwice", "\xFF\xFB\x18\xFF\xFB\x18", "",
                     "\xFF\xFA\x18\x01\xFF\xF0"},
            Exchange{"DontEchoAfterDoIsAcknowledged", "\xFF\xFD\x01\xFF\xFE\x01", "",
                     "\xFF\xFC\x01"},
            Exchange{"SubnegotiationIsNotData",
                     "a\xFF\xFA\x18\x00"
                     "dumb\xFF\xF0"
                     "b"s,
                     "ab", ""},
            Exchange{"AbandonedSubnegotiation",
                     "\xFF\xFA\x18\x00x\xFF"
                     "ab"s,
                     "b", ""},
            Exchange{"OverlongSubnegotiationIsCapped",
                     "\xFF\xFA\x18\x00"s + std::string(5000, 'n') +
                         "\xFF\xF0"
                         "ok",
                     "ok", ""}),
        testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "_ByByte" : "");
    });

TEST(TelnetFilter, GreetingOffersEchoOnlyWhenEchoing) {
    EXPECT_EQ(TTelnetFilter(false).Greeting(), "\xFF\xFD\x18\xFF\xFB\x03");
    EXPECT_EQ(TTelnetFilter(true).Greeting(), "\xFF\xFD\x18\xFF\xFB\x03\xFF\xFB\x01");
}

TEST(TelnetFilter, ReportsTerminalNamesWithEscapedIac) {
    TTelnetFilter filter(false);
    filter.Greeting();
    const TTelnetInput out = filter.Feed("\xFF\xFA\x18\x00"
                                         "vt\xFF\xFF"
                                         "x\xFF\xF0"s);
    ASSERT_EQ(out.TerminalTypes.size(), 1U);
    EXPECT_EQ(out.TerminalTypes[0], "vt\xFFx");
    EXPECT_TRUE(filter.Feed("\xFF\xFA\x18\x01\xFF\xF0"s).TerminalTypes.empty()); // SEND, not IS
}

TEST(TelnetFilter, EchoEndsWithDont) {
    TTelnetFilter filter(true);
    filter.Greeting();
    EXPECT_TRUE(filter.Echoing());
    filter.Feed("\xFF\xFD\x01");
    EXPECT_TRUE(filter.Echoing());
    filter.Feed("\xFF\xFE\x01");
    EXPECT_FALSE(filter.Echoing());
    EXPECT_FALSE(TTelnetFilter(false).Echoing());
}

TEST(TelnetFilter, EscapeDataDoublesIacOnly) {
    EXPECT_EQ(TTelnetFilter::EscapeData("a\xFF"
                                        "b\xFE\xFF"),
              "a\xFF\xFF"
              "b\xFE\xFF\xFF");
    EXPECT_EQ(TTelnetFilter::EscapeData(""), "");
}

} // namespace
