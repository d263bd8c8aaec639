// korvex-cli against korvex-sim on a pseudo-terminal: wiring, port holding, rates, logs, signals, exits.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "KorvexVersion.h"
#include "sim/CSimBusTraffic.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"
#include "support/SimSequence.h"
#include "text/Cp949Text.h"

namespace {

constexpr int WAIT_MS = 20000;
const std::string EV_CONFIG = "[Korvex 환경설정 읽기 응답] : CAN2.0B  250.00K BPS  수신 ID:00000000  수신 Mask ID:00000000";
const std::string EV_STARTED = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 동작 중";
const std::string EV_STOPPED = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중";
const std::string EV_VERSION = "[Korvex 버전 응답]          : 버전 3.4";

// A log file's lines without their time stamps.
std::vector<std::string> LoggedLines(const std::string& path) {
  std::vector<std::string> lines = Lines(ReadWholeFile(path));
  for (std::string& line : lines) line.erase(0, 21);
  return lines;
}

struct SCliResult { int nExit; std::string out, err; };

// bUnprivileged: as uid and gid 65534 without groups; fdOut: standard output (-1: a pipe).
bool StartCli(CChildProcess& cli, std::vector<std::string> args, bool bUnprivileged = false, int fdOut = -1) {
  if (bUnprivileged)
    args.insert(args.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", KORVEX_CLI_PROGRAM});
  return cli.Start(bUnprivileged ? "/usr/bin/setpriv" : KORVEX_CLI_PROGRAM, args, fdOut);
}

SCliResult RunCli(const std::vector<std::string>& args, bool bUnprivileged = false, int fdOut = -1) {
  CChildProcess cli;
  EXPECT_TRUE(StartCli(cli, args, bUnprivileged, fdOut));
  const int nExit = cli.Finish(WAIT_MS);
  return {nExit, cli.Out(), cli.Err()};
}

// A number field of /proc/PID/status ("VmRSS:") or of another /proc/PID file ("io", "rchar:").
unsigned long long ProcStatus(pid_t nPid, const std::string& field, int nBase, const char* pszFile = "status") {
  std::ifstream in("/proc/" + std::to_string(nPid) + "/" + pszFile);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(field, 0) == 0) return std::stoull(line.substr(field.size()), nullptr, nBase);
  ADD_FAILURE() << field << " not found for " << nPid;
  return 0;
}

// Until the program reads far past its receive queue while its blocked output stands still: it drops frames.
bool WaitUntilDropping(pid_t nPid) {
  constexpr unsigned long long BEYOND_THE_QUEUE = 4 * 65536;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
  unsigned long long qwReadSince = ProcStatus(nPid, "rchar:", 10, "io"), qwWritten = ProcStatus(nPid, "wchar:", 10, "io");
  while (std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const unsigned long long qwRead = ProcStatus(nPid, "rchar:", 10, "io");
    if (const unsigned long long qw = ProcStatus(nPid, "wchar:", 10, "io"); qw != qwWritten) {
      qwWritten = qw;
      qwReadSince = qwRead;
    } else if (qwRead - qwReadSince > BEYOND_THE_QUEUE) {
      return true;
    }
  }
  return false;
}

class CliEndToEndTest : public ::testing::Test {
protected:
  // Starts korvex-sim with these options; its first output line is the terminal's path.
  void StartSim(std::vector<std::string> args) {
    args.insert(args.end(), {"--seconds", "120"});
    ASSERT_TRUE(m_sim.Start(KORVEX_SIM_PROGRAM, args));
    ASSERT_TRUE(m_sim.ReadLine(m_pty, WAIT_MS));
    ASSERT_EQ(m_pty.rfind("/dev/pts/", 0), 0u) << m_pty;
  }
  std::vector<std::string> Command(std::vector<std::string> command) const {
    command.insert(command.begin(), {"--port", m_pty, "--baud", "921600"});
    return command;
  }

