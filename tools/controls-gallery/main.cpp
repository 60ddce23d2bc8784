// controls-gallery: every look of the painted buttons and the slider on one window.
//
//   controls-gallery                 shows the window
//   controls-gallery --grab FILE     writes a picture of the window to FILE and quits
//
// The left part of each section is drawn from the models in fixed states (normal, hot, pressed,
// checked, disabled); the controls on the right are live and answer the mouse and keyboard.

#include "controls/chameleonbuttonwidget.h"
#include "controls/multibuttonwidget.h"
#include "controls/paintqt.h"
#include "controls/ucsliderwidget.h"
#include "tools/controls-gallery/drawnstates.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

using namespace sonaveil;
using namespace sonaveil::controls;

namespace {

const ColorValue kGrey = rgb(128, 128, 128);
const char* const kStates[] = {"normal", "hot", "pressed", "checked", "disabled"};

QLabel* picture(const QImage& img)
{
    auto* l = new QLabel;
    l->setPixmap(QPixmap::fromImage(img));
    return l;
}

QImage renderButton(int style, int state, ColorValue back, const QPalette& pal)
{
    MultibuttonModel m;
    m.initNew("Multibutton1");
    m.setButtonStyle(style);
    if (back != 0)
        m.setBackColor(back);
    m.setCaption("&Play");
    m.setHoverTracking(false);
    setDrawnState(m, state);
    const int w = 84, h = 25;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(pal.color(QPalette::Window));
    QPainter p(&img);
    QtSurface s(p, w, h);
    SystemColors sys = systemColorsOf(pal);
    sys.window = fromQColor(pal.color(QPalette::Window));
    m.paint(s, sys);
    return img;
}

QImage renderChameleon(int type, int state, const QPalette& pal)
{
    ChameleonButtonModel m;
    m.setSystemColors(systemColorsOf(pal));
    m.initNew("chameleonButton1", fontSpecOf(QApplication::font()));
    m.setButtonType(type);
    m.setColorScheme(2);
    m.setBackColor(type == 3 ? rgb(220, 222, 214) : rgb(212, 208, 200));
    m.setBackOver(type == 3 ? rgb(220, 222, 214) : rgb(212, 208, 200));
    m.setForeColor(kBlack);
    m.setForeOver(kBlack);
    m.setCaption(type == 2 ? "Various" : "Load Scheme");
    const int w = 96, h = 27;
    m.shown(w, h);
    setDrawnState(m, state);
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(pal.color(QPalette::Window));
    QPainter p(&img);
    QtSurface s(p, w, h);
    m.paint(s);
    return img;
}

QWidget* multibuttonSection(const QPalette& pal)
{
    auto* box = new QGroupBox("Multibutton: ButtonStyle 0 to 14 (drawn states, then a live button)");
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    grid->addWidget(new QLabel("style"), 0, 0);
    for (int c = 0; c < 5; ++c)
        grid->addWidget(new QLabel(kStates[c]), 0, c + 1);
    grid->addWidget(new QLabel("live"), 0, 6);
    grid->addWidget(new QLabel("live, grey (128,128,128)"), 0, 7);
    for (int style = 0; style <= 14; ++style) {
        grid->addWidget(new QLabel(QString::number(style)), style + 1, 0);
        for (int c = 0; c < 5; ++c)
            grid->addWidget(picture(renderButton(style, c, 0, pal)), style + 1, c + 1);
        auto* live = new Multibutton(QString("Multibutton%1").arg(style + 1));
        live->setButtonStyle(style);
        live->setCaption("&Play");
        live->setFixedSize(84, 25);
        grid->addWidget(live, style + 1, 6);
        auto* grey = new Multibutton(QString("MultibuttonGrey%1").arg(style + 1));
        grey->setButtonStyle(style);
        grey->setBackColor(kGrey);
        grey->setForeColor(kWhite);
        grey->setCaption("Equalizer");
        grey->setCheckBoxMode(style == 7);
        grey->setFixedSize(84, 25);
        grid->addWidget(grey, style + 1, 7);
    }
    return box;
}

QWidget* transportSection()
{
    auto* box = new QGroupBox("Transport captions in the symbol font (record, stop, play), style 7");
    auto* row = new QHBoxLayout(box);
    FontSpec symbols;
    symbols.name = "Webdings";
    symbols.pointSize = 14;
    struct Item { const char* name; const char* caption; ColorValue color; };
    for (const Item& it : {Item{"cmdrecord", "=", rgb(220, 0, 0)}, Item{"cmdstop", "<", kBlack},
                           Item{"cmdplay", "4", kBlack}}) {
        auto* b = new Multibutton(it.name);
        b->setButtonStyle(7);
        b->setBackColor(kGrey);
        b->setButtonFont(symbols);
        b->setCaption(it.caption);
        b->setForeColor(it.color);
        b->setFixedSize(40, 30);
        row->addWidget(b);
    }
    auto* disabled = new Multibutton("cmdplayDisabled");
    disabled->setButtonStyle(7);
    disabled->setBackColor(kGrey);
    disabled->setButtonFont(symbols);
    disabled->setCaption("4");
    disabled->setFixedSize(40, 30);
    disabled->setEnabled(false);
    row->addWidget(disabled);
    row->addStretch();
    return box;
}

QWidget* chameleonSection(const QPalette& pal)
{
    auto* box = new QGroupBox("chameleonButton: ButtonType 14, 3 and 2 (scheme 2), drawn states, then live");
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(10);
    const char* states[] = {"normal", "mouse over", "pressed", "checked", "disabled"};
    for (int c = 0; c < 5; ++c)
        grid->addWidget(new QLabel(states[c]), 0, c + 1);
    grid->addWidget(new QLabel("live"), 0, 6);
    int row = 1;
    for (int type : {14, 3, 2}) {
        grid->addWidget(new QLabel(QString("type %1").arg(type)), row, 0);
        for (int c = 0; c < 5; ++c)
            grid->addWidget(picture(renderChameleon(type, c, pal)), row, c + 1);
        auto* live = new ChameleonButton(QString("chameleonButton%1").arg(row));
        live->setButtonType(type);
        live->setColorScheme(2);
        live->setBackColor(rgb(212, 208, 200));
        live->setBackOver(rgb(212, 208, 200));
        live->setForeColor(kBlack);
        live->setForeOver(kBlack);
        live->setHandPointer(type == 14);
        live->setCaption(type == 2 ? "Various" : "Save && &Apply");
        live->setFixedSize(96, 27);
        grid->addWidget(live, row, 6);
        ++row;
    }
    auto* wrap = new ChameleonButton("chameleonButtonWrap");
    wrap->setButtonType(14);
    wrap->setColorScheme(2);
    wrap->setBackColor(rgb(212, 208, 200));
    wrap->setBackOver(rgb(230, 230, 210));
    wrap->setForeColor(kBlack);
    wrap->setForeOver(rgb(0, 0, 160));
    wrap->setCaption("A caption long enough to wrap");
    wrap->setFixedSize(110, 44);
    grid->addWidget(new QLabel("wrapped, BackOver"), row, 0);
    grid->addWidget(wrap, row, 1, 1, 2);
    return box;
}

QWidget* sliderSection()
{
    auto* box = new QGroupBox("ucSlider: horizontal and vertical, enabled and disabled, two gradient colours");
    auto* row = new QHBoxLayout(box);
    auto* column = new QVBoxLayout;
    auto addSlider = [&](const QString& name, int lo, int hi, int value, bool enabled, ColorValue c1, ColorValue c2) {
        auto* line = new QHBoxLayout;
        auto* s = new UcSlider(name);
        s->setRange(lo, hi);
        s->setValue(value);
        s->setGradientColor1(c1);
        s->setGradientColor2(c2);
        s->setEnabled(enabled);
        s->setFixedWidth(220);
        auto* label = new QLabel;
        label->setMinimumWidth(140);
        auto show = [s, label, name] {
            label->setText(QString("%1 = %2 (%3..%4)").arg(name).arg(s->value()).arg(s->minimum()).arg(s->maximum()));
        };
        QObject::connect(s, &UcSlider::Change, label, show);
        QObject::connect(s, &UcSlider::Scroll, label, show);
        show();
        line->addWidget(s);
        line->addWidget(label);
        column->addLayout(line);
        return s;
    };
    addSlider("ucSlider1", 0, 255, 100, true, rgb(40, 90, 160), rgb(120, 190, 255));
    addSlider("ucSlider11", 10, 7056, 4410, true, rgb(30, 120, 60), rgb(150, 230, 120));
    addSlider("ucSlider16", 0, 7056, 4410, false, rgb(30, 120, 60), rgb(150, 230, 120));
    addSlider("ucSlider21", 0, 25, 12, true, rgb(140, 70, 20), rgb(255, 190, 90));
    addSlider("ucSlider32", 0, 100, 100, true, rgb(120, 0, 0), rgb(255, 80, 60));
    row->addLayout(column);
    for (int i = 0; i < 4; ++i) {
        auto* v = new UcSlider(QString("vscroll1(%1)").arg(i));
        v->setVertical(true);
        v->setRange(0, 30);
        v->setValue(15 + i * 5 - 5);
        v->setEnabled(i != 3);
        v->setFixedHeight(130);
        row->addWidget(v);
    }
    row->addStretch();
    return box;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QString grabPath;
    const QStringList args = app.arguments();
    const int at = int(args.indexOf("--grab"));
    if (at >= 0 && at + 1 < args.size())
        grabPath = args.at(at + 1);

    QWidget window;
    window.setWindowTitle("Controls gallery");
    auto* layout = new QVBoxLayout(&window);
    const QPalette pal = window.palette();
    layout->addWidget(multibuttonSection(pal));
    layout->addWidget(transportSection());
    layout->addWidget(chameleonSection(pal));
    layout->addWidget(sliderSection());
    window.show();

    if (!grabPath.isEmpty()) {
        QTimer::singleShot(100, &app, [&] {
            window.grab().save(grabPath);
            app.quit();
        });
    }
    return app.exec();
}
