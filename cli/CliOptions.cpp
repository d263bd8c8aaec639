#include "cli/CliOptions.h"

#include "link/CommandLinePorts.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "KorvexVersion.h"
#include "protocol/BitTiming.h"
#include "text/Language.h"

namespace {

// What --seconds can hold; the session arms its timer a day at a time, so any of it is counted.
constexpr uint64_t MAX_MONITOR_SECONDS = UINT32_MAX;
constexpr std::string_view BIT_TIMING_REFUSED = "CAN 비트 타임 데이터 입력이 잘못되었읍니다";

// Hexadecimal with an optional "0x", at most nMaxDigits digits.
std::optional<uint32_t> ParseHex(std::string_view text, unsigned nMaxDigits) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  if (text.empty() || text.size() > nMaxDigits) return std::nullopt;
  uint32_t dwValue = 0;
  const auto [pEnd, ec] = std::from_chars(text.data(), text.data() + text.size(), dwValue, 16);
  if (ec != std::errc() || pEnd != text.data() + text.size()) return std::nullopt;
  return dwValue;
}

std::optional<uint64_t> ParsePositive(std::string_view text) {
  uint64_t qwValue = 0;
  const auto [pEnd, ec] = std::from_chars(text.data(), text.data() + text.size(), qwValue, 10);
  if (ec != std::errc() || pEnd != text.data() + text.size() || qwValue == 0) return std::nullopt;
  return qwValue;
}

std::string HexText(uint32_t dwValue) {
  char sz[16];
  std::snprintf(sz, sizeof sz, "0x%X", dwValue);
  return sz;
}

// Walks the arguments; every "take a value" step knows which option asked for it.
class CArgs {
public:
  explicit CArgs(const std::vector<std::string>& args) : m_args(args) {}
  bool AtEnd() const { return m_nNext >= m_args.size(); }
  const std::string& Peek() const { return m_args[m_nNext]; }
  const std::string& Take() { return m_args[m_nNext++]; }
  bool TakeValue(const std::string& option, std::string& value, std::string& error) {
    if (AtEnd()) {
      error = option + " needs a value";
      return false;
    }
    value = Take();
    return true;
  }

private:
  const std::vector<std::string>& m_args;
  std::size_t m_nNext = 0;
};

// --std/--ext, given at most once; the default is CAN 2.0B like the settings' default.
bool TakeProtocol(const std::string& arg, std::optional<bool>& bStandard, std::string& error) {
  const bool bWantStandard = arg == "--std";
  if (bStandard && *bStandard != bWantStandard) {
    error = "--std and --ext exclude each other";
    return false;
  }
  bStandard = bWantStandard;
  return true;
}

bool CheckIdentifier(const char* pszWhat, uint32_t dwValue, bool bStandard, std::string& error) {
  const uint32_t dwLimit = bStandard ? STANDARD_ID_MASK : EXTENDED_ID_MASK;
  if (dwValue <= dwLimit) return true;
  error = std::string(pszWhat) + " " + HexText(dwValue) + " does not fit in " + (bStandard ? "11 bits (--std)" : "29 bits (--ext)");
  return false;
}

bool ParseReportList(std::string_view list, uint8_t& byReports, std::string& error) {
  byReports = 0;
  while (!list.empty()) {
    const std::size_t nComma = list.find(',');
    const std::string_view item = list.substr(0, nComma);
    if (item == "busoff") byReports |= MODE_REPORT_BUSOFF;
    else if (item == "passive") byReports |= MODE_REPORT_PASSIVE;
    else if (item == "warning") byReports |= MODE_REPORT_WARNING;
    else {
      error = "--report takes busoff, passive and warning separated by commas, not '" + std::string(item) + "'";
      return false;
    }
    list = nComma == std::string_view::npos ? std::string_view() : list.substr(nComma + 1);
  }
  return true;
}

