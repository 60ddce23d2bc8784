#include "common/textrecord.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace sonaveil {

void TextRecordWriter::separate()
{
    if (m_lineHasFields)
        m_bytes += ',';
    m_lineHasFields = true;
}

TextRecordWriter& TextRecordWriter::integer(std::int64_t value)
{
    separate();
    m_bytes += std::to_string(value);
    return *this;
}

TextRecordWriter& TextRecordWriter::text(std::string_view value)
{
    separate();
    m_bytes += '"';
    m_bytes += value;
    m_bytes += '"';
    return *this;
}

TextRecordWriter& TextRecordWriter::boolean(bool value)
{
    separate();
    m_bytes += value ? "#TRUE#" : "#FALSE#";
    return *this;
}

TextRecordWriter& TextRecordWriter::endLine()
{
    m_bytes += "\r\n";
    m_lineHasFields = false;
    return *this;
}

std::string TextRecordWriter::bytes() const
{
    if (m_lineHasFields)
        return m_bytes + "\r\n";
    return m_bytes;
}

TextRecordReader::TextRecordReader(std::string_view content)
    : m_content(content)
{
    skipSeparatorsAndBlankLines();
}

static bool isBlank(char c) { return c == ' ' || c == '\t'; }

// `field` without the blanks around it.
static std::string_view withoutBlanks(std::string_view field)
{
    std::size_t b = 0, e = field.size();
    while (b < e && isBlank(field[b]))
        ++b;
    while (e > b && isBlank(field[e - 1]))
        --e;
    return field.substr(b, e - b);
}

bool TextRecordReader::atLineEnd() const
{
    return m_pos < m_content.size() && (m_content[m_pos] == '\r' || m_content[m_pos] == '\n');
}

void TextRecordReader::consumeLineEnd()
{
    if (m_content[m_pos] == '\r' && m_pos + 1 < m_content.size() && m_content[m_pos + 1] == '\n')
        m_pos += 2;
    else
        m_pos += 1;
}

void TextRecordReader::skipBlanks()
{
    while (m_pos < m_content.size() && isBlank(m_content[m_pos]))
        ++m_pos;
}

void TextRecordReader::skipSeparatorsAndBlankLines()
{
    // Only line ends and blanks: leading blank lines carry no field.
    for (;;) {
        skipBlanks();
        if (atLineEnd())
            consumeLineEnd();
        else
            break;
    }
}

bool TextRecordReader::atEnd() const
{
    return m_pos >= m_content.size() || m_content[m_pos] == '\x1a';
}

std::optional<std::string> TextRecordReader::next()
{
    if (atEnd())
        return std::nullopt;

    skipBlanks();
    std::string field;
    if (m_pos < m_content.size() && m_content[m_pos] == '"') {
        ++m_pos;
        const std::size_t close = m_content.find('"', m_pos);
        const std::size_t end = close == std::string_view::npos ? m_content.size() : close;
        field.assign(m_content.substr(m_pos, end - m_pos));
        m_pos = close == std::string_view::npos ? end : close + 1;
        // Anything between the closing quote and the separator is dropped.
        while (m_pos < m_content.size() && m_content[m_pos] != ',' && !atLineEnd())
            ++m_pos;
    } else {
        const std::size_t start = m_pos;
        while (m_pos < m_content.size() && m_content[m_pos] != ',' && !atLineEnd())
            ++m_pos;
        std::size_t end = m_pos;
        while (end > start && isBlank(m_content[end - 1]))
            --end;
        field.assign(m_content.substr(start, end - start));
    }

    // One separator: a comma, a line end, or a comma followed by a line end.
    if (m_pos < m_content.size() && m_content[m_pos] == ',') {
        ++m_pos;
        const std::size_t afterComma = m_pos;
        skipBlanks();
        if (atLineEnd())
            consumeLineEnd();
        else
            m_pos = afterComma;
    } else if (atLineEnd()) {
        consumeLineEnd();
    }
    skipSeparatorsAndBlankLines();
    return field;
}

std::optional<std::vector<std::string>> TextRecordReader::take(int count)
{
    std::vector<std::string> fields;
    fields.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        auto field = next();
        if (!field)
            return std::nullopt;
        fields.push_back(std::move(*field));
    }
    return fields;
}

std::optional<std::int64_t> fieldToInteger(std::string_view field)
{
    field = withoutBlanks(field);
    if (field.empty())
        return 0;
    if (field.front() == '+')
        field.remove_prefix(1);
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || ptr != field.data() + field.size() || field.empty())
        return std::nullopt;
    return value;
}

template <typename T>
static std::optional<T> narrowed(std::optional<std::int64_t> v)
{
    if (!v || *v < std::numeric_limits<T>::min() || *v > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(*v);
}

std::optional<std::int32_t> fieldToInt32(std::string_view field)
{
    return narrowed<std::int32_t>(fieldToInteger(field));
}

std::optional<std::int16_t> fieldToInt16(std::string_view field)
{
    return narrowed<std::int16_t>(fieldToInteger(field));
}

std::optional<double> fieldToNumber(std::string_view field, double limit)
{
    field = withoutBlanks(field);
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    if (field.empty())
        return std::nullopt;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value,
                                           std::chars_format::general);
    if (ec != std::errc() || ptr != field.data() + field.size() || !std::isfinite(value)
        || std::fabs(value) > limit)
        return std::nullopt;
    return value;
}

std::optional<bool> fieldToBoolean(std::string_view field)
{
    if (field == "#TRUE#")
        return true;
    if (field == "#FALSE#")
        return false;
    if (auto v = fieldToInteger(field))
        return *v != 0;
    return std::nullopt;
}

} // namespace sonaveil
