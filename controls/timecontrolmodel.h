#pragma once

#include "common/propertybag.h"

#include <functional>
#include <string>
#include <string_view>

namespace sonaveil::controls {

// The time entry without a widget: hours, minutes and seconds edited one part at a time, the
// text it shows with the part that is selected, and the spin button's value and range.
class TimeControlModel {
public:
    enum Part { Hours = 0, Minutes = 1, Seconds = 2, AmPm = 3 };
    enum class Key { Left, Right, Up, Down };

    static constexpr int kWidth24 = 990;   // twips, "hh:mm:ss"
    static constexpr int kWidth12 = 1275;  // twips, "hh:mm:ss AMPM"
    static constexpr int kHeight = 285;    // twips

    TimeControlModel();

    // Raised whenever the text changes.
    std::function<void()> onChange;
    // Raised whenever the selected characters, the width or the spin button change.
    std::function<void()> onUpdate;

    // The AM and PM designators shown in 12-hour mode (the system's own).
    void setDesignators(std::string am, std::string pm);

    int H() const { return m_hours; }
    int Min() const { return m_minutes; }
    int S() const { return m_seconds; }
    // Each wraps around: 24 becomes 0, -1 becomes 23 (59 for minutes and seconds).
    void setH(int hours);
    void setMin(int minutes);
    void setS(int seconds);
    bool hour24() const { return m_hour24; }
    void setHour24(bool on);
    // Without seconds the control shows and edits hh:mm (a time of day to the minute, such as
    // an alarm's); the seconds are 0 and take no part in typing, arrows or Tab.
    bool showSeconds() const { return m_showSeconds; }
    void setShowSeconds(bool on);

    // "hh:mm:00", in 12-hour mode followed by a blank and the designator.
    std::string value() const;
    // Takes the hour, minute and second of a time or date text; false (nothing changed) when
    // the text is neither.
    bool setValue(std::string_view text);

    const std::string& text() const { return m_text; }
    int selectedPart() const { return m_part; }
    int selectionStart() const { return m_selectionStart; }
    int selectionLength() const { return 2; }
    // Selects a part (0 to 3; AM/PM only in 12-hour mode) and sets up the spin button.
    void selectPart(int part);

    int spinValue() const { return m_spinValue; }
    int spinMax() const { return m_spinMax; }
    // The spin button's arrows: the value moves within 0..spinMax and the part follows it.
    void spinUp();
    void spinDown();
    // The spin button reports a new value of its own.
    void spinChanged(int value);

    // A typed character: digits set the selected part, Backspace (8) shortens it; others are
    // ignored. The text box itself never takes a character. A digit typed into a part whose
    // text is selected as a whole (it was just selected, by a click, a key or the step from the
    // part before) starts that part afresh; one typed after two digits in the same part begins
    // the next part (the seconds begin again). Typing a time over the one shown gives that time.
    void typeChar(char32_t c);
    void keyDown(Key key);
    // Tab: true when the focus may leave; otherwise the next part was selected. Shift+Tab goes
    // back through the parts the same way.
    bool tabForward();
    bool tabBackward();

    // Mouse and focus, with the caret position the text box reports.
    void mousePressedAt(int caret);
    void reselect();
    void focusIn(int caret);
    // Where the caret goes when the focus leaves.
    int focusOut(int caret) const { return caret > 2 ? 0 : caret; }

    int widthTwips() const { return m_width; }
    void setWidthTwips(int twips);

    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag) const;

private:
    std::string format(int hours, int minutes, int seconds, bool withSeconds) const;
    int partStart(int part) const;
    // The part the minutes hand on to.
    int afterMinutes() const;
    void redraw();
    void selectCharacters();
    void setSpin(int value, int max);
    // Minutes or seconds: past 59 wraps to 0 and below 0 to 59.
    void setSixtieths(int& field, Part part, int value);
    void toggleAmPm();
    void updated();

    int m_hours = 0, m_minutes = 0, m_seconds = 0;
    int m_part = Hours;
    // Digits typed into the selected part since it was selected, and whether its text is still
    // selected as a whole.
    int m_typed = 0;
    bool m_wholeSelected = true;
    bool m_hour24 = true;
    bool m_showSeconds = true;
    int m_width = kWidth24;
    std::string m_text;
    int m_selectionStart = 0;
    int m_spinValue = 0, m_spinMax = 23;
    std::string m_am = "AM", m_pm = "PM";
};

} // namespace sonaveil::controls
