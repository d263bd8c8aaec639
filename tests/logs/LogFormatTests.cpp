// ASC lines, format recognition, the bounded reader and the recorders (interoperation: log_interop.py).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "logs/AscFormat.h"
#include "logs/CFrameRecorder.h"
#include "logs/CLogIndex.h"
#include "logs/CLogReader.h"
#include "logs/CandumpLine.h"
#include "support/ScratchDir.h"
#include "support/TestFrames.h"

namespace {

constexpr int64_t S = 1000000000;

// Every test here reads and writes times in UTC.
[[maybe_unused]] const bool UTC_ZONE = (::setenv("TZ", "UTC0", 1), ::tzset(), true);

std::string Describe(const ReceivedFrame& r) {
  std::string line;
  CandumpLine(r.m_frame, r.m_arrival.m_nWallNs, line);
  return line + (r.m_frame.m_byLength != r.m_frame.m_byDataCount && !r.m_frame.m_bRemote ? " short" : "");
}

// Every frame and refused line of a file, one text line each.
std::string ReadAll(const std::string& path) {
  CLogReader reader;
  if (!reader.Open(path)) return "! " + reader.LastError();
  std::string out = std::string(LogFormatName(reader.Format())) + "\n";
  ReceivedFrame record;
  for (ELogRead e; (e = reader.Next(record)) != ELogRead::END;) {
    if (e == ELogRead::FAILED) return out + "! " + reader.LastError();
    out += e == ELogRead::FRAME ? Describe(record) : std::to_string(reader.LineNumber()) + ": " + reader.SkipReason();
    out += '\n';
  }
  return out;
}

}  // namespace

// One file's lines in order, so header state (base, time mode, start) carries from line to line.
TEST(LogFormat, AscLinesAsOtherToolsWriteThem) {
  const struct { const char* pszLine; const char* pszExpected; } kLines[] = {  // "": holds no frame
      {"date Tue Nov 14 10:13:20.000 pm 2023", ""},
      {"base hex  timestamps absolute", ""},
      {"internal events logged", ""},
      {"// version 9.0.0", ""},
      {"Begin Triggerblock Tue Nov 14 10:13:20.000 pm 2023", ""},
      {"   0.000000 Start of measurement", ""},
      {"   0.000042 1  123             Rx   d 2 11 22", "(1700000000.000042) korvex0 123#1122"},
      {"   1.5 2  18FEF100x  Tx   d 8 01 02 03 04 05 06 07 08  Length = 228000 BitCount = 118 ID = 419361024x",
       "(1700000001.500000) korvex0 18FEF100#0102030405060708"},
      {"   2.000000 1  7E8             Rx   r\r", "(1700000002.000000) korvex0 7E8#R"},  // old writers: no length
      {"   2.000001 1  7E8             Rx   r 3", "(1700000002.000001) korvex0 7E8#R3"},
      {"   2.1 1  100  Rx   d F 01 02 03 04 05 06 07 08", "(1700000002.100000) korvex0 100#0102030405060708"},
      {"   2.2 1  100  Rx   d 4 AA", "(1700000002.200000) korvex0 100#AA short"},  // cut short: kept so
      {"   2.3 1  800  Rx   d 0", "! bad identifier"},  // 2.0A has 11 bits
      {"   2.3 1  20000000x  Rx   d 0", "! bad identifier"},
      {"   2.3 1  ErrorFrame", "! an error frame"},
      {"   2.3 CANFD   1 Rx 123  1 0 8 8 11 22 33 44 55 66 77 88", "! not a CAN 2.0 frame"},
      {"   2.3 1  123  Rx   d", "! bad length"},
      {"   2.3 1  123  Rx   x 1 00", "! neither a data nor a remote frame"},
      {"   2.3.4 1  123  Rx   d 0", "! not an ASC line"},
      {"hello", "! not an ASC line"},
      {"End TriggerBlock", ""},
      // Decimal numbers and times counted from the event before.
      {"base dec timestamps relative", ""},
      {"Begin Triggerblock Tue Nov 14 22:13:20 2023", ""},  // 24-hour, whole seconds
      {"   0.5 1  291  Rx   d 2 17 255", "(1700000000.500000) korvex0 123#11FF"},
      {"   0.25 1  Statistic: D 1 R 0", "! not a CAN 2.0 frame"},  // an event: moves the clock
      {"   0.25 1  419361024x  Rx   d 0", "(1700000001.000000) korvex0 18FEF100#"},
      {"   0.25 1  256 Rx   d 1 256", "(1700000001.250000) korvex0 100# short"},
  };
  CAscParser parser;
  for (const auto& c : kLines) {
    ReceivedFrame record;
    const EAscLine e = parser.Parse(c.pszLine, record);
    const std::string got =
        e == EAscLine::FRAME ? Describe(record) : e == EAscLine::NO_FRAME ? "" : std::string("! ") + parser.Reason();
    EXPECT_EQ(got, c.pszExpected) << c.pszLine;
  }
}

