// The per-identifier view's rules on statistics counted from real frame records.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "stats/IdStatisticsRules.h"
#include "support/TestFrames.h"
#include "transmit/TData.h"

namespace {

constexpr int64_t MS = 1000000;

struct CFrameIn {
  bool m_bStandard, m_bRemote;
  uint32_t m_dwId;
  uint8_t m_byLength;
  std::vector<uint8_t> m_data;  // the bytes the line carried
  int64_t m_nAtMs;
};

CFrameStatistics Counted(std::initializer_list<CFrameIn> frames) {
  std::vector<ReceivedFrame> records;
  for (const CFrameIn& in : frames)
    records.push_back({TestFrame(in.m_bStandard, in.m_bRemote, in.m_byLength, in.m_dwId, in.m_data), {in.m_nAtMs * MS, in.m_nAtMs * MS}});
  CFrameStatistics stats;
  stats.OnFrames(records);
  return stats;
}

std::vector<uint32_t> IdsOf(std::span<const IdStatistics> entries, const std::vector<uint32_t>& rows) {
  std::vector<uint32_t> ids;
  for (uint32_t nRow : rows) ids.push_back(entries[nRow].m_dwId);
  return ids;
}

}  // namespace

TEST(IdStatisticsRules, CellTextsAndTransmitRecord) {
  const CFrameStatistics stats = Counted({
      {true, false, 0x123, 2, {0x01, 0x02}, 1000},
      {true, false, 0x123, 2, {0x01, 0x02}, 1010},
      {true, false, 0x123, 2, {0x01, 0x03}, 1022},  // cycles 10 and 12 ms
      {false, true, 0x18FEF100, 4, {}, 1030},
      {true, false, 0x7FF, 8, {0xAB}, 1040},  // a short line: one of eight bytes carried
  });
  std::vector<std::vector<std::string>> rows;
  for (const IdStatistics& entry : stats.Entries())
    for (int nColumn = 0; nColumn < ID_COLUMN_TOTAL; ++nColumn) (nColumn ? rows.back() : rows.emplace_back()).push_back(IdCellText(entry, nColumn));
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                      {"CAN2.0A", "Data Frame", "123", "3", "2", "01 03", "12.00", "10.00", "12.00", "11.00", "0.0"},
                      {"CAN2.0B", "Remote Frame", "18FEF100", "1", "4", "", "", "", "", "", "0.0"},
                      {"CAN2.0A", "Data Frame", "7FF", "1", "8", "AB", "", "", "", "", "0.0"}}));
  EXPECT_TRUE(IsSameFrame(TransmitRecordOf(stats.Entries()[1]),
                          {.bStandardID = 0, .bDataFrame = 0, .byLength = 4, .dwID = 0x18FEF100}));
  EXPECT_TRUE(IsSameFrame(TransmitRecordOf(stats.Entries()[2]),
                          {.bStandardID = 1, .bDataFrame = 1, .byLength = 8, .dwID = 0x7FF, .dwBytes0to3 = 0xAB000000}));
  EXPECT_EQ(std::tuple(IdCellText(stats.Entries()[0], ID_COLUMN_TOTAL), IdColumnTitle(-1)), std::tuple("", ""));
}

