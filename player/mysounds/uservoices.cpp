#include "player/mysounds/uservoices.h"

#include "player/core/channelmodel.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace sonaveil::player {

UserVoices::UserVoices(UserSounds& sounds, AudioBinding& audio, std::function<int()> master, Post post)
    : m_sounds(sounds)
    , m_audio(audio)
    , m_master(std::move(master))
    , m_post(std::move(post))
{
}

UserVoices::~UserVoices() = default;

int UserVoices::frequencyFor(int rate, int pitch)
{
    return int(std::lround(double(rate) * double(pitch) / double(UserSounds::kNaturalPitch)));
}

void UserVoices::applyControls(int index)
{
    const UserSound& s = m_sounds.at(index);
    const Voice& v = voiceOf(index);
    if (v.channel <= 0)
        return;
    m_audio.setVolume(v.channel, ChannelModel::channelVolume(s.volume, m_master ? m_master() : 100));
    if (v.rate > 0)
        m_audio.setFrequency(v.channel, frequencyFor(v.rate, s.pitch));
    m_audio.setPan(v.channel, s.pan * 10);
}

UserVoices::Playlist UserVoices::makePlaylist(const std::string& folder, bool shuffle, std::uint64_t seed,
                                              std::shared_ptr<audio::StreamStatus> status)
{
    Playlist made;
    // Listed unopened: the playlist opens each file once, to learn its rate, and passes over
    // what is not sound.
    if (const auto tracks = UserSounds::tracksOf(folder, nullptr, false)) {
        for (const auto& t : *tracks)
            made.tracks.push_back(t.string());
        if (!made.tracks.empty())
            made.source = audio::StreamSource::playlist(made.tracks, shuffle, seed, std::move(status));
    }
    return made;
}

void UserVoices::play(int index, std::unique_ptr<audio::StreamSource> source)
{
    Voice& v = voiceOf(index);
    if (!source) {
        v.status->failed.store(true);
        return;
    }
    v.rate = source->rate();
    v.channel = m_audio.playGenerator(std::move(source));
    applyControls(index);
}

void UserVoices::start(int index)
{
    const UserSound& s = m_sounds.at(index);
    Voice& v = voiceOf(index);
    v = Voice{};
    v.status = std::make_shared<audio::StreamStatus>();
    v.start = ++m_starts;
    if (s.kind == UserSound::Kind::File) {
        play(index, audio::StreamSource::file(m_sounds.filePath(s).string(), s.seam, v.status));
        return;
    }
    const auto seed = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) + v.start;
    if (!m_post) {
        playlistMade(s.id, v.start, makePlaylist(s.source, s.shuffle, seed, v.status));
        return;
    }
    v.pending = true;
    std::thread([this, post = m_post, id = s.id, start = v.start, folder = s.source, shuffle = s.shuffle, seed,
                 status = v.status] {
        auto made = std::make_shared<Playlist>(makePlaylist(folder, shuffle, seed, status));
        post([this, id, start, made] { playlistMade(id, start, std::move(*made)); });
    }).detach();
}

void UserVoices::playlistMade(const std::string& id, std::uint64_t start, Playlist playlist)
{
    const int index = m_sounds.indexOf(id);
    // Switched off, on again or removed meanwhile: this playlist is nobody's.
    if (index < 0 || !m_sounds.at(index).on)
        return;
    const auto found = m_voices.find(id);
    if (found == m_voices.end() || found->second.start != start)
        return;
    found->second.pending = false;
    found->second.tracks = std::move(playlist.tracks);
    play(index, std::move(playlist.source));
    if (changed)
        changed(index);
}

bool UserVoices::starting(int index) const
{
    if (index < 0 || index >= m_sounds.count())
        return false;
    const auto found = m_voices.find(m_sounds.at(index).id);
    return found != m_voices.end() && found->second.pending;
}

void UserVoices::stop(int index)
{
    Voice& v = voiceOf(index);
    if (v.channel > 0)
        m_audio.stopSound(v.channel);
    v = Voice{};
}

void UserVoices::setOn(int index, bool on)
{
    if (index < 0 || index >= m_sounds.count())
        return;
    UserSound& s = m_sounds.at(index);
    if (s.on == on)
        return;
    s.on = on;
    on ? start(index) : stop(index);
    if (changed)
        changed(index);
}

