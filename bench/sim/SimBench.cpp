// How fast the simulated module makes and answers lines, and proof that korvex-sim costs no
// CPU while idle, also after a client has closed its terminal.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "protocol/CLineAssembler.h"
#include "sim/CSimModule.h"

extern char** environ;

namespace {

class CLineCounter : public LineDispatcher {
public:
  void DispatchLine(const CLineAssembler&) override { ++m_nLines; }
  void Feed(const std::string& bytes) {
    for (char c : bytes) m_assembler.FeedByte(static_cast<uint8_t>(c));
  }
  uint64_t m_nLines = 0;

private:
  CLineAssembler m_assembler{*this};
};

// Frames at the highest rate, made, framed and decoded again by a client.
void BM_SimFrameStream(benchmark::State& state) {
  CSimModule sim;
  CLineCounter client;
  sim.SetFrameRate(CSimModule::MAX_FRAME_RATE);
  const uint8_t abyStart[] = ":G11A9\r";
  sim.Feed(abyStart, sizeof abyStart - 1);
  uint64_t qwNow = 0;
  for (auto _ : state) {
    sim.Advance(++qwNow);  // 100 frames per millisecond
    client.Feed(sim.TakeOutput());
  }
  state.SetItemsProcessed(static_cast<int64_t>(client.m_nLines));
}
BENCHMARK(BM_SimFrameStream);

// The longest command, a 2.0B frame with eight data bytes, answered with its echo.
void BM_SimTransmitEcho(benchmark::State& state) {
  CSimModule sim;
  const std::string command = ":W281FFFFFFF010203040506070800\r";
  for (auto _ : state) {
    sim.Feed(reinterpret_cast<const uint8_t*>(command.data()), command.size());
    if (sim.TakeOutput().size() != command.size()) return state.SkipWithError("no echo");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SimTransmitEcho);

// CPU time in clock ticks and voluntary context switches of a process.
void ProcessCost(pid_t nPid, long& nTicks, long& nSwitches) {
  std::ifstream stat("/proc/" + std::to_string(nPid) + "/stat");
  std::string field;
  nTicks = 0;
  for (int i = 1; i <= 15 && stat >> field; ++i)
    if (i == 14 || i == 15) nTicks += std::stol(field);
  std::ifstream status("/proc/" + std::to_string(nPid) + "/status");
  std::string line;
  nSwitches = 0;
  while (std::getline(status, line))
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) nSwitches = std::stol(line.substr(24));
}

// korvex-sim with no reception running, after a client opened and closed its terminal: the
// counters show the CPU ticks and wake-ups of one idle second (both should be 0).
void BM_SimProgramIdle(benchmark::State& state) {
  for (auto _ : state) {
    int anOut[2];
    if (::pipe2(anOut, O_CLOEXEC) != 0) return state.SkipWithError("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, anOut[1], 1);
    char* argv[] = {const_cast<char*>(KORVEX_SIM_PROGRAM), nullptr};
    pid_t nPid = 0;
    const int nError = ::posix_spawn(&nPid, KORVEX_SIM_PROGRAM, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(anOut[1]);
    FILE* pOut = ::fdopen(anOut[0], "r");
    char szPath[256] = {};
    const bool bStarted = nError == 0 && pOut != nullptr && std::fgets(szPath, sizeof szPath, pOut) != nullptr;
    if (pOut != nullptr) std::fclose(pOut);
    if (!bStarted) return state.SkipWithError("korvex-sim did not start");
    szPath[std::strcspn(szPath, "\n")] = '\0';
    const int nClient = ::open(szPath, O_RDWR | O_NOCTTY);
    if (nClient >= 0) ::close(nClient);

    long nTicks0, nSwitches0, nTicks1, nSwitches1;
    ProcessCost(nPid, nTicks0, nSwitches0);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ProcessCost(nPid, nTicks1, nSwitches1);
    ::kill(nPid, SIGTERM);
    ::waitpid(nPid, nullptr, 0);
    state.counters["cpu_ticks"] = static_cast<double>(nTicks1 - nTicks0);
    state.counters["wakeups"] = static_cast<double>(nSwitches1 - nSwitches0);
  }
}
BENCHMARK(BM_SimProgramIdle)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
