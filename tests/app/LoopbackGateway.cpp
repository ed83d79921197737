// The test gateway's socket loop: poll on the listener, the client and a wake
// pipe; lines end at CR or LF, as the tool's carriage returns arrive.
#include "LoopbackGateway.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

#include "tests/support/LoopbackPeer.h"

namespace {

// The gateway gives up after this long, so that a test that goes wrong cannot keep it alive.
constexpr auto Lifetime = std::chrono::seconds(60);

} // namespace

LoopbackGateway::LoopbackGateway(std::map<std::string, std::string> memory)
    : Memory(std::move(memory)) {
    int wakePipe[2];
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("test gateway has no wake pipe");
    WakeReceiver = UniqueFd(wakePipe[0]);
    WakeSender = UniqueFd(wakePipe[1]);
    Worker = std::thread([this] { Serve(); });
}

LoopbackGateway::~LoopbackGateway() {
    {
        const std::lock_guard lock(Lock);
        StopRequested = true;
    }
    [[maybe_unused]] const ssize_t woken = ::write(WakeSender.Get(), "s", 1);
    Worker.join();
}

std::vector<std::string> LoopbackGateway::Lines() const {
    const std::lock_guard lock(Lock);
    return Received;
}

bool LoopbackGateway::ClientConnected() const {
    const std::lock_guard lock(Lock);
    return Connected;
}

bool LoopbackGateway::ClientClosed() const {
    const std::lock_guard lock(Lock);
    return Closed;
}

void LoopbackGateway::Send(const std::string& text) {
    {
        const std::lock_guard lock(Lock);
        Outbox.push_back(text);
    }
    [[maybe_unused]] const ssize_t woken = ::write(WakeSender.Get(), "w", 1);
}

void LoopbackGateway::CloseClient() {
    {
        const std::lock_guard lock(Lock);
        CloseRequested = true;
    }
    [[maybe_unused]] const ssize_t woken = ::write(WakeSender.Get(), "c", 1);
}

void LoopbackGateway::Changed() {
    if (OnChange) OnChange();
}

void LoopbackGateway::SendToClient(const std::string& text) {
    if (Client.Valid()) loopback::SendAll(Client.Get(), text);
}

void LoopbackGateway::Serve() {
    const auto end = std::chrono::steady_clock::now() + Lifetime;
    for (int round = 0; round < 1000000; ++round) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        pollfd entries[3] = {{WakeReceiver.Get(), POLLIN, 0},
                             {Listener.Get(), POLLIN, 0},
                             {Client.Get(), POLLIN, 0}};
        if (::poll(entries, Client.Valid() ? 3 : 2, static_cast<int>(left.count())) < 0 &&
            errno != EINTR)
            return;

        char drain[64];
        while (::read(WakeReceiver.Get(), drain, sizeof drain) > 0) {
        }
        std::vector<std::string> outbox;
        bool close = false;
        {
            const std::lock_guard lock(Lock);
            if (StopRequested) return;
            outbox.swap(Outbox);
            close = CloseRequested && Client.Valid();
            if (close) CloseRequested = false;
        }
        for (const std::string& text : outbox)
            SendToClient(text);
        if (close) {
            Client.Close();
            continue;
        }
        if (!Client.Valid() && (entries[1].revents & POLLIN) != 0) {
            Client = Listener.Accept(std::chrono::milliseconds(0));
            {
                const std::lock_guard lock(Lock);
                Connected = Client.Valid();
            }
            Changed();
            continue;
        }
        if (Client.Valid() && (entries[2].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            char buffer[4096];
            const ssize_t got = ::recv(Client.Get(), buffer, sizeof buffer, 0);
            if (got > 0) {
                Take(std::string(buffer, static_cast<size_t>(got)));
            } else if (got == 0 || errno != EINTR) {
                Client.Close();
                {
                    const std::lock_guard lock(Lock);
                    Closed = true;
                }
                Changed();
            }
        }
    }
}

void LoopbackGateway::Take(const std::string& bytes) {
    for (const char ch : bytes) {
        if (ch != '\r' && ch != '\n') {
            Partial += ch;
            continue;
        }
        if (Partial.empty()) continue;
        const std::string line = std::move(Partial);
        Partial.clear();
        {
            const std::lock_guard lock(Lock);
            Received.push_back(line);
        }
        Answer(line);
        Changed();
    }
}

// "< 2001 GET_MEM D" is answered "> 2001 MEM D <data>" when D is in the memory.
void LoopbackGateway::Answer(const std::string& line) {
    const std::string read = "< 2001 GET_MEM ";
    if (line.rfind(read, 0) != 0) return;
    const auto cell = Memory.find(line.substr(read.size()));
    if (cell != Memory.end())
        SendToClient("> 2001 MEM " + cell->first + " " + cell->second + "\r\n");
}
