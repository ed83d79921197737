// bqTest's command line: --help and --version, else the window.
#include <cstdio>
#include <string_view>

#include "app/Startup.h"
#include "runtime/Version.h"

namespace {

constexpr const char* UsageText =
    "Usage: bqTest [Qt options]\n"
    "\n"
    "Opens the window that reads, writes and resets the devices of a gateway\n"
    "over Telnet. Qt's own options (-platform, -style, ...) are accepted.\n"
    "\n"
    "  --help     show this text\n"
    "  --version  print \"bqTest VERSION\"\n";

} // namespace

int main(int argc, char* argv[]) {
    // Answered before the application exists, so they need no display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--version") {
            std::printf("bqTest %s\n", ProductVersion());
            return 0;
        }
        if (option == "--help") {
            std::fputs(UsageText, stdout);
            return 0;
        }
    }
    return RunApplication(argc, argv);
}
