#include "cli/CFramePrinter.h"

#include "cli/SignalLine.h"
#include "logs/CandumpLine.h"
#include "protocol/ResponseText.h"
#include "receive/CLogFiles.h"

void CFramePrinter::OnFrames(std::span<const ReceivedFrame> frames) {
  for (const ReceivedFrame& record : frames) {
    if (std::ferror(m_pOut)) return;  // nobody sees it any more
    if (m_eFormat == EFrameFormat::SIGNALS && m_pDatabase) {
      SignalLine(*m_pDatabase, record, m_values, m_line);
    } else if (m_eFormat == EFrameFormat::CANDUMP || m_eFormat == EFrameFormat::SIGNALS) {
      CandumpLine(record.m_frame, record.m_arrival.m_nWallNs, m_line);
    } else {
      if (m_pStamps) {
        const std::string_view stamp = m_pStamps->TimeStamp(record.m_arrival.WallSeconds());
        std::fwrite(stamp.data(), 1, stamp.size(), m_pOut);
        std::fputs("  ", m_pOut);
      }
      ReceivedFrameLine(record.m_frame, m_line, m_labels);
    }
    m_line += '\n';
    std::fwrite(m_line.data(), 1, m_line.size(), m_pOut);
  }
}
