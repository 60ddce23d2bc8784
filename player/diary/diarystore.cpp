#include "player/diary/diarystore.h"

#include <QFile>
#include <QMap>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QUuid>
#include <QVariant>

#include <cmath>

namespace sonaveil::player {

namespace {

// Moments are kept as UTC text, which sorts as it reads.
QString stored(const QDateTime& t)
{
    return t.isValid() ? t.toUTC().toString(Qt::ISODate) : QString();
}

QDateTime moment(const QVariant& v)
{
    QDateTime t = QDateTime::fromString(v.toString(), Qt::ISODate);
    return t.isValid() ? t.toLocalTime() : QDateTime();
}

QVariant orNull(const std::optional<double>& v)
{
    return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Double));
}

QVariant orNull(const std::optional<int>& v)
{
    return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Int));
}

// Qt binds a null string as NULL; text columns hold "" instead.
QString text(const QString& s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

std::optional<double> optionalDouble(const QVariant& v)
{
    if (v.isNull())
        return std::nullopt;
    return v.toDouble();
}

const char* kindName(DiaryEntry::Kind kind)
{
    return kind == DiaryEntry::Kind::Evening ? "evening" : "morning";
}

const char* earName(MeasureRecord::Ear ear)
{
    return ear == MeasureRecord::Ear::Left ? "left" : ear == MeasureRecord::Ear::Right ? "right" : "both";
}

MeasureRecord::Ear earFrom(const QString& s)
{
    return s == "left" ? MeasureRecord::Ear::Left : s == "right" ? MeasureRecord::Ear::Right : MeasureRecord::Ear::Both;
}

QString number(double v)
{
    // Dot decimals whatever the language, as few digits as the value needs.
    return QString::number(v, 'g', 10);
}

// Version 1: entries and nights, the night's sounds in one field joined by ';'.
const char* const kVersion1[] = {
    "CREATE TABLE schema_version (version INTEGER NOT NULL)",
    "CREATE TABLE entries (id INTEGER PRIMARY KEY, kind TEXT NOT NULL, at TEXT NOT NULL, loudness INTEGER NOT NULL,"
    " bother INTEGER NOT NULL, sleep INTEGER, note TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE nights (id INTEGER PRIMARY KEY, started TEXT NOT NULL, ended TEXT NOT NULL, mix TEXT NOT NULL,"
    " sounds TEXT NOT NULL DEFAULT '', notch_hz REAL, sleep_minutes INTEGER, alarm TEXT NOT NULL DEFAULT '')",
    "INSERT INTO schema_version (version) VALUES (1)",
};

} // namespace

DiaryStore::DiaryStore(const QString& file)
    : m_file(file)
    , m_connection("diary-" + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

DiaryStore::~DiaryStore()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool DiaryStore::fail(const QString& what) const
{
    m_error = what;
    return false;
}

std::optional<QSqlDatabase> DiaryStore::beginChange() const
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!m_open || !db.transaction()) {
        fail(m_open ? db.lastError().text() : QStringLiteral("the diary is not open"));
        return std::nullopt;
    }
    return db;
}

bool DiaryStore::endChange(QSqlDatabase& db, const QSqlQuery& q, bool ok) const
{
    if (ok && db.commit())
        return true;
    fail(q.lastError().isValid() ? q.lastError().text() : db.lastError().text());
    db.rollback();
    return false;
}

bool DiaryStore::open(QString* error)
{
    QSqlDatabase db = QSqlDatabase::contains(m_connection) ? QSqlDatabase::database(m_connection, false)
                                                           : QSqlDatabase::addDatabase("QSQLITE", m_connection);
    db.setDatabaseName(m_file);
    m_open = db.open();
    if (!m_open) {
        m_error = db.lastError().text();
    } else {
        QSqlQuery q(db);
        // Write-ahead log and full syncs: a commit is on the disk when it returns, and a kill
        // at any moment leaves the last commit whole.
        for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA foreign_keys=ON",
                                   "PRAGMA busy_timeout=5000"})
            if (!q.exec(pragma)) {
                m_error = q.lastError().text();
                m_open = false;
            }
        if (m_open && !migrate())
            m_open = false;
    }
    if (!m_open && error)
        *error = m_error;
    return m_open;
}

int DiaryStore::schemaVersion() const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (q.exec("SELECT version FROM schema_version") && q.next())
        return q.value(0).toInt();
    return 0;
}

