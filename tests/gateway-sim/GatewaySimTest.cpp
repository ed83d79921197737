// The simulator binary over loopback: reads, writes, reset, line ends, several
// clients, disconnects and signals.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "LoopbackClient.h"
#include "protocol/CommandLines.h"
#include "protocol/FieldEncodings.h"
#include "protocol/MemoryAnswer.h"
#include "protocol/MemoryFields.h"
#include "runtime/Version.h"
#include "tests/support/GatewaySimProcess.h"

namespace {

// Reads one field the way the tool does and decodes the answer with the tool's recogniser.
std::string ReadField(TLoopbackClient& client, const std::string& descriptor,
                      const std::string& gateway = "2001") {
    client.Send(ReadCommand(descriptor, gateway));
    const std::optional<std::string> line = client.ReadLine();
    if (!line) return "<no answer>";
    const auto answer = RecogniseMemoryAnswer(TrimControls(*line), gateway);
    return answer ? answer->Text : "<not a memory answer: " + *line + ">";
}

std::string Answer(TLoopbackClient& client, const std::string& line) {
    client.Send(line + "\r");
    return client.ReadLine().value_or("<no answer>");
}

TEST(GatewaySim, AnswersAllFiveFieldsWithTheDefaults) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Mac)), "7766554433221100");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Address)), "2A");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Channel)), "0F");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::PanId)), "1234");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Type)), "01");
}

TEST(GatewaySim, MemoryAnswerHasTheWireLayout) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(Answer(client, ReadMemoryLine("2001", Descriptor(TMemoryField::PanId))),
              "> 2001 MEM 83 00 02 00 34 12");
    // descriptors are read in either case and answered in upper case
    EXPECT_EQ(Answer(client, "< 2001 GET_MEM 0a 00 01 00"), "> 2001 ERROR unknown location");
    EXPECT_EQ(Answer(client, "< 2001 GET_MEM 01 00 08 00"),
              "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77");
}

TEST(GatewaySim, WritesAreReadBack) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(Answer(client, WriteMemoryLine("2001", Descriptor(TMemoryField::Address),
                                             HexToByteList("A5"))),
              "> 2001 OK");
    EXPECT_EQ(Answer(client, WriteMemoryLine("2001", Descriptor(TMemoryField::Channel),
                                             ChannelToMask(0x1A))),
              "> 2001 OK");
    EXPECT_EQ(Answer(client, WriteMemoryLine("2001", Descriptor(TMemoryField::PanId),
                                             HexToByteList("BEEF"))),
              "> 2001 OK");
    EXPECT_EQ(Answer(client, WriteMemoryLine("2001", Descriptor(TMemoryField::Mac),
                                             HexToByteList("0102030405060708"))),
              "> 2001 OK");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Address)), "A5");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Channel)), "1A");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::PanId)), "BEEF");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Mac)), "0102030405060708");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Type)), "01");
}

TEST(GatewaySim, ResetAnswersABannerAndKeepsTheMemory) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(Answer(client, WriteMemoryLine("2001", Descriptor(TMemoryField::PanId), "CD AB")),
              "> 2001 OK");
    const std::string banner = Answer(client, ResetLine("2001"));
    EXPECT_NE(banner.find("2001"), std::string::npos) << banner;
    EXPECT_FALSE(RecogniseMemoryAnswer(banner, "2001")) << banner;
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::PanId)), "ABCD");
}

TEST(GatewaySim, AnswersOnlyItsOwnGatewayAddress) {
    GatewaySimProcess sim({"--gateway", "7F01"});
    TLoopbackClient client(sim.Port());
    // Lines for 2001 and empty lines are ignored: the next thing on the
    // wire is the answer to the line after them.
    client.Send(ReadCommand(Descriptor(TMemoryField::Type), "2001"));
    client.Send("\r\r\n\n   \r");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Address), "7F01"), "2A");
    EXPECT_NE(sim.Log().find("ignored"), std::string::npos);
}

class LineEnds : public testing::TestWithParam<const char*> {};

