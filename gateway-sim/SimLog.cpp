// The simulator's log: one line per event on standard error.
#include "gateway-sim/SimLog.h"

#include <cstdio>

namespace {

// At least `width` digits, zero-padded.
std::string Digits(long long value, int width) {
    std::string text = std::to_string(value);
    return std::string(text.size() < static_cast<size_t>(width) ? width - text.size() : 0, '0') +
           text;
}

} // namespace

std::string SimLogTime(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const auto day = floor<days>(time);
    const year_month_day date(day);
    const hh_mm_ss<milliseconds> clock(floor<milliseconds>(time - day));
    return Digits(static_cast<int>(date.year()), 4) + "-" +
           Digits(static_cast<unsigned>(date.month()), 2) + "-" +
           Digits(static_cast<unsigned>(date.day()), 2) + "T" + Digits(clock.hours().count(), 2) +
           ":" + Digits(clock.minutes().count(), 2) + ":" + Digits(clock.seconds().count(), 2) +
           "." + Digits(clock.subseconds().count(), 3) + "Z ";
}

void SimLog(const std::string& line) {
    // One write per line, so that lines of a log read while it grows are
    // whole; flushed, as Windows buffers standard error when it is a file.
    const std::string entry = SimLogTime(std::chrono::system_clock::now()) + line + "\n";
    std::fwrite(entry.data(), 1, entry.size(), stderr);
    std::fflush(stderr);
}