bool DiaryStore::migrate()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    int version = db.tables().contains("schema_version") ? schemaVersion() : 0;
    if (version > kSchemaVersion)
        return fail(QStringLiteral("the diary was written by a newer version (schema %1)").arg(version));
    while (version < kSchemaVersion) {
        if (!db.transaction())
            return fail(db.lastError().text());
        QSqlQuery q(db);
        bool ok = true;
        auto run = [&](const QString& sql) {
            if (ok && !q.exec(sql)) {
                m_error = q.lastError().text();
                ok = false;
            }
        };
        if (version == 0) {
            for (const char* sql : kVersion1)
                run(sql);
        } else if (version == 1) {
            // Version 2: one row per sound of a night (so that "what helps" can ask by sound),
            // and the measures.
            run("CREATE TABLE night_sounds (night_id INTEGER NOT NULL REFERENCES nights(id) ON DELETE CASCADE,"
                " sound TEXT NOT NULL)");
            QList<QPair<qint64, QString>> sounds;
            if (ok && q.exec("SELECT id, sounds FROM nights")) {
                while (q.next())
                    for (const QString& s : q.value(1).toString().split(';', Qt::SkipEmptyParts))
                        sounds.append({q.value(0).toLongLong(), s.trimmed()});
            } else {
                ok = false;
                m_error = q.lastError().text();
            }
            for (const auto& [id, sound] : sounds) {
                if (!ok)
                    break;
                q.prepare("INSERT INTO night_sounds (night_id, sound) VALUES (?, ?)");
                q.addBindValue(id);
                q.addBindValue(text(sound));
                if (!q.exec()) {
                    ok = false;
                    m_error = q.lastError().text();
                }
            }
            run("ALTER TABLE nights DROP COLUMN sounds");
            run("CREATE TABLE measures (id INTEGER PRIMARY KEY, at TEXT NOT NULL, kind TEXT NOT NULL, ear TEXT NOT NULL,"
                " hz REAL NOT NULL, value REAL, above_threshold REAL, detail TEXT NOT NULL DEFAULT '')");
            run("CREATE INDEX entries_at ON entries (at)");
            run("CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL)");
            run("UPDATE schema_version SET version = 2");
        }
        if (!ok) {
            db.rollback();
            return false;
        }
        if (!db.commit())
            return fail(db.lastError().text());
        ++version;
    }
    return true;
}

std::optional<qint64> DiaryStore::addEntry(const DiaryEntry& e)
{
    auto db = beginChange();
    if (!db)
        return std::nullopt;
    QSqlQuery q(*db);
    q.prepare("INSERT INTO entries (kind, at, loudness, bother, sleep, note) VALUES (?, ?, ?, ?, ?, ?)");
    q.addBindValue(kindName(e.kind));
    q.addBindValue(stored(e.at));
    q.addBindValue(std::clamp(e.loudness, 0, 10));
    q.addBindValue(std::clamp(e.bother, 0, 10));
    q.addBindValue(e.sleep ? orNull(std::optional<int>(std::clamp(*e.sleep, 0, 10))) : orNull(std::optional<int>()));
    q.addBindValue(text(e.note));
    const bool ok = q.exec();
    if (!endChange(*db, q, ok))
        return std::nullopt;
    return q.lastInsertId().toLongLong();
}

QList<DiaryEntry> DiaryStore::entries(const QDateTime& from, const QDateTime& to) const
{
    QList<DiaryEntry> out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare("SELECT id, kind, at, loudness, bother, sleep, note FROM entries WHERE (? = '' OR at >= ?) AND (? = '' OR at <= ?)"
              " ORDER BY at, id");
    for (const QDateTime& t : {from, from, to, to})
        q.addBindValue(text(stored(t)));
    if (!q.exec())
        return out;
    while (q.next()) {
        DiaryEntry e;
        e.id = q.value(0).toLongLong();
        e.kind = q.value(1).toString() == "evening" ? DiaryEntry::Kind::Evening : DiaryEntry::Kind::Morning;
        e.at = moment(q.value(2));
        e.loudness = q.value(3).toInt();
        e.bother = q.value(4).toInt();
        if (!q.value(5).isNull())
            e.sleep = q.value(5).toInt();
        e.note = q.value(6).toString();
        out.append(e);
    }
    return out;
}

std::optional<qint64> DiaryStore::beginNight(const NightRecord& n)
{
    auto db = beginChange();
    if (!db)
        return std::nullopt;
    QSqlQuery q(*db);
    q.prepare("INSERT INTO nights (started, ended, mix, notch_hz, sleep_minutes, alarm) VALUES (?, ?, ?, ?, ?, ?)");
    q.addBindValue(stored(n.started));
    q.addBindValue(stored(n.ended.isValid() ? n.ended : n.started));
    q.addBindValue(text(n.mix));
    q.addBindValue(orNull(n.notchHz));
    q.addBindValue(orNull(n.sleepTimerMinutes));
    q.addBindValue(text(n.alarm));
    bool ok = q.exec();
    const qint64 id = q.lastInsertId().toLongLong();
    for (const QString& sound : n.sounds) {
        if (!ok)
            break;
        q.prepare("INSERT INTO night_sounds (night_id, sound) VALUES (?, ?)");
        q.addBindValue(id);
        q.addBindValue(text(sound));
        ok = q.exec();
    }
    if (!endChange(*db, q, ok))
        return std::nullopt;
    return id;
}

