#include "recorder/core/rules.h"

#include <gtest/gtest.h>

using namespace sonaveil::recorder;

TEST(Rules, NumericValueTakesTheLeadingNumber)
{
    EXPECT_EQ(numericValue("5"), 5.0);
    EXPECT_EQ(numericValue("1000"), 1000.0);
    EXPECT_EQ(numericValue("Unlimited"), 0.0);
    EXPECT_EQ(numericValue("Don't warn"), 0.0);
    EXPECT_EQ(numericValue("  250MB"), 250.0); // hand-edited text: the leading number counts
    EXPECT_EQ(numericValue("2.5 minutes"), 2.5);
    EXPECT_EQ(numericValue(""), 0.0);
    // The time limit in seconds the record action passes on.
    EXPECT_EQ(numericValue("5") * 60, 300.0);
    EXPECT_EQ(numericValue("Unlimited") * 60, 0.0);
}

TEST(Rules, ProgressTextSwitchesFromKilobytesToMegabytesAtOneMebibyte)
{
    EXPECT_EQ(progressText(524288, {5, 0, 0}), " 512.00KB / 00:00:05");
    EXPECT_EQ(progressText(1048575, {0, 0, 0}), " 1024.00KB / 00:00:00");
    EXPECT_EQ(progressText(1048576, {0, 0, 0}), " 1.00MB / 00:00:00");
    EXPECT_EQ(progressText(0, {0, 0, 0}), " 0.00KB / 00:00:00");
    EXPECT_EQ(progressText(635040000, {0, 0, 1}), " 605.62MB / 01:00:00");
    EXPECT_EQ(progressText(1536000, {7, 23, 2}), " 1.46MB / 02:23:07");
}

TEST(Rules, PathsOfTheConversionAndTheDirButton)
{
    EXPECT_EQ(folderOf("/home/u/My Recordings/take 1.wav"), "/home/u/My Recordings/");
    EXPECT_EQ(folderOf("take.wav"), "");
    EXPECT_EQ(folderOf(""), "");
    EXPECT_EQ(mp3TargetOf("/home/u/My Recordings/take 1.wav"), "/home/u/My Recordings/take 1.mp3");
    EXPECT_EQ(mp3TargetOf("/r/take.one.wav"), "/r/take.one.mp3");
    // A dot in a folder name is no extension, and a name without one gets ".mp3" added.
    EXPECT_EQ(mp3TargetOf("/home/u/my.recordings/take"), "/home/u/my.recordings/take.mp3");
    EXPECT_EQ(mp3TargetOf("/r/take"), "/r/take.mp3");
}
