#pragma once

#include <QString>

#include <optional>

class QSettings;

namespace sonaveil::recorder {

// What section "Settings" of the per-user store gave back, in the order it is applied. A
// failure (a missing key that has no default, a value that is no number, a list position out
// of range) ends the reading: the values read before it are kept, the rest stay empty.
struct StoredSettings {
    bool restored = false; // "X" was present and not 0
    bool failed = false;
    std::optional<double> x;
    std::optional<double> y;
    std::optional<int> driver;
    std::optional<int> quality;
    std::optional<int> style;
    std::optional<int> calibration;
    std::optional<int> diskspace;
};

// The values section "Settings" is written from when the window closes.
struct WindowSettings {
    double x = 0;
    double y = 0;
    int driver = -1;
    int quality = 11;
    int style = 0;
    int calibration = 10;
    int diskspace = 1;
};

StoredSettings readStoredSettings(QSettings& store);
void writeStoredSettings(QSettings& store, const WindowSettings& values);

// The help window's switch: "Show Tips at Start2" in section "Options", default 1.
bool showRecordingHelp(QSettings& store);
void setShowRecordingHelp(QSettings& store, bool show);

// The settings file "recset.inl": the device list's position and the texts of the output-format,
// time-limit and threshold lists.
struct RecSet {
    int device = 1;
    QString format = QStringLiteral("MP3");
    QString limit = QStringLiteral("Unlimited");
    QString threshold = QStringLiteral("Don't warn");
    bool operator==(const RecSet&) const = default;
};

inline const QString kRecSetName = QStringLiteral("recset.inl");

// Nothing when the file is missing, has fewer than four fields or a first field that is no number.
// A text that is not one of its list's items reads as that list's default, except a time limit
// or a threshold that begins with a figure: it is kept and counts by that figure.
std::optional<RecSet> readRecSet(const QString& path);
// Creates or replaces the file with the one record; false when it cannot be written.
bool writeRecSet(const QString& path, const RecSet& values);
// The record's bytes: 1,"MP3","Unlimited","Don't warn" and CR LF.
QByteArray recSetBytes(const RecSet& values);

} // namespace sonaveil::recorder
