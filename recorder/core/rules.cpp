#include "recorder/core/rules.h"

#include <QRegularExpression>

#include <algorithm>

namespace sonaveil::recorder {

double numericValue(const QString& text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?(\\d+(\\.\\d*)?|\\.\\d+))"));
    const auto match = leading.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

QString progressText(double bytes, const std::array<float, 3>& elapsed)
{
    const QString size = bytes < 1048576.0 ? QString::number(bytes / 1024.0, 'f', 2) + QStringLiteral("KB")
                                           : QString::number(bytes / 1048576.0, 'f', 2) + QStringLiteral("MB");
    auto two = [](float v) { return QStringLiteral("%1").arg(int(v), 2, 10, QLatin1Char('0')); };
    return QStringLiteral(" ") + size + QStringLiteral(" / ") + two(elapsed[2]) + QLatin1Char(':') + two(elapsed[1])
        + QLatin1Char(':') + two(elapsed[0]);
}

QString folderOf(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString mp3TargetOf(const QString& source)
{
    const int slash = source.lastIndexOf(QLatin1Char('/'));
    const int dot = source.lastIndexOf(QLatin1Char('.'));
    // Only a dot in the file name itself starts its extension: "/my.recordings/take" has none.
    if (dot > slash)
        return source.left(dot + 1) + QStringLiteral("mp3");
    return source + QStringLiteral(".mp3");
}

QString factorLabel(float factor)
{
    return QStringLiteral("(x") + QString::number(double(factor)) + QStringLiteral(")");
}

QPoint placeOnScreens(std::optional<QPoint> stored, QSize size, const QList<QRect>& available, QRect primary)
{
    if (stored) {
        const QRect grip(*stored, QSize(std::min(64, size.width()), std::min(24, size.height())));
        for (const QRect& area : available)
            if (area.contains(grip))
                return *stored;
    }
    return primary.center() - QRect(QPoint(0, 0), size).center();
}

} // namespace sonaveil::recorder
