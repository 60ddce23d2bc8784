#include "controls/timecontrolmodel.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <regex>

namespace sonaveil::controls {
namespace {

constexpr int kPartStart[] = {0, 3, 6, 9};

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(first, last - first + 1));
}

bool validDate(int y, int m, int d)
{
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > days[m - 1])
        return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m != 2 || d <= 28 || leap;
}

} // namespace

TimeControlModel::TimeControlModel()
{
    m_text = format(0, 0, 0, true);
}

int TimeControlModel::partStart(int part) const
{
    if (!m_showSeconds && part == AmPm)
        return 6;
    return kPartStart[part];
}

int TimeControlModel::afterMinutes() const
{
    if (m_showSeconds)
        return Seconds;
    return m_hour24 ? Minutes : AmPm;
}

void TimeControlModel::setShowSeconds(bool on)
{
    if (on == m_showSeconds)
        return;
    m_showSeconds = on;
    if (!on) {
        m_seconds = 0;
        if (m_part == Seconds)
            m_part = Minutes;
    }
    redraw();
    selectPart(m_part);
}

void TimeControlModel::setDesignators(std::string am, std::string pm)
{
    m_am = am.empty() ? "AM" : std::move(am);
    m_pm = pm.empty() ? "PM" : std::move(pm);
    redraw();
}

std::string TimeControlModel::format(int hours, int minutes, int seconds, bool withSeconds) const
{
    char buf[16];
    const int shown = m_hour24 ? hours : (hours % 12 == 0 ? 12 : hours % 12);
    if (withSeconds)
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", shown, minutes, seconds);
    else
        std::snprintf(buf, sizeof buf, "%02d:%02d", shown, minutes);
    if (m_hour24)
        return buf;
    std::strcat(buf, " ");
    return buf + (hours < 12 ? m_am : m_pm);
}

void TimeControlModel::redraw()
{
    std::string text = format(m_hours, m_minutes, m_seconds, m_showSeconds);
    if (text == m_text)
        return;
    m_text = std::move(text);
    if (onChange)
        onChange();
}

void TimeControlModel::updated()
{
    if (onUpdate)
        onUpdate();
}

void TimeControlModel::selectCharacters()
{
    m_selectionStart = partStart(m_part);
    updated();
}

void TimeControlModel::setSpin(int value, int max)
{
    m_spinMax = max;
    m_spinValue = std::clamp(value, 0, max);
}

void TimeControlModel::setH(int hours)
{
    if (hours > 23)
        hours = 0;
    else if (hours < 0)
        hours = 23;
    m_hours = hours;
    redraw();
    if (m_part == Hours)
        setSpin(hours, 23);
    else if (m_part == AmPm)
        setSpin(hours >= 12 ? 1 : 0, 1);
    selectCharacters();
}

void TimeControlModel::setMin(int minutes)
{
    setSixtieths(m_minutes, Minutes, minutes);
}

void TimeControlModel::setS(int seconds)
{
    setSixtieths(m_seconds, Seconds, seconds);
}

void TimeControlModel::setSixtieths(int& field, Part part, int value)
{
    if (value > 59)
        value = 0;
    else if (value < 0)
        value = 59;
    field = value;
    redraw();
    if (m_part == part)
        setSpin(value, 59);
    selectCharacters();
}

void TimeControlModel::setHour24(bool on)
{
    m_hour24 = on;
    if (on && m_part == AmPm)
        m_part = Seconds;
    m_width = on ? kWidth24 : kWidth12;
    redraw();
    selectPart(m_part);
}

void TimeControlModel::setWidthTwips(int twips)
{
    m_width = std::max(0, twips);
    updated();
}

void TimeControlModel::selectPart(int part)
{
    if (part < Hours || part > AmPm || (part == AmPm && m_hour24) || (part == Seconds && !m_showSeconds))
        return;
    m_part = part;
    m_typed = 0;
    m_wholeSelected = true;
    switch (part) {
    case Hours: setSpin(m_hours, 23); break;
    case Minutes: setSpin(m_minutes, 59); break;
    case Seconds: setSpin(m_seconds, 59); break;
    case AmPm: setSpin(m_hours >= 12 ? 1 : 0, 1); break;
    }
    selectCharacters();
}

void TimeControlModel::toggleAmPm()
{
    setH(m_hours < 12 ? m_hours + 12 : m_hours - 12);
}

void TimeControlModel::spinUp()
{
    if (m_spinValue < m_spinMax)
        spinChanged(m_spinValue + 1);
}

