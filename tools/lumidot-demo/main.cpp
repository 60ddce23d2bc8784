// Shows the display control in every palette and dot size with every animation running.
#include "lumidot/generalpage.h"
#include "lumidot/lcd.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

using namespace sonaveil::lumidot;

namespace {

const char* const kPaletteNames[13] = {
    "LCD_NoBacklight", "LCD_Green",  "LCD_Blue",  "LCD_Yellow", "LCD_Orange", "Vac_LtBlue", "Vac_LtGreen",
    "Vac_Orange",      "Vac_Yellow", "Led_Red",   "Led_Yellow", "Led_Green",  "Led_Blue",
};
const char* const kAnimationNames[7] = {"", "Bounce", "Push", "Scroll", "Typeclear", "Typeover", "Uncover"};

// Bar-graph levels, wedges, block, heart and the sheet-only symbols.
QString symbols()
{
    QString s;
    for (int code : {128, 129, 130, 131, 132, 133, 134, 135, 136, 159, 146, 147, 148, 149, 150, 151, 152, 155, 156,
                     157, 158})
        s += QChar(code);
    return s;
}

// A round dot picture for the Custom sheet, drawn on the backlight.
QImage roundDot(int size, QColor dot, QColor back)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(back);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    p.drawEllipse(QRectF(0.5, 0.5, size - 1.5, size - 1.5));
    return image;
}

void fillStill(LCD& lcd, const QString& title)
{
    lcd.SetDisplay(1, title);
    lcd.SetDisplay(2, QStringLiteral("0123456789 ABC abc"));
    lcd.SetDisplay(3, QStringLiteral("gjpqy !?@#$%&*()"));
    lcd.SetDisplay(4, symbols());
}

int writePictures(const QString& folder)
{
    QDir().mkpath(folder);
    int written = 0;
    auto save = [&](LCD& lcd, const QString& name) {
        const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
        if (lcd.grab().save(path))
            ++written;
        else
            std::fprintf(stderr, "lumidot-demo: cannot write %s\n", qPrintable(path));
    };
    for (int p = 0; p <= 12; ++p) {
        LCD lcd;
        lcd.setColorPresetPalette(p);
        fillStill(lcd, QString::fromLatin1(kPaletteNames[p]));
        save(lcd, QStringLiteral("palette-%1-%2").arg(p, 2, 10, QLatin1Char('0')).arg(QLatin1String(kPaletteNames[p])));
    }
    for (int type : {Small, Large}) {
        LCD lcd;
        lcd.setDisplayType(type);
        fillStill(lcd, type == Small ? QStringLiteral("Small dots") : QStringLiteral("Large dots"));
        save(lcd, type == Small ? QStringLiteral("size-small") : QStringLiteral("size-large"));
    }
    {
        LCD lcd;
        lcd.setColorBacklight(0); // black around the round dots
        lcd.setColspace(4);       // round dots fill their cells: space the letters apart
        lcd.setLCDonPicture(roundDot(5, QColor(255, 200, 60), Qt::black));
        lcd.setLCDoffPicture(roundDot(5, QColor(40, 28, 10), Qt::black));
        fillStill(lcd, QStringLiteral("Custom dots"));
        save(lcd, QStringLiteral("size-custom"));
    }
    {
        LCD lcd;
        lcd.setAutoBlend(false);
        fillStill(lcd, QStringLiteral("AutoBlend off"));
        save(lcd, QStringLiteral("autoblend-off"));
    }
    {
        // The player's main window display.
        LCD lcd;
        lcd.setDisplayType(Small);
        lcd.setLCDCol(25);
        lcd.setColorPresetPalette(LCD_Blue);
        lcd.SetDisplay(1, QStringLiteral("Time:11:42:07 PM"));
        lcd.SetDisplay(2, QStringLiteral("Alarm:Off"));
        lcd.SetDisplay(3, QStringLiteral("EQL:Off"));
        lcd.SetDisplay(4, QStringLiteral("Current:None"));
        save(lcd, QStringLiteral("player-status"));
    }
    {
        LCD lcd;
        GeneralPage page;
        page.setSelection({&lcd});
        page.adjustSize();
        const QString path = QDir(folder).filePath(QStringLiteral("general-page.png"));
        if (page.grab().save(path))
            ++written;
    }
    std::printf("lumidot-demo: %d pictures in %s\n", written, qPrintable(folder));
    return written == 19 ? 0 : 1;
}

// Starts every line of a display on its own animation, endlessly.
void animate(LCD& lcd, int firstKind, int lines)
{
    for (int line = 1; line <= lines; ++line) {
        const int kind = (firstKind + line - 2) % 6 + 1;
        const bool rightToLeft = (firstKind + line) % 2 == 0;
        lcd.SetDisplay(line, QStringLiteral("-- Sonaveil --"));
        lcd.SetAnimationOpts(line, kind, 90 + 20 * line, rightToLeft, false, -1);
        lcd.SetAnimation(line, QStringLiteral("%1 %2").arg(QLatin1String(kAnimationNames[kind]),
                                                           rightToLeft ? QStringLiteral("<-") : QStringLiteral("->")));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int png = int(args.indexOf(QStringLiteral("--png")));
    const int shot = int(args.indexOf(QStringLiteral("--shot")));
    if ((png > 0 && png + 1 >= args.size()) || (shot > 0 && shot + 1 >= args.size())) {
        std::fprintf(stderr, "usage: lumidot-demo [--png FOLDER | --shot FILE.png]\n");
        return 2;
    }
    if (png > 0)
        return writePictures(args.at(png + 1));

    auto* page = new QWidget; // owned by the scroll area
    auto* grid = new QGridLayout(page);
    int cell = 0;
    auto place = [&](LCD* lcd, const QString& caption) {
        auto* box = new QVBoxLayout;
        box->addWidget(new QLabel(caption));
        box->addWidget(lcd);
        grid->addLayout(box, cell / 3, cell % 3);
        ++cell;
    };
    for (int p = 0; p <= 12; ++p) {
        auto* lcd = new LCD;
        lcd->setLCDCol(16);
        lcd->setLCDRow(3);
        lcd->setColorPresetPalette(p);
        animate(*lcd, p % 6 + 1, 3);
        place(lcd, QStringLiteral("%1 %2").arg(p).arg(QLatin1String(kPaletteNames[p])));
    }
    for (int type : {int(Small), int(Normal), int(Large), int(Custom)}) {
        auto* lcd = new LCD;
        lcd->setLCDCol(16);
        if (type == Custom) {
            lcd->setColorBacklight(0);
            lcd->setColspace(4);
            lcd->setLCDonPicture(roundDot(5, QColor(120, 220, 255), Qt::black));
            lcd->setLCDoffPicture(roundDot(5, QColor(10, 26, 34), Qt::black));
        } else {
            lcd->setDisplayType(type);
        }
        animate(*lcd, 1 + cell, 4);
        const char* names[] = {"Custom", "Normal", "Small", "Large"};
        place(lcd, QStringLiteral("DisplayType %1").arg(QLatin1String(names[type + 1])));
    }
    QScrollArea scroll;
    scroll.setWidget(page);
    scroll.setWindowTitle(QStringLiteral("Dot-matrix displays"));
    scroll.resize(1400, 900);
    scroll.show();
    if (shot > 0) {
        // A picture of the running window after a few seconds of animation.
        const QString file = args.at(shot + 1);
        QTimer::singleShot(2500, &app, [&] {
            const bool ok = page->grab().save(file);
            app.exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
