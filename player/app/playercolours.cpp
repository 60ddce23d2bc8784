#include "player/app/playercolours.h"

#include "common/atomicfile.h"
#include "controls/multibuttonwidget.h"
#include "controls/paintqt.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "player/app/artwork.h"
#include "player/app/colourswindow.h"
#include "player/app/mainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace sonaveil::player {

using controls::fromQColor;

PlayerColours::PlayerColours(const QString& programFolder, const QString& userFolder, Dialogs& dialogs,
                             QObject* parent)
    : QObject(parent)
    , m_programFolder(programFolder)
    , m_folder(userFolder)
    , m_dialogs(dialogs)
{
}

PlayerColours::~PlayerColours()
{
    // The editor refers to the held values.
    delete m_editor;
}

ColoursWindow* PlayerColours::editor() const
{
    return m_editor.data();
}

QString PlayerColours::path(const QString& name) const
{
    return QDir(m_folder).filePath(name);
}

void PlayerColours::attach(QWidget* window)
{
    // Until the start-up has read the flag, the windows show the picture.
    if (m_pictureName.isEmpty())
        choosePicture();
    if (auto* b = dynamic_cast<BorderlessWindow*>(window); b && !qobject_cast<ColoursWindow*>(window))
        b->setBackgroundSource(pictureSource());
    m_applier.attach(window);
}

void PlayerColours::take(bool startUp)
{
    if (!m_main)
        return;
    if (auto* close = m_main->button("chameleonButton1")) {
        m_scheme.buttonText = std::int32_t(close->foreColor());
        m_scheme.buttonBack = colourText(close->backColor());
    }
    if (auto* slider = m_main->slider(1)) {
        m_scheme.gradient1 = colourText(slider->gradientColor1());
        m_scheme.gradient2 = colourText(slider->gradientColor2());
    }
    if (auto* master = m_main->findChild<QLabel*>("lblMaster"))
        m_scheme.text = colourText(fromQColor(master->palette().color(QPalette::WindowText)));
    if (auto* shape = dynamic_cast<Panel*>(m_main->findChild<QWidget*>("Shape1")))
        m_scheme.background = colourText(fromQColor(shape->fill()));
    if (startUp) {
        m_scheme.form = colourText(fromQColor(m_main->formColour()));
        if (auto* lcd = m_main->display())
            m_scheme.palette = std::int16_t(lcd->ColorPresetPalette());
        m_scheme.rollover.clear();
        m_scheme.imageFlag = 1;
    }
}

void PlayerColours::startUp(MainWindow& main)
{
    m_main = &main;
    attach(&main);
    take(true);
    bool fromFile = false;
    if (const auto content = readWholeFile(path(SchemeSnapshot::kFileName).toStdString())) {
        if (const auto stored = SchemeSnapshot::parse(*content)) {
            m_scheme = *stored;
            fromFile = true;
        }
    }
    docolors();
    if (fromFile)
        applyPalette();
}

void PlayerColours::applyPalette()
{
    // Every status display of the player's windows takes the scheme's palette (the pitch match
    // window's too); the editor's sample display keeps its own.
    for (QWidget* w : m_applier.windows())
        if (w && !qobject_cast<ColoursWindow*>(w))
            for (auto* lcd : w->findChildren<lumidot::LCD*>())
                lcd->setColorPresetPalette(m_scheme.palette);
}

void PlayerColours::choosePicture()
{
    const QString name = m_scheme.imageFlag == 1 ? kPicture : kBlankPicture;
    if (name == m_pictureName)
        return;
    m_pictureName = name;
    for (QWidget* w : m_applier.windows())
        if (auto* b = dynamic_cast<BorderlessWindow*>(w); b && !qobject_cast<ColoursWindow*>(w))
            b->setBackgroundSource(pictureSource());
}

BorderlessWindow::PictureSource PlayerColours::pictureSource() const
{
    // Decoded at the size a window paints it, when it paints it, and not held here: a
    // photograph is megabytes decoded whole, and most windows are hidden most of the time.
    return [folder = m_programFolder, name = m_pictureName](const QSize& size) {
        return artwork::loadCovering(folder, name, size);
    };
}

void PlayerColours::docolors()
{
    choosePicture();
    m_applier.apply();
}

void PlayerColours::loadEditor()
{
    if (m_editor)
        return;
    m_editor = new ColoursWindow(m_scheme, m_folder.toStdString(), m_dialogs, m_main.data());
    connect(m_editor, &ColoursWindow::applyClicked, this, &PlayerColours::apply);
    // A closed editor is gone; the next use builds it afresh.
    connect(m_editor, &ColoursWindow::closed, this, [this] {
        if (m_editor) {
            m_editor->hide();
            m_editor->deleteLater();
            m_editor = nullptr;
        }
    });
    attach(m_editor);
}

void PlayerColours::showEditor()
{
    loadEditor();
    if (m_main)
        m_editor->move(m_main->geometry().center() - m_editor->rect().center());
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

void PlayerColours::apply()
{
    docolors();
    applyPalette();
    closeEditor();
}

void PlayerColours::closeEditor()
{
    if (m_editor)
        m_editor->close();
}

bool PlayerColours::writeSnapshot()
{
    take(false);
    return writeFileAtomically(path(SchemeSnapshot::kFileName).toStdString(), SchemeSnapshot::bytes(m_scheme));
}

} // namespace sonaveil::player