bool ParseWriteConfig(CArgs& args, CliOptions& options, std::string& error) {
  std::optional<bool> bStandard;
  std::optional<uint16_t> wBitTiming;
  bool bOptionsGiven = false;
  bool bAutoReset = false;
  uint8_t byReports = 0;
  std::optional<uint32_t> dwId;
  std::optional<uint32_t> dwMaskId;
  std::string value;
  while (!args.AtEnd()) {
    const std::string arg = args.Take();
    if (arg == "--std" || arg == "--ext") {
      if (!TakeProtocol(arg, bStandard, error)) return false;
    } else if (arg == "--bitrate" || arg == "--bit-timing") {
      if (wBitTiming) {
        error = "give one of --bitrate and --bit-timing, once";
        return false;
      }
      if (!args.TakeValue(arg, value, error)) return false;
      if (arg == "--bitrate") {
        std::size_t i = 0;
        while (i < kPresetBitRateTexts.size() && kPresetBitRateTexts[i] != value) ++i;
        if (i == kPresetBitRateTexts.size()) {
          error = "--bitrate takes 1M, 500K, 250K, 200K, 125K, 100K, 50K, 40K or 25K, not '" + value + "'";
          return false;
        }
        wBitTiming = kPresetBitTimings[i];
      } else {
        const auto parsed = ParseHex(value, 4);
        if (!parsed || !IsValidBitTiming(static_cast<uint16_t>(*parsed))) {
          error = BIT_TIMING_REFUSED;
          return false;
        }
        wBitTiming = static_cast<uint16_t>(*parsed);
      }
    } else if (arg == "--auto-reset") {
      bOptionsGiven = true;
      bAutoReset = true;
    } else if (arg == "--report") {
      bOptionsGiven = true;
      if (!args.TakeValue(arg, value, error) || !ParseReportList(value, byReports, error)) return false;
    } else if (arg == "--id" || arg == "--mask") {
      std::optional<uint32_t>& target = arg == "--id" ? dwId : dwMaskId;
      if (!args.TakeValue(arg, value, error)) return false;
      target = ParseHex(value, 8);
      if (!target) {
        error = arg + " takes a hexadecimal number, not '" + value + "'";
        return false;
      }
    } else {
      error = "write-config does not know '" + arg + "'";
      return false;
    }
  }
  const bool bIsStandard = bStandard.value_or(false);
  if (dwId && !CheckIdentifier("--id", *dwId, bIsStandard, error)) return false;
  if (dwMaskId && !CheckIdentifier("--mask", *dwMaskId, bIsStandard, error)) return false;
  const uint8_t byOptions = bOptionsGiven ? static_cast<uint8_t>((bAutoReset ? MODE_AUTO_RESET : 0) | byReports)
                                          : static_cast<uint8_t>(MODE_DEFAULT & ~MODE_CAN20B);
  options.m_byModeFlags = static_cast<uint8_t>((bIsStandard ? 0 : MODE_CAN20B) | byOptions);
  options.m_wBitTiming = wBitTiming.value_or(BIT_TIMING_DEFAULT);
  options.m_dwId = dwId.value_or(0);
  options.m_dwMaskId = dwMaskId.value_or(0);
  return true;
}

bool ParseSend(CArgs& args, CliOptions& options, std::string& error) {
  std::optional<bool> bStandard;
  std::optional<uint32_t> dwId;
  while (!args.AtEnd()) {
    const std::string arg = args.Take();
    if (arg == "--std" || arg == "--ext") {
      if (!TakeProtocol(arg, bStandard, error)) return false;
    } else if (arg == "--remote") {
      options.m_bRemote = true;
    } else if (arg.starts_with("--")) {
      error = "send does not know '" + arg + "'";
      return false;
    } else if (!dwId) {
      dwId = ParseHex(arg, 8);
      if (!dwId) {
        error = "the identifier must be hexadecimal, not '" + arg + "'";
        return false;
      }
    } else {
      const auto byte = ParseHex(arg, 2);
      if (!byte) {
        error = "data byte '" + arg + "' is not a hexadecimal byte";
        return false;
      }
      if (options.m_data.size() == FRAME_MAX_DATA) {
        error = "a frame carries at most 8 data bytes";
        return false;
      }
      options.m_data.push_back(static_cast<uint8_t>(*byte));
    }
  }
  if (!dwId) {
    error = "send needs an identifier";
    return false;
  }
  options.m_bStandard = bStandard.value_or(false);
  if (!CheckIdentifier("the identifier", *dwId, options.m_bStandard, error)) return false;
  if (options.m_bRemote && !options.m_data.empty()) {
    error = "a remote frame carries no data bytes";
    return false;
  }
  options.m_dwFrameId = *dwId;
  return true;
}

// --dbc FILE, once.
bool TakeDbc(CArgs& args, const std::string& arg, CliOptions& options, std::string& error) {
  if (!options.m_dbcPath.empty()) {
    error = "--dbc is given twice";
    return false;
  }
  if (!args.TakeValue(arg, options.m_dbcPath, error)) return false;
  if (options.m_dbcPath.empty()) error = "--dbc needs a value";
  return !options.m_dbcPath.empty();
}

