#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;
class QSqlDatabase;
class QSqlQuery;

namespace sonaveil::player {

// A morning or evening line of the diary: how loud the tinnitus is and how much it bothers,
// 0 … 10, the night's sleep 0 … 10 in the morning, and a note.
struct DiaryEntry {
    enum class Kind { Morning, Evening };
    qint64 id = 0;
    Kind kind = Kind::Morning;
    QDateTime at;
    int loudness = 0;
    int bother = 0;
    std::optional<int> sleep;
    QString note;
};

// What played through a night, kept without the user's help.
struct NightRecord {
    qint64 id = 0;
    QDateTime started;
    // The last moment known to be playing; kept current while the night runs, so that a night
    // cut short by a crash still ends near where it did.
    QDateTime ended;
    QString mix;
    QStringList sounds;
    std::optional<double> notchHz;
    std::optional<int> sleepTimerMinutes;
    // The alarm time "hh:mm:ss" when one was armed.
    QString alarm;
};

// One result of a measure: a hearing threshold (per ear and pitch), the pitch match, the
// loudness match, the minimum masking level or residual inhibition.
struct MeasureRecord {
    enum class Kind { Threshold, Pitch, Loudness, Masking, Inhibition };
    // Ears as the hearing check names them.
    enum class Ear { Both, Left, Right };
    qint64 id = 0;
    QDateTime at;
    Kind kind = Kind::Threshold;
    Ear ear = Ear::Both;
    double hz = 0;
    // dB below full scale (threshold, loudness, masking); seconds for residual inhibition; none
    // for a threshold not reached below the ceiling.
    std::optional<double> value;
    // dB above the threshold at that pitch, when known.
    std::optional<double> aboveThreshold;
    // The noise ("white", "pink", "band"), or how residual inhibition went ("full", "partial",
    // "none").
    QString detail;
};

// "What helps": the mean morning ratings after the nights with one mix or one sound.
struct HelpFigure {
    QString name;
    bool sound = false;
    int nights = 0;
    double loudness = 0, bother = 0, sleep = 0;
    int sleepNights = 0;
};

// The diary, the nights and the measures' results, in one SQLite file. Every write is one
// transaction, and the file is kept in write-ahead mode with full syncs, so that a kill at
// any moment leaves every committed write and nothing half-written. The file carries its
// schema version; an older file is brought up to date when opened.
class DiaryStore {
public:
    static constexpr int kSchemaVersion = 2;
    static constexpr const char* kFileName = "diary.sqlite";
    // A morning entry speaks for the night that started at most this long before it.
    static constexpr qint64 kMorningAfterSecs = 20 * 3600;

    explicit DiaryStore(const QString& file);
    ~DiaryStore();
    DiaryStore(const DiaryStore&) = delete;
    DiaryStore& operator=(const DiaryStore&) = delete;

    const QString& file() const { return m_file; }
    // Opens (creating or bringing up to date); false with `error` when the file cannot be used.
    bool open(QString* error = nullptr);
    bool isOpen() const { return m_open; }
    int schemaVersion() const;
    QString lastError() const { return m_error; }

    // Each write returns the new row's id, or nothing (lastError() says why).
    std::optional<qint64> addEntry(const DiaryEntry& entry);
    // In time order; the bounds are inclusive, an invalid one open.
    QList<DiaryEntry> entries(const QDateTime& from = {}, const QDateTime& to = {}) const;

    std::optional<qint64> beginNight(const NightRecord& night);
    // Moves the night's end (while it runs, and when it ends).
    bool touchNight(qint64 id, const QDateTime& ended);
    bool removeNight(qint64 id);
    QList<NightRecord> nights() const;

    std::optional<qint64> addMeasure(const MeasureRecord& measure);
    // All of them or none (one hearing check).
    bool addMeasures(const QList<MeasureRecord>& measures);
    QList<MeasureRecord> measures() const;

    // The diary's own choices (when to offer an entry), by name.
    QString setting(const QString& key, const QString& fallback = {}) const;
    bool setSetting(const QString& key, const QString& value);

    // For each mix and each sound (mixes first, then by name), the mean morning ratings after
    // its nights; a night counts when a morning entry follows it within kMorningAfterSecs.
    QList<HelpFigure> whatHelps() const;

    // Comma-separated values with a header line, fields quoted where they need it.
    bool writeEntriesCsv(QIODevice& out) const;
    bool writeNightsCsv(QIODevice& out) const;
    bool writeMeasuresCsv(QIODevice& out) const;
    // Writes `base`.csv's three files: the entries at `base`, the nights and the measures beside
    // it ("diary.csv", "diary-nights.csv", "diary-measures.csv"). False with `error`.
    bool exportCsv(const QString& base, QString* error = nullptr) const;
    static QString csvField(const QString& text);

    static QString kindText(MeasureRecord::Kind kind);

private:
    bool migrate();
    bool fail(const QString& what) const;
    // The database with a transaction begun for a change; nothing, the failure noted, when the
    // diary is not open or the transaction cannot begin.
    std::optional<QSqlDatabase> beginChange() const;
    // Commits the change when `ok` (what `q` did went well); otherwise, or when the commit fails,
    // notes why and rolls it back. Whether the change was kept.
    bool endChange(QSqlDatabase& db, const QSqlQuery& q, bool ok) const;
    QString m_file;
    QString m_connection;
    bool m_open = false;
    mutable QString m_error;
};

} // namespace sonaveil::player
