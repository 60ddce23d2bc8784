#include "player/core/endlesssounds.h"

#include "player/core/catalogue.h"
#include "synth/digest.h"
#include "synth/endless.h"

#include <chrono>

namespace sonaveil::player {

namespace {

std::uint64_t splitMix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

} // namespace

EndlessSounds::EndlessSounds()
    : EndlessSounds(&synth::makeEndless)
{
}

EndlessSounds::EndlessSounds(Factory factory)
    : m_factory(std::move(factory))
{
}

void EndlessSounds::setProgramFolder(const std::filesystem::path& folder)
{
    m_folder = folder;
    m_digests = synth::readDigests((folder / synth::kDigestFile).string());
    m_shipped.fill(std::nullopt);
}

bool EndlessSounds::shipped(int number)
{
    if (number < 1 || number > kSoundCount || m_folder.empty())
        return false;
    std::optional<bool>& known = m_shipped[std::size_t(number)];
    if (!known) {
        const std::string file(catalogue::sound(number).file);
        const auto recorded = m_digests.find(file);
        const auto digest = recorded == m_digests.end() ? std::nullopt : synth::fileDigest((m_folder / file).string());
        known = digest && *digest == recorded->second;
    }
    return *known;
}

std::uint64_t EndlessSounds::seedFor(std::uint64_t seed, int number, std::uint64_t start)
{
    return splitMix(splitMix(seed ^ (std::uint64_t(number) << 56)) + start);
}

std::unique_ptr<audio::Generator> EndlessSounds::make(int number)
{
    if (!m_enabled || !m_factory || !shipped(number))
        return nullptr;
    const std::uint64_t start = m_starts[std::size_t(number)]++;
    const std::uint64_t seed = m_seed
        ? *m_seed
        : std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count())
            ^ std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    return m_factory(number, seedFor(seed, number, start));
}

} // namespace sonaveil::player