// monitor [--seconds N] [--count N] [--format text|candump|signals] [--dbc FILE];
// stats [--seconds N] [--format text|csv]
bool ParseReception(CArgs& args, CliOptions& options, std::string& error) {
  const bool bStats = options.m_eCommand == ECliCommand::STATS;
  const std::string_view formats = bStats ? "text or csv" : "text, candump or signals";
  std::string value;
  while (!args.AtEnd()) {
    const std::string arg = args.Take();
    if (arg == "--format") {
      if (!args.TakeValue(arg, value, error)) return false;
      if (value == "text") options.m_eFormat = EFrameFormat::TEXT;
      else if (bStats && value == "csv") options.m_eFormat = EFrameFormat::CSV;
      else if (!bStats && value == "candump") options.m_eFormat = EFrameFormat::CANDUMP;
      else if (!bStats && value == "signals") options.m_eFormat = EFrameFormat::SIGNALS;
      else {
        error = "--format takes " + std::string(formats) + ", not '" + value + "'";
        return false;
      }
      continue;
    }
    if (arg == "--dbc" && !bStats) {
      if (!TakeDbc(args, arg, options, error)) return false;
      continue;
    }
    if (arg != "--seconds" && (arg != "--count" || bStats)) {
      error = std::string(bStats ? "stats" : "monitor") + " does not know '" + arg + "'";
      return false;
    }
    if (!args.TakeValue(arg, value, error)) return false;
    const uint64_t qwMax = arg == "--seconds" ? MAX_MONITOR_SECONDS : UINT64_MAX;
    const auto parsed = ParsePositive(value);
    if (!parsed || *parsed > qwMax) {
      error = arg + " takes a whole number from 1 to " + std::to_string(qwMax) + ", not '" + value + "'";
      return false;
    }
    if (arg == "--seconds")
      options.m_nSeconds = static_cast<uint32_t>(*parsed);
    else
      options.m_qwCount = *parsed;
  }
  if ((options.m_eFormat == EFrameFormat::SIGNALS) != !options.m_dbcPath.empty()) {
    error = "--format signals and --dbc FILE go together";
    return false;
  }
  return true;
}

// decode --dbc FILE LOG
bool ParseDecode(CArgs& args, CliOptions& options, std::string& error) {
  while (!args.AtEnd()) {
    const std::string arg = args.Take();
    if (arg == "--dbc") {
      if (!TakeDbc(args, arg, options, error)) return false;
    } else if (arg.starts_with("--") || arg.empty() || !options.m_inputPath.empty()) {
      error = arg.starts_with("--") ? "decode does not know '" + arg + "'" : "decode takes --dbc FILE and one log file";
      return false;
    } else {
      options.m_inputPath = arg;
    }
  }
  if (options.m_dbcPath.empty() || options.m_inputPath.empty()) {
    error = "decode takes --dbc FILE and one log file";
    return false;
  }
  options.m_eFormat = EFrameFormat::SIGNALS;
  return true;
}

// convert [--to candump|asc] FILE
bool ParseConvert(CArgs& args, CliOptions& options, std::string& error) {
  std::string value;
  while (!args.AtEnd()) {
    const std::string arg = args.Take();
    if (arg == "--to") {
      if (!args.TakeValue(arg, value, error)) return false;
      if (value != "candump" && value != "asc") {
        error = "--to takes candump or asc, not '" + value + "'";
        return false;
      }
      options.m_bConvertToAsc = value == "asc";
    } else if (!options.m_inputPath.empty()) {
      error = "convert takes one file";
      return false;
    } else if (!arg.empty()) {
      options.m_inputPath = arg;
    }
  }
  if (options.m_inputPath.empty()) {
    error = "convert needs the log file";
    return false;
  }
  return true;
}