void TimeControlModel::spinDown()
{
    if (m_spinValue > 0)
        spinChanged(m_spinValue - 1);
}

void TimeControlModel::spinChanged(int value)
{
    m_spinValue = std::clamp(value, 0, m_spinMax);
    switch (m_part) {
    case Hours: setH(m_spinValue); break;
    case Minutes: setMin(m_spinValue); break;
    case Seconds: setS(m_spinValue); break;
    case AmPm:
        // The spin value already says which half of the day is wanted.
        if ((m_spinValue == 1) != (m_hours >= 12))
            toggleAmPm();
        break;
    }
}

void TimeControlModel::typeChar(char32_t c)
{
    if (c == 8) {
        m_wholeSelected = false;
        switch (m_part) {
        case Hours: setH(m_hours < 10 ? 0 : m_hours / 10); break;
        case Minutes:
            if (m_minutes == 0)
                selectPart(Hours);
            else
                setMin(m_minutes < 10 ? 0 : m_minutes / 10);
            break;
        case Seconds:
            if (m_seconds == 0)
                selectPart(Minutes);
            else
                setS(m_seconds < 10 ? 0 : m_seconds / 10);
            break;
        default: break;
        }
        // What is left of the part counts as typed: the next digit goes on from it.
        const int left = m_part == Hours ? m_hours : m_part == Minutes ? m_minutes : m_seconds;
        m_typed = left == 0 ? 0 : left < 10 ? 1 : 2;
        return;
    }
    if (c < U'0' || c > U'9')
        return;
    const int k = int(c - U'0');
    // A part that holds two typed digits is complete: the next digit begins the part after it
    // (the seconds, which have none, begin again).
    if (m_typed >= 2 && !m_wholeSelected) {
        const int next = m_part == Hours ? Minutes : m_part == Minutes ? afterMinutes() : m_part;
        if (next != m_part)
            selectPart(next);
    }
    const bool afresh = m_wholeSelected || m_typed >= 2;
    const int typedBefore = afresh ? 0 : m_typed;
    const int partBefore = m_part;
    auto current = [this, afresh](int value) { return afresh ? 0 : value; };
    switch (m_part) {
    case Hours: {
        const int d = current(m_hours);
        if (d == 0) {
            setH(k);
        } else if (d <= 2) {
            setH(std::min(10 * d + k, 23));
            selectPart(Minutes);
        } else {
            setH(23);
            selectPart(Minutes);
        }
        break;
    }
    case Minutes: {
        const int d = current(m_minutes);
        if (d == 0) {
            setMin(k);
        } else {
            setMin(d <= 5 ? 10 * d + k : 59);
            selectPart(afterMinutes());
        }
        break;
    }
    case Seconds: {
        const int d = current(m_seconds);
        m_seconds = d == 0 ? k : (d <= 5 ? 10 * d + k : 59);
        // Shown at once: a typed digit that appeared only at the next change would look lost.
        redraw();
        if (!m_hour24)
            selectPart(AmPm);
        else
            selectPart(Seconds);
        break;
    }
    default: return;
    }
    // Still in the same part (the seconds are selected again after each digit): it holds one
    // more typed digit and is no longer selected as a whole.
    if (m_part == partBefore) {
        m_typed = typedBefore + 1;
        m_wholeSelected = false;
    }
}

void TimeControlModel::keyDown(Key key)
{
    switch (m_part) {
    case Hours:
        if (key == Key::Right) selectPart(Minutes);
        else if (key == Key::Up) setH(m_hours + 1);
        else if (key == Key::Down) setH(m_hours - 1);
        break;
    case Minutes:
        if (key == Key::Left) selectPart(Hours);
        else if (key == Key::Right) selectPart(afterMinutes());
        else if (key == Key::Up) setMin(m_minutes + 1);
        else setMin(m_minutes - 1);
        break;
    case Seconds:
        if (key == Key::Left) selectPart(Minutes);
        else if (key == Key::Right) { if (!m_hour24) selectPart(AmPm); }
        else if (key == Key::Up) setS(m_seconds + 1);
        else setS(m_seconds - 1);
        break;
    case AmPm:
        if (key == Key::Left) selectPart(m_showSeconds ? Seconds : Minutes);
        else if (key == Key::Up || key == Key::Down) toggleAmPm();
        break;
    }
}

