// One "read" of the window against the gateway simulator on loopback: five
// read lines typed one character per write plus the line end, until all five
// answers are recognised. The real Telnet client beside a bare socket doing
// the same writes, each with Nagle's algorithm on (the window's setting) and off.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "net/telnet/IdTelnet.h"
#include "protocol/CommandLines.h"
#include "protocol/MemoryFields.h"
#include "tests/support/AnswerCollector.h"
#include "tests/support/GatewaySimProcess.h"
#include "tests/support/GuiThread.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string Gateway = "2001";
constexpr int Cycles = 200;
constexpr std::chrono::milliseconds AnswerPatience = 5s;

std::vector<std::string> ReadLines() {
    std::vector<std::string> lines;
    for (const TMemoryField field : AllMemoryFields)
        lines.push_back(ReadMemoryLine(Gateway, Descriptor(field)));
    return lines;
}

// Median, 95th percentile and worst of the cycle times, in milliseconds.
void ReportCycles(benchmark::State& state, std::vector<double> seconds) {
    if (seconds.empty()) return;
    std::sort(seconds.begin(), seconds.end());
    const auto at = [&seconds](double fraction) {
        return 1000.0 * seconds[std::min(seconds.size() - 1,
                                         static_cast<size_t>(fraction * seconds.size()))];
    };
    state.counters["median_ms"] = at(0.5);
    state.counters["p95_ms"] = at(0.95);
    state.counters["max_ms"] = 1000.0 * seconds.back();
}

// The simulator stopped as the run ends: true when it ended by itself with status 0.
bool StoppedCleanly(GatewaySimProcess& sim) {
    const int status = sim.Stop(SIGTERM);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The baseline: the same bytes through a bare socket, received with recv.
class TRawClient {
public:
    TRawClient(int32_t port, bool nagle) : Socket(loopback::ConnectTo(port)) {
        if (!nagle) loopback::SetNoDelay(Socket.Get());
    }

    bool Connected() const { return Socket.Valid(); }
    bool Send(const std::string& bytes) { return loopback::SendAll(Socket.Get(), bytes); }

    bool ReceiveUntil(TAnswerCollector& answers, const Deadline& deadline) {
        for (int round = 0; round < 100000 && !answers.Complete(); ++round) {
            std::string bytes;
            if (loopback::ReceiveInto(Socket.Get(), bytes, 4096, deadline) !=
                loopback::Received::Data)
                return false;
            answers.Add(bytes);
        }
        return answers.Complete();
    }

private:
    UniqueFd Socket;
};

void BM_RawSocketReadCycle(benchmark::State& state) {
    const bool nagle = state.range(0) != 0;
    GatewaySimProcess sim;
    TRawClient client(sim.Port(), nagle);
    if (sim.Port() == 0 || !client.Connected()) {
        state.SkipWithError("the gateway simulator did not start or accept");
        return;
    }
    const std::vector<std::string> lines = ReadLines();
    TAnswerCollector answers(Gateway);
    std::vector<double> cycles;
    for (auto _ : state) {
        answers.Reset();
        const auto start = Clock::now();
        bool sent = true;
        for (const std::string& line : lines) {
            for (const char ch : line)
                sent = sent && client.Send(std::string(1, ch));
            sent = sent && client.Send("\r\n"); // a plain-text peer gets CR LF in one write
        }
        if (!sent || !client.ReceiveUntil(answers, Deadline(AnswerPatience))) {
            state.SkipWithError("the five answers did not arrive");
            break;
        }
        cycles.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        state.SetIterationTime(cycles.back());
    }
    ReportCycles(state, cycles);
    if (!StoppedCleanly(sim)) state.SkipWithError("the gateway simulator did not stop cleanly");
}

void BM_TelnetReadCycle(benchmark::State& state) {
    GatewaySimProcess sim;
    if (sim.Port() == 0) {
        state.SkipWithError("the gateway simulator did not start");
        return;
    }
    GuiThread gui;
    const std::vector<std::string> lines = ReadLines();
    TAnswerCollector answers(Gateway);
    std::vector<double> cycles;
    {
        TIdTelnet telnet;
        telnet.Host = "127.0.0.1";
        telnet.Port = sim.Port();
        telnet.UseNagle = state.range(0) != 0;
        telnet.SetOnDataAvailable([&answers](const std::string& text) { answers.Add(text); });
        try {
            telnet.Connect();
        } catch (const EIdException& error) {
            state.SkipWithError(error.what());
            return;
        }
        for (auto _ : state) {
            answers.Reset();
            const auto start = Clock::now();
            try {
                for (const std::string& line : lines) {
                    for (const char ch : line)
                        telnet.TransmitChar(ch);
                    telnet.TransmitChar('\r');
                }
            } catch (const EIdException& error) {
                state.SkipWithError(error.what());
                break;
            }
            if (!gui.ServeUntil([&answers] { return answers.Complete(); }, AnswerPatience)) {
                state.SkipWithError("the five answers did not arrive");
                break;
            }
            cycles.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            state.SetIterationTime(cycles.back());
        }
        telnet.Disconnect();
    }
    ReportCycles(state, cycles);
    if (!StoppedCleanly(sim)) state.SkipWithError("the gateway simulator did not stop cleanly");
}

} // namespace

BENCHMARK(BM_RawSocketReadCycle)
    ->ArgName("nagle")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(Cycles)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TelnetReadCycle)
    ->ArgName("nagle")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(Cycles)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