// replay [--loop N] [--speed X] [--id ID[,ID...]] FILE
bool ParseReplay(CArgs& args, CliOptions& options, std::string& error) {
  constexpr double MIN_SPEED = 0.001, MAX_SPEED = 1000.0;
  std::string value;
  while (!args.AtEnd()) {
    const std::string arg = args.Take();
    if (arg == "--loop" || arg == "--speed" || arg == "--id") {
      if (!args.TakeValue(arg, value, error)) return false;
    }
    if (arg == "--loop") {
      const auto parsed = ParsePositive(value);
      if (!parsed || *parsed > UINT32_MAX) {
        error = "--loop takes a whole number from 1 to " + std::to_string(UINT32_MAX) + ", not '" + value + "'";
        return false;
      }
      options.m_nLoops = static_cast<uint32_t>(*parsed);
    } else if (arg == "--speed") {
      double dSpeed = 0;
      const auto [pEnd, ec] = std::from_chars(value.data(), value.data() + value.size(), dSpeed, std::chars_format::fixed);
      if (ec != std::errc() || pEnd != value.data() + value.size() || !(dSpeed >= MIN_SPEED && dSpeed <= MAX_SPEED)) {
        error = "--speed takes a number from 0.001 to 1000, not '" + value + "'";
        return false;
      }
      options.m_dSpeed = dSpeed;
    } else if (arg == "--id") {
      for (std::string_view list = value; ;) {
        const std::size_t nComma = list.find(',');
        const auto dwId = ParseHex(list.substr(0, nComma), 8);
        if (!dwId || *dwId > EXTENDED_ID_MASK) {
          error = "--id takes hexadecimal identifiers separated by commas, not '" + value + "'";
          return false;
        }
        options.m_replayIds.push_back(*dwId);
        if (nComma == std::string_view::npos) break;
        list.remove_prefix(nComma + 1);
      }
    } else if (arg.starts_with("--") || !options.m_inputPath.empty() || arg.empty()) {
      error = arg.starts_with("--") ? "replay does not know '" + arg + "'" : "replay takes one file";
      return false;
    } else {
      options.m_inputPath = arg;
    }
  }
  if (options.m_inputPath.empty()) {
    error = "replay needs the candump log";
    return false;
  }
  return true;
}

bool ParseCommand(const std::string& name, CArgs& args, CliOptions& options, std::string& error) {
  static const struct {
    const char* pszName;
    ECliCommand eCommand;
  } kCommands[] = {{"read-config", ECliCommand::READ_CONFIG}, {"write-config", ECliCommand::WRITE_CONFIG},
                   {"version", ECliCommand::VERSION},         {"reset", ECliCommand::RESET},
                   {"send", ECliCommand::SEND},               {"monitor", ECliCommand::MONITOR},
                   {"stats", ECliCommand::STATS},             {"ports", ECliCommand::PORTS},
                   {"convert", ECliCommand::CONVERT},         {"decode", ECliCommand::DECODE},
                   {"replay", ECliCommand::REPLAY}};
  for (const auto& command : kCommands) {
    if (name != command.pszName) continue;
    options.m_eCommand = command.eCommand;
    switch (command.eCommand) {
      case ECliCommand::WRITE_CONFIG:
        return ParseWriteConfig(args, options, error);
      case ECliCommand::SEND:
        return ParseSend(args, options, error);
      case ECliCommand::MONITOR:
      case ECliCommand::STATS:
        return ParseReception(args, options, error);
      case ECliCommand::CONVERT:
        return ParseConvert(args, options, error);
      case ECliCommand::DECODE:
        return ParseDecode(args, options, error);
      case ECliCommand::REPLAY:
        return ParseReplay(args, options, error);
      default:
        if (!args.AtEnd()) {
          error = name + " takes no arguments";
          return false;
        }
        return true;
    }
  }
  error = "unknown command '" + name + "'";
  return false;
}

}  // namespace

