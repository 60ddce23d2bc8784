#include "common/inifile.h"

#include "common/atomicfile.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

using sonaveil::IniFile;

TEST(IniFile, CreatesFileSectionAndKey)
{
    EXPECT_EQ(IniFile::withValue("", "Startup", "ResumeLastMix", "1"),
              "[Startup]\r\nResumeLastMix=1\r\n");
}

TEST(IniFile, ReplacesAKeyInPlaceAndKeepsEverythingElse)
{
    const std::string before = "; comment\r\n[A]\r\nx=1\r\nMode=old\r\ny=2\r\n\r\n[B]\r\nMode=b\r\n";
    EXPECT_EQ(IniFile::withValue(before, "a", "mode", "new"),
              "; comment\r\n[A]\r\nx=1\r\nmode=new\r\ny=2\r\n\r\n[B]\r\nMode=b\r\n");
}

TEST(IniFile, AddsAMissingKeyAtTheEndOfItsSection)
{
    const std::string before = "[A]\nx=1\n\n[B]\ny=2";
    EXPECT_EQ(IniFile::withValue(before, "A", "z", "3"), "[A]\nx=1\nz=3\r\n\n[B]\ny=2");
    EXPECT_EQ(IniFile::withValue(before, "B", "z", "3"), "[A]\nx=1\n\n[B]\ny=2\r\nz=3\r\n");
    EXPECT_EQ(IniFile::withValue(before, "C", "z", "3"), "[A]\nx=1\n\n[B]\ny=2\r\n[C]\r\nz=3\r\n");
}

TEST(IniFile, ReadsValuesWithoutRegardToCase)
{
    const std::string content = "[Startup]\r\n ResumeLastMix = 1 \r\n[Other]\r\nResumeLastMix=0\r\n";
    EXPECT_EQ(IniFile::valueIn(content, "startup", "resumelastmix"), "1");
    EXPECT_EQ(IniFile::valueIn(content, "Other", "ResumeLastMix"), "0");
    EXPECT_FALSE(IniFile::valueIn(content, "Missing", "ResumeLastMix"));
    EXPECT_FALSE(IniFile::valueIn(content, "Startup", "Missing"));
}

TEST(IniFile, WritesThroughTheFileSystem)
{
    TempFolder dir;
    const auto path = dir / "settings.ini";
    EXPECT_FALSE(IniFile::readString(path, "S", "k"));
    ASSERT_TRUE(IniFile::writeString(path, "S", "k", "v1"));
    ASSERT_TRUE(IniFile::writeString(path, "S", "k", "v2"));
    EXPECT_EQ(IniFile::readString(path, "S", "k"), "v2");
    EXPECT_EQ(sonaveil::readWholeFile(path), "[S]\r\nk=v2\r\n");
}
