// Received lines (100,000 for the figure) through the window's hand-over into its log, headless,
// beside a bare QPlainTextEdit given the same lines with appendPlainText.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/LogView.h"
#include "tests/support/ProcessProbe.h"
#include "tests/support/window/FakeTelnetClient.h"
#include "tests/support/window/RecordingMessages.h"

namespace {

using Clock = std::chrono::steady_clock;

// The event loop (painting included) gets a turn once per frame of a 60 Hz
// display, as a compositor would throttle a window's updates; the offscreen
// platform would otherwise paint after every line.
constexpr std::chrono::milliseconds Frame{16};

// What the gateway sends: the five answers of a read and a line of other text.
std::vector<std::string> ReceivedLines() {
    return {
        "> 2001 MEM 01 00 08 00 12 34 56 78 9A BC DE F0\r\n",
        "> 2001 MEM 01 04 01 00 05\r\n",
        "> 2001 MEM 84 00 04 00 00 08 00 00\r\n",
        "> 2001 MEM 83 00 02 00 34 12\r\n",
        "> 2001 MEM 87 00 01 00 02\r\n",
        "bq gateway 2001 ready\r\n",
    };
}

// This thread's CPU time: a hand-over that took long on the wall clock but not
// here was waiting for a CPU that other processes held.
double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Feeds every line through `handOver`, timing each call; the event loop runs
// between calls as it would between two synchronised calls.
// The same lines as the window shows them in its log: without their line end.
// appendPlainText makes a block of each text and another at each line end, so
// lines that kept their CR LF would double the baseline's blocks and memory.
std::vector<std::string> ShownLines() {
    std::vector<std::string> lines = ReceivedLines();
    for (std::string& line : lines)
        line.erase(line.find_last_not_of("\r\n") + 1);
    return lines;
}

template <class HandOver>
void FeedLines(benchmark::State& state, const std::vector<std::string>& lines, HandOver handOver) {
    const int Lines = static_cast<int>(state.range(0));
    double longest = 0;
    double longestCpu = 0;
    int over50ms = 0;
    double first1k = 0;
    double last1k = 0;
    const auto start = Clock::now();
    auto lastTurn = start;
    for (int i = 0; i < Lines; ++i) {
        const double cpuBefore = ThreadCpuSeconds();
        const auto before = Clock::now();
        handOver(lines[static_cast<size_t>(i) % lines.size()]);
        const double took = std::chrono::duration<double>(Clock::now() - before).count();
        longestCpu = std::max(longestCpu, ThreadCpuSeconds() - cpuBefore);
        longest = std::max(longest, took);
        if (took > 0.050) ++over50ms;
        if (i < 1000) first1k += took;
        if (i >= Lines - 1000) last1k += took;
        if (Clock::now() - lastTurn >= Frame) {
            QCoreApplication::processEvents();
            lastTurn = Clock::now();
        }
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    state.counters["longest_handover_ms"] = 1000.0 * longest;
    state.counters["longest_handover_cpu_ms"] = 1000.0 * longestCpu;
    state.counters["handovers_over_50ms"] = over50ms;
    state.counters["first_1k_lines_ms"] = 1000.0 * first1k;
    state.counters["last_1k_lines_ms"] = 1000.0 * last1k;
}

void ReportMemory(benchmark::State& state, int64_t startKiB) {
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakResidentKb()) / 1024.0;
    state.counters["rss_growth_MiB"] = static_cast<double>(PeakResidentKb() - startKiB) / 1024.0;
}

void BM_PlainTextEditAppend(benchmark::State& state) {
    ResetPeakResident();
    const int64_t startKiB = ResidentKb();
    for (auto _ : state) {
        QPlainTextEdit log;
        log.show();
        FeedLines(state, ShownLines(), [&log](const std::string& line) {
            log.appendPlainText(
                QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
        });
        state.counters["blocks"] = log.blockCount();
        if (log.blockCount() != state.range(0)) state.SkipWithError("not one block per line");
    }
    ReportMemory(state, startKiB);
}

void BM_WindowLog(benchmark::State& state) {
    ResetPeakResident();
    const int64_t startKiB = ResidentKb();
    TRecordingMessages messages;
    for (auto _ : state) {
        TFakeClientRecord record;
        auto client = std::make_unique<TFakeTelnetClient>(record);
        TFakeTelnetClient* handOver = client.get();
        TForm1 form(std::move(client), messages);
        form.show();
        FeedLines(state, ReceivedLines(),
                  [handOver](const std::string& line) { handOver->Deliver(line); });
        state.counters["blocks"] = form.Ui.Memo1()->blockCount();
        if (form.Ui.Edit(TControl::Edit3)->text().isEmpty() ||
            form.Ui.Memo1()->blockCount() < state.range(0))
            state.SkipWithError("the window did not take the lines in");
        if (!messages.Shown.empty()) state.SkipWithError("the window showed a box");
    }
    ReportMemory(state, startKiB);
}

} // namespace

// 10,000 and 20,000 lines show how the cost grows; 100,000 is the measurement.
BENCHMARK(BM_PlainTextEditAppend)
    ->ArgName("lines")
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(100000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowLog)
    ->ArgName("lines")
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(100000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
