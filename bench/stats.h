#pragma once

#include <algorithm>
#include <vector>

namespace zelvo::bench {

// Median of the samples: the middle one, or the mean of the two middle ones.
inline double median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

}  // namespace zelvo::bench
