// The help text and the two actions' choices, the same on both front ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/events.h"
#include "backup/clock.h"
#include "help/help_actions.h"
#include "help/help_window.h"
#include "shell/shell.h"

namespace tamsel {
namespace {

#ifdef _WIN32
constexpr char kBreak[] = "\r\n";
#else
constexpr char kBreak[] = "\n";
#endif

std::vector<std::string> split_lines(const Text& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(kBreak, start);
    lines.push_back(text.substr(start, at == Text::npos ? Text::npos : at - start));
    if (at == Text::npos) return lines;
    start = at + std::char_traits<char>::length(kBreak);
  }
}

TEST(HelpText, TenLinesWithBlankLinesBetweenTheParagraphs) {
  const std::vector<std::string> expected = {
      "",
      "1.功能：“文件”，或“文件夹”备份。",
      "",
      "2.使用：拖放“文件”，或“文件夹”到“窗体”，即可完成备份。",
      "",
      "3.说明：",
      "",
      "   文件，默认备份目录：“文件名+bak”，备份格式：“文件名+时间” 。",
      "",
      "   文件夹，默认备份目录：“文件夹+bak”，备份格式：“文件夹+时间” 。",
  };
  const Text text = help_text();
  EXPECT_EQ(split_lines(text), expected);
  EXPECT_EQ(text.substr(0, std::char_traits<char>::length(kBreak)), kBreak);
  EXPECT_NE(text.back(), '\n');
#ifdef _WIN32
  // Code page 936: the curly quotes are A1 B0 / A1 B1, the full stop A1 A3.
  EXPECT_EQ(text.size(), 258u);
  EXPECT_NE(text.find("\xA1\xB0\xCE\xC4\xBC\xFE\xA1\xB1"), Text::npos);  // “文件”
  EXPECT_EQ(text.substr(text.size() - 3), " \xA1\xA3");
#else
  EXPECT_EQ(text.size(), 357u);
  EXPECT_EQ(text.substr(text.size() - 4), " \xE3\x80\x82");
#endif
}

// Pins the clock's second and records what the shell is asked to open.
class HomepageTest : public ::testing::Test {
 protected:
  static int pinned_second;
  static LocalTime pinned_clock() {
    LocalTime t;
    t.year = 2024;
    t.month = 1;
    t.day = 5;
    t.hour = 9;
    t.minute = 3;
    t.second = pinned_second;
    return t;
  }
  void SetUp() override {
    previous_ = set_clock_source(pinned_clock);
    set_open_hook([this](const Text& target) { opened_.push_back(target); });
  }
  void TearDown() override {
    set_open_hook(nullptr);
    set_clock_source(previous_);
    main_window_events() = MainWindowEvents{};
  }
  std::vector<Text> opened_;
  ClockSource previous_ = nullptr;
};
int HomepageTest::pinned_second = 0;

TEST_F(HomepageTest, OddSecondsOpenTheFirstAddressEvenSecondsTheSecond) {
  const struct {
    int second;
    const char* address;
  } cases[] = {{7, kFirstHomepage},  {8, kSecondHomepage},  {0, kSecondHomepage},
               {1, kFirstHomepage},  {59, kFirstHomepage},  {58, kSecondHomepage}};
  for (const auto& c : cases) {
    pinned_second = c.second;
    opened_.clear();
    open_homepage();
    EXPECT_EQ(opened_, std::vector<Text>{c.address}) << "second " << c.second;
  }
}

TEST_F(HomepageTest, TheTwoAddressesAreDistinctWebAddresses) {
  EXPECT_NE(Text(kFirstHomepage), Text(kSecondHomepage));
  for (const Text& address : {Text(kFirstHomepage), Text(kSecondHomepage)}) {
    EXPECT_EQ(address.rfind("https://", 0), 0u) << address;
  }
}

TEST_F(HomepageTest, PressingTheStatusLineOpensTheHomepageByTheSameRule) {
  attach_help_handlers();
  ASSERT_TRUE(main_window_events().label4_pressed);
  ASSERT_TRUE(main_window_events().button2_clicked);
  pinned_second = 7;
  main_window_events().label4_pressed();
  pinned_second = 8;
  main_window_events().label4_pressed();
  EXPECT_EQ(opened_, (std::vector<Text>{kFirstHomepage, kSecondHomepage}));
}

}  // namespace
}  // namespace tamsel