bool TimeControlModel::tabForward()
{
    switch (m_part) {
    case Hours: selectPart(Minutes); return false;
    case Minutes:
        if (afterMinutes() == Minutes)
            return true;
        selectPart(afterMinutes());
        return false;
    case Seconds:
        if (m_hour24)
            return true;
        selectPart(AmPm);
        return false;
    default: return true;
    }
}

bool TimeControlModel::tabBackward()
{
    if (m_part == Hours)
        return true;
    selectPart(m_part == AmPm && !m_showSeconds ? Minutes : m_part - 1);
    return false;
}

void TimeControlModel::mousePressedAt(int caret)
{
    int part = caret <= 2 ? Hours : caret <= 5 ? Minutes : caret <= 8 ? Seconds : AmPm;
    if (!m_showSeconds && part >= Seconds)
        part = m_hour24 ? Minutes : AmPm;
    if (part == AmPm && m_hour24)
        part = Seconds;
    selectPart(part);
}

void TimeControlModel::reselect()
{
    selectCharacters();
}

void TimeControlModel::focusIn(int caret)
{
    if (caret < 3)
        selectPart(Hours);
    else
        selectCharacters();
}

std::string TimeControlModel::value() const
{
    return format(m_hours, m_minutes, 0, true);
}

bool TimeControlModel::setValue(std::string_view input)
{
    std::string text = trimmed(input);
    // An optional date in front: 2024-05-17, 17.05.2024, 5/17/2024; a date alone is midnight.
    static const std::regex datePart(
        R"(^(?:(\d{4})-(\d{1,2})-(\d{1,2})|(\d{1,2})[./](\d{1,2})[./](\d{4}))(?:[T ]+|$))");
    std::smatch m;
    bool hadDate = false;
    if (std::regex_search(text, m, datePart)) {
        int y, mo, d;
        if (m[1].matched) {
            y = std::stoi(m[1]); mo = std::stoi(m[2]); d = std::stoi(m[3]);
        } else {
            y = std::stoi(m[6]); d = std::stoi(m[4]); mo = std::stoi(m[5]);
            if (!validDate(y, mo, d))
                std::swap(d, mo); // month first
        }
        if (!validDate(y, mo, d))
            return false;
        hadDate = true;
        text = trimmed(std::string_view(text).substr(m.length(0)));
    }
    int hours = 0, minutes = 0, seconds = 0;
    if (!text.empty()) {
        static const std::regex timePart(R"(^(\d{1,2})(?::(\d{1,2}))?(?::(\d{1,2}))?(?:\s*(\S+))?$)");
        if (!std::regex_match(text, m, timePart))
            return false;
        hours = std::stoi(m[1]);
        minutes = m[2].matched ? std::stoi(m[2]) : 0;
        seconds = m[3].matched ? std::stoi(m[3]) : 0;
        std::optional<bool> pm;
        if (m[4].matched) {
            const std::string mark = lower(m[4].str());
            if (mark == lower(m_am) || mark == "am" || mark == "a")
                pm = false;
            else if (mark == lower(m_pm) || mark == "pm" || mark == "p")
                pm = true;
            else
                return false;
        }
        // A bare number is not a time; "7 PM" is.
        if (!m[2].matched && !pm)
            return false;
        if (minutes > 59 || seconds > 59)
            return false;
        if (pm) {
            if (hours < 1 || hours > 12)
                return false;
            hours = (hours % 12) + (*pm ? 12 : 0);
        } else if (hours > 23) {
            return false;
        }
    } else if (!hadDate) {
        return false;
    }
    setH(hours);
    setMin(minutes);
    setS(m_showSeconds ? seconds : 0);
    return true;
}

void TimeControlModel::readProperties(const PropertyBag& bag)
{
    m_minutes = int(bag.readInteger("Min", 0));
    m_hours = int(bag.readInteger("H", 0));
    if (m_minutes < 0 || m_minutes > 59)
        m_minutes = 0;
    if (m_hours < 0 || m_hours > 23)
        m_hours = 0;
    m_hour24 = bag.readBoolean("Hour24", true);
    if (m_hour24 && m_part == AmPm)
        m_part = Seconds;
    m_width = m_hour24 ? kWidth24 : kWidth12;
    redraw();
    m_width = std::max<int>(0, int(bag.readInteger("Width", kWidth24)));
    selectPart(m_part);
}

void TimeControlModel::writeProperties(PropertyBag& bag) const
{
    bag.write("H", std::int64_t(m_hours));
    bag.write("Min", std::int64_t(m_minutes));
    bag.write("Hour24", m_hour24);
    bag.write("Width", std::int64_t(m_width));
}

} // namespace sonaveil::controls
