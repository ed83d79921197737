// Replies of line-based request/reply protocols: "250-..." continuation
// lines up to "250 ...", "+OK"/"-ERR" answers, and the allowed-code check.
#include <algorithm>
#include <cctype>

#include "net/stack/IdException.h"
#include "net/tcp/IdTCPConnection.h"
#include "runtime/IntConversion.h"

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) ==
                      std::toupper(static_cast<unsigned char>(b));
           });
}

int16_t ReplyCodeOf(const std::string& line) {
    if (StartsWithNoCase(line, "+OK")) return 1;
    if (StartsWithNoCase(line, "-ERR")) return 0;
    int32_t code = 0;
    if (!TryStrToInt(line.substr(0, 3), code)) return 0;
    return static_cast<int16_t>(code);
}

} // namespace

int16_t TIdTCPConnection::ReadReply(const std::vector<int16_t>& allowed) {
    ReplyLines.clear();
    ReplyLines.push_back(ReadNonEmptyLine());
    const std::string& first = ReplyLines.front();
    if (first.size() > 3 && first[3] == '-') {
        const std::string endMarker = first.substr(0, 3) + " ";
        for (;;) {
            ReplyLines.push_back(ReadNonEmptyLine());
            const std::string& line = ReplyLines.back();
            if (line.size() < 4 || StartsWithNoCase(line, endMarker)) break;
        }
    }
    LastReplyCode = ReplyCodeOf(LastReplyLine());
    return CheckReplyCode(LastReplyCode, allowed);
}

int16_t TIdTCPConnection::CheckReplyCode(int16_t code, const std::vector<int16_t>& allowed) {
    if (!allowed.empty() && std::find(allowed.begin(), allowed.end(), code) == allowed.end())
        RaiseReplyError();
    return code;
}

void TIdTCPConnection::RaiseReplyError() {
    throw EIdProtocolReplyError(LastReplyCode, LastReplyLine());
}

int16_t TIdTCPConnection::SendAndReadReply(const std::string& line,
                                           const std::vector<int16_t>& allowed) {
    if (!line.empty()) WriteLine(line);
    return ReadReply(allowed);
}

std::string TIdTCPConnection::LastReplyLine() const {
    return ReplyLines.empty() ? std::string() : ReplyLines.back();
}
