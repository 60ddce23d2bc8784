#include "player/colours/schemelibrary.h"

#include "common/atomicfile.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace sonaveil::player {

namespace fs = std::filesystem;

namespace {

std::string lowered(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

} // namespace

SchemeLibrary::SchemeLibrary(const fs::path& programFolder)
    : m_folder(programFolder / kFolder)
{
}

std::vector<std::string> SchemeLibrary::names() const
{
    std::vector<std::string> found;
    const std::string extension = SchemeFile::kExtension;
    std::error_code ec;
    for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        const std::string file = it->path().filename().string();
        if (file.size() > extension.size() && file.ends_with(extension))
            found.push_back(file.substr(0, file.size() - extension.size()));
    }
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lowered(a), lb = lowered(b);
        return la != lb ? la < lb : a < b;
    });
    return found;
}

bool SchemeLibrary::acceptableName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxNameLength || name.find("..") != std::string_view::npos)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || u < 0x20 || u == 0x7F;
    });
}

fs::path SchemeLibrary::pathOf(const std::string& name) const
{
    return m_folder / (name + SchemeFile::kExtension);
}

bool SchemeLibrary::save(const std::string& name, const ColourScheme& scheme, std::string* error) const
{
    if (!acceptableName(name)) {
        if (error)
            *error = "not a plain file name";
        return false;
    }
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    return writeFileAtomically(pathOf(name), SchemeFile::bytes(scheme), error);
}

bool SchemeLibrary::remove(const std::string& name) const
{
    if (!acceptableName(name))
        return false;
    std::error_code ec;
    return fs::remove(pathOf(name), ec);
}

std::optional<std::string> SchemeLibrary::read(const std::string& name) const
{
    if (!acceptableName(name))
        return std::nullopt;
    return readWholeFile(pathOf(name));
}

} // namespace sonaveil::player