TEST_P(LineEnds, EachEndsALineOnce) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    const std::string end = GetParam();
    client.Send(ReadMemoryLine("2001", Descriptor(TMemoryField::Address)) + end +
                ReadMemoryLine("2001", Descriptor(TMemoryField::Type)) + end);
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 01 04 01 00 2A");
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 87 00 01 00 01");
    // A CR LF pair is one line end, so no empty line got between: the next
    // answer is the one to the next command.
    client.SendByByte(ReadMemoryLine("2001", Descriptor(TMemoryField::PanId)) + end);
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 83 00 02 00 34 12");
}

INSTANTIATE_TEST_SUITE_P(CrLfCrLf, LineEnds, testing::Values("\r", "\n", "\r\n"));

TEST(GatewaySim, CharactersSentOneAtATime) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    client.SendByByte(ReadCommand(Descriptor(TMemoryField::Mac)) +
                      WriteMemoryLine("2001", Descriptor(TMemoryField::Address), "33") + "\r");
    EXPECT_EQ(client.ReadLine(), "> 2001 MEM 01 00 08 00 00 11 22 33 44 55 66 77");
    EXPECT_EQ(client.ReadLine(), "> 2001 OK");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Address)), "33");
}

TEST(GatewaySim, ClientsShareOneMemory) {
    GatewaySimProcess sim;
    TLoopbackClient writer(sim.Port());
    TLoopbackClient reader(sim.Port());
    TLoopbackClient third(sim.Port());
    // Half a line from one client must not mix with another's lines.
    third.Send("< 2001 GET_MEM 83 00");
    EXPECT_EQ(Answer(writer, WriteMemoryLine("2001", Descriptor(TMemoryField::PanId), "78 56")),
              "> 2001 OK");
    EXPECT_EQ(ReadField(reader, Descriptor(TMemoryField::PanId)), "5678");
    third.Send(" 02 00\r");
    EXPECT_EQ(third.ReadLine(), "> 2001 MEM 83 00 02 00 78 56");
    EXPECT_EQ(Answer(reader,
                     WriteMemoryLine("2001", Descriptor(TMemoryField::Channel), ChannelToMask(11))),
              "> 2001 OK");
    EXPECT_EQ(ReadField(writer, Descriptor(TMemoryField::Channel)), "0B");
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
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::PanId)), "1234");
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Mac)), "7766554433221100");
    const int status = sim.Stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(sim.Log().find("client 1 dropped"), std::string::npos) << sim.Log();
    EXPECT_NE(sim.Log().find("client 2 dropped"), std::string::npos) << sim.Log();
}

// Idle connections cannot lock clients out: past 64 the longest-idle one
// makes room, and one silent for longer than --idle-timeout is dropped.
TEST(GatewaySim, IdleClientsMakeRoomForNewOnes) {
    GatewaySimProcess sim;
    std::vector<std::unique_ptr<TLoopbackClient>> idle;
    for (int i = 0; i < 64; ++i)
        idle.push_back(std::make_unique<TLoopbackClient>(sim.Port()));
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Type)), "01");
    std::string rest;
    EXPECT_TRUE(idle.front()->WaitForClose(rest));
    EXPECT_NE(sim.Log().find("client 1 dropped: idle longest, room made for a new client"),
              std::string::npos)
        << sim.Log();
}

TEST(GatewaySim, ASilentClientIsDroppedAfterTheIdleTimeout) {
    GatewaySimProcess sim({"--idle-timeout=0.2"});
    TLoopbackClient silent(sim.Port());
    std::string rest;
    EXPECT_TRUE(silent.WaitForClose(rest));
    EXPECT_NE(sim.Log().find("client 1 dropped: idle for 0.2 s"), std::string::npos) << sim.Log();
}

class StopSignal : public testing::TestWithParam<int> {};

TEST_P(StopSignal, EndsCleanlyWithClientsConnected) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Type)), "01");
    const int status = sim.Stop(GetParam());
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::string rest;
    EXPECT_TRUE(client.WaitForClose(rest));
}

INSTANTIATE_TEST_SUITE_P(TermAndInt, StopSignal, testing::Values(SIGTERM, SIGINT));

