// The test gateway's socket loop: poll on the listener, the client and a wake
// pipe; lines end at CR or LF, as the tool's carriage returns arrive.
#include "LoopbackGateway.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace {

// The gateway gives up after this long, so that a test that goes wrong cannot keep it alive.
constexpr auto Lifetime = std::chrono::seconds(60);

void SendAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return;
        done += static_cast<size_t>(sent);
    }
}

} // namespace

LoopbackGateway::LoopbackGateway(std::map<std::string, std::string> memory) : Memory(std::move(memory)) {
    ListenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (ListenFd < 0 || ::bind(ListenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(ListenFd, 4) != 0 ||
        ::getsockname(ListenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(WakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("test gateway cannot listen on 127.0.0.1");
    BoundPort = ntohs(address.sin_port);
    Worker = std::thread([this] { Serve(); });
}

LoopbackGateway::~LoopbackGateway() {
    {
        const std::lock_guard lock(Lock);
        StopRequested = true;
    }
    [[maybe_unused]] const ssize_t woken = ::write(WakePipe[1], "s", 1);
    Worker.join();
    for (const int fd : {ListenFd, ClientFd, WakePipe[0], WakePipe[1]})
        if (fd >= 0) ::close(fd);
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
    [[maybe_unused]] const ssize_t woken = ::write(WakePipe[1], "w", 1);
}

void LoopbackGateway::CloseClient() {
    {
        const std::lock_guard lock(Lock);
        CloseRequested = true;
    }
    [[maybe_unused]] const ssize_t woken = ::write(WakePipe[1], "c", 1);
}

void LoopbackGateway::Changed() {
    if (OnChange) OnChange();
}

void LoopbackGateway::Serve() {
    const auto end = std::chrono::steady_clock::now() + Lifetime;
    for (int round = 0; round < 1000000; ++round) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        pollfd entries[3] = {{WakePipe[0], POLLIN, 0}, {ListenFd, POLLIN, 0}, {ClientFd, POLLIN, 0}};
        if (::poll(entries, ClientFd >= 0 ? 3 : 2, static_cast<int>(left.count())) < 0 && errno != EINTR) return;

        char drain[64];
        while (::read(WakePipe[0], drain, sizeof drain) > 0) {
        }
        std::vector<std::string> outbox;
        bool close = false;
        {
            const std::lock_guard lock(Lock);
            if (StopRequested) return;
            outbox.swap(Outbox);
            close = CloseRequested && ClientFd >= 0;
            if (close) CloseRequested = false;
        }
        for (const std::string& text : outbox)
            if (ClientFd >= 0) SendAll(ClientFd, text);
        if (close) {
            ::close(ClientFd);
            ClientFd = -1;
            continue;
        }
        if (ClientFd < 0 && (entries[1].revents & POLLIN) != 0) {
            ClientFd = ::accept4(ListenFd, nullptr, nullptr, SOCK_CLOEXEC);
            {
                const std::lock_guard lock(Lock);
                Connected = ClientFd >= 0;
            }
            Changed();
            continue;
        }
        if (ClientFd >= 0 && (entries[2].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            char buffer[4096];
            const ssize_t got = ::recv(ClientFd, buffer, sizeof buffer, 0);
            if (got > 0) {
                Take(std::string(buffer, static_cast<size_t>(got)));
            } else if (got == 0 || errno != EINTR) {
                ::close(ClientFd);
                ClientFd = -1;
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
    if (cell != Memory.end()) SendAll(ClientFd, "> 2001 MEM " + cell->first + " " + cell->second + "\r\n");
}
