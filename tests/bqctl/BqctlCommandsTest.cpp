// bqctl against bq-gateway-sim: every command in the simulator's modes, and
// every exit status with its message.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "BqctlRun.h"
#include "tests/support/FakeSocksProxy.h"
#include "tests/support/GatewaySimProcess.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/TempDir.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool OneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

class BqctlModes : public testing::TestWithParam<std::vector<std::string>> {};

// info, write, backup, restore and reset in turn, the device changing as written.
TEST_P(BqctlModes, EveryCommandSucceedsAndTheDeviceHoldsWhatWasWritten) {
    GatewaySimProcess sim(GetParam());
    TempDir dir;
    BqctlRun run = RunBqctl(At(sim.Port(), {"info"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "mac:      7766554433221100\naddress:  2A\nchannel:  0F (channel 15)\n"
                       "pan_id:   1234\ntype:     01\n");

    run = RunBqctl(At(sim.Port(), {"write", "--address", "33", "--channel", "1a"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "written and verified: address 33, channel 1A (channel 26), pan_id 1234\n");

    run = RunBqctl(At(sim.Port(), {"backup", dir.Path("b.json")}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    const nlohmann::json backup = nlohmann::json::parse(ReadFile(dir.Path("b.json")));
    EXPECT_EQ(backup["address"], "33");
    EXPECT_EQ(backup["channel"], "1A");
    EXPECT_EQ(backup["port"], sim.Port());
    EXPECT_EQ(backup["format"], 1);

    run = RunBqctl(At(sim.Port(), {"write", "--pan-id", "abc"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    run = RunBqctl(At(sim.Port(), {"restore", dir.Path("b.json")}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    run = RunBqctl(At(sim.Port(), {"--json", "info"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    const nlohmann::json info = nlohmann::json::parse(run.Out);
    EXPECT_EQ(info["port"], sim.Port());
    EXPECT_EQ(info["status"], 0);
    EXPECT_TRUE(info["error"].is_null());
    EXPECT_EQ(info["result"]["pan_id"], "1234");
    EXPECT_EQ(info["result"]["channel_number"], 26);

    run = RunBqctl(At(sim.Port(), {"reset"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
}

INSTANTIATE_TEST_SUITE_P(SimulatorModes, BqctlModes,
                         testing::Values(std::vector<std::string>{},
                                         std::vector<std::string>{"--telnet"},
                                         std::vector<std::string>{"--telnet", "--echo"},
                                         std::vector<std::string>{"--delay-ms", "20"},
                                         std::vector<std::string>{"--garbage"},
                                         std::vector<std::string>{"--telnet", "--garbage"}));

// However the pieces of a split answer coalesce on the way, bqctl joins
// them into the answer's line.
TEST(Bqctl, SplitAnswersAreJoinedFromTheirPieces) {
    GatewaySimProcess sim({"--split", "3"});
    const BqctlRun run = RunBqctl(At(sim.Port(), {"info"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_NE(run.Out.find("mac:      7766554433221100\n"), std::string::npos) << run.Out;
}

struct BadInput {
    std::vector<std::string> Args;
    std::string Message;
};

class BqctlBadInputs : public testing::TestWithParam<BadInput> {};

// One line naming what was wrong, status 2, and not a line sent.
TEST_P(BqctlBadInputs, AreRefusedWithOneLineBeforeAnythingIsSent) {
    GatewaySimProcess sim;
    TempDir dir;
    dir.Write("bad.json", "{\"mac\": \"7766554433221100\", \"address\": \"2A\", "
                          "\"channel\": \"1B\", \"pan_id\": \"1234\"}");
    dir.Write("broken.json", "{\"mac\": ");
    dir.Write("future.json", "{\"format\": 2, \"mac\": \"7766554433221100\"}");
    dir.Write("inventory.csv", "host,port,gateway\n127.0.0.1,0,2001\n");
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().Args)
        args.push_back(arg.rfind("DIR/", 0) == 0 ? dir.Path(arg.substr(4)) : arg);
    const BqctlRun run = RunBqctl(At(sim.Port(), args));
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(OneLine(run.Err)) << run.Err;
    EXPECT_NE(run.Err.find(GetParam().Message), std::string::npos) << run.Err;
    EXPECT_EQ(sim.Log().find("MEM"), std::string::npos) << sim.Log();
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BqctlBadInputs,
    testing::Values(
        BadInput{{"write", "--channel", "1B"}, "--channel '1B': channel out of range 0B..1A"},
        BadInput{{"write", "--address", "FF"}, "--address 'FF': device address out of range"},
        BadInput{{"write", "--address", "01"}, "--address '01': device address out of range"},
        BadInput{{"write", "--pan-id", "12345"}, "--pan-id '12345': hexadecimal number of up to 4"},
        BadInput{{"write", "--pan-id", "G1"}, "--pan-id 'G1': hexadecimal"},
        BadInput{{"write"}, "give at least one of --address, --channel, --channel-number"},
        BadInput{{"--gateway", "20011", "info"}, "--gateway '20011': four characters"},
        BadInput{{"--timeout", "0", "info"}, "--timeout '0'"},
        BadInput{{"--proxy", "http://127.0.0.1:1", "info"}, "unknown scheme 'http'"},
        BadInput{{"--proxy", "socks5://127.0.0.1", "info"}, "expected host:port"},
        BadInput{{"restore", "DIR/missing.json"}, "missing.json: No such file or directory"},
        BadInput{{"restore", "DIR/broken.json"}, "broken.json: not a JSON object"},
        BadInput{{"restore", "DIR/future.json"}, "future.json: backup format 2, this bqctl reads"},
        BadInput{{"restore", "DIR/bad.json"}, "bad.json: channel '1B': channel out of range"},
        BadInput{{"frobnicate"}, "frobnicate"},
        BadInput{{"fleet", "DIR/inventory.csv", "info"}, "line 2: port '0'"},
        BadInput{{"fleet", "DIR/inventory.csv", "--jobs", "0", "info"}, "--jobs 0"}));

TEST(Bqctl, RestoreRefusesAForeignMacUnlessForced) {
    GatewaySimProcess sim;
    TempDir dir;
    dir.Write("other.json", "{\"mac\": \"0011223344556677\", \"address\": \"44\", "
                            "\"channel\": \"0B\", \"pan_id\": \"BEEF\"}");
    BqctlRun run = RunBqctl(At(sim.Port(), {"restore", dir.Path("other.json")}));
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("MAC 7766554433221100 differs from the backup's 0011223344556677"),
              std::string::npos)
        << run.Err;
    EXPECT_EQ(sim.Log().find("SET_MEM"), std::string::npos) << sim.Log();
    run = RunBqctl(At(sim.Port(), {"restore", "--force", dir.Path("other.json")}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "written and verified: address 44, channel 0B (channel 11), pan_id BEEF\n");
}

TEST(Bqctl, VerifyCatchesADeviceThatIgnoresWrites) {
    GatewaySimProcess sim({"--ignore-writes"});
    const BqctlRun run = RunBqctl(At(sim.Port(), {"write", "--channel", "1A"}));
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err,
              "bqctl: read-back differs: channel is 0F (channel 15), expected 1A (channel 26)\n");
}

// --channel is the window's hexadecimal value; a value that a radio person
// would read as a decimal channel is written as given, with a warning naming
// both readings, and --channel-number takes the decimal channel.
TEST(Bqctl, ChannelsAreNamedInBothReadings) {
    GatewaySimProcess sim;
    BqctlRun run = RunBqctl(At(sim.Port(), {"write", "--channel", "15"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Err, "bqctl: warning: --channel 15 is hexadecimal: 15 (channel 21); for channel "
                       "15 give --channel-number 15 (or --channel 0F)\n");
    EXPECT_NE(run.Out.find("channel 15 (channel 21)"), std::string::npos) << run.Out;

    run = RunBqctl(At(sim.Port(), {"write", "--channel-number", "15"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_NE(run.Out.find("channel 0F (channel 15)"), std::string::npos) << run.Out;

    run = RunBqctl(At(sim.Port(), {"write", "--channel", "0B"}));
    EXPECT_EQ(run.Err, "");
    for (const std::string value : {"10", "27", "1A"}) {
        run = RunBqctl(At(sim.Port(), {"write", "--channel-number", value}));
        EXPECT_EQ(run.Exit, 2) << value;
        EXPECT_EQ(run.Err,
                  "bqctl: --channel-number '" + value + "': a channel from 11 to 26 expected\n");
    }
    run = RunBqctl(At(sim.Port(), {"write", "--channel", "20"}));
    EXPECT_EQ(run.Exit, 2);
    EXPECT_NE(run.Err.find("for channel 20 give --channel-number 20"), std::string::npos)
        << run.Err;
}

struct Failure {
    // "silent", "closed", "close-after", "other-gateway"; through a proxy:
    // "silent-proxy", "closed-proxy", "gateway-refused", "proxy-wants-login"
    std::string Peer;
    int Exit;
    std::string Message; // "PORT": the port of the peer that failed
};

class BqctlFailures : public testing::TestWithParam<Failure> {};

// A SOCKS 5 proxy that takes the greeting without a login and answers the
// connect request to 127.0.0.1:5556 with `reply`.
std::vector<ProxyStep> Socks5Script(const std::string& reply) {
    return {{ProxyStep::Expect, std::string("\x05\x01\x00", 3)},
            {ProxyStep::Answer, std::string("\x05\x00", 2)},
            {ProxyStep::Expect,
             std::string("\x05\x01\x00\x03\x09", 5) + "127.0.0.1" + std::string("\x15\xB4", 2)},
            {ProxyStep::Answer, reply}};
}

TEST_P(BqctlFailures, EndWithTheirStatusAndOneLineNamingTheEndpoint) {
    const Failure& param = GetParam();
    loopback::Listener silent; // accepts into its backlog, never answers
    loopback::ClosedPort closed;
    std::unique_ptr<GatewaySimProcess> sim;
    std::unique_ptr<FakeSocksProxy> fake;
    // A short timeout only where the run ends by it, yet long enough for a
    // loaded machine to connect within it; the others end on an event of the
    // peer, which such a machine may deliver late.
    const bool endsByTime = param.Message.find("within 1 s") != std::string::npos;
    std::vector<std::string> args{"--timeout", endsByTime ? "1" : "30"};
    int32_t port = 5556;
    const auto through = [&](int32_t proxyPort) {
        port = proxyPort;
        args.insert(args.end(), {"--proxy", "socks5://127.0.0.1:" + std::to_string(port)});
    };
    if (param.Peer == "silent") port = silent.Port();
    if (param.Peer == "closed" || param.Peer == "closed-proxy") port = closed.Port();
    if (param.Peer == "silent" || param.Peer == "closed")
        args.insert(args.end(), {"--port", std::to_string(port)});
    if (param.Peer == "silent-proxy") through(silent.Port());
    if (param.Peer == "closed-proxy") through(closed.Port());
    if (param.Peer == "gateway-refused")
        fake = std::make_unique<FakeSocksProxy>(
            Socks5Script(std::string("\x05\x05\x00\x01\0\0\0\0\0\0", 10)));
    if (param.Peer == "proxy-wants-login")
        fake = std::make_unique<FakeSocksProxy>(
            std::vector<ProxyStep>{{ProxyStep::Expect, std::string("\x05\x01\x00", 3)},
                                   {ProxyStep::Answer, std::string("\x05\xFF", 2)}});
    if (fake) through(fake->Port());
    if (param.Peer == "close-after" || param.Peer == "other-gateway") {
        sim = std::make_unique<GatewaySimProcess>(
            param.Peer == "close-after" ? std::vector<std::string>{"--close-after", "2"}
                                        : std::vector<std::string>{"--gateway", "2002"});
        port = sim->Port();
        args.insert(args.end(), {"--port", std::to_string(port)});
    }
    args.push_back("info");
    const BqctlRun run = RunBqctl(args);
    EXPECT_EQ(run.Exit, param.Exit) << run.Err;
    EXPECT_TRUE(OneLine(run.Err)) << run.Err;
    std::string message = param.Message;
    if (const size_t at = message.find("PORT"); at != std::string::npos)
        message.replace(at, 4, std::to_string(port));
    EXPECT_NE(run.Err.find(message), std::string::npos) << run.Err;
    if (fake) {
        EXPECT_EQ(fake->Mismatch(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Gateways, BqctlFailures,
    testing::Values(
        Failure{"silent", 1, "no answer within 1 s for mac, address, channel, pan_id, type"},
        Failure{"other-gateway", 1, "no answer within 1 s for mac"},
        Failure{"closed", 3, "bqctl: 127.0.0.1:PORT: connection refused\n"},
        Failure{"close-after", 3,
                "bqctl: 127.0.0.1:PORT: the gateway closed the connection (no answer for channel"},
        Failure{"silent-proxy", 3,
                "bqctl: proxy 127.0.0.1:PORT: no connection to 127.0.0.1:5556 within 1 s"},
        Failure{"closed-proxy", 3, "bqctl: proxy 127.0.0.1:PORT: connection refused\n"},
        Failure{"gateway-refused", 3,
                "bqctl: proxy 127.0.0.1:PORT: the gateway 127.0.0.1:5556 refused the connection\n"},
        Failure{"proxy-wants-login", 3,
                "bqctl: proxy 127.0.0.1:PORT: wants a user name and password\n"}));

// Files that cannot be read or written are named with the system's reason.
TEST(Bqctl, FileErrorsCarryTheSystemsReason) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    BqctlRun run = RunBqctl({"restore", dir.Path("missing.json")});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "bqctl: " + dir.Path("missing.json") + ": No such file or directory\n");
    run = RunBqctl({"restore", dir.Path("folder")});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "bqctl: " + dir.Path("folder") + ": is a folder\n");
    run = RunBqctl({"backup", dir.Path("folder")});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "bqctl: " + dir.Path("folder") + ": is a folder\n");
}

TEST(Bqctl, LogHoldsTheTranscriptInTheWindowsForm) {
    GatewaySimProcess sim;
    TempDir dir;
    const BqctlRun run = RunBqctl(At(sim.Port(), {"--log", dir.Path("log"), "reset"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(
        ReadFile(dir.Path("log")).rfind("Connecting to 127.0.0.1.\nConnected.\n< 2001 RESET\n", 0),
        0U)
        << ReadFile(dir.Path("log"));
}

// CLI11's reports in bqctl's words, one line each, naming the command.
TEST(Bqctl, UsageErrorsSpeakTheProjectsWords) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"inof"},
         "bqctl: unknown command or argument 'inof'; did you mean 'info'? (see bqctl "
         "--help)\n"},
        {{"--port"}, "bqctl: --port needs a value (PORT) (see bqctl --help)\n"},
        {{"backup"}, "bqctl: backup: FILE is missing (see bqctl backup --help)\n"},
        {{"write", "--channel", "0B", "--channel-number", "11"},
         "bqctl: write: give --channel or --channel-number, not both (see bqctl write --help)\n"},
        {{"fleet", "x.csv", "--jobs", "many", "info"},
         "bqctl: fleet info: --jobs 'many': a whole number expected (see bqctl fleet info "
         "--help)\n"}};
    for (const auto& [args, message] : cases) {
        const BqctlRun run = RunBqctl(args);
        EXPECT_EQ(run.Exit, 2) << args[0];
        EXPECT_EQ(run.Err, message);
    }
    const BqctlRun help = RunBqctl({"write", "--help"});
    EXPECT_NE(help.Out.find("--channel-number N"), std::string::npos) << help.Out;
    EXPECT_NE(help.Out.find("Global options (--host, --port"), std::string::npos) << help.Out;
}

// -v and --log - put the transcript on standard error, the result stays on standard output.
TEST(Bqctl, VerboseRunsShowTheTranscriptOnStandardError) {
    GatewaySimProcess sim;
    for (const std::vector<std::string>& flag :
         {std::vector<std::string>{"-v"}, std::vector<std::string>{"--log", "-"}}) {
        std::vector<std::string> args = At(sim.Port(), flag);
        args.push_back("reset");
        const BqctlRun run = RunBqctl(args);
        EXPECT_EQ(run.Exit, 0) << run.Err;
        EXPECT_EQ(run.Out, "reset sent\n");
        EXPECT_NE(run.Err.find("Connected.\n< 2001 RESET\n"), std::string::npos) << run.Err;
    }
}

TEST(Bqctl, HelpListsTheExitStatusesAndVersionNamesTheRelease) {
    BqctlRun run = RunBqctl({"--help"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_NE(run.Out.find("3  network error"), std::string::npos) << run.Out;
    run = RunBqctl({"--version"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Out.rfind("bqctl ", 0), 0U) << run.Out;
}

} // namespace
