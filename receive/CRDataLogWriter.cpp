#include "receive/CRDataLogWriter.h"

#include "protocol/ResponseText.h"
#include "receive/CLogFiles.h"

void CRDataLogWriter::OnFrames(std::span<const ReceivedFrame> frames) {
  for (const ReceivedFrame& record : frames) {
    // Asked each time: a failure or the size limit ends logging in the middle of a batch.
    if (!m_logs.IsLogging(LOG_RDATA)) return;
    ReceivedFrameLine(record.m_frame, m_line);
    m_logs.WriteStampedLine(LOG_RDATA, m_line, record.m_arrival.WallSeconds());
  }
}
