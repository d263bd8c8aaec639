// The two log files and LogEvent: format, flushing, the size limit, failures.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "receive/CLogFiles.h"
#include "receive/LogPathRules.h"
#include "resources/StringTable.h"
#include "support/ScratchDir.h"
#include "text/Cp949Text.h"

namespace {

std::time_t FixedTime() { return 1714571107; }  // 2024-05-01 13:45:07 UTC
const std::string STAMP = "2024.05.01 13:45:07  ";
using CShown = std::vector<std::pair<std::string, COLORREF>>;

uint64_t SizeOf(const std::string& path) {
  std::error_code error;  // a missing file has size 0
  return std::filesystem::file_size(path, error);
}
std::string Tail(const std::string& path, uint64_t nBytes) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(-static_cast<std::streamoff>(std::min(nBytes, SizeOf(path))), std::ios::end);
  return {std::istreambuf_iterator<char>(in), {}};
}
void MakeSparseFile(const std::string& path, uint64_t qwSize) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).close();
  std::filesystem::resize_file(path, qwSize);
}

class LogFilesTest : public ::testing::Test, public EventDisplay {
protected:
  static void SetUpTestSuite() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  LogFilesTest() {
    m_logs.SetEventDisplay(this);
    m_logs.SetPath(LOG_EVENT, m_dir / "EventLog.txt");
    m_logs.SetPath(LOG_RDATA, m_dir / "RDataLog.txt");
  }
  void AppendEvent(std::string_view text, COLORREF colour) override { m_shown.emplace_back(text, colour); }
  void Start(int nKind) {
    m_logs.OpenLogFile(nKind);
    m_logs.SetLogging(nKind, m_logs.IsOpen(nKind));
  }

  ScratchDir m_dir;
  CShown m_shown;
  CLogFiles m_logs{&FixedTime};
};

// A full file is moved aside under the next free name; the line that reaches the limit is written whole, then logging stops.
TEST_F(LogFilesTest, HundredMillionByteLimit) {
  const struct { int m_nKind; std::string m_strLimit, m_strMoved, m_strStem; } kKinds[] = {
      {LOG_RDATA, "[수신데이터 로그동작 중지]  : 수신데이터 로그파일이 100MB를 초과하여 로깅동작을 중지합니다",
       "[수신데이터 로그파일 보관]  : 수신데이터 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: ",
       "RDataLog"},
      {LOG_EVENT, "[이벤트 로그 동작 중지]     : 이벤트 로그파일이 100MB를 초과하여 로깅동작을 중지합니다",
       "[이벤트 로그파일 보관]      : 이벤트 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: ",
       "EventLog"}};
  const std::string text = "CAN2.0A  Data Frame    길이:0  ID:123       ";
  const std::string line = Utf8ToCp949(STAMP + text).value_or("") + "\r\n";
  for (const auto& kind : kKinds) {
    const int nKind = kind.m_nKind;
    SCOPED_TRACE(nKind);
    const std::string path = m_logs.Path(nKind);
    for (const std::string& aside : {m_dir / (kind.m_strStem + "-20240501-134507.txt"),
                                    m_dir / (kind.m_strStem + "-20240501-134507-1.txt")}) {
      MakeSparseFile(path, 100000000);
      const timespec atTimes[2] = {{FixedTime(), 0}, {FixedTime(), 0}};
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), atTimes, 0), 0);
      Start(nKind);
      EXPECT_EQ(std::tuple(SizeOf(path), SizeOf(aside)), std::tuple(0u, 100000000u));
      EXPECT_EQ(m_shown, (CShown{{kind.m_strMoved + aside, EVENT_BLUE}}));
      m_shown.clear();
      m_logs.SetLogging(nKind, false);
      m_logs.CloseLogFile(nKind);
    }
    MakeSparseFile(path, 100000000 - line.size());  // below the limit: kept
    Start(nKind);
    nKind == LOG_RDATA ? m_logs.WriteStampedLine(LOG_RDATA, text) : m_logs.LogEvent(text, EVENT_BLACK);
    EXPECT_EQ(std::tuple(SizeOf(path), Tail(path, line.size()), m_logs.IsOpen(nKind) || m_logs.IsLogging(nKind)),
              std::tuple(100000000u, line, false));
    const CShown::value_type stop{kind.m_strLimit, EVENT_BLUE};
    EXPECT_EQ(m_shown, (nKind == LOG_EVENT ? CShown{{text, EVENT_BLACK}, stop} : CShown{stop}));
    m_logs.WriteStampedLine(nKind, "after the limit");
    EXPECT_EQ(SizeOf(path), 100000000u);
    m_shown.clear();
  }
}

