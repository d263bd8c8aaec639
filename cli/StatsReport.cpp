#include "cli/StatsReport.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <tuple>
#include <vector>

namespace {

// snprintf into a string; every field here is far shorter than the buffer.
template <class... TArgs>
void Append(std::string& out, const char* pszFormat, TArgs... args) {
  char sz[128];
  const int n = std::snprintf(sz, sizeof sz, pszFormat, args...);
  if (n > 0) out.append(sz, std::min(static_cast<std::size_t>(n), sizeof sz - 1));
}

void AppendCycle(std::string& out, bool bCsv, bool bKnown, double dMs) {
  if (bCsv)
    bKnown ? Append(out, ",%.3f", dMs) : Append(out, ",");
  else
    bKnown ? Append(out, "  %8.2f", dMs) : Append(out, "  %8s", "-");
}

}  // namespace

std::string StatsReport(std::span<const IdStatistics> entries, const BusFigures& bus, bool bCsv) {
  std::vector<const IdStatistics*> sorted;
  sorted.reserve(entries.size());
  for (const IdStatistics& entry : entries) sorted.push_back(&entry);
  const auto order = [](const IdStatistics* p) { return std::tuple(p->m_dwId, !p->m_bStandard, p->m_bRemote); };
  std::sort(sorted.begin(), sorted.end(), [&](const IdStatistics* pA, const IdStatistics* pB) { return order(pA) < order(pB); });
  std::string out = bCsv ? "protocol,id,kind,count,mean_ms,min_ms,max_ms,frames_per_s,bus_load_percent\n"
                         : "Protocol  ID        Kind      Count   Mean ms    Min ms    Max ms  Frames/s\n";
  for (const IdStatistics* pEntry : sorted) {
    const IdStatistics& e = *pEntry;
    const char* pszProtocol = e.m_bStandard ? "CAN2.0A" : "CAN2.0B";
    const char* pszKind = e.m_bRemote ? "remote" : "data";
    const int nDigits = e.m_bStandard ? 3 : 8;
    if (bCsv)
      Append(out, "%s,%0*" PRIX32 ",%s,%" PRIu64, pszProtocol, nDigits, e.m_dwId, pszKind, e.m_qwCount);
    else
      Append(out, "%-8s  %0*" PRIX32 "%*s  %-6s  %7" PRIu64, pszProtocol, nDigits, e.m_dwId, 8 - nDigits, "",
             pszKind, e.m_qwCount);
    const bool bCycles = e.m_qwCount > 1;
    AppendCycle(out, bCsv, bCycles, e.MeanCycleMs());
    AppendCycle(out, bCsv, bCycles, e.MinCycleMs());
    AppendCycle(out, bCsv, bCycles, e.MaxCycleMs());
    bCsv ? Append(out, ",%.2f,\n", e.m_dFramesPerSecond) : Append(out, "  %8.2f\n", e.m_dFramesPerSecond);
  }
  if (bCsv)
    Append(out, "total,,,%" PRIu64 ",,,,%.2f,%.2f\n", bus.m_qwFrames, bus.m_dFramesPerSecond, bus.m_dLoadPercent);
  else
    Append(out, "%-26s  %7" PRIu64 "  %8s  %8s  %8s  %8.2f  bus load %.2f %%\n", "Total", bus.m_qwFrames, "", "", "",
           bus.m_dFramesPerSecond, bus.m_dLoadPercent);
  return out;
}
