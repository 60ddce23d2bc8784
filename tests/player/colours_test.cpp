#include "playerfixture.h"

#include "controls/chameleonbuttonwidget.h"
#include "controls/mastervolume.h"
#include "controls/multibuttonwidget.h"
#include "controls/paintqt.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "player/app/artwork.h"
#include "player/app/colourapplier.h"
#include "player/app/colourswindow.h"
#include "player/app/mainwindow.h"
#include "player/app/pitchmatchwindow.h"
#include "player/app/optionswindow.h"
#include "player/app/playercolours.h"
#include "common/atomicfile.h"
#include "player/colours/schemelibrary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

fs::path dist()
{
    const char* d = std::getenv("SONAVEIL_DIST");
    return d ? fs::path(d) : fs::path();
}

QColor colourOfText(const std::string& text)
{
    const auto c = colourOf(text);
    return c ? controls::toQColor(*c) : QColor();
}

// The relative luminance and contrast ratio of two colours, as readability guides measure them.
double luminance(const QColor& c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A colour blended over another, as a translucent panel paints over the window.
QColor over(const QColor& top, const QColor& below)
{
    const double a = top.alphaF();
    return QColor(int(top.red() * a + below.red() * (1 - a) + 0.5), int(top.green() * a + below.green() * (1 - a) + 0.5),
                  int(top.blue() * a + below.blue() * (1 - a) + 0.5));
}

class ColoursTest : public ::testing::Test {
protected:
    // The schemes we ship, in the test's program folder.
    void shipSchemes()
    {
        const fs::path from = dist() / SchemeLibrary::kFolder;
        ASSERT_TRUE(fs::exists(from / "Default.clr")) << "no shipped schemes under " << from;
        fs::create_directories(f.file(SchemeLibrary::kFolder));
        for (const auto& e : fs::directory_iterator(from))
            fs::copy_file(e.path(), f.file(SchemeLibrary::kFolder) / e.path().filename(),
                          fs::copy_options::overwrite_existing);
    }
    void shipPictures()
    {
        for (const char* name : {"bronze.jpg", "blank.jpg"})
            fs::copy_file(dist() / name, f.file(name), fs::copy_options::overwrite_existing);
    }

    // Pictures told apart by their colour: a red "bronze.jpg" and a green "blank.jpg".
    void writeColouredPictures()
    {
        for (const auto& [name, colour] : {std::pair{"bronze.jpg", QColor(200, 30, 30)},
                                           std::pair{"blank.jpg", QColor(30, 200, 30)}}) {
            QImage picture(64, 64, QImage::Format_RGB32);
            picture.fill(colour);
            ASSERT_TRUE(picture.save(f.prog() + "/" + name));
        }
    }

    ColoursWindow* openEditor(Player& p)
    {
        click(p.mainWindow()->button("colorsButton"));
        ColoursWindow* e = p.colours().editor();
        EXPECT_NE(e, nullptr);
        EXPECT_TRUE(e && e->isVisible());
        return e;
    }

    void chooseScheme(ColoursWindow* e, const QString& name)
    {
        const int index = e->schemeList()->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        e->schemeList()->setCurrentIndex(index);
        emit e->schemeList()->activated(index);
    }

    PlayerFixture f;
};

} // namespace

