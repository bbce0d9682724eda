#pragma once

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

// Figures of the running process from /proc, shared by the benchmark and the hello-world.
namespace kelvora::bench {

// Seconds since boot at which this process started, from /proc/self/stat (field 22, in clock
// ticks); the command name in field 2 may hold spaces, so fields are counted after its ')'.
inline double processStartSeconds() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    for (int index = 3; index <= 22 && fields >> field; ++index) {
        if (index == 22) {
            return std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
        }
    }
    return -1;
}

// The clock that /proc's start time counts on.
inline long long nanosecondsSinceBoot() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

inline double secondsSinceBoot() {
    return static_cast<double>(nanosecondsSinceBoot()) / 1e9;
}

// The environment variable through which the benchmark hands its child the moment it started
// it, in whole nanoseconds since boot (an integer, so the child's locale cannot misread it):
// /proc's start time counts in 10 ms clock ticks, too coarse for a 20 ms start-up.
inline const char* const kLaunchVariable = "KELVORA_BENCH_LAUNCHED_AT";

inline double millisecondsSinceProcessStart() {
    if (const char* launched = std::getenv(kLaunchVariable)) {
        char* end = nullptr;
        const long long at = std::strtoll(launched, &end, 10);
        if (end != launched && *end == '\0' && at > 0) {
            return static_cast<double>(nanosecondsSinceBoot() - at) / 1e6;
        }
    }
    return (secondsSinceBoot() - processStartSeconds()) * 1000.0;
}

// A "Name:   value kB" line of /proc/self/status (VmRSS, VmHWM), -1 when missing.
inline long statusKilobytes(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, name.size() + 1, name + ":") == 0) {
            return std::atol(line.c_str() + name.size() + 1);
        }
    }
    return -1;
}

}  // namespace kelvora::bench
