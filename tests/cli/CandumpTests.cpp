// Received frames as candump lines, from a frame and from the analyzer's receive-data log.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "cli/CCliSession.h"
#include "logs/CandumpLine.h"
#include "cli/LogConvert.h"
#include "cli/SignalLine.h"
#include "logs/RDataLogLine.h"
#include "protocol/ResponseText.h"
#include "receive/CLogFiles.h"
#include "support/MemoryFile.h"
#include "support/ScratchDir.h"
#include "support/TestFrames.h"

namespace {

std::string Candump(const CanFrame& frame, int64_t nWallNs) {
  std::string line;
  CandumpLine(frame, nWallNs, line);
  return line;
}

struct SConverted { int nExit; std::string out, err; };

SConverted Convert(const std::string& path, EConvertTarget eTarget = EConvertTarget::CANDUMP,
                   const CDbcDatabase* pDatabase = nullptr) {
  CMemoryFile out, err;
  const int nExit = ConvertLog(path, eTarget, out.File(), err.File(), pDatabase);
  return {nExit, out.Text(), err.Text()};
}

}  // namespace

TEST(CandumpLine, IdentifierWidthsRemoteFramesAndData) {
  const int64_t T = 1700000000LL * 1000000000 + 42999;  // 42.999 microseconds: truncated
  const struct { CanFrame frame; const char* pszLine; } kCases[] = {
      {TestFrame(true, false, 2, 0x123, {0x11, 0x22}), "(1700000000.000042) korvex0 123#1122"},
      {TestFrame(true, false, 0, 0xF923), "(1700000000.000042) korvex0 123#"},  // the low 11 bits
      {TestFrame(false, false, 8, 0x0CF00400, {1, 2, 3, 4, 5, 6, 7, 0xAB}), "(1700000000.000042) korvex0 0CF00400#01020304050607AB"},
      {TestFrame(false, false, 0, 0xFFFFFFFF), "(1700000000.000042) korvex0 1FFFFFFF#"},  // bit 29 would read as an error frame
      {TestFrame(true, true, 0, 0x7E8), "(1700000000.000042) korvex0 7E8#R"},
      {TestFrame(false, true, 3, 0x18EA00F9, {0xAA}), "(1700000000.000042) korvex0 18EA00F9#R3"},  // carried bytes ignored
      {TestFrame(true, false, 4, 0x123, {0xAA}), "(1700000000.000042) korvex0 123#AA"},  // cut short: what it carried
  };
  for (const auto& c : kCases) EXPECT_EQ(Candump(c.frame, T), c.pszLine);
  EXPECT_EQ(Candump(TestFrame(true, true, 0, 1), -5), "(0.000000) korvex0 001#R");
}

// The log writer's lines come back as the same frames; every other line is named, skipped and counted in the exit.
TEST(RDataLogConvert, ReadsWhatTheLogWriterWroteAndNamesEveryOtherLine) {
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  ScratchDir dir;
  const std::string path = dir / "RDataLog.txt";
  const CanFrame kFrames[] = {TestFrame(true, false, 2, 0x123, {0x01, 0x02}), TestFrame(false, true, 3, 0x18EA00F9),
                              TestFrame(false, false, 8, 0x1ABCDEF0, {0, 1, 2, 3, 4, 5, 6, 7}),
                              TestFrame(true, false, 0, 0x7FF), TestFrame(true, false, 4, 0x100, {0xAA})};
  std::string expected;
  {
    CLogFiles logs;
    logs.SetPath(LOG_RDATA, path);
    logs.OpenLogFile(LOG_RDATA);
    logs.SetLogging(LOG_RDATA, true);
    std::string text;
    for (std::size_t i = 0; i < std::size(kFrames); ++i) {
      ReceivedFrameLine(kFrames[i], text);
      logs.WriteStampedLine(LOG_RDATA, text, 1714567507 + static_cast<std::time_t>(i));
      expected += Candump(kFrames[i], (1714567507 + static_cast<int64_t>(i)) * 1000000000) + "\n";
    }
  }
  const SConverted good = Convert(path);
  EXPECT_EQ(std::tie(good.nExit, good.out, good.err), std::tuple(CLI_EXIT_ANSWERED, expected, ""));

  {
    std::FILE* pFile = std::fopen(path.c_str(), "ab");
    std::fputs("2024.05.01 13:45:07  CAN2.0A  Data Frame    \xb1\xe6\xc0\xcc:2  ID:12G       \r\n", pFile);  // line 6
    std::fputs(std::string(100000, 'A').c_str(), pFile);  // line 7: too long; 8: an event; 9: blank
    std::fputs("\r\n2024.05.01 13:45:07  [CAN \xb8\xae\xbc\xc2 \xc0\xc0\xb4\xe4]             : Command Reset\r\n", pFile);
    std::fputs("\r\n2024.05.01 13:45:07  CAN2.0A  Remote Frame  \xb1\xe6\xc0\xcc:0  ID:7E8       \n", pFile);  // 10: LF alone
    std::fputs("2024.05.01 13:45:07  CAN2.0A  Remote Frame  \xff\xff:0  ID:7E8       ", pFile);  // 11: not CP949
    std::fclose(pFile);
  }
  const SConverted mixed = Convert(path);
  EXPECT_EQ(mixed.nExit, CLI_EXIT_LINES_SKIPPED);
  EXPECT_EQ(mixed.out, expected + "(1714571107.000000) korvex0 7E8#R\n");
  const std::string at = "korvex-cli: " + path + ":";
  EXPECT_EQ(mixed.err, at + "6: not a received frame, skipped\n" + at + "7: line too long, skipped\n" + at +
                           "8: not a received frame, skipped\n" + at + "11: not a received frame, skipped\n" +
                           "korvex-cli: " + path + ": 4 of 10 lines skipped\n");

  // Only events (no log read here), a missing file, a directory.
  const std::string events = dir.Write("EventLog.txt", "2024.05.01 13:45:07  [CAN \xb8\xae\xbc\xc2 \xc0\xc0\xb4\xe4] : Command Reset\r\n");
  const struct { std::string path; int nExit; std::string err; } kFailures[] = {
      {events, CLI_EXIT_NO_INPUT, "korvex-cli: " + events + ": not a candump, ASC or receive-data log\n"},
      {dir / "missing.txt", CLI_EXIT_NO_INPUT, "korvex-cli: " + (dir / "missing.txt") + ": open: No such file or directory\n"},
      {dir.Path(), CLI_EXIT_NO_INPUT, "korvex-cli: " + dir.Path() + ": read: Is a directory\n"},
  };
  for (const auto& f : kFailures) {
    const SConverted r = Convert(f.path);
    EXPECT_EQ(std::tie(r.nExit, r.out, r.err), std::tuple(f.nExit, "", f.err));
  }
}