TEST_F(ColoursTest, TheColorsButtonOpensTheEditorLoadedAtStartUp)
{
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    auto* colours = w->button("colorsButton");
    ASSERT_NE(colours, nullptr);
    EXPECT_TRUE(colours->isVisible());
    // Loaded unseen by the start-up.
    ColoursWindow* loaded = p.colours().editor();
    ASSERT_NE(loaded, nullptr);
    EXPECT_FALSE(loaded->isVisible());

    ColoursWindow* e = openEditor(p);
    EXPECT_EQ(e, loaded);
    EXPECT_EQ(e->objectName(), "frmcolors");
    EXPECT_EQ(e->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(e->parentWidget(), w);
    EXPECT_EQ(e->findChildren<controls::ChameleonButton*>().size(), 16);
    ASSERT_NE(e->sample(), nullptr);
    EXPECT_EQ(e->sample()->objectName(), "LCD1");
    EXPECT_EQ(e->sample()->LCDRow(), 3);
    EXPECT_EQ(e->sample()->LCDCol(), 14);
    EXPECT_EQ(e->sample()->GetDisplay(2), "    SAMPLE");
    // The sample shows the held palette, the status display's own at a first start.
    EXPECT_EQ(e->sample()->ColorPresetPalette(), 2);
    EXPECT_EQ(e->paletteLabel()->text(), "2");
    EXPECT_EQ(e->paletteBar()->value(), 10);
    EXPECT_TRUE(e->imageBox()->isChecked());
    EXPECT_FALSE(e->formLabel()->isEnabled());
    EXPECT_FALSE(e->swatch(SchemeColour::Form)->isEnabled());
    EXPECT_EQ(e->schemeList()->placeholderText(), "Select");

    // Esc is Cancel: the editor goes, and the next use builds it afresh.
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_EQ(p.colours().editor(), nullptr);
    ColoursWindow* again = openEditor(p);
    EXPECT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
}

TEST_F(ColoursTest, TheDesignedColoursAreTheDefaultSchemeAndGoToMaincolByteForByte)
{
    Player& p = f.start();
    const ColourScheme& held = p.colours().scheme();
    const auto shipped = readWholeFile(dist() / SchemeLibrary::kFolder / "Default.clr");
    ASSERT_TRUE(shipped);
    EXPECT_EQ(SchemeFile::bytes(held), *shipped);
    EXPECT_EQ(held.rollover, "");
    EXPECT_EQ(held.imageFlag, 1);
    EXPECT_EQ(p.colours().backgroundName(), "bronze.jpg");
    // A first start keeps the status display's own palette.
    EXPECT_EQ(p.mainWindow()->display()->ColorPresetPalette(), 2);
    f.close();
    EXPECT_EQ(f.read("maincol.tmp"),
              "16777215,\"4352140\",\"\",\"396308\",\"14216438\",\"10508840\",\"16760440\",2,\"1451578\",1\r\n");
}

TEST_F(ColoursTest, ApplyAfterPaletteNineGivesTheStatusDisplayPaletteNine)
{
    Player& p = f.start();
    ColoursWindow* e = openEditor(p);
    // The bar moved by the user until the label reads 9.
    for (int step = 0; step < 13 && e->paletteLabel()->text() != "9"; ++step)
        e->paletteBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    ASSERT_EQ(e->paletteLabel()->text(), "9");
    EXPECT_EQ(e->sample()->ColorPresetPalette(), 9);
    EXPECT_EQ(p.mainWindow()->display()->ColorPresetPalette(), 2); // not before "Apply"
    click(e->button("Apply"));
    EXPECT_EQ(p.mainWindow()->display()->ColorPresetPalette(), 9);
    EXPECT_EQ(p.colours().editor(), nullptr);
    // Kept over a restart.
    f.close();
    Player& again = f.start();
    EXPECT_EQ(again.mainWindow()->display()->ColorPresetPalette(), 9);
    EXPECT_EQ(again.colours().scheme().palette, 9);
}

TEST_F(ColoursTest, ASchemeAppliedRecoloursButtonsSlidersLabelsAndPanels)
{
    shipSchemes();
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    controls::Multibutton* close = w->button("chameleonButton1");
    controls::UcSlider* slider = w->slider(1);
    slider->setValue(200);
    const QImage buttonBefore = close->grab().toImage();
    const QImage sliderBefore = slider->grab().toImage();

    ColoursWindow* e = openEditor(p);
    chooseScheme(e, "Night");
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(e->sample()->ColorPresetPalette(), 9);
    // Inside the editor at once: its background and the swatches.
    const ColourScheme& held = p.colours().scheme();
    EXPECT_EQ(e->formColour(), colourOfText(held.background));
    EXPECT_FALSE(e->showPicture());
    EXPECT_EQ(e->swatch(SchemeColour::Text)->backColor(), *colourOf(held.text));
    // The main window only on "Apply".
    EXPECT_EQ(close->grab().toImage(), buttonBefore);
    // A rollover colour chosen with its swatch.
    f.dialogs.colours.push_back(QColor(90, 40, 40));
    click(e->swatch(SchemeColour::Rollover));
    click(e->button("Apply"));

    const QColor back = colourOfText(held.buttonBack);
    const QColor text = controls::toQColor(ColorValue(held.buttonText));
    EXPECT_EQ(close->backColor(), controls::fromQColor(back));
    EXPECT_EQ(close->foreColor(), controls::fromQColor(text));
    EXPECT_EQ(close->rolloverColor(), controls::fromQColor(QColor(90, 40, 40)));
    // The pixels of the button: the lower band starts in the back colour.
    const QImage buttonAfter = close->grab().toImage();
    EXPECT_NE(buttonAfter, buttonBefore);
    const int lowerTop = controls::MultibuttonModel::style7UpperHeight(close->height());
    EXPECT_EQ(buttonAfter.pixelColor(3, lowerTop).rgb(), back.rgb());
    // The slider's filled part begins in the first gradient colour.
    const QImage sliderAfter = slider->grab().toImage();
    EXPECT_NE(sliderAfter, sliderBefore);
    const QColor g1 = colourOfText(held.gradient1);
    bool found = false;
    for (int x = 0; x < sliderAfter.width() && !found; ++x)
        found = sliderAfter.pixelColor(x, sliderAfter.height() / 2).rgb() == g1.rgb();
    EXPECT_TRUE(found);
    // Every slider, also the master and the pitch and balance sliders.
    for (int n : {kMasterSlider, 11, 21, 80})
        EXPECT_EQ(w->slider(n)->gradientColor2(), *colourOf(held.gradient2)) << n;
    // Labels and sound names in the text colour; panels in the background colour, solid over
    // the plain form colour that the night scheme shows in place of the picture.
    EXPECT_EQ(w->findChild<QLabel*>("lblMaster")->palette().color(QPalette::WindowText), colourOfText(held.text));
    EXPECT_EQ(w->check(3)->palette().color(QPalette::WindowText), colourOfText(held.text));
    auto* shape = dynamic_cast<Panel*>(w->findChild<QWidget*>("Shape1"));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->fill(), colourOfText(held.background));
    EXPECT_FALSE(w->showPicture());
    const QImage window = w->grab().toImage();
    EXPECT_EQ(window.pixelColor(4, window.height() / 2), colourOfText(held.form));
    // The options window follows as well.
    OptionsWindow* o = p.optionsWindow();
    EXPECT_EQ(o->button("cmdContact")->backColor(), controls::fromQColor(back));
    EXPECT_EQ(o->startupCheck()->palette().color(QPalette::WindowText), colourOfText(held.text));
    // The status display keeps its own look but takes the palette, and so does the pitch match
    // window's display.
    EXPECT_EQ(w->display()->ColorPresetPalette(), 9);
    ASSERT_NE(p.pitchMatchWindow()->display(), nullptr);
    EXPECT_EQ(p.pitchMatchWindow()->display()->ColorPresetPalette(), 9);
    // The system volume bar keeps its stored colours.
    EXPECT_EQ(w->systemVolume()->model().backColor(), 0x404040u);

    // The exit snapshot reads the recoloured controls back.
    f.close();
    const auto stored = SchemeSnapshot::parse(f.read("maincol.tmp"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->buttonBack, colourText(controls::fromQColor(back)));
    EXPECT_EQ(stored->rollover, colourText(controls::fromQColor(QColor(90, 40, 40))));
    EXPECT_EQ(stored->palette, 9);
    EXPECT_EQ(stored->imageFlag, 0);
    // And the next start shows the same.
    Player& again = f.start();
    EXPECT_EQ(again.mainWindow()->button("chameleonButton1")->backColor(), controls::fromQColor(back));
    EXPECT_FALSE(again.mainWindow()->showPicture());
    EXPECT_EQ(again.pitchMatchWindow()->display()->ColorPresetPalette(), 9);
}

TEST_F(ColoursTest, TheFlagUntickedAtExitGivesTheBlankPictureAtTheNextStart)
{
    ASSERT_NO_FATAL_FAILURE(writeColouredPictures());

    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    EXPECT_GT(w->grab().toImage().pixelColor(4, 200).red(), 150);
    ColoursWindow* e = openEditor(p);
    e->imageBox()->click();
    EXPECT_EQ(p.colours().scheme().imageFlag, 0);
    EXPECT_TRUE(e->formLabel()->isEnabled());
    EXPECT_TRUE(e->swatch(SchemeColour::Form)->isEnabled());
    click(e->button("Cancel"));
    // "Cancel" keeps what was changed.
    EXPECT_EQ(p.colours().scheme().imageFlag, 0);
    f.close();

    Player& again = f.start();
    EXPECT_EQ(again.colours().backgroundName(), "blank.jpg");
    // The plain form colour shows in place of the picture.
    const QColor form = colourOfText(again.colours().scheme().form);
    EXPECT_EQ(again.mainWindow()->grab().toImage().pixelColor(4, 200), form);
    f.close();

    // Without a form colour the blank picture itself shows.
    f.write("maincol.tmp", "16777215,\"4352140\",\"\",\"396308\",\"14216438\",\"10508840\",\"16760440\",2,\"\",0\r\n");
    Player& third = f.start();
    EXPECT_EQ(third.colours().backgroundName(), "blank.jpg");
    EXPECT_GT(third.mainWindow()->grab().toImage().pixelColor(4, 200).green(), 150);
    // Ticked again and applied: the picture comes back at once.
    ColoursWindow* e3 = openEditor(third);
    e3->imageBox()->click();
    click(e3->button("Apply"));
    EXPECT_EQ(third.colours().backgroundName(), "bronze.jpg");
    EXPECT_GT(third.mainWindow()->grab().toImage().pixelColor(4, 200).red(), 150);
}

TEST_F(ColoursTest, AWindowHoldsItsPictureOnlyWhileShown)
{
    ASSERT_NO_FATAL_FAILURE(writeColouredPictures());

    Player& p = f.start();
    PitchMatchWindow* w = p.pitchMatchWindow();
    ASSERT_FALSE(w->isVisible());
    EXPECT_TRUE(w->scaledBackground().isNull());
    w->bringUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_GT(w->grab().toImage().pixelColor(4, w->height() / 2).red(), 150);
    EXPECT_EQ(w->scaledBackground().size(), w->size());
    w->hide();
    EXPECT_TRUE(w->scaledBackground().isNull());

    // Shown again, it paints the picture again.
    w->bringUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_GT(w->grab().toImage().pixelColor(4, w->height() / 2).red(), 150);
    EXPECT_FALSE(w->scaledBackground().isNull());
}

TEST(Artwork, APictureDecodedAtTheSizeShownIsTheWholeOneScaledAndCut)
{
    // Red left, blue right, a light band down the middle: the cut keeps the middle.
    QImage picture(640, 320, QImage::Format_RGB32);
    picture.fill(QColor(200, 20, 20));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 320; x < 640; ++x)
            picture.setPixelColor(x, y, x < 340 ? QColor(240, 240, 200) : QColor(20, 20, 200));
    QTemporaryDir folder;
    ASSERT_TRUE(picture.save(folder.filePath("p.jpg"), nullptr, 95));
    for (const QSize size : {QSize(90, 90), QSize(300, 100), QSize(1000, 700)}) {
        SCOPED_TRACE(size.width());
        const QImage whole = artwork::covering(artwork::load(folder.path(), "p.jpg"), size);
        const QImage direct = artwork::loadCovering(folder.path(), "p.jpg", size);
        ASSERT_EQ(direct.size(), size);
        ASSERT_EQ(whole.size(), size);
        double difference = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                difference += std::abs(qRed(direct.pixel(x, y)) - qRed(whole.pixel(x, y)))
                    + std::abs(qBlue(direct.pixel(x, y)) - qBlue(whole.pixel(x, y)));
        EXPECT_LT(difference / (size.width() * size.height()), 8.0);
        EXPECT_GT(qRed(direct.pixel(2, size.height() / 2)), 150);
        EXPECT_GT(qBlue(direct.pixel(size.width() - 3, size.height() / 2)), 150);
    }
    EXPECT_TRUE(artwork::loadCovering(folder.path(), "missing.jpg", QSize(90, 90)).isNull());
}

