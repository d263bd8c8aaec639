#include "logs/CLogIndex.h"

#include <algorithm>

bool CLogIndex::Open(const std::string& path) {
  m_path = path;
  m_entries.clear();
  m_skipped.clear();
  m_qwSkipped = 0;
  m_bLinesOpen = false;
  m_error.clear();
  if (!m_reader.Open(path)) {
    m_error = m_reader.LastError();
    return false;
  }
  return true;
}

bool CLogIndex::Step(std::size_t nMaxFrames, FrameConsumer* pConsumer) {
  m_batch.clear();
  ReceivedFrame record;
  ELogRead eRead = ELogRead::END;
  // Lines of any kind count, so a file of refused lines is read in steps as well.
  for (std::size_t nLines = 0; nLines < nMaxFrames && (eRead = m_reader.Next(record)) != ELogRead::END; ++nLines) {
    if (eRead == ELogRead::FAILED) {
      m_error = m_reader.LastError();
      break;
    }
    if (eRead == ELogRead::SKIPPED) {
      if (++m_qwSkipped <= LOG_SKIPPED_NAMED) m_skipped.emplace_back(m_reader.LineNumber(), m_reader.SkipReason());
      continue;
    }
    m_entries.push_back({m_reader.LineOffset(), record.m_arrival.m_nWallNs});
    m_batch.push_back(record);
  }
  if (pConsumer != nullptr && !m_batch.empty()) {
    pConsumer->OnFrames(m_batch);
    pConsumer->EndBatch();
  }
  return eRead != ELogRead::END && eRead != ELogRead::FAILED;
}

double CLogIndex::Progress() const {
  const uint64_t qwSize = m_reader.FileSize();
  return qwSize == 0 ? 0.0 : std::min(1.0, static_cast<double>(m_reader.BytesRead()) / static_cast<double>(qwSize));
}

bool CLogIndex::ReadFrame(std::size_t i, ReceivedFrame& record) {
  if (i >= m_entries.size()) return false;
  if (!m_bLinesOpen) m_bLinesOpen = m_lines.Open(m_path, m_reader.Parser());
  if (!m_bLinesOpen || !m_lines.ReadFrameAt(m_entries[i].m_qwOffset, record)) return false;
  record.m_arrival.m_nWallNs = record.m_arrival.m_nSteadyNs = m_entries[i].m_nTimeNs;
  record.m_qwSequence = i + 1;
  return true;
}

std::size_t CLogIndex::FindTime(int64_t nWallNs) const {
  return static_cast<std::size_t>(
      std::lower_bound(m_entries.begin(), m_entries.end(), nWallNs,
                       [](const LogIndexEntry& e, int64_t n) { return e.m_nTimeNs < n; }) -
      m_entries.begin());
}
