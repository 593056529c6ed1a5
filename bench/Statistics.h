#pragma once

#include <algorithm>
#include <chrono>
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

}  // namespace tovask::bench
