// Table-driven checks of korvex-cli command lines, good and bad.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/CliOptions.h"
#include "cli/CliPorts.h"
#include "link/SerialPortDiscovery.h"

namespace {

std::vector<std::string> Split(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word == "''" ? std::string() : word);
  return words;
}

CliParseResult Parse(const std::string& line) { return ParseCommandLine(Split(line)); }

TEST(CliOptions, ConnectionAndOutputOptions) {
  auto r = Parse("--port /dev/pts/7 --baud 921600 --event-log /tmp/e.txt --rdata-log r.txt --timestamps version");
  ASSERT_TRUE(r.m_bOk) << r.m_error;
  EXPECT_FALSE(r.m_options.m_bUsb);
  EXPECT_EQ(r.m_options.m_portName, "/dev/pts/7");
  EXPECT_EQ(r.m_options.m_dwBaudRate, 921600u);
  EXPECT_EQ(r.m_options.m_eventLogPath, "/tmp/e.txt");
  EXPECT_EQ(r.m_options.m_rdataLogPath, "r.txt");
  EXPECT_TRUE(r.m_options.m_bTimestamps);
  EXPECT_EQ(r.m_options.m_eCommand, ECliCommand::VERSION);

  r = Parse("--usb KX12345 reset");
  ASSERT_TRUE(r.m_bOk) << r.m_error;
  EXPECT_TRUE(r.m_options.m_bUsb);
  EXPECT_EQ(r.m_options.m_portName, "KX12345");
  EXPECT_EQ(r.m_options.m_eCommand, ECliCommand::RESET);
  EXPECT_TRUE(r.m_options.m_eventLogPath.empty());

  r = Parse("--port ttyUSB0 read-config");
  ASSERT_TRUE(r.m_bOk);
  EXPECT_EQ(r.m_options.m_dwBaudRate, 38400u);
  EXPECT_EQ(r.m_options.m_eCommand, ECliCommand::READ_CONFIG);
}

TEST(CliOptions, WriteConfigBuildsTheModeByteFromItsFlags) {
  const struct {
    const char* pszArgs;
    uint8_t byMode;
    uint16_t wBitTiming;
    uint32_t dwId;
    uint32_t dwMask;
  } kCases[] = {
      {"", 0x1C, 0x0F34, 0, 0},  // the settings' defaults
      {"--std", 0x0C, 0x0F34, 0, 0},
      {"--ext --auto-reset", 0x18, 0x0F34, 0, 0},
      {"--report busoff,passive,warning", 0x17, 0x0F34, 0, 0},
      {"--std --report warning --auto-reset", 0x09, 0x0F34, 0, 0},
      {"--report ''", 0x10, 0x0F34, 0, 0},
      {"--bitrate 1M", 0x1C, 0x0334, 0, 0},
      {"--bitrate 25K", 0x1C, 0x3F7F, 0, 0},
      {"--bit-timing 0x0734", 0x1C, 0x0734, 0, 0},
      {"--bit-timing 277a", 0x1C, 0x277A, 0, 0},
      {"--std --id 7FF --mask 0x7f0", 0x0C, 0x0F34, 0x7FF, 0x7F0},
      {"--id 1FFFFFFF --mask 0", 0x1C, 0x0F34, 0x1FFFFFFF, 0},
      {"--id 800 --std", 0x00, 0, 0, 0},  // refused below: the order of options does not matter
  };
  for (const auto& c : kCases) {
    const auto r = Parse(std::string("--port p write-config ") + c.pszArgs);
    if (c.wBitTiming == 0) {
      EXPECT_FALSE(r.m_bOk) << c.pszArgs;
      continue;
    }
    ASSERT_TRUE(r.m_bOk) << c.pszArgs << ": " << r.m_error;
    EXPECT_EQ(r.m_options.m_byModeFlags, c.byMode) << c.pszArgs;
    EXPECT_EQ(r.m_options.m_wBitTiming, c.wBitTiming) << c.pszArgs;
    EXPECT_EQ(r.m_options.m_dwId, c.dwId) << c.pszArgs;
    EXPECT_EQ(r.m_options.m_dwMaskId, c.dwMask) << c.pszArgs;
  }
}

TEST(CliOptions, SendTakesIdentifierAndUpToEightBytes) {
  auto r = Parse("--port p send --std 123 11 22");
  ASSERT_TRUE(r.m_bOk) << r.m_error;
  EXPECT_TRUE(r.m_options.m_bStandard);
  EXPECT_FALSE(r.m_options.m_bRemote);
  EXPECT_EQ(r.m_options.m_dwFrameId, 0x123u);
  EXPECT_EQ(r.m_options.m_data, (std::vector<uint8_t>{0x11, 0x22}));

  r = Parse("--port p send --remote 1FFFFFFF");
  ASSERT_TRUE(r.m_bOk) << r.m_error;
  EXPECT_FALSE(r.m_options.m_bStandard);
  EXPECT_TRUE(r.m_options.m_bRemote);
  EXPECT_TRUE(r.m_options.m_data.empty());

  r = Parse("--port p send 0 0 1 2 3 4 5 6 ff");
  ASSERT_TRUE(r.m_bOk) << r.m_error;
  EXPECT_EQ(r.m_options.m_data.size(), 8u);
  EXPECT_EQ(r.m_options.m_data.back(), 0xFF);
}

