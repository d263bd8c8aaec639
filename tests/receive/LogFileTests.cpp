// The two log files and LogEvent: format, flushing, the size limit, failures.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "receive/CLogFiles.h"
#include "receive/TempDir.h"
#include "uisupport/Cp949Text.h"

namespace {

constexpr std::time_t FIXED_TIME = 1714571107;  // 2024-05-01 13:45:07 UTC
std::time_t FixedTime() { return FIXED_TIME; }
constexpr const char* STAMP = "2024.05.01 13:45:07  ";

class CEventWindow final : public EventDisplay {
public:
  void AppendEvent(std::string_view text, COLORREF colour) override { m_events.emplace_back(text, colour); }
  std::vector<std::pair<std::string, COLORREF>> m_events;
};

uint64_t SizeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : ~0ull;
}

std::string Tail(const std::string& path, std::size_t nBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  std::string out(nBytes, '\0');
  const ssize_t n = ::pread(fd, out.data(), nBytes, static_cast<off_t>(SizeOf(path) - nBytes));
  ::close(fd);
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void MakeSparseFile(const std::string& path, uint64_t qwSize) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(qwSize)), 0);
  ::close(fd);
}

class LogFilesTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  LogFilesTest() {
    m_logs.SetEventDisplay(&m_window);
    m_logs.SetPath(LOG_EVENT, m_dir.File("EventLog.txt"));
    m_logs.SetPath(LOG_RDATA, m_dir.File("RDataLog.txt"));
  }
  // What the log-start commands do: open, and set the flag only if the file opened.
  void Start(int nKind) {
    m_logs.OpenLogFile(nKind);
    m_logs.SetLogging(nKind, m_logs.IsOpen(nKind));
  }

  CTempDir m_dir;
  CEventWindow m_window;
  CLogFiles m_logs{&FixedTime};
};

TEST_F(LogFilesTest, EventLineIsStampedCp949WithCrLf) {
  Start(LOG_EVENT);
  m_logs.LogEvent("[CAN 리셋 응답]             : Command Reset", EVENT_BLUE);
  m_logs.CloseLogFile(LOG_EVENT);
  EXPECT_EQ(Contents(m_dir.File("EventLog.txt")),
            "2024.05.01 13:45:07  [CAN \xB8\xAE\xBC\xC2 \xC0\xC0\xB4\xE4]             : Command Reset\r\n");
  ASSERT_EQ(m_window.m_events.size(), 1u);
  EXPECT_EQ(m_window.m_events[0].second, EVENT_BLUE);
  EXPECT_EQ(m_logs.TimeStamp(), "2024.05.01 13:45:07");
}

TEST_F(LogFilesTest, WithEventLoggingOffLogEventOnlyShowsTheLine) {
  m_logs.OpenLogFile(LOG_EVENT);  // open but the flag is off
  m_logs.LogEvent("text", EVENT_BLACK);
  m_logs.CloseLogFile(LOG_EVENT);
  EXPECT_EQ(SizeOf(m_dir.File("EventLog.txt")), 0u);
  EXPECT_EQ(m_window.m_events.size(), 1u);
  m_logs.SetEventDisplay(nullptr);
  m_logs.LogEvent("no window, no file", EVENT_BLACK);  // reaches nothing, fails nothing
}

TEST_F(LogFilesTest, AppendsToAnExisting50MegabyteFile) {
  const std::string path = m_dir.File("EventLog.txt");
  MakeSparseFile(path, 50000000);
  Start(LOG_EVENT);
  m_logs.LogEvent("appended", EVENT_BLACK);
  m_logs.CloseLogFile(LOG_EVENT);
  const std::string line = std::string(STAMP) + "appended\r\n";
  EXPECT_EQ(SizeOf(path), 50000000u + line.size());
  EXPECT_EQ(Tail(path, line.size() + 1), std::string(1, '\0') + line);
}

TEST_F(LogFilesTest, FileOfExactlyTheLimitIsDeletedAndStartedEmpty) {
  const std::string path = m_dir.File("RDataLog.txt");
  MakeSparseFile(path, 100000000);
  Start(LOG_RDATA);
  EXPECT_TRUE(m_logs.IsOpen(LOG_RDATA));
  EXPECT_EQ(SizeOf(path), 0u);
  EXPECT_TRUE(m_window.m_events.empty());
  m_logs.CloseLogFile(LOG_RDATA);

  MakeSparseFile(path, 99999999);  // one byte under: kept
  Start(LOG_RDATA);
  EXPECT_EQ(SizeOf(path), 99999999u);
}

