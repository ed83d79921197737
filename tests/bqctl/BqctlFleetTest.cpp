// The fleet: through a real SOCKS 5 proxy with a password, backup and restore
// over a folder, and a thousand rows in this process with nothing left behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

#include "BqctlRun.h"
#include "bqctl/Fleet.h"
#include "tests/net/tcp/SocksProxies.h"
#include "tests/support/GatewaySimProcess.h"
#include "tests/support/ProcessProbe.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<nlohmann::json> JsonLines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line))
        lines.push_back(nlohmann::json::parse(line));
    return lines;
}

TEST(BqctlFleet, ReachesGatewaysThroughASocks5ProxyWithAPassword) {
    MicrosocksProxy proxy("bq", "s3cret");
    ASSERT_EQ(proxy.Failure(), "");
    GatewaySimProcess sim({"--telnet"});
    const std::string row = "127.0.0.1," + std::to_string(sim.Port()) + ",2001,socks5://bq:";
    const std::string at = "@127.0.0.1:" + std::to_string(proxy.Port()) + "\n";
    TempDir dir;
    dir.Write("inventory.csv", "host,port,gateway,proxy\n" + row + "s3cret" + at + row + "s3cret" +
                                   at + row + "wrong" + at);
    const BqctlRun run = RunBqctl({"fleet", dir.Path("inventory.csv"), "info"});
    EXPECT_EQ(run.Exit, 3) << run.Err;
    const std::vector<nlohmann::json> lines = JsonLines(run.Out);
    ASSERT_EQ(lines.size(), 3U) << run.Out;
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(lines[i]["status"], 0) << lines[i];
        EXPECT_EQ(lines[i]["result"]["mac"], "7766554433221100") << lines[i];
    }
    EXPECT_EQ(lines[2]["status"], 3);
    EXPECT_EQ(lines[2]["error"], "proxy 127.0.0.1:" + std::to_string(proxy.Port()) +
                                     ": refused the user name or password");
    EXPECT_NE(run.Err.find("fleet: 3 rows, 2 done, 0 device errors, 0 input errors, 1 network"),
              std::string::npos)
        << run.Err;
}

TEST(BqctlFleet, BacksUpIntoAFolderAndRestoresFromIt) {
    GatewaySimProcess first, second;
    TempDir dir;
    dir.Write("inventory.csv", "gateway,port,host\n2001," + std::to_string(first.Port()) +
                                   ",127.0.0.1\n2001," + std::to_string(second.Port()) +
                                   ",127.0.0.1\n");
    ::mkdir(dir.Path("saved").c_str(), 0755);
    BqctlRun run = RunBqctl({"fleet", dir.Path("inventory.csv"), "backup", dir.Path("saved")});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    run = RunBqctl(At(first.Port(), {"write", "--channel", "11"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    run = RunBqctl({"fleet", dir.Path("inventory.csv"), "--csv", "restore", dir.Path("saved")});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    // The type is not compared, so a restore does not wait for it: shown when it came.
    std::string shown = run.Out;
    for (size_t at = shown.find(",01,\n"); at != std::string::npos; at = shown.find(",01,\n", at))
        shown.replace(at, 5, ",,\n");
    EXPECT_EQ(shown, "line,host,port,gateway,status,mac,address,channel,pan_id,type,error\n"
                     "2,127.0.0.1," +
                         std::to_string(first.Port()) +
                         ",2001,0,7766554433221100,2A,0F,1234,,\n"
                         "3,127.0.0.1," +
                         std::to_string(second.Port()) + ",2001,0,7766554433221100,2A,0F,1234,,\n");
}

// In this process, so that its descriptors and threads can be counted.
TEST(BqctlFleet, AThousandRowsAllCorrectWithNothingLeftBehind) {
    std::vector<std::unique_ptr<GatewaySimProcess>> sims;
    for (int i = 0; i < 4; ++i)
        sims.push_back(std::make_unique<GatewaySimProcess>());
    std::vector<TInventoryRow> rows;
    for (int i = 0; i < 1000; ++i) {
        TInventoryRow row;
        row.Line = i + 2;
        row.Host = "127.0.0.1";
        row.Port = sims[i % 4]->Port();
        row.Gateway = "2001";
        rows.push_back(row);
    }
    const int descriptors = CountOpenDescriptors();
    const int threads = CountThreads();
    TSessionSettings defaults;
    defaults.Timeout = Patience;
    TFleetOptions options;
    options.Jobs = 64;
    std::ostringstream out, err;
    EXPECT_EQ(RunFleet(rows, TCommand{}, defaults, options, out, err), 0) << err.str();
    const std::vector<nlohmann::json> lines = JsonLines(out.str());
    ASSERT_EQ(lines.size(), rows.size());
    size_t correct = 0;
    for (size_t i = 0; i < lines.size(); ++i)
        correct += lines[i]["line"] == rows[i].Line && lines[i]["status"] == 0 &&
                   lines[i]["result"]["mac"] == "7766554433221100" &&
                   lines[i]["result"]["channel"] == "0F";
    EXPECT_EQ(correct, rows.size());
    EXPECT_TRUE(WaitForThreadCount(threads, Patience)) << CountThreads() << " > " << threads;
    EXPECT_EQ(CountOpenDescriptors(), descriptors);
}

// On a terminal the progress line is erased before each result and before the
// summary, so that no result is printed behind it.
TEST(BqctlFleet, TheProgressLineIsErasedBeforeResultsAndSummary) {
    GatewaySimProcess sim;
    std::vector<TInventoryRow> rows(2);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].Line = static_cast<int>(i) + 2;
        rows[i].Host = "127.0.0.1";
        rows[i].Port = sim.Port();
        rows[i].Gateway = "2001";
    }
    TFleetOptions options;
    options.Jobs = 1;
    options.Progress = true;
    std::ostringstream out, err;
    EXPECT_EQ(RunFleet(rows, TCommand{}, TSessionSettings{}, options, out, err), 0) << err.str();
    const std::string erase = "\r\033[K";
    EXPECT_EQ(err.str().rfind(erase + erase + "1/2 done" + erase + erase + "2/2 done" + erase +
                                  "fleet: 2 rows, 2 done, 0 device errors",
                              0),
              0U)
        << err.str();
}

} // namespace
