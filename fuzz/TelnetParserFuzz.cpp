// Fuzz target: received bytes, cut into chunks, through the Telnet parser.
// Input: byte 0 = chunk count - 1 (mod 8), byte 1 = terminal name length
// (mod 8), the name, one cut byte per extra chunk, then the received stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/TelnetReference.h"
#include "net/telnet/IdTelnetParser.h"

namespace {

struct TParserRun {
    std::string Data;
    std::vector<TTelnetEvent> Events;
    bool TelnetPeer = false;
    std::string TerminalAfter;
};

// Runs the chunks as the client does: an empty terminal name is sent as
// "dumb" and reads "dumb" from then on.
TParserRun RunParser(const std::vector<std::string>& chunks, const std::string& terminal) {
    TParserRun run;
    run.TerminalAfter = terminal;
    TIdTelnetState state = tsData;
    for (const std::string& chunk : chunks) {
        TTelnetParsed parsed =
            ParseTelnet(state, chunk, run.TerminalAfter.empty() ? "dumb" : run.TerminalAfter);
        for (const TTelnetAnswer& answer : parsed.Answers) {
            if (answer.Notice) run.Events.push_back({*answer.Notice, {}});
            run.Events.push_back({-1, answer.Bytes});
        }
        if (parsed.TerminalSent && run.TerminalAfter.empty()) run.TerminalAfter = "dumb";
        run.TelnetPeer = run.TelnetPeer || parsed.CommandSeen;
        run.Data += parsed.Data;
    }
    return run;
}

std::vector<std::string> CutIntoChunks(const std::string& stream,
                                       const std::vector<uint8_t>& cuts) {
    std::vector<size_t> at{0};
    for (const uint8_t cut : cuts)
        at.push_back(stream.size() * cut / 255);
    std::sort(at.begin(), at.end());
    at.push_back(stream.size());
    std::vector<std::string> chunks;
    for (size_t i = 0; i + 1 < at.size(); ++i)
        chunks.push_back(stream.substr(at[i], at[i + 1] - at[i]));
    return chunks;
}

bool IsTerminalReply(const std::string& reply, const std::string& terminal) {
    return reply == std::string("\xFF\xFA\x18\x00", 4) + terminal + "\xFF\xF0";
}

bool IsNegotiationReply(const std::string& reply) {
    if (reply.size() != 3 || static_cast<uint8_t>(reply[0]) != 0xFF) return false;
    const auto verb = static_cast<uint8_t>(reply[1]);
    return verb >= 0xFB && verb <= 0xFE;
}

std::vector<TTelnetEvent> WithoutTerminalReplies(const std::vector<TTelnetEvent>& events,
                                                 const std::string& terminal) {
    std::vector<TTelnetEvent> kept;
    for (const TTelnetEvent& event : events)
        if (!IsTerminalReply(event.Bytes, terminal)) kept.push_back(event);
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const size_t chunkCount = 1 + input.TakeByte() % 8;
    const std::string terminal = input.TakeBytes(input.TakeByte() % 8);
    std::vector<uint8_t> cuts;
    for (size_t i = 1; i < chunkCount; ++i)
        cuts.push_back(input.TakeByte());
    const std::string stream = input.TakeRest();
    const std::vector<std::string> chunks = CutIntoChunks(stream, cuts);
    const std::string sentTerminal = terminal.empty() ? "dumb" : terminal;

    const TParserRun run = RunParser(chunks, terminal);

    FUZZ_REQUIRE(run.Data.size() <= stream.size(), "no more data out than bytes in");
    FUZZ_REQUIRE(run.TelnetPeer == (stream.find('\xFF') != std::string::npos),
                 "IsTelnetPeer is true exactly when a 255 arrived");
    bool terminalSent = false;
    for (const TTelnetEvent& event : run.Events) {
        if (event.Notice >= 0) continue;
        const bool terminalReply = IsTerminalReply(event.Bytes, sentTerminal);
        terminalSent = terminalSent || terminalReply;
        FUZZ_REQUIRE(terminalReply || IsNegotiationReply(event.Bytes),
                     "malformed reply " + FuzzHex(event.Bytes));
    }
    FUZZ_REQUIRE(run.TerminalAfter == (terminalSent ? sentTerminal : terminal),
                 "an empty terminal name becomes \"dumb\" only when it is sent");

    TTelnetReference reference(terminal);
    std::string referenceData;
    for (const std::string& chunk : chunks)
        referenceData += reference.Feed(chunk);
    FUZZ_REQUIRE(run.Data == referenceData,
                 "data text " + FuzzHex(run.Data) + ", expected " + FuzzHex(referenceData));
    FUZZ_REQUIRE(run.Events == reference.Events,
                 "replies and notices differ from the answer table");

    // One byte per chunk: commands split anywhere still give the same data and
    // the same negotiation, but a subnegotiation's data never survives its chunk.
    std::vector<std::string> bytes;
    for (const char c : stream)
        bytes.emplace_back(1, c);
    const TParserRun byteRun = RunParser(bytes, terminal);
    FUZZ_REQUIRE(byteRun.Data == run.Data, "byte-at-a-time data text differs");
    const std::vector<TTelnetEvent> negotiation = WithoutTerminalReplies(run.Events, sentTerminal);
    FUZZ_REQUIRE(byteRun.Events == negotiation, "byte-at-a-time negotiation differs");
    return 0;
}
