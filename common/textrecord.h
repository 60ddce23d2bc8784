#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonaveil {

// Builds the lines of a small state file: comma-separated fields, integers as bare decimal
// digits, text in double quotes, booleans as #TRUE# / #FALSE#, every line ended by CR LF.
class TextRecordWriter {
public:
    TextRecordWriter& integer(std::int64_t value);
    TextRecordWriter& text(std::string_view value);
    TextRecordWriter& boolean(bool value);
    // Ends the current line (CR LF). Fields added afterwards start a new line.
    TextRecordWriter& endLine();

    // Everything written so far; an unfinished line is ended first.
    std::string bytes() const;

private:
    void separate();

    std::string m_bytes;
    bool m_lineHasFields = false;
};

// Reads fields back with the lenient rule: commas or line ends (CR, LF or CR LF) separate
// fields, blanks around a field are skipped, surrounding double quotes are dropped (a quoted
// field may hold commas), blank lines are skipped and an empty field reads as "".
class TextRecordReader {
public:
    explicit TextRecordReader(std::string_view content);

    // The next field, or nothing when the content is exhausted.
    std::optional<std::string> next();
    bool atEnd() const;

    // Reads exactly `count` fields, or nothing when fewer remain.
    std::optional<std::vector<std::string>> take(int count);

private:
    void skipBlanks();
    void skipSeparatorsAndBlankLines();
    bool atLineEnd() const;
    void consumeLineEnd();

    std::string_view m_content;
    std::size_t m_pos = 0;
};

// Field conversions. An empty field counts as 0; a number may carry a sign but nothing else.
std::optional<std::int64_t> fieldToInteger(std::string_view field);
std::optional<std::int32_t> fieldToInt32(std::string_view field);
std::optional<std::int16_t> fieldToInt16(std::string_view field);
// A decimal number ("3", "-2.5", "1e3"), blanks around it allowed. Nothing for an empty field,
// for anything not finite (nan, inf) and for a magnitude above `limit` (1e300 is no slot or
// position of ours): such a number would be undefined behaviour once turned into an integer.
std::optional<double> fieldToNumber(std::string_view field, double limit = 1e9);
// #TRUE# / #FALSE#, or an integer (non-zero is true).
std::optional<bool> fieldToBoolean(std::string_view field);

} // namespace sonaveil