  CChildProcess m_sim;
  std::string m_pty;
  ScratchDir m_dir;
};

// Unprivileged: a holder keeps a second korvex-cli out; killed, the port is free; a written configuration reads back.
TEST_F(CliEndToEndTest, CommandsAnsweredAndThePortFreeAgainOnceItsHolderIsKilled) {
  StartSim({"--firmware", "0x34", "--rate", "0"});
  ASSERT_EQ(::chmod(m_pty.c_str(), 0666), 0);
  CChildProcess holder;
  ASSERT_TRUE(StartCli(holder, Command({"monitor"}), true));
  std::string line;
  while (line != EV_STARTED) ASSERT_TRUE(holder.ReadLine(line, WAIT_MS)) << holder.Err();
  const SCliResult refused = RunCli(Command({"version"}), true);
  EXPECT_EQ(std::tuple(refused.nExit, refused.err), std::tuple(3, "지정한 시리얼 통신 포트를 여는데 실패했읍니다\nkorvex-cli: flock: port is in use by another program\n"));
  holder.Kill(true);

  const std::string written = "CAN2.0A  500.00K BPS  수신 ID:123  수신 Mask ID:7F0";
  const struct { std::vector<std::string> command; std::vector<std::string> out; } kCases[] = {
      {{"write-config", "--std", "--bitrate", "500K", "--report", "busoff,warning", "--id", "123", "--mask", "7F0"},
       {EV_CONFIG, EV_STARTED, "[Korvex 환경설정 쓰기 응답] : " + written, EV_STOPPED}},  // the killed monitor's reception
      {{"version"}, {"[Korvex 환경설정 읽기 응답] : " + written, EV_STOPPED, EV_VERSION, EV_STOPPED}},
  };
  for (const auto& c : kCases) {
    const SCliResult r = RunCli(Command(c.command), true);
    EXPECT_EQ(std::tuple(r.nExit, Lines(r.out), r.err), std::tuple(0, c.out, "")) << c.command[0];
  }
}

// Every frame in order up to the count, and the same lines in the receive-data log (CP949, CR LF).
TEST_F(CliEndToEndTest, MonitorReceivesEveryFrameInOrderAtTheLineRate) {
  StartSim({"--rate", "2973"});  // the longest "U" lines a 921,600 bit/s link carries per second
  const unsigned COUNT = 3000;  // a second at that rate
  const SCliResult r = RunCli(Command({"--rdata-log", m_dir / "rd.txt", "monitor", "--count", std::to_string(COUNT)}));
  const std::vector<std::string> out = Lines(r.out);
  ASSERT_EQ(std::tuple(r.nExit, out.size()), std::tuple(0, 3u + COUNT + 1u));
  EXPECT_EQ(out[2] + out.back(), EV_STARTED + EV_STOPPED);
  const long long llFirst = SimSequenceOf(out[3]);
  ASSERT_GE(llFirst, 0) << out[3];
  const std::vector<std::string> logged = LoggedLines(m_dir / "rd.txt");
  ASSERT_EQ(logged.size(), COUNT);
  for (unsigned i = 0; i < COUNT; ++i) {
    ASSERT_EQ(out[3 + i].rfind("CAN2.0B  Data Frame    길이:8  ID:", 0), 0u) << out[3 + i];
    ASSERT_EQ(SimSequenceOf(out[3 + i]), llFirst + i) << "frame " << i << " lost or out of order";
    ASSERT_EQ(logged[i], Utf8ToCp949(out[3 + i]).value() + "\r");
  }
}

// Per message a mean cycle within 10 % of its period (the load's arithmetic: the session and statistics tests).
TEST_F(CliEndToEndTest, StatsMeetsTheCycleTimesOfABusProfile) {
  StartSim({"--bus"});
  const SCliResult r = RunCli(Command({"stats", "--seconds", "2", "--format", "csv"}));
  EXPECT_EQ(std::tuple(r.nExit, Lines(r.err)), std::tuple(0, std::vector<std::string>{EV_CONFIG, EV_STOPPED, EV_STARTED, EV_STOPPED}));
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : Lines(r.out)) {
    std::vector<std::string>& fields = rows.emplace_back();
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  }
  const auto messages = CSimBusTraffic::Messages();
  ASSERT_EQ(rows.size(), messages.size() + 2) << r.out;
  for (const CSimBusTraffic::SMessage& m : messages) {
    char szId[16];
    std::snprintf(szId, sizeof szId, m.m_bExtended ? "%08X" : "%03X", m.m_dwId);
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& f) { return f.size() > 4 && f[1] == szId; });
    ASSERT_NE(row, rows.end()) << szId;
    EXPECT_NEAR(std::stod((*row)[4]), m.m_nCycleMs, 0.1 * m.m_nCycleMs) << szId;
  }
}