CliParseResult ParseCommandLine(const std::vector<std::string>& argv) {
  CliParseResult result;
  CliOptions& options = result.m_options;
  std::string& error = result.m_error;
  // "--port PATH[=module]" is read the way the analyzer reads it; only `ports` takes several.
  CPortArguments ports = ExtractPortArguments(argv);
  if (!ports.m_strError.empty()) {
    error = ports.m_strError;
    return result;
  }
  options.m_commandLinePorts = std::move(ports.m_ports);
  const bool bPortGiven = !options.m_commandLinePorts.empty();
  if (bPortGiven) options.m_portName = options.m_commandLinePorts.front().m_strPath;
  CArgs args(ports.m_rest);
  bool bUsbGiven = false;
  bool bBaudGiven = false;
  std::string value;
  while (!args.AtEnd() && args.Peek().starts_with("--")) {
    const std::string arg = args.Take();
    if (arg == "--help" || arg == "--version") {
      options.m_eCommand = arg == "--help" ? ECliCommand::SHOW_HELP : ECliCommand::SHOW_VERSION;
      result.m_bOk = true;
      return result;
    }
    if (arg == "--timestamps") {
      options.m_bTimestamps = true;
      continue;
    }
    bool* pbGiven = arg == "--usb" ? &bUsbGiven : arg == "--baud" ? &bBaudGiven : nullptr;
    if (pbGiven == nullptr && arg != "--event-log" && arg != "--rdata-log" && arg != "--lang") {
      error = "unknown option '" + arg + "'";
      return result;
    }
    if (!args.TakeValue(arg, value, error)) return result;
    if (value.empty()) {
      error = arg + " needs a value";
      return result;
    }
    if (pbGiven && *pbGiven) {
      error = arg + " is given twice";
      return result;
    }
    if (pbGiven) *pbGiven = true;
    if (arg == "--usb") {
      options.m_portName = value;
    } else if (arg == "--baud") {
      if (value != "38400" && value != "921600") {
        error = "--baud takes 38400 or 921600";
        return result;
      }
      options.m_dwBaudRate = value == "38400" ? 38400 : 921600;
    } else if (arg == "--lang") {
      if (!ParseLanguage(value)) {
        error = "--lang takes ko or en";
        return result;
      }
      options.m_bEnglish = *ParseLanguage(value) == ELanguage::ENGLISH;
    } else {
      (arg == "--event-log" ? options.m_eventLogPath : options.m_rdataLogPath) = value;
    }
  }
  options.m_bUsb = bUsbGiven;
  if (bPortGiven && bUsbGiven) {
    error = "--port and --usb exclude each other";
    return result;
  }
  if (bBaudGiven && bUsbGiven) {
    error = "--baud applies to --port only (USB runs at 921600)";
    return result;
  }
  if (args.AtEnd()) {
    error = "no command given";
    return result;
  }
  // Listing the ports needs no port and converting a file takes none; every other command
  // talks to one.
  const std::string command = args.Take();
  const bool bReadsFile = command == "convert" || command == "decode";
  if (bReadsFile && (bPortGiven || bUsbGiven || bBaudGiven || !options.m_eventLogPath.empty() ||
                               !options.m_rdataLogPath.empty())) {
    error = command + " reads a file: it takes no port and writes no log";
    return result;
  }
  if (!bPortGiven && !bUsbGiven && command != "ports" && !bReadsFile) {
    error = "give --port PATH or --usb SERIAL";
    return result;
  }
  if (command != "ports" && options.m_commandLinePorts.size() > 1) {
    error = "--port is given twice";
    return result;
  }
  result.m_bOk = ParseCommand(command, args, options, error);
  return result;
}

