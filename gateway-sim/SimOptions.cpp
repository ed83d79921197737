// Command-line options of bq-gateway-sim.
#include "gateway-sim/SimOptions.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

#include <charconv>
#include <string_view>

namespace {

constexpr unsigned MaxDelayMs = 3'600'000;
constexpr size_t MaxGatewayLength = 16;

bool ParseUnsigned(std::string_view text, unsigned long long max, unsigned long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value <= max;
}

// A gateway address is one token of printable ASCII: it is matched against
// the second token of each command line.
bool ValidGateway(const std::string& gateway) {
    if (gateway.empty() || gateway.size() > MaxGatewayLength) return false;
    for (const char c : gateway) {
        if (c <= ' ' || c >= 0x7F) return false;
    }
    return true;
}

bool ValidIPv4(const std::string& address) {
    in_addr parsed{};
    return inet_pton(AF_INET, address.c_str(), &parsed) == 1;
}

} // namespace

bool ParseSimOptions(int argc, const char* const* argv, TSimOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") {
            options.Help = true;
            continue;
        }
        if (name == "--telnet") {
            options.Telnet = true;
            continue;
        }
        if (name == "--echo") {
            options.Echo = true;
            continue;
        }
        if (name == "--garbage") {
            options.Garbage = true;
            continue;
        }
        if (name == "--ignore-writes") {
            options.IgnoreWrites = true;
            continue;
        }
        const bool takesValue = name == "--listen" || name == "--port" || name == "--gateway" ||
                                name == "--split" || name == "--delay-ms" ||
                                name == "--close-after";
        if (!takesValue) {
            error = "unknown option " + std::string(name) + " (see --help)";
            return false;
        }
        if (i + 1 >= argc) {
            error = "option " + std::string(name) + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        unsigned long long number = 0;
        bool valid = true;
        if (name == "--listen") {
            valid = ValidIPv4(value);
            options.Listen = value;
        } else if (name == "--gateway") {
            valid = ValidGateway(value);
            options.Gateway = value;
        } else if (name == "--port") {
            valid = ParseUnsigned(value, 65535, number);
            options.Port = static_cast<uint16_t>(number);
        } else if (name == "--split") {
            valid = ParseUnsigned(value, 65536, number) && number > 0;
            options.Split = static_cast<size_t>(number);
        } else if (name == "--delay-ms") {
            valid = ParseUnsigned(value, MaxDelayMs, number);
            options.DelayMs = static_cast<unsigned>(number);
        } else {
            valid = ParseUnsigned(value, 1'000'000, number) && number > 0;
            options.CloseAfter = static_cast<unsigned>(number);
        }
        if (!valid) {
            error = "invalid value '" + value + "' for " + std::string(name);
            return false;
        }
    }
    return true;
}

std::string SimHelpText() {
    return R"(Usage: bq-gateway-sim [options]

A gateway of the bq command language on TCP, for testing bqTest without
hardware. It keeps one device memory shared by all clients and answers
  < G GET_MEM D      with  > G MEM D <data bytes>
  < G SET_MEM D V    with  > G OK      (the memory takes V)
  < G RESET          with  a banner
Lines end in CR, CR LF or LF. Empty lines and lines for another gateway are
ignored; anything else gets "> G ERROR <reason>". Received lines and answers
are logged on standard error.

Options:
  --listen ADDR      IPv4 address to listen on (default 127.0.0.1)
  --port P           TCP port (default 5556); 0 picks a free port. The port
                     is printed as "listening on ADDR:PORT" on standard output
  --gateway G        gateway address answered to (default 2001)
  --telnet           speak Telnet: ask DO TERMINAL-TYPE, offer WILL
                     SUPPRESS-GO-AHEAD (and WILL ECHO with --echo), strip the
                     client's commands and log its terminal type
                     (default: plain text, every byte is data)
  --echo             echo typed characters like a terminal server; the line
                     end of an empty line is not echoed, so a client that
                     answers every line with a CR cannot start a ping-pong
fault injection:
  --split N          send each answer in pieces of N bytes, one send each
  --delay-ms MS      send each answer MS milliseconds after its command
  --close-after N    close a client's connection after its Nth line
                     (answered first)
  --garbage          send a line of binary bytes before each answer
  --ignore-writes    answer SET_MEM with OK but keep the memory unchanged
  --help             show this text
)";
}
