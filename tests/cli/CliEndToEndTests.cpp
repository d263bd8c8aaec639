// korvex-cli against korvex-sim on a pseudo-terminal, every command, and monitor at the line
// rate of a 921,600 bit/s link. Each test starts its own simulated module.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/ChildProcess.h"
#include "receive/TempDir.h"
#include "uisupport/Cp949Text.h"

namespace {

constexpr int WAIT_MS = 20000;
const std::string EV_DEFAULT_CONFIG =
    "[Korvex 환경설정 읽기 응답] : CAN2.0B  250.00K BPS  수신 ID:00000000  수신 Mask ID:00000000";
const std::string EV_STOPPED = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중";
const std::string EV_RUNNING = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 동작 중";

struct CliResult {
  int nExit;
  std::vector<std::string> out;
  std::vector<std::string> err;
};

CliResult RunCli(const std::vector<std::string>& args) {
  CChildProcess cli;
  EXPECT_TRUE(cli.Start(KORVEX_CLI_PROGRAM, args));
  const int nExit = cli.Finish(WAIT_MS);
  return {nExit, cli.RemainingLines(), cli.ErrorLines()};
}

class CliEndToEndTest : public ::testing::Test {
protected:
  // Starts korvex-sim with these options; its first output line is the terminal's path.
  void StartSim(std::vector<std::string> args = {}) {
    args.insert(args.end(), {"--seconds", "120"});
    ASSERT_TRUE(m_sim.Start(KORVEX_SIM_PROGRAM, args));
    ASSERT_TRUE(m_sim.ReadLine(m_pty, WAIT_MS));
    ASSERT_EQ(m_pty.rfind("/dev/pts/", 0), 0u) << m_pty;
  }
  std::vector<std::string> Port() const { return {"--port", m_pty, "--baud", "921600"}; }
  CliResult Cli(std::vector<std::string> command) {
    std::vector<std::string> args = Port();
    args.insert(args.end(), command.begin(), command.end());
    return RunCli(args);
  }

  CChildProcess m_sim;
  std::string m_pty;
};

TEST_F(CliEndToEndTest, ReadConfigShowsTheStartupExchangeAndTheAnswer) {
  StartSim();
  const CliResult r = Cli({"read-config"});
  EXPECT_EQ(r.nExit, 0);
  EXPECT_EQ(r.out, (std::vector<std::string>{EV_DEFAULT_CONFIG, EV_STOPPED, EV_DEFAULT_CONFIG, EV_STOPPED}));
  EXPECT_TRUE(r.err.empty());
}

TEST_F(CliEndToEndTest, VersionResetAndSendAreAnswered) {
  StartSim({"--version", "0x34", "--rate", "0"});
  CliResult r = Cli({"version"});
  EXPECT_EQ(r.nExit, 0);
  ASSERT_EQ(r.out.size(), 4u);
  EXPECT_EQ(r.out[2], "[Korvex 버전 응답]          : 버전 3.4");

  r = Cli({"reset"});
  EXPECT_EQ(r.nExit, 0);
  ASSERT_EQ(r.out.size(), 4u);  // every run is a new channel: the start-up exchange again
  EXPECT_EQ(r.out[2], "[CAN 리셋 응답]             : Command Reset");

  r = Cli({"send", "--std", "123", "11", "22"});
  EXPECT_EQ(r.nExit, 0);
  ASSERT_EQ(r.out.size(), 4u);
  EXPECT_EQ(r.out[2], "[CAN 데이터 송신 응답]      : CAN2.0A  Data Frame  길이:2  ID:123  데이터:11 22");

  r = Cli({"send", "--remote", "1ABCDEF0"});
  EXPECT_EQ(r.nExit, 0);
  ASSERT_EQ(r.out.size(), 4u);
  EXPECT_EQ(r.out[2], "[CAN 데이터 송신 응답]      : CAN2.0B  Remote Frame  길이:0  ID:1ABCDEF0");
}

TEST_F(CliEndToEndTest, WrittenConfigurationIsReadBack) {
  StartSim({"--rate", "0"});
  const std::string written = "CAN2.0A  500.00K BPS  수신 ID:123  수신 Mask ID:7F0";
  CliResult r = Cli({"write-config", "--std", "--bitrate", "500K", "--report", "busoff,warning", "--id", "123",
                     "--mask", "7F0"});
  EXPECT_EQ(r.nExit, 0);
  ASSERT_EQ(r.out.size(), 4u);
  EXPECT_EQ(r.out[2], "[Korvex 환경설정 쓰기 응답] : " + written);
  r = Cli({"read-config"});
  EXPECT_EQ(r.nExit, 0);
  ASSERT_GE(r.out.size(), 2u);
  EXPECT_EQ(r.out.end()[-2], "[Korvex 환경설정 읽기 응답] : " + written);
}

// Sequence number carried in the simulator's frame data ("데이터:00 00 00 0A FF FF FF F5"), or
// -1 when the line is no such frame or its complement does not match.
long long SequenceOf(const std::string& line) {
  const std::size_t nAt = line.find("데이터:");
  unsigned aby[8];
  if (nAt == std::string::npos ||
      std::sscanf(line.c_str() + nAt + std::string("데이터:").size(), "%x %x %x %x %x %x %x %x", &aby[0], &aby[1],
                  &aby[2], &aby[3], &aby[4], &aby[5], &aby[6], &aby[7]) != 8)
    return -1;
  uint32_t dwSeq = 0;
  uint32_t dwInverse = 0;
  for (int i = 0; i < 4; ++i) {
    dwSeq = (dwSeq << 8) | aby[i];
    dwInverse = (dwInverse << 8) | aby[4 + i];
  }
  return dwInverse == ~dwSeq ? static_cast<long long>(dwSeq) : -1;
}

TEST_F(CliEndToEndTest, MonitorReceivesEveryFrameInOrderAtTheLineRate) {
  StartSim({"--rate", "2973"});  // the longest "U" lines a 921,600 bit/s link carries per second
  CTempDir dir;
  const unsigned COUNT = 6000;
  std::vector<std::string> args = Port();
  args.insert(args.end(), {"--rdata-log", dir.File("rd.txt"), "monitor", "--count", std::to_string(COUNT)});
  const CliResult r = RunCli(args);
  EXPECT_EQ(r.nExit, 0);
  ASSERT_EQ(r.out.size(), 3u + COUNT + 1u);
  EXPECT_EQ(r.out[2], EV_RUNNING);
  EXPECT_EQ(r.out.back(), EV_STOPPED);
  const long long llFirst = SequenceOf(r.out[3]);
  ASSERT_GE(llFirst, 0) << r.out[3];
  for (unsigned i = 0; i < COUNT; ++i) {
    ASSERT_EQ(r.out[3 + i].rfind("CAN2.0B  Data Frame    길이:8  ID:", 0), 0u) << r.out[3 + i];
    ASSERT_EQ(SequenceOf(r.out[3 + i]), llFirst + i) << "frame " << i << " lost or out of order";
  }
  // The receive-data log holds the same lines, stamped, in CP949 with CR LF.
  std::ifstream in(dir.File("rd.txt"), std::ios::binary);
  std::vector<std::string> logged;
  for (std::string line; std::getline(in, line);) logged.push_back(line);
  ASSERT_EQ(logged.size(), COUNT);
  EXPECT_EQ(logged.back().substr(21), Utf8ToCp949(r.out[2 + COUNT]).value() + "\r");
}

TEST_F(CliEndToEndTest, MonitorEndsAfterItsSecondsWithReceptionStopped) {
  StartSim({"--rate", "50"});
  const CliResult r = Cli({"--timestamps", "monitor", "--seconds", "1"});
  EXPECT_EQ(r.nExit, 0);
  ASSERT_GE(r.out.size(), 4u + 20u);  // about fifty frames in the second
  for (const std::string& line : r.out) EXPECT_EQ(line[4], '.') << "time stamp expected: " << line;
  EXPECT_EQ(r.out.back().substr(21), EV_STOPPED);
}

TEST_F(CliEndToEndTest, MonitorStopsReceptionOnSigint) {
  StartSim({"--rate", "200"});
  CChildProcess cli;
  std::vector<std::string> args = Port();
  args.push_back("monitor");
  ASSERT_TRUE(cli.Start(KORVEX_CLI_PROGRAM, args));
  std::string line;
  unsigned nFrames = 0;
  while (nFrames < 20 && cli.ReadLine(line, WAIT_MS)) nFrames += SequenceOf(line) >= 0;
  ASSERT_EQ(nFrames, 20u);
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Finish(WAIT_MS), 0);
  const auto rest = cli.RemainingLines();
  ASSERT_FALSE(rest.empty());
  EXPECT_EQ(rest.back(), EV_STOPPED);
}

