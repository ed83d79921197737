// The one object through which the network layer talks to the operating
// system's sockets, with Windows Sockets semantics: results of -1 for failure,
// error numbers 10000 + the BSD number, and the fixed error texts.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "net/stack/winsock/WinsockTypes.h"

using TIdStackSocketHandle = TSocket; // the platform socket; IdInvalidSocket for none
constexpr TIdStackSocketHandle IdInvalidSocket = IdInvalidSocketValue;
constexpr int32_t IdSocketError = -1; // result of a failed socket call

using TIdSocketList = std::vector<TIdStackSocketHandle>;
using TIdIPv4Bytes = std::array<uint8_t, 4>;

constexpr int32_t IdTimeoutInfinite = -2; // a wait without limit

class TIdStack {
public:
    virtual ~TIdStack();

    virtual void RefillLocalAddresses() = 0;
    virtual std::string FirstLocalAddress() = 0;
    virtual const std::vector<std::string>& QueryLocalAddresses() = 0;
    virtual TIdStackSocketHandle SockAccept(TIdStackSocketHandle socket, std::string& ip,
                                            int32_t& port) = 0;
    virtual int SockBind(TIdStackSocketHandle socket, int family, const std::string& ip,
                         int32_t port) = 0;
    virtual int SockClose(TIdStackSocketHandle socket) = 0;
    virtual int SockConnect(TIdStackSocketHandle socket, int family, const std::string& ip,
                            int32_t port) = 0;
    virtual std::string LookupHostAddress(const std::string& host) = 0;
    virtual std::string LocalHostName() = 0;
    virtual std::string LookupHostName(const std::string& dotted) = 0;
    virtual int32_t LookupServicePort(const std::string& service) = 0;
    virtual std::vector<std::string> LookupServiceNames(int32_t port) = 0;
    virtual uint16_t HostToNetShort(uint16_t value) = 0;
    virtual int SockListen(TIdStackSocketHandle socket, int backlog) = 0;
    virtual uint16_t NetToHostShort(uint16_t value) = 0;
    virtual uint32_t HostToNetLong(uint32_t value) = 0;
    virtual uint32_t NetToHostLong(uint32_t value) = 0;
    virtual int SockRecv(TIdStackSocketHandle socket, void* buffer, int length, int flags) = 0;
    virtual int SockRecvDatagram(TIdStackSocketHandle socket, void* buffer, int length, int flags,
                                 std::string& ip, int32_t& port) = 0;
    // Each list may be null; ready sockets are written back into the lists.
    virtual int SockSelect(TIdSocketList* readList, TIdSocketList* writeList,
                           TIdSocketList* errorList, int32_t timeoutMs) = 0;
    virtual int SockSend(TIdStackSocketHandle socket, const void* buffer, int length,
                         int flags) = 0;
    virtual int SockSendDatagram(TIdStackSocketHandle socket, const void* buffer, int length,
                                 int flags, const std::string& ip, int32_t port) = 0;
    virtual int SockSetOption(TIdStackSocketHandle socket, int level, int optionName,
                              const void* value, int valueLength) = 0;
    virtual TIdStackSocketHandle SockOpen(int family, int type, int protocol) = 0;
    virtual int SockShutdown(TIdStackSocketHandle socket, int how) = 0;
    virtual std::string SocketErrorText(int32_t code);
    virtual int32_t SockLastError() = 0;
    virtual void SockPeerName(TIdStackSocketHandle socket, int& family, std::string& ip,
                              int32_t& port) = 0;
    virtual void SockLocalName(TIdStackSocketHandle socket, int& family, std::string& ip,
                               int32_t& port) = 0;
    virtual std::string FormatDottedAddress(const TIdIPv4Bytes& address) = 0;
    // What the socket handle and whole-file sending need besides: setting the
    // calling thread's last error, and TransmitFile of a whole open file
    // (true when all of it was sent).
    virtual void SockSetLastError(int32_t code) = 0;
    virtual bool SockTransmitFile(TIdStackSocketHandle socket, THandle file) = 0;
    // True where shutting a socket down ends a call that another thread has
    // blocked on it; where it does not, only closing the socket does.
    virtual bool SockShutdownWakesBlockedCalls() = 0;
    virtual TIdIPv4Bytes ParseDottedAddress(const std::string& text) = 0;

    // False when result is not -1. Otherwise true when the last error is one
    // of the tolerated codes; any other code raises EIdSocketError.
    bool CheckSocketResult(int result, std::initializer_list<int32_t> tolerated = {});
    [[noreturn]] void RaiseSocketFailure(int32_t code);
    // EIdInvalidSocket "Cannot allocate socket." when no socket can be had.
    TIdStackSocketHandle CreateSocket(int type, int protocol);
    std::string ResolveToDotted(const std::string& host);
    bool IsDottedAddress(const std::string& text);
    // The address in network byte order (its bytes in memory are the four parts).
    uint32_t DottedAddressValue(const std::string& text);

    static TIdStack* CreateDefaultStack();
};

// The one stack of the process, alive while any network component lives.
extern TIdStack* GlobalStack;

// Whole-file send for a socket; null where the platform offers none.
using TIdFileSendRoutine = int32_t (*)(TIdStackSocketHandle socket, const std::string& fileName);
extern TIdFileSendRoutine FileSendRoutine;
