#pragma once

// What the benchmarks measure with: the middle of several runs, the processor time this process
// has used, and its memory as the system counts it.

#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// The median of `v`; 0 when it is empty.
inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Processor time of the whole process (all its threads), in seconds.
inline double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// A line of /proc/self/status in kB ("VmRSS:", "VmHWM:"); 0 when it is not there.
inline long statusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::string(key).size());
    return 0;
}
