// The few socket calls of the simulator's server, over POSIX sockets
// (SimSocket.cpp) or Windows sockets (SimSocketWindows.cpp). The simulator is
// the peer the tool is tested against, so it uses the system's sockets
// directly and never the tool's own network layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
using TSimSocket = uintptr_t; // SOCKET
#else
using TSimSocket = int;
#endif
inline constexpr TSimSocket NoSimSocket = static_cast<TSimSocket>(-1);

// Readies the system's sockets once per process (Windows: WSAStartup); false
// with a reason in `error` when they cannot be used.
bool SimStartSockets(std::string& error);

// A non-blocking socket listening on address:port (IPv4), and the port it got;
// NoSimSocket with a reason in `error` on failure.
TSimSocket SimListen(const std::string& address, uint16_t port, uint16_t& boundPort,
                     std::string& error);
// The next waiting connection, non-blocking and with Nagle's algorithm off,
// and its peer as "a.b.c.d:port"; NoSimSocket when none is waiting.
TSimSocket SimAccept(TSimSocket listener, std::string& peer);
void SimClose(TSimSocket socket);
void SimShutdownWrite(TSimSocket socket);
// Asks the system to acknowledge received data at once where it can be asked
// (Linux: TCP_QUICKACK); nothing elsewhere.
void SimAckQuickly(TSimSocket socket);

// A receive or a send: the bytes moved (a receive gives 0 when the peer has
// closed), or -1 when nothing can move now, or -1 with the reason in `error`
// when the socket failed.
long SimReceive(TSimSocket socket, char* buffer, size_t size, std::string& error);
long SimSend(TSimSocket socket, const char* bytes, size_t size, std::string& error);

struct TSimWait {
    TSimSocket Socket;
    bool Write = false;     // wait for room to send as well
    bool Readable = false;  // out: data, end of stream or an error to read
};
// Waits until an entry is readable or writable as asked, or for `timeoutMs`
// (-1: no limit); false with a reason when the wait itself failed. A wait cut
// short by a signal is a wait with nothing ready.
bool SimWaitFor(std::vector<TSimWait>& entries, int timeoutMs, std::string& error);
