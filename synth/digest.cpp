#include "synth/digest.h"

#include <cinttypes>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sonaveil::synth {

std::optional<std::uint64_t> fileDigest(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::uint64_t h = 0xcbf29ce484222325ull;
    char buffer[1 << 16];
    while (in) {
        in.read(buffer, sizeof buffer);
        const std::streamsize got = in.gcount();
        for (std::streamsize i = 0; i < got; ++i) {
            h ^= std::uint8_t(buffer[i]);
            h *= 0x100000001b3ull;
        }
    }
    if (in.bad())
        return std::nullopt;
    return h;
}

std::map<std::string, std::uint64_t> readDigests(const std::string& digestFile)
{
    std::map<std::string, std::uint64_t> digests;
    std::ifstream in(digestFile);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string path, hex;
        if (!(fields >> path >> hex) || hex.size() != 16)
            continue;
        char* end = nullptr;
        const unsigned long long value = std::strtoull(hex.c_str(), &end, 16);
        if (end && *end == '\0')
            digests[path] = value;
    }
    return digests;
}

std::string writeDigests(const std::string& digestFile, const std::map<std::string, std::uint64_t>& digests)
{
    namespace fs = std::filesystem;
    const std::string temp = digestFile + ".part";
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const auto& [path, digest] : digests) {
            char hex[17];
            std::snprintf(hex, sizeof hex, "%016" PRIx64, digest);
            out << path << ' ' << hex << '\n';
        }
        out.flush();
        if (!out) {
            std::error_code ec;
            fs::remove(temp, ec);
            return digestFile + ": could not be written";
        }
    }
    std::error_code ec;
    fs::rename(temp, digestFile, ec);
    return ec ? digestFile + ": " + ec.message() : std::string();
}

} // namespace sonaveil::synth
