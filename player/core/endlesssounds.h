#pragma once

#include "audio/generator.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace sonaveil::player {

// Which catalogue sounds play live, made as they play so that they never repeat, and which play
// their sample file as a loop: a sound plays live while the option is on, its file in the
// program folder is the one we ship (its digest is the one recorded beside the files when they
// were made) or no file stands there (missing, unreadable, not a regular file), and it has a live
// recipe. A file the user has put in its place plays as a loop.
class EndlessSounds {
public:
    // Makes sound `number`'s generator with chance `seed`; nothing when it has no live recipe.
    using Factory = std::function<std::unique_ptr<audio::Generator>(int number, std::uint64_t seed)>;

    // The synthesiser's live recipes.
    EndlessSounds();
    explicit EndlessSounds(Factory factory);

    // The program folder whose "bin" holds the sample files we ship; its digest file is read
    // here, once. Each file is checked against it when its sound first starts live.
    void setProgramFolder(const std::filesystem::path& folder);

    // The option "Endless sounds (never repeat)": off, every sound plays its file.
    bool enabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }

    // A fixed chance for repeatable sound (renders, measurements): the k-th start of sound n
    // then always sounds the same. Without one, every start draws its chance from the clock.
    void setSeed(std::optional<std::uint64_t> seed) { m_seed = seed; }

    // True when sound `number`'s file is the one we ship or is not there (checked once per run).
    bool shipped(int number);

    // What one start made away from this object found: the generator (nothing: the file plays)
    // and, when the file was checked on the way, whether it is ours.
    struct Made {
        int number = 0;
        std::unique_ptr<audio::Generator> generator;
        std::optional<bool> shipped;
    };
    // Starts sound `number` (each call counts as a start): a job that makes its generator and
    // checks its file if no one has yet, on any thread, sharing nothing with this object. Empty
    // when the sound plays its file for certain (the option off, no folder, a file known or
    // recorded not to be ours).
    std::function<Made()> prepare(int number);
    // Keeps what a job found out about the file for the starts after it.
    void learn(const Made& made);

    // What sound `number` plays live when it starts now, made here; nothing when it plays its file.
    std::unique_ptr<audio::Generator> make(int number);

    // The chance of the `start`-th start of sound `number` from `seed`: well spread, so that
    // neighbouring sounds and starts have nothing in common.
    static std::uint64_t seedFor(std::uint64_t seed, int number, std::uint64_t start);

private:
    Factory m_factory;
    bool m_enabled = true;
    std::optional<std::uint64_t> m_seed;
    std::filesystem::path m_folder;
    std::map<std::string, std::uint64_t> m_digests;
    std::array<std::optional<bool>, 36> m_shipped{};
    std::array<std::uint64_t, 36> m_starts{};
};

} // namespace sonaveil::player
