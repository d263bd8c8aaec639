#pragma once
// The receive-data log as a frame consumer: while receive-data logging is on, every received
// frame goes to the log as the receive list shows it, stamped with the local second its last
// byte arrived:
//   "2024.05.01 13:45:07  CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02\r\n" (CP949)
// The file itself (opening, flushing, the size limit, failures) is CLogFiles'.
#include <string>

#include "protocol/FrameConsumer.h"

class CLogFiles;

class CRDataLogWriter final : public FrameConsumer {
public:
  explicit CRDataLogWriter(CLogFiles& logs) : m_logs(logs) {}
  void OnFrames(std::span<const ReceivedFrame> frames) override;

private:
  CLogFiles& m_logs;
  std::string m_line;  // reused for every frame
};
