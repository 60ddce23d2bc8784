#include "player/mysounds/companionfile.h"

#include "common/atomicfile.h"
#include "common/textrecord.h"
#include "player/mysounds/quotedtext.h"

#include <filesystem>

namespace sonaveil::player {

namespace {
constexpr const char* kHeader = "Sonaveil preset sounds";
constexpr int kVersion = 1;
constexpr int kFields = 5;
} // namespace

std::string CompanionFile::pathFor(const std::string& presetPath)
{
    return presetPath + kSuffix;
}

std::string CompanionFile::toText(const std::vector<Entry>& entries)
{
    TextRecordWriter w;
    w.text(kHeader).integer(kVersion).endLine();
    for (const Entry& e : entries)
        w.text(escapeQuotes(e.id)).text(escapeQuotes(e.name)).integer(e.volume).integer(e.pitch).integer(e.pan).endLine();
    return w.bytes();
}

std::optional<std::vector<CompanionFile::Entry>> CompanionFile::parse(std::string_view text)
{
    TextRecordReader reader(text);
    const auto header = reader.take(2);
    if (!header || (*header)[0] != kHeader || fieldToInteger((*header)[1]) != kVersion)
        return std::nullopt;
    std::vector<Entry> entries;
    while (!reader.atEnd()) {
        const auto f = reader.take(kFields);
        if (!f)
            return std::nullopt;
        const auto volume = fieldToInt32((*f)[2]);
        const auto pitch = fieldToInt32((*f)[3]);
        const auto pan = fieldToInt32((*f)[4]);
        if (!volume || !pitch || !pan || (*f)[0].empty())
            return std::nullopt;
        entries.push_back({unescapeQuotes((*f)[0]), unescapeQuotes((*f)[1]), *volume, *pitch, *pan});
    }
    return entries;
}

bool CompanionFile::write(const std::string& presetPath, const std::vector<Entry>& entries, std::string* why)
{
    const std::string path = pathFor(presetPath);
    if (entries.empty()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        if (ec && why)
            *why = ec.message();
        return !ec;
    }
    return writeFileAtomically(path, toText(entries), why);
}

std::optional<std::vector<CompanionFile::Entry>> CompanionFile::read(const std::string& presetPath)
{
    const std::string path = pathFor(presetPath);
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
        return std::vector<Entry>{};
    const auto text = readWholeFile(path);
    if (!text)
        return std::nullopt;
    return parse(*text);
}

} // namespace sonaveil::player