// Unlimited monitor ends on a stop signal, or with exit 4 when the module vanishes; stamps before every line.
TEST_F(CliEndToEndTest, MonitorEndsOnASignalOrWhenThePortGoesAway) {
  StartSim({"--rate", "200"});
  const std::string GONE = "korvex-cli: the port went away (the device was unplugged or hung up)\n";
  const struct { int nSignal; bool bToSim; int nExit; std::string last, err; } kEndings[] = {
      {SIGINT, false, 0, EV_STOPPED, ""},  // the answer to ":G10"; SIGTERM and SIGHUP: the flood test
      {SIGKILL, true, 4, "[Korvex 통신포트 에러]      : 통신 포트가 끊어졌읍니다 (장치가 분리됨)", GONE}};
  for (const auto& e : kEndings) {
    CChildProcess cli;
    ASSERT_TRUE(cli.Start(KORVEX_CLI_PROGRAM, Command({"--timestamps", "monitor"})));
    std::vector<std::string> out;
    unsigned nFrames = 0;
    for (std::string line; nFrames < 20 && cli.ReadLine(line, WAIT_MS); out.push_back(line))
      nFrames += SimSequenceOf(line) >= 0;
    ASSERT_EQ(nFrames, 20u);
    (e.bToSim ? m_sim : cli).Signal(e.nSignal);
    EXPECT_EQ(cli.Finish(e.bToSim ? 2000 : WAIT_MS), e.nExit) << e.nSignal;
    EXPECT_EQ(cli.Err(), e.err);
    for (const std::string& line : Lines(cli.Out())) out.push_back(line);
    EXPECT_EQ(out.back().substr(21), e.last);
    for (const std::string& line : out) EXPECT_EQ(line.substr(4, 1) + line.substr(19, 2), ".  ") << line;
  }
}

