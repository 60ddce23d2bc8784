#include "common/textrecord.h"

#include <gtest/gtest.h>

using namespace sonaveil;

TEST(TextRecordWriter, WritesEachKindOfFieldAndEndsLinesWithCrLf)
{
    TextRecordWriter w;
    w.integer(12).integer(-7).integer(0).text("Rain, heavy").boolean(true).boolean(false).endLine();
    w.text("").endLine();
    w.integer(5);
    EXPECT_EQ(w.bytes(), "12,-7,0,\"Rain, heavy\",#TRUE#,#FALSE#\r\n\"\"\r\n5\r\n");
}

TEST(TextRecordWriter, EmptyWriterWritesNothing)
{
    EXPECT_EQ(TextRecordWriter().bytes(), "");
}

static std::vector<std::string> allFields(std::string_view content)
{
    TextRecordReader r(content);
    std::vector<std::string> out;
    while (auto f = r.next())
        out.push_back(*f);
    return out;
}

using Fields = std::vector<std::string>;

TEST(TextRecordReader, ReadsBackWhatTheWriterWrote)
{
    TextRecordWriter w;
    w.integer(1).text("a, \"b\"").boolean(true).endLine().integer(-3);
    // A quote inside text cannot round-trip: the text ends at the next quote.
    EXPECT_EQ(allFields(w.bytes()), (Fields{"1", "a, ", "#TRUE#", "-3"}));
}

TEST(TextRecordReader, AwkwardInputs)
{
    // Any line end separates fields, as a comma does.
    EXPECT_EQ(allFields("1,2\r\n3\n4\r5"), (Fields{"1", "2", "3", "4", "5"}));
    // Blanks around fields are skipped, also around quoted fields.
    EXPECT_EQ(allFields("  1 ,\t2\t, \"x y\" , 4 "), (Fields{"1", "2", "x y", "4"}));
    // Empty fields are kept (and read as 0 by the number conversions).
    EXPECT_EQ(allFields("1,,3,"), (Fields{"1", "", "3"}));
    EXPECT_EQ(allFields(",1"), (Fields{"", "1"}));
    // A comma at the end of a line and the line end are one separator; blank lines carry nothing.
    EXPECT_EQ(allFields("1,2,\r\n3,\n\n\r\n4\r\n"), (Fields{"1", "2", "3", "4"}));
    // A quoted field keeps commas and line ends; text after the closing quote is dropped.
    EXPECT_EQ(allFields("\"a,b\r\nc\"junk,2"), (Fields{"a,b\r\nc", "2"}));
    // An unterminated quote runs to the end.
    EXPECT_EQ(allFields("\"abc"), (Fields{"abc"}));
    EXPECT_EQ(allFields(""), Fields{});
    EXPECT_EQ(allFields("\r\n\r\n"), Fields{});
}

TEST(TextRecordReader, StopsAtTheEndMarkWhereAFieldWouldStart)
{
    // ^Z (0x1A) ends the content when it stands where the next field would begin.
    EXPECT_EQ(allFields("1,2\r\n\x1a" "3,4\r\n"), (Fields{"1", "2"}));
    EXPECT_EQ(allFields("1,\x1a" "2"), (Fields{"1"}));
    EXPECT_EQ(allFields("1, \x1a,2"), (Fields{"1"}));
    EXPECT_EQ(allFields("\x1a" "1"), Fields{});
    TextRecordReader r("5,6\r\n\x1a" "7\r\n");
    EXPECT_FALSE(r.take(3).has_value());
}

TEST(TextRecordReader, TakeNeedsEveryField)
{
    TextRecordReader r("1,2,3\r\n");
    EXPECT_FALSE(r.take(4).has_value());
    TextRecordReader s("1,2,3,4,5\r\n");
    auto f = s.take(4);
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(*f, (Fields{"1", "2", "3", "4"}));
    EXPECT_FALSE(s.atEnd());
}

TEST(TextRecordFieldConversion, Integers)
{
    EXPECT_EQ(fieldToInteger(""), 0);
    EXPECT_EQ(fieldToInteger("  "), 0);
    EXPECT_EQ(fieldToInteger("42"), 42);
    EXPECT_EQ(fieldToInteger("+42"), 42);
    EXPECT_EQ(fieldToInteger("-42"), -42);
    EXPECT_EQ(fieldToInteger(" 7 "), 7);
    EXPECT_FALSE(fieldToInteger("4x"));
    EXPECT_FALSE(fieldToInteger("x"));
    EXPECT_FALSE(fieldToInteger("-"));
    EXPECT_FALSE(fieldToInteger("1.5"));
    EXPECT_EQ(fieldToInt16("32767"), 32767);
    EXPECT_EQ(fieldToInt16("-32768"), -32768);
    EXPECT_FALSE(fieldToInt16("32768"));
    EXPECT_FALSE(fieldToInt16("-32769"));
    EXPECT_EQ(fieldToInt32("2147483647"), 2147483647);
    EXPECT_FALSE(fieldToInt32("2147483648"));
    EXPECT_FALSE(fieldToInt32("99999999999999999999999"));
}

TEST(TextRecordFieldConversion, Booleans)
{
    EXPECT_EQ(fieldToBoolean("#TRUE#"), true);
    EXPECT_EQ(fieldToBoolean("#FALSE#"), false);
    EXPECT_EQ(fieldToBoolean("-1"), true);
    EXPECT_EQ(fieldToBoolean("0"), false);
    EXPECT_FALSE(fieldToBoolean("True"));
}
