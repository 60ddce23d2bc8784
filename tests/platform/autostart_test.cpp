#include "platform/autostart.h"

#include "tempfolder.h"

#include <QDir>
#include <QFile>
#include <filesystem>
#include <fstream>
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

TEST(XdgAutostart, AProgramTheDesktopCannotNameGetsNoEntry)
{
    using sonaveil::platform::autostartCanName;
    TempFolder dir;
    const QString user = QString::fromStdString((dir / "autostart").string());
    XdgAutostart autostart(QString::fromStdString((dir / "none").string()), user);

    EXPECT_TRUE(autostartCanName(QStringLiteral("/opt/Sona veil/quietdeck")));
    EXPECT_TRUE(autostartCanName(QStringLiteral("/opt/Kl\u00E4nge/quietdeck")));
    // A name of this process only: it leads elsewhere, or nowhere, at the next log-on.
    EXPECT_FALSE(autostartCanName(QStringLiteral("/proc/self/fd/7/quietdeck")));
    EXPECT_FALSE(autostartCanName(QStringLiteral("quietdeck")));
    EXPECT_FALSE(autostartCanName(QString()));
    // The bytes of a folder name that is not UTF-8 reach Qt as replacement characters.
    const QString lossy = QStringLiteral("/opt/Kl\uFFFDnge/quietdeck");
    EXPECT_FALSE(autostartCanName(lossy));
    EXPECT_FALSE(autostart.enable(QStringLiteral("Sonaveil"), lossy));
    EXPECT_FALSE(autostart.enable(QStringLiteral("Sonaveil"), QStringLiteral("/proc/self/fd/7/quietdeck")));
    EXPECT_FALSE(QFile::exists(user + QStringLiteral("/Sonaveil.desktop")));
    EXPECT_FALSE(autostart.isEnabled(QStringLiteral("Sonaveil")));

    // A folder whose name really holds that character (valid UTF-8) is named as it is.
    const std::filesystem::path real = dir / "Kl\xEF\xBF\xBDnge";
    std::filesystem::create_directory(real);
    { std::ofstream program(real / "quietdeck"); }
    const QString named = QString::fromStdString((real / "quietdeck").string());
    ASSERT_TRUE(named.contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(autostartCanName(named));
    EXPECT_TRUE(autostart.enable(QStringLiteral("Sonaveil"), named));
}

TEST(XdgAutostart, SpecialCharactersInThePathAreEscaped)
{
    const QByteArray text = XdgAutostart::entryText(QStringLiteral("Sonaveil"), QStringLiteral("/a\"b/$c\\d"));
    // Quoted argument /a\"b/\$c\\d, its backslashes doubled once more.
    EXPECT_TRUE(text.contains(R"(Exec="/a\\"b/\\$c\\\\d")")) << text.constData();
}
