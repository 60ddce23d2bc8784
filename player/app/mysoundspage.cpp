#include "player/app/mysoundspage.h"

#include "controls/multibuttonwidget.h"
#include "controls/ucsliderwidget.h"
#include "player/app/borderlesswindow.h"
#include "player/app/dialogs.h"
#include "player/app/mainwindow.h"
#include "player/app/windowlook.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QMenu>
#include <QStandardPaths>

#include <filesystem>
#include <memory>

namespace sonaveil::player {

using controls::Multibutton;
using controls::UcSlider;
using look::kCaptionWidth;
using look::kRowHeight;
using look::kSliderWidth;
using look::lightText;

namespace {

// The menu button beside a sound's name, in the caption's column.
constexpr int kMenuWidth = 24;

const char* const kSoundFilter = QT_TRANSLATE_NOOP(
    "sonaveil::player::MySoundsPage",
    "Sound files (*.wav *.flac *.ogg *.oga *.opus *.mp3 *.aif *.aiff)|*.wav;*.flac;*.ogg;*.oga;*.opus;*.mp3;*.aif;*.aiff");

} // namespace

MySoundsPage::MySoundsPage(UserSounds& sounds, UserVoices& voices, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , m_sounds(sounds)
    , m_voices(voices)
    , m_dialogs(dialogs)
{
    setObjectName("pageMySounds");
    m_grid = new QGridLayout(this);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setHorizontalSpacing(10);
    m_grid->setVerticalSpacing(2);
    for (int i = 0; i < UserSounds::kMaxSounds; ++i) {
        buildRow(i);
        m_grid->setRowMinimumHeight(i, kRowHeight);
    }
    m_empty = new QLabel(tr("Your own sounds play here beside the built-in ones: a recording of your fan, "
                            "the rain on your roof, or your own music, through the notch when it is on. "
                            "Add a sound file, or a folder of music that plays as a playlist."),
                         this);
    m_empty->setWordWrap(true);
    lightText(m_empty);
    // Across the stretching column too: the slider columns are empty while no sound is listed.
    m_grid->addWidget(m_empty, 0, 0, 4, 6, Qt::AlignTop);
    m_grid->setRowStretch(UserSounds::kMaxSounds, 1);
    m_grid->setColumnStretch(5, 1);

    m_footer = new QWidget;
    auto* row = new QHBoxLayout(m_footer);
    row->setContentsMargins(0, 4, 0, 0);
    row->setSpacing(10);
    m_addFile = makeWindowButton("cmdAddSound", tr("Add Sound…"), 140, m_footer);
    m_addFile->setToolTip(tr("Copy a sound file of your own into the player (WAV, FLAC, Ogg, Opus, MP3)"));
    m_addFolder = makeWindowButton("cmdAddFolder", tr("Add Folder…"), 140, m_footer);
    m_addFolder->setToolTip(tr("Play the sound files of a folder one after another, without end"));
    row->addWidget(m_addFile);
    row->addWidget(m_addFolder);
    row->addStretch();
    connect(m_addFile, &Multibutton::Click, this, &MySoundsPage::addFileAsked);
    connect(m_addFolder, &Multibutton::Click, this, &MySoundsPage::addFolderAsked);

    m_voices.changed = [this](int index) {
        if (index >= 0 && index < UserSounds::kMaxSounds)
            showRow(index);
    };
    refresh();
}

MySoundsPage::~MySoundsPage()
{
    m_voices.changed = nullptr;
    delete m_footer;
}

void MySoundsPage::buildRow(int i)
{
    Row& r = m_rows[std::size_t(i)];
    auto* caption = new QWidget(this);
    caption->setFixedSize(kCaptionWidth, kRowHeight);
    auto* box = new QHBoxLayout(caption);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(2);
    r.check = new SoundCheck(caption);
    r.check->setObjectName(QString("chkMySound%1").arg(i + 1));
    lightText(r.check);
    box->addWidget(r.check, 1);
    r.menu = makeWindowButton(QString("cmdMySoundMenu%1").arg(i + 1), "…", kMenuWidth, caption);
    box->addWidget(r.menu);
    m_grid->addWidget(caption, i, 0);
    connect(r.check, &QCheckBox::toggled, this, [this, i](bool on) {
        if (m_syncing)
            return;
        m_voices.setOn(i, on);
        emit edited();
    });
    connect(r.menu, &Multibutton::Click, this, [this, i] { openMenu(i); });

    auto slider = [&](const char* name, int lo, int hi, int column) {
        auto* s = new UcSlider(QString("%1%2").arg(name).arg(i + 1), this);
        s->setRange(lo, hi);
        s->setFixedSize(kSliderWidth, kRowHeight - 2);
        s->setFocusPolicy(Qt::StrongFocus);
        m_grid->addWidget(s, i, column);
        return s;
    };
    r.volume = slider("sldMyVolume", 0, UserSounds::kVolumeMaximum, 1);
    r.pitch = slider("sldMyPitch", UserSounds::kPitchMinimum, UserSounds::kPitchMaximum, 2);
    r.pitch->setSmallChange(10);
    r.pitch->setLargeChange(150);
    r.pan = slider("sldMyPan", 0, UserSounds::kPanMaximum, 3);
    auto forward = [this, i](UcSlider* s, void (UserVoices::*set)(int, int)) {
        auto apply = [this, i, s, set] {
            if (m_syncing)
                return;
            (m_voices.*set)(i, s->value());
            emit edited();
        };
        connect(s, &UcSlider::Change, this, apply);
        connect(s, &UcSlider::Scroll, this, apply);
    };
    forward(r.volume, &UserVoices::setVolume);
    forward(r.pitch, &UserVoices::setPitch);
    forward(r.pan, &UserVoices::setPan);
    // Named before a sound fills the row, too.
    r.check->setAccessibleName(tr("My sound %1").arg(i + 1));
    r.menu->setAccessibleName(tr("My sound %1: rename, remove").arg(i + 1));
    r.volume->setAccessibleName(tr("My sound %1 volume").arg(i + 1));
    r.pitch->setAccessibleName(tr("My sound %1 pitch").arg(i + 1));
    r.pan->setAccessibleName(tr("My sound %1 balance").arg(i + 1));
    for (QWidget* w : std::initializer_list<QWidget*>{r.check, r.menu, r.volume, r.pitch, r.pan})
        w->setVisible(false);
}

void MySoundsPage::showRow(int i)
{
    Row& r = m_rows[std::size_t(i)];
    const bool present = i < m_sounds.count();
    for (QWidget* w : std::initializer_list<QWidget*>{r.check, r.menu, r.volume, r.pitch, r.pan})
        w->setVisible(present);
    if (!present)
        return;
    const UserSound& s = m_sounds.at(i);
    const QString name = QString::fromStdString(s.name);
    m_syncing = true;
    QString shown = name;
    shown.replace("&", "&&");
    r.check->setText(QFontMetrics(r.check->font()).elidedText(shown, Qt::ElideRight, kCaptionWidth - kMenuWidth - 28));
    r.check->setToolTip(s.kind == UserSound::Kind::Folder
                            ? tr("%1: the folder %2, %3").arg(name, QString::fromStdString(s.source),
                                                                 s.shuffle ? tr("shuffled") : tr("in order"))
                            : name);
    r.check->setAccessibleName(name);
    r.check->setChecked(s.on);
    r.volume->setValue(s.volume);
    r.pitch->setValue(s.pitch);
    r.pan->setValue(s.pan);
    r.volume->setAccessibleName(tr("%1 volume").arg(name));
    r.pitch->setAccessibleName(tr("%1 pitch").arg(name));
    r.pan->setAccessibleName(tr("%1 balance").arg(name));
    r.menu->setAccessibleName(tr("%1: rename, remove").arg(name));
    r.menu->setToolTip(tr("Rename or remove %1").arg(name));
    m_syncing = false;
}

void MySoundsPage::refresh()
{
    for (int i = 0; i < UserSounds::kMaxSounds; ++i)
        showRow(i);
    m_empty->setVisible(m_sounds.count() == 0);
    const bool room = m_sounds.count() < UserSounds::kMaxSounds;
    m_addFile->setToolTip(room ? tr("Copy a sound file of your own into the player (WAV, FLAC, Ogg, Opus, MP3)")
                               : tr("You have %1 sounds of your own, the most there can be").arg(UserSounds::kMaxSounds));
}

QCheckBox* MySoundsPage::check(int index) const
{
    return index >= 0 && index < UserSounds::kMaxSounds ? m_rows[std::size_t(index)].check : nullptr;
}
UcSlider* MySoundsPage::volumeSlider(int index) const
{
    return index >= 0 && index < UserSounds::kMaxSounds ? m_rows[std::size_t(index)].volume : nullptr;
}
UcSlider* MySoundsPage::pitchSlider(int index) const
{
    return index >= 0 && index < UserSounds::kMaxSounds ? m_rows[std::size_t(index)].pitch : nullptr;
}
UcSlider* MySoundsPage::panSlider(int index) const
{
    return index >= 0 && index < UserSounds::kMaxSounds ? m_rows[std::size_t(index)].pan : nullptr;
}
Multibutton* MySoundsPage::menuButton(int index) const
{
    return index >= 0 && index < UserSounds::kMaxSounds ? m_rows[std::size_t(index)].menu : nullptr;
}

QString MySoundsPage::messageFor(const UserSounds::Outcome& outcome, const QString& path, const QString& folder)
{
    const QString name = QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName();
    const QString detail = QString::fromStdString(outcome.detail);
    switch (outcome.result) {
    case UserSounds::Result::Added:
        return {};
    case UserSounds::Result::Full:
        return tr("You already have %1 sounds of your own. Remove one of them before you add another.")
            .arg(UserSounds::kMaxSounds);
    case UserSounds::Result::Missing:
        return tr("\"%1\" cannot be found.").arg(path);
    case UserSounds::Result::NotRegular:
        return tr("\"%1\" is not an ordinary file (it may be a pipe or a device), so it cannot be added.").arg(name);
    case UserSounds::Result::NotAudio:
        return tr("\"%1\" is not a sound file the player can read, or it is damaged.").arg(name);
    case UserSounds::Result::NoRoom:
        return tr("There is not enough free space in %1 to copy \"%2\". Free some space and try again.")
            .arg(folder, name);
    case UserSounds::Result::CopyFailed:
        return tr("\"%1\" could not be copied into %2: %3").arg(name, folder, detail);
    case UserSounds::Result::UnreadableFolder:
        return tr("The folder \"%1\" cannot be read: %2").arg(path, detail);
    case UserSounds::Result::NoTracks:
        return tr("The folder \"%1\" holds no sound files the player can read.").arg(path);
    case UserSounds::Result::AlreadyThere:
        return tr("The folder \"%1\" is already one of your sounds.").arg(path);
    case UserSounds::Result::Cancelled:
        return tr("Adding \"%1\" was cancelled; nothing of it was kept.").arg(name);
    case UserSounds::Result::Busy:
        return tr("Another sound is being added. Try again when it is done.");
    }
    return {};
}

QString MySoundsPage::add(const QString& path)
{
    // Taken first: the page may be gone when the add returns (the program closed meanwhile).
    const QString folder = QString::fromStdString(m_sounds.folder().string());
    return messageFor(addPath(path), path, folder);
}

UserSounds::Outcome MySoundsPage::addPath(const QString& path)
{
    if (m_adding)
        return {UserSounds::Result::Busy};
    // Shared with the worker, which may outlive the page when the program closes meanwhile.
    auto job = std::make_shared<UserSounds::AddJob>();
    if (const auto begun = m_sounds.begin(path.toStdString(), *job); begun.result != UserSounds::Result::Added)
        return begun;
    m_adding = true;
    QPointer<MySoundsPage> alive(this);
    const QString name = QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName();

    QPointer<QProgressDialog> progress = new QProgressDialog(window());
    progress->setObjectName("addSoundProgress");
    progress->setWindowTitle(tr("Add Sound"));
    progress->setLabelText(job->kind == UserSound::Kind::File ? tr("Copying \"%1\" into the player…").arg(name)
                                                              : tr("Reading the folder \"%1\"…").arg(name));
    progress->setAccessibleName(tr("Adding %1").arg(name));
    progress->setWindowModality(Qt::WindowModal);
    progress->setRange(0, 1000);
    progress->setMinimumDuration(m_progressDelay);
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    connect(progress, &QProgressDialog::canceled, progress, [job] { job->cancel.store(true); });

    QEventLoop loop;
    QThread* worker = QThread::create([job] { UserSounds::work(*job); });
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    QTimer tick;
    tick.setInterval(50);
    connect(&tick, &QTimer::timeout, progress, [job, progress] {
        if (progress && !progress->wasCanceled())
            progress->setValue(job->permille.load());
    });
    worker->start();
    progress->setValue(0);
    tick.start();
    loop.exec();
    tick.stop();
    // The loop also ends when the program quits: the copy then stops, and nothing of it stays.
    if (!worker->isFinished())
        job->cancel.store(true);
    worker->wait();
    delete worker;
    if (progress) {
        // Closed now, not at its deletion: a message about the outcome runs an event loop of its
        // own, in which the deletion would not happen and the dialog's timer would show it again.
        progress->reset();
        progress->hide();
        progress->deleteLater();
    }
    if (!alive) {
        if (job->kind == UserSound::Kind::File && job->outcome.result == UserSounds::Result::Added) {
            std::error_code ec;
            std::filesystem::remove(job->copy, ec);
        }
        return {UserSounds::Result::Cancelled};
    }
    m_adding = false;

    const auto outcome = m_sounds.finish(*job);
    if (outcome.result != UserSounds::Result::Added)
        return outcome;
    saveList();
    refresh();
    emit edited();
    return outcome;
}

void MySoundsPage::tellAdded(const QString& message)
{
    if (!message.isEmpty())
        m_dialogs.information(window(), tr("Sonaveil"), message);
}

void MySoundsPage::addAsked(const QString& path)
{
    const auto outcome = addPath(path);
    // The user stopped it, or the program closed meanwhile: nothing to tell.
    if (outcome.result != UserSounds::Result::Cancelled)
        tellAdded(messageFor(outcome, path, QString::fromStdString(m_sounds.folder().string())));
}

void MySoundsPage::addFileAsked()
{
    if (m_sounds.count() >= UserSounds::kMaxSounds) {
        tellAdded(messageFor({UserSounds::Result::Full}, {}, {}));
        return;
    }
    FileRequest request;
    request.title = tr("Add a Sound");
    request.folder = m_lastFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::MusicLocation)
                                            : m_lastFolder;
    request.filter = tr(kSoundFilter);
    const QString file = m_dialogs.openFileName(window(), request);
    if (file.isEmpty())
        return;
    m_lastFolder = QFileInfo(file).absolutePath();
    addAsked(file);
}

void MySoundsPage::addFolderAsked()
{
    if (m_sounds.count() >= UserSounds::kMaxSounds) {
        tellAdded(messageFor({UserSounds::Result::Full}, {}, {}));
        return;
    }
    const QString start = m_lastFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::MusicLocation)
                                                 : m_lastFolder;
    const QString folder = m_dialogs.folderName(window(), tr("Add a Folder of Music"), start);
    if (folder.isEmpty())
        return;
    m_lastFolder = QFileInfo(folder).absolutePath();
    addAsked(folder);
}

