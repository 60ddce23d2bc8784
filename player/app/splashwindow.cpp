#include "player/app/splashwindow.h"
#include "controls/windowaccessible.h"

#include "player/app/artwork.h"

#include <QPainter>

#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace sonaveil::player {

SplashWindow::SplashWindow(const QImage& picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_picture(picture.isNull() ? artwork::drawnSplash(480, 240) : picture)
{
    setObjectName("frmstartup");
    controls::setWindowRole(this, QAccessible::Window);
    setWindowTitle(QStringLiteral("Sonaveil"));
    setFixedSize(m_picture.size());
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        m_picture = artwork::drawnSplash(width(), height());
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
}

void SplashWindow::hideEvent(QHideEvent*)
{
    m_picture = {};
    // Not while the hiding is under way; and not if it was shown again meanwhile.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isHidden() && testAttribute(Qt::WA_WState_Created))
                destroy();
        },
        Qt::QueuedConnection);
}

qint64 millisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name may hold blanks; the fields after it are counted from its closing ')'.
    const auto close = content.rfind(')');
    timespec now{};
    if (close == std::string::npos || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    std::istringstream fields(content.substr(close + 2));
    std::string field;
    // Field 22 (starttime) is the 20th after the command name.
    for (int i = 0; i < 20 && fields >> field; ++i) {
    }
    const long ticks = sysconf(_SC_CLK_TCK);
    if (!fields || ticks <= 0)
        return -1;
    const double started = std::stod(field) / double(ticks);
    const double elapsed = double(now.tv_sec) + double(now.tv_nsec) / 1e9 - started;
    return qint64(elapsed * 1000.0 + 0.5);
}

} // namespace sonaveil::player
