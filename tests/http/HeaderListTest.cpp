#include <gtest/gtest.h>

#include "http/IdHeaderList.h"

namespace {

TIdHeaderList ListOf(const std::string& text) {
  TIdHeaderList l;
  l.SetText(text);
  return l;
}

TEST(IdHeaderList, DefaultsAndText) {
  TIdHeaderList l;
  EXPECT_EQ(l.Separator(), ": ");
  EXPECT_FALSE(l.MatchCase());
  EXPECT_TRUE(l.JoinFolded());
  EXPECT_TRUE(l.FoldOnWrite());
  EXPECT_EQ(l.FoldWidth(), 78);
  l.SetText("a\r\nb\rc\nd");
  ASSERT_EQ(l.Count(), 4);
  EXPECT_EQ(l.Strings(2), "c");
  EXPECT_EQ(l.Text(), "a\r\nb\r\nc\r\nd\r\n");
  l.SetText("a\r\n\r\nb\n\n");
  EXPECT_EQ(l.Count(), 4);  // empty lines stay
}

TEST(IdHeaderList, NamesValuesAndLookup) {
  TIdHeaderList l = ListOf(
      "Content-Length: 1234\r\nX-Blank:   1234   \r\nSet-cookie: a=1\r\nno colon\r\n"
      "Set-cookie: b=2\r\nX-Folded: one\r\n\ttwo\r\n   three\r\nEmpty:\r\n");
  EXPECT_EQ(l.NameAt(0), "CONTENT-LENGTH");
  EXPECT_EQ(l.NameAt(3), "");
  EXPECT_EQ(l.ValueAt(99), "");
  EXPECT_EQ(l.ValueAt(-1), "");
  EXPECT_EQ(l.Lookup("content-length"), "1234");
  EXPECT_EQ(l.Lookup("X-BLANK"), "1234");
  EXPECT_EQ(l.Lookup("Set-Cookie"), "a=1");
  EXPECT_EQ(l.Lookup("X-Folded"), "one two three");
  EXPECT_EQ(l.Lookup("Empty"), "");
  EXPECT_EQ(l.Lookup("Missing"), "");
  EXPECT_EQ(l.IndexOfHeader("set-COOKIE"), 2);
  EXPECT_EQ(l.IndexOfHeader("Missing"), -1);
  std::vector<std::string> cookies;
  l.CollectValues("set-cookie", &cookies);
  EXPECT_EQ(cookies, (std::vector<std::string>{"a=1", "b=2"}));
  l.CollectValues("x", static_cast<std::vector<std::string>*>(nullptr));  // no destination

  l.SetMatchCase(true);
  EXPECT_EQ(l.NameAt(0), "Content-Length");
  EXPECT_EQ(l.IndexOfHeader("content-length"), 0);  // lookup ignores case anyway
  l.SetJoinFolded(false);
  EXPECT_EQ(l.Lookup("X-Folded"), "one");
}

TEST(IdHeaderList, StoreReplacesInPlaceAppendsAndRemoves) {
  TIdHeaderList l = ListOf("A: 1\r\nHost: old\r\n continued\r\nA: 2\r\nB: 3\r\n");
  l.Store("a", "x");
  l.Store("C", "4");
  EXPECT_EQ(l.Text(), "a: x\r\nHost: old\r\n continued\r\nA: 2\r\nB: 3\r\nC: 4\r\n");
  l.Store("HOST", "");
  EXPECT_EQ(l.Text(), "a: x\r\nA: 2\r\nB: 3\r\nC: 4\r\n");
  l.Store("Missing", "");
  EXPECT_EQ(l.Count(), 4);
  l.SetFoldOnWrite(false);
  l.Store("B", std::string(100, 'b'));
  EXPECT_EQ(l.Strings(2), "B: " + std::string(100, 'b'));
}

TEST(IdHeaderList, StoreFoldsLongValuesAndLookupJoinsThem) {
  std::string value;
  for (int i = 0; i < 20; ++i) value += (i ? ", " : "") + std::string("token") + std::to_string(i);
  TIdHeaderList l;
  l.Store("X-List", value);
  ASSERT_GT(l.Count(), 1);
  for (int i = 0; i < l.Count(); ++i) {
    // The width counts from the break, so a continuation line may add its space.
    EXPECT_LE(l.Strings(i).size(), i == 0 ? 78u : 79u) << l.Strings(i);
    if (i > 0) {
      EXPECT_EQ(l.Strings(i)[0], ' ');
    }
    EXPECT_NE(l.Strings(i).back(), ' ');
  }
  EXPECT_EQ(l.Lookup("X-List"), value);
  // Storing again replaces all the old continuation lines.
  l.Store("X-List", "short");
  l.Store("Next", "1");
  EXPECT_EQ(l.Text(), "X-List: short\r\nNext: 1\r\n");
}

TEST(IdHeaderList, WrapKeepsQuotedTextAndExistingBreaks) {
  EXPECT_EQ(TIdHeaderList::WrapHeaderText("short, line", 78), "short, line");
  EXPECT_EQ(TIdHeaderList::WrapHeaderText("aaaa bbbb cccc", 10), "aaaa bbbb \r\n cccc");
  // No break inside double quotes.
  EXPECT_EQ(TIdHeaderList::WrapHeaderText("x \"a b c d e f\" y", 6),
            "x \r\n \"a b c d e f\" \r\n y");
  // An existing break stays a single break.
  EXPECT_EQ(TIdHeaderList::WrapHeaderText("ab\r\n cd", 78), "ab\r\n cd");
  // A word longer than the width is not cut.
  EXPECT_EQ(TIdHeaderList::WrapHeaderText(std::string(30, 'z'), 10), std::string(30, 'z'));
}

}  // namespace
