// Stop requests on Windows: the console's control handler and a thread that
// waits on the stop event each send one datagram to a UDP socket on
// 127.0.0.1, which the server's wait sees become readable (WSAPoll waits on
// sockets only).
#include <winsock2.h>

#include "gateway-sim/StopRequest.h"

namespace {

SOCKET Sender = INVALID_SOCKET;
sockaddr_in Receiver{};

void RequestStop() {
    const char byte = 0;
    sendto(Sender, &byte, 1, 0, reinterpret_cast<const sockaddr*>(&Receiver), sizeof Receiver);
}

BOOL WINAPI OnConsoleControl(DWORD) {
    RequestStop();
    return TRUE;
}

DWORD WINAPI WaitForStopEvent(void* event) {
    if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) RequestStop();
    return 0;
}

} // namespace

TSimSocket WatchStopRequests(std::string& error) {
    if (!SimStartSockets(error)) return NoSimSocket;
    error = "cannot watch for stop requests";
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    Sender = ::socket(AF_INET, SOCK_DGRAM, 0);
    Receiver.sin_family = AF_INET;
    Receiver.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof Receiver;
    if (socket == INVALID_SOCKET || Sender == INVALID_SOCKET ||
        bind(socket, reinterpret_cast<const sockaddr*>(&Receiver), sizeof Receiver) != 0 ||
        getsockname(socket, reinterpret_cast<sockaddr*>(&Receiver), &length) != 0)
        return NoSimSocket;
    const HANDLE event =
        CreateEventA(nullptr, TRUE, FALSE, StopEventName(GetCurrentProcessId()).c_str());
    if (event == nullptr || !SetConsoleCtrlHandler(OnConsoleControl, TRUE)) return NoSimSocket;
    const HANDLE waiter = CreateThread(nullptr, 0, WaitForStopEvent, event, 0, nullptr);
    if (waiter == nullptr) return NoSimSocket;
    CloseHandle(waiter);
    error.clear();
    return socket;
}
