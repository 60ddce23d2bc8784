#include "platform/autostart.h"

#include "tempfolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using sonaveil::platform::XdgAutostart;

TEST(XdgAutostart, EntryGoesMachineWideWhenPossibleElseToTheUser)
{
    TempFolder dir;
    const QString system = QString::fromStdString((dir / "etc-xdg-autostart").string());
    const QString user = QString::fromStdString((dir / "home/.config/autostart").string());
    const QString program = QStringLiteral("/opt/Sona veil/quietdeck");

    // No machine-wide folder: the user's own, created on demand.
    XdgAutostart autostart(system, user);
    ASSERT_TRUE(autostart.enable(QStringLiteral("Sonaveil"), program));
    EXPECT_TRUE(QFile::exists(user + QStringLiteral("/Sonaveil.desktop")));
    EXPECT_TRUE(autostart.isEnabled(QStringLiteral("Sonaveil")));
    QFile entry(user + QStringLiteral("/Sonaveil.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/Sona veil/quietdeck\"\n"));
    EXPECT_TRUE(text.contains("\nName=Sonaveil\n"));

    ASSERT_TRUE(autostart.disable(QStringLiteral("Sonaveil")));
    EXPECT_FALSE(autostart.isEnabled(QStringLiteral("Sonaveil")));
    EXPECT_FALSE(QFile::exists(user + QStringLiteral("/Sonaveil.desktop")));

    // A writable machine-wide folder takes it.
    QDir().mkpath(system);
    ASSERT_TRUE(autostart.enable(QStringLiteral("Sonaveil"), program));
    EXPECT_TRUE(QFile::exists(system + QStringLiteral("/Sonaveil.desktop")));
    EXPECT_TRUE(autostart.disable(QStringLiteral("Sonaveil")));
    EXPECT_FALSE(QFile::exists(system + QStringLiteral("/Sonaveil.desktop")));
}

TEST(XdgAutostart, SpecialCharactersInThePathAreEscaped)
{
    const QByteArray text = XdgAutostart::entryText(QStringLiteral("Sonaveil"), QStringLiteral("/a\"b/$c\\d"));
    // Quoted argument /a\"b/\$c\\d, its backslashes doubled once more.
    EXPECT_TRUE(text.contains(R"(Exec="/a\\"b/\\$c\\\\d")")) << text.constData();
}
