#pragma once
// Command line of korvex-cli, parsed without touching anything:
//   korvex-cli (--port PATH [--baud 38400|921600] | --usb SERIAL)
//              [--event-log FILE] [--rdata-log FILE] [--lang ko|en] [--timestamps] COMMAND [ARGS]
//   --port /dev/ttyUSB0 --baud 921600 send --std 123 11 22  -> 2.0A data frame 0x123, 11 22
//   --usb KX01 write-config --std --bitrate 500K --id 7FF    -> mode 0x0C, 0x0734, ID 0x7FF
//   ports                                                    -> the port lists; --port adds one
//   --port /dev/ttyUSB0 monitor --format candump             -> frames as candump log lines
//   --port /dev/ttyUSB0 stats --seconds 10 --format csv       -> per-identifier statistics, bus load
//   convert RDataLog.txt                                     -> a receive-data log as candump lines
//   convert --to asc trace.log                               -> a candump log as an ASC log
//   decode --dbc car.dbc trace.log                           -> a log's frames as their signals
//   --port /dev/ttyUSB0 replay --speed 2 --id 123,7E8 t.log  -> those frames of a candump log, twice as fast
//   --help / --version (anywhere before the command)         -> the usage / "korvex-cli 1.0.0"
#include <cstdint>
#include <string>
#include <vector>

#include "link/CommandLinePorts.h"
#include "protocol/ModuleFormat.h"

enum class ECliCommand {
  READ_CONFIG, WRITE_CONFIG, VERSION, RESET, SEND, MONITOR, STATS, PORTS, CONVERT, DECODE, REPLAY, SHOW_HELP,
  SHOW_VERSION
};

// How monitor prints received frames: as the receive list shows them, or as candump log lines
// (the events then go to standard error, so standard output holds nothing else); how stats
// prints its table: as text or CSV.
// SIGNALS: decoded by a DBC database (SignalLine.h).
enum class EFrameFormat { TEXT, CANDUMP, CSV, SIGNALS };

struct CliOptions {
  // Connection and output.
  bool m_bUsb = false;
  std::string m_portName;  // tty path or device name, or the USB serial number
  std::vector<CCommandLinePort> m_commandLinePorts;  // every --port, for `ports`
  uint32_t m_dwBaudRate = 38400;
  std::string m_eventLogPath;  // empty: no event log file
  std::string m_rdataLogPath;  // empty: no receive-data log file
  bool m_bTimestamps = false;
  bool m_bEnglish = false;  // --lang en: the events printed in English
  ECliCommand m_eCommand = ECliCommand::READ_CONFIG;

  // write-config: without --auto-reset and --report the default options apply.
  uint8_t m_byModeFlags = MODE_DEFAULT;
  uint16_t m_wBitTiming = BIT_TIMING_DEFAULT;
  uint32_t m_dwId = 0;
  uint32_t m_dwMaskId = 0;

  // send
  bool m_bStandard = false;
  bool m_bRemote = false;
  uint32_t m_dwFrameId = 0;
  std::vector<uint8_t> m_data;  // at most 8

  // monitor and stats; 0 means no limit
  uint32_t m_nSeconds = 0;
  uint64_t m_qwCount = 0;
  EFrameFormat m_eFormat = EFrameFormat::TEXT;

  // convert, decode and replay
  std::string m_inputPath;
  // replay
  uint32_t m_nLoops = 1;
  double m_dSpeed = 1.0;
  std::vector<uint32_t> m_replayIds;  // empty: every identifier
  bool m_bConvertToAsc = false;  // --to asc; candump lines otherwise
  std::string m_dbcPath;         // monitor --format signals and decode
};

struct CliParseResult {
  bool m_bOk = false;
  std::string m_error;  // why the command line was refused
  CliOptions m_options;
};

// The arguments after the program name.
CliParseResult ParseCommandLine(const std::vector<std::string>& args);
// The whole usage (--help, and the manual page made from it).
std::string CliUsage();
// "korvex-cli <version>"
std::string CliVersion();
