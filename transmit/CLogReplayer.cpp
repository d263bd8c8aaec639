#include "transmit/CLogReplayer.h"

#include <algorithm>
#include <cinttypes>

#include "protocol/CModuleChannel.h"

namespace {

// Beyond this a scaled gap means nothing: about 31 years.
constexpr double MAX_GAP_NS = 1e18;

const char* SkipReason(CandumpLineKind eKind, const CandumpEntry& entry) {
  switch (eKind) {
    case CandumpLineKind::ErrorFrame: return "an error frame, which the module does not send";
    case CandumpLineKind::FdFrame: return "a CAN FD frame, which the module does not send";
    case CandumpLineKind::XlFrame: return "a CAN XL frame, which the module does not send";
    default: return entry.m_pszReason;
  }
}

}  // namespace

CLogReplayer::CLogReplayer(CModuleChannel& channel, std::FILE* pErr, ReplayOptions options)
    : m_channel(channel), m_pErr(pErr), m_options(std::move(options)) {}

bool CLogReplayer::Open(const std::string& path) {
  m_path = path;
  if (m_reader.Open(path)) return true;
  m_error = path + ": " + m_reader.LastError();
  return false;
}

bool CLogReplayer::Wanted(uint32_t dwId) const {
  return m_options.m_ids.empty() || std::find(m_options.m_ids.begin(), m_options.m_ids.end(), dwId) != m_options.m_ids.end();
}

bool CLogReplayer::ReadNext() {
  CandumpLineKind eKind = CandumpLineKind::Blank;
  for (;;) {
    if (!m_reader.Next(m_pending, eKind)) {
      if (!m_reader.LastError().empty()) {
        m_error = m_path + ": " + m_reader.LastError();
        return false;
      }
      if (++m_nLoop >= m_options.m_nLoops) return false;
      if (!Open(m_path)) return false;
      // The next loop begins where the last one's last frame was due.
      m_nStartNs = m_nLastDueNs;
      m_nFirstLogNs = -1;
      continue;
    }
    if (eKind == CandumpLineKind::Blank) continue;
    if (eKind == CandumpLineKind::Frame) {
      if (Wanted(m_pending.m_record.m_frame.m_dwId)) return true;
      continue;
    }
    ++m_summary.m_qwSkipped;
    // Only in the first loop: the others would repeat the same lines.
    if (m_nLoop == 0 && m_pErr)
      std::fprintf(m_pErr, "%s:%" PRIu64 ": skipped: %s\n", m_path.c_str(), m_reader.LineNumber(), SkipReason(eKind, m_pending));
  }
}

int64_t CLogReplayer::Step(int64_t nNowNs) {
  if (!m_bStarted) {
    m_bStarted = true;
    m_nStartNs = nNowNs;
    m_nLastDueNs = nNowNs;
    m_channel.TakeSendLateness();  // what went before is not this replay's
    m_bPending = ReadNext();
  }
  NoteLateness();
  while (m_bPending) {
    const CanFrame& frame = m_pending.m_record.m_frame;
    const int64_t nLogNs = m_pending.m_record.m_arrival.m_nSteadyNs;
    if (m_nFirstLogNs < 0) m_nFirstLogNs = nLogNs;
    // A log whose time goes back sends such a frame at once.
    const double dGapNs = std::clamp(static_cast<double>(nLogNs - m_nFirstLogNs) / m_options.m_dSpeed, 0.0, MAX_GAP_NS);
    const int64_t nDueNs = m_nStartNs + static_cast<int64_t>(dGapNs);
    if (nDueNs > nNowNs + LOOKAHEAD_NS) return nDueNs - LOOKAHEAD_NS;
    if (!m_channel.HasSendRoom()) return nNowNs + ROOM_RETRY_NS;
    m_channel.SendFrame(frame.m_bStandard, !frame.m_bRemote, frame.m_byLength, frame.m_dwId, frame.m_abyData, nDueNs);
    ++m_summary.m_qwSent;
    m_nLastDueNs = std::max(m_nLastDueNs, nDueNs);
    m_bPending = ReadNext();
  }
  // Done once the last frames handed over went out (an open port writes them; a closed one
  // dropped them).
  if (!m_channel.IsSendQueueEmpty()) return std::max(m_nLastDueNs, nNowNs + ROOM_RETRY_NS);
  NoteLateness();
  return DONE;
}

void CLogReplayer::Cancel() { m_summary.m_qwSent -= std::min<uint64_t>(m_summary.m_qwSent, m_channel.CancelTimedSends()); }

void CLogReplayer::NoteLateness() {
  const CSendThread::Lateness lateness = m_channel.TakeSendLateness();
  if (lateness.m_qwLines == 0) return;
  m_summary.m_nLastLateNs = lateness.m_nLastNs;
  m_summary.m_nWorstLateNs = std::max(m_summary.m_nWorstLateNs, lateness.m_nWorstNs);
}

double CLogReplayer::Progress() const {
  if (!m_bStarted) return 0.0;
  if (!m_bPending) return 1.0;
  const double dInLoop = m_reader.FileSize() ? static_cast<double>(m_reader.BytesRead()) / static_cast<double>(m_reader.FileSize()) : 1.0;
  return (m_nLoop + std::min(dInLoop, 1.0)) / m_options.m_nLoops;
}
