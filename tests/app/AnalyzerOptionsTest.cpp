// The analyzer's command line and the display it needs, decided before the toolkit starts.
#include <gtest/gtest.h>

#include "app/AnalyzerOptions.h"

namespace {

struct COptionsCase {
  std::vector<std::string> m_args;
  std::string m_strError;  // empty: accepted
  std::string m_strFile;
  std::string m_strPlatform;
  bool m_bSimulate = false;
  size_t m_nPorts = 0;
  std::string m_strLanguage;
};

TEST(AnalyzerOptions, ArgumentsAreTakenOrRefused) {
  const std::vector<COptionsCase> cases = {
      {{"--simulate", "list.ctd"}, "", "list.ctd", "", true},
      {{"--port", "ttyS1", "/data/a b.ctd", "--port=/dev/pts/3=module"}, "", "/data/a b.ctd", "", false, 2},
      // The toolkit's options are left to it, their values with them; -platform is noted.
      {{"-platform", "offscreen", "-style", "Fusion", "-reverse", "--qwindowtitle", "x.ctd", "y.ctd"}, "", "y.ctd",
       "offscreen"},
      {{"-style=Fusion"}},
      {{"--bogus"}, "unknown option \"--bogus\""},
      {{"-platform=xcb"}, "unknown option \"-platform=xcb\""},  // the toolkit does not take that form
      {{"a.ctd", "b.ctd"}, "one transmit list file at most (\"a.ctd\", \"b.ctd\")", "a.ctd"},
      {{"-platform"}, "-platform needs a value"},
      {{""}, "an empty file name"},
      {{"--port", "ttyS1=usb", "--bogus"}, "--port ttyS1=usb: unknown port kind \"usb\" (only \"module\" is known)"},
      {{"--lang", "en", "a.ctd"}, "", "a.ctd", "", false, 0, "en"},
      {{"--lang=ko"}, "", "", "", false, 0, "ko"},
      {{"--lang", "kr"}, "--lang takes ko or en, not \"kr\""},
      {{"--lang="}, "--lang takes ko or en, not \"\""},
      {{"--lang"}, "--lang needs a value (ko or en)"},
  };
  for (const COptionsCase& c : cases) {
    const CAnalyzerOptions options = ParseAnalyzerArguments(c.m_args);
    const std::string name = testing::PrintToString(c.m_args);
    EXPECT_EQ(std::tuple(options.m_strError, options.m_strTransmitFile, options.m_strPlatform, options.m_bSimulate,
                         options.m_ports.size(), options.m_strLanguage),
              std::tuple(c.m_strError, c.m_strFile, c.m_strPlatform, c.m_bSimulate, c.m_nPorts, c.m_strLanguage))
        << name;
  }
  const CAnalyzerOptions both = ParseAnalyzerArguments({"--help", "--version"});
  EXPECT_TRUE(both.m_bHelp && both.m_bVersion && ParseAnalyzerArguments({"-display", ":1"}).m_bDisplayOption);
}

TEST(AnalyzerOptions, AWindowNeedsADisplayUnlessThePlatformNeedsNone) {
  const char *const X = ":0", *const W = "wayland-0";
  const std::string noneSet =
      "no display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set "
      "(QT_QPA_PLATFORM=offscreen runs without one)";
  // m_pszMissing "": the window can be shown.
  const struct { const char* m_pszPlatformOption; CDisplayEnvironment m_environment; const char* m_pszMissing; } cases[] = {
      {"", {}, noneSet.c_str()},
      {"", {"", "", ""}, noneSet.c_str()},  // set but empty counts as not set
      {"", {X, nullptr, nullptr}, ""},
      {"", {nullptr, W, nullptr}, ""},
      {"", {nullptr, nullptr, "offscreen:size=800x600"}, ""},
      {"", {nullptr, W, "xcb"}, "no display for the platform \"xcb\": DISPLAY is not set"},
      {"", {nullptr, nullptr, "wayland;xcb"},
       "no display for the platform \"wayland;xcb\": DISPLAY and WAYLAND_DISPLAY are not set"},
      {"", {X, nullptr, "wayland;xcb"}, ""},  // the next platform of the list starts
      {"offscreen", {nullptr, nullptr, "xcb"}, ""},  // -platform wins over the variable
      {"xcb", {nullptr, nullptr, "offscreen"}, "no display for the platform \"xcb\": DISPLAY is not set"},
  };
  for (const auto& c : cases) {
    CAnalyzerOptions options;
    options.m_strPlatform = c.m_pszPlatformOption;
    EXPECT_EQ(MissingDisplay(options, c.m_environment), c.m_pszMissing)
        << c.m_pszPlatformOption << " / " << (c.m_environment.pszPlatform ? c.m_environment.pszPlatform : "(unset)");
  }
  CAnalyzerOptions displayGiven;  // -display stands for DISPLAY
  displayGiven.m_bDisplayOption = true;
  EXPECT_EQ(MissingDisplay(displayGiven, {nullptr, nullptr, "xcb"}), "");
}

}  // namespace
