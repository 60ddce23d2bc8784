#include "synth/digest.h"

#include "common/atomicfile.h"
#include "common/regularfile.h"

#include <bit>
#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace sonaveil::synth {

std::optional<std::uint64_t> fileDigest(const std::string& path)
{
    // Never a FIFO or a device: reading one would wait for good.
    const RegularFile in = RegularFile::open(path);
    if (!in)
        return std::nullopt;
    constexpr std::uint64_t kPrime = 0x100000001b3ull;
    // Four lanes, each an FNV-1a over every fourth word: the multiplications do not wait on
    // each other. A word is read little-endian whatever the machine.
    std::uint64_t lane[4] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull, 0x9ce484222325cbf2ull,
                             0x2325cbf29ce48422ull};
    std::uint64_t length = 0;
    std::uint64_t tail = 0xcbf29ce484222325ull;
    alignas(32) unsigned char buffer[1 << 16];
    for (;;) {
        std::size_t got = 0;
        // A full buffer each time but the last, so that only the last read leaves a remainder.
        while (got < sizeof buffer) {
            const ssize_t n = ::read(in.fd(), buffer + got, sizeof buffer - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return std::nullopt;
            if (n == 0)
                break;
            got += std::size_t(n);
        }
        if (got == 0)
            break;
        length += got;
        std::size_t i = 0;
        for (; i + 32 <= got; i += 32)
            for (int k = 0; k < 4; ++k) {
                std::uint64_t word;
                std::memcpy(&word, buffer + i + 8 * std::size_t(k), sizeof word);
                if constexpr (std::endian::native == std::endian::big)
                    word = __builtin_bswap64(word);
                lane[k] = (lane[k] ^ word) * kPrime;
            }
        // Only the file's last read can leave a remainder (a full buffer is a multiple of 32).
        for (; i < got; ++i)
            tail = (tail ^ buffer[i]) * kPrime;
    }
    std::uint64_t h = tail ^ length;
    for (std::uint64_t l : lane)
        h = (h ^ l) * kPrime;
    return h;
}

std::map<std::string, std::uint64_t> readDigests(const std::string& digestFile)
{
    std::map<std::string, std::uint64_t> digests;
    std::istringstream in(readWholeFile(digestFile).value_or(std::string()));
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