TEST(CliOptions, MonitorLimits) {
  auto r = Parse("--port p monitor");
  ASSERT_TRUE(r.m_bOk);
  EXPECT_EQ(r.m_options.m_nSeconds, 0u);
  EXPECT_EQ(r.m_options.m_qwCount, 0u);
  r = Parse("--port p monitor --seconds 4000000 --count 100000");
  ASSERT_TRUE(r.m_bOk);
  EXPECT_EQ(r.m_options.m_nSeconds, 4000000u);
  EXPECT_EQ(r.m_options.m_qwCount, 100000u);
}

TEST(CliOptions, BadCommandLinesAreRefusedWithAReason) {
  const struct {
    const char* pszArgs;
    const char* pszReason;  // a part of the message
  } kBad[] = {
      {"", "no command"},
      {"version", "--port"},
      {"--port p", "no command"},
      {"--port p --usb u version", "exclude"},
      {"--port p --port q version", "twice"},
      {"--port", "needs a value"},
      {"--port '' version", "needs a value"},
      {"--port p --baud 115200 version", "38400 or 921600"},
      {"--usb u --baud 921600 version", "--port only"},
      {"--port p --verbose version", "unknown option"},
      {"--port p frobnicate", "unknown command"},
      {"--port p version now", "no arguments"},
      {"--port p write-config --bit-timing 0xFFFF", "CAN 비트 타임 데이터 입력이 잘못되었읍니다"},
      {"--port p write-config --bit-timing 0x0F3", "CAN 비트 타임 데이터 입력이 잘못되었읍니다"},
      {"--port p write-config --bit-timing 0F34F", "CAN 비트 타임 데이터 입력이 잘못되었읍니다"},
      {"--port p write-config --bit-timing zz", "CAN 비트 타임 데이터 입력이 잘못되었읍니다"},
      {"--port p write-config --bitrate 300K", "--bitrate takes"},
      {"--port p write-config --bitrate 1M --bit-timing 0x0334", "once"},
      {"--port p write-config --std --id 800", "11 bits"},
      {"--port p write-config --std --mask FFFF", "11 bits"},
      {"--port p write-config --id 20000000", "29 bits"},
      {"--port p write-config --id 1FFFFFFFF", "hexadecimal"},
      {"--port p write-config --id -1", "hexadecimal"},
      {"--port p write-config --std --ext", "exclude"},
      {"--port p write-config --report busoff,loud", "--report takes"},
      {"--port p write-config --id", "needs a value"},
      {"--port p send", "identifier"},
      {"--port p send --std 800 11", "11 bits"},
      {"--port p send 20000000", "29 bits"},
      {"--port p send 12x", "hexadecimal"},
      {"--port p send 1 0 1 2 3 4 5 6 7 8", "at most 8"},
      {"--port p send 1 100", "not a hexadecimal byte"},
      {"--port p send 1 g1", "not a hexadecimal byte"},
      {"--port p send --remote 1 11", "no data"},
      {"--port p send --loud 1", "does not know"},
      {"--port p monitor --seconds 0", "from 1 to 4000000"},
      {"--port p monitor --seconds 4000001", "from 1 to 4000000"},
      {"--port p monitor --count -5", "whole number"},
      {"--port p monitor --count", "needs a value"},
      {"--port p monitor --forever", "does not know"},
  };
  for (const auto& c : kBad) {
    const auto r = Parse(c.pszArgs);
    EXPECT_FALSE(r.m_bOk) << c.pszArgs;
    EXPECT_NE(r.m_error.find(c.pszReason), std::string::npos) << c.pszArgs << " -> " << r.m_error;
  }
}

TEST(CliOptions, PortsNeedsNoPort) {
  auto r = Parse("ports");
  ASSERT_TRUE(r.m_bOk) << r.m_error;
  EXPECT_EQ(r.m_options.m_eCommand, ECliCommand::PORTS);
  EXPECT_TRUE(r.m_options.m_portName.empty());
  r = Parse("--port /tmp/sim.tty ports");
  ASSERT_TRUE(r.m_bOk) << r.m_error;
  EXPECT_EQ(r.m_options.m_portName, "/tmp/sim.tty");
  EXPECT_FALSE(Parse("ports all").m_bOk);
}

TEST(CliPorts, ListsArePrintedOneALine) {
  CPortLists lists;
  lists.m_serialPorts = {{"ttyUSB0", "/dev/ttyUSB0", "Ostwind USB Korvex Analyzer Device (ttyUSB0)", 1},
                         {"ttyS0", "/dev/ttyS0", "ttyS0", 0}};
  lists.m_usbSerialNumbers = {"KX000123"};
  lists.m_strError = "cannot read the tree";
  char* pszOut = nullptr;
  char* pszErr = nullptr;
  std::size_t nOut = 0;
  std::size_t nErr = 0;
  std::FILE* pOut = open_memstream(&pszOut, &nOut);
  std::FILE* pErr = open_memstream(&pszErr, &nErr);
  PrintPortLists(lists, pOut, pErr);
  std::fclose(pOut);
  std::fclose(pErr);
  EXPECT_EQ(std::string(pszOut, nOut),
            "serial  ttyUSB0  module  Ostwind USB Korvex Analyzer Device (ttyUSB0)\n"
            "serial  ttyS0  -  ttyS0\n"
            "usb  KX000123\n");
  EXPECT_EQ(std::string(pszErr, nErr), "cannot read the tree\n");
  std::free(pszOut);
  std::free(pszErr);
}

TEST(CliOptions, UsageNamesEveryCommand) {
  const std::string usage = CliUsage();
  for (const char* psz : {"read-config", "write-config", "version", "reset", "send", "monitor", "ports", "--timestamps"})
    EXPECT_NE(usage.find(psz), std::string::npos) << psz;
}

}  // namespace
