#include "common/propertybag.h"

#include <gtest/gtest.h>

using sonaveil::PropertyBag;

TEST(PropertyBag, NamesAreLookedUpWithoutRegardToCase)
{
    PropertyBag bag;
    bag.write("LCDRow", std::int64_t(4));
    EXPECT_TRUE(bag.contains("lcdrow"));
    EXPECT_EQ(bag.readInteger("LcDrOw", 0), 4);
    bag.write("lcdrow", std::int64_t(2));
    EXPECT_EQ(bag.readInteger("LCDRow", 0), 2);
    EXPECT_EQ(bag.names(), std::vector<std::string>{"lcdrow"});
}

TEST(PropertyBag, ReadersFallBackOnMissingKeysAndOtherKinds)
{
    PropertyBag bag;
    bag.write("Caption", std::string("Play"));
    bag.write("Enabled", true);
    bag.write("Width", 12.0);
    bag.write("Digits", std::string("17"));
    EXPECT_EQ(bag.readInteger("Missing", 7), 7);
    EXPECT_EQ(bag.readInteger("Caption", 7), 7);
    EXPECT_EQ(bag.readInteger("Enabled", 0), -1);
    EXPECT_EQ(bag.readInteger("Width", 0), 12);
    EXPECT_EQ(bag.readInteger("Digits", 0), 17);
    EXPECT_EQ(bag.readText("Enabled", "x"), "x");
    EXPECT_EQ(bag.readText("caption", "x"), "Play");
    EXPECT_TRUE(bag.readBoolean("enabled", false));
    EXPECT_DOUBLE_EQ(bag.readDouble("width", 0), 12.0);
}
