// Start-up: from the program's start to its window shown, for bqTest's own
// start-up code beside an empty Qt window. Each start is a process of its own,
// the two kinds alternating; the parent takes the time before it spawns the
// child, the child the time when its message loop first turns after show().
//   bench_startup [STARTS]     STARTS of each kind (default 20), medians printed
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/Startup.h"

extern char** environ;

namespace {

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// In the child: prints the milliseconds since `started` and ends the loop.
void Shown(long long started) {
    std::printf("%.3f\n", static_cast<double>(NowNs() - started) / 1e6);
    std::fflush(stdout);
    QApplication::quit();
}

int Child(const char* kind, long long started, int argc, char* argv[]) {
    if (std::strcmp(kind, "window") == 0)
        return RunApplication(argc, argv, [started](TForm1&) { Shown(started); });
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    QTimer::singleShot(0, &window, [started] { Shown(started); });
    return QApplication::exec();
}

// One start of `kind`: its milliseconds, or a negative number when it failed.
double Start(const char* self, const char* kind) {
    int out[2];
    if (pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string started = std::to_string(NowNs());
    std::vector<char*> args = {const_cast<char*>(self), const_cast<char*>("--child"),
                               const_cast<char*>(kind), const_cast<char*>(started.c_str()),
                               nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[64];
    for (ssize_t n; spawned == 0 && (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || status != 0 || text.empty()) return -1;
    return std::atof(text.c_str());
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        int childArgc = 1;
        return Child(argv[2], std::atoll(argv[3]), childArgc, argv);
    }
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::vector<double> empty, window;
    for (int i = 0; i < starts; ++i) {
        for (const char* kind : {"empty", "window"}) {
            const double ms = Start(argv[0], kind);
            if (ms < 0) {
                std::fprintf(stderr, "bench_startup: the %s start failed\n", kind);
                return 1;
            }
            (std::strcmp(kind, "empty") == 0 ? empty : window).push_back(ms);
        }
    }
    std::sort(empty.begin(), empty.end());
    std::sort(window.begin(), window.end());
    std::printf("empty Qt window  median %7.1f ms  (%.1f-%.1f)\n", Median(empty), empty.front(),
                empty.back());
    std::printf("bqTest window    median %7.1f ms  (%.1f-%.1f)\n", Median(window), window.front(),
                window.back());
    std::printf("ratio            %.2f\n", Median(window) / Median(empty));
    return 0;
}
