#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// Order statistics of a sample; 0 for an empty one.
inline double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t index =
        static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}
