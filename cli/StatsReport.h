#pragma once
// What `korvex-cli stats` prints when reception ends: one line per protocol + identifier +
// frame kind, sorted by identifier (then 2.0A before 2.0B, data before remote), then the total
// with frames per second and bus load. Cycle times are in ms; "-" (CSV: empty) where an
// identifier came only once.
//   Protocol  ID        Kind      Count   Mean ms    Min ms    Max ms  Frames/s
//   CAN2.0A   123       data          3     12.50     10.00     15.00      3.00
//   CAN2.0B   00000123  remote        1         -         -         -      1.00
//   Total                             4                                    4.00  bus load 0.11 %
// CSV has a header row and the bus load in a last column of the total row:
//   protocol,id,kind,count,mean_ms,min_ms,max_ms,frames_per_s,bus_load_percent
//   CAN2.0A,123,data,3,12.500,10.000,15.000,3.00,
//   CAN2.0B,00000123,remote,1,,,,1.00,
//   total,,,4,,,,4.00,0.11
#include <span>
#include <string>

#include "stats/CBusLoad.h"
#include "stats/CFrameStatistics.h"

// entries' frames per second are taken as they are (CFrameStatistics::SampleRates).
std::string StatsReport(std::span<const IdStatistics> entries, const BusFigures& bus, bool bCsv);
