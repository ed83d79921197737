// Received lines (100,000 for the figure) appended to each kind of log
// control in a shown window, one line per hand-over as the reader delivers
// them; the message loop, painting included, gets a turn once per 16 ms.
//   bench_log_control.exe edit|rich|lines [lines] [give-up seconds]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "winview/LineLog.h"
#include "winview/bench/EditLog.h"
#include "winview/bench/RichEditLog.h"

namespace {

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency;
}

double ThreadCpuSeconds() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto seconds = [](FILETIME t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

double PeakMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakPagefileUsage) / (1024.0 * 1024.0);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring kind = argc > 1 ? argv[1] : L"lines";
    const int count = argc > 2 ? _wtoi(argv[2]) : 100000;
    const double giveUp = argc > 3 ? _wtof(argv[3]) : 300.0;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"bqLogBench";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"bqLogBench", L"log bench", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                  480, nullptr, nullptr, windowClass.hInstance, nullptr);
    HFONT font =
        CreateFontW(-10, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
    const RECT place{280, 6, 664, 380};
    std::unique_ptr<TLogControl> log;
    const double memoryBefore = PeakMiB();
    if (kind == L"edit")
        log = std::make_unique<TEditLog>(window, 1, place, font);
    else if (kind == L"rich")
        log = std::make_unique<TRichEditLog>(window, 1, place, font, RGB(0, 128, 0), RGB(0, 0, 0));
    else
        log = std::make_unique<TLineLog>(window, 1, place, font, RGB(0, 128, 0), RGB(0, 0, 0));
    ShowWindow(window, SW_SHOW);
    Pump();

    const std::wstring received[] = {
        L"> 2001 MEM 01 00 08 00 12 34 56 78 9A BC DE F0",
        L"> 2001 MEM 01 04 01 00 05",
        L"> 2001 MEM 84 00 04 00 00 08 00 00",
        L"> 2001 MEM 83 00 02 00 34 12",
        L"> 2001 MEM 87 00 01 00 02",
        L"bq gateway 2001 ready",
    };
    std::vector<double> wall(static_cast<size_t>(count)), cpu(static_cast<size_t>(count));
    const double start = Now();
    double nextTurn = start + 0.016;
    int done = 0, turns = 0;
    double pumping = 0; // seconds in the message loop's turns, painting included
    for (; done < count; ++done) {
        const std::wstring_view line = received[done % 6];
        const double wallBefore = Now(), cpuBefore = ThreadCpuSeconds();
        log->AppendLines({line});
        wall[static_cast<size_t>(done)] = Now() - wallBefore;
        cpu[static_cast<size_t>(done)] = ThreadCpuSeconds() - cpuBefore;
        if (Now() >= nextTurn) {
            const double pumpStart = Now();
            Pump();
            ++turns;
            pumping += Now() - pumpStart;
            nextTurn = Now() + 0.016;
        }
        if (Now() - start > giveUp) break;
    }
    Pump();
    const double total = Now() - start;
    const auto sum = [&](int from, int to) {
        double s = 0;
        for (int i = std::max(from, 0); i < to; ++i)
            s += wall[static_cast<size_t>(i)];
        return s;
    };
    const double longest = *std::max_element(wall.begin(), wall.begin() + std::max(done, 1));
    const double longestCpu = *std::max_element(cpu.begin(), cpu.begin() + std::max(done, 1));
    const long over =
        std::count_if(wall.begin(), wall.begin() + done, [](double t) { return t > 0.05; });
    const size_t shown = log->Lines().size();
    std::printf("%ls: %d lines%s in %.2f s; first/last 1,000: %.0f / %.0f ms; longest hand-over "
                "%.1f ms wall, %.1f ms CPU; over 50 ms: %ld; lines shown %zu; peak commit %.0f MiB "
                "(%.0f before the log); %d turns of the message loop, %.2f s in them\n",
                kind.c_str(), done, done < count ? " (gave up)" : "", total, sum(0, 1000) * 1e3,
                sum(done - 1000, done) * 1e3, longest * 1e3, longestCpu * 1e3, over, shown,
                PeakMiB(), memoryBefore, turns, pumping);
    DestroyWindow(window);
    return done == count && shown == static_cast<size_t>(count) ? 0 : 1;
}
