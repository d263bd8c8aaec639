#pragma once
// What `korvex-cli stats` prints when reception ends: one line per protocol + identifier +
// frame kind, sorted by identifier (then 2.0A before 2.0B, data before remote), then the total
// with frames per second and bus load. Cycle times are in ms; "-" (CSV: empty) where an
// identifier came only once.
//   Protocol  ID        Kind      Count   Mean ms    Min ms    Max ms  Frames/s
//   CAN2.0A   0C1       data        300     10.00      9.87     10.12    100.00
//   Total                          2700                                 900.00  bus load 12.34 %
// CSV has a header row and the bus load in a last column of the total row:
//   protocol,id,kind,count,mean_ms,min_ms,max_ms,frames_per_s,bus_load_percent
//   CAN2.0A,0C1,data,300,10.000,9.870,10.120,100.00,
//   total,,,2700,,,,900.00,12.34
#include <span>
#include <string>

#include "stats/CBusLoad.h"
#include "stats/CFrameStatistics.h"

// entries' frames per second are taken as they are (CFrameStatistics::SampleRates).
std::string StatsReport(std::span<const IdStatistics> entries, const BusFigures& bus, bool bCsv);
