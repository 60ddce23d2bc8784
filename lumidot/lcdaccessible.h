#pragma once

#include "lumidot/export.h"

class QAccessibleEvent;

namespace sonaveil::lumidot {

// Installs the screen-reader interface of the display once: static text whose name is the text
// it shows (or the name its host gave it, the text then being its description and value).
void installLcdAccessibility();

// Hands the display's announcements to `listener` instead of the desktop (nullptr: the desktop
// again); platforms without an accessibility bridge drop them.
using LcdAnnouncementListener = void (*)(QAccessibleEvent*);
LUMIDOT_EXPORT void listenToLcdAnnouncements(LcdAnnouncementListener listener);
// Whether anybody listens.
bool lcdAnnouncing();
void sendLcdAnnouncement(QAccessibleEvent& event);

} // namespace sonaveil::lumidot
