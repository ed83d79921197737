// The socket stack over the Windows Sockets entry-point table: every call
// goes through Winsock, addresses travel as 16-byte IPv4 records.
#include "net/stack/IdStackWinsock.h"

#include <cstring>

#include "net/stack/IdException.h"
#include "net/stack/SplitAtDelimiter.h"
#include "net/stack/winsock/SocketsLibrary.h"
#include "net/stack/winsock/WinsockBinding.h"
#include "runtime/Exception.h"
#include "runtime/IntConversion.h"

namespace {

constexpr uint16_t RequestedVersion = 0x0101; // 1.1: major in the low byte, minor in the high
constexpr int HostNameBufferSize = 250;

TIdIPv4Bytes BytesOf(TInAddr address) {
    TIdIPv4Bytes bytes;
    std::memcpy(bytes.data(), &address.S_addr, bytes.size());
    return bytes;
}

// Copies a list into a Windows socket set: a count and up to 64 slots.
void FillSet(const TIdSocketList* list, TFDSet& set) {
    if (list == nullptr) return;
    if (list->size() > Id_FD_SETSIZE) throw EIdStackSetSizeExceeded();
    std::copy(list->begin(), list->end(), set.fd_array);
    set.fd_count = static_cast<uint32_t>(list->size());
}

// Gives a list the sockets that select left in its set, the ready ones.
void ReadBackSet(TIdSocketList* list, const TFDSet& set) {
    if (list == nullptr) return;
    const uint32_t count = std::min<uint32_t>(set.fd_count, Id_FD_SETSIZE);
    list->assign(set.fd_array, set.fd_array + count);
    list->shrink_to_fit();
}

} // namespace

TIdStackWinsock::TIdStackWinsock() {
    if (!LoadSocketsLibrary()) throw EIdStackCanNotLoadWinsock(SocketsLibraryName);
    try {
        TWSAData report{};
        if (Winsock.WSAStartup(RequestedVersion, &report) != 0)
            throw EIdStackInitializationFailed();
        VersionInfo = std::make_unique<TIdStackVersionWinsock>(report);
    } catch (...) {
        ShutDownLibrary();
        throw;
    }
}

TIdStackWinsock::~TIdStackWinsock() {
    ShutDownLibrary();
}

void TIdStackWinsock::ShutDownLibrary() {
    if (SocketsLibraryHandle != 0) {
        Winsock.WSACancelBlockingCall();
        Winsock.WSACleanup();
    }
    UnloadSocketsLibrary();
}

void TIdStackWinsock::RefillLocalAddresses() {
    LocalAddressList.clear();
    const THostEnt* host = Winsock.gethostbyname(LocalHostName().c_str());
    if (host == nullptr) RaiseSocketFailure(SockLastError());
    for (char** address = host->h_addr_list; *address != nullptr; ++address) {
        TInAddr value;
        std::memcpy(&value.S_addr, *address, sizeof value.S_addr);
        LocalAddressList.push_back(FormatDottedAddress(BytesOf(value)));
    }
}

std::string TIdStackWinsock::FirstLocalAddress() {
    const std::vector<std::string>& addresses = QueryLocalAddresses();
    return addresses.empty() ? std::string() : addresses.front();
}

const std::vector<std::string>& TIdStackWinsock::QueryLocalAddresses() {
    RefillLocalAddresses();
    return LocalAddressList;
}

TIdStackSocketHandle TIdStackWinsock::SockAccept(TIdStackSocketHandle socket, std::string& ip,
                                                 int32_t& port) {
    TSockAddrIn record{};
    int length = sizeof record;
    const TIdStackSocketHandle accepted = Winsock.accept(socket, &record, &length);
    ip = FormatDottedAddress(BytesOf(record.sin_addr));
    port = NetToHostShort(record.sin_port);
    return accepted;
}

int TIdStackWinsock::SockBind(TIdStackSocketHandle socket, int family, const std::string& ip,
                              int32_t port) {
    TSockAddrIn record{};
    record.sin_family = static_cast<int16_t>(family);
    record.sin_port = HostToNetShort(static_cast<uint16_t>(port));
    record.sin_addr.S_addr = ip.empty() ? 0 : DottedAddressValue(ip);
    return Winsock.bind(socket, &record, sizeof record);
}

