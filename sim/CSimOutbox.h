#pragma once
// The module's bounded send buffer: whole lines in, bytes out as the link takes them. A
// line that would pass the limit is refused whole and counted, so a stalled reader costs a
// known number of lost lines and never a cut one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CSimOutbox {
public:
  static constexpr size_t DEFAULT_LIMIT = 65536;

  explicit CSimOutbox(size_t nLimit = DEFAULT_LIMIT);

  // Queues all of the text, or nothing when it does not fit (counted as one dropped line).
  bool Put(std::string_view text);
  // Lines the caller gave up on before they reached Put (for example frames skipped after a
  // long stall); they count as dropped like refused ones.
  void CountDropped(uint64_t qwLines) { m_qwDroppedLines += qwLines; }

  std::string_view Pending() const { return std::string_view(m_text).substr(m_nStart); }
  size_t Size() const { return m_text.size() - m_nStart; }
  bool IsEmpty() const { return Size() == 0; }
  // Removes the first n pending bytes (those the link accepted).
  void Consume(size_t n);
  // Everything pending, removed from the outbox.
  std::string Take();

  size_t Limit() const { return m_nLimit; }
  uint64_t DroppedLines() const { return m_qwDroppedLines; }

private:
  std::string m_text;   // pending bytes start at m_nStart
  size_t m_nStart = 0;
  size_t m_nLimit;
  uint64_t m_qwDroppedLines = 0;
};
