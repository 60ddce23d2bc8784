#include "common/programfolder.h"

#include "common/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>

namespace sonaveil {

namespace fs = std::filesystem;

namespace {

// Starter files are small: presets, schemes and one alarm sound of a few hundred kilobytes.
constexpr std::size_t kMaxStarterBytes = std::size_t(64) << 20;

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::set<std::string> readRecord(const fs::path& file)
{
    std::set<std::string> names;
    if (const auto text = readWholeFile(file)) {
        std::istringstream lines(*text);
        for (std::string line; std::getline(lines, line);)
            if (!line.empty())
                names.insert(line);
    }
    return names;
}

std::string recordText(const std::set<std::string>& names)
{
    std::string text;
    for (const auto& name : names)
        text += name + "\n";
    return text;
}

} // namespace

fs::path ProgramFolder::ofRunningProgram()
{
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : program.parent_path();
}

bool ProgramFolder::validUtf8(const std::string& bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int more = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + std::size_t(more) >= bytes.size())
            return false;
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, UTF-16 surrogates and values beyond Unicode are not UTF-8.
        static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[more] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += std::size_t(more) + 1;
    }
    return true;
}

fs::path ProgramFolder::reachable(const fs::path& folder)
{
    if (validUtf8(folder.native()))
        return folder;
    // No O_CLOEXEC: the programs started from here (the recorder, the converter) reach the
    // same names through their own copy of the handle.
    const int fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY);
    if (fd < 0)
        return folder;
    return fs::path("/proc/self/fd") / std::to_string(fd);
}

fs::path ProgramFolder::shownPath(const fs::path& path)
{
    auto part = path.begin();
    for (const char* expected : {"/", "proc", "self", "fd"}) {
        if (part == path.end() || part->native() != expected)
            return path;
        ++part;
    }
    if (part == path.end())
        return path;
    std::error_code ec;
    fs::path shown = fs::read_symlink(fs::path("/proc/self/fd") / *part, ec);
    if (ec)
        return path;
    for (++part; part != path.end(); ++part)
        shown /= *part;
    return shown;
}

namespace {

// The "/proc/self/fd/N" start of a path, or an empty path.
fs::path handleOf(const fs::path& path)
{
    auto part = path.begin();
    fs::path handle;
    for (const char* expected : {"/", "proc", "self", "fd"}) {
        if (part == path.end() || part->native() != expected)
            return {};
        handle /= *part++;
    }
    return part == path.end() ? fs::path() : handle / *part;
}

// The parts of `path` after the `start` it begins with; nullopt when it does not begin so.
std::optional<fs::path> after(const fs::path& start, const fs::path& path)
{
    auto p = path.begin();
    for (auto s = start.begin(); s != start.end(); ++s, ++p)
        if (p == path.end() || *p != *s)
            return std::nullopt;
    fs::path rest;
    for (; p != path.end(); ++p)
        rest /= *p;
    return rest;
}

std::string readableName(const std::string& bytes)
{
    std::string name;
    for (std::size_t i = 0; i < bytes.size();) {
        // The longest valid sequence from here, else one byte shown as "_".
        std::size_t taken = 0;
        for (std::size_t n = std::min<std::size_t>(4, bytes.size() - i); n >= 1 && !taken; --n)
            if (ProgramFolder::validUtf8(bytes.substr(i, n)))
                taken = n;
        name += taken ? bytes.substr(i, taken) : "_";
        i += taken ? taken : 1;
    }
    return name.empty() ? "folder" : name;
}

// The links readablePath() made, by handle; removed (the links only, never what they lead to)
// when the process ends.
class ReadableLinks {
public:
    ~ReadableLinks()
    {
        std::error_code ec;
        for (const auto& [handle, link] : m_links)
            fs::remove(link, ec); // removes the link itself
        if (!m_folder.empty())
            fs::remove(m_folder, ec); // only when empty
    }

    fs::path linkFor(const fs::path& handle)
    {
        const std::lock_guard lock(m_mutex);
        if (const auto found = m_links.find(handle); found != m_links.end())
            return found->second;
        std::error_code ec;
        const fs::path target = fs::read_symlink(handle, ec);
        if (ec)
            return {};
        if (m_folder.empty()) {
            const std::string runtime = variable("XDG_RUNTIME_DIR");
            const fs::path base = !runtime.empty() && fs::path(runtime).is_absolute() ? fs::path(runtime)
                                                                                       : fs::temp_directory_path(ec);
            // Made here, for this user alone: a folder of that name made by someone else (the
            // temporary folder is shared) is never used.
            const fs::path folder = base / ("sonaveil-folders-" + std::to_string(::getpid()));
            if (::mkdir(folder.c_str(), 0700) != 0)
                return {};
            m_folder = folder;
        }
        std::string name = readableName(target.filename().native());
        fs::path link = m_folder / name;
        for (int n = 2; fs::exists(fs::symlink_status(link, ec)); ++n)
            link = m_folder / (name + " (" + std::to_string(n) + ")");
        fs::create_directory_symlink(target, link, ec);
        if (ec)
            return {};
        m_links[handle] = link;
        return link;
    }

