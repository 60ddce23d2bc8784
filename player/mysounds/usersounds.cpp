#include "player/mysounds/usersounds.h"

#include "audio/soundfile.h"
#include "common/atomicfile.h"
#include "common/textrecord.h"
#include "player/mysounds/quotedtext.h"
#include "player/mysounds/seamfinder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace sonaveil::player {

namespace fs = std::filesystem;

namespace {

constexpr const char* kListHeader = "Sonaveil sounds";
constexpr int kListVersion = 1;
constexpr int kFieldsPerSound = 12;
// Left free on the disk beside a copy, so that the presets and state files still fit.
constexpr std::uintmax_t kSpareBytes = std::uintmax_t(8) << 20;

UserSounds::Result problemResult(audio::SoundFileProblem problem)
{
    switch (problem) {
    case audio::SoundFileProblem::Missing:
        return UserSounds::Result::Missing;
    case audio::SoundFileProblem::NotRegular:
        return UserSounds::Result::NotRegular;
    default:
        return UserSounds::Result::NotAudio;
    }
}

// Copies the regular file `from` to `to` through a temporary name beside it, so that a copy cut
// short (a full disk, a cancel) never looks like a sound. Returns 0, or the errno that stopped
// it (ECANCELED for a cancel). Reports its progress in `job`'s first 800 permille.
int copyFile(const fs::path& from, const fs::path& to, UserSounds::AddJob& job)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (in < 0)
        return errno;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return EINVAL;
    }
    const fs::path part = to.parent_path() / ("." + to.filename().string() + ".part");
    const int out = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return e;
    }
    int error = 0;
    std::vector<char> buffer(std::size_t(1) << 20);
    std::uintmax_t copied = 0;
    const auto total = std::max<std::uintmax_t>(1, std::uintmax_t(st.st_size));
    for (;;) {
        if (job.cancel.load(std::memory_order_relaxed)) {
            error = ECANCELED;
            break;
        }
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, std::size_t(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                error = errno;
                break;
            }
            done += put;
        }
        if (error)
            break;
        copied += std::uintmax_t(got);
        job.permille.store(int(std::min<std::uintmax_t>(copied, total) * 800 / total), std::memory_order_relaxed);
    }
    if (!error && ::fsync(out) != 0)
        error = errno;
    if (::close(out) != 0 && !error)
        error = errno;
    ::close(in);
    if (!error && job.cancel.load())
        error = ECANCELED;
    if (!error && ::rename(part.c_str(), to.c_str()) != 0)
        error = errno;
    if (error)
        ::unlink(part.c_str());
    return error;
}

bool isNoRoom(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

} // namespace

UserSounds::UserSounds(fs::path userFolder)
    : m_folder(std::move(userFolder) / kFolderName)
{
}

int UserSounds::indexOf(const std::string& id) const
{
    for (std::size_t i = 0; i < m_sounds.size(); ++i)
        if (m_sounds[i].id == id)
            return int(i);
    return -1;
}

fs::path UserSounds::filePath(const UserSound& sound) const
{
    return sound.kind == UserSound::Kind::File ? m_folder / sound.source : fs::path(sound.source);
}

void UserSounds::load()
{
    m_sounds.clear();
    const auto content = readWholeFile(listFile());
    if (!content)
        return;
    TextRecordReader reader(*content);
    const auto header = reader.take(2);
    if (!header || (*header)[0] != kListHeader || fieldToInteger((*header)[1]) != kListVersion)
        return;
    while (int(m_sounds.size()) < kMaxSounds) {
        const auto f = reader.take(kFieldsPerSound);
        if (!f)
            break;
        UserSound s;
        const std::string& kind = (*f)[0];
        if (kind != "file" && kind != "folder")
            break;
        s.kind = kind == "file" ? UserSound::Kind::File : UserSound::Kind::Folder;
        s.id = unescapeQuotes((*f)[1]);
        s.name = unescapeQuotes((*f)[2]);
        s.source = unescapeQuotes((*f)[3]);
        const auto start = fieldToInteger((*f)[4]);
        const auto end = fieldToInteger((*f)[5]);
        const auto fade = fieldToInt32((*f)[6]);
        const auto correlation = fieldToInt32((*f)[7]);
        const auto shuffle = fieldToBoolean((*f)[8]);
        const auto volume = fieldToInt32((*f)[9]);
        const auto pitch = fieldToInt32((*f)[10]);
        const auto pan = fieldToInt32((*f)[11]);
        if (!start || !end || !fade || !correlation || !shuffle || !volume || !pitch || !pan || s.id.empty()
            || indexOf(s.id) >= 0)
            break;
        // A copy's name never leads out of "sounds".
        if (s.kind == UserSound::Kind::File && fs::path(s.source).filename() != fs::path(s.source))
            continue;
        s.seam = {*start, *end, *fade, float(*correlation) / 10000.0f};
        s.shuffle = *shuffle;
        s.volume = std::clamp(*volume, 0, kVolumeMaximum);
        s.pitch = std::clamp(*pitch, kPitchMinimum, kPitchMaximum);
        s.pan = std::clamp(*pan, 0, kPanMaximum);
        m_sounds.push_back(std::move(s));
    }
}

