// The simulator's fault injection, bad input and Telnet mode, over loopback.
#include <gtest/gtest.h>

#include <string>

#include "LoopbackClient.h"
#include "protocol/CommandLines.h"
#include "protocol/MemoryAnswer.h"
#include "protocol/MemoryFields.h"
#include "tests/support/GatewaySimProcess.h"

namespace {

const std::string TypeAnswer = "> 2001 MEM 87 00 01 00 01";

TEST(GatewaySimFaults, SplitAnswersStillArriveWhole) {
    GatewaySimProcess sim({"--split", "3"});
    TLoopbackClient client(sim.Port());
    client.Send(ReadCommand(Descriptor(TMemoryField::Mac)) +
                ReadCommand(Descriptor(TMemoryField::Type)));
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77");
    EXPECT_EQ(client.ReadLine(), TypeAnswer);
}

TEST(GatewaySimFaults, DelayedAnswersComeNoEarlierAndInOrder) {
    using namespace std::chrono;
    GatewaySimProcess sim({"--delay-ms", "300"});
    TLoopbackClient slow(sim.Port());
    TLoopbackClient other(sim.Port());
    const auto sent = steady_clock::now();
    slow.Send(ReadCommand(Descriptor(TMemoryField::Type)) +
              ReadCommand(Descriptor(TMemoryField::Address)));
    other.Send(ReadCommand(Descriptor(TMemoryField::PanId)));
    EXPECT_EQ(other.ReadLine(), "> 2001 MEM 83 00 02 00 34 12");
    EXPECT_EQ(slow.ReadLine(), TypeAnswer);
    EXPECT_GE(steady_clock::now() - sent, milliseconds(300));
    EXPECT_EQ(slow.ReadLine(), "> 2001 MEM 01 04 01 00 2A");
}

TEST(GatewaySimFaults, CloseAfterAnswersTheLastLineThenCloses) {
    GatewaySimProcess sim({"--close-after", "2"});
    TLoopbackClient client(sim.Port());
    client.Send(ReadCommand(Descriptor(TMemoryField::Type)) + "\r\r" +
                ReadCommand(Descriptor(TMemoryField::Address)) +
                ReadCommand(Descriptor(TMemoryField::PanId)));
    EXPECT_EQ(client.ReadLine(), TypeAnswer);
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 01 04 01 00 2A");
    std::string rest;
    EXPECT_TRUE(client.WaitForClose(rest));
    EXPECT_EQ(rest, ""); // the third line is never answered
    // the limit is per connection: a new client is served again
    TLoopbackClient next(sim.Port());
    next.Send(ReadCommand(Descriptor(TMemoryField::Type)));
    EXPECT_EQ(next.ReadLine(), TypeAnswer);
}

TEST(GatewaySimFaults, GarbageLinePrecedesEachAnswer) {
    GatewaySimProcess sim({"--garbage"});
    TLoopbackClient client(sim.Port());
    for (int i = 0; i < 2; ++i) {
        client.Send(ReadCommand(Descriptor(TMemoryField::Type)));
        const std::optional<std::string> garbage = client.ReadLine();
        ASSERT_TRUE(garbage.has_value());
        EXPECT_FALSE(TrimControls(*garbage).empty());
        EXPECT_FALSE(RecogniseMemoryAnswer(TrimControls(*garbage), "2001"));
        EXPECT_NE(garbage->find('\0'), std::string::npos);
        EXPECT_NE(garbage->find('\x80'), std::string::npos);
        // a plain-text peer would take 0xFF for a Telnet command
        EXPECT_EQ(garbage->find('\xFF'), std::string::npos);
        EXPECT_EQ(client.ReadLine(), TypeAnswer);
    }
}

TEST(GatewaySimFaults, EchoesTypedLinesButNotEmptyOnes) {
    GatewaySimProcess sim({"--echo"});
    TLoopbackClient client(sim.Port());
    const std::string line = ReadMemoryLine("2001", Descriptor(TMemoryField::Type));
    client.SendByByte(line + "\r\n");
    EXPECT_EQ(client.ReadLine(), line);
    EXPECT_EQ(client.ReadLine(), TypeAnswer);
    // The tool answers a chunk it cannot decode with a CR; echoing that would
    // never end. The next bytes on the wire are the echo of the next line.
    client.Send("\r\r\n");
    client.Send("x\r");
    EXPECT_EQ(client.ReadLine(), "x");
    EXPECT_EQ(client.ReadLine(), "> 2001 ERROR unknown command");
}

struct BadLine {
    std::string line;
    std::string answer;
};

class BadInput : public testing::TestWithParam<BadLine> {};

TEST_P(BadInput, GetsAnErrorAndLeavesTheMemoryAlone) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    client.Send(GetParam().line + "\r");
    EXPECT_EQ(client.ReadLine(), GetParam().answer);
    for (const TMemoryField field : AllMemoryFields)
        client.Send(ReadCommand(Descriptor(field)));
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77");
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 01 04 01 00 2A");
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 84 00 04 00 00 80 00 00");
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 83 00 02 00 34 12");
    EXPECT_EQ(client.ReadLine(), TypeAnswer);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadInput,
    testing::Values(BadLine{"hello", "> 2001 ERROR unknown command"},
                    BadLine{"< 2001 FORMAT", "> 2001 ERROR unknown command"},
                    BadLine{"< 2001 get_mem 87 00 01 00", "> 2001 ERROR unknown command"},
                    BadLine{"<", "> 2001 ERROR unknown command"},
                    BadLine{"< 2001", "> 2001 ERROR unknown command"},
                    BadLine{"< 2001 GET_MEM 87 00 01", "> 2001 ERROR malformed descriptor"},
                    BadLine{"< 2001 GET_MEM 87 00 01 00 00", "> 2001 ERROR malformed descriptor"},
                    BadLine{"< 2001 GET_MEM 8700 0100", "> 2001 ERROR malformed descriptor"},
                    BadLine{"< 2001 GET_MEM 87 00 01 0G", "> 2001 ERROR malformed descriptor"},
                    BadLine{"< 2001 GET_MEM 87 00 02 00", "> 2001 ERROR wrong length"},
                    BadLine{"< 2001 GET_MEM 02 00 01 00", "> 2001 ERROR unknown location"},
                    BadLine{"< 2001 SET_MEM 83 00 02 00 34", "> 2001 ERROR data length"},
                    BadLine{"< 2001 SET_MEM 83 00 02 00 34 12 56", "> 2001 ERROR data length"},
                    BadLine{"< 2001 SET_MEM 83 00 02 00 NC", "> 2001 ERROR bad data"},
                    BadLine{"< 2001 SET_MEM 83 00 02 00 3412", "> 2001 ERROR bad data"},
                    BadLine{"< 2001 SET_MEM 84 00 04 00 Channel error", "> 2001 ERROR bad data"},
                    BadLine{"< 2001 SET_MEM 84 00 04 00 00 18 00 00", "> 2001 ERROR bad value"},
                    BadLine{"< 2001 SET_MEM 84 00 04 00 00 00 00 08", "> 2001 ERROR bad value"},
                    BadLine{"< 2001 SET_MEM 02 00 01 00 00", "> 2001 ERROR unknown location"},
                    BadLine{"< 2001 RESET now", "> 2001 ERROR malformed command"},
                    BadLine{std::string("< 2001 SET_MEM 83 00 02 00 \0\xFF 12", 31),
                            "> 2001 ERROR bad data"},
                    BadLine{"\x01\x80\xFE\xFF\x7F", "> 2001 ERROR unknown command"},
                    BadLine{std::string(2000, 'A'), "> 2001 ERROR line too long"},
                    BadLine{"< 2001 SET_MEM 83 00 02 00 " + std::string(1500, '7'),
                            "> 2001 ERROR line too long"}));

