#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sonaveil {

// The persisted design-time properties of one control: named values whose names are looked up
// without regard to case ("LCDRow", "lcdrow" and "LcdRow" are one key). Readers name a default
// for a key that is missing or holds a value of another kind.
class PropertyBag {
public:
    using Bytes = std::vector<std::uint8_t>;
    using Value = std::variant<std::int64_t, double, bool, std::string, Bytes>;

    void write(std::string_view name, Value value);
    std::optional<Value> read(std::string_view name) const;
    bool contains(std::string_view name) const;
    void remove(std::string_view name);
    void clear() { m_values.clear(); }
    bool empty() const { return m_values.empty(); }

    // Integers also read booleans (true = -1) and whole doubles; text that is a whole number.
    std::int64_t readInteger(std::string_view name, std::int64_t fallback) const;
    double readDouble(std::string_view name, double fallback) const;
    // Booleans also read integers (non-zero = true).
    bool readBoolean(std::string_view name, bool fallback) const;
    std::string readText(std::string_view name, const std::string& fallback) const;
    Bytes readBytes(std::string_view name, const Bytes& fallback = {}) const;

    // Names in lower case, sorted.
    std::vector<std::string> names() const;

    bool operator==(const PropertyBag& other) const = default;

private:
    static std::string keyOf(std::string_view name);
    std::map<std::string, Value> m_values;
};

} // namespace sonaveil
