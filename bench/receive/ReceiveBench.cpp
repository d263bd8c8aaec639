// The headless receive path on one core: bytes from the link -> receive queue -> line
// assembler -> decoder -> frame records -> the consumers: the receive-data log file, or the
// per-identifier statistics and bus load. The longest "U" line (2.0B, 8 data bytes) is 31
// bytes, so a 921,600 bit/s link carries at most 2,973 of them a second; the path to the log
// has to stay at least 100 times faster (297,300 frames/s), the one to the statistics at
// 1,000,000 frames/s.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "link/CByteQueue.h"
#include "protocol/CModuleChannel.h"
#include "protocol/ChannelOwner.h"
#include "receive/CLogFiles.h"
#include "receive/CRDataLogWriter.h"
#include "stats/CBusLoad.h"
#include "stats/CFrameStatistics.h"

namespace {

constexpr double LINK_FRAMES_PER_SECOND = 2973.0;
constexpr unsigned FRAMES_PER_BLOCK = 2000;  // 62,000 bytes: one full drain of the 64 KiB queue

// No transport is opened: the bytes are pushed into the queue as a reader thread would.
class CIdleTransport final : public ByteTransport {
public:
  void SetNotifyTarget(ReaderListener*, CByteQueue*) override {}
  bool Open(const std::string&, uint32_t) override { return false; }
  int Close() override { return 0; }
  uint32_t Write(const uint8_t*, uint32_t nLength) override { return nLength; }
  bool IsOpen() const override { return false; }
  uint32_t LineRate() const override { return 0; }
  std::string LastError() const override { return {}; }
  uint64_t DroppedBlocks() const override { return 0; }
};

// Counts what is posted instead of queueing it, as a frame window handles each at once.
class CCountingWindow final : public MessageHost {
public:
  void Post(unsigned, uintptr_t, intptr_t) override { ++m_qwPosts; }
  void SetTimer(unsigned, unsigned) override {}
  void KillTimer(unsigned) override {}
  uint64_t m_qwPosts = 0;
};

class CBenchOwner final : public ChannelOwner {
public:
  MessageHost& OwnerWindow() override { return m_window; }
  void SetPortOpen(bool) override {}
  CCountingWindow m_window;
};

// Counts what the consumers got.
class CCountingConsumer final : public FrameConsumer {
public:
  void OnFrames(std::span<const ReceivedFrame> frames) override { m_qwFrames += frames.size(); }
  uint64_t m_qwFrames = 0;
};

long ResidentKilobytes() {
  long nPages = 0;
  long nResident = 0;
  if (std::FILE* pFile = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(pFile, "%ld %ld", &nPages, &nResident) != 2) nResident = 0;
    std::fclose(pFile);
  }
  return nResident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// A block of longest "U" lines with changing identifiers and data, as the module sends them.
std::string MakeBlock() {
  std::string block;
  for (unsigned n = 0; n < FRAMES_PER_BLOCK; ++n) {
    char szPayload[32];
    std::snprintf(szPayload, sizeof szPayload, ":U28%08X%08X%08X", 0x100u + n, n, ~n);
    block += BuildLine(szPayload).View();
  }
  return block;
}

class CReceivePath {
public:
  // To the receive-data log, or (bStatistics) to the statistics and bus load.
  explicit CReceivePath(bool bStatistics = false)
      : m_channel(std::make_unique<CIdleTransport>(), std::make_unique<CIdleTransport>()) {
    char szDir[] = "/tmp/korvex-bench-XXXXXX";
    m_dir = ::mkdtemp(szDir) ? szDir : "/tmp";
    m_channel.Create(&m_window, &m_owner);
    m_channel.AddFrameConsumer(&m_counter);
    if (bStatistics) {
      m_channel.AddFrameConsumer(&m_stats);
      m_channel.AddFrameConsumer(&m_busLoad);
      return;
    }
    m_logs.SetPath(LOG_RDATA, m_dir + "/RDataLog.txt");
    m_logs.OpenLogFile(LOG_RDATA);
    m_logs.SetLogging(LOG_RDATA, m_logs.IsOpen(LOG_RDATA));
    m_channel.AddFrameConsumer(&m_logWriter);
  }
  ~CReceivePath() {
    m_channel.Destroy();
    m_logs.CloseLogFiles();
    std::error_code ec;
    if (m_dir != "/tmp") std::filesystem::remove_all(m_dir, ec);
  }
  void Receive(const std::string& block) {
    m_channel.ReceiveQueue().Push(reinterpret_cast<const uint8_t*>(block.data()), static_cast<uint32_t>(block.size()));
    m_channel.OnRxNotify();
  }
  // Keeps the file well below the size limit so that every line is really written.
  void StartLogAfresh() {
    if (m_logs.IsLogging(LOG_RDATA) && std::filesystem::file_size(m_logs.Path(LOG_RDATA)) < 50000000) return;
    m_logs.CloseLogFile(LOG_RDATA);
    std::filesystem::remove(m_logs.Path(LOG_RDATA));
    m_logs.OpenLogFile(LOG_RDATA);
    m_logs.SetLogging(LOG_RDATA, m_logs.IsOpen(LOG_RDATA));
  }
  bool IsLogging() const { return m_logs.IsLogging(LOG_RDATA); }
  uint64_t Lines() const { return m_counter.m_qwFrames; }
  uint64_t Posts() const { return m_owner.m_window.m_qwPosts; }
  const CFrameStatistics& Statistics() const { return m_stats; }
  const CBusLoad& BusLoad() const { return m_busLoad; }

private:
  std::string m_dir;
  CLogFiles m_logs;
  CRDataLogWriter m_logWriter{m_logs};
  CCountingConsumer m_counter;
  CFrameStatistics m_stats;
  CBusLoad m_busLoad{500000.0};
  CBenchOwner m_owner;
  CCountingWindow m_window;
  CModuleChannel m_channel;
};

void BM_ReceivePathToLogFile(benchmark::State& state) {
  const std::string block = MakeBlock();
  CReceivePath path;
  for (auto _ : state) {
    path.Receive(block);
    state.PauseTiming();
    path.StartLogAfresh();
    state.ResumeTiming();
  }
  if (!path.IsLogging() || path.Lines() != static_cast<uint64_t>(state.iterations()) * FRAMES_PER_BLOCK)
    state.SkipWithError("not every frame reached the log");
  state.SetItemsProcessed(state.iterations() * FRAMES_PER_BLOCK);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(block.size()));
  state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations() * FRAMES_PER_BLOCK),
                                                      benchmark::Counter::kIsRate);
  state.counters["times_link_rate"] = benchmark::Counter(
      static_cast<double>(state.iterations() * FRAMES_PER_BLOCK) / LINK_FRAMES_PER_SECOND, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReceivePathToLogFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The frame stream with the per-identifier statistics and bus load as its consumers, 2,000
// identifiers with changing data.
void BM_ReceivePathToStatistics(benchmark::State& state) {
  const std::string block = MakeBlock();
  CReceivePath path(true);
  for (auto _ : state) path.Receive(block);
  const uint64_t qwFrames = static_cast<uint64_t>(state.iterations()) * FRAMES_PER_BLOCK;
  if (path.Lines() != qwFrames || path.Statistics().Entries().size() != FRAMES_PER_BLOCK ||
      path.BusLoad().Total(1).m_qwFrames != qwFrames)
    state.SkipWithError("not every frame reached the statistics");
  state.SetItemsProcessed(static_cast<int64_t>(qwFrames));
  state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(qwFrames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReceivePathToStatistics)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A long monitor run: resident memory after the first 100,000 frames and after 5,000,000.
void BM_LongRunMemory(benchmark::State& state) {
  const std::string block = MakeBlock();
  const uint64_t qwFrames = static_cast<uint64_t>(state.range(0));
  for (auto _ : state) {
    CReceivePath path;
    for (uint64_t i = 0; i < 100000 / FRAMES_PER_BLOCK; ++i) path.Receive(block);
    const long nStartKb = ResidentKilobytes();
    for (uint64_t n = 100000; n < qwFrames; n += FRAMES_PER_BLOCK) {
      path.Receive(block);
      path.StartLogAfresh();
    }
    const long nEndKb = ResidentKilobytes();
    state.counters["rss_start_kb"] = static_cast<double>(nStartKb);
    state.counters["rss_end_kb"] = static_cast<double>(nEndKb);
    state.counters["rss_growth_kb"] = static_cast<double>(nEndKb - nStartKb);
    state.counters["frames"] = static_cast<double>(path.Lines());
    state.counters["activity_posts"] = static_cast<double>(path.Posts());
  }
}
BENCHMARK(BM_LongRunMemory)->Arg(5000000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
