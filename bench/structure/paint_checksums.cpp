// paint-checksums: paints every control of controls/ in every look and state it has, and prints
// one checksum line per picture and a total. Two builds that print the same lines paint the same
// pixels, so a change meant only to move code can be checked against the build before it:
//
//   QT_QPA_PLATFORM=offscreen paint-checksums            the lines and the total
//   QT_QPA_PLATFORM=offscreen paint-checksums --total    the total only
//   QT_QPA_PLATFORM=offscreen paint-checksums --save DIR also writes every picture to DIR

#include "controls/chameleonbuttonwidget.h"
#include "controls/mastervolume.h"
#include "controls/multibuttonwidget.h"
#include "controls/paintqt.h"
#include "controls/scombobox.h"
#include "controls/timecontrol.h"
#include "controls/ucsliderwidget.h"
#include "platform/fakesystemvolume.h"
#include "tools/controls-gallery/drawnstates.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QPainter>

#include <cstdio>

using namespace sonaveil;
using namespace sonaveil::controls;

namespace {

QCryptographicHash g_total(QCryptographicHash::Md5);
bool g_linesShown = true;
QString g_saveFolder;

void record(const QString& name, QImage img)
{
    img = img.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash h(QCryptographicHash::Md5);
    for (int y = 0; y < img.height(); ++y)
        h.addData(QByteArrayView(reinterpret_cast<const char*>(img.constScanLine(y)), img.width() * 4));
    const QByteArray digest = h.result().toHex();
    g_total.addData(name.toUtf8());
    g_total.addData(digest);
    if (g_linesShown)
        std::printf("%s %s\n", digest.constData(), qPrintable(name));
    if (!g_saveFolder.isEmpty())
        img.save(QDir(g_saveFolder).filePath(QString(name).replace(' ', '-') + ".png"));
}

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(212, 208, 200));
    return img;
}

// State 0 normal, 1 hot, 2 pressed, 3 checked, 4 disabled.
void multibuttons()
{
    const SystemColors sys = systemColorsOf(QApplication::palette());
    for (int style = 0; style <= 14; ++style)
        for (int state = 0; state < kDrawnStates; ++state)
            for (int variant = 0; variant < 4; ++variant) {
                MultibuttonModel m;
                m.initNew("Multibutton1");
                m.setButtonStyle(style);
                m.setHoverTracking(false);
                m.setCaption("&Play");
                if (variant == 1) {
                    m.setBackColor(rgb(128, 128, 128));
                    m.setForeColor(kWhite);
                } else if (variant == 2) {
                    m.setCaptionAlign(0);
                    m.setRolloverColor(rgb(90, 160, 220));
                } else if (variant == 3) {
                    m.setCaptionAlign(2);
                    m.setBackColor(rgb(20, 60, 140));
                }
                setDrawnState(m, state);
                if (state == 0 && variant == 0)
                    m.focusIn();
                QImage img = blank(84, 25);
                QPainter p(&img);
                QtSurface s(p, img.width(), img.height());
                m.paint(s, sys);
                p.end();
                record(QString("multibutton style %1 state %2 variant %3").arg(style).arg(state).arg(variant), img);
            }
    // A picture in each place, with and without the mask colour, pressed and not.
    QImage icon(12, 10, QImage::Format_ARGB32);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            icon.setPixel(x, y, (x + y) % 3 ? qRgb(224, 224, 224) : qRgb(40 * (x % 6), 200, 30 * y));
    for (int style : {0, 5, 7})
        for (int align = 0; align <= 8; ++align)
            for (int captionAlign = 0; captionAlign <= 2; ++captionAlign)
                for (bool pressedMasked : {false, true}) {
                    MultibuttonModel m;
                    m.initNew("Multibutton1");
                    m.setButtonStyle(style);
                    m.setHoverTracking(false);
                    m.setCaption(captionAlign == 1 ? "&Open" : "Open");
                    m.setPicture(pictureFromImage(icon));
                    m.setPictureAlign(align);
                    m.setCaptionAlign(captionAlign);
                    m.setUseMaskColor(pressedMasked);
                    if (pressedMasked) {
                        m.hookedMouseMove();
                        m.mousePress(1, 0, 5, 5);
                    }
                    QImage img = blank(96, 44);
                    QPainter p(&img);
                    QtSurface s(p, img.width(), img.height());
                    m.paint(s, sys);
                    p.end();
                    record(QString("multibutton style %1 picture %2 caption %3 pressed-masked %4")
                               .arg(style).arg(align).arg(captionAlign).arg(pressedMasked), img);
                }
    for (int style = 0; style <= 14; ++style) {
        Multibutton b(QString("Multibutton%1").arg(style + 1));
        b.setButtonStyle(style);
        b.setCaption("Equalizer");
        b.resize(90, 28);
        record(QString("Multibutton widget style %1").arg(style), b.grab().toImage());
    }
}