// Every column sorts by its value both ways; ties keep key order so equal rows never swap between refreshes.
TEST(IdStatisticsRules, EveryColumnOrdersByValueThenByKey) {
  auto entry = [](bool bStandard, bool bRemote, uint32_t dwId, uint64_t qwCount, uint8_t byLength,
                  std::vector<uint8_t> data, double dLastMs, double dMinMs, double dMaxMs, double dSpanMs, double dRate) {
    IdStatistics e{.m_bStandard = bStandard, .m_bRemote = bRemote, .m_dwId = dwId, .m_qwCount = qwCount,
                   .m_byLength = byLength, .m_byDataCount = static_cast<uint8_t>(data.size()),
                   .m_nLastNs = static_cast<int64_t>(dSpanMs * 1e6), .m_nLastCycleNs = static_cast<int64_t>(dLastMs * 1e6),
                   .m_nMinCycleNs = static_cast<int64_t>(dMinMs * 1e6), .m_nMaxCycleNs = static_cast<int64_t>(dMaxMs * 1e6),
                   .m_dFramesPerSecond = dRate};
    std::copy(data.begin(), data.end(), e.m_abyData);
    return e;
  };
  const std::vector<IdStatistics> entries = {
      entry(true, false, 0x200, 2, 8, {0x10, 0x00}, 9.5, 9.5, 9.5, 9.5, 9.0),     // A: mean 9.5
      entry(false, false, 0x100, 3, 2, {0x0A}, 100, 10.25, 100, 110.25, 0.0),     // B: mean 55.125
      entry(true, true, 0x200, 1, 1, {}, 0, 0, 0, 0, 0.0),                        // C: seen once
      entry(true, false, 0x7FF, 10, 3, {0x10}, 1, 1, 1, 9, 10.0),                 // D: mean 1
  };
  constexpr uint32_t A = 0, B = 1, C = 2, D = 3;
  const struct { int m_nColumn; std::vector<uint32_t> m_ascending, m_descending; } cases[] = {
      {ID_COLUMN_PROTOCOL, {A, C, D, B}, {B, A, C, D}},
      {ID_COLUMN_KIND, {A, D, B, C}, {C, A, D, B}},
      {ID_COLUMN_ID, {B, A, C, D}, {D, A, C, B}},
      {ID_COLUMN_COUNT, {C, A, B, D}, {D, B, A, C}},       // 1, 2, 3, 10: not as texts
      {ID_COLUMN_LENGTH, {C, B, D, A}, {A, D, B, C}},
      {ID_COLUMN_DATA, {C, B, D, A}, {A, D, B, C}},        // none, 0A, 10, 10 00
      {ID_COLUMN_CYCLE_LAST, {C, D, A, B}, {B, A, D, C}},  // 0, 1, 9.5, 100
      {ID_COLUMN_CYCLE_MIN, {C, D, A, B}, {B, A, D, C}},   // 0, 1, 9.5, 10.25
      {ID_COLUMN_CYCLE_MAX, {C, D, A, B}, {B, A, D, C}},
      {ID_COLUMN_CYCLE_MEAN, {C, D, A, B}, {B, A, D, C}},  // 0, 1, 9.5, 55.125
      {ID_COLUMN_RATE, {C, B, A, D}, {D, A, C, B}},        // 0 and 0 in key order, 9, 10
  };
  const CIdFilter all;
  for (const auto& c : cases) {
    SCOPED_TRACE(IdColumnTitle(c.m_nColumn));
    EXPECT_EQ(ArrangeRows(entries, all, c.m_nColumn, true), c.m_ascending);
    EXPECT_EQ(ArrangeRows(entries, all, c.m_nColumn, false), c.m_descending);
    // The last arrangement is kept only while it is right.
    EXPECT_EQ(ArrangeRows(entries, all, c.m_nColumn, true, c.m_descending), c.m_ascending);
  }
}

TEST(IdStatisticsRules, FilterMatchesIdentifierTextOrDataBytes) {
  const CFrameStatistics stats = Counted({
      {true, false, 0x7E0, 3, {0x01, 0x02, 0x7E}, 0},
      {false, false, 0x18FE7E01, 2, {0x02, 0x01}, 0},
      {false, false, 0x00010203, 8, {0xAA, 0x01, 0x02, 0xBB}, 0},
      {true, true, 0x123, 2, {}, 0},
  });
  const struct { const char* m_pszText; bool m_bValid; std::vector<uint32_t> m_ids; } cases[] = {  // ids in order
      {"", true, {0x123, 0x7E0, 0x00010203, 0x18FE7E01}},
      {"7e0", true, {0x7E0, 0x18FE7E01}},         // identifiers only: three digits are no bytes
      {"0x7E0", true, {0x7E0, 0x18FE7E01}},
      {"7E", true, {0x7E0, 0x18FE7E01}},          // identifier 7E0 and 18FE7E01, data 7E of 7E0
      {"1 2", true, {0x7E0, 0x00010203}},         // the bytes 01 02 in a row
      {"0102", true, {0x7E0, 0x00010203}},        // "00010203" contains it too
      {"02 01", true, {0x18FE7E01}},
      {"aa 01 02 bb", true, {0x00010203}},
      {"123", true, {0x123}},                     // a remote frame, matched by its identifier
      {"x1", false, {}},
      {"0x", false, {}},                          // "0x" alone is no number
  };
  std::vector<uint32_t> previous;  // as a table keeps its rows from one filter to the next
  for (const auto& c : cases) {
    SCOPED_TRACE(c.m_pszText);
    CIdFilter filter;
    EXPECT_EQ(filter.Set(c.m_pszText), c.m_bValid);
    EXPECT_EQ(filter.IsValid(), c.m_bValid);
    previous = ArrangeRows(stats.Entries(), filter, ID_COLUMN_ID, true, previous);
    EXPECT_EQ(IdsOf(stats.Entries(), previous), c.m_ids);
  }
}
