#include "link/SysfsTree.h"

#include <gtest/gtest.h>

#include "support/ScratchDir.h"

namespace {

TEST(ReadSysfsAttr, TakesFirstLineWithoutTrailingBlanks) {
  ScratchDir dir;
  dir.Write("manufacturer", "Ostwind  \n");
  dir.Write("multi", "first\nsecond\n");
  dir.MakeDir("sub");
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), "manufacturer"), "Ostwind");
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), "multi"), "first");
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), "missing"), std::nullopt);
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), "sub"), std::nullopt);
}

TEST(ReadSysfsAttr, DeviceStringsAreBoundedAndMadePrintable) {
  ScratchDir dir;
  dir.Write("product", std::string("Bad\x1b[2J\x7f", 8) + "\n");
  dir.Write("long", std::string(3 * SYSFS_ATTR_MAX, 'x'));
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), "product"), "Bad?[2J?");
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), "long")->size(), SYSFS_ATTR_MAX);
}

}  // namespace