void MySoundsPage::openMenu(int index)
{
    if (index >= m_sounds.count())
        return;
    QMenu menu(this);
    menu.addAction(tr("&Rename…"), this, [this, index] { renameSound(index); });
    if (m_sounds.at(index).kind == UserSound::Kind::Folder) {
        QAction* shuffle = menu.addAction(tr("&Shuffle"), this, [this, index] { toggleShuffle(index); });
        shuffle->setCheckable(true);
        shuffle->setChecked(m_sounds.at(index).shuffle);
    }
    menu.addSeparator();
    menu.addAction(tr("Re&move"), this, [this, index] { removeSound(index); });
    Multibutton* b = m_rows[std::size_t(index)].menu;
    menu.exec(b->mapToGlobal(QPoint(0, b->height())));
}

void MySoundsPage::renameSound(int index)
{
    if (index >= m_sounds.count())
        return;
    const QString old = QString::fromStdString(m_sounds.at(index).name);
    const auto typed = m_dialogs.inputText(window(), tr("Rename Sound"), tr("New name for \"%1\":").arg(old), old);
    if (!typed)
        return;
    if (!m_sounds.rename(index, typed->toStdString())) {
        m_dialogs.information(window(), tr("Sonaveil"), tr("A sound needs a name; \"%1\" keeps its own.").arg(old));
        return;
    }
    saveList();
    showRow(index);
}

