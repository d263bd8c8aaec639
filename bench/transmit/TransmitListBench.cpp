// A big transmit file opened into the list, on the real view, offscreen.
//   transmit_list_bench [RECORDS]     (default 1,000,000)
// Writes RECORDS distinct frames to a scratch directory, then reports the time of the open
// (reading, checking and showing the rows; CLeftView::OpenFile) and of the first paint, and
// the memory the open added at its peak (VmHWM, reset just before) against the file's size.
// Targets at 1,000,000 records: the open under 1 s, the memory under three times the file.
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "protocol/CModuleChannel.h"
#include "support/CMemorySettingsStore.h"
#include "transmit/CLeftView.h"
#include "transmit/CTDataObject.h"
#include "transmit/TransmitFile.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:").
long long StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::stoll(line.substr(field.size()));
  return -1;
}

// The peak resident size starts again from the present one.
bool ResetPeak() { return static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5"); }

bool WriteList(const std::string& path, uint32_t dwRecords) {
  std::vector<TData> records(dwRecords);
  for (uint32_t i = 0; i < dwRecords; ++i)
    records[i] = {.bStandardID = 0, .byLength = 8, .dwID = i, .dwBytes0to3 = i, .dwBytes4to7 = ~i};
  return WriteTransmitFile(path, CTDataObject(std::move(records))).m_bOk;
}

}  // namespace

int main(int argc, char** argv) {
  const uint32_t dwRecords = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1000000;
  char szScratch[] = "/tmp/korvex-bench-XXXXXX";
  if (!::mkdtemp(szScratch)) return 1;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("XDG_RUNTIME_DIR", szScratch, 1);
  const std::string path = std::string(szScratch) + "/big.ctd";
  if (!WriteList(path, dwRecords)) return 1;
  const auto qwFileBytes = std::filesystem::file_size(path);

  int nExit = 0;
  {
    QApplication application(argc, argv);
    CMemorySettingsStore store;
    CModuleChannel channel;
    CLeftView view(store, channel, [](std::string&) { return false; });
    view.resize(420, 600);
    view.show();
    QApplication::processEvents();  // the empty list shown, as before a user opens a file

    const long long llRssBefore = StatusKb("VmRSS:");
    const bool bPeakReset = ResetPeak();
    const auto start = Clock::now();
    const bool bOpened = view.OpenFile(path);
    const double dOpenMs = MillisecondsSince(start);
    const auto paintStart = Clock::now();
    view.repaint();
    const double dPaintMs = MillisecondsSince(paintStart);
    const long long llPeakAdded = StatusKb("VmHWM:") - llRssBefore;

    std::printf("records              %u (%d rows shown)\n", dwRecords, view.RowCount());
    std::printf("file                 %.1f MB\n", static_cast<double>(qwFileBytes) / 1e6);
    std::printf("open                 %.0f ms%s\n", dOpenMs, bOpened ? "" : "  (FAILED)");
    std::printf("first paint          %.1f ms\n", dPaintMs);
    std::printf("memory added (peak)  %.1f MB = %.2f x the file%s\n", static_cast<double>(llPeakAdded) * 1024 / 1e6,
                static_cast<double>(llPeakAdded) * 1024 / static_cast<double>(qwFileBytes),
                bPeakReset ? "" : "  (peak not reset: since the start)");
    std::printf("resident after open  %.1f MB\n", static_cast<double>(StatusKb("VmRSS:")) * 1024 / 1e6);
    nExit = bOpened && view.RowCount() == static_cast<int>(dwRecords) ? 0 : 1;
  }
  std::filesystem::remove_all(szScratch);
  return nExit;
}
