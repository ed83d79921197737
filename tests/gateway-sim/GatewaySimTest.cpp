// The simulator binary over loopback: reads, writes, reset, line ends, several
// clients, disconnects and signals.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LoopbackClient.h"
#include "protocol/CommandLines.h"
#include "protocol/FieldDescriptors.h"
#include "protocol/FieldEncodings.h"
#include "protocol/MemoryAnswer.h"
#include "runtime/Version.h"
#include "tests/support/GatewaySimProcess.h"

namespace {

const TFieldDescriptors Descriptors = DefaultFieldDescriptors();

// Reads one field the way the tool does and decodes the answer with the tool's recogniser.
std::string ReadField(TLoopbackClient& client, const std::string& descriptor,
                      const std::string& gateway = "2001") {
    client.Send(ReadCommand(descriptor, gateway));
    const std::optional<std::string> line = client.ReadLine();
    if (!line) return "<no answer>";
    const auto answer = RecogniseMemoryAnswer(TrimControls(*line), gateway, Descriptors);
    return answer ? answer->Text : "<not a memory answer: " + *line + ">";
}

std::string Answer(TLoopbackClient& client, const std::string& line) {
    client.Send(line + "\r");
    return client.ReadLine().value_or("<no answer>");
}

TEST(GatewaySim, AnswersAllFiveFieldsWithTheDefaults) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(ReadField(client, Descriptors.Mac), "7766554433221100");
    EXPECT_EQ(ReadField(client, Descriptors.Address), "2A");
    EXPECT_EQ(ReadField(client, Descriptors.Channel), "0F");
    EXPECT_EQ(ReadField(client, Descriptors.PanId), "1234");
    EXPECT_EQ(ReadField(client, Descriptors.Type), "01");
}

TEST(GatewaySim, MemoryAnswerHasTheWireLayout) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(Answer(client, ReadMemoryLine("2001", Descriptors.PanId)),
              "> 2001 MEM 83 00 02 00 34 12");
    // descriptors are read in either case and answered in upper case
    EXPECT_EQ(Answer(client, "< 2001 GET_MEM 0a 00 01 00"), "> 2001 ERROR unknown location");
    EXPECT_EQ(Answer(client, "< 2001 GET_MEM 01 00 08 00"),
              "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77");
}

TEST(GatewaySim, WritesAreReadBack) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(Answer(client, WriteMemoryLine("2001", Descriptors.Address, HexToByteList("A5"))),
              "> 2001 OK");
    EXPECT_EQ(Answer(client, WriteMemoryLine("2001", Descriptors.Channel, ChannelToMask(0x1A))),
              "> 2001 OK");
    EXPECT_EQ(Answer(client, WriteMemoryLine("2001", Descriptors.PanId, HexToByteList("BEEF"))),
              "> 2001 OK");
    EXPECT_EQ(
        Answer(client, WriteMemoryLine("2001", Descriptors.Mac, HexToByteList("0102030405060708"))),
        "> 2001 OK");
    EXPECT_EQ(ReadField(client, Descriptors.Address), "A5");
    EXPECT_EQ(ReadField(client, Descriptors.Channel), "1A");
    EXPECT_EQ(ReadField(client, Descriptors.PanId), "BEEF");
    EXPECT_EQ(ReadField(client, Descriptors.Mac), "0102030405060708");
    EXPECT_EQ(ReadField(client, Descriptors.Type), "01");
}

TEST(GatewaySim, ResetAnswersABannerAndKeepsTheMemory) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(Answer(client, WriteMemoryLine("2001", Descriptors.PanId, "CD AB")), "> 2001 OK");
    const std::string banner = Answer(client, ResetLine("2001"));
    EXPECT_NE(banner.find("2001"), std::string::npos) << banner;
    EXPECT_FALSE(RecogniseMemoryAnswer(banner, "2001", Descriptors)) << banner;
    EXPECT_EQ(ReadField(client, Descriptors.PanId), "ABCD");
}

TEST(GatewaySim, AnswersOnlyItsOwnGatewayAddress) {
    GatewaySimProcess sim({"--gateway", "7F01"});
    TLoopbackClient client(sim.Port());
    // Lines for 2001 and empty lines are ignored: the next thing on the
    // wire is the answer to the line after them.
    client.Send(ReadCommand(Descriptors.Type, "2001"));
    client.Send("\r\r\n\n   \r");
    EXPECT_EQ(ReadField(client, Descriptors.Address, "7F01"), "2A");
    EXPECT_NE(sim.Log().find("ignored"), std::string::npos);
}

class LineEnds : public testing::TestWithParam<const char*> {};

TEST_P(LineEnds, EachEndsALineOnce) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    const std::string end = GetParam();
    client.Send(ReadMemoryLine("2001", Descriptors.Address) + end +
                ReadMemoryLine("2001", Descriptors.Type) + end);
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 01 04 01 00 2A");
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 87 00 01 00 01");
    // A CR LF pair is one line end, so no empty line got between: the next
    // answer is the one to the next command.
    client.SendByByte(ReadMemoryLine("2001", Descriptors.PanId) + end);
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 83 00 02 00 34 12");
}

