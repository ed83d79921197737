// Previews and comparisons before touching a radio: dry runs send no write
// (the simulator's log shows none), verify's status says whether the device
// matches a backup, and a restore writes only the fields that differ; all of
// them also over a fleet.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "BqctlRun.h"
#include "tests/support/GatewaySimProcess.h"
#include "tests/support/TempDir.h"

namespace {

// The write lines the simulator received, counted once it has ended (its log
// is complete then on every system).
size_t WritesInTheEnd(GatewaySimProcess& sim) {
    sim.Stop(SIGTERM);
    const std::vector<std::string> lines = sim.ReceivedLines();
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("SET_MEM") != std::string::npos;
    }));
}

TEST(BqctlPreview, DryRunsWriteNothingAndRestoreWritesOnlyWhatDiffers) {
    GatewaySimProcess sim;
    TempDir dir;
    const std::string backup = dir.Path("site.json");
    ASSERT_EQ(RunBqctl(At(sim.Port(), {"backup", backup})).Exit, 0);

    BqctlRun run = RunBqctl(At(sim.Port(), {"write", "--dry-run", "--channel", "1A"}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "dry run, nothing written; would change:\n"
                       "  channel 0F (channel 15) -> 1A (channel 26)\n"
                       "already right: address 2A, pan_id 1234\n");

    ASSERT_EQ(RunBqctl(At(sim.Port(), {"write", "--channel", "1A"})).Exit, 0);
    run = RunBqctl(At(sim.Port(), {"restore", "--dry-run", backup}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_NE(run.Out.find("  channel 1A (channel 26) -> 0F (channel 15)\n"), std::string::npos)
        << run.Out;

    run = RunBqctl(At(sim.Port(), {"restore", backup}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "written and verified: channel 0F (channel 15); already right: address "
                       "2A, pan_id 1234\n");
    run = RunBqctl(At(sim.Port(), {"restore", backup}));
    EXPECT_EQ(run.Out.rfind("nothing written, already right: address 2A", 0), 0U) << run.Out;
    // The write's three fields and the restore's one; none from the dry runs.
    EXPECT_EQ(WritesInTheEnd(sim), 4U);
}

TEST(BqctlPreview, VerifyExitsOneOnAnyDifferenceAndListsEach) {
    GatewaySimProcess sim;
    TempDir dir;
    const std::string backup = dir.Path("site.json");
    ASSERT_EQ(RunBqctl(At(sim.Port(), {"backup", backup})).Exit, 0);
    BqctlRun run = RunBqctl(At(sim.Port(), {"verify", backup}));
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "the device matches " + backup + "\n");

    ASSERT_EQ(RunBqctl(At(sim.Port(), {"write", "--channel", "1A", "--pan-id", "BEEF"})).Exit, 0);
    run = RunBqctl(At(sim.Port(), {"verify", backup}));
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Out, "the device differs from " + backup +
                           ":\n  channel: device 1A (channel 26), backup 0F (channel 15)\n"
                           "  pan_id: device BEEF, backup 1234\n");
    EXPECT_EQ(run.Err, "bqctl: the device differs from " + backup + " in 2 fields\n");
}

// A site audited before a change: a backup folder, a dry run and verify over the inventory.
TEST(BqctlPreview, FleetRowsVerifyAndDryRunToo) {
    GatewaySimProcess sim;
    TempDir dir;
    std::filesystem::create_directory(dir.Path("saved"));
    dir.Write("sites.csv",
              "host,port,gateway\n127.0.0.1," + std::to_string(sim.Port()) + ",2001\n");
    const std::string sites = dir.Path("sites.csv");
    ASSERT_EQ(RunBqctl({"fleet", sites, "backup", dir.Path("saved")}).Exit, 0);
    BqctlRun run = RunBqctl({"fleet", sites, "write", "--dry-run", "--channel-number", "26"});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    nlohmann::json row = nlohmann::json::parse(run.Out);
    EXPECT_EQ(row["result"]["changes"]["channel"]["to"], "1A") << row;
    ASSERT_EQ(RunBqctl(At(sim.Port(), {"write", "--address", "33"})).Exit, 0);
    run = RunBqctl({"fleet", sites, "verify", dir.Path("saved")});
    EXPECT_EQ(run.Exit, 1) << run.Err;
    row = nlohmann::json::parse(run.Out);
    EXPECT_EQ(row["result"]["differences"]["address"]["device"], "33") << row;
    EXPECT_NE(
        run.Err.find("fleet: 1 row, 0 done, 1 device error, 0 input errors, 0 network errors"),
        std::string::npos)
        << run.Err;
    EXPECT_EQ(WritesInTheEnd(sim), 3U); // the direct write's; none from the fleet's dry run
}

} // namespace