    fs::path handleFor(const fs::path& path) const
    {
        const std::lock_guard lock(m_mutex);
        for (const auto& [handle, link] : m_links)
            if (const auto rest = after(link, path))
                return rest->empty() ? handle : handle / *rest;
        return path;
    }

private:
    mutable std::mutex m_mutex;
    fs::path m_folder;
    std::map<fs::path, fs::path> m_links;
};

ReadableLinks& readableLinks()
{
    static ReadableLinks links;
    return links;
}

} // namespace

fs::path ProgramFolder::readablePath(const fs::path& path)
{
    const fs::path handle = handleOf(path);
    if (handle.empty())
        return path;
    const fs::path link = readableLinks().linkFor(handle);
    if (link.empty())
        return path;
    const fs::path rest = *after(handle, path);
    return rest.empty() ? link : link / rest;
}

fs::path ProgramFolder::fromReadablePath(const fs::path& path)
{
    return readableLinks().handleFor(path);
}

ProgramFolder::Environment ProgramFolder::Environment::fromProcess()
{
    Environment e;
    e.xdgDataHome = variable("XDG_DATA_HOME");
    e.home = variable("HOME");
    if (e.home.empty())
        if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir)
            e.home = account->pw_dir;
    return e;
}

const std::vector<std::string>& ProgramFolder::starterFolders()
{
    static const std::vector<std::string> folders{"saves", "presets", "config/colors", "config/alarms"};
    return folders;
}

const std::vector<std::string>& ProgramFolder::userFolders()
{
    static const std::vector<std::string> folders{"saves", "presets", "config/colors", "config/alarms",
                                                  "saved recordings"};
    return folders;
}

ProgramFolder::ProgramFolder(fs::path program, fs::path user)
    : m_program(std::move(program))
    , m_user(std::move(user))
{
}

fs::path ProgramFolder::dataFolder(const Environment& environment)
{
    // A relative $XDG_DATA_HOME is ignored, as the desktop does: it would depend on where we start.
    const fs::path base = !environment.xdgDataHome.empty() && fs::path(environment.xdgDataHome).is_absolute()
                              ? fs::path(environment.xdgDataHome)
                              : fs::path(environment.home) / ".local/share";
    return (base / kDataFolderName).lexically_normal();
}

ProgramFolder ProgramFolder::decide(const fs::path& programFolder, const Environment& environment)
{
    fs::path program = programFolder.lexically_normal();
    while (program.has_relative_path() && program.filename().empty())
        program = program.parent_path();
    // Permissions and read-only mounts decide, not the free space: a full disk must not move
    // the user's files somewhere else.
    std::error_code ec;
    const bool installed = fs::exists(fs::symlink_status(program / kInstallationMark, ec));
    if (!installed && ::access(program.c_str(), W_OK | X_OK) == 0) {
        program = reachable(program);
        return ProgramFolder(program, program);
    }
    return ProgramFolder(reachable(program), reachable(dataFolder(environment)));
}

bool ProgramFolder::prepare(Problem* problem) const
{
    for (const auto& sub : userFolders()) {
        std::error_code ec;
        const fs::path folder = m_user / sub;
        fs::create_directories(folder, ec);
        if (ec || !fs::is_directory(folder)) {
            if (problem)
                *problem = Problem{folder, ec ? ec.message() : std::string()};
            return false;
        }
    }
    if (!separate())
        return true;

    const fs::path recordFile = m_user / kStarterRecord;
    std::set<std::string> received = readRecord(recordFile);
    const std::size_t before = received.size();
    for (const auto& sub : starterFolders()) {
        std::error_code ec;
        std::vector<fs::path> starters;
        for (fs::directory_iterator it(m_program / sub, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file() && !isWriteTemporaryName(it->path().filename().string()))
                starters.push_back(it->path());
        std::sort(starters.begin(), starters.end());
        for (const auto& source : starters) {
            const std::string name = sub + "/" + source.filename().string();
            if (received.count(name))
                continue;
            const fs::path target = m_user / name;
            // A file of the user's under a starter's name is theirs and stays.
            if (fs::exists(fs::symlink_status(target))) {
                received.insert(name);
                continue;
            }
            const auto bytes = readWholeFile(source, kMaxStarterBytes);
            if (bytes && writeFileAtomically(target, *bytes))
                received.insert(name);
        }
    }
    if (received.size() != before)
        writeFileAtomically(recordFile, recordText(received));
    return true;
}

} // namespace sonaveil