int TIdStackWinsock::SockClose(TIdStackSocketHandle socket) {
    return Winsock.closesocket(socket);
}

int TIdStackWinsock::SockConnect(TIdStackSocketHandle socket, int family, const std::string& ip,
                                 int32_t port) {
    TSockAddrIn record{};
    record.sin_family = static_cast<int16_t>(family);
    record.sin_addr.S_addr = DottedAddressValue(ip);
    record.sin_port = HostToNetShort(static_cast<uint16_t>(port));
    return Winsock.connect(socket, &record, sizeof record);
}

std::string TIdStackWinsock::LookupHostAddress(const std::string& host) {
    const THostEnt* entry = Winsock.gethostbyname(host.c_str());
    if (entry == nullptr || entry->h_addr_list[0] == nullptr) RaiseSocketFailure(SockLastError());
    TInAddr value;
    std::memcpy(&value.S_addr, entry->h_addr_list[0], sizeof value.S_addr);
    return FormatDottedAddress(BytesOf(value));
}

std::string TIdStackWinsock::LocalHostName() {
    char name[HostNameBufferSize] = {};
    if (Winsock.gethostname(name, sizeof name) != 0) return std::string();
    return std::string(name, strnlen(name, sizeof name));
}

std::string TIdStackWinsock::LookupHostName(const std::string& dotted) {
    const uint32_t address = Winsock.inet_addr(dotted.c_str());
    const THostEnt* entry =
        Winsock.gethostbyaddr(reinterpret_cast<const char*>(&address), 4, Id_PF_INET);
    if (entry == nullptr) RaiseSocketFailure(SockLastError());
    return entry->h_name;
}

int32_t TIdStackWinsock::LookupServicePort(const std::string& service) {
    const TServEnt* entry = Winsock.getservbyname(service.c_str(), nullptr);
    if (entry != nullptr) return NetToHostShort(static_cast<uint16_t>(entry->s_port));
    try {
        return StrToInt(service);
    } catch (const EConvertError&) {
        throw EIdInvalidServiceName(service);
    }
}

std::vector<std::string> TIdStackWinsock::LookupServiceNames(int32_t port) {
    std::vector<std::string> names;
    const TServEnt* entry =
        Winsock.getservbyport(HostToNetShort(static_cast<uint16_t>(port)), nullptr);
    if (entry == nullptr) return names;
    names.emplace_back(entry->s_name);
    for (char** alias = entry->s_aliases; *alias != nullptr; ++alias)
        names.emplace_back(*alias);
    return names;
}

uint16_t TIdStackWinsock::HostToNetShort(uint16_t value) {
    return Winsock.htons(value);
}
uint16_t TIdStackWinsock::NetToHostShort(uint16_t value) {
    return Winsock.ntohs(value);
}
uint32_t TIdStackWinsock::HostToNetLong(uint32_t value) {
    return Winsock.htonl(value);
}
uint32_t TIdStackWinsock::NetToHostLong(uint32_t value) {
    return Winsock.ntohl(value);
}

int TIdStackWinsock::SockListen(TIdStackSocketHandle socket, int backlog) {
    return Winsock.listen(socket, backlog);
}

int TIdStackWinsock::SockRecv(TIdStackSocketHandle socket, void* buffer, int length, int flags) {
    return Winsock.recv(socket, static_cast<char*>(buffer), length, flags);
}

int TIdStackWinsock::SockRecvDatagram(TIdStackSocketHandle socket, void* buffer, int length,
                                      int flags, std::string& ip, int32_t& port) {
    TSockAddrIn record{};
    int recordLength = sizeof record;
    const int result =
        Winsock.recvfrom(socket, static_cast<char*>(buffer), length, flags, &record, &recordLength);
    ip = FormatDottedAddress(BytesOf(record.sin_addr));
    port = NetToHostShort(record.sin_port);
    return result;
}