void MySoundsPage::removeSound(int index)
{
    if (index >= m_sounds.count())
        return;
    const UserSound& s = m_sounds.at(index);
    const QString name = QString::fromStdString(s.name);
    const QString text = s.kind == UserSound::Kind::File
                             ? tr("Remove \"%1\"? Its copy in the player's folder is deleted; your own file stays "
                                  "where it is.").arg(name)
                             : tr("Remove \"%1\"? The folder itself and its music stay where they are.").arg(name);
    if (!m_dialogs.question(window(), tr("Sonaveil"), text))
        return;
    m_voices.forget(index);
    m_sounds.remove(index);
    saveList();
    refresh();
    emit edited();
}

void MySoundsPage::toggleShuffle(int index)
{
    if (index >= m_sounds.count() || m_sounds.at(index).kind != UserSound::Kind::Folder)
        return;
    UserSound& s = m_sounds.at(index);
    s.shuffle = !s.shuffle;
    // A playing folder starts again in its new order.
    if (s.on) {
        m_voices.setOn(index, false);
        m_voices.setOn(index, true);
    }
    saveList();
    showRow(index);
}

void MySoundsPage::saveList()
{
    std::string why;
    if (!m_sounds.save(&why))
        m_dialogs.information(window(), tr("Sonaveil"),
                              tr("The list of your sounds could not be saved in %1: %2")
                                  .arg(QString::fromStdString(m_sounds.listFile().string()), QString::fromStdString(why)));
}

} // namespace sonaveil::player
