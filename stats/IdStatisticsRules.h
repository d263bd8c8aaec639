#pragma once
// The rules of the per-identifier view, without widgets: its columns, the text of each cell,
// the row order by any column, the filter, which data bytes are highlighted, and the transmit
// record a row stands for.
//   2.0A data frame 0x123, 3 frames 10 ms apart, the newest 01 02, sampled at 100 frames/s ->
//     "CAN2.0A" "Data Frame" "123" "3" "2" "01 02" "10.00" "10.00" "10.00" "10.00" "100.0"
//   2.0B remote frame 0x18FEF100 seen once, length 4 ->
//     "CAN2.0B" "Remote Frame" "18FEF100" "1" "4" "" "" "" "" "" "0.0"
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "stats/CFrameStatistics.h"
#include "text/Translatable.h"
#include "transmit/TData.h"

enum EIdColumn : int {
  ID_COLUMN_PROTOCOL,
  ID_COLUMN_KIND,
  ID_COLUMN_ID,
  ID_COLUMN_COUNT,
  ID_COLUMN_LENGTH,
  ID_COLUMN_DATA,
  ID_COLUMN_CYCLE_LAST,
  ID_COLUMN_CYCLE_MIN,
  ID_COLUMN_CYCLE_MAX,
  ID_COLUMN_CYCLE_MEAN,
  ID_COLUMN_RATE,
  ID_COLUMN_TOTAL  // how many columns there are
};

// A changed data byte stays highlighted this long after the frame that changed it.
constexpr int64_t HIGHLIGHT_NS = 1000000000;
constexpr int64_t NO_HIGHLIGHT_END = INT64_MAX;

// The view's note on its times (the header's tooltip).
inline constexpr std::string_view ID_VIEW_TIMES_NOTE =
    KX_TRANSLATE_NOOP("IdStatisticsRules",
                      "주기와 초당 프레임은 프레임이 이 PC에 도착한 시각으로 잰 값입니다 (버스 위의 시각이 아님). "
                      "모듈의 수신 필터를 통과한 프레임만 보입니다.");

std::string_view IdColumnTitle(int nColumn);
std::string_view IdColumnMeaning(int nColumn);  // for the header's tooltip
// Cycle times in ms with two decimals, empty until an entry's second frame; frames per
// second with one decimal; the identifier as 3 (2.0A) or 8 (2.0B) hexadecimal digits; the
// data bytes the newest frame carried. "" for a column that does not exist.
std::string IdCellText(const IdStatistics& entry, int nColumn);

// The entries to show, as indices into entries: those the filter lets through, ordered by the
// column's values (numbers as numbers), equal values by protocol, identifier and kind. Given
// the previous arrangement, and it still holds (the same entries pass and their order is
// right), that is the result without a sort: the common case of a table sorted by identifier.
class CIdFilter;
std::vector<uint32_t> ArrangeRows(std::span<const IdStatistics> entries, const CIdFilter& filter, int nColumn,
                                  bool bAscending, std::span<const uint32_t> previous = {});

// What the filter box holds: hexadecimal tokens between spaces, each may start with "0x".
// A row passes when its identifier as shown contains the text (one token), or when the data
// bytes of its newest frame contain the tokens as a byte sequence: a token of one or two
// digits is one byte, a longer one of even length its bytes in pairs.
//   "7e0" -> ID 7E0, ID 18FE7E01, data ... 7E ... no (odd length beyond two: no data meaning)
//   "1 2" -> data ... 01 02 ...     "0102" -> ID 00010203 or data ... 01 02 ...
//   ""    -> every row              "x1"  -> not valid: no row passes
class CIdFilter {
public:
  // False when the text is not valid.
  bool Set(std::string_view text);
  bool IsEmpty() const { return m_bEmpty; }
  bool IsValid() const { return m_bValid; }
  bool Matches(const IdStatistics& entry) const;

private:
  bool m_bEmpty = true;
  bool m_bValid = true;
  std::string m_idText;           // upper case; empty when there are several tokens
  std::vector<uint8_t> m_abyData;  // empty when the tokens are not bytes
};

// Bit i: data byte i of the newest frame changed less than HIGHLIGHT_NS before nNowNs.
uint8_t HighlightedBytes(const IdStatistics& entry, int64_t nNowNs);
// When the first highlight still shown at nNowNs ends; NO_HIGHLIGHT_END when none is shown.
int64_t NextHighlightEndNs(std::span<const IdStatistics> entries, int64_t nNowNs);

// The transmit frame the row stands for: its protocol, kind, length and the data bytes its
// newest frame carried (the rest 0), edited as hexadecimal.
TData TransmitRecordOf(const IdStatistics& entry);
