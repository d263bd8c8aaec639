#pragma once
// Reads any log this program knows, its format recognised from the content (the name is not
// trusted): candump logs, ASC logs and the analyzer's receive-data log. A pull reader that holds
// one buffer and one line of bounded size, whatever the file: a 10 MB line is read past, not
// kept; binary data gives refused lines; a file whose beginning is no log is refused at Open.
//
//   CLogReader reader;
//   if (!reader.Open(path)) fail(reader.LastError());    // "open: No such file or directory"
//   ReceivedFrame record;
//   for (ELogRead e; (e = reader.Next(record)) != ELogRead::END;)
//     if (e == ELogRead::FRAME) use(record);
//     else if (e == ELogRead::SKIPPED) warn(reader.LineNumber(), reader.SkipReason());
//     else fail(reader.LastError());                     // "read: Input/output error"
#include <cstdint>
#include <string>
#include <string_view>

#include "link/CUniqueFd.h"
#include "logs/AscFormat.h"
#include "logs/CLineFileReader.h"
#include "protocol/ReceivedFrame.h"

enum class ELogFormat { UNKNOWN, CANDUMP, ASC, RDATA_LOG };

// The format of a file that begins with head (the first LOG_DETECT_BYTES or fewer), judged by
// its first lines that say anything.
ELogFormat DetectLogFormat(std::string_view head);
inline constexpr std::size_t LOG_DETECT_BYTES = 65536;
// "candump", "ASC", "receive-data log".
const char* LogFormatName(ELogFormat eFormat);

// Lines longer than this are no line of any format read here; they are refused unkept.
inline constexpr std::size_t LOG_MAX_LINE = 8192;

enum class ELogRead { FRAME, SKIPPED, END, FAILED };

// One line read according to its format; a value type (its ASC state is copied along).
class CLogLineParser {
public:
  explicit CLogLineParser(ELogFormat eFormat = ELogFormat::UNKNOWN) : m_eFormat(eFormat) {}
  // FRAME (record filled, sequence untouched), SKIPPED (Reason() says why) or END for a line
  // that holds nothing to read (blank, header, comment).
  ELogRead Parse(std::string_view line, ReceivedFrame& record);
  const char* Reason() const { return m_pszReason; }
  ELogFormat Format() const { return m_eFormat; }

private:
  ELogFormat m_eFormat;
  CAscParser m_asc;
  const char* m_pszReason = "";
};

class CLogReader {
public:
  // Opens the file and recognises its format; false (LastError says why) when it cannot be
  // read or its beginning is no log read here.
  bool Open(const std::string& path);
  ELogFormat Format() const { return m_parser.Format(); }
  // The next frame (its sequence counted from 1) or refused line; END at the end of the file,
  // FAILED on a read error. Lines that hold nothing are passed over.
  ELogRead Next(ReceivedFrame& record);
  const char* SkipReason() const { return m_pszReason; }
  // The line Next returned last: its number (from 1) and where it starts in the file.
  uint64_t LineNumber() const { return m_lines.LineNumber(); }
  uint64_t LineOffset() const { return m_lines.LineOffset(); }
  uint64_t BytesRead() const { return m_lines.BytesRead(); }
  uint64_t FileSize() const { return m_lines.FileSize(); }
  const std::string& LastError() const { return m_lastError.empty() ? m_lines.LastError() : m_lastError; }
  // The parser as it stands after the lines read so far, to read single lines again later.
  const CLogLineParser& Parser() const { return m_parser; }

private:
  CLineFileReader m_lines{LOG_MAX_LINE};
  CLogLineParser m_parser;
  std::string m_lastError;  // the file is no log read here
  uint64_t m_qwFrames = 0;
  const char* m_pszReason = "";
};

// Reads single frame lines again by their offset, on a descriptor of its own (so a viewer can
// read while a loader goes on). The time is not taken from the line: a viewer keeps it.
class CLogLineReader {
public:
  bool Open(const std::string& path, const CLogLineParser& parser);
  bool ReadFrameAt(uint64_t qwOffset, ReceivedFrame& record);

private:
  // The line at the offset (at most LOG_MAX_LINE + 1 bytes, without its end) from the block
  // read last or one read there: a view scrolling or a filter going through the log reads
  // each block once, not a line's worth a frame.
  bool LineAt(uint64_t qwOffset, std::string_view& line);
  static constexpr std::size_t BLOCK_SIZE = 65536;  // more than LOG_MAX_LINE + 1

  CUniqueFd m_fd;
  CLogLineParser m_parser;
  std::string m_block;
  uint64_t m_qwBlockAt = 0;
  bool m_bBlockAtEnd = false;  // the block ends where the file did when it was read
};
