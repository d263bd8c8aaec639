#include "stats/IdStatisticsRules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "protocol/ResponseText.h"
#include "text/FieldRules.h"
#include "text/Translatable.h"

namespace {

struct CColumnText {
  std::string_view m_title;
  std::string_view m_meaning;
};

constexpr std::array<CColumnText, ID_COLUMN_TOTAL> COLUMNS = {{
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "프로토콜"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "CAN2.0A: 11비트 식별자, CAN2.0B: 29비트 식별자")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "프레임"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "데이터 프레임 또는 리모트 프레임")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "식별자"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "16진수")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "개수"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "받은 프레임 수")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "길이"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "마지막 프레임의 데이터 길이")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "데이터"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "마지막 프레임의 데이터 (1초 안에 바뀐 바이트는 색으로 표시)")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "주기(ms)"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "마지막 두 프레임 사이의 간격")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "최소(ms)"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "가장 짧았던 주기")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "최대(ms)"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "가장 길었던 주기")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "평균(ms)"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "첫 프레임부터 마지막 프레임까지의 평균 주기")},
    {KX_TRANSLATE_NOOP("IdStatisticsRules", "프레임/초"),
     KX_TRANSLATE_NOOP("IdStatisticsRules", "지난 1초 동안 받은 프레임 수")},
}};

// The data bytes the entry's newest frame carried; never beyond its eight.
uint8_t Carried(const IdStatistics& entry) { return std::min<uint8_t>(entry.m_byDataCount, sizeof entry.m_abyData); }

std::string Printed(const char* pszFormat, double dValue) {
  char sz[48];
  std::snprintf(sz, sizeof sz, pszFormat, dValue);
  return sz;
}

void AppendId(std::string& out, const IdStatistics& entry) { AppendHex(out, entry.m_dwId, entry.m_bStandard ? 3 : 8); }

std::string CycleText(const IdStatistics& entry, double dMs) {
  return entry.m_qwCount < 2 ? std::string() : Printed("%.2f", dMs);
}