// Local stamps: a time in the skipped summer-time hour is still a frame; impossible dates and times are refused.
TEST(RDataLogConvert, StampsAreLocalTimeAndOnlyImpossibleOnesAreRefused) {
  ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);  // summer time from 2024-03-31 02:00 to 03:00
  ::tzset();
  const struct { const char* pszStamp; std::time_t tExpected; } kCases[] = {  // -1: refused
      {"2024.03.31 01:59:59", 1711846799}, {"2024.03.31 02:30:00", 1711848600}, {"2024.03.31 03:00:00", 1711846800},
      {"2024.02.29 12:00:00", 1709204400}, {"2023.02.29 12:00:00", -1}, {"2024.04.31 12:00:00", -1},
      {"2024.00.10 12:00:00", -1},         {"2024.13.01 12:00:00", -1}, {"2024.05.01 24:00:00", -1},
      {"2024.05.01 12:60:00", -1},         {"2024.05.01 12:00:60", -1},
  };
  for (const auto& c : kCases) {
    const auto entry = ParseRDataLogLine(std::string(c.pszStamp) + "  CAN2.0A  Remote Frame  \xb1\xe6\xc0\xcc:0  ID:7E8       ");
    EXPECT_EQ(entry ? entry->m_arrival.m_nWallNs / 1000000000 : -1, c.tExpected) << c.pszStamp;
  }
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
}

// decode: known frames as signals (units, quoted values, multiplexing), the rest as candump lines or named.
TEST(LogDecode, SignalLinesFromALog) {
  ScratchDir dir;
  const std::string dbc = dir.Write("car.dbc",
      "BO_ 256 Engine: 3 ECU\n SG_ Mode M : 0|2@1+ (1,0) [0|3] \"\" X\n SG_ Rpm m1 : 8|16@1+ (0.25,0) [0|0] \"rpm\" X\n"
      " SG_ Temp m2 : 8|8@1- (1,-40) [0|0] \"deg C\" X\n"
      "BO_ 2147483649 Gear: 1 ECU\n SG_ Gear : 0|4@1+ (1,0) [0|0] \"\" X\n"
      "VAL_ 2147483649 Gear 1 \"first \\\"1\\\"\" 2 \"tab\there\";\n");
  const std::string log = dir.Write("run.log",
      "(1700000000.000042) can0 100#01E803\n(1700000000.100000) can0 100#02FF\n(1700000000.200000) can0 00000001#01\n"
      "(1700000000.300000) can0 00000001#0F\n(1700000000.400000) can0 00000001#02\n(1700000001.000000) can0 100#R\n"
      "(1700000002.000000) can0 101#01\nnot a frame\n(1700000003.000000) can0 100#01\n");
  CDbcDatabase database;
  ASSERT_TRUE(LoadDatabase(dbc, database, stderr));
  const SConverted decoded = Convert(log, EConvertTarget::SIGNALS, &database);
  EXPECT_EQ(decoded.nExit, CLI_EXIT_LINES_SKIPPED);
  EXPECT_EQ(decoded.out, "(1700000000.000042) Engine Mode=1 Rpm=250[rpm]\n"
                         "(1700000000.100000) Engine Mode=2 Temp=-41[deg C]\n"
                         "(1700000000.200000) Gear Gear=\"first \\\"1\\\"\"\n"
                         "(1700000000.300000) Gear Gear=15\n"
                         "(1700000000.400000) Gear Gear=\"tab\\x09here\"\n"
                         "(1700000001.000000) korvex0 100#R\n(1700000002.000000) korvex0 101#01\n"
                         "(1700000003.000000) Engine Mode=1\n");  // Rpm's bytes are not in the frame
  EXPECT_NE(decoded.err.find("run.log:8: "), std::string::npos) << decoded.err;

  const std::string bad = dir.Write("bad.dbc", "BO_ 256 Engine: 1 ECU\n SG_ Rpm : 0|16@1+ (1,0) [0|0] \"\" X\n");
  CMemoryFile err;
  EXPECT_FALSE(LoadDatabase(bad, database, err.File()));
  EXPECT_EQ(err.Text(), "korvex-cli: " + bad + ": line 2, column 6: signal Rpm does not fit in the message's 1 bytes\n");
}
