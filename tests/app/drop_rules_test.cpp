// The effect a drag gets and the DropList a drop delivers.
#include <gtest/gtest.h>

#include <vector>

#include "app/drop.h"

namespace tamsel {
namespace {

struct EffectCase {
  const char* name;
  bool acceptable;
  DragKeys keys;
  AllowedEffects allowed;
  DropEffect expected;
};

constexpr DragKeys kNoKeys{false, false};
constexpr DragKeys kCtrl{true, false};
constexpr DragKeys kShift{false, true};
constexpr DragKeys kBoth{true, true};
constexpr AllowedEffects kAll{true, true, true};
constexpr AllowedEffects kCopyOnly{true, false, false};
constexpr AllowedEffects kMoveOnly{false, true, false};
constexpr AllowedEffects kLinkOnly{false, false, true};
constexpr AllowedEffects kMoveLink{false, true, true};
constexpr AllowedEffects kNothing{false, false, false};

TEST(ChooseDropEffect, FollowsKeysAndAllowedEffects) {
  const EffectCase cases[] = {
      {"unacceptable drag", false, kNoKeys, kAll, DropEffect::None},
      {"unacceptable with ctrl", false, kCtrl, kAll, DropEffect::None},
      {"ctrl and shift", true, kBoth, kAll, DropEffect::None},
      {"ctrl, copy allowed", true, kCtrl, kAll, DropEffect::Copy},
      {"ctrl, only move", true, kCtrl, kMoveOnly, DropEffect::None},
      {"ctrl, only link", true, kCtrl, kLinkOnly, DropEffect::None},
      {"shift, move allowed", true, kShift, kAll, DropEffect::Move},
      {"shift, only copy", true, kShift, kCopyOnly, DropEffect::None},
      {"no keys prefers copy", true, kNoKeys, kAll, DropEffect::Copy},
      {"no keys, move before link", true, kNoKeys, kMoveLink, DropEffect::Move},
      {"no keys, only link", true, kNoKeys, kLinkOnly, DropEffect::Link},
      {"no keys, nothing allowed", true, kNoKeys, kNothing, DropEffect::None},
  };
  for (const EffectCase& c : cases) {
    EXPECT_EQ(choose_drop_effect(c.acceptable, c.keys, c.allowed), c.expected) << c.name;
  }
}

struct ListCase {
  const char* name;
  std::vector<Text> paths;
  Text expected;
};

TEST(BuildDropList, OnePathAloneOtherwiseEveryPathEndsInCrLf) {
  const Text long_path = "D:\\" + Text(700, 'x');
  const ListCase cases[] = {
      {"none", {}, ""},
      {"one file", {"D:\\a.txt"}, "D:\\a.txt"},
      {"a drive root", {"C:\\"}, "C:\\"},
      {"file and folder", {"D:\\a.txt", "D:\\docs"}, "D:\\a.txt\r\nD:\\docs\r\n"},
      {"three in source order",
       {"D:\\z", "D:\\\xB1\xB8\xB7\xDD\\\xCE\xC4.txt", "D:\\a"},
       "D:\\z\r\nD:\\\xB1\xB8\xB7\xDD\\\xCE\xC4.txt\r\nD:\\a\r\n"},
      {"duplicates kept", {"D:\\a", "D:\\a"}, "D:\\a\r\nD:\\a\r\n"},
      {"a long path whole", {long_path}, long_path},
  };
  for (const ListCase& c : cases) {
    EXPECT_EQ(build_drop_list(c.paths), c.expected) << c.name;
  }
  EXPECT_EQ(build_drop_list({"D:\\a.txt", "D:\\docs"}).size(), 19u);
}

}  // namespace
}  // namespace tamsel