bool UserSounds::save(std::string* why) const
{
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    TextRecordWriter w;
    w.text(kListHeader).integer(kListVersion).endLine();
    for (const UserSound& s : m_sounds) {
        w.text(s.kind == UserSound::Kind::File ? "file" : "folder")
            .text(escapeQuotes(s.id))
            .text(escapeQuotes(s.name))
            .text(escapeQuotes(s.source))
            .integer(s.seam.start)
            .integer(s.seam.end)
            .integer(s.seam.fade)
            .integer(std::lround(s.seam.correlation * 10000.0f))
            .boolean(s.shuffle)
            .integer(s.volume)
            .integer(s.pitch)
            .integer(s.pan)
            .endLine();
    }
    return writeFileAtomically(listFile(), w.bytes(), why);
}

std::string UserSounds::freeName(const std::string& wanted) const
{
    const fs::path p(wanted);
    const std::string stem = p.stem().string();
    const std::string ext = p.extension().string();
    std::string name = wanted;
    for (int n = 2; fs::exists(fs::symlink_status(m_folder / name)) || indexOf(name) >= 0; ++n)
        name = stem + " (" + std::to_string(n) + ")" + ext;
    return name;
}

UserSounds::Outcome UserSounds::add(const fs::path& path)
{
    AddJob job;
    if (const Outcome begun = begin(path, job); begun.result != Result::Added)
        return begun;
    work(job);
    return finish(job);
}

UserSounds::Outcome UserSounds::addFile(const fs::path& file)
{
    std::error_code ec;
    if (fs::is_directory(file, ec))
        return {Result::NotRegular};
    return add(file);
}

UserSounds::Outcome UserSounds::addFolder(const fs::path& folder)
{
    std::error_code ec;
    if (fs::exists(folder, ec) && !fs::is_directory(folder, ec))
        return {Result::UnreadableFolder, -1, std::strerror(ENOTDIR)};
    return add(folder);
}

UserSounds::Outcome UserSounds::begin(const fs::path& path, AddJob& job) const
{
    if (count() >= kMaxSounds)
        return {Result::Full};
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        const fs::path absolute = fs::absolute(path, ec).lexically_normal();
        fs::path canonical = absolute;
        while (canonical.has_relative_path() && canonical.filename().empty())
            canonical = canonical.parent_path();
        if (indexOf(canonical.string()) >= 0)
            return {Result::AlreadyThere};
        job.kind = UserSound::Kind::Folder;
        job.from = canonical;
        return {Result::Added};
    }
    if (!fs::exists(fs::symlink_status(path, ec)) || !fs::exists(path, ec))
        return {Result::Missing};
    job.kind = UserSound::Kind::File;
    job.from = path;
    job.copy = m_folder / freeName(path.filename().string());
    return {Result::Added};
}

void UserSounds::work(AddJob& job)
{
    job.outcome = {Result::Added};
    std::error_code ec;
    if (job.kind == UserSound::Kind::Folder) {
        std::string why;
        const auto tracks = tracksOf(job.from, &why);
        if (!fs::exists(job.from, ec))
            job.outcome = {Result::Missing};
        else if (!tracks)
            job.outcome = {Result::UnreadableFolder, -1, why};
        else if (tracks->empty())
            job.outcome = {Result::NoTracks};
        job.permille = 1000;
        return;
    }
    audio::SoundFileProblem problem{};
    const auto info = audio::probeSoundFile(job.from.string(), &problem);
    if (!info) {
        job.outcome = {problemResult(problem)};
        return;
    }
    if (double(info->frames) < kShortestSeconds * info->rate) {
        job.outcome = {Result::NotAudio};
        return;
    }
    const fs::path folder = job.copy.parent_path();
    fs::create_directories(folder, ec);
    if (ec) {
        job.outcome = {Result::CopyFailed, -1, ec.message()};
        return;
    }
    const auto size = fs::file_size(job.from, ec);
    const auto space = fs::space(folder, ec);
    if (!ec && space.available < size + kSpareBytes) {
        job.outcome = {Result::NoRoom};
        return;
    }
    if (const int error = copyFile(job.from, job.copy, job)) {
        job.outcome = error == ECANCELED ? Outcome{Result::Cancelled}
                      : isNoRoom(error)  ? Outcome{Result::NoRoom, -1, std::strerror(error)}
                                         : Outcome{Result::CopyFailed, -1, std::strerror(error)};
        return;
    }
    // The copy is what plays: its seam, and a last check that it decodes (a damaged file may
    // have a good header).
    const auto seam = SeamFinder::findInFile(job.copy.string());
    if (!seam) {
        fs::remove(job.copy, ec);
        job.outcome = {Result::NotAudio};
        return;
    }
    job.seam = *seam;
    job.permille = 1000;
}