TEST_F(LogFilesTest, LineThatReachesTheLimitIsWrittenWholeThenLoggingStopsWithTheBlueText) {
  const std::string path = m_dir.File("RDataLog.txt");
  MakeSparseFile(path, 100000000 - 5);
  Start(LOG_RDATA);
  m_logs.WriteStampedLine(LOG_RDATA, "CAN2.0A  Data Frame    길이:0  ID:123       ");
  const std::string line = Utf8ToCp949(std::string(STAMP) + "CAN2.0A  Data Frame    길이:0  ID:123       ").value() + "\r\n";
  EXPECT_EQ(SizeOf(path), 100000000u - 5 + line.size());
  EXPECT_EQ(Tail(path, line.size()), line);
  EXPECT_FALSE(m_logs.IsOpen(LOG_RDATA));
  EXPECT_FALSE(m_logs.IsLogging(LOG_RDATA));
  ASSERT_EQ(m_window.m_events.size(), 1u);
  EXPECT_EQ(m_window.m_events[0].first,
            "[수신데이터 로그동작 중지]  : 수신데이터 로그파일이 100MB를 초과하여 로깅동작을 중지합니다");
  EXPECT_EQ(m_window.m_events[0].second, EVENT_BLUE);
  m_logs.WriteStampedLine(LOG_RDATA, "after the limit");
  EXPECT_EQ(SizeOf(path), 100000000u - 5 + line.size());
}

TEST_F(LogFilesTest, EventLogLimitTextIsShownButNotWrittenIntoTheFullFile) {
  const std::string path = m_dir.File("EventLog.txt");
  MakeSparseFile(path, 100000000 - 1);
  Start(LOG_EVENT);
  m_logs.LogEvent("last", EVENT_BLACK);
  EXPECT_EQ(SizeOf(path), 100000000u - 1 + std::string(STAMP).size() + 6);
  ASSERT_EQ(m_window.m_events.size(), 2u);
  EXPECT_EQ(m_window.m_events[1],
            (std::pair<std::string, COLORREF>{
                "[이벤트 로그 동작 중지]     : 이벤트 로그파일이 100MB를 초과하여 로깅동작을 중지합니다", EVENT_BLUE}));
}

TEST_F(LogFilesTest, ElevenLinesCauseExactlyOneFlush) {
  const std::string path = m_dir.File("RDataLog.txt");
  Start(LOG_RDATA);
  const std::size_t nLine = std::string(STAMP).size() + 4 + 2;
  for (int i = 0; i < 9; ++i) m_logs.WriteStampedLine(LOG_RDATA, "line");
  EXPECT_EQ(SizeOf(path), 0u);
  m_logs.WriteStampedLine(LOG_RDATA, "line");
  EXPECT_EQ(SizeOf(path), 10 * nLine);
  m_logs.WriteStampedLine(LOG_RDATA, "line");
  EXPECT_EQ(SizeOf(path), 10 * nLine);
  m_logs.CloseLogFile(LOG_RDATA);
  EXPECT_EQ(SizeOf(path), 11 * nLine);
}

TEST_F(LogFilesTest, MissingDirectoryGivesTheRedOpenFailureAndTheFlagOff) {
  m_logs.SetPath(LOG_RDATA, m_dir.File("missing/RDataLog.txt"));
  Start(LOG_EVENT);
  m_logs.SetLogging(LOG_RDATA, true);
  m_logs.OpenLogFile(LOG_RDATA);
  EXPECT_FALSE(m_logs.IsOpen(LOG_RDATA));
  EXPECT_FALSE(m_logs.IsLogging(LOG_RDATA));
  EXPECT_TRUE(m_logs.HasWriteError(LOG_RDATA));
  const std::string text = "[수신데이터 로그파일 에러]  : 수신데이터 로그파일을 여는데 실패했읍니다";
  ASSERT_EQ(m_window.m_events.size(), 1u);
  EXPECT_EQ(m_window.m_events[0], (std::pair<std::string, COLORREF>{text, EVENT_RED}));
  m_logs.CloseLogFile(LOG_EVENT);
  EXPECT_EQ(Contents(m_dir.File("EventLog.txt")), Utf8ToCp949(STAMP + text).value() + "\r\n");

  m_logs.SetPath(LOG_EVENT, m_dir.File("missing/EventLog.txt"));
  m_logs.SetLogging(LOG_EVENT, true);
  m_logs.OpenLogFile(LOG_EVENT);
  EXPECT_FALSE(m_logs.IsLogging(LOG_EVENT));
  EXPECT_EQ(m_window.m_events.back(),
            (std::pair<std::string, COLORREF>{"[이벤트 로그파일 에러]      : 이벤트 로그파일을 여는데 실패했읍니다",
                                              EVENT_RED}));
}

