#pragma once
// Reads a file line by line through one buffer, whatever its size: a line longer than the
// bound is read past and reported, never kept whole. Both log readers use it.
//
//   CLineFileReader lines(8192);
//   if (!lines.Open(path)) fail(lines.LastError());   // "open: No such file or directory"
//   std::string_view head = lines.Head(65536);         // the beginning, still to be read as lines
//   for (std::string_view line; lines.Next(line);)     // without its line feed
//     if (lines.TooLong()) ...                          // only the first bound + 1 bytes are kept
//   if (lines.Failed()) fail(lines.LastError());       // "read: Input/output error"
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/CUniqueFd.h"

class CLineFileReader {
public:
  explicit CLineFileReader(std::size_t nMaxLine) : m_nMaxLine(nMaxLine) {}

  // Closes what was open and starts at the first line of that file. A directory is refused.
  bool Open(const std::string& path);
  // Up to nBytes from where reading stands, without consuming them (a read error makes it short).
  std::string_view Head(std::size_t nBytes);
  // The next line, valid until the next call; false at the end of the file or on a read error.
  bool Next(std::string_view& line);
  // The line Next returned was longer than the bound.
  bool TooLong() const { return m_line.size() > m_nMaxLine; }
  // The line Next returned last: its number (from 1) and where it starts in the file.
  uint64_t LineNumber() const { return m_qwLine; }
  uint64_t LineOffset() const { return m_qwLineOffset; }
  // For a progress bar: bytes consumed so far and the file's size when it was opened (0 for
  // anything not a regular file).
  uint64_t BytesRead() const { return m_qwConsumed; }
  uint64_t FileSize() const { return m_qwFileSize; }
  bool Failed() const { return m_bFailed; }
  // Why Open or the last read failed, with the call that failed; empty otherwise.
  const std::string& LastError() const { return m_lastError; }

private:
  // Reads more into a buffer of at least nWanted bytes, what is unread moved to its front;
  // false at the end of the file or on an error.
  bool Refill(std::size_t nWanted);
  bool Fail(const char* pszCall, int nError);

  std::size_t m_nMaxLine;
  CUniqueFd m_fd;
  std::string m_buffer, m_line, m_lastError;
  std::size_t m_nPos = 0, m_nEnd = 0;
  bool m_bEof = false, m_bFailed = false;
  uint64_t m_qwLine = 0, m_qwLineOffset = 0, m_qwConsumed = 0, m_qwFileSize = 0;
};
