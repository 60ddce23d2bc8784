#pragma once

#include "player/app/borderlesswindow.h"
#include "player/app/colourapplier.h"
#include "player/colours/colourscheme.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

namespace sonaveil::player {

class ColoursWindow;
class Dialogs;
class MainWindow;

// The player's colour scheme: the held values, the windows that follow them, the colour editor,
// and the colour steps of the start-up and the shutdown ("maincol.tmp").
class PlayerColours : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kPicture = "bronze.jpg";
    static constexpr const char* kBlankPicture = "blank.jpg";

    // The pictures come from the program folder; "maincol.tmp" and the schemes live in the
    // user's folder.
    PlayerColours(const QString& programFolder, const QString& userFolder, Dialogs& dialogs,
                  QObject* parent = nullptr);
    ~PlayerColours() override;

    ColourScheme& scheme() { return m_scheme; }
    const ColourScheme& scheme() const { return m_scheme; }

    // The one call a window needs to follow the colour scheme: from the start-up on it shows the
    // scheme's colours and, when it is a borderless window, the background picture the scheme
    // chooses; it follows every later "Apply". A destroyed window drops out by itself.
    void attach(QWidget* window);
    std::vector<QWidget*> windows() const { return m_applier.windows(); }

    // The start-up's colour steps: the held values taken from the main window's controls (the
    // rollover colour empty, the flag 1), then "maincol.tmp" read when it is there and sound,
    // the background picture chosen by the flag, and docolors on every window. A palette read
    // from the file goes onto the status display.
    void startUp(MainWindow& main);
    // The editor loaded without being shown (its own load runs).
    void loadEditor();
    // The "Colors" button: the editor, modal over the main window, built afresh after a close.
    void showEditor();
    // "Apply": docolors on every window, the held palette on the status display, the editor closed.
    void apply();
    // docolors on every window, with the background picture the flag chooses.
    void docolors();
    // The shutdown's colour step: the held values refreshed from the main window's controls,
    // then "maincol.tmp" replaced whole. False when it could not be written.
    bool writeSnapshot();
    // The editor unloaded.
    void closeEditor();

    // The editor while it is loaded.
    ColoursWindow* editor() const;
    // The file name of the background picture the windows show ("bronze.jpg" or "blank.jpg").
    QString backgroundName() const { return m_pictureName; }

private:
    // The scheme's palette on the windows' status displays.
    void applyPalette();
    void take(bool startUp);
    void choosePicture();
    BorderlessWindow::PictureSource pictureSource() const;
    QString path(const QString& name) const;

    QString m_programFolder;
    QString m_folder;
    Dialogs& m_dialogs;
    ColourScheme m_scheme;
    ColourApplier m_applier{m_scheme};
    QPointer<MainWindow> m_main;
    QPointer<ColoursWindow> m_editor;
    QString m_pictureName;
};

} // namespace sonaveil::player
