// Medians and their printing, shared by the benchmark programs.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace tarvex::bench {

using Clock = std::chrono::steady_clock;

inline double millisecondsSince(Clock::time_point begin) {
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

struct Figures {
    double median;
    double low;
    double high;
};

inline Figures figuresOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    const double median = values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
    return {median, values.front(), values.back()};
}

inline void printFigures(const char* label, const Figures& figures) {
    std::printf("  %-22s median %8.2f ms  (min %.2f, max %.2f)\n", label, figures.median,
                figures.low, figures.high);
}

inline void printRatio(const char* label, double ratio, double target) {
    std::printf("  %-22s %.2f (target <= %.2f): %s\n", label, ratio, target,
                ratio <= target ? "met" : "NOT met");
}

} // namespace tarvex::bench
