// Repeated Telnet sessions against the gateway simulator leave no descriptor,
// no thread and no memory behind. Under AddressSanitizer, LeakSanitizer checks
// the heap at exit; BQ_LEAK_CYCLES shortens the run there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "net/telnet/IdTelnet.h"
#include "net/telnet/IdTelnetReadThread.h"
#include "protocol/CommandLines.h"
#include "protocol/MemoryFields.h"
#include "tests/support/GatewaySimProcess.h"
#include "tests/support/GuiThread.h"
#include "tests/support/ProcessProbe.h"
#include "tests/support/Watchdog.h"

using namespace std::chrono_literals;

namespace {

int LeakCycles() {
    const char* cycles = std::getenv("BQ_LEAK_CYCLES");
    return cycles ? std::atoi(cycles) : 1000;
}

// One session: connect, read the MAC once, disconnect, and wait for the reader.
bool Cycle(TIdTelnet& client, GuiThread& gui, std::string& received) {
    received.clear();
    client.Connect();
    const std::shared_ptr<TIdThread> reader = client.ReaderThread();
    if (!reader) return false;
    for (const char ch : ReadMemoryLine("2001", Descriptor(TMemoryField::Mac)))
        client.TransmitChar(ch);
    client.TransmitChar('\r');
    const bool answered = gui.ServeUntil([&] { return received.find('\n') != std::string::npos; });
    client.Disconnect();
    {
        // On the main thread the wait serves the reader's last calls.
        Watchdog watchdog("waiting for the reader's end");
        reader->WaitFor();
    }
    return answered && received.rfind("> 2001 MEM 01 00 08 00 ", 0) == 0;
}

} // namespace

TEST(SessionLeak, ConnectDisconnectCyclesLeaveNothingBehind) {
    GatewaySimProcess sim;
    ASSERT_NE(sim.Port(), 0);
    GuiThread gui;
    std::string received;
    TIdTelnet client;
    client.Host = "127.0.0.1";
    client.Port = sim.Port();
    client.SetOnDataAvailable([&](const std::string& text) {
        received += text;
        gui.Notify();
    });

    // Taken before any session: between sessions no thread of the client runs.
    const int baseThreads = CountThreads();
    const int warmUp = 20;
    for (int i = 0; i < warmUp; ++i)
        ASSERT_TRUE(Cycle(client, gui, received)) << "warm-up cycle " << i;
    const int descriptorsBefore = CountOpenDescriptors();
    const int64_t residentBefore = ResidentKb();

    const int cycles = LeakCycles();
    for (int i = 0; i < cycles; ++i)
        ASSERT_TRUE(Cycle(client, gui, received)) << "cycle " << i;

    EXPECT_TRUE(WaitForThreadCount(baseThreads, 10s))
        << CountThreads() << " threads, " << baseThreads << " before";
    EXPECT_EQ(CountOpenDescriptors(), descriptorsBefore);
    const int64_t residentAfter = ResidentKb();
    RecordProperty("Cycles", std::to_string(cycles));
    RecordProperty("ResidentBeforeKb", std::to_string(residentBefore));
    RecordProperty("ResidentAfterKb", std::to_string(residentAfter));
    RecordProperty("Descriptors", std::to_string(descriptorsBefore));
    RecordProperty("Threads", std::to_string(baseThreads));
    if (MemoryFiguresMeaningful()) {
        EXPECT_LT(residentAfter - residentBefore, 1024)
            << "resident grew from " << residentBefore << " kB to " << residentAfter << " kB";
    }
}
