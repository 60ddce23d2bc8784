#include "common/propertybag.h"

#include "common/textrecord.h"

#include <cctype>
#include <cmath>

namespace sonaveil {

std::string PropertyBag::keyOf(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

void PropertyBag::write(std::string_view name, Value value)
{
    m_values[keyOf(name)] = std::move(value);
}

std::optional<PropertyBag::Value> PropertyBag::read(std::string_view name) const
{
    const auto it = m_values.find(keyOf(name));
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

bool PropertyBag::contains(std::string_view name) const
{
    return m_values.count(keyOf(name)) != 0;
}

void PropertyBag::remove(std::string_view name)
{
    m_values.erase(keyOf(name));
}

std::int64_t PropertyBag::readInteger(std::string_view name, std::int64_t fallback) const
{
    const auto v = read(name);
    if (!v)
        return fallback;
    if (auto i = std::get_if<std::int64_t>(&*v))
        return *i;
    if (auto b = std::get_if<bool>(&*v))
        return *b ? -1 : 0;
    if (auto d = std::get_if<double>(&*v); d && std::isfinite(*d) && *d == std::floor(*d)
        && std::fabs(*d) < 9.2e18)
        return static_cast<std::int64_t>(*d);
    if (auto s = std::get_if<std::string>(&*v); s && !s->empty())
        return fieldToInteger(*s).value_or(fallback);
    return fallback;
}

double PropertyBag::readDouble(std::string_view name, double fallback) const
{
    const auto v = read(name);
    if (!v)
        return fallback;
    if (auto d = std::get_if<double>(&*v))
        return *d;
    if (auto i = std::get_if<std::int64_t>(&*v))
        return static_cast<double>(*i);
    return fallback;
}

bool PropertyBag::readBoolean(std::string_view name, bool fallback) const
{
    const auto v = read(name);
    if (!v)
        return fallback;
    if (auto b = std::get_if<bool>(&*v))
        return *b;
    if (auto i = std::get_if<std::int64_t>(&*v))
        return *i != 0;
    return fallback;
}

std::string PropertyBag::readText(std::string_view name, const std::string& fallback) const
{
    const auto v = read(name);
    if (!v)
        return fallback;
    if (auto s = std::get_if<std::string>(&*v))
        return *s;
    return fallback;
}

PropertyBag::Bytes PropertyBag::readBytes(std::string_view name, const Bytes& fallback) const
{
    const auto v = read(name);
    if (!v)
        return fallback;
    if (auto b = std::get_if<Bytes>(&*v))
        return *b;
    return fallback;
}

std::vector<std::string> PropertyBag::names() const
{
    std::vector<std::string> out;
    for (const auto& [key, value] : m_values)
        out.push_back(key);
    return out;
}

} // namespace sonaveil
