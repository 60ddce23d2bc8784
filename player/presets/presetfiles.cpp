#include "player/presets/presetfiles.h"

#include "common/atomicfile.h"
#include "common/rounding.h"
#include "common/textrecord.h"
#include "player/presets/presetrecord.h"

#include <cctype>

namespace sonaveil::player {

namespace {

void removeAll(std::string& text, const std::string& what)
{
    if (what.empty())
        return;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at))
        text.erase(at, what.size());
}

std::string trimmed(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

// A general number as the list's slot field may hold it ("3", "2.5", " 4 "); nan, inf and
// huge numbers are no slot.
std::optional<double> numberOf(const std::string& field)
{
    return fieldToNumber(trimmed(field));
}

} // namespace

PresetFiles::PresetFiles(ChannelModel& model, std::filesystem::path programFolder)
    : m_model(model)
    , m_folder(programFolder.string())
{
    while (m_folder.size() > 1 && m_folder.back() == '/')
        m_folder.pop_back();
}

std::string PresetFiles::lastMixPath() const
{
    return m_folder + "/" + kLastMixName;
}

std::string PresetFiles::savesFolder() const
{
    return m_folder + "/" + kSavesFolder;
}

bool PresetFiles::save(const std::string& path, std::string* error) const
{
    if (!writeFileAtomically(path, PresetRecord::capture(m_model).toText(), error))
        return false;
    if (saved)
        saved(path);
    return true;
}

bool PresetFiles::load(const std::string& path, std::string* error)
{
    std::string why;
    const auto content = readWholeFile(path, kMaxStateFileBytes, &why);
    if (!content) {
        if (error)
            *error = "the file cannot be read (" + why + ")";
        return false;
    }
    const auto record = PresetRecord::parse(*content);
    if (!record) {
        if (error)
            *error = "the file does not hold a preset";
        return false;
    }
    record->applyTo(m_model);
    if (loaded)
        loaded(path);
    m_loaded = true;
    if (path == lastMixPath())
        m_current = "Previous";
    else
        m_current = trimAppPath(path, m_folder);
    // A preset from outside "saves" keeps its folder after the trimming; line 4 has room for
    // the name only, which is what tells the user which preset plays.
    if (const std::size_t slash = m_current.rfind('/'); slash != std::string::npos && slash + 1 < m_current.size())
        m_current = m_current.substr(slash + 1);
    if (showCurrent)
        showCurrent("Current:" + m_current);
    return true;
}

std::string PresetFiles::withPresetExtension(const std::string& path)
{
    const std::string leaf = std::filesystem::path(path).filename().string();
    // A leading dot starts a hidden name, not an extension.
    const std::size_t dot = leaf.rfind('.');
    if (leaf.empty() || (dot != std::string::npos && dot > 0 && dot + 1 < leaf.size()))
        return path;
    if (!leaf.empty() && leaf.back() == '.')
        return path + "svp";
    return path + ".svp";
}

std::string PresetFiles::trimAppPath(const std::string& path, const std::string& programFolder)
{
    std::string name = path;
    removeAll(name, programFolder + "/" + kSavesFolder + "/");
    removeAll(name, ".svp");
    return name;
}

QuickSlots::QuickSlots(std::filesystem::path listFile)
    : m_list(std::move(listFile))
{
}

const std::string& QuickSlots::caption(int index) const
{
    static const std::string none;
    return index >= 0 && index < kCount ? m_captions[std::size_t(index)] : none;
}

void QuickSlots::read()
{
    m_captions = {};
    const auto content = readWholeFile(m_list);
    if (!content)
        return;
    TextRecordReader reader(*content);
    while (true) {
        const auto slot = reader.next();
        if (!slot)
            break;
        const auto name = reader.next();
        if (!name)
            break;
        const auto number = numberOf(*slot);
        if (!number)
            continue;
        const std::int64_t index = roundHalfEven(*number - 1.0);
        if (index >= 0 && index < kCount)
            m_captions[std::size_t(index)] = *name;
    }
}

std::optional<int> QuickSlots::slotNumber(const std::string& typed)
{
    const std::string t = trimmed(typed);
    if (t.empty() || t.size() > 3)
        return std::nullopt;
    int n = 0;
    for (char c : t) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > kCount)
        return std::nullopt;
    return n;
}

QuickSlots::Assign QuickSlots::assign(const std::string& typed, const std::string& name, std::string* error)
{
    const auto number = slotNumber(typed);
    if (!number)
        return Assign::NotANumber;
    m_captions[std::size_t(*number - 1)] = name;

    std::error_code ec;
    const auto old = readWholeFile(m_list);
    if (!old && std::filesystem::exists(m_list, ec)) {
        // Never replace a list that is there but cannot be read: its lines would be lost.
        if (error)
            *error = "the list cannot be read";
        return Assign::NotStored;
    }
    std::string bytes = old.value_or(std::string());
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r')
        bytes += "\r\n";
    bytes += TextRecordWriter().text(trimmed(typed)).text(name).endLine().bytes();
    return writeFileAtomically(m_list, bytes, error) ? Assign::Done : Assign::NotStored;
}

} // namespace sonaveil::player
