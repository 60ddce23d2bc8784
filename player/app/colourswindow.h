#pragma once

#include "player/app/borderlesswindow.h"
#include "player/colours/colourseditor.h"

#include <QString>

#include <array>
#include <filesystem>

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollBar;

namespace sonaveil::controls {
class ChameleonButton;
}
namespace sonaveil::lumidot {
class LCD;
}

namespace sonaveil::player {

class Dialogs;

// The colour editor frmcolors: the swatches of the scheme's colours, the sample display with the
// "LCD Scheme" bar, "Image As Background", the scheme list with "<" and ">", "Save ", "Del",
// "Restore Default Colors", "Apply" and "Cancel". It forwards everything to a ColoursEditor on
// the held scheme. "Apply" is the owner's (applyClicked); "Apply" and "Cancel" close the window
// for good, so the next use builds it afresh.
class ColoursWindow : public BorderlessWindow, private ColoursEditorHost {
    Q_OBJECT
public:
    // The swatches in the order of SchemeColour.
    static constexpr int kSwatchCount = 8;
    // A swatch whose value holds no colour shows this face.
    static inline const QColor kDesignFace{212, 208, 200};

    ColoursWindow(ColourScheme& held, const std::filesystem::path& programFolder, Dialogs& dialogs,
                  QWidget* parent = nullptr);
    ~ColoursWindow() override;

    ColoursEditor& editor() { return m_editor; }
    lumidot::LCD* sample() const { return m_sample; }
    controls::ChameleonButton* swatch(SchemeColour which) const { return m_swatches.at(std::size_t(which)); }
    controls::ChameleonButton* preview() const { return m_preview; }
    controls::ChameleonButton* button(const QString& caption) const;
    QComboBox* schemeList() const { return m_list; }
    QScrollBar* paletteBar() const { return m_bar; }
    QLabel* paletteLabel() const { return m_barLabel; }
    QCheckBox* imageBox() const { return m_imageBox; }
    QLabel* formLabel() const { return m_formLabel; }

    // The swatch's action: the colour dialog, then the chosen colour held.
    void pickColour(SchemeColour which);
    // "Save " and "Del": the questions, then the editor's action.
    void saveScheme();
    void deleteScheme();

    // The labels beside the swatches, in the order of SchemeColour.
    static const std::array<const char*, kSwatchCount>& swatchLabels();

signals:
    void applyClicked();
    // The window closed ("Apply", "Cancel", Esc); its owner lets it go.
    void closed();

protected:
    void coloursApplied(const WindowColours& colours) override;
    void keyPressEvent(QKeyEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    // A push button of the window in its design face, with `tip` as its tool tip.
    controls::ChameleonButton* makeButton(const QString& name, const QString& caption, QWidget* parent,
                                          const QString& tip = {});
    // ColoursEditorHost
    void docolors() override;
    void refresh() override;
    void information(const std::string& text) override;
    void message(const std::string& text) override;
    void numberedMessage(const std::string& text, long number) override;

    ColoursEditor m_editor;
    Dialogs& m_dialogs;
    lumidot::LCD* m_sample = nullptr;
    std::array<controls::ChameleonButton*, kSwatchCount> m_swatches{};
    controls::ChameleonButton* m_preview = nullptr;
    std::vector<controls::ChameleonButton*> m_buttons;
    QComboBox* m_list = nullptr;
    QScrollBar* m_bar = nullptr;
    QLabel* m_barLabel = nullptr;
    QCheckBox* m_imageBox = nullptr;
    QLabel* m_formLabel = nullptr;
    std::vector<std::string> m_shownNames;
};

} // namespace sonaveil::player
