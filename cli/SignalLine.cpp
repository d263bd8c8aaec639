#include "cli/SignalLine.h"

#include <charconv>
#include <cstdio>

#include "logs/CandumpLine.h"
#include "signals/DbcReader.h"

namespace {

void AppendQuoted(std::string& out, const std::string& text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      char szEscape[8];
      std::snprintf(szEscape, sizeof szEscape, "\\x%02X", static_cast<unsigned char>(c));
      out += szEscape;
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

void SignalLine(const CDbcDatabase& database, const ReceivedFrame& record, std::vector<DecodedSignal>& values,
                std::string& out) {
  const CanFrame& frame = record.m_frame;
  const DbcMessage* pMessage = frame.m_bRemote ? nullptr : database.Find(!frame.m_bStandard, frame.m_dwId);
  if (pMessage == nullptr) {
    CandumpLine(frame, record.m_arrival.m_nWallNs, out);
    return;
  }
  CandumpStamp(record.m_arrival.m_nWallNs, out);
  out += ' ';
  out += pMessage->m_strName;
  DecodeSignals(*pMessage, {frame.m_abyData, frame.m_byDataCount}, values);
  for (const DecodedSignal& value : values) {
    const DbcSignal& signal = pMessage->m_signals[value.m_nSignal];
    out += ' ';
    out += signal.m_strName;
    out += '=';
    if (const std::string* pText = ValueText(signal, value.m_nRaw)) {
      AppendQuoted(out, *pText);
      continue;
    }
    char szValue[32];
    const auto [pEnd, ec] = std::to_chars(szValue, szValue + sizeof szValue, value.m_dPhysical);
    out.append(szValue, ec == std::errc() ? pEnd : szValue);
    if (!signal.m_strUnit.empty()) {
      out += '[';
      for (const char c : signal.m_strUnit) out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;  // one line a frame
      out += ']';
    }
  }
}

bool LoadDatabase(const std::string& path, CDbcDatabase& database, std::FILE* pErr) {
  DbcReadResult read = ReadDbcFile(path);
  if (!read.m_bOk) {
    const std::string where = read.m_nLine == 0 ? "" : path + ": ";
    std::fprintf(pErr, "korvex-cli: %s%s\n", where.c_str(), read.ErrorText().c_str());
    return false;
  }
  database = std::move(read.m_database);
  return true;
}