bool DiaryStore::touchNight(qint64 id, const QDateTime& ended)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    // One statement is its own transaction.
    q.prepare("UPDATE nights SET ended = ? WHERE id = ?");
    q.addBindValue(stored(ended));
    q.addBindValue(id);
    return q.exec() ? true : fail(q.lastError().text());
}

bool DiaryStore::removeNight(qint64 id)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare("DELETE FROM nights WHERE id = ?");
    q.addBindValue(id);
    return q.exec() ? true : fail(q.lastError().text());
}

QList<NightRecord> DiaryStore::nights() const
{
    QList<NightRecord> out;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    if (!q.exec("SELECT id, started, ended, mix, notch_hz, sleep_minutes, alarm FROM nights ORDER BY started, id"))
        return out;
    QMap<qint64, int> index;
    while (q.next()) {
        NightRecord n;
        n.id = q.value(0).toLongLong();
        n.started = moment(q.value(1));
        n.ended = moment(q.value(2));
        n.mix = q.value(3).toString();
        n.notchHz = optionalDouble(q.value(4));
        if (!q.value(5).isNull())
            n.sleepTimerMinutes = q.value(5).toInt();
        n.alarm = q.value(6).toString();
        index.insert(n.id, int(out.size()));
        out.append(n);
    }
    if (q.exec("SELECT night_id, sound FROM night_sounds ORDER BY rowid"))
        while (q.next())
            if (const auto it = index.find(q.value(0).toLongLong()); it != index.end())
                out[*it].sounds.append(q.value(1).toString());
    return out;
}

QString DiaryStore::kindText(MeasureRecord::Kind kind)
{
    switch (kind) {
    case MeasureRecord::Kind::Threshold:
        return "threshold";
    case MeasureRecord::Kind::Pitch:
        return "pitch";
    case MeasureRecord::Kind::Loudness:
        return "loudness";
    case MeasureRecord::Kind::Masking:
        return "masking";
    case MeasureRecord::Kind::Inhibition:
        return "inhibition";
    }
    return "threshold";
}

std::optional<qint64> DiaryStore::addMeasure(const MeasureRecord& m)
{
    if (!addMeasures({m}))
        return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (q.exec("SELECT max(id) FROM measures") && q.next())
        return q.value(0).toLongLong();
    return std::nullopt;
}

bool DiaryStore::addMeasures(const QList<MeasureRecord>& measures)
{
    auto db = beginChange();
    if (!db)
        return false;
    QSqlQuery q(*db);
    bool ok = true;
    for (const MeasureRecord& m : measures) {
        q.prepare("INSERT INTO measures (at, kind, ear, hz, value, above_threshold, detail) VALUES (?, ?, ?, ?, ?, ?, ?)");
        q.addBindValue(stored(m.at));
        q.addBindValue(kindText(m.kind));
        q.addBindValue(earName(m.ear));
        q.addBindValue(m.hz);
        q.addBindValue(orNull(m.value));
        q.addBindValue(orNull(m.aboveThreshold));
        q.addBindValue(text(m.detail));
        if (!(ok = q.exec()))
            break;
    }
    return endChange(*db, q, ok);
}

QList<MeasureRecord> DiaryStore::measures() const
{
    QList<MeasureRecord> out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec("SELECT id, at, kind, ear, hz, value, above_threshold, detail FROM measures ORDER BY at, id"))
        return out;
    while (q.next()) {
        MeasureRecord m;
        m.id = q.value(0).toLongLong();
        m.at = moment(q.value(1));
        const QString kind = q.value(2).toString();
        for (auto k : {MeasureRecord::Kind::Threshold, MeasureRecord::Kind::Pitch, MeasureRecord::Kind::Loudness,
                       MeasureRecord::Kind::Masking, MeasureRecord::Kind::Inhibition})
            if (kindText(k) == kind)
                m.kind = k;
        m.ear = earFrom(q.value(3).toString());
        m.hz = q.value(4).toDouble();
        m.value = optionalDouble(q.value(5));
        m.aboveThreshold = optionalDouble(q.value(6));
        m.detail = q.value(7).toString();
        out.append(m);
    }
    return out;
}

