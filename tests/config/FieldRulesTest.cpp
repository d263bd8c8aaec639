#include <gtest/gtest.h>

#include <string>

#include "config/FieldRules.h"
#include "support/ScratchDir.h"

namespace {

TEST(FieldRules, HexText) {
  EXPECT_TRUE(IsHexText(""));
  EXPECT_TRUE(IsHexText("09afAF"));
  EXPECT_FALSE(IsHexText("0x1"));
  EXPECT_FALSE(IsHexText("G"));
  EXPECT_FALSE(IsHexText(" 1"));
  EXPECT_FALSE(IsHexText(std::string_view("1\0", 2)));
}

TEST(FieldRules, ExistingDirectoryOf) {
  ScratchDir scratch;
  const std::string dir = scratch.Path();
  const std::string file = scratch.Write("frames.ctd", "x");
  EXPECT_EQ(ExistingDirectoryOf(file), dir);                      // existing file
  EXPECT_EQ(ExistingDirectoryOf(dir + "/missing.ctd"), dir);      // missing file, existing dir
  EXPECT_EQ(ExistingDirectoryOf(dir), dir);                       // existing directory
  EXPECT_EQ(ExistingDirectoryOf(dir + "/no/such.ctd"), "");       // missing directory
  EXPECT_EQ(ExistingDirectoryOf("bare-name.ctd"), "");            // no "/" at all
  EXPECT_EQ(ExistingDirectoryOf(""), "");
  EXPECT_EQ(ExistingDirectoryOf("/no-such-entry-korvex"), "/");   // the root holds it
}

}  // namespace