TEST(GatewaySimTelnet, NegotiatesTerminalTypeAndStripsCommands) {
    GatewaySimProcess sim({"--telnet"});
    TLoopbackClient client(sim.Port());
    // IAC DO TERMINAL-TYPE, IAC WILL SUPPRESS-GO-AHEAD
    EXPECT_EQ(client.ReadBytes(6), "\xFF\xFD\x18\xFF\xFB\x03");
    // the tool's replies: IAC WILL TERMINAL-TYPE, IAC DONT SUPPRESS-GO-AHEAD
    client.Send("\xFF\xFB\x18\xFF\xFE\x03");
    // IAC SB TERMINAL-TYPE SEND IAC SE (RFC 1091), and nothing for the DONT
    EXPECT_EQ(client.ReadBytes(6), "\xFF\xFA\x18\x01\xFF\xF0");
    client.Send(std::string("\xFF\xFA\x18\x00"
                            "dumb\xFF\xF0",
                            10));
    // A NOP in the middle of a command and CR NUL as its end (RFC 854).
    client.SendByByte(std::string("< 2001 GET_\xFF\xF1MEM 87 00 01 00\r\0", 31));
    EXPECT_EQ(client.ReadLine(), TypeAnswer);
    EXPECT_NE(sim.Log().find("terminal type dumb"), std::string::npos) << sim.Log();
    // An escaped 0xFF is data, and data that is no command gets an error.
    client.Send("\xFF\xFF\r");
    EXPECT_EQ(client.ReadLine(), "> 2001 ERROR unknown command");
}

TEST(GatewaySimTelnet, GarbageCarriesADoubledIac) {
    GatewaySimProcess sim({"--telnet", "--garbage"});
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(client.ReadBytes(6), "\xFF\xFD\x18\xFF\xFB\x03");
    client.Send(ReadCommand(Descriptor(TMemoryField::Type)));
    const std::optional<std::string> garbage = client.ReadLine();
    ASSERT_TRUE(garbage.has_value());
    EXPECT_NE(garbage->find("\xFF\xFF"), std::string::npos);
    EXPECT_EQ(client.ReadLine(), TypeAnswer);
}

TEST(GatewaySimTelnet, EchoIsOfferedAndStopsOnDont) {
    GatewaySimProcess sim({"--telnet", "--echo"});
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(client.ReadBytes(9), "\xFF\xFD\x18\xFF\xFB\x03\xFF\xFB\x01");
    client.Send("\xFF\xFD\x01"
                "ab\r"); // DO ECHO accepts the offer without a further reply
    EXPECT_EQ(client.ReadLine(), "ab");
    EXPECT_EQ(client.ReadLine(), "> 2001 ERROR unknown command");
    client.Send("\xFF\xFE\x01"
                "cd\r"); // DONT ECHO: answered with WONT ECHO, echo ends
    EXPECT_EQ(client.ReadBytes(3), "\xFF\xFC\x01");
    EXPECT_EQ(client.ReadLine(), "> 2001 ERROR unknown command");
}

} // namespace
