// The resolver entries over getaddrinfo/getnameinfo, IPv4 only. Both are safe
// while other threads use sockets or resolve; the classic hostent-returning
// calls are not, so each thread keeps its own result record here.
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "net/stack/posix/PosixErrors.h"
#include "net/stack/posix/PosixSockets.h"
#include "net/stack/winsock/WinsockErrors.h"

namespace {

// A null-ended list of C strings that owns its texts.
class TTextList {
public:
    void Assign(std::vector<std::string> texts) {
        Texts = std::move(texts);
        Pointers.clear();
        for (std::string& text : Texts)
            Pointers.push_back(text.data());
        Pointers.push_back(nullptr);
    }
    char** Data() { return Pointers.data(); }

private:
    std::vector<std::string> Texts;
    std::vector<char*> Pointers;
};

struct THostRecord {
    std::string Name;
    TTextList Aliases;
    TTextList Addresses; // each text holds the 4 address bytes
    THostEnt Entry{};

    THostEnt* Fill(std::string name, std::vector<std::string> addresses) {
        Name = std::move(name);
        Aliases.Assign({});
        Addresses.Assign(std::move(addresses));
        Entry = THostEnt{Name.data(), Aliases.Data(), Id_PF_INET, 4, Addresses.Data()};
        return &Entry;
    }
};

struct TServiceRecord {
    std::string Name;
    std::string Protocol;
    TTextList Aliases;
    TServEnt Entry{};
};

thread_local THostRecord HostRecord;
thread_local TServiceRecord ServiceRecord;
thread_local char DottedText[16];

std::string AddressBytes(uint32_t networkOrder) {
    return std::string(reinterpret_cast<const char*>(&networkOrder), 4);
}

THostEnt* ResolverFailure(int eaiValue) {
    SetLastSocketError(WinsockCodeOfResolverError(eaiValue, errno));
    return nullptr;
}

TServEnt* FillService(const servent& found) {
    TServiceRecord& record = ServiceRecord;
    record.Name = found.s_name;
    record.Protocol = found.s_proto != nullptr ? found.s_proto : "";
    std::vector<std::string> aliases;
    for (char** alias = found.s_aliases; alias != nullptr && *alias != nullptr; ++alias)
        aliases.emplace_back(*alias);
    record.Aliases.Assign(std::move(aliases));
    record.Entry = TServEnt{record.Name.data(), record.Aliases.Data(),
                            static_cast<int16_t>(found.s_port), record.Protocol.data()};
    return &record.Entry;
}

using TServiceCall = int (*)(const void* key, const char* proto, servent* result, char* buffer,
                             size_t size, servent** found);

// The services database gives "not found" without an error number; Windows
// reports WSANO_DATA for it.
TServEnt* LookupService(TServiceCall call, const void* key, const char* proto) {
    std::vector<char> buffer(4096);
    servent result{};
    servent* found = nullptr;
    int error;
    while ((error = call(key, proto, &result, buffer.data(), buffer.size(), &found)) == ERANGE &&
           buffer.size() < 1 << 20)
        buffer.resize(buffer.size() * 2);
    if (error != 0 || found == nullptr) {
        SetLastSocketError(error == 0 ? Id_WSANO_DATA : WinsockCodeOfErrno(error));
        return nullptr;
    }
    return FillService(*found);
}

} // namespace

THostEnt* PosixGetHostByName(const char* name) {
    if (name == nullptr) return ResolverFailure(EAI_NONAME);
    std::string host = name;
    if (host.empty()) { // Windows answers the empty name with the local host
        char local[256] = {};
        if (::gethostname(local, sizeof local - 1) < 0) return ResolverFailure(EAI_FAIL);
        host = local;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM; // one answer per address, not one per socket type
    hints.ai_flags = AI_CANONNAME;
    addrinfo* answers = nullptr;
    const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &answers);
    if (result != 0) return ResolverFailure(result);

    std::vector<std::string> addresses;
    for (const addrinfo* answer = answers; answer != nullptr; answer = answer->ai_next) {
        sockaddr_in address;
        std::memcpy(&address, answer->ai_addr, sizeof address);
        std::string bytes = AddressBytes(address.sin_addr.s_addr);
        if (std::find(addresses.begin(), addresses.end(), bytes) == addresses.end())
            addresses.push_back(std::move(bytes));
    }
    std::string official = answers->ai_canonname != nullptr ? answers->ai_canonname : host;
    ::freeaddrinfo(answers);
    return HostRecord.Fill(std::move(official), std::move(addresses));
}

THostEnt* PosixGetHostByAddr(const char* addr, int len, int type) {
    if (type != Id_PF_INET) {
        SetLastSocketError(Id_WSAEAFNOSUPPORT);
        return nullptr;
    }
    if (addr == nullptr || len < 4) {
        SetLastSocketError(Id_WSAEFAULT);
        return nullptr;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    std::memcpy(&address.sin_addr.s_addr, addr, 4);
    char name[NI_MAXHOST] = {};
    const int result = ::getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address,
                                     name, sizeof name, nullptr, 0, NI_NAMEREQD);
    if (result != 0) return ResolverFailure(result);
    return HostRecord.Fill(name, {std::string(addr, 4)});
}

int PosixGetHostName(char* name, int namelen) {
    if (name == nullptr || namelen <= 0) return FailWithCode(Id_WSAEFAULT);
    char local[256] = {};
    if (::gethostname(local, sizeof local - 1) < 0) return FailWithErrno();
    const size_t length = std::strlen(local);
    if (length + 1 > static_cast<size_t>(namelen)) return FailWithCode(Id_WSAEFAULT);
    std::memcpy(name, local, length + 1);
    return 0;
}

TServEnt* PosixGetServByName(const char* name, const char* proto) {
    if (name == nullptr) {
        SetLastSocketError(Id_WSAEFAULT);
        return nullptr;
    }
    return LookupService(
        [](const void* key, const char* protocol, servent* result, char* buffer, size_t size,
           servent** found) {
            return ::getservbyname_r(static_cast<const char*>(key), protocol, result, buffer, size,
                                     found);
        },
        name, proto);
}

TServEnt* PosixGetServByPort(int port, const char* proto) {
    return LookupService(
        [](const void* key, const char* protocol, servent* result, char* buffer, size_t size,
           servent** found) {
            return ::getservbyport_r(*static_cast<const int*>(key), protocol, result, buffer, size,
                                     found);
        },
        &port, proto);
}

uint32_t PosixInetAddr(const char* cp) {
    return cp == nullptr ? Id_INADDR_NONE : ::inet_addr(cp);
}

char* PosixInetNtoa(TInAddr in) {
    in_addr address{};
    address.s_addr = in.S_addr;
    ::inet_ntop(AF_INET, &address, DottedText, sizeof DottedText);
    return DottedText;
}