UserSounds::Outcome UserSounds::finish(AddJob& job)
{
    std::error_code ec;
    const bool copied = job.kind == UserSound::Kind::File && job.outcome.result == Result::Added;
    auto dropCopy = [&] {
        if (copied)
            fs::remove(job.copy, ec);
    };
    if (job.outcome.result == Result::Added && job.cancel.load())
        job.outcome = {Result::Cancelled};
    // The list may have changed while the work ran.
    if (job.outcome.result == Result::Added && count() >= kMaxSounds)
        job.outcome = {Result::Full};
    if (job.outcome.result == Result::Added && job.kind == UserSound::Kind::Folder && indexOf(job.from.string()) >= 0)
        job.outcome = {Result::AlreadyThere};
    if (job.outcome.result != Result::Added) {
        dropCopy();
        return job.outcome;
    }
    UserSound s;
    s.kind = job.kind;
    if (job.kind == UserSound::Kind::File) {
        const std::string name = job.copy.filename().string();
        s.id = name;
        s.source = name;
        s.name = fs::path(name).stem().string();
        s.seam = job.seam;
    } else {
        s.id = job.from.string();
        s.source = job.from.string();
        s.name = job.from.filename().string();
    }
    m_sounds.push_back(std::move(s));
    job.outcome = {Result::Added, count() - 1};
    return job.outcome;
}

bool UserSounds::rename(int index, const std::string& name)
{
    if (index < 0 || index >= count())
        return false;
    std::string trimmed = name;
    while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.back())))
        trimmed.pop_back();
    trimmed.erase(0, trimmed.find_first_not_of(" \t"));
    if (trimmed.empty())
        return false;
    at(index).name = trimmed;
    return true;
}

bool UserSounds::remove(int index)
{
    if (index < 0 || index >= count())
        return false;
    const UserSound s = at(index);
    m_sounds.erase(m_sounds.begin() + index);
    if (s.kind == UserSound::Kind::File) {
        std::error_code ec;
        fs::remove(filePath(s), ec);
    }
    return true;
}

bool UserSounds::naturalLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (std::isdigit(ca) && std::isdigit(cb)) {
            std::size_t ie = i, je = j;
            while (ie < a.size() && std::isdigit(static_cast<unsigned char>(a[ie])))
                ++ie;
            while (je < b.size() && std::isdigit(static_cast<unsigned char>(b[je])))
                ++je;
            std::string na = a.substr(i, ie - i), nb = b.substr(j, je - j);
            na.erase(0, std::min(na.find_first_not_of('0'), na.size() - 1));
            nb.erase(0, std::min(nb.find_first_not_of('0'), nb.size() - 1));
            if (na.size() != nb.size())
                return na.size() < nb.size();
            if (na != nb)
                return na < nb;
            i = ie, j = je;
            continue;
        }
        const int la = std::tolower(ca), lb = std::tolower(cb);
        if (la != lb)
            return la < lb;
        ++i, ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

std::optional<std::vector<fs::path>> UserSounds::tracksOf(const fs::path& folder, std::string* why, bool probe)
{
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        if (why)
            *why = ec.message();
        return std::nullopt;
    }
    std::vector<fs::path> tracks;
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            if (why)
                *why = ec.message();
            return std::nullopt;
        }
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || it->path().filename().string().starts_with("."))
            continue;
        if (!probe || audio::probeSoundFile(it->path().string()))
            tracks.push_back(it->path());
    }
    std::sort(tracks.begin(), tracks.end(), [](const fs::path& a, const fs::path& b) {
        return naturalLess(a.filename().string(), b.filename().string());
    });
    return tracks;
}

} // namespace sonaveil::player
