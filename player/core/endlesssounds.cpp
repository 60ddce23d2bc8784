#include "player/core/endlesssounds.h"

#include "common/regularfile.h"
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

// Whether sound files at `path` may be stood in for by the live sound: the one we ship, or no
// file of the user's at all (missing, unreadable, a FIFO or a device in its place). A file the
// user put there plays as it is, even when it turns out not to play.
bool liveMayReplace(const std::string& path, std::uint64_t recorded)
{
    if (!RegularFile::open(path))
        return true;
    const auto digest = synth::fileDigest(path);
    return digest && *digest == recorded;
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
        known = recorded != m_digests.end() && liveMayReplace((m_folder / file).string(), recorded->second);
    }
    return *known;
}

std::uint64_t EndlessSounds::seedFor(std::uint64_t seed, int number, std::uint64_t start)
{
    return splitMix(splitMix(seed ^ (std::uint64_t(number) << 56)) + start);
}

std::function<EndlessSounds::Made()> EndlessSounds::prepare(int number)
{
    if (!m_enabled || !m_factory || number < 1 || number > kSoundCount || m_folder.empty())
        return {};
    const std::optional<bool> known = m_shipped[std::size_t(number)];
    if (known && !*known)
        return {};
    // The file still to be checked: its path and the digest recorded for it.
    std::optional<std::pair<std::string, std::uint64_t>> check;
    if (!known) {
        const std::string file(catalogue::sound(number).file);
        const auto recorded = m_digests.find(file);
        if (recorded == m_digests.end()) {
            m_shipped[std::size_t(number)] = false;
            return {};
        }
        check.emplace((m_folder / file).string(), recorded->second);
    }
    const std::uint64_t start = m_starts[std::size_t(number)]++;
    const std::uint64_t seed = m_seed
        ? *m_seed
        : std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count())
            ^ std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    return [factory = m_factory, number, seed = seedFor(seed, number, start), check = std::move(check)] {
        Made made;
        made.number = number;
        if (check) {
            made.shipped = liveMayReplace(check->first, check->second);
            if (!*made.shipped)
                return made;
        }
        made.generator = factory(number, seed);
        return made;
    };
}

void EndlessSounds::learn(const Made& made)
{
    if (made.shipped && made.number >= 1 && made.number <= kSoundCount)
        m_shipped[std::size_t(made.number)] = made.shipped;
}

std::unique_ptr<audio::Generator> EndlessSounds::make(int number)
{
    const auto job = prepare(number);
    if (!job)
        return nullptr;
    Made made = job();
    learn(made);
    return std::move(made.generator);
}

} // namespace sonaveil::player
