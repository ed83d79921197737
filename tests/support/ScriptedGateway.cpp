// The scripted gateway's connections: commands answered from its memory,
// answers cut into pieces, or a flood.
#include "ScriptedGateway.h"

#include <deque>
#include <memory>
#include <optional>
#include <sstream>

#include "LoopbackPeer.h"

namespace {

constexpr int MaxClients = 64;

// The command lines of a client as they arrive; empty lines are the
// client's line ends for unrecognised chunks.
class LineReader {
public:
    explicit LineReader(int fd) : Fd(fd) {}

    std::optional<std::string> Next() {
        for (int pass = 0; pass < 100000; ++pass) {
            const size_t end = Pending.find_first_of("\r\n");
            if (end != std::string::npos) {
                std::string line = Pending.substr(0, end);
                // CR LF counts as one line end.
                const size_t skip = Pending.compare(end, 2, "\r\n") == 0 ? 2 : 1;
                Pending.erase(0, end + skip);
                return line;
            }
            if (loopback::ReceiveInto(Fd, Pending, 4096, Deadline()) != loopback::Received::Data)
                return std::nullopt;
        }
        return std::nullopt;
    }

private:
    int Fd;
    std::string Pending;
};

std::vector<std::string> Words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

} // namespace

ScriptedGateway::ScriptedGateway(GatewayScript script)
    : Script(std::move(script)), Acceptor([this] {
          // A flood's client fills the little room there is at once.
          if (Script.Flood) loopback::ShrinkWindow(Listening.Get());
          Accept();
      }) {}

ScriptedGateway::~ScriptedGateway() {
    {
        const std::lock_guard guard(Lock);
        Stopping = true;
        loopback::Shutdown(Listening.Get());
        for (const int fd : Clients)
            loopback::Shutdown(fd);
    }
    Acceptor.join();
    for (std::thread& server : Servers)
        server.join();
}

std::vector<std::string> ScriptedGateway::Lines() const {
    const std::lock_guard guard(Lock);
    return Received;
}

void ScriptedGateway::Accept() {
    for (int client = 0; client < MaxClients; ++client) {
        UniqueFd fd = Listening.Accept();
        const std::lock_guard guard(Lock);
        if (Stopping) return;
        if (!fd.Valid()) continue;
        Clients.push_back(fd.Get());
        Servers.emplace_back([this, owned = std::make_shared<UniqueFd>(std::move(fd))] {
            if (Script.Flood)
                Flood(owned->Get());
            else
                Serve(owned->Get());
            const std::lock_guard guard(Lock);
            std::erase(Clients, owned->Get());
        });
    }
}

void ScriptedGateway::Serve(int fd) {
    LineReader reader(fd);
    std::deque<std::string> later; // lines that came while waiting for a line end
    for (int round = 0; round < 100000; ++round) {
        std::optional<std::string> line;
        if (!later.empty()) {
            line = later.front();
            later.pop_front();
        } else {
            line = reader.Next();
        }
        if (!line) return;
        const std::string answer = Answer(*line);
        if (answer.empty()) continue;
        if (Script.Piece == 0) {
            if (!loopback::SendAll(fd, answer)) return;
            continue;
        }
        for (size_t at = 0; at < answer.size(); at += Script.Piece) {
            if (!loopback::SendAll(fd, answer.substr(at, Script.Piece))) return;
            if (at + Script.Piece >= answer.size()) break;
            // The client's line end for this piece, before the next goes out.
            for (std::optional<std::string> next = reader.Next(); next && !next->empty();
                 next = reader.Next())
                later.push_back(*next);
        }
    }
}

void ScriptedGateway::Flood(int fd) {
    std::string lines;
    for (int i = 0; i < 1000; ++i)
        lines += "?\r\n";
    // Up to 1 GiB, until the client goes or the test ends.
    const Deadline deadline;
    for (int round = 0; round < 350'000 && !deadline.Passed(); ++round)
        if (!loopback::SendAll(fd, lines)) return;
}

std::string ScriptedGateway::Answer(const std::string& line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) return {};
    const std::lock_guard guard(Lock);
    Received.push_back(line);
    if (words.size() < 3 || words[0] != "<" || words[1] != Script.Gateway) return {};
    const std::string prefix = "> " + Script.Gateway + " ";
    if (words[2] == "RESET") return prefix + "RESTARTED\r\n";
    if (words.size() < 7) return {};
    const std::string descriptor = words[3] + " " + words[4] + " " + words[5] + " " + words[6];
    if (words[2] == "SET_MEM") {
        std::string data;
        for (size_t i = 7; i < words.size(); ++i)
            data += (i > 7 ? " " : "") + words[i];
        Script.Memory[descriptor] = data;
        return prefix + "OK\r\n";
    }
    const auto value = Script.Memory.find(descriptor);
    if (words[2] != "GET_MEM" || value == Script.Memory.end()) return {};
    if (Script.LoseFirstAnswer.erase(descriptor) > 0) return {};
    return prefix + "MEM " + descriptor + " " + value->second + "\r\n";
}
