// Line assembler throughput (MB/s) on a stream of the longest received frames, and the
// cost of building the longest transmit line.
#include <benchmark/benchmark.h>

#include <string>

#include "protocol/CLineAssembler.h"
#include "protocol/LineFraming.h"
#include "protocol/ModuleCommands.h"

namespace {

class CCounter : public LineDispatcher {
public:
  void DispatchLine(const CLineAssembler& line) override { m_nSum += line.Field(12); ++m_nLines; }
  unsigned m_nSum = 0;
  unsigned m_nLines = 0;
};

void BM_AssembleLongestFrames(benchmark::State& state) {
  std::string stream;
  for (int i = 0; i < 1000; ++i) stream += BuildLine(":U2812345678" "0011223344556677").View();
  CCounter counter;
  CLineAssembler assembler(counter);
  assembler.Reset();
  for (auto _ : state) {
    for (char c : stream) assembler.FeedByte(static_cast<uint8_t>(c));
    benchmark::DoNotOptimize(counter.m_nSum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(counter.m_nLines), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AssembleLongestFrames);

void BM_BuildLongestSendLine(benchmark::State& state) {
  const uint8_t abyData[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  for (auto _ : state) {
    const CLineText line = BuildLine(SendFramePayload(false, true, 8, 0x1ABCDEF0, abyData).View());
    benchmark::DoNotOptimize(line.m_byLength);
  }
}
BENCHMARK(BM_BuildLongestSendLine);

}  // namespace
