// The window against the gateway simulator's fault options. What each field
// should show comes from the same simulator asked plainly by a raw client.
#include <QRegularExpression>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "WindowSession.h"
#include "app/Cp1251.h"
#include "protocol/CommandLines.h"
#include "protocol/MemoryAnswer.h"
#include "tests/support/GatewaySimProcess.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/LoopbackPeer.h"

namespace {

const char* const FieldNames[] = {"Edit3", "Edit4", "Edit5", "Edit6", "Edit7"};

std::vector<std::string> ReadCommands() {
    std::vector<std::string> lines;
    for (const TMemoryField field : AllMemoryFields)
        lines.push_back(ReadMemoryLine("2001", Descriptor(field)));
    return lines;
}

// The first `count` lines a simulator with `options` sends a client that
// types the five read commands, line ends removed.
std::vector<std::string> SimLines(const std::vector<std::string>& options, size_t count) {
    GatewaySimProcess sim(options);
    UniqueFd client = loopback::ConnectTo(sim.Port());
    std::vector<std::string> lines;
    if (!client.Valid()) return lines;
    for (const std::string& command : ReadCommands())
        loopback::SendAll(client.Get(), command + "\r\n");
    std::string received;
    for (int round = 0; round < 1000 && lines.size() < count; ++round) {
        const std::string more = loopback::ReceiveSome(client.Get());
        if (more.empty()) break;
        received += more;
        for (size_t end;
             lines.size() < count && (end = received.find("\r\n")) != std::string::npos;) {
            lines.push_back(received.substr(0, end));
            received.erase(0, end + 2);
        }
    }
    return lines;
}

QString Logged(const std::string& line) {
    // The log's plain text shows a no-break space as a space.
    return FromCp1251(TrimControls(line)).replace(QChar(0x00A0), QLatin1Char(' '));
}

QStringList ConnectAndCommandLines() {
    QStringList lines{QStringLiteral("Connecting to 127.0.0.1."), QStringLiteral("Connected.")};
    for (const std::string& command : ReadCommands())
        lines << QString::fromStdString(command);
    return lines;
}

// The field text each reference answer decodes to, in field order.
std::vector<QString> DecodedFields(const std::vector<std::string>& answers) {
    std::vector<QString> fields(5);
    for (const std::string& answer : answers)
        if (const std::optional<TMemoryAnswer> decoded =
                RecogniseMemoryAnswer(TrimControls(answer), "2001"))
            fields[static_cast<size_t>(decoded->Field)] = FromCp1251(decoded->Text);
    return fields;
}

QString NonBlank(const QStringList& lines) {
    QString text = lines.join(QString());
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

class SimWindow : public WindowSession {
protected:
    void Read(const std::vector<std::string>& options) {
        Sim = std::make_unique<GatewaySimProcess>(options);
        ASSERT_NE(Sim->Port(), 0);
        ASSERT_NO_FATAL_FAILURE(ConnectTo(Sim->Port()));
        Button("Button2")->click();
    }
    void ExpectFields(const std::vector<QString>& expected, size_t filled) {
        for (size_t i = 0; i < 5; ++i) {
            QLineEdit* field = Edit(FieldNames[i]);
            EXPECT_EQ(field->text(), i < filled ? expected[i] : QStringLiteral("NC"))
                << FieldNames[i];
            EXPECT_EQ(field->isEnabled(), i < filled) << FieldNames[i];
        }
        EXPECT_EQ(Button("Button3")->isEnabled(), filled > 0);
    }
    void TearDown() override {
        WindowSession::TearDown();
        Sim.reset();
    }

    std::unique_ptr<GatewaySimProcess> Sim;
};

} // namespace

// Answers in one-byte sends reach the reader in pieces of any size; every
// received character is logged, in order, and nothing crashes.
TEST_F(SimWindow, SplitIntoSingleBytesLogsEveryCharacterInOrder) {
    const std::vector<std::string> answers = SimLines({}, 5);
    ASSERT_EQ(answers.size(), 5U);
    QStringList answerLines;
    for (const std::string& answer : answers)
        answerLines << Logged(answer);
    const QString expectedText = NonBlank(answerLines);

    ASSERT_NO_FATAL_FAILURE(Read({"--split", "1"}));
    const qsizetype head = ConnectAndCommandLines().size();
    EXPECT_TRUE(WaitUntil([&] { return NonBlank(Log().mid(head)).size() >= expectedText.size(); }));
    EXPECT_EQ(Log().mid(0, head), ConnectAndCommandLines());
    EXPECT_EQ(NonBlank(Log().mid(head)), expectedText);

    // Which fields fill depends on where the receives cut the answers; one
    // that fills holds the whole value.
    const std::vector<QString> decoded = DecodedFields(answers);
    for (size_t i = 0; i < 5; ++i) {
        QLineEdit* field = Edit(FieldNames[i]);
        EXPECT_EQ(field->text(), field->isEnabled() ? decoded[i] : QStringLiteral("NC"))
            << FieldNames[i];
    }
}

// Late answers arrive while the window goes on working; each is decoded.
TEST_F(SimWindow, DelayedAnswersFillEveryField) {
    const std::vector<std::string> answers = SimLines({}, 5);
    ASSERT_EQ(answers.size(), 5U);
    ASSERT_NO_FATAL_FAILURE(Read({"--delay-ms", "200"}));
    EXPECT_EQ(Log(), ConnectAndCommandLines()) << "nothing can have arrived yet";
    EXPECT_TRUE(WaitUntil([&] { return Edit("Edit7")->isEnabled(); }));

    QStringList expected = ConnectAndCommandLines();
    for (const std::string& answer : answers)
        expected << Logged(answer);
    EXPECT_EQ(Log(), expected);
    ExpectFields(DecodedFields(answers), 5);
}

// The simulator answers three lines and closes: the three fields fill, the
// close is logged after them, and the last empty chunk ends the reader.
TEST_F(SimWindow, CloseAfterThreeLinesFillsThreeFieldsThenLogsTheClose) {
    const std::vector<std::string> answers = SimLines({}, 5);
    ASSERT_EQ(answers.size(), 5U);
    ASSERT_NO_FATAL_FAILURE(Read({"--close-after", "3"}));
    ASSERT_TRUE(WaitForReaderEnd());
    EXPECT_EQ(Reader->TerminatingMessage, "Connection Closed Gracefully.");

    QStringList expected = ConnectAndCommandLines();
    for (size_t i = 0; i < 3; ++i)
        expected << Logged(answers[i]);
    expected << QStringLiteral("Disconnecting from 127.0.0.1.") << QStringLiteral("Not connected.")
             << QString();
    EXPECT_TRUE(WaitUntil([&] { return Log().size() >= expected.size(); }));
    EXPECT_EQ(Log(), expected);
    ExpectFields(DecodedFields(answers), 3);
    EXPECT_TRUE(Messages.Shown.empty());
}

// A line of binary bytes before each answer is logged and answered with a
// carriage return; the answer after it is still decoded.
TEST_F(SimWindow, GarbageBeforeEachAnswerIsLoggedAndTheAnswersStillDecode) {
    const std::vector<std::string> lines = SimLines({"--garbage"}, 10);
    ASSERT_EQ(lines.size(), 10U);
    ASSERT_NO_FATAL_FAILURE(Read({"--garbage"}));
    EXPECT_TRUE(WaitUntil([&] { return Edit("Edit7")->isEnabled(); }));

    QStringList expected = ConnectAndCommandLines();
    for (const std::string& line : lines)
        expected << Logged(line);
    EXPECT_EQ(Log(), expected);
    ExpectFields(DecodedFields(lines), 5);
}
