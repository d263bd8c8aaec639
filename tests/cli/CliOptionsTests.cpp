// korvex-cli's command lines in one table: what a good one asks for, or why a bad one is refused.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "cli/CliOptions.h"

namespace {

// A command line ('' for an empty argument) parsed into one line, or "! " and the refusal.
std::string Parsed(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> args;
  for (std::string word; in >> word;) args.push_back(word == "''" ? std::string() : word);
  const CliParseResult r = ParseCommandLine(args);
  if (!r.m_bOk) return "! " + r.m_error;
  const CliOptions& o = r.m_options;
  static const char* const kCommands[] = {"read-config", "write-config", "version", "reset",  "send",     "monitor",
                                          "stats",       "ports",        "convert", "decode", "replay", "--help",
                                          "--version"};
  static const char* const kFormats[] = {"", " candump", " csv", " signals"};
  std::ostringstream text;  // numbers of the command in hexadecimal, the monitor's limits in decimal
  text << (o.m_bUsb ? "usb " : "port ") << o.m_portName << ' ' << o.m_dwBaudRate;
  text << ' ' << kCommands[static_cast<int>(o.m_eCommand)] << std::hex << std::uppercase;
  if (o.m_eCommand == ECliCommand::WRITE_CONFIG)
    text << ' ' << int{o.m_byModeFlags} << ' ' << o.m_wBitTiming << ' ' << o.m_dwId << ' ' << o.m_dwMaskId;
  if (o.m_eCommand == ECliCommand::SEND)
    text << (o.m_bStandard ? " std" : " ext") << (o.m_bRemote ? " remote " : " ") << o.m_dwFrameId;
  if (o.m_eCommand == ECliCommand::MONITOR || o.m_eCommand == ECliCommand::STATS)
    text << std::dec << ' ' << o.m_nSeconds << ' ' << o.m_qwCount << kFormats[static_cast<int>(o.m_eFormat)];
  if (!o.m_dbcPath.empty()) text << " dbc " << o.m_dbcPath;
  if (o.m_eCommand == ECliCommand::CONVERT) text << (o.m_bConvertToAsc ? " asc " : " ") << o.m_inputPath;
  if (o.m_eCommand == ECliCommand::DECODE) text << ' ' << o.m_inputPath;
  if (o.m_eCommand == ECliCommand::REPLAY) {
    text << std::dec << ' ' << o.m_nLoops << ' ' << o.m_dSpeed << std::hex;
    for (const uint32_t dwId : o.m_replayIds) text << " id " << dwId;
    text << ' ' << o.m_inputPath;
  }
  for (const uint8_t by : o.m_data) text << ' ' << int{by};
  if (o.m_bEnglish) text << " en";
  return text.str();
}

}  // namespace

