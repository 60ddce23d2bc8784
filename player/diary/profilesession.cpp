#include "player/diary/profilesession.h"

#include <QElapsedTimer>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>
#include <map>

namespace sonaveil::player {

QString noiseName(TestKind kind)
{
    switch (kind) {
    case TestKind::White:
        return "white";
    case TestKind::Pink:
        return "pink";
    case TestKind::Band:
        return "band";
    case TestKind::Tone:
        break;
    }
    return "tone";
}

TestKind noiseFromName(const QString& name)
{
    return name == "white" ? TestKind::White : name == "band" ? TestKind::Band : TestKind::Pink;
}

namespace {

// When each hearing-check tone starts and ends and when each answer arrives, in wall-clock
// milliseconds: QT_LOGGING_RULES="sonaveil.profile.timing.debug=true".
Q_LOGGING_CATEGORY(lcTiming, "sonaveil.profile.timing", QtWarningMsg)

MeasureRecord::Ear recordEar(Ear ear)
{
    return ear == Ear::Left ? MeasureRecord::Ear::Left : ear == Ear::Right ? MeasureRecord::Ear::Right : MeasureRecord::Ear::Both;
}

} // namespace

ProfileSession::ProfileSession(TestSoundOutput& output, DiaryStore& diary)
    : m_diary(diary)
    , m_sound(output)
{
}

ProfileSession::~ProfileSession()
{
    if (m_running != Measure::None)
        m_sound.silence();
}

QDateTime ProfileSession::now() const
{
    return m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
}

std::int64_t ProfileSession::steady() const
{
    if (m_hooks.steadyMs)
        return m_hooks.steadyMs();
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

void ProfileSession::notify()
{
    if (changed)
        changed();
}

bool ProfileSession::recordPitch()
{
    if (!m_pitch)
        return false;
    MeasureRecord m;
    m.at = now();
    m.kind = MeasureRecord::Kind::Pitch;
    m.hz = *m_pitch;
    m.value = *m_pitch;
    return m_diary.addMeasure(m).has_value();
}

std::vector<MaskingSound::Threshold> ProfileSession::thresholds(Ear ear) const
{
    // Later records replace earlier ones at the same pitch; a pitch not reached is dropped.
    std::map<long, std::optional<double>> latest;
    for (const MeasureRecord& m : m_diary.measures())
        if (m.kind == MeasureRecord::Kind::Threshold && m.ear == recordEar(ear))
            latest[std::lround(m.hz)] = m.value;
    std::vector<MaskingSound::Threshold> out;
    for (const auto& [hz, db] : latest)
        if (db)
            out.push_back({double(hz), *db});
    return out;
}

std::optional<double> ProfileSession::thresholdAtPitch() const
{
    if (!m_pitch)
        return std::nullopt;
    std::optional<double> best;
    for (Ear ear : {Ear::Left, Ear::Right})
        for (const auto& t : thresholds(ear))
            if (std::fabs(t.hz / *m_pitch - 1.0) < 0.01 && (!best || t.db < *best))
                best = t.db;
    return best;
}

std::optional<std::pair<double, TestKind>> ProfileSession::maskingLevel() const
{
    std::optional<std::pair<double, TestKind>> last;
    for (const MeasureRecord& m : m_diary.measures())
        if (m.kind == MeasureRecord::Kind::Masking && m.value)
            last = std::make_pair(*m.value, noiseFromName(m.detail));
    return last;
}

void ProfileSession::begin(Measure m)
{
    if (m_running != Measure::None)
        cancel();
    m_running = m;
    if (m_hooks.testing)
        m_hooks.testing(true);
}

void ProfileSession::end()
{
    m_sound.silence();
    const bool was = m_running != Measure::None;
    m_running = Measure::None;
    if (was && m_hooks.testing)
        m_hooks.testing(false);
}

void ProfileSession::startHearingCheck()
{
    begin(Measure::Hearing);
    // The check finds the threshold: only the fixed ceiling holds while it runs.
    m_sound.setThreshold(std::nullopt);
    m_hearing = std::make_unique<HearingCheck>(m_sound, HearingCheck::plan(m_pitch), m_seed++);
    m_hearing->changed = [this] { notify(); };
    m_hearing->start(steady());
    notify();
}

bool ProfileSession::startLoudness()
{
    if (!m_pitch)
        return false;
    begin(Measure::Loudness);
    const auto threshold = thresholdAtPitch();
    m_sound.setThreshold(threshold);
    m_adjustment = std::make_unique<LoudnessMatch>(m_sound, *m_pitch, threshold);
    m_adjustment->changed = [this] { notify(); };
    m_adjustment->start();
    return true;
}

bool ProfileSession::startMasking(TestKind noise)
{
    if (!m_pitch && noise == TestKind::Band)
        return false;
    begin(Measure::Masking);
    m_noise = noise;
    const auto threshold = thresholdAtPitch();
    m_sound.setThreshold(threshold);
    m_adjustment = std::make_unique<MaskingLevel>(m_sound, noise, m_pitch.value_or(1000.0), threshold);
    m_adjustment->changed = [this] { notify(); };
    m_adjustment->start();
    return true;
}

bool ProfileSession::startInhibition()
{
    const auto masking = maskingLevel();
    if (!masking || (masking->second == TestKind::Band && !m_pitch))
        return false;
    begin(Measure::Inhibition);
    m_noise = masking->second;
    m_sound.setThreshold(thresholdAtPitch());
    m_inhibition = std::make_unique<ResidualInhibition>(m_sound, masking->second, m_pitch.value_or(1000.0), masking->first);
    m_inhibition->changed = [this] { notify(); };
    m_inhibition->start(steady());
    return true;
}

void ProfileSession::heard()
{
    if (m_running == Measure::Hearing && m_hearing) {
        qCDebug(lcTiming) << "press" << QDateTime::currentMSecsSinceEpoch() << "phase" << int(m_hearing->phase());
        m_hearing->press(steady());
    }
}

void ProfileSession::retry()
{
    if (m_running == Measure::Hearing && m_hearing)
        m_hearing->retry(steady());
}

void ProfileSession::skip()
{
    if (m_running == Measure::Hearing && m_hearing) {
        m_hearing->skip(steady());
        tick();
    }
}

void ProfileSession::tick()
{
    const std::int64_t t = steady();
    if (m_running == Measure::Hearing && m_hearing) {
        const auto before = m_hearing->phase();
        m_hearing->tick(t);
        if (m_hearing->phase() != before)
            qCDebug(lcTiming) << "phase" << int(m_hearing->phase()) << QDateTime::currentMSecsSinceEpoch()
                              << "point" << m_hearing->current() << "level" << m_hearing->level()
                              << "sounding" << m_sound.sounding();
        if (m_hearing->phase() == HearingCheck::Phase::Finished) {
            keepHearing();
            end();
            notify();
        }
    } else if (m_running == Measure::Inhibition && m_inhibition) {
        m_inhibition->tick(t);
    }
}

void ProfileSession::keepHearing()
{
    QList<MeasureRecord> records;
    const QDateTime at = now();
    for (const HearingCheck::Result& r : m_hearing->results()) {
        MeasureRecord m;
        m.at = at;
        m.kind = MeasureRecord::Kind::Threshold;
        m.ear = recordEar(r.point.ear);
        m.hz = r.point.hz;
        m.value = r.thresholdDb;
        if (!r.thresholdDb)
            m.detail = r.state == UpDownTrack::State::NotHeard ? "not heard" : "skipped";
        records.append(m);
    }
    const bool kept = records.isEmpty() || m_diary.addMeasures(records);
    if (resultKept)
        resultKept(kept);
}

bool ProfileSession::finish(const MeasureRecord& m)
{
    end();
    const bool kept = m_diary.addMeasure(m).has_value();
    if (resultKept)
        resultKept(kept);
    notify();
    return kept;
}

bool ProfileSession::acceptLevel()
{
    if ((m_running != Measure::Loudness && m_running != Measure::Masking) || !m_adjustment)
        return false;
    MeasureRecord m;
    m.at = now();
    m.kind = m_running == Measure::Loudness ? MeasureRecord::Kind::Loudness : MeasureRecord::Kind::Masking;
    m.hz = m_adjustment->sound().hz;
    m.value = m_adjustment->accept();
    m.aboveThreshold = m_adjustment->aboveThreshold();
    if (m_running == Measure::Masking)
        m.detail = noiseName(m_noise);
    return finish(m);
}

bool ProfileSession::inhibitionBack(ResidualInhibition::Outcome outcome)
{
    if (m_running != Measure::Inhibition || !m_inhibition)
        return false;
    const std::int64_t t = steady();
    m_inhibition->back(t, outcome);
    if (m_inhibition->phase() != ResidualInhibition::Phase::Done)
        return false;
    MeasureRecord m;
    m.at = now();
    m.kind = MeasureRecord::Kind::Inhibition;
    m.hz = m_pitch.value_or(0);
    m.value = m_inhibition->seconds(t);
    m.detail = outcome == ResidualInhibition::Outcome::Full      ? "full"
               : outcome == ResidualInhibition::Outcome::Partial ? "partial"
                                                                 : "none";
    return finish(m);
}

void ProfileSession::cancel()
{
    if (m_running == Measure::Hearing && m_hearing && !m_hearing->results().empty())
        keepHearing();
    if (m_hearing)
        m_hearing->cancel();
    if (m_adjustment)
        m_adjustment->stop();
    if (m_inhibition)
        m_inhibition->cancel();
    end();
    notify();
}

} // namespace sonaveil::player
