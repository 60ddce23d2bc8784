#include "player/equaliser/equaliser.h"

#include "common/atomicfile.h"
#include "common/liststep.h"
#include "common/textrecord.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace sonaveil::player {

namespace fs = std::filesystem;

namespace {

// The longest preset name: the longest name the atomic writer takes, less ".eqf".
constexpr std::size_t kMaxName = kMaxAtomicFileName - 4;

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

} // namespace

Equaliser::Equaliser(EqualiserOutput& output, std::string programFolder)
    : m_output(output)
    , m_folder(std::move(programFolder))
{
    m_handles.fill(-1);
}

std::string Equaliser::presetsFolder() const
{
    return (fs::path(m_folder) / kPresetsFolder).string();
}

std::string Equaliser::presetPath(const std::string& name) const
{
    return (fs::path(presetsFolder()) / (name + kExtension)).string();
}

void Equaliser::notify()
{
    if (changed)
        changed();
}

void Equaliser::showLine()
{
    if (display)
        display(3, m_on ? "EQL:" + m_text : std::string("EQL:Off"));
}

void Equaliser::load()
{
    listPresets();
    // The stored state, field by field: a damaged file leaves the defaults from where it fails.
    if (const auto content = readWholeFile(fs::path(m_folder) / kStateName)) {
        TextRecordReader reader(*content);
        [&] {
            const auto on = reader.next();
            const auto state = on ? fieldToBoolean(*on) : std::nullopt;
            if (!state)
                return;
            m_on = *state;
            const auto name = reader.next();
            if (!name)
                return;
            m_text = *name;
            m_selected = -1;
            for (std::size_t i = 0; i < m_presets.size(); ++i)
                if (m_presets[i] == m_text)
                    m_selected = int(i);
            for (int band = 0; band < kBands; ++band) {
                const auto field = reader.next();
                const auto v = field ? fieldToInt16(*field) : std::nullopt;
                if (!v)
                    return;
                m_bands.positions[std::size_t(band)] = std::clamp<int>(*v, 0, 30);
            }
        }();
    }
    showLine();
    applyState();
    notify();
}

bool Equaliser::unload(std::string* error)
{
    return writeFileAtomically(fs::path(m_folder) / kStateName, stateFileText(), error);
}

std::string Equaliser::stateFileText() const
{
    TextRecordWriter w;
    w.boolean(m_on).text(m_text);
    for (int p : m_bands.positions)
        w.integer(p);
    return w.bytes();
}

void Equaliser::setOn(bool on)
{
    m_on = on;
    showLine();
    applyState();
    notify();
}

void Equaliser::fxSetEq(int band, float gainDb)
{
    if (band < 0 || band >= kBands)
        return;
    m_output.fxSetParamEq(m_handles[std::size_t(band)], EqualiserBands::kCentresHz[std::size_t(band)],
                          EqualiserBands::kBandwidthSemitones, gainDb);
}

void Equaliser::applyState()
{
    m_output.setPaused(true);
    m_output.fxDisable();
    if (m_on) {
        for (auto& handle : m_handles)
            handle = m_output.fxEnable();
        for (int band = 0; band < kBands; ++band)
            fxSetEq(band, EqualiserBands::gainDb(position(band)));
    }
    m_output.setPaused(false);
}

void Equaliser::setPosition(int band, int position)
{
    if (band < 0 || band >= kBands)
        return;
    position = std::clamp(position, 0, 30);
    m_bands.positions[std::size_t(band)] = position;
    fxSetEq(band, EqualiserBands::gainDb(position));
    notify();
}

void Equaliser::centreAll()
{
    for (int band = 0; band < kBands; ++band)
        setPosition(band, EqualiserBands::kFlatPosition);
}

void Equaliser::listPresets()
{
    m_presets.clear();
    std::error_code ec;
    for (fs::directory_iterator it(presetsFolder(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 4 && lower(name.substr(name.size() - 4)) == kExtension
            && it->is_regular_file(ec))
            m_presets.push_back(name.substr(0, name.size() - 4));
    }
    // In name order, whatever order the file system keeps them in.
    std::sort(m_presets.begin(), m_presets.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lower(a), lb = lower(b);
        return la != lb ? la < lb : a < b;
    });
    m_selected = -1;
    for (std::size_t i = 0; i < m_presets.size(); ++i)
        if (m_presets[i] == m_text)
            m_selected = int(i);
    notify();
}

bool Equaliser::selectPreset(int index)
{
    if (index < -1 || index >= int(m_presets.size()))
        return false;
    m_selected = index;
    if (index < 0) {
        notify();
        return false;
    }
    m_text = m_presets[std::size_t(index)];
    notify();
    const auto content = readWholeFile(presetPath(m_text));
    if (!content)
        return false;
    TextRecordReader reader(*content);
    for (int i = 0; i < kBands; ++i) {
        const auto field = reader.next();
        const auto v = field ? fieldToInt16(*field) : std::nullopt;
        if (!v)
            return false;
        setPosition(i == 0 ? 9 : i - 1, *v);
    }
    showLine();
    return true;
}

void Equaliser::previousPreset()
{
    if (!m_presets.empty())
        selectPreset(previousInList(m_selected, int(m_presets.size())));
}

void Equaliser::nextPreset()
{
    if (!m_presets.empty())
        selectPreset(nextInList(m_selected, int(m_presets.size())));
}

std::optional<std::string> Equaliser::nameProblem(const std::string& name)
{
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos)
        return "A preset name cannot contain / or \\.";
    if (name.find("..") != std::string::npos)
        return "A preset name cannot contain \"..\".";
    if (name.find('"') != std::string::npos)
        return "A preset name cannot contain a double quote (\").";
    if (std::any_of(name.begin(), name.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        }))
        return "A preset name cannot contain control characters.";
    if (name.size() > kMaxName)
        return "This preset name is too long; please use at most " + std::to_string(kMaxName)
               + " characters (fewer with accented letters).";
    return std::nullopt;
}

std::string Equaliser::savePreset(const std::string& name)
{
    if (name.empty())
        return {};
    if (const auto problem = nameProblem(name))
        return *problem + " The preset was not saved.";
    std::error_code ec;
    fs::create_directories(presetsFolder(), ec);
    std::string error;
    if (!writeFileAtomically(presetPath(name), m_bands.toPresetText(), &error))
        return "The preset \"" + name + "\" could not be saved: " + error;
    m_text = name;
    listPresets();
    showLine();
    return {};
}

void Equaliser::deletePreset()
{
    // Only a file inside the presets folder is ever removed.
    if (!nameProblem(m_text) && !m_text.empty()) {
        std::error_code ec;
        fs::remove(presetPath(m_text), ec);
    }
    m_text = kNoPreset;
    listPresets();
}

} // namespace sonaveil::player
