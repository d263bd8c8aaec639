#include "sim/CSimOutbox.h"

CSimOutbox::CSimOutbox(size_t nLimit) : m_nLimit(nLimit) { m_text.reserve(nLimit); }

bool CSimOutbox::Put(std::string_view text) {
  if (text.size() > m_nLimit - Size()) {
    ++m_qwDroppedLines;
    return false;
  }
  // Reclaim the consumed front only when appending would otherwise grow the buffer.
  if (m_nStart > 0 && m_text.size() + text.size() > m_text.capacity()) {
    m_text.erase(0, m_nStart);
    m_nStart = 0;
  }
  m_text.append(text);
  return true;
}

void CSimOutbox::Consume(size_t n) {
  m_nStart += n < Size() ? n : Size();
  if (m_nStart == m_text.size()) {
    m_text.clear();
    m_nStart = 0;
  }
}

std::string CSimOutbox::Take() {
  std::string pending(Pending());
  m_text.clear();
  m_nStart = 0;
  return pending;
}
