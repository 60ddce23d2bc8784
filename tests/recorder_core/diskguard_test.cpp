#include "recorder/core/diskguard.h"

#include "platform/diskspace.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace sonaveil::recorder;

TEST(DiskGuard, FreeMegabytesAreDecimalWithHalvesToEven)
{
    EXPECT_EQ(freeMegabytes(99999999), 100);
    EXPECT_EQ(freeMegabytes(2500000), 2);
    EXPECT_EQ(freeMegabytes(3500000), 4);
    EXPECT_EQ(freeMegabytes(52340000000), 52340);
    EXPECT_EQ(freeMegabytes(0), 0);
}

TEST(DiskGuard, TripsAtOrBelowTheThresholdUnlessSwitchedOff)
{
    EXPECT_TRUE(guardTripped("100", 100)); // equality trips
    EXPECT_TRUE(guardTripped("100", 99));
    EXPECT_FALSE(guardTripped("100", 101));
    EXPECT_FALSE(guardTripped("Don't warn", 0));
    EXPECT_TRUE(guardTripped("1000", 0));
    // A text edited by hand counts by its leading number; one without a number by 0.
    EXPECT_TRUE(guardTripped("250 MB please", 250));
    EXPECT_TRUE(guardTripped("never", 0));
    EXPECT_FALSE(guardTripped("never", 1));
}

TEST(DiskGuard, SpaceLineShowsTheMountPointsNameWithinTwentyOneColumns)
{
    EXPECT_EQ(spaceLine(52340, "C:"), " Space: 52340MBs (C:)");
    EXPECT_EQ(spaceLine(512, "/"), " Space: 512MBs (/)");
    EXPECT_EQ(spaceLine(80, "/home/me"), " Space: 80MBs (me)");
    EXPECT_EQ(spaceLine(80, "/home/me/"), " Space: 80MBs (me)");
    // Short of room the label gives way before the name.
    EXPECT_EQ(spaceLine(52340, "/mnt/install"), " 52340MBs (install)");
    // A name longer than the line keeps its start, and the line its 21 columns.
    const QString cut = spaceLine(52340, "/media/recordings");
    EXPECT_EQ(cut, " 52340MBs (recordi..)");
    EXPECT_EQ(cut.size(), 21);
    EXPECT_EQ(spaceLine(123456789, "/srv"), " 123456789MBs (srv)");
    // No room for a name at all: the figure still shows.
    EXPECT_EQ(spaceLine(123456789012, "/media/recordings"), " Space: 123456789012MBs");
}

TEST(DiskGuard, LowSpaceMessageHasItsLineBreaks)
{
    EXPECT_EQ(lowSpaceMessage("/home", 80, "100"),
              "Recording Stopped - The available space warning threshold has been exceeded. Please select another "
              "drive, or increase the low disk space warning threshold.\r\nYou selected drive /home \rAvailable space "
              "on the selected drive is: 80MBs\rDisk space threshold is set at: 100MBs");
}

TEST(DiskGuard, SizeRuleCutsDigitsAfterTheFirstGroup)
{
    EXPECT_EQ(sizeText(80023715840), "80 GB");
    EXPECT_EQ(sizeText(123456789), "123 MB");
    EXPECT_EQ(sizeText(999), "999");
    EXPECT_EQ(sizeText(0), "0");
    EXPECT_EQ(sizeText(1999999999), "1 GB"); // cut, not rounded
    EXPECT_EQ(sizeText(1000000), "1 MB");
    EXPECT_EQ(sizeText(999999999999), "999 GB");
    EXPECT_EQ(sizeText(1000000000000), "1,000,000,000,000");
    EXPECT_EQ(sizeText(123456), "123 KB");
    EXPECT_EQ(sizeText(1000), "1 KB");
    EXPECT_EQ(sizeText(2000398934016, "."), "2.000.398.934.016");
}

TEST(DiskSpace, RealFileSystemsAnswerForFilesNotYetMade)
{
    sonaveil::platform::StorageDiskSpace disk;
    const auto here = disk.volumeOf(QDir::tempPath() + "/no such folder/take.wav");
    ASSERT_TRUE(here);
    EXPECT_GT(here->total, 0);
    EXPECT_FALSE(here->mountPoint.isEmpty());
    EXPECT_FALSE(disk.volumes().empty());
    for (const auto& v : disk.volumes()) {
        if (v.mountPoint == "/proc" || v.mountPoint == "/sys") {
            EXPECT_FALSE(v.fixed);
        }
    }
    EXPECT_FALSE(disk.volumeOf(""));

    sonaveil::platform::FakeDiskSpace fake;
    fake.list = {{"/", 10, 5, 6, true}, {"/home", 20, 7, 8, true}};
    EXPECT_EQ(fake.volumeOf("/home/u/x.wav")->mountPoint, "/home");
    EXPECT_EQ(fake.volumeOf("/homer/x.wav")->mountPoint, "/");
}