// Negative, zero or positive as a comes before, with or after b in the column.
template <class T>
int Compare(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareKey(const IdStatistics& a, const IdStatistics& b) {
  if (const int n = Compare(!a.m_bStandard, !b.m_bStandard)) return n;  // 2.0A first
  if (const int n = Compare(a.m_dwId, b.m_dwId)) return n;
  return Compare(a.m_bRemote, b.m_bRemote);
}

int CompareColumn(const IdStatistics& a, const IdStatistics& b, int nColumn) {
  switch (nColumn) {
    case ID_COLUMN_PROTOCOL: return Compare(!a.m_bStandard, !b.m_bStandard);
    case ID_COLUMN_KIND: return Compare(a.m_bRemote, b.m_bRemote);
    case ID_COLUMN_ID: return Compare(a.m_dwId, b.m_dwId);
    case ID_COLUMN_COUNT: return Compare(a.m_qwCount, b.m_qwCount);
    case ID_COLUMN_LENGTH: return Compare(a.m_byLength, b.m_byLength);
    case ID_COLUMN_DATA: {
      const auto order = std::lexicographical_compare_three_way(a.m_abyData, a.m_abyData + Carried(a),
                                                                b.m_abyData, b.m_abyData + Carried(b));
      return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    case ID_COLUMN_CYCLE_LAST: return Compare(a.m_nLastCycleNs, b.m_nLastCycleNs);
    case ID_COLUMN_CYCLE_MIN: return Compare(a.m_nMinCycleNs, b.m_nMinCycleNs);
    case ID_COLUMN_CYCLE_MAX: return Compare(a.m_nMaxCycleNs, b.m_nMaxCycleNs);
    case ID_COLUMN_CYCLE_MEAN: return Compare(a.MeanCycleMs(), b.MeanCycleMs());
    case ID_COLUMN_RATE: return Compare(a.m_dFramesPerSecond, b.m_dFramesPerSecond);
    default: return 0;
  }
}

constexpr std::string_view SPACES = " \t\r\n\v\f";

}  // namespace

std::string_view IdColumnTitle(int nColumn) {
  return nColumn >= 0 && nColumn < ID_COLUMN_TOTAL ? COLUMNS[static_cast<size_t>(nColumn)].m_title : std::string_view();
}

std::string_view IdColumnMeaning(int nColumn) {
  return nColumn >= 0 && nColumn < ID_COLUMN_TOTAL ? COLUMNS[static_cast<size_t>(nColumn)].m_meaning
                                                   : std::string_view();
}

std::string IdCellText(const IdStatistics& entry, int nColumn) {
  std::string out;
  switch (nColumn) {
    case ID_COLUMN_PROTOCOL: return std::string(ProtocolName(entry.m_bStandard));
    case ID_COLUMN_KIND: return std::string(FrameKind(entry.m_bRemote));
    case ID_COLUMN_ID: AppendId(out, entry); return out;
    case ID_COLUMN_COUNT: return std::to_string(entry.m_qwCount);
    case ID_COLUMN_LENGTH: return std::to_string(entry.m_byLength);
    case ID_COLUMN_DATA:
      for (uint8_t i = 0; i < Carried(entry); ++i) {
        if (i > 0) out += ' ';
        AppendHex(out, entry.m_abyData[i], 2);
      }
      return out;
    case ID_COLUMN_CYCLE_LAST: return CycleText(entry, entry.LastCycleMs());
    case ID_COLUMN_CYCLE_MIN: return CycleText(entry, entry.MinCycleMs());
    case ID_COLUMN_CYCLE_MAX: return CycleText(entry, entry.MaxCycleMs());
    case ID_COLUMN_CYCLE_MEAN: return CycleText(entry, entry.MeanCycleMs());
    case ID_COLUMN_RATE: return Printed("%.1f", entry.m_dFramesPerSecond);
    default: return out;
  }
}

std::vector<uint32_t> ArrangeRows(std::span<const IdStatistics> entries, const CIdFilter& filter, int nColumn,
                                  bool bAscending, std::span<const uint32_t> previous) {
  std::vector<uint32_t> rows;
  std::vector<bool> passes(entries.size());
  for (uint32_t i = 0; i < entries.size(); ++i)
    if (filter.Matches(entries[i])) {
      rows.push_back(i);
      passes[i] = true;
    }
  const auto less = [&](uint32_t a, uint32_t b) {
    const int nOrder = CompareColumn(entries[a], entries[b], nColumn);
    if (nOrder != 0) return bAscending ? nOrder < 0 : nOrder > 0;
    return CompareKey(entries[a], entries[b]) < 0;
  };
  // previous holds distinct indices; as many of them, all passing, are the same entries.
  const bool bSameEntries =
      previous.size() == rows.size() &&
      std::all_of(previous.begin(), previous.end(), [&](uint32_t i) { return i < passes.size() && passes[i]; });
  if (bSameEntries && std::is_sorted(previous.begin(), previous.end(), less))
    return std::vector<uint32_t>(previous.begin(), previous.end());
  std::sort(rows.begin(), rows.end(), less);
  return rows;
}

bool CIdFilter::Set(std::string_view text) {
  *this = CIdFilter();
  std::vector<std::string> tokens;
  for (size_t nAt = 0; nAt < text.size();) {
    const size_t nEnd = std::min(text.find_first_of(SPACES, nAt), text.size());
    std::string_view token = text.substr(nAt, nEnd - nAt);
    nAt = nEnd + 1;
    if (token.empty()) continue;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) token.remove_prefix(2);
    if (!IsHexText(token)) {
      m_bEmpty = false;
      m_bValid = false;
      return false;
    }
    std::string& upper = tokens.emplace_back(token);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (tokens.empty()) return true;
  m_bEmpty = false;
  if (tokens.size() == 1) m_idText = tokens[0];
  for (const std::string_view token : tokens) {
    if (token.size() <= 2) {
      m_abyData.push_back(LeadingHexByte(token));
    } else if (token.size() % 2 != 0) {
      m_abyData.clear();  // no byte sequence
      break;
    } else {
      for (size_t i = 0; i < token.size(); i += 2) m_abyData.push_back(LeadingHexByte(token.substr(i, 2)));
    }
  }
  return true;
}

bool CIdFilter::Matches(const IdStatistics& entry) const {
  if (m_bEmpty) return true;
  if (!m_bValid) return false;
  if (!m_idText.empty()) {
    std::string id;
    AppendId(id, entry);
    if (id.find(m_idText) != std::string::npos) return true;
  }
  if (m_abyData.empty()) return false;
  const uint8_t* pBegin = entry.m_abyData;
  const uint8_t* pEnd = pBegin + Carried(entry);
  return std::search(pBegin, pEnd, m_abyData.begin(), m_abyData.end()) != pEnd;
}

uint8_t HighlightedBytes(const IdStatistics& entry, int64_t nNowNs) {
  uint8_t byMask = 0;
  for (uint8_t i = 0; i < Carried(entry); ++i) {
    const int64_t nChangedNs = entry.m_anChangedNs[i];
    if (nChangedNs != 0 && nNowNs - nChangedNs < HIGHLIGHT_NS) byMask |= static_cast<uint8_t>(1u << i);
  }
  return byMask;
}

int64_t NextHighlightEndNs(std::span<const IdStatistics> entries, int64_t nNowNs) {
  int64_t nEndNs = NO_HIGHLIGHT_END;
  for (const IdStatistics& entry : entries) {
    for (uint8_t i = 0; i < Carried(entry); ++i) {
      const int64_t nChangedNs = entry.m_anChangedNs[i];
      if (nChangedNs != 0 && nNowNs - nChangedNs < HIGHLIGHT_NS) nEndNs = std::min(nEndNs, nChangedNs + HIGHLIGHT_NS);
    }
  }
  return nEndNs;
}

TData TransmitRecordOf(const IdStatistics& entry) {
  TData record;
  record.bStandardID = entry.m_bStandard ? 1 : 0;
  record.bDataFrame = entry.m_bRemote ? 0 : 1;
  record.bHexFormat = 1;
  record.byLength = std::min<uint8_t>(entry.m_byLength, MAX_DATA_LENGTH);
  record.dwID = entry.m_dwId;
  for (uint8_t i = 0; i < Carried(entry); ++i) {
    uint32_t& dwWord = i < 4 ? record.dwBytes0to3 : record.dwBytes4to7;
    dwWord |= static_cast<uint32_t>(entry.m_abyData[i]) << (24 - 8 * (i % 4));
  }
  return record;
}
