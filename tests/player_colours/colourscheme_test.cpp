#include "player/colours/colourscheme.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {

ColourScheme night()
{
    ColourScheme s;
    s.buttonText = 5793988;
    s.buttonBack = "1841708";
    s.rollover = "3355443";
    s.gradient1 = "1053254";
    s.gradient2 = "2239638";
    s.text = "4740264";
    s.background = "1446424";
    s.form = "788490";
    s.palette = 9;
    s.imageFlag = 0;
    return s;
}

} // namespace

TEST(ColourText, DigitsFromZeroToTheLargestColour)
{
    EXPECT_EQ(colourText(rgb(255, 0, 0)), "255");
    EXPECT_EQ(colourText(0xFFFFFF), "16777215");
    EXPECT_EQ(colourOf("255"), ColorValue(255));
    EXPECT_EQ(colourOf("0"), ColorValue(0));
    EXPECT_EQ(colourOf("16777215"), ColorValue(0xFFFFFF));
    for (const char* bad : {"", "16777216", "-1", "abc", "12x", "2147483648"})
        EXPECT_FALSE(colourOf(bad)) << bad;
}

TEST(ColourScheme, ColoursByNameAndTheirAbsence)
{
    ColourScheme s = night();
    EXPECT_EQ(s.colour(SchemeColour::ButtonText), ColorValue(5793988));
    EXPECT_EQ(s.colour(SchemeColour::Form), ColorValue(788490));
    s.rollover.clear();
    EXPECT_FALSE(s.colour(SchemeColour::Rollover));
    s.buttonText = -1;
    EXPECT_FALSE(s.colour(SchemeColour::ButtonText));
    s.setColour(SchemeColour::Rollover, rgb(1, 2, 3));
    EXPECT_EQ(s.rollover, "197121");
    s.setColour(SchemeColour::ButtonText, rgb(4, 5, 6));
    EXPECT_EQ(s.buttonText, std::int32_t(rgb(4, 5, 6)));
}

TEST(SchemeSnapshot, TenFieldsByteForByte)
{
    EXPECT_EQ(SchemeSnapshot::bytes(night()),
              "5793988,\"1841708\",\"3355443\",\"1446424\",\"4740264\",\"1053254\",\"2239638\",9,\"788490\",0\r\n");
    ColourScheme empty;
    empty.buttonText = 0;
    EXPECT_EQ(SchemeSnapshot::bytes(empty), "0,\"\",\"\",\"\",\"\",\"\",\"\",7,\"\",1\r\n");
}

TEST(SchemeSnapshot, ReadsBackWhatItWrote)
{
    const auto back = SchemeSnapshot::parse(SchemeSnapshot::bytes(night()));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, night());
    // The lenient reading rule: fields spread over lines, blanks, unquoted text.
    const auto spread = SchemeSnapshot::parse(
        " 5793988 ,1841708\n\"3355443\"\r\n1446424,4740264,1053254,2239638,\n 9,788490, 0\r\nextra");
    ASSERT_TRUE(spread);
    EXPECT_EQ(*spread, night());
}

TEST(SchemeSnapshot, ABadFileGivesNothing)
{
    const std::string good = SchemeSnapshot::bytes(night());
    EXPECT_TRUE(SchemeSnapshot::parse(good));
    for (const char* bad : {
             "",
             // nine fields
             "5793988,\"1841708\",\"3355443\",\"1446424\",\"4740264\",\"1053254\",\"2239638\",9,\"788490\"\r\n",
             // the button text colour no integer
             "\"red\",\"1841708\",\"3355443\",\"1446424\",\"4740264\",\"1053254\",\"2239638\",9,\"788490\",0\r\n",
             // a palette the display does not have
             "5793988,\"1841708\",\"3355443\",\"1446424\",\"4740264\",\"1053254\",\"2239638\",13,\"788490\",0\r\n",
             "5793988,\"1841708\",\"3355443\",\"1446424\",\"4740264\",\"1053254\",\"2239638\",-1,\"788490\",0\r\n",
             // the flag neither 0 nor 1
             "5793988,\"1841708\",\"3355443\",\"1446424\",\"4740264\",\"1053254\",\"2239638\",9,\"788490\",2\r\n",
             "5793988,\"1841708\",\"3355443\",\"1446424\",\"4740264\",\"1053254\",\"2239638\",9,\"788490\",70000\r\n"})
        EXPECT_FALSE(SchemeSnapshot::parse(bad)) << bad;
}

TEST(SchemeFile, NineFieldsWithoutTheRollover)
{
    // Fields 1, 2, 3, 5, 7 and 8 are quoted digit strings; 4, 6 and 9 bare integers.
    EXPECT_EQ(SchemeFile::bytes(night()),
              "\"1053254\",\"2239638\",\"1841708\",5793988,\"788490\",9,\"1446424\",\"4740264\",0\r\n");
    const SchemeFile::Fields f = SchemeFile::parse(SchemeFile::bytes(night()));
    EXPECT_TRUE(f.complete);
    EXPECT_EQ(f.gradient1, "1053254");
    EXPECT_EQ(f.gradient2, "2239638");
    EXPECT_EQ(f.buttonBack, "1841708");
    EXPECT_EQ(f.buttonText, 5793988);
    EXPECT_EQ(f.form, "788490");
    EXPECT_EQ(f.palette, 9);
    EXPECT_EQ(f.background, "1446424");
    EXPECT_EQ(f.text, "4740264");
    EXPECT_EQ(f.imageBox, 0);
}

TEST(SchemeFile, ReadingStopsAtTheFirstBadField)
{
    // How many fields were read, from the first: every one before the first missing one is there,
    // and none after it.
    const auto fieldsRead = [](const SchemeFile::Fields& f) {
        const bool present[] = {bool(f.gradient1), bool(f.gradient2), bool(f.buttonBack), bool(f.buttonText),
                                bool(f.form),      bool(f.palette),   bool(f.background), bool(f.text),
                                bool(f.imageBox)};
        const auto firstMissing = std::find(std::begin(present), std::end(present), false);
        const bool noneAfter = std::find(firstMissing, std::end(present), true) == std::end(present);
        return noneAfter ? int(firstMissing - std::begin(present)) : -1;
    };
    const struct {
        const char* why;
        const char* content;
        int kept;
    } cases[] = {
        {"a bad palette", "\"1\",\"2\",\"3\",4,\"5\",99,\"7\",\"8\",1\r\n", 5},
        {"a button text colour that is no 32-bit integer", "\"1\",\"2\",\"3\",\"blue\",\"5\",6,\"7\",\"8\",1\r\n", 3},
        {"too few fields", "\"1\",\"2\",\"3\",4,\"5\",6,\"7\"\r\n", 7},
        {"an image box other than 0 or 1", "\"1\",\"2\",\"3\",4,\"5\",6,\"7\",\"8\",5\r\n", 8},
        {"an empty file", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const SchemeFile::Fields f = SchemeFile::parse(c.content);
        EXPECT_FALSE(f.complete);
        EXPECT_EQ(fieldsRead(f), c.kept);
    }
    // What is kept is what was read.
    const SchemeFile::Fields f = SchemeFile::parse("\"1\",\"2\",\"3\",4,\"5\",99,\"7\",\"8\",1\r\n");
    EXPECT_EQ(f.form, "5");
    EXPECT_EQ(f.buttonText, 4);
}