std::string CliUsage() {
  return "usage: korvex-cli (--port PATH | --usb SERIAL) [OPTION]... COMMAND [ARGS]...\n"
         "  or:  korvex-cli [--port PATH[=module]]... ports\n"
         "  or:  korvex-cli convert [--to candump|asc] FILE\n"
         "  or:  korvex-cli decode --dbc DATABASE FILE\n"
         "Drives a Korvex CAN-bus interface module over a serial port or USB without the window: each\n"
         "command opens the port, reads the module's configuration and reception state, sends the\n"
         "command, prints the events (the analyzer's event log lines) and received frames, and closes\n"
         "the port with reception stopped.\n"
         "\n"
         "Options:\n"
         "  --port PATH        the serial port (/dev/ttyUSB0; a name without \"/\" is under /dev)\n"
         "  --baud RATE        38400 (default) or 921600, the rate of the module's own USB port\n"
         "  --usb SERIAL       the module with this USB serial number, through the D2XX library\n"
         "                     (libftd2xx.so, or the file named by KORVEX_D2XX_LIBRARY); always\n"
         "                     921600 bit/s\n"
         "  --event-log FILE   append the events to FILE as the analyzer writes its event log\n"
         "                     (code page 949, CR LF, each line stamped)\n"
         "  --rdata-log FILE   append the received frames to FILE as the analyzer writes its\n"
         "                     receive-data log\n"
         "  --lang ko|en       print the events in Korean (default, as the log files hold them)\n"
         "                     or in English; the log files stay Korean either way\n"
         "  --timestamps       put the local time in front of each printed line (a frame's is the\n"
         "                     second its last byte arrived at this computer)\n"
         "  --help             print this help and exit\n"
         "  --version          print the program's version and exit\n"
         "\n"
         "Commands:\n"
         "  read-config        read the module's configuration\n"
         "  write-config [OPTION]...\n"
         "                     write the configuration: --std (CAN 2.0A) or --ext (2.0B, default);\n"
         "                     --bitrate 1M|500K|250K|200K|125K|100K|50K|40K|25K (default 250K) or\n"
         "                     --bit-timing 0xHHHH; --auto-reset; --report busoff,passive,warning;\n"
         "                     --id HEX and --mask HEX, the receive ID and mask (default 0).\n"
         "                     Without --auto-reset and --report: automatic reset with bus-off\n"
         "                     reports (--report \"\" reports nothing)\n"
         "  version            read the module's firmware version\n"
         "  reset              reset the module's CAN node\n"
         "  send [--std|--ext] [--remote] ID [BYTE]...\n"
         "                     send one frame; identifier and bytes in hexadecimal\n"
         "                     (send --std 123 11 22)\n"
         "  monitor [--seconds N] [--count N] [--format text|candump|signals] [--dbc DATABASE]\n"
         "                     start reception and print each received frame until N seconds\n"
         "                     have passed, N frames have arrived, or SIGINT, SIGTERM or SIGHUP;\n"
         "                     --format candump prints \"(SECONDS.MICROSECONDS) korvex0 ID#DATA\"\n"
         "                     lines that other CAN tools read (the events then go to standard\n"
         "                     error); --format signals with --dbc DATABASE (a DBC file) prints\n"
         "                     \"(SECONDS.MICROSECONDS) MESSAGE SIGNAL=VALUE[UNIT] ...\", a\n"
         "                     value-table text in quotes instead of its value, and frames the\n"
         "                     database does not know as candump lines; --rdata-log still writes\n"
         "                     the analyzer's own log\n"
         "  stats [--seconds N] [--format text|csv]\n"
         "                     start reception as monitor does and, when it ends, print one line\n"
         "                     per identifier (protocol, identifier, kind, count, mean, minimum\n"
         "                     and maximum cycle time in ms, frames per second), sorted by\n"
         "                     identifier, then the total frames per second and the bus load in %\n"
         "                     of the configured bit rate (each frame counted with its stuff\n"
         "                     bits); --format csv adds a header row. Times are when the frames\n"
         "                     arrived at this computer; only frames that pass the module's\n"
         "                     acceptance filter are seen. The events go to standard error\n"
         "  ports              list the serial ports and USB modules found; each --port joins the\n"
         "                     list (PATH=module marks it as the module's own port)\n"
         "  convert [--to candump|asc] FILE\n"
         "                     print a log file (a candump log, an ASC log, or the receive-data\n"
         "                     log as --rdata-log or the analyzer writes it: its time stamps keep\n"
         "                     whole seconds) as candump lines (default) or as an ASC log; the\n"
         "                     format is recognised from the content. A line that is no frame (a\n"
         "                     garbled one, an error or CAN FD frame) is named with its number on\n"
         "                     standard error and skipped\n"
         "  decode --dbc DATABASE FILE\n"
         "                     print a log file's frames (any format convert reads) as monitor\n"
         "                     --format signals does; lines that are no frame are named and\n"
         "                     skipped as by convert\n"
         "  replay [--loop N] [--speed X] [--id ID[,ID...]] FILE\n"
         "                     send the frames of a candump log with their recorded gaps divided\n"
         "                     by X (0.001 to 1000, default 1), N times over (default 1), only\n"
         "                     the identifiers given (hexadecimal); a frame the module cannot\n"
         "                     send (an error, CAN FD or CAN XL frame) is named with its line\n"
         "                     number on standard error and skipped. A log faster than the link\n"
         "                     is sent as fast as the link allows. Standard error ends with the\n"
         "                     frames sent and skipped, the worst lateness and how far behind\n"
         "                     the log the replay fell\n"
         "\n"
         "Exit status:\n"
         "  0  the command was answered (convert, decode: every line was converted)\n"
         "  2  bad usage\n"
         "  3  the port did not open (the reason on standard error)\n"
         "  4  no answer from the module within a second, the port went away, or received\n"
         "     frames were dropped because the program fell behind\n"
         "  5  the output, or a log file given with --rdata-log or --event-log, could not be\n"
         "     opened or written (the reason on standard error)\n"
         "  6  convert or decode skipped lines it could not read, or replay frames it could not\n"
         "     send\n"
         "  7  convert, decode or replay could not open or read the file, or the database could\n"
         "     not be read (the reason, with its line and column, on standard error)\n";
}

std::string CliVersion() { return std::string("korvex-cli ") + KORVEX_VERSION; }
