// Throughput of the Telnet parser (ParseTelnet) on plain text, on text with
// commands and on negotiation, beside memcpy of the same buffer.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "net/telnet/IdTelnetParser.h"
#include "tests/support/TelnetInputs.h"

namespace {

enum TInputKind : int64_t { ikPlain, ikCommands, ikNegotiation };

// Built once per kind and size: generating 16 MiB costs more than parsing it.
const TTelnetInput& Input(int64_t kind, size_t size) {
    static std::map<std::pair<int64_t, size_t>, TTelnetInput> inputs;
    auto [at, added] = inputs.try_emplace({kind, size});
    if (added) {
        switch (kind) {
        case ikPlain:
            at->second = PlainTelnetText(size);
            break;
        case ikCommands:
            at->second = TelnetTextWithCommands(size, 1.0);
            break;
        default:
            at->second = NegotiationHeavyTelnet(size);
            break;
        }
    }
    return at->second;
}

void BM_Memcpy(benchmark::State& state) {
    const TTelnetInput& input = Input(ikPlain, static_cast<size_t>(state.range(0)));
    std::string copy(input.Bytes.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), input.Bytes.data(), input.Bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.Bytes.size()));
}

void BM_ProcessInput(benchmark::State& state) {
    const TTelnetInput& input = Input(state.range(1), static_cast<size_t>(state.range(0)));
    TIdTelnetState parserState = tsData;
    size_t replies = 0;
    size_t dataBytes = 0;
    for (auto _ : state) {
        TTelnetParsed parsed = ParseTelnet(parserState, input.Bytes, "dumb");
        replies = parsed.Answers.size();
        dataBytes = parsed.Data.size();
        benchmark::DoNotOptimize(parsed.Data.data());
    }
    // The timed work must have been the real one.
    if (dataBytes != input.DataBytes || replies != input.Replies || parserState != tsData)
        state.SkipWithError("the parser's output differs from what the input holds");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.Bytes.size()));
    state.counters["replies"] = static_cast<double>(input.Replies);
}

constexpr int64_t KiB = 1024;
constexpr int64_t MiB = 1024 * KiB;

} // namespace

BENCHMARK(BM_Memcpy)->ArgName("bytes")->Arg(64 * KiB)->Arg(MiB)->Arg(16 * MiB);
BENCHMARK(BM_ProcessInput)
    ->ArgNames({"bytes", "kind"})
    ->Args({64 * KiB, ikPlain})
    ->Args({MiB, ikPlain})
    ->Args({16 * MiB, ikPlain})
    ->Args({32 * KiB, ikCommands})
    ->Args({MiB, ikCommands})
    ->Args({32 * KiB, ikNegotiation})
    ->Args({MiB, ikNegotiation});

BENCHMARK_MAIN();
