// The Telnet command parser, table-driven: chunks in, and the trace of what
// it did - notices, replies written, each chunk's data text - out; rows whose
// outcome must not depend on chunking are replayed split every way.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "net/telnet/IdTelnetParser.h"
#include "tests/support/ByteText.h"

namespace {

std::string Notice(TTelnetCommand status) {
    static const char* const names[] = {"ceServerEchoes", "ceClientEchoes", "ceNoEcho"};
    return std::string("notice ") + names[status];
}
std::string Reply(const std::string& hex) {
    return "reply " + Hex(Bytes(hex));
}
std::string Data(const std::string& hex) {
    return "data " + Hex(Bytes(hex));
}

// An empty name is sent as "dumb", as the client does.
struct TTracingParser {
    explicit TTracingParser(const std::string& terminal = "dumb")
        : Terminal(terminal.empty() ? "dumb" : terminal) {}
    void Feed(const std::string& chunk) {
        const TTelnetParsed parsed = ParseTelnet(State, chunk, Terminal);
        bool terminalReply = false; // negotiation replies are 3 bytes, the terminal's longer
        for (const TTelnetAnswer& answer : parsed.Answers) {
            if (answer.Notice) Trace.push_back(Notice(*answer.Notice));
            Trace.push_back("reply " + Hex(answer.Bytes));
            terminalReply = terminalReply || answer.Bytes.size() > 3;
        }
        EXPECT_EQ(parsed.TerminalSent, terminalReply);
        Trace.push_back("data " + Hex(parsed.Data));
        Peer = Peer || parsed.CommandSeen;
    }

