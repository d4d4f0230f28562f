#include <gtest/gtest.h>

#include "http/IdGlobal.h"

namespace {

struct IntCase {
  const char* Text;
  bool Valid;
  int32_t Value;
};

TEST(IdGlobal, IntegerConversionFollowsTheSharedRules) {
  const IntCase cases[] = {
      {"0", true, 0},
      {"1234", true, 1234},
      {"   42", true, 42},
      {"+7", true, 7},
      {"-5", true, -5},
      {"$10", true, 16},
      {"x1F", true, 31},
      {"X1f", true, 31},
      {"0x10", true, 16},
      {"0XfF", true, 255},
      {"-$10", true, -16},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"0x80000000", false, 0},
      {"", false, 0},
      {"   ", false, 0},
      {"12a", false, 0},
      {"42 ", false, 0},
      {"\t42", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"+", false, 0},
      {"99999999999999999999", false, 0},
  };
  for (const IntCase& c : cases) {
    SCOPED_TRACE(c.Text);
    int32_t v = -99;
    EXPECT_EQ(TryStrToInt(c.Text, v), c.Valid);
    EXPECT_EQ(StrToIntDef(c.Text, -99), c.Valid ? c.Value : -99);
    if (c.Valid) {
      EXPECT_EQ(StrToInt(c.Text), c.Value);
    } else {
      try {
        StrToInt(c.Text);
        ADD_FAILURE() << "no error";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), std::string("'") + c.Text + "' is not a valid integer value");
      }
    }
  }
}

TEST(IdGlobal, TrimmingRemovesControlCharactersAndSpaces) {
  EXPECT_EQ(Trim(" \t\r\n a b \x01\x1f"), "a b");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(Trim("   "), "");
}

TEST(IdGlobal, CaseRulesCoverTheCyrillicCodePage) {
  EXPECT_EQ(UpperCase("content-Length"), "CONTENT-LENGTH");
  // "привет" / "ПРИВЕТ" and yo in code page 1251.
  EXPECT_EQ(UpperCase("\xEF\xF0\xE8\xE2\xE5\xF2\xB8"), "\xCF\xD0\xC8\xC2\xC5\xD2\xA8");
  EXPECT_EQ(LowerCase("\xCF\xD0\xC8\xA8Z"), "\xEF\xF0\xE8\xB8z");
  EXPECT_TRUE(TextIsSame("Keep-Alive", "KEEP-ALIVE"));
  EXPECT_FALSE(TextIsSame("close", "closed"));
}

TEST(IdGlobal, SearchHelpers) {
  EXPECT_EQ(TextPos("b", "abcb"), 2u);
  EXPECT_EQ(TextPos("x", "abc"), 0u);
  EXPECT_EQ(LastPos("/", "a/b/c", -1), 4u);
  EXPECT_EQ(LastPos("/", "a/b/c", 3), 2u);
  EXPECT_EQ(LastPos("B", "abcb", -1), 4u);  // without regard to case
  EXPECT_EQ(LastPos("/", "abc", -1), 0u);

  std::string s = "Host: x:80";
  EXPECT_EQ(CutToken(s, ":"), "Host");
  EXPECT_EQ(s, " x:80");
  std::string none = "abc";
  EXPECT_EQ(CutToken(none, "/"), "abc");
  EXPECT_EQ(none, "");
  std::string keep = "a-b";
  EXPECT_EQ(CutToken(keep, "-", false), "a");
  EXPECT_EQ(keep, "a-b");
  std::string ci = "abcXdef";
  EXPECT_EQ(CutToken(ci, "x", true, false), "abc");
  EXPECT_EQ(ci, "def");
  EXPECT_EQ(NormalizeSlashes("a\\b\\c/d"), "a/b/c/d");
}

TEST(IdGlobal, DatesEncodeAndDecode) {
  TDateTime d;
  ASSERT_TRUE(TryEncodeDate(1994, 11, 6, d));
  EXPECT_EQ(d, 34644.0);
  EXPECT_FALSE(TryEncodeDate(1994, 2, 29, d));
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, d));
  EXPECT_FALSE(TryEncodeDate(1994, 13, 1, d));
  TDateTime t;
  ASSERT_TRUE(TryEncodeTime(8, 49, 37, 0, t));
  int y, mo, day, h, mi, s, dow;
  DecodeDateTime(34644.0 + t, y, mo, day, h, mi, s, dow);
  EXPECT_EQ(y, 1994);
  EXPECT_EQ(mo, 11);
  EXPECT_EQ(day, 6);
  EXPECT_EQ(h, 8);
  EXPECT_EQ(mi, 49);
  EXPECT_EQ(s, 37);
  EXPECT_EQ(dow, 1);  // Sunday
}

}  // namespace
