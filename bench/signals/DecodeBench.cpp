// Decoding in process: frames/s and signals/s over random frames of every message of the
// three real DBC files (looked up by identifier, then every signal decoded), beside the rate
// of canmatrix decoding the same kind of frames, measured in the same run by
// canmatrix_rate.py (skipped without python3-canmatrix).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "signals/DbcReader.h"
#include "signals/SignalCodec.h"

namespace {

constexpr int FRAMES_PER_MESSAGE = 64;
const char* const DBC_FILES[] = {"tesla_can.dbc", "toyota_prius_2010_pt.dbc", "vw_mqb.dbc"};

struct BenchFrame {
  const CDbcDatabase* pDatabase;
  bool bExtended;
  uint32_t dwId;
  uint8_t abyData[8];
};

void BM_DecodeRealFrames(benchmark::State& state) {
  std::vector<CDbcDatabase> databases;
  for (const char* pszFile : DBC_FILES) {
    DbcReadResult read = ReadDbcFile(std::string(KORVEX_DBC_DIR "/") + pszFile);
    if (!read.m_bOk) {
      state.SkipWithError(read.ErrorText().c_str());
      return;
    }
    databases.push_back(std::move(read.m_database));
  }
  std::mt19937 random(20);
  std::vector<BenchFrame> frames;
  for (const CDbcDatabase& database : databases)
    for (const DbcMessage& message : database.Messages())
      for (int i = 0; i < FRAMES_PER_MESSAGE; ++i) {
        BenchFrame frame{&database, message.m_bExtended, message.m_dwId, {}};
        for (uint8_t& by : frame.abyData) by = static_cast<uint8_t>(random());
        frames.push_back(frame);
      }
  std::shuffle(frames.begin(), frames.end(), random);
  std::vector<DecodedSignal> values;
  int64_t nSignals = 0;
  for (auto _ : state) {
    for (const BenchFrame& frame : frames) {
      const DbcMessage* pMessage = frame.pDatabase->Find(frame.bExtended, frame.dwId);
      DecodeSignals(*pMessage, frame.abyData, values);
      nSignals += static_cast<int64_t>(values.size());
      benchmark::DoNotOptimize(values.data());
    }
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations() * frames.size()), benchmark::Counter::kIsRate);
  state.counters["signals/s"] = benchmark::Counter(static_cast<double>(nSignals), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeRealFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

// canmatrix's rate, as its script prints it: "FRAMES_PER_SECOND SIGNALS_PER_SECOND".
void BM_CanmatrixReference(benchmark::State& state) {
  double dFrames = 0.0, dSignals = 0.0;
  for (auto _ : state) {
    const std::string command = std::string("/usr/bin/python3 " KORVEX_CANMATRIX_RATE " " KORVEX_DBC_DIR " 2>/dev/null");
    std::FILE* pPipe = ::popen(command.c_str(), "r");
    const bool bRead = pPipe && std::fscanf(pPipe, "%lf %lf", &dFrames, &dSignals) == 2;
    if (pPipe) ::pclose(pPipe);
    if (!bRead) {
      state.SkipWithError("canmatrix_rate.py gave no rate (is python3-canmatrix installed?)");
      return;
    }
  }
  state.counters["frames/s"] = dFrames;
  state.counters["signals/s"] = dSignals;
}
BENCHMARK(BM_CanmatrixReference)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