TEST(LogFileAsideName, TimeAndCounterGoBeforeTheExtension) {
  const std::tm when{.tm_sec = 0, .tm_min = 15, .tm_hour = 10, .tm_mday = 7, .tm_mon = 11, .tm_year = 126};
  const std::tuple<const char*, unsigned, const char*> kCases[] = {
      {"/x/RDataLog.txt", 0, "/x/RDataLog-20261207-101500.txt"},
      {"/x/RDataLog.txt", 12, "/x/RDataLog-20261207-101500-12.txt"},
      {"/x/a.b/log", 0, "/x/a.b/log-20261207-101500"},
      {"/x/.log", 0, "/x/.log-20261207-101500"},
      {"/x/.hidden.txt", 1, "/x/.hidden-20261207-101500-1.txt"},
      {"log.txt", 0, "log-20261207-101500.txt"}};
  for (const auto& [pszPath, nCounter, pszAside] : kCases) EXPECT_EQ(AsideName(pszPath, when, nCounter), pszAside);
}

// Nothing is written without the flag, an open file or a known kind; nothing shown without a window.
TEST_F(LogFilesTest, ElevenLinesCauseExactlyOneFlushAndNothingElseIsWritten) {
  m_logs.OpenLogFile(LOG_EVENT);
  m_logs.LogEvent("shown only", EVENT_BLACK);
  m_logs.SetEventDisplay(nullptr);
  m_logs.LogEvent("no window", EVENT_BLACK);
  Start(LOG_RDATA);
  m_logs.WriteLogLine(3, "kind three\n");
  m_logs.OpenLogFile(0);
  m_logs.SetLogging(3, true);
  EXPECT_FALSE(m_logs.IsLogging(3));
  const std::size_t nLine = STAMP.size() + 4 + 2;
  for (std::size_t n = 1; n <= 11; ++n) {
    m_logs.WriteStampedLine(LOG_RDATA, "line");
    EXPECT_EQ(SizeOf(m_logs.Path(LOG_RDATA)), n < 10 ? 0 : 10 * nLine) << n;
  }
  m_logs.CloseLogFile(LOG_RDATA);  // the flag stays on
  m_logs.WriteLogLine(LOG_RDATA, "closed\n");
  m_logs.CloseLogFiles();
  EXPECT_EQ(std::tuple(SizeOf(m_logs.Path(LOG_RDATA)), SizeOf(m_logs.Path(LOG_EVENT))), std::tuple(11 * nLine, 0u));
  EXPECT_EQ(Tail(m_logs.Path(LOG_RDATA), nLine), STAMP + "line\r\n");
  EXPECT_EQ(m_shown, (CShown{{"shown only", EVENT_BLACK}}));
}

