#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "config/FieldRules.h"

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
  char szTemplate[] = "/tmp/korvex-fieldrules-XXXXXX";
  ASSERT_NE(mkdtemp(szTemplate), nullptr);
  const std::string dir = szTemplate;
  const std::string file = dir + "/frames.ctd";
  std::ofstream(file) << "x";

  EXPECT_EQ(ExistingDirectoryOf(file), dir);                      // existing file
  EXPECT_EQ(ExistingDirectoryOf(dir + "/missing.ctd"), dir);      // missing file, existing dir
  EXPECT_EQ(ExistingDirectoryOf(dir), dir);                       // existing directory
  EXPECT_EQ(ExistingDirectoryOf(dir + "/no/such.ctd"), "");       // missing directory
  EXPECT_EQ(ExistingDirectoryOf("bare-name.ctd"), "");            // no "/" at all
  EXPECT_EQ(ExistingDirectoryOf(""), "");
  EXPECT_EQ(ExistingDirectoryOf("/no-such-entry-korvex"), "/");   // the root holds it

  unlink(file.c_str());
  rmdir(dir.c_str());
}

}  // namespace