// Each log line starts with its UTC time, to the millisecond.
TEST(GatewaySim, LogsEachLineAndAnswerAfterItsTime) {
    GatewaySimProcess sim;
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Type)), "01");
    sim.Stop(SIGTERM);
    // "2026-12-09T19:52:46.123Z ": a digit wherever the pattern has a 9.
    const std::string stamp = "9999-99-99T99:99:99.999Z ";
    std::istringstream log(sim.Log());
    std::vector<std::string> texts;
    for (std::string line; std::getline(log, line) && texts.size() < 20;) {
        if (!line.empty() && line.back() == '\r') line.pop_back(); // a Windows console's line end
        bool stamped = line.size() > stamp.size();
        for (size_t i = 0; stamped && i < stamp.size(); ++i)
            stamped = stamp[i] == '9' ? line[i] >= '0' && line[i] <= '9' : line[i] == stamp[i];
        EXPECT_TRUE(stamped) << line;
        texts.push_back(stamped ? line.substr(stamp.size()) : line);
    }
    ASSERT_EQ(texts.size(), 5U) << sim.Log();
    EXPECT_EQ(texts[0], "gateway 2001, plain text");
    EXPECT_EQ(texts[1].rfind("client 1 connected from 127.0.0.1:", 0), 0U) << texts[1];
    EXPECT_EQ(texts[2], "client 1 < < 2001 GET_MEM 87 00 01 00");
    EXPECT_EQ(texts[3], "client 1 > > 2001 MEM 87 00 01 00 01");
    EXPECT_EQ(texts[4], "stopped");
    EXPECT_EQ(sim.ReceivedLines(), std::vector<std::string>{"< 2001 GET_MEM 87 00 01 00"});
}

TEST(GatewaySimCommandLine, HelpNamesEveryOption) {
    const GatewaySimRun run = RunGatewaySim({"--help"});
    EXPECT_TRUE(WIFEXITED(run.Status) && WEXITSTATUS(run.Status) == 0);
    for (const char* option :
         {"--listen", "--port", "--gateway", "--telnet", "--echo", "--split", "--delay-ms",
          "--close-after", "--garbage", "--help", "--version", "--idle-timeout"})
        EXPECT_NE(run.Stdout.find(option), std::string::npos) << option;
}

TEST(GatewaySimCommandLine, VersionIsTheProductVersion) {
    const GatewaySimRun run = RunGatewaySim({"--version"});
    EXPECT_TRUE(WIFEXITED(run.Status) && WEXITSTATUS(run.Status) == 0);
    EXPECT_EQ(run.Stdout, std::string("bq-gateway-sim ") + ProductVersion() + "\n");
}

// Both "--port N" and "--port=N"; every refusal is one line naming the value.
TEST(GatewaySimCommandLine, BadOptionsAreRefusedWithOneLine) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"--bogus"}, "unknown option or argument '--bogus' (see --help)"},
        {{"--port"}, "--port needs a value (see --help)"},
        {{"--port", "65536"}, "--port '65536': a number from 0 to 65535 expected"},
        {{"--port=12x"}, "--port '12x': a number from 0 to 65535 expected"},
        {{"--split=0"}, "--split '0': a number from 1 to 65536 expected"},
        {{"--delay-ms", "abc"}, "--delay-ms 'abc': a number from 0 to 3600000 expected"},
        {{"--close-after", "0"}, "--close-after '0': a number from 1 to 1000000 expected"},
        {{"--idle-timeout", "abc"}, "--idle-timeout 'abc': seconds from 0 (never) to 86400"},
        {{"--listen=localhost"}, "--listen 'localhost': an IPv4 address expected"},
        {{"--gateway", ""}, "--gateway '': one word of printable ASCII, at most 16"},
        {{"--gateway", "20 01"}, "--gateway '20 01': one word of printable ASCII, at most 16"}};
    for (const auto& [options, message] : bad) {
        const GatewaySimRun run = RunGatewaySim(options);
        EXPECT_TRUE(WIFEXITED(run.Status) && WEXITSTATUS(run.Status) == 2) << options[0];
        EXPECT_EQ(run.Stderr.rfind("bq-gateway-sim: " + message, 0), 0U) << run.Stderr;
        EXPECT_EQ(run.Stderr.find('\n'), run.Stderr.size() - 1) << run.Stderr;
        EXPECT_EQ(run.Stdout.find("listening"), std::string::npos) << options[0];
    }
    GatewaySimProcess sim({"--gateway=2002", "--split=3"});
    TLoopbackClient client(sim.Port());
    EXPECT_EQ(ReadField(client, Descriptor(TMemoryField::Type), "2002"), "01");
}

} // namespace
