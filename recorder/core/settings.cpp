#include "recorder/core/settings.h"

#include "common/rounding.h"
#include "common/textrecord.h"
#include "recorder/core/rules.h"

#include <QFile>
#include <QSaveFile>
#include <QSettings>

#include <cmath>
#include <limits>

namespace sonaveil::recorder {

namespace {

const QString kSection = QStringLiteral("Settings/");

std::optional<double> toNumber(const QVariant& value)
{
    bool ok = false;
    const double v = value.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// A whole number within the 16-bit or 32-bit range, fractions to the even neighbour.
std::optional<int> toWhole(const QVariant& value, bool sixteenBit)
{
    const auto v = toNumber(value);
    // Beyond 2^31 no position or count of ours; refused before rounding, which could not hold it.
    if (!v || std::fabs(*v) > 2147483648.0)
        return std::nullopt;
    const std::int64_t r = roundHalfEven(*v);
    const std::int64_t lo = sixteenBit ? -32768 : std::numeric_limits<std::int32_t>::min();
    const std::int64_t hi = sixteenBit ? 32767 : std::numeric_limits<std::int32_t>::max();
    return r < lo || r > hi ? std::nullopt : std::optional<int>(int(r));
}

} // namespace

StoredSettings readStoredSettings(QSettings& store)
{
    StoredSettings s;
    const auto x = toNumber(store.value(kSection + QStringLiteral("X"), QStringLiteral("0")));
    if (!x) {
        s.failed = true;
        return s;
    }
    if (*x == 0)
        return s;
    s.restored = true;
    s.x = x;
    auto fail = [&s] {
        s.failed = true;
        return s;
    };
    if (!(s.y = toNumber(store.value(kSection + QStringLiteral("Y")))))
        return fail();
    if (!(s.driver = toWhole(store.value(kSection + QStringLiteral("Driver"), QStringLiteral("1")), true)))
        return fail();
    s.quality = toWhole(store.value(kSection + QStringLiteral("Quality")), true);
    if (!s.quality || *s.quality < 0 || *s.quality > 11) {
        s.quality.reset();
        return fail();
    }
    s.style = toWhole(store.value(kSection + QStringLiteral("Style")), true);
    if (!s.style || *s.style < 0 || *s.style > 1) {
        s.style.reset();
        return fail();
    }
    if (!(s.calibration = toWhole(store.value(kSection + QStringLiteral("Calibration"), QStringLiteral("10")), false)))
        return fail();
    if (!(s.diskspace = toWhole(store.value(kSection + QStringLiteral("Diskspace")), false)))
        return fail();
    return s;
}

void writeStoredSettings(QSettings& store, const WindowSettings& v)
{
    store.setValue(kSection + QStringLiteral("X"), QString::number(v.x));
    store.setValue(kSection + QStringLiteral("Y"), QString::number(v.y));
    store.setValue(kSection + QStringLiteral("Driver"), QString::number(v.driver));
    store.setValue(kSection + QStringLiteral("Quality"), QString::number(v.quality));
    store.setValue(kSection + QStringLiteral("Style"), QString::number(v.style));
    store.setValue(kSection + QStringLiteral("Calibration"), QString::number(v.calibration));
    store.setValue(kSection + QStringLiteral("Diskspace"), QString::number(v.diskspace));
    store.sync();
}

bool showRecordingHelp(QSettings& store)
{
    // A value that is no number counts as 0, as the runtime's conversion of text to a number does.
    const auto v = toNumber(store.value(QStringLiteral("Options/Show Tips at Start2"), QStringLiteral("1")));
    return v.value_or(0) != 0;
}

void setShowRecordingHelp(QSettings& store, bool show)
{
    store.setValue(QStringLiteral("Options/Show Tips at Start2"), show ? QStringLiteral("1") : QStringLiteral("0"));
    store.sync();
}

QByteArray recSetBytes(const RecSet& v)
{
    TextRecordWriter w;
    w.integer(v.device).text(v.format.toStdString()).text(v.limit.toStdString()).text(v.threshold.toStdString()).endLine();
    const std::string bytes = w.bytes();
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

std::optional<RecSet> readRecSet(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray content = f.readAll();
    TextRecordReader reader(std::string_view(content.constData(), std::size_t(content.size())));
    const auto fields = reader.take(4);
    if (!fields)
        return std::nullopt;
    const auto device = fieldToInt16((*fields)[0]);
    if (!device)
        return std::nullopt;
    // The lists' own items, and for the two lists of figures any text that begins with one (a
    // hand edit such as "75"), which counts by that figure. Anything else (a text with a quote
    // that would read back differently at every start) gives the list's default.
    auto item = [](const std::string& field, const QStringList& items, const QString& fallback, bool figures) {
        const QString text = QString::fromStdString(field);
        if (items.contains(text))
            return text;
        if (figures && !text.contains(QLatin1Char('"')) && numericValue(text) > 0)
            return text;
        return fallback;
    };
    RecSet r;
    r.device = *device;
    r.format = item((*fields)[1], kOutputFormats, RecSet{}.format, false);
    r.limit = item((*fields)[2], kTimeLimits, RecSet{}.limit, true);
    r.threshold = item((*fields)[3], kThresholds, RecSet{}.threshold, true);
    return r;
}

bool writeRecSet(const QString& path, const RecSet& values)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(recSetBytes(values));
    return f.commit();
}

} // namespace sonaveil::recorder
