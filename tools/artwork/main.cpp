// sonaveil-artwork: draws the program's pictures into a program folder.
//
//   sonaveil-artwork FOLDER
//
// Writes bronze.jpg, blank.jpg, splash.jpg, sonaveil.png, sonaveil-128.png, sonaveil-64.png,
// sonaveil-48.png, sonaveil-32.png, sonaveil-16.png, sonaveil.svg and help/masking-level.png. The same code always gives the same bytes.

#include "artwork.h"

#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QImageWriter>

#include <cstdio>

using namespace sonaveil::artwork;

namespace {

bool save(const QImage& image, const QString& path, int quality = -1)
{
    QImageWriter writer(path);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "sonaveil-artwork: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Pictures are drawn into images only; no text is set in a font, so no display is needed.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: sonaveil-artwork FOLDER\n");
        return 2;
    }
    const QDir folder(args.at(1));
    if (!folder.mkpath(QStringLiteral("help"))) {
        std::fprintf(stderr, "sonaveil-artwork: cannot create %s\n", qPrintable(folder.filePath("help")));
        return 1;
    }

    bool ok = true;
    ok &= save(bronzeBackground(), folder.filePath("bronze.jpg"), 92);
    ok &= save(blankBackground(), folder.filePath("blank.jpg"), 92);
    ok &= save(splash(), folder.filePath("splash.jpg"), 92);
    ok &= save(icon(256), folder.filePath("sonaveil.png"));
    for (int size : {128, 64, 48, 32, 16})
        ok &= save(icon(size), folder.filePath(QStringLiteral("sonaveil-%1.png").arg(size)));
    QFile svg(folder.filePath("sonaveil.svg"));
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(iconSvg()) < 0) {
        std::fprintf(stderr, "sonaveil-artwork: cannot write %s\n", qPrintable(svg.fileName()));
        ok = false;
    }
    ok &= save(maskingLevelDiagram(), folder.filePath("help/masking-level.png"));
    return ok ? 0 : 1;
}
