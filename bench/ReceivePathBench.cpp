// The receive path of a Telnet session - the reader thread takes what arrived,
// parses it and hands it to the GUI thread through the synchronised call -
// beside a plain recv loop on the same loopback stream.
#include <benchmark/benchmark.h>

#include <sys/socket.h>
#include <sys/time.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "net/telnet/IdTelnet.h"
#include "tests/support/GuiThread.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"
#include "tests/support/PeerThread.h"
#include "tests/support/ProcessProbe.h"
#include "tests/support/TelnetInputs.h"

namespace {

constexpr uint64_t MiB = 1024 * 1024;
// The same size as the connection's receive scratch buffer.
constexpr size_t PlainBufferSize = 32768;
constexpr std::chrono::seconds StreamPatience{120};
constexpr timeval ReceivePatience{10, 0};

const std::string& Pattern() {
    static const std::string pattern = PlainTelnetText(MiB).Bytes;
    return pattern;
}

void ReportMemory(benchmark::State& state, int64_t startKiB) {
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakResidentKb()) / 1024.0;
    state.counters["rss_growth_MiB"] = static_cast<double>(PeakResidentKb() - startKiB) / 1024.0;
}

// The sending end: a loopback peer that streams `total` bytes of `pattern`
// (which outlives it) to the first client and closes.
class TStream {
public:
    TStream(const std::string& pattern, uint64_t total)
        : Sender([this, &pattern, total](int fd) {
              SentBytes = loopback::SendRepeated(fd, pattern, total);
          }) {}
    int32_t Port() const { return Sender.Port(); }
    // Waits for the sender; the bytes it handed to the socket.
    uint64_t Join() {
        Sender.Join();
        return SentBytes;
    }

private:
    uint64_t SentBytes = 0;
    PeerThread Sender; // last: its thread writes SentBytes
};

// The baseline receiver: recv with a buffer of `bufferSize` bytes until the
// peer closes; the byte count.
uint64_t PlainReceiveAll(int32_t port, size_t bufferSize) {
    const UniqueFd fd = loopback::ConnectTo(port);
    if (!fd.Valid()) return 0;
    // A sender that stalls ends the loop instead of hanging the run.
    setsockopt(fd.Get(), SOL_SOCKET, SO_RCVTIMEO, &ReceivePatience, sizeof ReceivePatience);
    std::vector<char> buffer(bufferSize);
    uint64_t received = 0;
    for (;;) {
        const ssize_t count = recv(fd.Get(), buffer.data(), buffer.size(), 0);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        received += static_cast<uint64_t>(count);
    }
    return received;
}

void BM_PlainRecvLoop(benchmark::State& state) {
    const uint64_t total = static_cast<uint64_t>(state.range(0)) * MiB;
    ResetPeakResident();
    const int64_t startKiB = ResidentKb();
    for (auto _ : state) {
        TStream stream(Pattern(), total);
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

TSessionResult ReceiveThroughTelnet(GuiThread& gui, int32_t port) {
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
        telnet.SetOnStatus([&closed, &gui](TObject*, TIdStatus status, const std::string&) {
            if (status != stDisconnected) return;
            closed = true;
            gui.Notify();
        });
        try {
            telnet.Connect();
            result.Connected = true;
        } catch (const EIdException&) {
            return result;
        }
        // The reader hands over every chunk before it sees the close, so the
        // close marks the end of the data.
        result.Closed = gui.ServeUntil([&closed] { return closed.load(); }, StreamPatience);
        telnet.Disconnect(); // releases a reader that is still waiting
    }
    return result;
}

void BM_TelnetReceivePath(benchmark::State& state) {
    const uint64_t total = static_cast<uint64_t>(state.range(0)) * MiB;
    ResetPeakResident();
    const int64_t startKiB = ResidentKb();
    uint64_t handovers = 0;
    GuiThread gui;
    for (auto _ : state) {
        TStream stream(Pattern(), total);
        const TSessionResult session = ReceiveThroughTelnet(gui, stream.Port());
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