TEST_F(ColoursTest, AMalformedMaincolLeavesTheDesignedColours)
{
    f.write("maincol.tmp", "16777215,\"1\",\"2\"\r\n");
    Player& p = f.start();
    EXPECT_EQ(p.colours().scheme().buttonBack, "4352140");
    EXPECT_EQ(p.colours().backgroundName(), "bronze.jpg");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(ColoursTest, SwatchesAskTheColourDialog)
{
    Player& p = f.start();
    ColoursWindow* e = openEditor(p);
    f.dialogs.colours.push_back(QColor(10, 20, 30));
    click(e->swatch(SchemeColour::ButtonText));
    ASSERT_EQ(f.dialogs.colourRequests.size(), 1u);
    EXPECT_EQ(f.dialogs.colourRequests[0], "Button Textcolor|#ffffff");
    EXPECT_EQ(p.colours().scheme().buttonText, std::int32_t(rgb(10, 20, 30)));
    EXPECT_EQ(e->swatch(SchemeColour::ButtonText)->backColor(), rgb(10, 20, 30));
    // Cancel keeps the value.
    click(e->swatch(SchemeColour::ButtonText));
    EXPECT_EQ(p.colours().scheme().buttonText, std::int32_t(rgb(10, 20, 30)));
    // The empty rollover colour says so on its swatch.
    EXPECT_EQ(e->swatch(SchemeColour::Rollover)->caption(), "none");
    // The editor's own buttons take the button colours at once.
    EXPECT_EQ(e->button("Apply")->foreColor(), rgb(10, 20, 30));
}

TEST_F(ColoursTest, SavingAndDeletingThroughTheDialogs)
{
    Player& p = f.start();
    ColoursWindow* e = openEditor(p);
    f.dialogs.inputs.push_back(QString("Bedroom"));
    click(e->button("Save "));
    ASSERT_EQ(f.dialogs.prompts.size(), 1u);
    EXPECT_EQ(f.dialogs.prompts[0], "Sonaveil|Please type a name to identify this color scheme");
    EXPECT_EQ(f.read("config/colors/Bedroom.clr"), SchemeFile::bytes(p.colours().scheme()));
    EXPECT_EQ(e->schemeList()->currentText(), "Bedroom");

    // A name that would leave the folder: the message without an icon, nothing written.
    f.dialogs.inputs.push_back(QString("../../Escape"));
    click(e->button("Save "));
    ASSERT_EQ(f.dialogs.plainMessages.size(), 1u);
    EXPECT_EQ(f.dialogs.plainMessages[0],
              "Sonaveil|The file could not be saved. Please try again ensuring you have not used special characters "
              "(!/<>&*$%) in the name ");
    EXPECT_FALSE(fs::exists(f.file("Escape.clr")));
    EXPECT_FALSE(fs::exists(f.file("config/Escape.clr")));

    // "Del": No keeps the file, Yes deletes it.
    f.dialogs.answers.push_back(false);
    click(e->button("Del"));
    ASSERT_EQ(f.dialogs.questions.size(), 1u);
    EXPECT_EQ(f.dialogs.questions[0], "Sonaveil|This will delete the current preset. Continue?");
    EXPECT_TRUE(fs::exists(f.file("config/colors/Bedroom.clr")));
    f.dialogs.answers.push_back(true);
    click(e->button("Del"));
    EXPECT_FALSE(fs::exists(f.file("config/colors/Bedroom.clr")));
    EXPECT_EQ(e->schemeList()->count(), 0);
    EXPECT_EQ(e->schemeList()->placeholderText(), "No Preset Selected");

    // "Restore Default Colors" without a Default scheme: the load message with the icon.
    click(e->button("Restore Default Colors"));
    EXPECT_EQ(f.dialogs.messages, std::vector<QString>{"Sonaveil|There was an error loading the configuration!"});
}

TEST_F(ColoursTest, TheSystemVolumeBarHasItsStoredLook)
{
    Player& p = f.start();
    controls::MasterVolume* bar = p.mainWindow()->systemVolume();
    EXPECT_EQ(bar->objectName(), "MasterVolume1");
    EXPECT_EQ(bar->orientation(), 0);
    const auto& m = bar->model();
    EXPECT_EQ(m.backColor(), 0x404040u);
    EXPECT_EQ(m.gradientStartColor(), 0xC0FFFFu);
    EXPECT_EQ(m.gradientMidColor(), 0x0080FFu);
    EXPECT_EQ(m.gradientEndColor(), 0x0000FFu);
    EXPECT_TRUE(m.segmented());
    EXPECT_EQ(bar->sliderIcon().size(), QSize(9, 8));
    EXPECT_EQ(bar->height(), 8);
    EXPECT_GT(bar->width(), 40);
}

TEST_F(ColoursTest, ShippedSchemesAreReadable)
{
    shipSchemes();
    SchemeLibrary lib(f.folder.path());
    const auto names = lib.names();
    EXPECT_EQ(names, (std::vector<std::string>{"Dawn", "Default", "Moss", "Night"}));
    const QColor bronzeAverage(128, 88, 52);
    for (const std::string& name : names) {
        const SchemeFile::Fields s = SchemeFile::parse(*lib.read(name));
        ASSERT_TRUE(s.complete) << name;
        const QColor text = colourOfText(*s.text);
        QColor panel = colourOfText(*s.background);
        const QColor window = *s.imageBox ? bronzeAverage : colourOfText(*s.form);
        if (*s.imageBox)
            panel = over(QColor(panel.red(), panel.green(), panel.blue(), 120), window);
        EXPECT_GE(contrast(text, panel), 4.5) << name;
        EXPECT_GE(contrast(text, window), *s.imageBox ? 3.0 : 4.5) << name;
        EXPECT_GE(contrast(controls::toQColor(ColorValue(*s.buttonText)), colourOfText(*s.buttonBack)), 4.5) << name;
    }
}

TEST_F(ColoursTest, PicturesOfTheEditorAndTheMainWindow)
{
    shipSchemes();
    shipPictures();
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    p.model().setCheck(2, CheckState::Checked);
    for (const QString name : {"Default", "Night", "Dawn", "Moss"}) {
        ColoursWindow* e = openEditor(p);
        chooseScheme(e, name);
        EXPECT_TRUE(e->grab().save(pictureFolder() + "/colours-editor-" + name + ".png"));
        click(e->button("Apply"));
        EXPECT_TRUE(w->grab().save(pictureFolder() + "/colours-main-" + name + ".png"));
        EXPECT_TRUE(p.optionsWindow()->grab().save(pictureFolder() + "/colours-options-" + name + ".png"));
    }
    EXPECT_TRUE(f.dialogs.messages.empty());
}