TEST_F(CliEndToEndTest, SilentPortGivesTheCommunicationErrorAndExitFour) {
  const int fdMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(fdMaster, 0);
  ASSERT_EQ(::grantpt(fdMaster), 0);
  ASSERT_EQ(::unlockpt(fdMaster), 0);
  const std::string slave = ::ptsname(fdMaster);
  const CliResult r = RunCli({"--port", slave, "version"});
  ::close(fdMaster);
  EXPECT_EQ(r.nExit, 4);
  EXPECT_EQ(r.out, (std::vector<std::string>{
                       "[Korvex 통신에러 발생]      : Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다"}));
}

TEST(CliProgram, MissingPortGivesExitThreeAndTheMessage) {
  CTempDir dir;
  CliResult r = RunCli({"--port", dir.File("no-such-tty"), "version"});
  EXPECT_EQ(r.nExit, 3);
  EXPECT_EQ(r.err, (std::vector<std::string>{"지정한 시리얼 통신 포트를 여는데 실패했읍니다"}));
  EXPECT_TRUE(r.out.empty());
}

TEST(CliProgram, PortsListsTheCommandLinePortWithoutTouchingTheSystem) {
  CTempDir dir;  // an empty tty tree and no D2XX library stand in for the machine's
  ::setenv("KORVEX_SYSFS_ROOT", dir.Path().c_str(), 1);
  ::setenv("KORVEX_D2XX_LIBRARY", dir.File("no-libftd2xx.so").c_str(), 1);
  const CliResult r = RunCli({"--port", dir.File("sim.tty"), "ports"});
  ::unsetenv("KORVEX_SYSFS_ROOT");
  ::unsetenv("KORVEX_D2XX_LIBRARY");
  EXPECT_EQ(r.nExit, 0);
  EXPECT_EQ(r.out, (std::vector<std::string>{"serial  " + dir.File("sim.tty") + "  -  " + dir.File("sim.tty")}));
}

TEST(CliProgram, BadUsageGivesExitTwoAndTheUsage) {
  const CliResult r = RunCli({"--port", "/dev/null", "write-config", "--bit-timing", "0xFFFF"});
  EXPECT_EQ(r.nExit, 2);
  ASSERT_GE(r.err.size(), 2u);
  EXPECT_EQ(r.err[0], "korvex-cli: CAN 비트 타임 데이터 입력이 잘못되었읍니다");
  EXPECT_NE(r.err[1].find("usage: korvex-cli"), std::string::npos);
  EXPECT_TRUE(r.out.empty());
}

}  // namespace
