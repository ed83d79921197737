// Command-line options of bq-gateway-sim, with CLI11.
#include "gateway-sim/SimOptions.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

#include <CLI/CLI.hpp>

#include <charconv>
#include <ostream>
#include <string_view>

#include "runtime/Version.h"

namespace {

constexpr unsigned MaxDelayMs = 3'600'000;
constexpr size_t MaxGatewayLength = 16;

const char* const Description =
    R"(bq-gateway-sim: a gateway of the bq command language on TCP, for testing
bqTest and bqctl without hardware. It keeps one device memory shared by all
clients and answers
  < G GET_MEM D      with  > G MEM D <data bytes>
  < G SET_MEM D V    with  > G OK      (the memory takes V)
  < G RESET          with  a banner
Lines end in CR, CR LF or LF. Empty lines and lines for another gateway are
ignored; anything else gets "> G ERROR <reason>". Received lines and answers
are logged on standard error, each after its UTC time.)";

const char* const Footer = R"(Once listening it prints "listening on ADDR:PORT" on standard output.
Exit status: 0 after a clean stop (SIGTERM, SIGINT), 1 when it cannot listen,
2 for an unknown option or a bad value.)";

// The values as typed, checked after parsing so that every message has the
// same form: "--port '65536': a number from 0 to 65535 expected".
struct TTyped {
    std::string Listen = "127.0.0.1", Port = "5556", Gateway = "2001";
    std::string Split, DelayMs, CloseAfter, IdleTimeout;
};

bool ParseNumber(std::string_view text, unsigned long long min, unsigned long long max,
                 unsigned long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value >= min && value <= max;
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

// A number option given on the command line, within [min, max].
template <typename T>
bool TakeNumber(const std::string& name, const std::string& text, unsigned long long min,
                unsigned long long max, T& value, std::string& error) {
    if (text.empty()) return true; // not given: the default stays
    unsigned long long number = 0;
    if (!ParseNumber(text, min, max, number)) {
        error = name + " '" + text + "': a number from " + std::to_string(min) + " to " +
                std::to_string(max) + " expected";
        return false;
    }
    value = static_cast<T>(number);
    return true;
}

// Seconds, fractions allowed, from 0 (never) to a day.
bool TakeSeconds(const std::string& name, const std::string& text, std::chrono::milliseconds& value,
                 std::string& error) {
    if (text.empty()) return true;
    double seconds = -1;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, seconds);
    if (ec != std::errc() || ptr != end || !(seconds >= 0 && seconds <= 86'400)) {
        error = name + " '" + text + "': seconds from 0 (never) to 86400 expected";
        return false;
    }
    value = std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
    return true;
}

bool CheckValues(const TTyped& typed, TSimOptions& options, std::string& error) {
    if (!ValidIPv4(typed.Listen)) {
        error = "--listen '" + typed.Listen + "': an IPv4 address expected";
        return false;
    }
    options.Listen = typed.Listen;
    if (!ValidGateway(typed.Gateway)) {
        error = "--gateway '" + typed.Gateway + "': one word of printable ASCII, at most " +
                std::to_string(MaxGatewayLength) + " characters expected";
        return false;
    }
    options.Gateway = typed.Gateway;
    return TakeNumber("--port", typed.Port, 0, 65535, options.Port, error) &&
           TakeNumber("--split", typed.Split, 1, 65536, options.Split, error) &&
           TakeNumber("--delay-ms", typed.DelayMs, 0, MaxDelayMs, options.DelayMs, error) &&
           TakeNumber("--close-after", typed.CloseAfter, 1, 1'000'000, options.CloseAfter, error) &&
           TakeSeconds("--idle-timeout", typed.IdleTimeout, options.IdleLimit, error);
}

void AddOptions(CLI::App& app, TTyped& typed, TSimOptions& options) {
    app.add_option("--listen", typed.Listen, "IPv4 address to listen on")
        ->type_name("ADDR")
        ->capture_default_str();
    app.add_option("--port", typed.Port, "TCP port; 0 picks a free one")
        ->type_name("PORT")
        ->capture_default_str();
    app.add_option("--gateway", typed.Gateway, "gateway address answered to")
        ->type_name("G")
        ->capture_default_str();
    app.add_flag("--telnet", options.Telnet,
                 "speak Telnet (DO TERMINAL-TYPE, WILL SUPPRESS-GO-AHEAD); without it every "
                 "byte is data");
    app.add_flag("--echo", options.Echo,
                 "echo typed characters like a terminal server (not an empty line's end)");
    app.add_option("--idle-timeout", typed.IdleTimeout,
                   "drop a client silent for this long, 0 never (default 300); when all 64 "
                   "places are taken, the longest-idle client makes room for a new one")
        ->type_name("SECONDS");
    const std::string faults = "Fault injection";
    app.add_option("--split", typed.Split, "send each answer in pieces of N bytes")
        ->type_name("N")
        ->group(faults);
    app.add_option("--delay-ms", typed.DelayMs,
                   "send each answer MS milliseconds after its command")
        ->type_name("MS")
        ->group(faults);
    app.add_option("--close-after", typed.CloseAfter,
                   "close a connection after its Nth line, answered")
        ->type_name("N")
        ->group(faults);
    app.add_flag("--garbage", options.Garbage, "send a line of binary bytes before each answer")
        ->group(faults);
    app.add_flag("--ignore-writes", options.IgnoreWrites,
                 "answer SET_MEM with OK but keep the memory unchanged")
        ->group(faults);
}

// CLI11's own wording, in the form of the rest of the messages.
std::string ParseErrorText(const CLI::ParseError& e, const CLI::App& app) {
    const std::vector<std::string> extra = app.remaining();
    if (!extra.empty()) return "unknown option or argument '" + extra.front() + "' (see --help)";
    const std::string what = e.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) && what.rfind("--", 0) == 0)
        return what.substr(0, what.find(':')) + " needs a value (see --help)";
    return what + " (see --help)";
}

} // namespace

int ParseSimOptions(int argc, const char* const* argv, TSimOptions& options, std::ostream& out,
                    std::ostream& err) {
    CLI::App app(Description, "bq-gateway-sim");
    app.footer(Footer);
    app.set_help_flag("-h,--help", "show this text and exit");
    app.set_version_flag("--version", std::string("bq-gateway-sim ") + ProductVersion(),
                         "print \"bq-gateway-sim VERSION\" and exit");
    TTyped typed;
    AddOptions(app, typed, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);
        err << "bq-gateway-sim: " << ParseErrorText(e, app) << "\n";
        return 2;
    }
    std::string error;
    if (!CheckValues(typed, options, error)) {
        err << "bq-gateway-sim: " << error << "\n";
        return 2;
    }
    return -1;
}