QList<HelpFigure> DiaryStore::whatHelps() const
{
    const QList<DiaryEntry> all = entries();
    QList<DiaryEntry> mornings;
    for (const DiaryEntry& e : all)
        if (e.kind == DiaryEntry::Kind::Morning)
            mornings.append(e);

    struct Sum {
        int nights = 0, sleepNights = 0;
        double loudness = 0, bother = 0, sleep = 0;
    };
    QMap<QString, Sum> byMix, bySound;
    for (const NightRecord& n : nights()) {
        // The first morning entry after the night's start, within reach of it.
        const DiaryEntry* morning = nullptr;
        for (const DiaryEntry& e : mornings)
            if (e.at >= n.started && n.started.secsTo(e.at) <= kMorningAfterSecs) {
                morning = &e;
                break;
            }
        if (!morning)
            continue;
        auto add = [&](Sum& s) {
            ++s.nights;
            s.loudness += morning->loudness;
            s.bother += morning->bother;
            if (morning->sleep) {
                ++s.sleepNights;
                s.sleep += *morning->sleep;
            }
        };
        if (!n.mix.isEmpty())
            add(byMix[n.mix]);
        QStringList once = n.sounds;
        once.removeDuplicates();
        for (const QString& sound : once)
            add(bySound[sound]);
    }
    QList<HelpFigure> out;
    for (const bool sound : {false, true}) {
        const QMap<QString, Sum>& from = sound ? bySound : byMix;
        for (auto it = from.begin(); it != from.end(); ++it) {
            HelpFigure f;
            f.name = it.key();
            f.sound = sound;
            f.nights = it->nights;
            f.loudness = it->loudness / it->nights;
            f.bother = it->bother / it->nights;
            f.sleepNights = it->sleepNights;
            f.sleep = it->sleepNights ? it->sleep / it->sleepNights : 0.0;
            out.append(f);
        }
    }
    return out;
}

QString DiaryStore::setting(const QString& key, const QString& fallback) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare("SELECT value FROM settings WHERE key = ?");
    q.addBindValue(key);
    if (q.exec() && q.next())
        return q.value(0).toString();
    return fallback;
}

bool DiaryStore::setSetting(const QString& key, const QString& value)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare("INSERT INTO settings (key, value) VALUES (?, ?) ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    q.addBindValue(text(key));
    q.addBindValue(text(value));
    return q.exec() ? true : fail(q.lastError().text());
}

QString DiaryStore::csvField(const QString& text)
{
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
        return text;
    QString quoted = text;
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

namespace {

QString csvLine(const QStringList& fields)
{
    QStringList out;
    for (const QString& f : fields)
        out.append(DiaryStore::csvField(f));
    return out.join(',') + "\r\n";
}

QString localText(const QDateTime& t)
{
    return t.isValid() ? t.toString("yyyy-MM-dd HH:mm") : QString();
}

bool writeAll(QIODevice& out, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return out.write(bytes) == bytes.size();
}

} // namespace

bool DiaryStore::writeEntriesCsv(QIODevice& out) const
{
    QString text = csvLine({"date", "kind", "loudness", "bother", "sleep", "note"});
    for (const DiaryEntry& e : entries())
        text += csvLine({localText(e.at), kindName(e.kind), QString::number(e.loudness), QString::number(e.bother),
                         e.sleep ? QString::number(*e.sleep) : QString(), e.note});
    return writeAll(out, text);
}

bool DiaryStore::writeNightsCsv(QIODevice& out) const
{
    QString text = csvLine({"from", "to", "mix", "sounds", "notch Hz", "sleep timer min", "alarm"});
    for (const NightRecord& n : nights())
        text += csvLine({localText(n.started), localText(n.ended), n.mix, n.sounds.join("; "),
                         n.notchHz ? number(*n.notchHz) : QString(),
                         n.sleepTimerMinutes ? QString::number(*n.sleepTimerMinutes) : QString(), n.alarm});
    return writeAll(out, text);
}

bool DiaryStore::writeMeasuresCsv(QIODevice& out) const
{
    QString text = csvLine({"date", "measure", "ear", "Hz", "value", "above threshold dB", "detail"});
    for (const MeasureRecord& m : measures())
        text += csvLine({localText(m.at), kindText(m.kind), earName(m.ear), number(m.hz),
                         m.value ? number(*m.value) : QString(), m.aboveThreshold ? number(*m.aboveThreshold) : QString(),
                         m.detail});
    return writeAll(out, text);
}

bool DiaryStore::exportCsv(const QString& base, QString* error) const
{
    QString stem = base;
    if (stem.endsWith(".csv", Qt::CaseInsensitive))
        stem.chop(4);
    const std::pair<QString, bool (DiaryStore::*)(QIODevice&) const> files[] = {
        {stem + ".csv", &DiaryStore::writeEntriesCsv},
        {stem + "-nights.csv", &DiaryStore::writeNightsCsv},
        {stem + "-measures.csv", &DiaryStore::writeMeasuresCsv},
    };
    for (const auto& [name, write] : files) {
        QSaveFile file(name);
        if (!file.open(QIODevice::WriteOnly) || !(this->*write)(file) || !file.commit()) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(name, file.errorString());
            return false;
        }
    }
    return true;
}

} // namespace sonaveil::player
