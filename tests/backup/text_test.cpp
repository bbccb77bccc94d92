#include <gtest/gtest.h>

#include "backup/text.h"

namespace tamsel {
namespace {

TEST(LastPosition, FindsTheLastOneBytePattern) {
  struct Case {
    const char* text;
    const char* pattern;
    int expected;
  } cases[] = {
      {"D:\\docs\\report.txt", "\\", 8},
      {"D:\\docs\\report.txt", ".", 15},
      {"report", ".", -1},
      {"\\x", "\\", 1},
      {"", "\\", -1},
      {"abc", "", -1},
      {"aXbX", "X", 4},
      {"aXbX", "x", -1},  // letter case counts
  };
  for (const Case& c : cases) EXPECT_EQ(last_position(c.text, c.pattern), c.expected) << c.text << " / " << c.pattern;
}

TEST(TakeMiddleAndRight, CutAsTheTablesSay) {
  const Text t = "abcdef";
  EXPECT_EQ(take_middle(t, 1, 3), "abc");
  EXPECT_EQ(take_middle(t, 4, 99), "def");
  EXPECT_EQ(take_middle(t, 6, 1), "f");
  EXPECT_EQ(take_middle(t, 0, 3), "");
  EXPECT_EQ(take_middle(t, 7, 1), "");
  EXPECT_EQ(take_middle(t, 2, 0), "");
  EXPECT_EQ(take_middle(t, 2, -1), "");
  EXPECT_EQ(take_right(t, 2), "ef");
  EXPECT_EQ(take_right(t, 6), "abcdef");
  EXPECT_EQ(take_right(t, 60), "abcdef");
  EXPECT_EQ(take_right(t, 0), "");
  EXPECT_EQ(take_right(t, -3), "");
}

TEST(TrimSpaces, CutsRunsOfSpacesAtBothEndsOnly) {
  struct Case {
    Text in, out;
  } cases[] = {
      {"  a b  ", "a b"},
      {"a", "a"},
      {"   ", ""},
      {"", ""},
      {"a\t", "a\t"},
      {"\ta ", "\ta"},
      {"a\r\n", "a\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(trim_spaces(c.in), c.out) << c.in;
}

#ifdef _WIN32
// Code page 936: 淺 is 0x9C 0x5C, its second byte the value of a backslash.
TEST(CodePage936, SecondBytesAreNeverSeparators) {
  const Text name = "D:\\a\x9C\x5C" "b";
  EXPECT_EQ(last_position(name, "\\"), 3);
  EXPECT_EQ(last_position("\x9C\x5C", "\\"), -1);
  EXPECT_EQ(char_length("\x9C\x5C", 0), 2u);
  EXPECT_EQ(char_length("\x9C", 0), 1u);  // a lead byte at the very end
}

TEST(CodePage936, FullWidthSpacesAreTrimmedWholeCharactersOnly) {
  EXPECT_EQ(trim_spaces("\xA1\xA1" "a\xA1\xA1 "), "a");
  // 啊 (0xB0 0xA1) followed by a stray 0xA1: no full-width space at its end.
  EXPECT_EQ(trim_spaces("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
}
#else
TEST(Utf8, CharactersAreWholeSequences) {
  struct Case {
    Text text;
    std::size_t length;
  } cases[] = {
      {"a", 1},
      {"\xC3\xA9", 2},          // é
      {"\xE6\x96\x87", 3},      // 文
      {"\xF0\x9F\x98\x80", 4},  // an emoji
      {"\xE6\x96", 1},          // cut short
      {"\xE6/x", 1},            // no continuation byte
      {"\x80", 1},              // a stray continuation byte
      {"\xC0\xAF", 1},          // an overlong slash
      {"\xED\xA0\x80", 1},      // a surrogate
  };
  for (const Case& c : cases) EXPECT_EQ(char_length(c.text, 0), c.length);
  EXPECT_EQ(last_position("\xE6/x", "/"), 2);
  EXPECT_EQ(last_position("/\xE6\x96\x87.md", "."), 5);
}

TEST(Utf8, IdeographicSpacesAreTrimmed) {
  EXPECT_EQ(trim_spaces("\xE3\x80\x80" "文 \xE3\x80\x80"), "文");
  EXPECT_EQ(trim_spaces("文\xE3\x80\x80x"), "文\xE3\x80\x80x");
}
#endif

}  // namespace
}  // namespace tamsel
