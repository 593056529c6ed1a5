#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace tovask::bench {

inline double milliseconds(std::chrono::nanoseconds duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

inline double median(std::vector<double> samples) {
    std::ranges::sort(samples);
    const auto middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

// Reading the seeded places bare, as any check that looks at them must: the
// ratio no such check can go below on this machine.
inline void printReadingFloor(double without, const std::function<void()>& readSeeded, int rounds) {
    std::vector<double> runs;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        readSeeded();
        runs.push_back(milliseconds(std::chrono::steady_clock::now() - start));
    }
    const double reading = median(runs);
    std::printf(
        "  reading the seeded places alone: %.1f ms a run, so a ratio of %.2f at the least\n",
        reading, (without + reading) / without);
}

}  // namespace tovask::bench
