#include "player/app/windowlook.h"

#include "common/propertybag.h"
#include "lumidot/lcd.h"

namespace sonaveil::player::look {

lumidot::LCD* display(QWidget* parent, int rows, int columns)
{
    PropertyBag stored;
    stored.write("LCDRow", std::int64_t(rows));
    stored.write("LCDCol", std::int64_t(columns));
    stored.write("DisplayType", std::int64_t(1));
    stored.write("ColorPresetPalette", std::int64_t(2));
    stored.write("PaletteMode", std::int64_t(2));
    QWidget* control = lumidot::createControl("Dotrix.LCD", parent, &stored);
    auto* lcd = qobject_cast<lumidot::LCD*>(control);
    if (!lcd) {
        delete control;
        return nullptr;
    }
    lcd->setObjectName("LCD1");
    // The stored layout names the palette; its colours come from the preset.
    lcd->setColorPresetPalette(2);
    return lcd;
}

} // namespace sonaveil::player::look