    std::string Terminal;
    TIdTelnetState State = tsData;
    std::vector<std::string> Trace;
    bool Peer = false;
};

struct TParserCase {
    const char* Name;
    std::vector<std::string> Chunks; // hex
    std::vector<std::string> Trace;
    bool Peer;      // IsTelnetPeer afterwards
    bool SplitFree; // the outcome does not depend on where chunks are cut
    std::string Terminal = "dumb";
};

void PrintTo(const TParserCase& row, std::ostream* os) {
    *os << row.Name;
}

const std::string DumbReply = "FF FA 18 00 64 75 6D 62 FF F0";

const std::vector<TParserCase> ParserCases = {
    {"PlainTextPassesUnchanged", {"00 41 0D 0A 42 FE"}, {Data("00 41 0D 0A 42 FE")}, false, true},
    {"DoubledIacInTextIsOneByte", {"41 FF FF 42"}, {Data("41 FF 42")}, true, true},
    {"DoubledIacStartsTheText", {"FF FF 41"}, {Data("FF 41")}, true, true},
    {"CommandsOnlyGiveEmptyText", {"FF FD 18"}, {Reply("FF FB 18"), Data("")}, true, true},
    {"WillEchoNotifiesThenAnswersDo",
     {"FF FB 01"},
     {Notice(ceServerEchoes), Reply("FF FD 01"), Data("")},
     true,
     true},
    {"WillEndOfRecordAnswersDo", {"FF FB 19"}, {Reply("FF FD 19"), Data("")}, true, true},
    {"WillOtherAnswersDont", {"FF FB 03"}, {Reply("FF FE 03"), Data("")}, true, true},
    {"DoEchoNotifiesThenAnswersWill",
     {"FF FD 01"},
     {Notice(ceClientEchoes), Reply("FF FB 01"), Data("")},
     true,
     true},
    {"DoTerminalTypeAnswersWill",
     {"41 FF FD 18 42"},
     {Reply("FF FB 18"), Data("41 42")},
     true,
     true},
    {"DoWindowSizeAnswersWont", {"FF FD 1F"}, {Reply("FF FC 1F"), Data("")}, true, true},
    {"DoAuthenticationAnswersWont", {"FF FD 25"}, {Reply("FF FC 25"), Data("")}, true, true},
    {"WontEchoNotifiesThenAnswersDont",
     {"FF FC 01"},
     {Notice(ceClientEchoes), Reply("FF FE 01"), Data("")},
     true,
     true},
    {"WontTerminalTypeAnswersDont", {"FF FC 18"}, {Reply("FF FE 18"), Data("")}, true, true},
    {"DontEchoNotifiesThenAnswersWont",
     {"FF FE 01"},
     {Notice(ceNoEcho), Reply("FF FC 01"), Data("")},
     true,
     true},
    {"DontWindowSizeAnswersWont", {"FF FE 1F"}, {Reply("FF FC 1F"), Data("")}, true, true},
    {"DontAuthenticationAnswersWont", {"FF FE 25"}, {Reply("FF FC 25"), Data("")}, true, true},
    {"TheSameRequestIsAnsweredEachTime",
     {"FF FD 18 FF FD 18"},
     {Reply("FF FB 18"), Reply("FF FB 18"), Data("")},
     true,
     true},
    {"OptionByte255IsAnOption", {"FF FB FF 41"}, {Reply("FF FE FF"), Data("41")}, true, true},
    {"NopAytEorAndOtherCommandsAreDropped",
     {"41 FF F1 42 FF F6 43 FF EF 44 FF F9 45 FF F0 46 FF 00 47 FF EE 48"},
     {Data("41 42 43 44 45 46 47 48")},
     true,
     true},
    {"CommandSplitAcrossChunks",
     {"41 FF", "FD 18 42"},
     {Data("41"), Reply("FF FB 18"), Data("42")},
     true,
     true},
    {"IacAloneEndsAChunk", {"FF", "FF"}, {Data(""), Data("FF")}, true, true},
    {"IacSbIacDropsTheNextByte", {"FF FA FF 41 42"}, {Data("42")}, true, true},

    {"TerminalTypeSendIsAnswered",
     {"FF FA 18 01 FF F0 41"},
     {Reply(DumbReply), Data("41")},
     true,
     false},
    {"TerminalTypeWithoutSendIsNotAnswered", {"FF FA 18 00 FF F0"}, {Data("")}, true, false},
    {"SendWithMoreDataIsNotAnswered", {"FF FA 18 01 02 FF F0"}, {Data("")}, true, false},
    {"DoubledIacInSubnegotiationIsData", {"FF FA 18 01 FF FF FF F0"}, {Data("")}, true, false},
    {"OptionOfTheSubnegotiationIsNotExamined",
     {"FF FA 1F 01 FF F0"},
     {Reply(DumbReply), Data("")},
     true,
     false},
    {"IacSbInsideASubnegotiationEndsItAndBeginsAnother",
     {"FF FA 18 01 FF FA 18 01 FF F0"},
     {Reply(DumbReply), Reply(DumbReply), Data("")},
     true,
     false},
    {"UnterminatedSubnegotiationIsAbandoned", {"FF FA 18 01 FF 41 42"}, {Data("42")}, true, false},
    {"SubnegotiationWithTheSendByteInTheLaterChunk",
     {"FF FA 18", "01 FF F0"},
     {Data(""), Reply(DumbReply), Data("")},
     true,
     false},
    {"SubnegotiationOptionInTheLaterChunk",
     {"FF FA", "18 01 FF F0"},
     {Data(""), Reply(DumbReply), Data("")},
     true,
     false},
    {"SubnegotiationDataIsNotKeptAcrossChunks",
     {"FF FA 18 01", "FF F0"},
     {Data(""), Data("")},
     true,
     false},
    {"EmptyTerminalBecomesDumb",
     {"FF FA 18 01 FF F0"},
     {Reply(DumbReply), Data("")},
     true,
     false,
     ""},
    {"TerminalNameGoesOutAsItIs",
     {"FF FA 18 01 FF F0"},
     {Reply("FF FA 18 00 61 FF 62 FF F0"), Data("")},
     true,
     false,
     "a\xFF"
     "b"},
};

class TelnetParser : public testing::TestWithParam<TParserCase> {};

TEST_P(TelnetParser, GivesTheTrace) {
    const TParserCase& row = GetParam();
    TTracingParser tracer(row.Terminal);
    for (const std::string& chunk : row.Chunks)
        tracer.Feed(Bytes(chunk));
    EXPECT_EQ(tracer.Trace, row.Trace);
    EXPECT_EQ(tracer.Peer, row.Peer);
}

// Everything but the chunk boundaries: notices and replies in order, and all data text.
std::vector<std::string> Unchunked(const std::vector<std::string>& trace) {
    std::vector<std::string> events;
    std::string data;
    for (const std::string& event : trace) {
        if (event.rfind("data ", 0) == 0) {
            const std::string hex = event.substr(5);
            if (!hex.empty()) data += (data.empty() ? "" : " ") + hex;
        } else {
            events.push_back(event);
        }
    }
    events.push_back("data " + data);
    return events;
}

// Subnegotiation data is kept per chunk, so those rows list their splits themselves.
std::vector<TParserCase> SplitFreeCases() {
    std::vector<TParserCase> rows;
    for (const TParserCase& row : ParserCases)
        if (row.SplitFree) rows.push_back(row);
    return rows;
}

class TelnetParserChunking : public testing::TestWithParam<TParserCase> {};

TEST_P(TelnetParserChunking, ChangesNothingWhereItMustNot) {
    const TParserCase& row = GetParam();
    std::string input;
    for (const std::string& chunk : row.Chunks)
        input += Bytes(chunk);
    const std::vector<std::string> expected = Unchunked(row.Trace);

    TTracingParser byteByByte(row.Terminal);
    for (const char ch : input)
        byteByByte.Feed(std::string(1, ch));
    EXPECT_EQ(Unchunked(byteByByte.Trace), expected) << "one byte at a time";

    for (size_t cut = 0; cut <= input.size(); ++cut) {
        TTracingParser split(row.Terminal);
        split.Feed(input.substr(0, cut));
        split.Feed(input.substr(cut));
        EXPECT_EQ(Unchunked(split.Trace), expected) << "cut after " << cut << " bytes";
        EXPECT_EQ(split.Peer, row.Peer);
    }
}

std::string RowName(const testing::TestParamInfo<TParserCase>& info) {
    return info.param.Name;
}

INSTANTIATE_TEST_SUITE_P(Rows, TelnetParser, testing::ValuesIn(ParserCases), RowName);
INSTANTIATE_TEST_SUITE_P(Rows, TelnetParserChunking, testing::ValuesIn(SplitFreeCases()), RowName);

TEST(TelnetParserState, EachChunkSaysWhetherACommandCameAndEndsWhereItsBytesEnd) {
    TIdTelnetState state = tsData;
    EXPECT_TRUE(ParseTelnet(state, Bytes("41 FF FB"), "dumb").CommandSeen);
    EXPECT_EQ(state, tsWill);
    const TTelnetParsed next = ParseTelnet(state, Bytes("01 42"), "dumb");
    EXPECT_FALSE(next.CommandSeen);
    EXPECT_EQ(next.Data, "B");
    ASSERT_EQ(next.Answers.size(), 1u);
    EXPECT_EQ(next.Answers[0].Notice, ceServerEchoes);
    EXPECT_EQ(state, tsData);
}

} // namespace