void UserVoices::setControl(int index, int UserSound::*control, int value)
{
    if (index < 0 || index >= m_sounds.count())
        return;
    m_sounds.at(index).*control = value;
    applyControls(index);
}

void UserVoices::setVolume(int index, int volume)
{
    setControl(index, &UserSound::volume, std::clamp(volume, 0, UserSounds::kVolumeMaximum));
}

void UserVoices::setPitch(int index, int pitch)
{
    setControl(index, &UserSound::pitch, std::clamp(pitch, UserSounds::kPitchMinimum, UserSounds::kPitchMaximum));
}

void UserVoices::setPan(int index, int pan)
{
    setControl(index, &UserSound::pan, std::clamp(pan, 0, UserSounds::kPanMaximum));
}

void UserVoices::masterUpdate()
{
    for (int i = 0; i < m_sounds.count(); ++i)
        applyControls(i);
}

void UserVoices::stopAll()
{
    for (int i = 0; i < m_sounds.count(); ++i)
        setOn(i, false);
}

void UserVoices::forget(int index)
{
    if (index < 0 || index >= m_sounds.count())
        return;
    stop(index);
    m_voices.erase(m_sounds.at(index).id);
}

bool UserVoices::anyOn() const
{
    return std::any_of(m_sounds.sounds().begin(), m_sounds.sounds().end(), [](const UserSound& s) { return s.on; });
}

std::vector<std::string> UserVoices::takeFailures()
{
    std::vector<std::string> names;
    for (int i = 0; i < m_sounds.count(); ++i) {
        const UserSound& s = m_sounds.at(i);
        auto found = m_voices.find(s.id);
        if (!s.on || found == m_voices.end() || !found->second.status || found->second.told)
            continue;
        if (found->second.status->failed.load(std::memory_order_acquire)) {
            found->second.told = true;
            names.push_back(s.name);
        }
    }
    return names;
}

std::string UserVoices::playingTrack(int index) const
{
    if (index < 0 || index >= m_sounds.count())
        return {};
    const auto found = m_voices.find(m_sounds.at(index).id);
    if (found == m_voices.end() || !found->second.status)
        return {};
    const int track = found->second.status->track.load(std::memory_order_acquire);
    if (track < 0 || track >= int(found->second.tracks.size()))
        return {};
    return found->second.tracks[std::size_t(track)];
}

std::vector<CompanionFile::Entry> UserVoices::capture() const
{
    std::vector<CompanionFile::Entry> entries;
    for (const UserSound& s : m_sounds.sounds())
        if (s.on)
            entries.push_back({s.id, s.name, s.volume, s.pitch, s.pan});
    return entries;
}

std::vector<std::string> UserVoices::apply(const std::vector<CompanionFile::Entry>& entries)
{
    std::vector<std::string> missing;
    std::vector<bool> wanted(std::size_t(m_sounds.count()), false);
    for (const CompanionFile::Entry& e : entries) {
        const int index = m_sounds.indexOf(e.id);
        if (index < 0) {
            missing.push_back(e.name.empty() ? e.id : e.name);
            continue;
        }
        wanted[std::size_t(index)] = true;
        UserSound& s = m_sounds.at(index);
        s.volume = std::clamp(e.volume, 0, UserSounds::kVolumeMaximum);
        s.pitch = std::clamp(e.pitch, UserSounds::kPitchMinimum, UserSounds::kPitchMaximum);
        s.pan = std::clamp(e.pan, 0, UserSounds::kPanMaximum);
    }
    for (int i = 0; i < m_sounds.count(); ++i) {
        const bool on = wanted[std::size_t(i)];
        if (m_sounds.at(i).on != on) {
            setOn(i, on);
        } else {
            applyControls(i);
            if (changed)
                changed(i);
        }
        if (on) {
            // A sound of the list whose file is gone cannot play: it is missing as well.
            const auto found = m_voices.find(m_sounds.at(i).id);
            if (found != m_voices.end() && found->second.status && found->second.channel <= 0
                && found->second.status->failed.load()) {
                found->second.told = true;
                missing.push_back(m_sounds.at(i).name);
            }
        }
    }
    return missing;
}

} // namespace sonaveil::player
