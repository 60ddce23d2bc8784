#include "recorder/core/settings.h"

#include "tempfolder.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace sonaveil::recorder;

namespace {

class Store : public ::testing::Test {
protected:
    QString file() const { return QString::fromStdString((folder / "recorder.ini").string()); }
    // The keys without defaults, at values that read well.
    static void writeReadable(QSettings& s)
    {
        s.setValue("Settings/X", "10");
        s.setValue("Settings/Y", "20");
        s.setValue("Settings/Quality", "5");
        s.setValue("Settings/Style", "0");
        s.setValue("Settings/Diskspace", "3");
    }
    TempFolder folder;
};

} // namespace

TEST_F(Store, WrittenSettingsReadBackWhole)
{
    {
        QSettings s(file(), QSettings::IniFormat);
        WindowSettings v;
        v.x = 120;
        v.y = 80.5;
        v.driver = 2;
        v.quality = 3;
        v.style = 1;
        v.calibration = 15;
        v.diskspace = 4;
        writeStoredSettings(s, v);
    }
    QSettings s(file(), QSettings::IniFormat);
    EXPECT_EQ(s.value("Settings/Quality").toString(), "3");
    EXPECT_EQ(s.value("Settings/Y").toString(), "80.5");
    const StoredSettings r = readStoredSettings(s);
    EXPECT_TRUE(r.restored);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.x, 120.0);
    EXPECT_EQ(r.y, 80.5);
    EXPECT_EQ(r.driver, 2);
    EXPECT_EQ(r.quality, 3);
    EXPECT_EQ(r.style, 1);
    EXPECT_EQ(r.calibration, 15);
    EXPECT_EQ(r.diskspace, 4);
}

TEST_F(Store, NothingIsRestoredWithoutALeftEdgeOrWithALeftEdgeOfZero)
{
    QSettings s(file(), QSettings::IniFormat);
    StoredSettings r = readStoredSettings(s);
    EXPECT_FALSE(r.restored);
    EXPECT_FALSE(r.failed);
    s.setValue("Settings/X", "0");
    s.setValue("Settings/Y", "40");
    s.setValue("Settings/Quality", "2");
    r = readStoredSettings(s);
    EXPECT_FALSE(r.restored);
    EXPECT_FALSE(r.quality);
}

TEST_F(Store, DefaultsAndFailuresFollowTheOrderOfReading)
{
    QSettings s(file(), QSettings::IniFormat);
    writeReadable(s);
    // Driver and Calibration have defaults.
    StoredSettings r = readStoredSettings(s);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.driver, 1);
    EXPECT_EQ(r.calibration, 10);

    // Quality missing: what came before is kept, the rest is not read.
    s.remove("Settings/Quality");
    r = readStoredSettings(s);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.driver, 1);
    EXPECT_FALSE(r.quality);
    EXPECT_FALSE(r.style);
    EXPECT_FALSE(r.diskspace);

    // A quality outside the list fails, so does a style outside its list or a word for a number.
    s.setValue("Settings/Quality", "12");
    EXPECT_TRUE(readStoredSettings(s).failed);
    s.setValue("Settings/Quality", "11");
    s.setValue("Settings/Style", "2");
    EXPECT_TRUE(readStoredSettings(s).failed);
    s.setValue("Settings/Style", "1");
    s.setValue("Settings/Calibration", "loud");
    r = readStoredSettings(s);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.style, 1);
    s.setValue("Settings/Calibration", "12");
    s.remove("Settings/Y");
    EXPECT_TRUE(readStoredSettings(s).failed);
    s.setValue("Settings/Y", "20");
    s.setValue("Settings/X", "left");
    EXPECT_TRUE(readStoredSettings(s).failed);
}

TEST_F(Store, HugeNumbersAreRefusedNotConverted)
{
    QSettings s(file(), QSettings::IniFormat);
    writeReadable(s);
    for (const char* huge : {"1e300", "-1e300", "9.3e18", "2147483649", "1e19"}) {
        s.setValue("Settings/Driver", huge);
        StoredSettings r = readStoredSettings(s);
        EXPECT_TRUE(r.failed) << huge;
        EXPECT_FALSE(r.driver) << huge;
        s.setValue("Settings/Driver", "2");
        s.setValue("Settings/Calibration", huge);
        r = readStoredSettings(s);
        EXPECT_TRUE(r.failed) << huge;
        EXPECT_FALSE(r.calibration) << huge;
        s.setValue("Settings/Calibration", "10");
    }
    s.setValue("Settings/Diskspace", "2147483647");
    EXPECT_EQ(readStoredSettings(s).diskspace, 2147483647);
}

TEST_F(Store, HelpWindowSwitchDefaultsToShown)
{
    QSettings s(file(), QSettings::IniFormat);
    EXPECT_TRUE(showRecordingHelp(s));
    setShowRecordingHelp(s, false);
    EXPECT_EQ(s.value("Options/Show Tips at Start2").toString(), "0");
    EXPECT_FALSE(showRecordingHelp(s));
    setShowRecordingHelp(s, true);
    EXPECT_EQ(s.value("Options/Show Tips at Start2").toString(), "1");
}

TEST_F(Store, RecSetIsOneRecordOfFourFields)
{
    const QString path = QString::fromStdString((folder / "recset.inl").string());
    const RecSet first{1, "MP3", "Unlimited", "Don't warn"};
    EXPECT_EQ(recSetBytes(first), QByteArray("1,\"MP3\",\"Unlimited\",\"Don't warn\"\r\n"));
    ASSERT_TRUE(writeRecSet(path, {3, "Wav", "15", "250"}));
    EXPECT_EQ(readRecSet(path), (RecSet{3, "Wav", "15", "250"}));

    auto write = [&](const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    // The lenient reading takes bare words; a figure that is no list item is kept for the two
    // lists of figures, while other texts give the list's default.
    write("2,Wav,\"7\",\"75\"\n");
    EXPECT_EQ(readRecSet(path), (RecSet{2, "Wav", "7", "75"}));
    write("2,Wav,\"7 min\",\"75 MB\"\n");
    EXPECT_EQ(readRecSet(path), (RecSet{2, "Wav", "7 min", "75 MB"}));
    write("2,\"Ogg\",\"forever\",\"never\"\n");
    EXPECT_EQ(readRecSet(path), (RecSet{2, "MP3", "Unlimited", "Don't warn"}));
    write("2,\"wav\",\"60\",\"10\"\r\n");
    EXPECT_EQ(readRecSet(path), (RecSet{2, "MP3", "60", "10"}));
    // A text with a double quote no longer drifts from one close to the next.
    write("4,\"Wav\",\"Unlim\"ited\",\"Don't warn\"\r\n");
    const auto once = readRecSet(path);
    ASSERT_TRUE(once);
    ASSERT_TRUE(writeRecSet(path, *once));
    EXPECT_EQ(readRecSet(path), once);
    EXPECT_EQ(once->limit, "Unlimited");
    write("1,\"MP3\",\"Unlimited\"\r\n");
    EXPECT_FALSE(readRecSet(path));
    write("first,\"MP3\",\"Unlimited\",\"Don't warn\"\r\n");
    EXPECT_FALSE(readRecSet(path));
    EXPECT_FALSE(readRecSet(path + ".missing"));
}
