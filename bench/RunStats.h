#pragma once
// The median, minimum and maximum of a benchmark's repeated runs.
#include <algorithm>
#include <cstddef>
#include <vector>

struct SStats {
    double dMedian = 0, dMin = 0, dMax = 0;
};

inline SStats StatsOf(std::vector<double> values) {
    if (values.empty()) {
        return {};
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}
