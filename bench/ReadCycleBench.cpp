// One "read" of the window against the gateway simulator on loopback: five
// read lines typed one character per write plus the line end, until all five
// answers are recognised. The real Telnet client beside a bare socket doing
// the same writes, each with Nagle's algorithm on (the window's setting) and off.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench/support/AnswerCollector.h"
#include "bench/support/GatewaySimProcess.h"
#include "bench/support/MainThreadPump.h"
#include "net/telnet/IdTelnet.h"
#include "protocol/CommandLines.h"
#include "protocol/FieldDescriptors.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string Gateway = "2001";
constexpr int Cycles = 200;
constexpr auto AnswerPatience = 5s;

std::vector<std::string> ReadLines() {
    const TFieldDescriptors descriptors = DefaultFieldDescriptors();
    std::vector<std::string> lines;
    for (const std::string* descriptor :
         {&descriptors.Mac, &descriptors.Address, &descriptors.Channel, &descriptors.PanId,
          &descriptors.Type})
        lines.push_back(ReadMemoryLine(Gateway, *descriptor));
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

// The baseline: the same bytes through a bare socket, received with recv.
class TRawClient {
public:
    TRawClient(uint16_t port, bool nagle) {
        Fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        const int on = 1;
        if (!nagle) setsockopt(Fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Connected = connect(Fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~TRawClient() { close(Fd); }
    TRawClient(const TRawClient&) = delete;
    TRawClient& operator=(const TRawClient&) = delete;

    bool Connected = false;

    bool Send(const std::string& bytes) {
        return send(Fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }

    bool ReceiveUntil(TAnswerCollector& answers, Clock::time_point deadline) {
        char buffer[4096];
        while (!answers.Complete()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd waiting{Fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&waiting, 1, static_cast<int>(left.count())) != 1)
                return false;
            const ssize_t count = recv(Fd, buffer, sizeof buffer, 0);
            if (count <= 0) return false;
            answers.Add(std::string(buffer, static_cast<size_t>(count)));
        }
        return true;
    }

private:
    int Fd = -1;
};

void BM_RawSocketReadCycle(benchmark::State& state) {
    const bool nagle = state.range(0) != 0;
    TGatewaySimProcess sim(BQ_GATEWAY_SIM_PATH, {});
    TRawClient client(sim.Port(), nagle);
    if (sim.Port() == 0 || !client.Connected) {
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
        if (!sent || !client.ReceiveUntil(answers, start + AnswerPatience)) {
            state.SkipWithError("the five answers did not arrive");
            break;
        }
        cycles.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        state.SetIterationTime(cycles.back());
    }
    ReportCycles(state, cycles);
    if (!sim.Stop()) state.SkipWithError("the gateway simulator did not stop cleanly");
}

void BM_TelnetReadCycle(benchmark::State& state) {
    TGatewaySimProcess sim(BQ_GATEWAY_SIM_PATH, {});
    if (sim.Port() == 0) {
        state.SkipWithError("the gateway simulator did not start");
        return;
    }
    TMainThreadPump pump;
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
            if (!pump.ServeUntil([&answers] { return answers.Complete(); }, AnswerPatience)) {
                state.SkipWithError("the five answers did not arrive");
                break;
            }
            cycles.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            state.SetIterationTime(cycles.back());
        }
        telnet.Disconnect();
    }
    ReportCycles(state, cycles);
    if (!sim.Stop()) state.SkipWithError("the gateway simulator did not stop cleanly");
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
