// The fixed operations of the socket stack: error checks, socket creation and
// the dotted-address rules shared by every stack.
#include "net/stack/IdStack.h"

#include <algorithm>
#include <cstring>

#include "net/stack/IdException.h"
#include "net/stack/SplitAtDelimiter.h"
#include "runtime/IntConversion.h"

TIdStack* GlobalStack = nullptr;

namespace {

// ASCII folding is exact here: no other byte of the code page folds to a
// letter of "localhost".
bool IsLocalHostName(const std::string& host) {
    static const std::string LocalHost = "localhost";
    return std::equal(
        host.begin(), host.end(), LocalHost.begin(), LocalHost.end(),
        [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

} // namespace

TIdStack::~TIdStack() = default;

bool TIdStack::CheckSocketResult(int result, std::initializer_list<int32_t> tolerated) {
    if (result != IdSocketError) return false;
    const int32_t code = SockLastError();
    if (std::find(tolerated.begin(), tolerated.end(), code) != tolerated.end()) return true;
    RaiseSocketFailure(code);
}

void TIdStack::RaiseSocketFailure(int32_t code) {
    throw EIdSocketError(code, SocketErrorText(code));
}

TIdStackSocketHandle TIdStack::CreateSocket(int type, int protocol) {
    const TIdStackSocketHandle socket = SockOpen(Id_PF_INET, type, protocol);
    if (socket == IdInvalidSocket) throw EIdInvalidSocket();
    return socket;
}

std::string TIdStack::ResolveToDotted(const std::string& host) {
    if (IsLocalHostName(host)) return "127.0.0.1";
    if (IsDottedAddress(host)) return host;
    return LookupHostAddress(host);
}

// Four parts cut at the first three dots, the last taking what remains (dots
// included); each must be an integer of 0 to 255 in the shared conversion, so
// "010.0.0.255" and " 1.2.3.4" pass while "1.2.3.4.5" does not.
bool TIdStack::IsDottedAddress(const std::string& text) {
    std::string rest = text;
    for (int part = 0; part < 4; ++part) {
        const std::string piece = part < 3 ? SplitAtDelimiter(rest, ".", true) : rest;
        int32_t value = 0;
        if (!TryStrToInt(piece, value) || value < 0 || value > 255) return false;
    }
    return true;
}

uint32_t TIdStack::DottedAddressValue(const std::string& text) {
    const TIdIPv4Bytes bytes = ParseDottedAddress(text);
    uint32_t value;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}