TEST(LogFormat, AscDatesInEveryFormWritersUse) {
  const struct { const char* pszDate; int64_t nNs; } kDates[] = {  // -1: refused
      {"Tue Nov 14 10:13:20.000 pm 2023", 1700000000 * S},
      {"Tue Nov 14 10:13:20.250 PM 2023", 1700000000 * S + S / 4},
      {"Nov 14 22:13:20 2023", 1700000000 * S},
      {"Di Dez 12 12:00:00 am 2023", 1702339200 * S},  // German; 12 am is midnight
      {"Fri Dec 15 12:30:00 pm 2023", 1702643400 * S},
      {"Fri Feb 30 10:00:00 2024", -1}, {"Fri Foo 10 10:00:00 2024", -1}, {"Fri Feb 10 13:00:00 pm 2024", -1},
      {"Fri Feb 10 10:00 2024", -1},   {"Fri Feb 10 10:00:00 2024 extra", -1}, {"", -1},
  };
  for (const auto& d : kDates) EXPECT_EQ(ParseAscDate(d.pszDate), d.nNs) << d.pszDate;
}

TEST(LogFormat, RecognisedFromTheFirstLinesThatSayAnything) {
  const struct { std::string head; ELogFormat eFormat; } kHeads[] = {
      {"\n\n(1700000000.000042) can0 123#1122\n", ELogFormat::CANDUMP},
      {"garbage\n(1700000000.000042) can0 123##1112233\n", ELogFormat::CANDUMP},  // an FD line says it too
      {"date Tue Nov 14 10:13:20.000 pm 2023\r\nbase hex  timestamps absolute\r\n", ELogFormat::ASC},
      {"// comment\n   0.000042 1  123             Rx   d 2 11 22\n", ELogFormat::ASC},
      {"2024.05.01 13:45:07  CAN2.0A  Remote Frame  \xb1\xe6\xc0\xcc:0  ID:7E8       \r\n", ELogFormat::RDATA_LOG},
      {"// only a comment\n", ELogFormat::UNKNOWN},
      {std::string(70000, '\0'), ELogFormat::UNKNOWN},
      {"#include <stdio.h>\nint main() {}\n", ELogFormat::UNKNOWN},
  };
  for (const auto& h : kHeads) EXPECT_EQ(DetectLogFormat(h.head), h.eFormat) << h.head.substr(0, 40);
}

// A candump log to ASC and back gives the same frames and times, to the microsecond.
TEST(LogFormat, CandumpToAscToCandumpKeepsEveryFrame) {
  ScratchDir dir;
  std::string candump, asc;
  CAscWriter writer;
  std::vector<ReceivedFrame> frames;
  int64_t nTime = 1700000000 * S + 999999000;  // the ASC start is cut to the second before
  for (uint32_t i = 0; i < 500; ++i) {
    const bool bStandard = i % 3 != 0, bRemote = i % 7 == 0;
    std::vector<uint8_t> data(bRemote ? 0 : i % 9);
    for (std::size_t b = 0; b < data.size(); ++b) data[b] = static_cast<uint8_t>(i * 31 + b);
    nTime += (i * 7919) % 2000000 * 1000 + 1000;
    const uint32_t dwId = (i * 2654435761u) & (bStandard ? 0x7FF : 0x1FFFFFFF);
    frames.push_back({TestFrame(bStandard, bRemote, static_cast<uint8_t>(i % 9), dwId, data), {0, nTime}});
  }
  writer.Begin(frames.front().m_arrival.m_nWallNs, asc);
  std::string line;
  for (const ReceivedFrame& r : frames) {
    CandumpLine(r.m_frame, r.m_arrival.m_nWallNs, line);
    candump += line + "\n";
    writer.Frame(r, asc);
  }
  CAscWriter::End(asc);
  EXPECT_EQ(std::tuple(ReadAll(dir.Write("x.asc", asc)), ReadAll(dir.Write("x.log", candump))),
            std::tuple("ASC\n" + candump, "candump\n" + candump));
}

// A 10 MB line, NUL bytes, a cut last line: refused by number with bounded memory; a sparse non-log refused at once.
TEST(LogFormat, HostileFilesAreReadPastWithBoundedMemory) {
  ScratchDir dir;
  const struct { const char* pszName; std::string good; const char* pszFormat; } kFormats[] = {
      {"c.log", "(1700000000.000042) can0 123#1122\n", "candump"},
      {"a.asc", "base hex timestamps absolute\n0.000042 1 123 Rx d 2 11 22\n", "ASC"},
      {"r.txt", "1970.01.01 00:00:00  CAN2.0A  Remote Frame  \xb1\xe6\xc0\xcc:0  ID:7E8       \r\n", "receive-data log"},
  };
  for (const auto& f : kFormats) {
    const std::string path = dir / f.pszName;
    {
      std::ofstream out(path, std::ios::binary);
      out << f.good;
      const std::string chunk(1 << 20, 'A');
      for (int i = 0; i < 10; ++i) out << chunk;
      out << "\n" << std::string("\0\x01\xff\n", 4) << f.good << "(17";
    }
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    const std::string got = ReadAll(path);
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 2048) << "kB for " << f.pszName;
    const std::size_t nGoodLines = static_cast<std::size_t>(std::count(f.good.begin(), f.good.end(), '\n'));
    const std::vector<std::string> read = Lines(got);
    ASSERT_EQ(read.size(), 6u) << got;
    const auto Number = [](const std::string& line) { return line.substr(0, line.find(':')); };
    EXPECT_EQ(std::vector({read[0], read[2], Number(read[3]), read[4], Number(read[5])}),
              std::vector({std::string(f.pszFormat), std::to_string(nGoodLines + 1) + ": line too long",
                           std::to_string(nGoodLines + 2), read[1], std::to_string(2 * nGoodLines + 3)}));
  }
  const std::string sparse = dir / "sparse.log";
  ASSERT_EQ(::truncate(dir.Write("sparse.log", "").c_str(), 100LL << 30), 0);
  EXPECT_EQ(ReadAll(sparse), "! not a candump, ASC or receive-data log");
}