// Every failure shows its red text once and turns its kind's logging off; an event-log failure never re-enters it.
TEST_F(LogFilesTest, OpenAndWriteFailuresShowTheRedTextOnceAndTurnLoggingOff) {
  CLogFiles holder(&FixedTime);
  holder.SetPath(LOG_EVENT, m_dir / "Held.txt");
  holder.OpenLogFile(LOG_EVENT);
  const std::string kEventOpen = "[이벤트 로그파일 에러]      : 이벤트 로그파일을 여는데 실패했읍니다 (";
  const std::string kRDataOpen = "[수신데이터 로그파일 에러]  : 수신데이터 로그파일을 여는데 실패했읍니다 (";
  const std::tuple<int, std::string, std::string> kFailures[] = {
      {LOG_EVENT, m_dir / "Held.txt",
       kEventOpen + (m_dir / "Held.txt") + ": lock: the file is in use by another program)"},
      {LOG_RDATA, m_dir / "missing/RData\nLog.txt",
       kRDataOpen + (m_dir / "missing/RData?Log.txt") + ": open: No such file or directory)"},
      {LOG_EVENT, m_dir / "missing/EventLog.txt",
       kEventOpen + (m_dir / "missing/EventLog.txt") + ": open: No such file or directory)"},
      {LOG_RDATA, "/dev/full",
       "[수신데이터 로그파일 에러]  : 수신데이터 로그파일에 기록하는데 실패했읍니다 (/dev/full: write: No space left on device)"},
      {LOG_EVENT, "/dev/full",
       "[이벤트 로그파일 에러]      : 이벤트 로그파일에 기록하는데 실패했읍니다 (/dev/full: write: No space left on device)"}};
  for (const auto& [nKind, path, text] : kFailures) {
    SCOPED_TRACE(text);
    m_shown.clear();
    std::filesystem::remove(m_logs.Path(LOG_EVENT));
    CLogFiles logs(&FixedTime);
    logs.SetEventDisplay(this);
    for (const int nOpen : {LOG_EVENT, LOG_RDATA}) {
      logs.SetPath(nOpen, nOpen == nKind ? path : m_logs.Path(nOpen));
      logs.SetLogging(nOpen, true);
      logs.OpenLogFile(nOpen);
    }
    for (int i = 0; i < (nKind == LOG_EVENT ? 12 : 3); ++i)
      nKind == LOG_EVENT ? logs.LogEvent("event", EVENT_BLACK) : logs.WriteStampedLine(LOG_RDATA, "frame");
    logs.CloseLogFile(LOG_RDATA);
    EXPECT_TRUE(!logs.IsLogging(nKind) && !logs.IsOpen(nKind) && logs.HasWriteError(nKind));
    EXPECT_EQ(std::erase(m_shown, CShown::value_type{"event", EVENT_BLACK}), nKind == LOG_EVENT ? 12u : 0u);
    EXPECT_EQ(m_shown, (CShown{{text, EVENT_RED}}));
    logs.CloseLogFile(LOG_EVENT);
    EXPECT_EQ(Tail(m_logs.Path(LOG_EVENT), 1000), nKind == LOG_RDATA ? Utf8ToCp949(STAMP + text).value_or("") + "\r\n" : "");
  }
  holder.CloseLogFile(LOG_EVENT);
  m_logs.SetPath(LOG_EVENT, m_dir / "Held.txt");
  Start(LOG_EVENT);
  EXPECT_TRUE(m_logs.IsOpen(LOG_EVENT));
}

// What the log path dialog accepts: a file in an existing directory, the event log checked first.
TEST(LogPathRules, PathsInExistingDirectoriesOnly) {
  ScratchDir scratch;
  const std::string dir = scratch.Path();
  const std::tuple<const char*, std::string, std::string, unsigned> kCases[] = {
      {"new files in an existing directory", dir + "/E.txt", dir + "/R.txt", 0},
      {"both in a missing directory: the event log is named", dir + "/gone/E.txt", dir + "/gone/R.txt",
       IDS_EVENT_LOG_PATH_WRONG},
      {"receive-data log in a missing directory", dir + "/E.txt", dir + "/gone/R.txt", IDS_RDATA_LOG_PATH_WRONG},
      {"a bare file name", "E.txt", dir + "/R.txt", IDS_EVENT_LOG_PATH_WRONG},
      {"empty", "", dir + "/R.txt", IDS_EVENT_LOG_PATH_WRONG},
      {"a directory is no file", dir + "/E.txt", dir, IDS_RDATA_LOG_PATH_WRONG},
      {"under a plain file", scratch.Write("plain", "") + "/E.txt", dir + "/R.txt", IDS_EVENT_LOG_PATH_WRONG}};
  for (const auto& [pszName, eventPath, rdataPath, nRefusal] : kCases)
    EXPECT_EQ(CheckLogPaths(eventPath, rdataPath), nRefusal) << pszName;
  EXPECT_EQ(TrimmedPath(" \t/a b/E.txt \r\n") + "|" + TrimmedPath(" \t "), "/a b/E.txt|");
  for (const auto& [box, current] : {std::pair("  " + dir + "/new.txt ", std::string("/elsewhere/R.txt")),
                                     {dir + "/gone/R.txt", dir + "/R.txt"}, {"", dir + "/R.txt"}})
    EXPECT_EQ(BrowseDirectory(box, current), dir) << box;
}

TEST(LogText, UnconvertibleCharactersBecomeQuestionMarksAndTheLineStaysWhole) {
  std::string out;
  ConvertLogText("A\xF0\x9F\x98\x80" "B\xFF" "C 길이\n", out);
  EXPECT_EQ(out, "A?B?C \xB1\xE6\xC0\xCC\r\n");
  ConvertLogText("\xE2\x82", out);  // a character cut off at the end
  EXPECT_EQ(out, "??");
}

}  // namespace