// Exit statuses with their messages: 3 port, 2 command line, 5 output (the command still sent), 0 for ports/--help/--version;
// --lang en prints the events in English, the event log keeps its Korean lines.
TEST_F(CliEndToEndTest, ExitStatusesAndMessages) {
  StartSim({"--firmware", "0x34", "--rate", "0"});
  std::filesystem::create_directories(m_dir / "class/tty");  // an empty tty tree and no
  ::setenv("KORVEX_SYSFS_ROOT", m_dir.Path().c_str(), 1);         // D2XX library stand in for
  ::setenv("KORVEX_D2XX_LIBRARY", (m_dir / "no-libftd2xx.so").c_str(), 1);  // the machine's
  const int fdMaster = ::posix_openpt(O_RDWR | O_NOCTTY);  // a terminal only root may open
  ASSERT_GE(fdMaster, 0);
  ASSERT_EQ(::grantpt(fdMaster) | ::unlockpt(fdMaster), 0);
  const int fdFull = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  int anClosed[2];
  ASSERT_TRUE(fdFull >= 0 && ::pipe2(anClosed, O_CLOEXEC) == 0);
  ::close(anClosed[0]);  // nobody reads this output
  const std::string evLog = m_dir / "ev.txt";
  const std::string EN_STOPPED = "[CAN reception state reply] : CAN reception stopped\n";
  const std::string openFailed = "지정한 시리얼 통신 포트를 여는데 실패했읍니다\nkorvex-cli: ";
  const struct { std::vector<std::string> args; bool bUnprivileged; int fdOut, nExit; std::string out, err; } kCases[] = {
      {{"--port", ::ptsname(fdMaster), "version"}, true, -1, 3, "",
       openFailed + "open: Permission denied (the user may not use this port: on most systems a member of the "
                    "\"dialout\" group may)\n"},
      {{"--usb", "KX1", "version"}, false, -1, 3, "",
       "지정한 USB 통신 포트를 여는데 실패했읍니다\nkorvex-cli: D2XX library (libftd2xx.so) not loaded\n"},
      {Command({"--lang", "en", "--event-log", evLog, "version"}), false, fdFull, 5, "",  // the log stays Korean
       "korvex-cli: the output cannot be written: No space left on device\n"},
      {Command({"--lang", "en", "version"}), false, -1, 0,
       "[Korvex config read reply]  : CAN2.0B  250.00K BPS  Rx ID:00000000  Rx Mask ID:00000000\n" + EN_STOPPED +
           "[Korvex version reply]      : version 3.4\n" + EN_STOPPED,
       ""},
      {Command({"--event-log", evLog, "monitor"}), false, anClosed[1], 5, "",  // ends in order
       "korvex-cli: the output cannot be written: Broken pipe\n"},
      {{"--port", "/dev/null", "write-config", "--bit-timing", "0xFFFF"}, false, -1, 2, "",
       "korvex-cli: CAN 비트 타임 데이터 입력이 잘못되었읍니다\nTry 'korvex-cli --help' for more information.\n"},
      {{"--version"}, false, -1, 0, std::string("korvex-cli ") + KORVEX_VERSION + "\n", ""},
      {{"--port", m_dir / "sim.tty", "--port", "ttyS77=module", "ports"}, false, -1, 0,
       "serial  " + (m_dir / "sim.tty") + "  " + (m_dir / "sim.tty") + "  0  " + (m_dir / "sim.tty") +
           "\nserial  ttyS77  /dev/ttyS77  1  ttyS77\n",
       ""},
  };
  for (const auto& c : kCases) {
    const SCliResult r = RunCli(c.args, c.bUnprivileged, c.fdOut);
    SCOPED_TRACE(testing::PrintToString(c.args) + (c.bUnprivileged ? " unprivileged" : ""));
    EXPECT_EQ(std::tie(r.nExit, r.out, r.err), std::tie(c.nExit, c.out, c.err));
  }
  const SCliResult help = RunCli({"--help"});  // what help2man reads
  EXPECT_EQ(std::tuple(help.nExit, help.out.substr(0, 18), help.err), std::tuple(0, "usage: korvex-cli ", ""));
  std::vector<std::string> expected;
  for (const std::string& answer : {EV_VERSION, EV_STARTED})
    for (const std::string& event : {EV_CONFIG, EV_STOPPED, answer, EV_STOPPED})
      expected.push_back(Utf8ToCp949(event).value() + "\r");
  EXPECT_EQ(LoggedLines(evLog), expected);
  for (const int fd : {fdMaster, fdFull, anClosed[1]}) ::close(fd);
  for (const char* pszName : {"KORVEX_SYSFS_ROOT", "KORVEX_D2XX_LIBRARY"}) ::unsetenv(pszName);
}

