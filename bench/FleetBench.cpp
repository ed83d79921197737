// bqctl's fleet "info" over many rows against bq-gateway-sim on loopback,
// beside its floor: a minimal client doing the same exchanges over plain
// sockets (connect, the five read lines typed one character per write with
// Nagle's algorithm on as in the session, the five answers, close), with the
// same number of devices at once, in the same run. Wall time and per-device
// median and 95th percentile for both.
//
// The rows are spread over several simulators, as a fleet spreads over many
// gateways: one simulator serves at most 64 clients and keeps a backlog of
// 16, so 64 sessions at once against a single one measure its accept queue.
//
//   bench_fleet [ROWS [JOBS [SIMULATORS]]]   (default 1000 rows, 64 at once, 8)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "bqctl/Fleet.h"
#include "protocol/CommandLines.h"
#include "protocol/MemoryFields.h"
#include "tests/support/AnswerCollector.h"
#include "tests/support/GatewaySimProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

struct TFigures {
    double WallSeconds = 0;
    std::vector<double> DeviceMs;
    size_t Correct = 0;
};

double At(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()))];
}

// One device over a plain socket; true when all five answers came.
bool PlainDevice(int32_t port, const std::vector<std::string>& lines) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    for (const std::string& line : lines) {
        const std::string typed = line + "\r\n";
        for (size_t i = 0; ok && i < typed.size(); ++i) {
            // CR LF leaves as one write, as the session's plain-peer line end does.
            const size_t count = typed[i] == '\r' ? 2 : 1;
            ok = send(fd, typed.data() + i, count, MSG_NOSIGNAL) == static_cast<ssize_t>(count);
            i += count - 1;
        }
    }
    TAnswerCollector answers("2001");
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    char buffer[4096];
    while (ok && !answers.Complete()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd waiting{fd, POLLIN, 0};
        if (left <= 0 || poll(&waiting, 1, static_cast<int>(left)) != 1) break;
        const ssize_t count = recv(fd, buffer, sizeof buffer, 0);
        if (count <= 0) break;
        answers.Add(std::string(buffer, static_cast<size_t>(count)));
    }
    close(fd);
    return answers.Complete();
}

TFigures RunPlain(const std::vector<int32_t>& ports, int rows, int jobs) {
    std::vector<std::string> lines;
    for (const TMemoryField field : AllMemoryFields)
        lines.push_back(ReadMemoryLine("2001", Descriptor(field)));
    TFigures figures;
    figures.DeviceMs.resize(static_cast<size_t>(rows));
    std::atomic<int> next{0};
    std::atomic<size_t> correct{0};
    const auto started = Clock::now();
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j)
        threads.emplace_back([&] {
            for (int i = next++; i < rows; i = next++) {
                const auto begin = Clock::now();
                correct += PlainDevice(ports[static_cast<size_t>(i) % ports.size()], lines) ? 1 : 0;
                figures.DeviceMs[static_cast<size_t>(i)] =
                    std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    figures.WallSeconds = std::chrono::duration<double>(Clock::now() - started).count();
    figures.Correct = correct;
    return figures;
}

TFigures RunBqctlFleet(const std::vector<int32_t>& ports, int rows, int jobs) {
    std::vector<TInventoryRow> inventory(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        inventory[static_cast<size_t>(i)].Line = i + 2;
        inventory[static_cast<size_t>(i)].Host = "127.0.0.1";
        inventory[static_cast<size_t>(i)].Port = ports[static_cast<size_t>(i) % ports.size()];
        inventory[static_cast<size_t>(i)].Gateway = "2001";
    }
    TFleetOptions options;
    options.Jobs = jobs;
    std::ostringstream out, err;
    const auto started = Clock::now();
    RunFleet(inventory, TCommand{}, TSessionSettings{}, options, out, err);
    TFigures figures;
    figures.WallSeconds = std::chrono::duration<double>(Clock::now() - started).count();
    std::istringstream lines(out.str());
    std::string line;
    while (std::getline(lines, line)) {
        const nlohmann::json row = nlohmann::json::parse(line);
        figures.DeviceMs.push_back(row["ms"].get<double>());
        figures.Correct += row["status"] == 0 && row["result"]["mac"] == "7766554433221100";
    }
    return figures;
}

void Print(const char* name, const TFigures& figures, int rows) {
    std::printf("%-22s wall %6.3f s  per device median %6.2f ms  p95 %7.2f ms  max %7.2f ms  "
                "correct %zu/%d\n",
                name, figures.WallSeconds, At(figures.DeviceMs, 0.5), At(figures.DeviceMs, 0.95),
                At(figures.DeviceMs, 1.0), figures.Correct, rows);
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int jobs = argc > 2 ? std::atoi(argv[2]) : 64;
    const int simulators = argc > 3 ? std::atoi(argv[3]) : 8;
    std::vector<std::unique_ptr<GatewaySimProcess>> sims;
    std::vector<int32_t> ports;
    for (int i = 0; i < simulators; ++i) {
        sims.push_back(std::make_unique<GatewaySimProcess>());
        if (sims.back()->Port() == 0) {
            std::fprintf(stderr, "a gateway simulator did not start\n");
            return 1;
        }
        ports.push_back(sims.back()->Port());
    }
    std::printf("fleet info, %d rows, %d at once, %d simulators\n", rows, jobs, simulators);
    // Alternated, twice, so that neither side always meets the simulators cold.
    bool allCorrect = true;
    for (int round = 1; round <= 2; ++round) {
        const TFigures plain = RunPlain(ports, rows, jobs);
        const TFigures fleet = RunBqctlFleet(ports, rows, jobs);
        Print("plain sockets (floor)", plain, rows);
        Print("bqctl fleet", fleet, rows);
        std::printf("round %d: bqctl / floor: wall %.2fx, median %.2fx\n", round,
                    fleet.WallSeconds / plain.WallSeconds,
                    At(fleet.DeviceMs, 0.5) / At(plain.DeviceMs, 0.5));
        allCorrect = allCorrect && fleet.Correct == static_cast<size_t>(rows) &&
                     plain.Correct == static_cast<size_t>(rows);
    }
    return allCorrect ? 0 : 1;
}
