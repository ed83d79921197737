// The receive path of a Telnet session - the reader thread takes what arrived,
// parses it and hands it to the GUI thread through the synchronised call -
// beside a plain recv loop on the same loopback stream.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "bench/support/LoopbackStream.h"
#include "bench/support/MainThreadPump.h"
#include "bench/support/PeakMemory.h"
#include "bench/support/TelnetInputs.h"
#include "net/telnet/IdTelnet.h"

namespace {

constexpr uint64_t MiB = 1024 * 1024;
// The same size as the connection's receive scratch buffer.
constexpr size_t PlainBufferSize = 32768;
constexpr std::chrono::seconds StreamPatience{120};

const std::string& Pattern() {
    static const std::string pattern = PlainTelnetText(MiB).Bytes;
    return pattern;
}

void ReportMemory(benchmark::State& state, int64_t startKiB) {
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakMemoryKiB()) / 1024.0;
    state.counters["rss_growth_MiB"] = static_cast<double>(PeakMemoryKiB() - startKiB) / 1024.0;
}

void BM_PlainRecvLoop(benchmark::State& state) {
    const uint64_t total = static_cast<uint64_t>(state.range(0)) * MiB;
    ResetPeakMemory();
    const int64_t startKiB = CurrentMemoryKiB();
    for (auto _ : state) {
        TLoopbackStream stream(Pattern(), total);
        const uint64_t received = PlainReceiveAll(stream.Port(), PlainBufferSize);
        if (stream.Join() != total || received != total) {
            state.SkipWithError("the plain loop did not receive the whole stream");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(total));
    ReportMemory(state, startKiB);
}

// One session: connect, receive until the sender's close has been seen, and
// destroy the client, which waits for its reader's end.
struct TSessionResult {
    uint64_t Received = 0;
    uint64_t Handovers = 0;
    bool Connected = false;
    bool Closed = false;
};

TSessionResult ReceiveThroughTelnet(TMainThreadPump& pump, int32_t port) {
    TSessionResult result;
    std::atomic<bool> closed{false};
    {
        TIdTelnet telnet;
        telnet.Host = "127.0.0.1";
        telnet.Port = port;
        telnet.SetOnDataAvailable([&result](const std::string& text) {
            result.Received += text.size();
            ++result.Handovers;
        });
        telnet.SetOnStatus([&closed, &pump](TObject*, TIdStatus status, const std::string&) {
            if (status != stDisconnected) return;
            closed = true;
            pump.Wake();
        });
        try {
            telnet.Connect();
            result.Connected = true;
        } catch (const EIdException&) {
            return result;
        }
        // The reader hands over every chunk before it sees the close, so the
        // close marks the end of the data.
        result.Closed = pump.ServeUntil([&closed] { return closed.load(); }, StreamPatience);
        telnet.Disconnect(); // releases a reader that is still waiting
    }
    return result;
}

void BM_TelnetReceivePath(benchmark::State& state) {
    const uint64_t total = static_cast<uint64_t>(state.range(0)) * MiB;
    ResetPeakMemory();
    const int64_t startKiB = CurrentMemoryKiB();
    uint64_t handovers = 0;
    TMainThreadPump pump;
    for (auto _ : state) {
        TLoopbackStream stream(Pattern(), total);
        const TSessionResult session = ReceiveThroughTelnet(pump, stream.Port());
        if (stream.Join() != total || !session.Closed || session.Received != total) {
            state.SkipWithError(session.Connected ? "the session did not deliver the whole stream"
                                                  : "the session could not connect");
            break;
        }
        handovers += session.Handovers;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(total));
    state.counters["bytes_per_OnDataAvailable"] =
        handovers ? static_cast<double>(state.iterations() * total) / static_cast<double>(handovers)
                  : 0.0;
    ReportMemory(state, startKiB);
}

} // namespace

// Wall-clock time: the work is spread over the sender, the reader and this thread.
BENCHMARK(BM_PlainRecvLoop)
    ->ArgName("MiB")
    ->Arg(64)
    ->Arg(256)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TelnetReceivePath)
    ->ArgName("MiB")
    ->Arg(64)
    ->Arg(256)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
