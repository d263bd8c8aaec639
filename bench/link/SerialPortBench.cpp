// The serial receive path on a pseudo-terminal: bytes per second from the "device" through
// the reader thread and the receive queue to the consumer, and the CPU an open port costs
// while nothing arrives (it must be none: the reader sleeps in poll with no timer).
#include <benchmark/benchmark.h>
#include <time.h>

#include <thread>

#include "CPseudoTerminal.h"
#include "LinkTestSupport.h"
#include "link/CSerialPort.h"

namespace {

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A serial port opened on the slave side of a fresh pseudo-terminal, feeding a receiver; the
// benchmark is skipped when that cannot be had.
struct COpenPty {
  explicit COpenPty(benchmark::State& state) {
    port.SetNotifyTarget(&rx.host, rx.pQueue.get());
    bOpen = pty.IsValid() && port.Open(pty.SlavePath(), 921600);
    if (!bOpen) state.SkipWithError("no pseudo-terminal");
  }
  bool IsOpen() const { return bOpen; }

  CPseudoTerminal pty;
  LinkReceiver rx;
  CSerialPort port;
  bool bOpen = false;
};

void BM_PtyThroughReaderToConsumer(benchmark::State& state) {
  COpenPty open(state);
  if (!open.IsOpen()) return;
  // Half the queue per round, consumed completely before the next: nothing is ever dropped.
  const std::vector<uint8_t> chunk = TestPattern(static_cast<size_t>(state.range(0)));
  uint64_t qwChecksum = 0;
  for (auto _ : state) {
    if (!open.pty.Send(chunk) || !open.rx.WaitForQueued(static_cast<uint32_t>(chunk.size()))) {
      state.SkipWithError("bytes did not arrive");
      break;
    }
    while (open.rx.pQueue->Count() > 0) qwChecksum += open.rx.pQueue->Pop();
  }
  benchmark::DoNotOptimize(qwChecksum);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
  state.counters["dropped_blocks"] = static_cast<double>(open.port.DroppedBlocks());
  state.counters["notifications"] = static_cast<double>(open.rx.host.Posts());
}
BENCHMARK(BM_PtyThroughReaderToConsumer)->Arg(256)->Arg(4096)->Arg(32768)->UseRealTime();

// CPU time of the whole process over one idle second with the port open; the main thread
// sleeps, so all of it is the reader's. arg 0: healthy port; arg 1: the device hung up.
void BM_IdleOpenPortCpu(benchmark::State& state) {
  COpenPty open(state);
  if (!open.IsOpen()) return;
  if (state.range(0) == 1) {
    open.pty.Send({'x'});
    open.rx.WaitForQueued(1);
    open.pty.CloseMaster();
  }
  double dCpu = 0;
  for (auto _ : state) {
    const double dStart = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    dCpu += ProcessCpuSeconds() - dStart;
  }
  state.counters["cpu_ms_per_idle_s"] = dCpu * 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_IdleOpenPortCpu)->Arg(0)->Arg(1)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
