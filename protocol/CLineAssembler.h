#pragma once
// Turns the received byte stream into checked lines, one byte at a time, with constant
// work per byte and no allocation. Bytes outside a line (LF, noise) are ignored; a line
// that is too short, too long, has a non-hex digit or a wrong checksum is dropped silently.
// A ":" always starts a new line, also inside one, whose unfinished part is then dropped.
#include <cstdint>
#include <span>

class CLineAssembler;

// The owner's dispatcher, called from FeedByte for every accepted line while the decoded
// line is still readable through the assembler.
class LineDispatcher {
public:
  virtual ~LineDispatcher() = default;
  virtual void DispatchLine(const CLineAssembler& line) = 0;
};

class CLineAssembler {
public:
  static constexpr unsigned MAX_LINE_CHARS = 29;    // letter + 28 digits between ":" and CR
  static constexpr unsigned MAX_DECODED_BYTES = 15;
  static constexpr unsigned CHAR_BUFFER_SIZE = 32;
  static constexpr unsigned DECODED_BUFFER_SIZE = 30;

  enum ELineStatus : uint8_t { LINE_ACCEPTED = 0, LINE_TOO_SHORT = 2, LINE_BAD_CHECKSUM = 3 };

  explicit CLineAssembler(LineDispatcher& owner) : m_owner(owner) {}

  void FeedByte(uint8_t by);
  void Reset();

  // The accepted line, valid during DispatchLine.
  uint8_t Letter() const { return m_abyDecoded[0]; }
  // Field bytes of the line: the decoded bytes after the letter, without the checksum.
  unsigned FieldCount() const { return m_byDecodedCount > 0 ? m_byDecodedCount - 1u : 0u; }
  uint8_t Field(unsigned k) const { return k < FieldCount() ? m_abyDecoded[k + 1] : 0; }
  std::span<const uint8_t> Fields() const { return {m_abyDecoded + 1, FieldCount()}; }

  // Lines dropped since construction: too short, too long, bad character, bad checksum or
  // cut short by the next ":".
  uint64_t RefusedLines() const { return m_qwRefusedLines; }

private:
  void EndLine();
  void AbandonLine();
  void RefuseLine();

  LineDispatcher& m_owner;
  uint64_t m_qwRefusedLines = 0;  // not cleared by Reset: a count over the whole run
  bool m_bInLine = false;
  uint8_t m_byCharCount = 0;
  uint8_t m_byDecodedCount = 0;
  uint8_t m_byNibble = 0;
  uint8_t m_byStatus = LINE_ACCEPTED;
  uint8_t m_abyChars[CHAR_BUFFER_SIZE] = {};
  uint8_t m_abyDecoded[DECODED_BUFFER_SIZE] = {};
};
