#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <utility>
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

// The first and third quartiles: where the middle half of the samples lies.
inline std::pair<double, double> middleHalf(std::vector<double> samples) {
    std::ranges::sort(samples);
    if (samples.empty()) {
        return {0, 0};
    }
    return {samples[samples.size() / 4], samples[(samples.size() * 3) / 4]};
}

inline double timedRun(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return milliseconds(std::chrono::steady_clock::now() - start);
}

// A check timed with the seeded places and without them, and those places
// read bare, as any check that looks at them must, in the same rounds so
// that all three see the same machine. The check without them plus the bare
// reading is the floor no check of those places can go below. The ratio is
// the median of each round's own: a virtual machine's slow spells last
// longer than a round, and a round's three runs share them.
struct AgainstFloor {
    double with = 0;
    double without = 0;
    double reading = 0;
    double ratio = 0;

    double floor() const { return without + reading; }
};

inline AgainstFloor timeAgainstFloor(int rounds, const std::function<void()>& with,
                                     const std::function<void()>& without,
                                     const std::function<void()>& readBare) {
    std::vector<double> withRuns;
    std::vector<double> withoutRuns;
    std::vector<double> readingRuns;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        withRuns.push_back(timedRun(with));
        withoutRuns.push_back(timedRun(without));
        readingRuns.push_back(timedRun(readBare));
        ratios.push_back(withRuns.back() / (withoutRuns.back() + readingRuns.back()));
    }
    return {median(withRuns), median(withoutRuns), median(readingRuns), median(ratios)};
}

inline void printAgainstFloor(const AgainstFloor& times) {
    std::printf(
        "  floor: the check without them %.1f ms + reading the places bare %.1f ms = %.1f ms; "
        "with them %.1f ms; a round's median ratio %.2f times the floor (goal at most 1.25)\n",
        times.without, times.reading, times.floor(), times.with, times.ratio);
}

}  // namespace tovask::bench
