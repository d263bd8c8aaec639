#pragma once
// Reads candump log files ("candump -l" / "-L", log2asc's input, asc2log's output) one line at
// a time, never holding the whole file. Every form can-utils writes:
//   "(1700000000.000042) can0 123#1122"        -> 2.0A data 0x123, 2 bytes 11 22
//   "(1700000000.000042) vcan-rig7 18FEF100#"  -> 2.0B data 0x18FEF100, no bytes (any interface name)
//   "(...) can0 123#11.22.33"                  -> the same as 123#112233 (dots may separate bytes)
//   "(...) can0 7E8#R" / "7E8#R3"              -> 2.0A remote, length 0 / length 3
//   "(...) can0 7E8#R8_F" / "123#1122334455667788_C" -> length code 15 / 12 (raw length code)
//   "(...) can0 123#1122 R" / "... T"          -> received / transmitted (newer can-utils)
//   "(...) can0 20000080#0000000000000000"     -> an error frame: well formed, not a CAN frame
//   "(...) can0 123##1112233"                  -> a CAN FD frame: well formed, not a CAN 2.0 frame
//   "(...) can0 123###..."                     -> a CAN XL frame: likewise
// A 2.0A identifier has three digits, a 2.0B one eight (bit 29 of those eight marks an error
// frame). The time in the parentheses gives the record's wall and steady time alike, so
// intervals between records are the recorded ones.
#include <cstdint>
#include <string>
#include <string_view>

#include "logs/CLineFileReader.h"
#include "protocol/ReceivedFrame.h"

// What one line holds.
enum class CandumpLineKind {
  Frame,       // a CAN 2.0 frame, in the record
  ErrorFrame,  // well formed, but no frame a CAN 2.0 module sends or receives
  FdFrame,
  XlFrame,
  Blank,       // empty or only blanks: nothing to read
  Refused,     // not a candump line; the reason says why
};

struct CandumpEntry {
  ReceivedFrame m_record;        // m_qwSequence: 1 for the file's first frame, then one more each
  std::string m_interface;       // at most CANDUMP_MAX_INTERFACE characters
  char m_cDirection = 0;         // 'R', 'T', or 0 when the line has no direction flag
  const char* m_pszReason = "";  // why a line was refused (static text)
};

// Interface names are short on Linux (15 characters); a log may come from elsewhere.
inline constexpr size_t CANDUMP_MAX_INTERFACE = 64;
// The longest line can-utils writes (a CAN XL frame of 2048 bytes) fits with room to spare;
// a longer line is refused without being kept.
inline constexpr size_t CANDUMP_MAX_LINE = 8192;

// One line without its line feed (a carriage return before it is ignored). entry.m_record's
// sequence is left as it was.
CandumpLineKind ParseCandumpLine(std::string_view line, CandumpEntry& entry);

// A pull reader over one file.
//   CCandumpReader reader;
//   if (!reader.Open(path)) fail(reader.LastError());        // "open: No such file or directory"
//   CandumpEntry entry;
//   for (CandumpLineKind kind; reader.Next(entry, kind);)    // false at the end or on a read error
//     if (kind == CandumpLineKind::Refused) warn(reader.LineNumber(), entry.m_pszReason);
//   if (!reader.LastError().empty()) fail(reader.LastError()); // "read: Input/output error"
class CCandumpReader {
public:
  // Closes what was open and starts at the first line of that file.
  bool Open(const std::string& path);
  // The next line that is not blank. False at the end of the file or after a read error.
  bool Next(CandumpEntry& entry, CandumpLineKind& kind);
  // The line Next read last, counting from 1.
  uint64_t LineNumber() const { return m_lines.LineNumber(); }
  // For a progress bar: bytes consumed so far and the file's size when it was opened.
  uint64_t BytesRead() const { return m_lines.BytesRead(); }
  uint64_t FileSize() const { return m_lines.FileSize(); }
  // Why Open or the last read failed, with the call that failed; empty otherwise.
  const std::string& LastError() const { return m_lines.LastError(); }

private:
  CLineFileReader m_lines{CANDUMP_MAX_LINE};
  uint64_t m_qwFrames = 0;
};