TEST(CliOptions, GoodAndBadCommandLines) {
  const struct { const char* pszLine; const char* pszExpected; } kCases[] = {  // "! ": a part of the reason
      {"ports", "port  38400 ports"},  // listing the ports needs none
      {"--port a --port=b=module ports", "port a 38400 ports"},  // ports takes several
      {"--port p=module version", "port p 38400 version"},
      // write-config: mode byte, bit timing, ID, mask; the defaults are automatic reset and bus-off reports
      {"--port p write-config", "port p 38400 write-config 1C F34 0 0"},
      {"--port p write-config --report busoff,passive,warning", "port p 38400 write-config 17 F34 0 0"},
      {"--port p write-config --std --report warning --auto-reset", "port p 38400 write-config 9 F34 0 0"},
      {"--port p write-config --report ''", "port p 38400 write-config 10 F34 0 0"},
      {"--port p write-config --bitrate 1M", "port p 38400 write-config 1C 334 0 0"},
      {"--port p write-config --bit-timing 277a", "port p 38400 write-config 1C 277A 0 0"},
      {"--port p write-config --std --id 7FF --mask 0x7f0", "port p 38400 write-config C F34 7FF 7F0"},
      {"--port p write-config --id 1FFFFFFF --mask 0", "port p 38400 write-config 1C F34 1FFFFFFF 0"},
      {"--port p send 0 0 1 2 3 4 5 6 ff", "port p 38400 send ext 0 0 1 2 3 4 5 6 FF"},
      {"--port p monitor --seconds 4294967295 --count 100000", "port p 38400 monitor 4294967295 100000"},
      {"--port p monitor --format candump --format text", "port p 38400 monitor 0 0"},  // the last one holds
      {"--port p monitor --count 2 --format candump", "port p 38400 monitor 0 2 candump"},
      {"--port p stats --format csv --seconds 3", "port p 38400 stats 3 0 csv"},
      {"--port p stats --format csv --format text", "port p 38400 stats 0 0"},
      {"convert RDataLog.txt", "port  38400 convert RDataLog.txt"},  // a file, no port
      {"--port p monitor --dbc car.dbc --format signals", "port p 38400 monitor 0 0 signals dbc car.dbc"},
      {"decode run.log --dbc car.dbc", "port  38400 decode dbc car.dbc run.log"},
      {"--port p --version monitor --frobnicate", "port p 38400 --version"}, {"--help", "port  38400 --help"},
      // Refusals.
      {"version", "! give --port PATH or --usb SERIAL"}, {"--port p", "! no command"},
      {"--port p --usb u version", "! --port and --usb exclude each other"},
      {"--port p --port q version", "! --port is given twice"}, {"--port", "! --port needs a path"},
      {"--port '' version", "! --port : the path is empty"}, {"--port p=modem version", "! --port p=modem: unknown port kind"},
      {"--port p --lang en version", "port p 38400 version en"}, {"--port p --lang ko version", "port p 38400 version"},
      {"--port p --lang de version", "! --lang takes ko or en"},
      {"--port p --baud 115200 version", "! --baud takes 38400 or 921600"},
      {"--usb u --baud 921600 version", "! --baud applies to --port only"},
      {"--port p --verbose version", "! unknown option '--verbose'"}, {"--port p frobnicate", "! unknown command 'frobnicate'"},
      {"--port p version now", "! version takes no arguments"}, {"--port p write-config --bit-timing zz", "! CAN 비트 타임 데이터 입력이 잘못되었읍니다"},
      {"--port p write-config --bitrate 300K", "! --bitrate takes 1M, 500K"},
      {"--port p write-config --bitrate 1M --bit-timing 0x0334", "! give one of --bitrate and --bit-timing, once"},
      {"--port p write-config --std --id 800", "! --id 0x800 does not fit in 11 bits"},
      {"--port p write-config --id 800 --std", "! --id 0x800 does not fit in 11 bits"},  // in any order
      {"--port p write-config --std --mask FFFF", "! --mask 0xFFFF does not fit in 11 bits"},
      {"--port p write-config --id 20000000", "! --id 0x20000000 does not fit in 29 bits"},
      {"--port p write-config --id 1FFFFFFFF", "! --id takes a hexadecimal number"},
      {"--port p write-config --std --ext", "! --std and --ext exclude each other"},
      {"--port p write-config --report busoff,loud", "! --report takes busoff, passive and warning"},
      {"--port p send", "! send needs an identifier"}, {"--port p send 12x", "! the identifier must be hexadecimal"},
      {"--port p send --std 800 11", "! the identifier 0x800 does not fit in 11 bits"},
      {"--port p send 1 0 1 2 3 4 5 6 7 8", "! a frame carries at most 8 data bytes"},
      {"--port p send 1 100", "! data byte '100' is not a hexadecimal byte"},
      {"--port p send --remote 1 11", "! a remote frame carries no data bytes"},
      {"--port p send --loud 1", "! send does not know '--loud'"},
      {"--port p monitor --seconds 0", "! --seconds takes a whole number from 1 to 4294967295, not '0'"},
      {"--port p monitor --seconds 4294967296", "! --seconds takes a whole number from 1 to 4294967295"},
      {"--port p monitor --count 18446744073709551616", "! --count takes a whole number from 1 to"},
      {"--port p monitor --count", "! --count needs a value"}, {"--port p monitor --forever", "! monitor does not know '--forever'"},
      {"--port p monitor --format json", "! --format takes text, candump or signals, not 'json'"},
      {"--port p monitor --format csv", "! --format takes text, candump or signals, not 'csv'"},
      {"--port p stats --format candump", "! --format takes text or csv, not 'candump'"},
      {"--port p stats --count 5", "! stats does not know '--count'"},
      {"convert --to asc a.log", "port  38400 convert asc a.log"}, {"convert a --to candump", "port  38400 convert a"},
      {"convert --to blf a", "! --to takes candump or asc, not 'blf'"}, {"convert --to asc", "! convert needs the log file"},
      {"convert", "! convert needs the log file"}, {"convert a b", "! convert takes one file"},
      {"--rdata-log r convert a", "! convert reads a file: it takes no port and writes no log"},
      {"--port p monitor --format signals", "! --format signals and --dbc FILE go together"},
      {"--port p monitor --dbc car.dbc", "! --format signals and --dbc FILE go together"},
      {"--port p monitor --dbc a --dbc b --format signals", "! --dbc is given twice"},
      {"--port p stats --dbc car.dbc", "! stats does not know '--dbc'"},
      {"decode --dbc car.dbc", "! decode takes --dbc FILE and one log file"},
      {"decode --dbc car.dbc a b", "! decode takes --dbc FILE and one log file"},
      {"--port p decode --dbc car.dbc a", "! decode reads a file"}, {"--port p replay t.log", "port p 38400 replay 1 1 t.log"},
      {"--port p replay --loop 3 --speed 0.5 --id 123,0x1FFFFFFF t.log", "port p 38400 replay 3 0.5 id 123 id 1FFFFFFF t.log"},
      {"--port p replay --speed 0 t.log", "! --speed takes a number from 0.001 to 1000, not '0'"},
      {"--port p replay --speed 1e3 t.log", "! --speed takes a number from 0.001 to 1000, not '1e3'"},
      {"--port p replay --speed nan t.log", "! --speed takes a number"},
      {"--port p replay --id 123,,7 t.log", "! --id takes hexadecimal identifiers separated by commas"},
      {"--port p replay --id 20000000 t.log", "! --id takes hexadecimal identifiers"},
      {"--port p replay --loop 0 t.log", "! --loop takes a whole number from 1"},
      {"--port p replay a b", "! replay takes one file"}, {"--port p replay", "! replay needs the candump log"},
      {"replay t.log", "! give --port PATH or --usb SERIAL"},
  };
  for (const auto& c : kCases) {
    const std::string parsed = Parsed(c.pszLine);
    EXPECT_EQ(parsed.substr(0, *c.pszExpected == '!' ? std::strlen(c.pszExpected) : std::string::npos), c.pszExpected)
        << c.pszLine << "\n  gave " << parsed;
  }
}
