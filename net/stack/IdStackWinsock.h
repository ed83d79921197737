// The socket stack over the Windows Sockets entry-point table.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "net/stack/IdStack.h"
#include "net/stack/IdStackVersion.h"

class TIdStackWinsock : public TIdStack {
public:
    // Loads and starts the sockets library: EIdStackCanNotLoadWinsock,
    // EIdStackInitializationFailed.
    TIdStackWinsock();
    ~TIdStackWinsock() override;
    TIdStackWinsock(const TIdStackWinsock&) = delete;
    TIdStackWinsock& operator=(const TIdStackWinsock&) = delete;

    void RefillLocalAddresses() override;
    std::string FirstLocalAddress() override;
    const std::vector<std::string>& QueryLocalAddresses() override;
    TIdStackSocketHandle SockAccept(TIdStackSocketHandle socket, std::string& ip,
                                    int32_t& port) override;
    int SockBind(TIdStackSocketHandle socket, int family, const std::string& ip,
                 int32_t port) override;
    int SockClose(TIdStackSocketHandle socket) override;
    int SockConnect(TIdStackSocketHandle socket, int family, const std::string& ip,
                    int32_t port) override;
    std::string LookupHostAddress(const std::string& host) override;
    std::string LocalHostName() override;
    std::string LookupHostName(const std::string& dotted) override;
    int32_t LookupServicePort(const std::string& service) override;
    std::vector<std::string> LookupServiceNames(int32_t port) override;
    uint16_t HostToNetShort(uint16_t value) override;
    int SockListen(TIdStackSocketHandle socket, int backlog) override;
    uint16_t NetToHostShort(uint16_t value) override;
    uint32_t HostToNetLong(uint32_t value) override;
    uint32_t NetToHostLong(uint32_t value) override;
    int SockRecv(TIdStackSocketHandle socket, void* buffer, int length, int flags) override;
    int SockRecvDatagram(TIdStackSocketHandle socket, void* buffer, int length, int flags,
                         std::string& ip, int32_t& port) override;
    int SockSelect(TIdSocketList* readList, TIdSocketList* writeList, TIdSocketList* errorList,
                   int32_t timeoutMs) override;
    int SockSend(TIdStackSocketHandle socket, const void* buffer, int length, int flags) override;
    int SockSendDatagram(TIdStackSocketHandle socket, const void* buffer, int length, int flags,
                         const std::string& ip, int32_t port) override;
    int SockSetOption(TIdStackSocketHandle socket, int level, int optionName, const void* value,
                      int valueLength) override;
    TIdStackSocketHandle SockOpen(int family, int type, int protocol) override;
    int SockShutdown(TIdStackSocketHandle socket, int how) override;
    int32_t SockLastError() override;
    void SockPeerName(TIdStackSocketHandle socket, int& family, std::string& ip,
                      int32_t& port) override;
    void SockLocalName(TIdStackSocketHandle socket, int& family, std::string& ip,
                       int32_t& port) override;
    std::string FormatDottedAddress(const TIdIPv4Bytes& address) override;
    TIdIPv4Bytes ParseDottedAddress(const std::string& text) override;
    void SockSetLastError(int32_t code) override;
    // False also where the library has no TransmitFile.
    bool SockTransmitFile(TIdStackSocketHandle socket, THandle file) override;
    bool SockShutdownWakesBlockedCalls() override;

    std::unique_ptr<TIdStackVersion> VersionInfo;

private:
    // getpeername or getsockname.
    using TNameEntry = int(BQ_WSAAPI*)(TSocket s, TSockAddrIn* name, int* namelen);

    void ShutDownLibrary();
    // One of the name entries into a 16-byte record; a failure raises EIdSocketError.
    void ReadSocketName(TNameEntry entry, TIdStackSocketHandle socket, int& family, std::string& ip,
                        int32_t& port);

    std::vector<std::string> LocalAddressList;
};
