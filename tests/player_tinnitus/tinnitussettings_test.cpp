#include "player/tinnitus/tinnitussettings.h"

#include "common/atomicfile.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;

TEST(TinnitusSettings, WritesBothSectionsAndReadsThemBack)
{
    TempFolder dir;
    const auto file = dir / TinnitusSettings::kFileName;
    TinnitusSettings s;
    s.frequencyHz = 4237.6;
    s.kind = MatchKind::Band;
    s.notchEnabled = true;
    s.notchWidth = 0.75;
    ASSERT_TRUE(s.writeMatch(file));
    ASSERT_TRUE(s.writeNotch(file));
    EXPECT_EQ(readWholeFile(file.string()),
              "[Match]\r\nFrequency=4238\r\nKind=band\r\n[Notch]\r\nEnabled=1\r\nWidth=0.75\r\n");

    const TinnitusSettings back = TinnitusSettings::read(file);
    EXPECT_EQ(back.frequencyHz, 4238.0);
    EXPECT_EQ(back.kind, MatchKind::Band);
    EXPECT_TRUE(back.notchEnabled);
    EXPECT_EQ(back.notchWidth, 0.75);

    // Saving the match again replaces its keys in place and leaves the notch alone.
    s.frequencyHz = 500;
    s.kind = MatchKind::Tone;
    s.notchEnabled = false;
    ASSERT_TRUE(s.writeMatch(file));
    EXPECT_EQ(readWholeFile(file.string()),
              "[Match]\r\nFrequency=500\r\nKind=tone\r\n[Notch]\r\nEnabled=1\r\nWidth=0.75\r\n");
}

TEST(TinnitusSettings, MissingOrDamagedValuesKeepTheirDefaults)
{
    TempFolder dir;
    const auto file = dir / TinnitusSettings::kFileName;
    TinnitusSettings none = TinnitusSettings::read(file);
    EXPECT_EQ(none.frequencyHz, 4000.0);
    EXPECT_EQ(none.kind, MatchKind::Tone);
    EXPECT_FALSE(none.notchEnabled);
    EXPECT_EQ(none.notchWidth, 1.0);

    ASSERT_TRUE(writeFileAtomically(file.string(),
                                    "[match]\nfrequency = loud\nKIND=Band\n[Notch]\nEnabled=yes\nWidth=-2\n"));
    const TinnitusSettings bad = TinnitusSettings::read(file);
    EXPECT_EQ(bad.frequencyHz, 4000.0);
    EXPECT_EQ(bad.kind, MatchKind::Band) << "names compare without regard to case";
    EXPECT_FALSE(bad.notchEnabled);
    EXPECT_EQ(bad.notchWidth, 1.0);

    ASSERT_TRUE(writeFileAtomically(file.string(), "[Match]\nFrequency=40000\nKind=hum\n[Notch]\nEnabled=0\nWidth=9\n"));
    const TinnitusSettings outside = TinnitusSettings::read(file);
    EXPECT_EQ(outside.frequencyHz, 16000.0);
    EXPECT_EQ(outside.kind, MatchKind::Tone);
    EXPECT_EQ(outside.notchWidth, 2.0);
}

TEST(TinnitusSettings, WritingIntoAFolderThatIsNotThereFailsWithAReason)
{
    TempFolder dir;
    std::string error;
    EXPECT_FALSE(TinnitusSettings{}.writeMatch(dir / "missing" / TinnitusSettings::kFileName, &error));
    EXPECT_FALSE(error.empty());
}

TEST(TinnitusSettings, Texts)
{
    EXPECT_EQ(TinnitusSettings::widthText(1.0), "1.0");
    EXPECT_EQ(TinnitusSettings::widthText(0.5), "0.5");
    EXPECT_EQ(TinnitusSettings::widthText(1.25), "1.25");
    EXPECT_EQ(TinnitusSettings::widthText(0.333), "0.33");
    EXPECT_EQ(TinnitusSettings::shortFrequency(250), "250");
    EXPECT_EQ(TinnitusSettings::shortFrequency(999.6), "1.0k");
    EXPECT_EQ(TinnitusSettings::shortFrequency(4000), "4.0k");
    EXPECT_EQ(TinnitusSettings::shortFrequency(12699), "12.7k");
    EXPECT_EQ(TinnitusSettings::frequencyText(257.33), "257");
}

TEST(TinnitusSettings, TheNotchMarksTheEqualiserLine)
{
    TinnitusSettings s;
    EXPECT_EQ(s.equaliserLine("EQL:Flat"), "EQL:Flat");
    s.notchEnabled = true;
    EXPECT_EQ(s.equaliserLine("EQL:Flat"), "EQL:Flat N4.0k");
    EXPECT_EQ(s.equaliserLine("EQL:Off"), "EQL:Off N4.0k");
    s.frequencyHz = 315;
    EXPECT_EQ(s.equaliserLine("EQL:A very long preset name here"), "EQL:A very long pres N315");
    EXPECT_EQ(s.equaliserLine("EQL:A very long preset name here").size(), 25u);
}

TEST(TinnitusSettings, TheAlarmFadeChoiceIsKept)
{
    TempFolder dir;
    const auto file = dir / TinnitusSettings::kFileName;
    TinnitusSettings s;
    s.alarmFadeMinutes = 15;
    ASSERT_TRUE(s.writeAlarmFade(file));
    EXPECT_EQ(TinnitusSettings::read(file).alarmFadeMinutes, 15);
    ASSERT_TRUE(writeFileAtomically(file.string(), "[Sleep]\r\nAlarmFade=7\r\n"));
    EXPECT_EQ(TinnitusSettings::read(file).alarmFadeMinutes, 0) << "only the offered choices";
}
