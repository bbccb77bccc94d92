#include "help/help_window.h"

#include <array>

namespace tamsel {

namespace {
#ifdef _WIN32
constexpr char kLineBreak[] = "\r\n";
#else
constexpr char kLineBreak[] = "\n";
#endif

constexpr std::array<const char*, 10> kLines = {
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
}  // namespace

Text help_text() {
  Text text;
  for (std::size_t i = 0; i < kLines.size(); ++i) {
    if (i > 0) text += kLineBreak;
    text += kLines[i];
  }
  return text;
}

}  // namespace tamsel