// Each batch is on disk when it ends, ASC closed by Stop; a full disk stops once with the reason, keeping what was written.
TEST(FrameRecorder, WritesEachBatchAndStopsOnAFullDiskKeepingWhatWasWritten) {
  ScratchDir dir;
  const ReceivedFrame r{TestFrame(true, false, 1, 0x123, {0}), {0, 1700000000 * S + 42000}};
  EXPECT_EQ(RecordFormatOf("/x/a.ASC"), ERecordFormat::ASC);
  EXPECT_EQ(RecordFormatOf("/x.asc/a"), ERecordFormat::CANDUMP);

  CFrameRecorder recorder;
  std::vector<std::string> failures;
  recorder.SetFailureHandler([&](const std::string& error) { failures.push_back(error); });
  const std::string asc = dir / "rec.asc";
  ASSERT_TRUE(recorder.Start(asc, r.m_arrival.m_nWallNs));
  recorder.OnFrames({&r, 1});
  recorder.EndBatch();
  EXPECT_NE(ReadWholeFile(asc).find("   0.000042 1  123             Rx   d 1 00\n"), std::string::npos);
  EXPECT_TRUE(recorder.Stop());
  EXPECT_TRUE(ReadWholeFile(asc).ends_with("End TriggerBlock\n"));

  // A file size limit stands in for a full disk: the second batch does not fit.
  const std::string log = dir / "rec.log";
  ASSERT_TRUE(recorder.Start(log, 0));
  recorder.OnFrames({&r, 1});
  recorder.EndBatch();
  const std::string first = ReadWholeFile(log);
  EXPECT_EQ(first, "(1700000000.000042) korvex0 123#00\n");
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const sighandler_t pfnSaved = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = first.size() + 10;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const std::vector<ReceivedFrame> batch(3, r);
  recorder.OnFrames(batch);
  recorder.EndBatch();
  recorder.OnFrames(batch);
  recorder.EndBatch();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, pfnSaved);
  EXPECT_EQ(std::tuple(recorder.IsRecording(), failures),
            std::tuple(false, std::vector<std::string>{"write: File too large"}));
  EXPECT_EQ(ReadWholeFile(log).substr(0, first.size() + 10), (first + first).substr(0, first.size() + 10));
  // Another program's lock keeps a recording out of the file.
  CLogFile other;
  ASSERT_TRUE(other.Create(log));
  EXPECT_FALSE(recorder.Start(log, 0));
  EXPECT_EQ(recorder.Error(), "lock: the file is in use by another program");
}

// Frames read again by offset (relative ASC times too), times found; each step feeds every frame once, names refusals.
TEST(LogFormat, IndexReadsFramesAgainAndFindsTimes) {
  ScratchDir dir;
  const std::string path = dir.Write("r.asc", "date Nov 14 22:13:20 2023\nbase hex timestamps relative\n"
                                              "0.5 1 123 Rx d 1 AA\nbad\n0.5 1 7E8 Rx r 2\n0.5 1 1x Rx d 0\n");
  struct CCount final : FrameConsumer {
    void OnFrames(std::span<const ReceivedFrame> frames) override { n += frames.size(); }
    std::size_t n = 0;
  } counted;
  CLogIndex index;
  ASSERT_TRUE(index.Open(path));
  while (index.Step(2, &counted)) {}
  ASSERT_EQ(std::tuple(index.Size(), counted.n, index.SkippedCount()), std::tuple(3u, 3u, 1u));
  EXPECT_EQ(index.SkippedLines().at(0), std::make_pair(uint64_t{4}, std::string("not an ASC line")));
  const char* kExpected[] = {"(1700000000.500000) korvex0 123#AA", "(1700000001.000000) korvex0 7E8#R2",
                             "(1700000001.500000) korvex0 00000001#"};
  for (std::size_t i : {2u, 0u, 1u}) {
    ReceivedFrame record;
    ASSERT_TRUE(index.ReadFrame(i, record));
    EXPECT_EQ(Describe(record), kExpected[i]);
  }
  EXPECT_EQ(std::tuple(index.FindTime(1700000001 * S), index.FindTime(1700000002 * S)), std::tuple(1u, 3u));
}
