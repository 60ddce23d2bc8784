#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

namespace sonaveil::audio {

// Settings the interface thread writes and the mixing thread reads, without a lock and without
// either waiting: the writer makes the sequence odd while it stores the settings' words, and the
// reader keeps what it loaded only when the sequence was even and unchanged around its loads.
// One writer at a time.
template <typename Settings>
class SettingsSequence {
    static_assert(std::is_trivially_copyable_v<Settings>);

public:
    void write(const Settings& settings)
    {
        Words words{};
        std::memcpy(words.data(), &settings, sizeof(Settings));
        const std::uint32_t sequence = m_sequence.load(std::memory_order_relaxed);
        m_sequence.store(sequence + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        for (std::size_t i = 0; i < kWords; ++i)
            m_words[i].store(words[i], std::memory_order_relaxed);
        m_sequence.store(sequence + 2, std::memory_order_release);
    }

    // The settings when they were written since `seen` (which then moves on); nothing when they
    // were not, or while a write is under way (the next call takes it).
    std::optional<Settings> readNew(std::uint32_t& seen) const
    {
        const std::uint32_t before = m_sequence.load(std::memory_order_acquire);
        if (before == seen || (before & 1))
            return std::nullopt;
        Words words;
        for (std::size_t i = 0; i < kWords; ++i)
            words[i] = m_words[i].load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (m_sequence.load(std::memory_order_relaxed) != before)
            return std::nullopt;
        seen = before;
        Settings settings;
        // Trivially copyable (asserted above): the words are its bytes.
        std::memcpy(static_cast<void*>(&settings), words.data(), sizeof(Settings));
        return settings;
    }

private:
    static constexpr std::size_t kWords = (sizeof(Settings) + 3) / 4;
    using Words = std::array<std::uint32_t, kWords>;

    std::atomic<std::uint32_t> m_sequence{0};
    std::array<std::atomic<std::uint32_t>, kWords> m_words{};
};

} // namespace sonaveil::audio