// A flood with the output held: bounded memory, drops counted (exit 4); SIGTERM ends in order, or a second signal if blocked.
TEST_F(CliEndToEndTest, FloodWhileTheOutputIsHeld) {
  StartSim({"--rate", "100000"});
  for (const bool bResume : {true, false}) {
    CChildProcess cli;
    ASSERT_TRUE(cli.Start(KORVEX_CLI_PROGRAM, Command({"monitor"})));
    std::string line;
    ASSERT_TRUE(cli.ReadLine(line, WAIT_MS));
    ASSERT_TRUE(WaitUntilDropping(static_cast<pid_t>(cli.Id())));
    EXPECT_LT(ProcStatus(static_cast<pid_t>(cli.Id()), "VmRSS:", 10), 64u * 1024) << "KiB resident";
    if (bResume) {
      for (unsigned i = 0; i < 20000; ++i) ASSERT_TRUE(cli.ReadLine(line, WAIT_MS));
      cli.Signal(SIGTERM);
      EXPECT_EQ(cli.Finish(WAIT_MS), 4);
      EXPECT_EQ(Lines(cli.Out()).back(), EV_STOPPED);
      EXPECT_TRUE(cli.Err().starts_with("korvex-cli: dropped blocks ") && !cli.Err().starts_with("korvex-cli: dropped blocks 0,"))
          << cli.Err();
    } else {
      cli.Signal(SIGHUP);
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
      const unsigned long long qwStopSignals = 1ull << (SIGHUP - 1) | 1ull << (SIGINT - 1) | 1ull << (SIGTERM - 1);
      while ((ProcStatus(static_cast<pid_t>(cli.Id()), "SigCgt:", 16) & qwStopSignals) != 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // until the first one is taken
      cli.Signal(SIGTERM);
      EXPECT_EQ(cli.Finish(WAIT_MS), 128 + SIGTERM);
    }
  }
}

// An asc2log-written candump log replayed twice: the same ":W" lines at the recorded gaps within 2 ms.
TEST_F(CliEndToEndTest, ReplayOfACandumpLogKeepsItsLinesAndGaps) {
  if (!std::filesystem::exists("/usr/bin/asc2log")) GTEST_SKIP() << "can-utils' asc2log is not installed";
  const std::string asc = m_dir.Write("trace.asc",
      "date Mon Dec 7 12:00:00.000 am 2026\nbase hex  timestamps absolute\ninternal events logged\n"
      "Begin Triggerblock Mon Dec 7 12:00:00.000 am 2026\n"
      "   0.000000 1  123             Rx   d 2 11 22\n"
      "   0.010000 1  7FFx            Rx   d 1 33\n"
      "   0.030000 1  18FEF100x       Rx   d 8 01 02 03 04 05 06 07 08\n"
      "   0.035000 1  7E8             Rx   r\n"
      "   0.100000 1  ErrorFrame\n"
      "   0.250000 1  100             Rx   d 0\n"
      "End TriggerBlock\n");
  const std::string log = m_dir / "trace.log", record = m_dir / "taken.txt";
  CChildProcess convert;
  ASSERT_TRUE(convert.Start("/usr/bin/asc2log", {"-I", asc, "-O", log}));
  ASSERT_EQ(convert.Finish(WAIT_MS), 0) << convert.Err();
  const std::vector<std::string> kLines = {":W020123112245", ":W21000007FF33D3", ":W2818FEF1000102030405060708B0",
                                           ":W1007E89C", ":W00010078"};
  const std::vector<double> kGapsMs = {10, 20, 5, 215, 0, 10, 20, 5, 215};
  std::vector<std::string> expected = kLines;
  expected.insert(expected.end(), kLines.begin(), kLines.end());
  // judged on the best of three runs: a busy machine may hold up a thread now and then
  double dWorstMs = 1e9;
  for (int nRun = 0; nRun < 3 && dWorstMs > 2.0; ++nRun) {
    CChildProcess sim;
    ASSERT_TRUE(sim.Start(KORVEX_SIM_PROGRAM, {"--rate", "0", "--record", record, "--seconds", "120"}));
    std::string pty;
    ASSERT_TRUE(sim.ReadLine(pty, WAIT_MS));
    const SCliResult r = RunCli({"--port", pty, "--baud", "921600", "replay", "--loop", "2", log});
    EXPECT_EQ(r.nExit, 6) << r.err;
    EXPECT_EQ(Lines(r.err)[0], log + ":5: skipped: an error frame, which the module does not send");
    EXPECT_EQ(Lines(r.err)[1].rfind("replay: 10 frames sent, 2 skipped, worst lateness ", 0), 0u) << r.err;
    std::ifstream in(record);
    std::vector<std::string> taken;
    std::vector<double> times;
    for (std::string line; std::getline(in, line);) {
      const std::size_t nSpace = line.find(' ');
      times.push_back(std::stod(line.substr(0, nSpace)) * 1000);
      taken.push_back(line.substr(nSpace + 1));
    }
    ASSERT_EQ(taken, expected);
    double dRunWorstMs = 0;
    for (std::size_t i = 0; i < kGapsMs.size(); ++i)
      dRunWorstMs = std::max(dRunWorstMs, std::abs(times[i + 1] - times[i] - kGapsMs[i]));
    dWorstMs = std::min(dWorstMs, dRunWorstMs);
  }
  double dLoad = 0;
  std::ifstream("/proc/loadavg") >> dLoad;
  EXPECT_LE(dWorstMs, 2.0) << "load average " << dLoad;
}

}  // namespace