INSTANTIATE_TEST_SUITE_P(CrLfCrLf, LineEnds, testing::Values("\r", "\n", "\r\n"));

TEST(GatewaySim, CharactersSentOneAtATime) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    client.SendByByte(ReadCommand(Descriptors.Mac) +
                      WriteMemoryLine("2001", Descriptors.Address, "33") + "\r");
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77");
    EXPECT_EQ(client.ReadLine(), "> 2001 OK");
    EXPECT_EQ(ReadField(client, Descriptors.Address), "33");
}

TEST(GatewaySim, ClientsShareOneMemory) {
    GatewaySimProcess sim;
    TLoopbackClient writer(sim.Port());
    TLoopbackClient reader(sim.Port());
    TLoopbackClient third(sim.Port());
    // Half a line from one client must not mix with another's lines.
    third.Send("< 2001 GET_MEM 83 00");
    EXPECT_EQ(Answer(writer, WriteMemoryLine("2001", Descriptors.PanId, "78 56")), "> 2001 OK");
    EXPECT_EQ(ReadField(reader, Descriptors.PanId), "5678");
    third.Send(" 02 00\r");
    EXPECT_EQ(third.ReadLine(), "> 2001 MEM 83 00 02 00 78 56");
    EXPECT_EQ(Answer(reader, WriteMemoryLine("2001", Descriptors.Channel, ChannelToMask(11))),
              "> 2001 OK");
    EXPECT_EQ(ReadField(writer, Descriptors.Channel), "0B");
}

TEST(GatewaySim, ClientsThatLeaveMidLineOrWithResetAreDropped) {
    GatewaySimProcess sim;
    {
        TLoopbackClient halfLine(sim.Port());
        halfLine.Send("< 2001 SET_MEM 83 00 02 00 11");
    }
    {
        TLoopbackClient reset(sim.Port());
        reset.Send("< 2001 GET_MEM 01 00 08 00\r< 2001 GET_MEM 01 00 08 00\r");
        reset.Reset();
    }
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(ReadField(client, Descriptors.PanId), "1234");
    EXPECT_EQ(ReadField(client, Descriptors.Mac), "7766554433221100");
    const int status = sim.Stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(sim.Log().find("client 1 dropped"), std::string::npos) << sim.Log();
    EXPECT_NE(sim.Log().find("client 2 dropped"), std::string::npos) << sim.Log();
}

class StopSignal : public testing::TestWithParam<int> {};

TEST_P(StopSignal, EndsCleanlyWithClientsConnected) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(ReadField(client, Descriptors.Type), "01");
    const int status = sim.Stop(GetParam());
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::string rest;
    EXPECT_TRUE(client.WaitForClose(rest));
}

INSTANTIATE_TEST_SUITE_P(TermAndInt, StopSignal, testing::Values(SIGTERM, SIGINT));

TEST(GatewaySim, LogsEachLineAndAnswer) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(ReadField(client, Descriptors.Type), "01");
    const std::string log = sim.Log();
    EXPECT_NE(log.find("< 2001 GET_MEM 87 00 01 00"), std::string::npos) << log;
    EXPECT_NE(log.find("> 2001 MEM 87 00 01 00 01"), std::string::npos) << log;
}

TEST(GatewaySimCommandLine, HelpNamesEveryOption) {
    const GatewaySimRun run = RunGatewaySim({"--help"});
    EXPECT_TRUE(WIFEXITED(run.Status) && WEXITSTATUS(run.Status) == 0);
    for (const char* option : {"--listen", "--port", "--gateway", "--telnet", "--echo", "--split",
                               "--delay-ms", "--close-after", "--garbage", "--help", "--version"})
        EXPECT_NE(run.Stdout.find(option), std::string::npos) << option;
}

TEST(GatewaySimCommandLine, VersionIsTheProductVersion) {
    const GatewaySimRun run = RunGatewaySim({"--version"});
    EXPECT_TRUE(WIFEXITED(run.Status) && WEXITSTATUS(run.Status) == 0);
    EXPECT_EQ(run.Stdout, std::string("bq-gateway-sim ") + ProductVersion() + "\n");
}

TEST(GatewaySimCommandLine, BadOptionsAreRefused) {
    const std::vector<std::vector<std::string>> bad = {{"--bogus"},
                                                       {"--port"},
                                                       {"--port", "65536"},
                                                       {"--port", "-1"},
                                                       {"--port", "12x"},
                                                       {"--split", "0"},
                                                       {"--delay-ms", "abc"},
                                                       {"--close-after", "0"},
                                                       {"--listen", "localhost"},
                                                       {"--gateway", ""},
                                                       {"--gateway", "20 01"}};
    for (const auto& options : bad) {
        const GatewaySimRun run = RunGatewaySim(options);
        EXPECT_TRUE(WIFEXITED(run.Status) && WEXITSTATUS(run.Status) == 2) << options[0];
        EXPECT_NE(run.Stderr.find("bq-gateway-sim: "), std::string::npos) << options[0];
        EXPECT_EQ(run.Stdout.find("listening"), std::string::npos) << options[0];
    }
}

} // namespace
