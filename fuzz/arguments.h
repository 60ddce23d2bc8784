#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A fuzzer's input as a command line: the program's name, then the input split at NUL bytes.
inline std::vector<std::string> argumentsOf(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    return args;
}
