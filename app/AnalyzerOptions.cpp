#include "app/AnalyzerOptions.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "KorvexVersion.h"
#include "text/Language.h"

namespace {

// The toolkit's options it takes out of the command line itself: those followed by a value,
// those without one, and those written "-name=value".
constexpr std::array<std::string_view, 12> TOOLKIT_VALUE_OPTIONS = {
    "platform",   "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session",          "display",       "geometry", "style",           "stylesheet"};
constexpr std::array<std::string_view, 2> TOOLKIT_FLAGS = {"reverse", "widgetcount"};
constexpr std::array<std::string_view, 3> TOOLKIT_ASSIGNED = {"style", "stylesheet", "qmljsdebugger"};

template <std::size_t N>
bool IsOneOf(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsSet(const char* pszValue) { return pszValue != nullptr && *pszValue != '\0'; }

// Takes the toolkit's option at args[i] (moving i past its value); false when it is none.
bool TakeToolkitOption(const std::vector<std::string>& args, std::size_t& i, CAnalyzerOptions& options) {
  std::string_view name = args[i];
  name.remove_prefix(name.starts_with("--") ? 2 : 1);  // the toolkit takes both forms
  const auto nEquals = name.find('=');
  if (nEquals != std::string_view::npos) return IsOneOf(TOOLKIT_ASSIGNED, name.substr(0, nEquals));
  if (IsOneOf(TOOLKIT_FLAGS, name)) return true;
  if (!IsOneOf(TOOLKIT_VALUE_OPTIONS, name)) return false;
  if (i + 1 >= args.size()) {
    if (options.m_strError.empty()) options.m_strError = args[i] + " needs a value";
    return true;
  }
  const std::string& value = args[++i];
  if (name == "platform") options.m_strPlatform = value;
  if (name == "display") options.m_bDisplayOption = true;
  return true;
}

}  // namespace

CAnalyzerOptions ParseAnalyzerArguments(const std::vector<std::string>& args) {
  CPortArguments portArgs = ExtractPortArguments(args);
  CAnalyzerOptions options;
  options.m_ports = std::move(portArgs.m_ports);
  options.m_strError = std::move(portArgs.m_strError);
  const std::vector<std::string>& rest = portArgs.m_rest;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const std::string& arg = rest[i];
    std::string error;
    if (arg == "--help") {
      options.m_bHelp = true;
    } else if (arg == "--version") {
      options.m_bVersion = true;
    } else if (arg == "--simulate") {
      options.m_bSimulate = true;
    } else if (arg == "--lang" || arg.starts_with("--lang=")) {
      const bool bJoined = arg != "--lang";
      if (!bJoined && i + 1 >= rest.size()) {
        error = "--lang needs a value (ko or en)";
      } else {
        const std::string value = bJoined ? arg.substr(7) : rest[++i];
        if (ParseLanguage(value))
          options.m_strLanguage = value;
        else
          error = "--lang takes ko or en, not \"" + value + "\"";
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      if (!TakeToolkitOption(rest, i, options)) error = "unknown option \"" + arg + "\"";
    } else if (!options.m_strTransmitFile.empty()) {
      error = "one transmit list file at most (\"" + options.m_strTransmitFile + "\", \"" + arg + "\")";
    } else if (arg.empty()) {
      error = "an empty file name";
    } else {
      options.m_strTransmitFile = arg;
    }
    if (options.m_strError.empty()) options.m_strError = std::move(error);
  }
  return options;
}

std::string MissingDisplay(const CAnalyzerOptions& options, const CDisplayEnvironment& environment) {
  const bool bX11 = options.m_bDisplayOption || IsSet(environment.pszDisplay);
  const bool bWayland = IsSet(environment.pszWaylandDisplay);
  const std::string platforms = !options.m_strPlatform.empty() ? options.m_strPlatform
                                : IsSet(environment.pszPlatform) ? std::string(environment.pszPlatform)
                                                                 : std::string();
  bool bNeedsX11 = false, bNeedsWayland = false;
  std::string_view list = platforms;
  while (!list.empty()) {
    const auto nEnd = std::min(list.find(';'), list.size());
    const std::string_view name = list.substr(0, std::min(list.find(':'), nEnd));  // "xcb:option" names xcb
    list.remove_prefix(std::min(nEnd + 1, list.size()));
    if (name.empty()) continue;
    if (name == "xcb") {
      if (bX11) return {};
      bNeedsX11 = true;
    } else if (name.starts_with("wayland")) {
      if (bWayland) return {};
      bNeedsWayland = true;
    } else {
      return {};  // needs no display server
    }
  }
  if (!bNeedsX11 && !bNeedsWayland) {  // the toolkit's default: the session's X11 or Wayland display
    if (bX11 || bWayland) return {};
    return "no display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set "
           "(QT_QPA_PLATFORM=offscreen runs without one)";
  }
  const std::string missing = bNeedsX11 && bNeedsWayland ? "DISPLAY and WAYLAND_DISPLAY are not set"
                              : bNeedsX11                ? "DISPLAY is not set"
                                                         : "WAYLAND_DISPLAY is not set";
  return "no display for the platform \"" + platforms + "\": " + missing;
}

std::string AnalyzerUsage() {
  return "usage: korvex-analyzer [--port PATH[=module]]... [--simulate] [--lang ko|en] [FILE.ctd]\n"
         "\n"
         "Configures a Korvex CAN-bus interface module attached by a serial port or by USB,\n"
         "lists every frame it receives, keeps and sends a list of transmit frames and\n"
         "follows every module response in an event log.\n"
         "\n"
         "Options:\n"
         "  --port PATH[=module]  add a serial port to those found (a name without \"/\" is\n"
         "                        under /dev); \"=module\" marks it as the module's own port,\n"
         "                        which runs at 921600 bit/s; may be given more than once\n"
         "  --simulate            talk to a simulated module on a pseudo-terminal inside the\n"
         "                        program, whatever port the settings name\n"
         "  --lang ko|en          the window's language (Korean or English), kept in the\n"
         "                        settings for later starts; without it the one kept, else\n"
         "                        the locale's: Korean for a Korean locale, English for any\n"
         "                        other. The log files are written in Korean either way.\n"
         "  FILE.ctd              open this transmit list at start-up\n"
         "  --help                print this help and exit\n"
         "  --version             print the program's version and exit\n"
         "The toolkit's own options (-platform NAME, -style NAME, -reverse ...) are taken\n"
         "as well.\n"
         "\n"
         "Exit status:\n"
         "  0  the window was closed, or --help or --version\n"
         "  1  no display, or the simulated module did not start\n"
         "  2  bad usage\n"
         "\n"
         "Files:\n"
         "  $XDG_CONFIG_HOME/Ostwind/Korvex.conf\n"
         "                        the settings (~/.config/Ostwind/Korvex.conf when\n"
         "                        XDG_CONFIG_HOME is not set)\n"
         "  Log/                  the log directory, under the working directory, made at\n"
         "                        start-up when missing: the event log and the receive-data\n"
         "                        log unless the log path dialog names other files\n"
         "\n"
         "Environment:\n"
         "  LC_ALL, LC_MESSAGES, LANG\n"
         "                        the locale, which picks the window's language when\n"
         "                        --lang has never been given\n"
         "  DISPLAY, WAYLAND_DISPLAY\n"
         "                        the display the window is shown on; without either the\n"
         "                        program ends at once with exit status 1\n"
         "  QT_QPA_PLATFORM       the window system platform (offscreen: no display needed)\n"
         "  XDG_CONFIG_HOME       where the settings live\n"
         "  XDG_RUNTIME_DIR       where running copies find each other (/tmp/korvex-UID when\n"
         "                        not set); a second copy brings the first one's window\n"
         "                        forward and opens no port\n"
         "  KORVEX_D2XX_LIBRARY   the D2XX library for modules on USB (default libftd2xx.so)\n"
         "  KORVEX_SYSFS_ROOT     where serial ports are looked for (default /sys)\n";
}

std::string AnalyzerVersion() { return std::string("korvex-analyzer ") + KORVEX_VERSION; }