void chameleons()
{
    for (int type : {2, 3, 14})
        for (int scheme = 0; scheme <= 4; ++scheme)
            for (int state = 0; state < kDrawnStates; ++state)
                for (bool soft : {false, true}) {
                    ChameleonButtonModel m;
                    m.setSystemColors(systemColorsOf(QApplication::palette()));
                    m.initNew("chameleonButton1", fontSpecOf(QApplication::font()));
                    m.setButtonType(type);
                    m.setColorScheme(scheme);
                    m.setSoftBevel(soft);
                    m.setBackColor(rgb(200, 196, 230));
                    m.setBackOver(rgb(230, 230, 210));
                    m.setForeColor(kBlack);
                    m.setForeOver(rgb(0, 0, 160));
                    m.setCaption(soft ? "A caption long enough to wrap" : "Load Scheme");
                    const int w = 96, h = soft ? 44 : 27;
                    m.shown(w, h);
                    if (state == 0)
                        m.focusChanged(true);
                    setDrawnState(m, state);
                    QImage img = blank(w, h);
                    QPainter p(&img);
                    QtSurface s(p, w, h);
                    m.paint(s);
                    p.end();
                    record(QString("chameleon type %1 scheme %2 state %3 soft %4").arg(type).arg(scheme).arg(state).arg(soft), img);
                }
    for (int type : {2, 3, 14}) {
        ChameleonButton b(QString("chameleonButton%1").arg(type));
        b.setButtonType(type);
        b.setCaption("Save && &Apply");
        b.resize(96, 27);
        record(QString("chameleonButton widget type %1").arg(type), b.grab().toImage());
    }
}

void sliders()
{
    for (bool vertical : {false, true})
        for (bool enabled : {true, false})
            for (int value : {0, 7, 30}) {
                UcSlider s("ucSlider1");
                s.setVertical(vertical);
                s.setRange(0, 30);
                s.setValue(value);
                s.setGradientColor1(rgb(40, 90, 160));
                s.setGradientColor2(rgb(120, 190, 255));
                s.setEnabled(enabled);
                s.resize(vertical ? QSize(24, 130) : QSize(220, 24));
                record(QString("ucSlider vertical %1 enabled %2 value %3").arg(vertical).arg(enabled).arg(value), s.grab().toImage());
            }
}

void others()
{
    for (int orientation : {0, 1})
        for (int percent : {0, 50, 100}) {
            auto fake = std::make_unique<platform::FakeSystemVolume>();
            fake->level = unsigned(65535 * percent / 100);
            MasterVolume v(std::move(fake));
            v.setOrientation(orientation);
            v.setValue(percent);
            v.resize(orientation ? QSize(30, 140) : QSize(140, 30));
            record(QString("MasterVolume orientation %1 value %2").arg(orientation).arg(percent), v.grab().toImage());
        }
    for (bool enabled : {true, false}) {
        TimeControl t;
        t.setValue("07:30");
        t.setEnabled(enabled);
        t.resize(t.sizeHint());
        record(QString("TimeControl enabled %1").arg(enabled), t.grab().toImage());
        SComboBox c("SComboBox1");
        c.setText("Rain on the roof");
        c.setEnabled(enabled);
        c.resize(160, 24);
        record(QString("SComboBox enabled %1").arg(enabled), c.grab().toImage());
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    g_linesShown = !args.contains("--total");
    const qsizetype save = args.indexOf("--save");
    if (save >= 0 && save + 1 < args.size()) {
        g_saveFolder = args.at(save + 1);
        QDir().mkpath(g_saveFolder);
    }
    multibuttons();
    chameleons();
    sliders();
    others();
    std::printf("%s total\n", g_total.result().toHex().constData());
    return 0;
}
