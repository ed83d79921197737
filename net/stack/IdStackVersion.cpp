// The start-up report of the sockets library, read from its WSADATA record.
#include "net/stack/IdStackVersion.h"

#include <cstring>

namespace {

// The text of a fixed character field, up to its first zero byte.
template <size_t N> std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

} // namespace

TIdStackVersionWinsock::TIdStackVersionWinsock(const TWSAData& report) {
    MaxUdpDatagramSize = report.iMaxUdpDg;
    MaxSocketCount = report.iMaxSockets;
    HighestVersion = report.wHighVersion;
    StartedVersion = report.wVersion;
    DescriptionText = FieldText(report.szDescription);
    StatusText = FieldText(report.szSystemStatus);
    StackName = "Winsock stack";
}
