#pragma once

#include <QImage>
#include <QString>

#include <functional>

class QWidget;

namespace testing_support {

// Runs the event loop until the condition holds or timeoutMs passed; returns whether it held.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs);
// Writes a picture of the widget to the grab folder under the given name (".png" added) and
// returns the picture.
QImage saveGrab(QWidget* widget, const QString& name);
QImage saveImage(const QImage& image, const QString& name);

} // namespace testing_support
