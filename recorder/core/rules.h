#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace sonaveil::recorder {

// The items of the window's fixed lists, in order.
inline const QStringList kOutputFormats{QStringLiteral("Wav"), QStringLiteral("MP3")};
inline const QStringList kTimeLimits{QStringLiteral("Unlimited"), QStringLiteral("1"), QStringLiteral("5"),
                                     QStringLiteral("10"),        QStringLiteral("15"), QStringLiteral("30"),
                                     QStringLiteral("60")};
inline const QStringList kThresholds{QStringLiteral("Don't warn"), QStringLiteral("10"),  QStringLiteral("50"),
                                     QStringLiteral("100"),        QStringLiteral("250"), QStringLiteral("500"),
                                     QStringLiteral("1000")};
inline const QStringList kMeterStyles{QStringLiteral("VU Meters"), QStringLiteral("Oscilloscope")};
inline const QString kDontWarn = QStringLiteral("Don't warn");

// The leading number of a text as a decimal value (blanks before it skipped); 0 when the text
// does not begin with a number ("Unlimited", "Don't warn").
double numericValue(const QString& text);

// The progress line: " 512.00KB / 00:00:05". `elapsed` is seconds, minutes, hours.
QString progressText(double bytes, const std::array<float, 3>& elapsed);

// The folder part of a path, up to and including its last "/"; "" when it has none.
QString folderOf(const QString& path);

// The MP3 beside a WAV: the name's extension replaced by "mp3" ("take1.wav" -> "take1.mp3"),
// ".mp3" added to a name without one.
QString mp3TargetOf(const QString& source);

// The status texts of line 2 of LCD1.
inline const QString kStatusStopped = QStringLiteral(" Status: Stopped");
inline const QString kStatusRecording = QStringLiteral(" Status: Recording");
inline const QString kStatusPlaying = QStringLiteral(" Status: Playing");

// Where a window of `size` goes when its stored top-left corner is `stored`: there, when a
// corner of it big enough to grab (64 x 24 pixels) lies on one of the `available` screen areas;
// otherwise, and when nothing is stored, in the middle of `primary` (a monitor that was
// unplugged, a position that wrapped around).
QPoint placeOnScreens(std::optional<QPoint> stored, QSize size, const QList<QRect>& available, QRect primary);

// The factor label of the calibration slider: 15 gives "(x1.5)".
QString factorLabel(float factor);

} // namespace sonaveil::recorder