TEST_F(LogFilesTest, FileLockedByAnotherWriterCannotBeOpened) {
  Start(LOG_EVENT);
  CLogFiles other(&FixedTime);
  CEventWindow otherWindow;
  other.SetEventDisplay(&otherWindow);
  other.SetPath(LOG_EVENT, m_logs.Path(LOG_EVENT));
  other.OpenLogFile(LOG_EVENT);
  EXPECT_FALSE(other.IsOpen(LOG_EVENT));
  ASSERT_EQ(otherWindow.m_events.size(), 1u);
  EXPECT_EQ(otherWindow.m_events[0].second, EVENT_RED);
  m_logs.CloseLogFile(LOG_EVENT);
  other.OpenLogFile(LOG_EVENT);  // free again once closed
  EXPECT_TRUE(other.IsOpen(LOG_EVENT));
}

TEST_F(LogFilesTest, EventLogWriteFailureIsShownOnceAndNeverReentersTheFile) {
  m_logs.SetPath(LOG_EVENT, "/dev/full");
  Start(LOG_EVENT);
  ASSERT_TRUE(m_logs.IsLogging(LOG_EVENT));
  for (int i = 0; i < 12; ++i) m_logs.LogEvent("event", EVENT_BLACK);
  // The tenth line's flush fails: one red text, logging off, the last two only shown.
  ASSERT_EQ(m_window.m_events.size(), 13u);
  EXPECT_EQ(m_window.m_events[10],
            (std::pair<std::string, COLORREF>{"[이벤트 로그파일 에러]      : 이벤트 로그파일에 기록하는데 실패했읍니다",
                                              EVENT_RED}));
  EXPECT_FALSE(m_logs.IsLogging(LOG_EVENT));
  EXPECT_FALSE(m_logs.IsOpen(LOG_EVENT));
  EXPECT_TRUE(m_logs.HasWriteError(LOG_EVENT));
}

TEST_F(LogFilesTest, ReceiveDataWriteFailureGoesIntoTheEventLog) {
  m_logs.SetPath(LOG_RDATA, "/dev/full");
  Start(LOG_RDATA);
  Start(LOG_EVENT);
  for (int i = 0; i < 3; ++i) m_logs.WriteStampedLine(LOG_RDATA, "frame");
  m_logs.CloseLogFile(LOG_RDATA);  // the pending lines cannot go out: reported, not lost silently
  EXPECT_FALSE(m_logs.IsLogging(LOG_RDATA));
  const std::string text = "[수신데이터 로그파일 에러]  : 수신데이터 로그파일에 기록하는데 실패했읍니다";
  ASSERT_EQ(m_window.m_events.size(), 1u);
  EXPECT_EQ(m_window.m_events[0].first, text);
  m_logs.CloseLogFile(LOG_EVENT);
  EXPECT_EQ(Contents(m_dir.File("EventLog.txt")), Utf8ToCp949(STAMP + text).value() + "\r\n");
}

TEST_F(LogFilesTest, OtherKindsAndClosedFilesWriteNothing) {
  Start(LOG_RDATA);
  m_logs.WriteLogLine(3, "kind three\n");
  m_logs.OpenLogFile(0);
  m_logs.SetLogging(3, true);
  EXPECT_FALSE(m_logs.IsLogging(3));
  m_logs.CloseLogFile(LOG_RDATA);
  m_logs.SetLogging(LOG_RDATA, true);
  m_logs.WriteLogLine(LOG_RDATA, "closed\n");
  m_logs.CloseLogFiles();
  EXPECT_EQ(SizeOf(m_dir.File("RDataLog.txt")), 0u);
  EXPECT_TRUE(m_window.m_events.empty());
}

TEST(LogText, UnconvertibleCharactersBecomeQuestionMarksAndTheLineStaysWhole) {
  std::string out;
  ConvertLogText("A\xF0\x9F\x98\x80" "B\xFF" "C 길이\n", out);
  EXPECT_EQ(out, "A?B?C \xB1\xE6\xC0\xCC\r\n");
  ConvertLogText("\xE2\x82", out);  // a character cut off at the end
  EXPECT_EQ(out, "??");
}

}  // namespace