// The sets are fixed records on the stack, zero-filled per call: a wait costs
// no allocation beyond the caller's lists.
int TIdStackWinsock::SockSelect(TIdSocketList* readList, TIdSocketList* writeList,
                                TIdSocketList* errorList, int32_t timeoutMs) {
    TFDSet readSet{}, writeSet{}, errorSet{};
    FillSet(readList, readSet);
    FillSet(writeList, writeSet);
    FillSet(errorList, errorSet);
    // C++ division truncates toward zero and the remainder keeps the sign.
    const TTimeVal time{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int result = Winsock.select(0, &readSet, &writeSet, &errorSet,
                                      timeoutMs == IdTimeoutInfinite ? nullptr : &time);
    ReadBackSet(readList, readSet);
    ReadBackSet(writeList, writeSet);
    ReadBackSet(errorList, errorSet);
    return result;
}

int TIdStackWinsock::SockSend(TIdStackSocketHandle socket, const void* buffer, int length,
                              int flags) {
    return Winsock.send(socket, static_cast<const char*>(buffer), length, flags);
}

int TIdStackWinsock::SockSendDatagram(TIdStackSocketHandle socket, const void* buffer, int length,
                                      int flags, const std::string& ip, int32_t port) {
    TSockAddrIn record{};
    record.sin_family = Id_PF_INET;
    record.sin_addr.S_addr = DottedAddressValue(ip);
    record.sin_port = HostToNetShort(static_cast<uint16_t>(port));
    return Winsock.sendto(socket, static_cast<const char*>(buffer), length, flags, &record,
                          sizeof record);
}

int TIdStackWinsock::SockSetOption(TIdStackSocketHandle socket, int level, int optionName,
                                   const void* value, int valueLength) {
    return Winsock.setsockopt(socket, level, optionName, static_cast<const char*>(value),
                              valueLength);
}

TIdStackSocketHandle TIdStackWinsock::SockOpen(int family, int type, int protocol) {
    return Winsock.socket(family, type, protocol);
}

int TIdStackWinsock::SockShutdown(TIdStackSocketHandle socket, int how) {
    return Winsock.shutdown(socket, how);
}

int32_t TIdStackWinsock::SockLastError() {
    return Winsock.WSAGetLastError();
}

void TIdStackWinsock::SockPeerName(TIdStackSocketHandle socket, int& family, std::string& ip,
                                   int32_t& port) {
    ReadSocketName(Winsock.getpeername, socket, family, ip, port);
}

void TIdStackWinsock::SockLocalName(TIdStackSocketHandle socket, int& family, std::string& ip,
                                    int32_t& port) {
    ReadSocketName(Winsock.getsockname, socket, family, ip, port);
}

void TIdStackWinsock::ReadSocketName(TNameEntry entry, TIdStackSocketHandle socket, int& family,
                                     std::string& ip, int32_t& port) {
    TSockAddrIn record{};
    int length = sizeof record;
    CheckSocketResult(entry(socket, &record, &length));
    family = record.sin_family;
    ip = FormatDottedAddress(BytesOf(record.sin_addr));
    port = NetToHostShort(record.sin_port);
}

std::string TIdStackWinsock::FormatDottedAddress(const TIdIPv4Bytes& address) {
    return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
           std::to_string(address[2]) + "." + std::to_string(address[3]);
}

// Text after a fourth dot is ignored; a part that is no integer raises
// EConvertError; each byte is the low 8 bits of its part.
TIdIPv4Bytes TIdStackWinsock::ParseDottedAddress(const std::string& text) {
    std::string rest = text;
    TIdIPv4Bytes bytes{};
    for (uint8_t& byte : bytes)
        byte = static_cast<uint8_t>(StrToInt(SplitAtDelimiter(rest, ".", true)) & 0xFF);
    return bytes;
}

void TIdStackWinsock::SockSetLastError(int32_t code) {
    Winsock.WSASetLastError(code);
}

bool TIdStackWinsock::SockTransmitFile(TIdStackSocketHandle socket, THandle file) {
    return Winsock.TransmitFile != nullptr &&
           Winsock.TransmitFile(socket, file, 0, 0, nullptr, nullptr, 0) != 0;
}

bool TIdStackWinsock::SockShutdownWakesBlockedCalls() {
    return ShutdownWakesBlockedCalls;
}

TIdStack* TIdStack::CreateDefaultStack() {
    return new TIdStackWinsock();
}
