// Inventories as spreadsheets and bqctl itself write them, the ones refused
// with the line at fault, and an inventory too large or endless on a pipe.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "BqctlRun.h"
#include "bqctl/Inventory.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GatewaySimProcess.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/TempDir.h"

namespace {

struct Accepted {
    std::string Text;
    std::string Rows; // "line host port gateway" per row, ';' between rows
};

class InventoryAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(InventoryAccepts, TheRowsAsWritten) {
    std::vector<TInventoryRow> rows;
    std::string error;
    ASSERT_TRUE(ParseInventory(GetParam().Text, "inv.csv", rows, error)) << error;
    std::string seen;
    for (const TInventoryRow& row : rows)
        seen += std::to_string(row.Line) + " " + row.Host + " " + std::to_string(row.Port) + " " +
                row.Gateway + ";";
    EXPECT_EQ(seen, GetParam().Rows);
}

INSTANTIATE_TEST_SUITE_P(
    Spreadsheets, InventoryAccepts,
    testing::Values(
        Accepted{"\xEF\xBB\xBFHost;PORT;Gateway\r\n10.0.0.1;23;2001\r\n\"10.0.0.2\";24;ab01\r\n",
                 "2 10.0.0.1 23 2001;3 10.0.0.2 24 AB01;"},
        Accepted{"host,notes,port,gateway\n10.0.0.1,\"roof, \"\"north\"\"\",23,2001\n",
                 "2 10.0.0.1 23 2001;"},
        Accepted{"host,port,gateway,notes\n10.0.0.1,23,2001,\"two\r\nlines\"\n10.0.0.2,23,2002,\n",
                 "2 10.0.0.1 23 2001;4 10.0.0.2 23 2002;"},
        Accepted{"# north site\nhost,port,gateway\n\n  # roof\n,,\n 10.0.0.3 ,\t23 , 2001 \n",
                 "6 10.0.0.3 23 2001;"},
        // bqctl fleet --csv, filtered to its failed rows.
        Accepted{"line,host,port,gateway,status,mac,address,channel,pan_id,type,error\n"
                 "7,10.0.0.4,23,2001,3,,,,,,\"10.0.0.4:23: refused, twice\"\n",
                 "2 10.0.0.4 23 2001;"}));

struct Refused {
    std::string Text;
    std::string Message;
};

class InventoryRefuses : public testing::TestWithParam<Refused> {};

TEST_P(InventoryRefuses, NamingTheLine) {
    std::vector<TInventoryRow> rows;
    std::string error;
    EXPECT_FALSE(ParseInventory(GetParam().Text, "inv.csv", rows, error));
    EXPECT_EQ(error, GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, InventoryRefuses,
    testing::Values(
        Refused{std::string("host,port,gateway\n10.0.0.1\0/x,23,2001\n", 37),
                "inv.csv line 2: control character 0x00 in the host field"},
        Refused{"host,port,gateway\n10.0.0.1,23,\"20\n01\"\n",
                "inv.csv line 2: control character 0x0A in the gateway field"},
        Refused{"host,port,gateway\n10.0.0.1,23,2001\n\"10.0.0.2,23,2001\n",
                "inv.csv line 3: a quoted field is not closed"},
        Refused{"host,port,gateway\n\"10.0.0.1\"x,23,2001\n",
                "inv.csv line 2: text after the closing quote of a field"},
        Refused{"host;port\n", "inv.csv line 1: the header must name host, port and gateway"},
        Refused{"host,port,gateway,HOST\n", "inv.csv line 1: the header names 'host' twice"},
        Refused{"host,port,gateway\n10.0.0.1,23\n", "inv.csv line 2: 2 fields, the header names 3"},
        Refused{"\xEF\xBB\xBF# nothing\n\n",
                "inv.csv: empty, a header line host,port,gateway[,proxy] expected"}));

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Nothing past the limit is read, however long the pipe goes on; a folder
// is no inventory either.
TEST(BqctlInventory, AnEndlessPipeOrAFolderIsRefusedWithStatus2) {
    TempDir dir;
    const std::string endless = "{ echo host,port,gateway; yes 10.0.0.1,23,2001; } | \"$0\" "
                                "fleet - info 2>" +
                                dir.Path("err");
    ChildProcess shell({"/bin/sh", "-c", endless, BQCTL});
    ASSERT_TRUE(shell.WaitForExit());
    const int status = shell.Stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    EXPECT_EQ(ReadFile(dir.Path("err")), "bqctl: standard input: larger than 4194304 bytes\n");
    const BqctlRun folder = RunBqctl({"fleet", dir.Path(""), "info"});
    EXPECT_EQ(folder.Exit, 2);
    EXPECT_EQ(folder.Err, "bqctl: " + dir.Path("") + ": is a folder\n");
}

// The rows that failed in one run, as its --csv output gives them, are the
// inventory of the next.
TEST(BqctlInventory, TheFailedRowsOfAFleetRunAreAnInventory) {
    GatewaySimProcess sim;
    loopback::ClosedPort closed;
    TempDir dir;
    dir.Write("all.csv", "host,port,gateway\n127.0.0.1," + std::to_string(sim.Port()) +
                             ",2001\n127.0.0.1," + std::to_string(closed.Port()) + ",2001\n");
    const BqctlRun first = RunBqctl({"fleet", dir.Path("all.csv"), "--csv", "info"});
    EXPECT_EQ(first.Exit, 3) << first.Err;
    std::istringstream lines(first.Out);
    std::string line, failed;
    // The status is the fifth column.
    for (int number = 0; std::getline(lines, line) && number < 10; ++number) {
        size_t status = 0;
        for (int comma = 0; comma < 4 && status != std::string::npos; ++comma)
            status = line.find(',', status + 1);
        if (number == 0 || line.compare(status + 1, 2, "0,") != 0) failed += line + "\n";
    }
    dir.Write("failed.csv", failed);
    const BqctlRun again = RunBqctl({"fleet", dir.Path("failed.csv"), "info"});
    EXPECT_EQ(again.Exit, 3) << again.Err;
    EXPECT_NE(again.Err.find("fleet: 1 row"), std::string::npos) << again.Err;
    EXPECT_NE(again.Out.find("\"port\":" + std::to_string(closed.Port())), std::string::npos)
        << again.Out;
}

} // namespace
