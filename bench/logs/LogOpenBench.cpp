// Opening a candump log for viewing: the index built in the window's steps with the
// per-identifier statistics fed, then rows read at the start, middle and end as a scrolling
// view asks for them. Counters: frames, the index's memory (resident growth) against the file.
// The file is made once per size under the temporary directory and kept for the next run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "logs/CLogIndex.h"
#include "logs/CandumpLine.h"
#include "stats/CFrameStatistics.h"

namespace {

std::string MakeLog(int64_t nFrames) {
  const char* pszTmp = std::getenv("TMPDIR");
  const std::string path = std::string(pszTmp != nullptr ? pszTmp : "/tmp") + "/korvex-bench-" + std::to_string(nFrames) + ".log";
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && st.st_size > nFrames * 30) return path;
  std::FILE* pOut = std::fopen(path.c_str(), "we");
  std::string line;
  CanFrame frame;
  for (int64_t i = 0; i < nFrames; ++i) {
    frame.m_bStandard = i % 4 != 0;
    frame.m_dwId = static_cast<uint32_t>(0x100 + i % 40) | (frame.m_bStandard ? 0 : 0x18FE0000);
    frame.m_byLength = frame.m_byLengthCode = frame.m_byDataCount = 8;
    for (int b = 0; b < 8; ++b) frame.m_abyData[b] = static_cast<uint8_t>(i >> (b * 3));
    CandumpLine(frame, 1700000000LL * 1000000000 + i * 250000, line);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), pOut);
  }
  std::fclose(pOut);
  return path;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

void BM_OpenCandumpLog(benchmark::State& state) {
  const std::string path = MakeLog(state.range(0));
  struct stat st {};
  ::stat(path.c_str(), &st);
  for (auto _ : state) {
    const long nBefore = ResidentKb();
    CLogIndex index;
    CFrameStatistics stats;
    if (!index.Open(path)) state.SkipWithError(index.Error().c_str());
    while (index.Step(20000, &stats)) {
    }
    ReceivedFrame record;
    for (const std::size_t nAt : {std::size_t{0}, index.Size() / 2, index.Size() - 60})
      for (std::size_t i = nAt; i < nAt + 60 && i < index.Size(); ++i) index.ReadFrame(i, record);
    state.counters["frames"] = static_cast<double>(index.Size());
    state.counters["memory_MB"] = static_cast<double>(ResidentKb() - nBefore) / 1024.0;
    state.counters["file_MB"] = static_cast<double>(st.st_size) / 1048576.0;
    benchmark::DoNotOptimize(stats.Entries().size());
  }
}
BENCHMARK(BM_OpenCandumpLog)->Arg(1000000)->Arg(10000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
