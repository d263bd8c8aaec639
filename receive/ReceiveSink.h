#pragma once
// The receive list as the response decoding sees it: one call per received frame with the
// frame's text line (UTF-8) and the time its bytes came off the port, then one EndBatch after
// the last frame of each drained burst, where a view updates itself once. The list copies each
// line to the receive-data log itself.
#include <string_view>

#include "link/ArrivalTime.h"

class ReceiveSink {
public:
  virtual ~ReceiveSink() = default;
  virtual void AppendLine(std::string_view text, const ArrivalTime& arrival) = 0;
  // After a burst that appended at least one line.
  virtual void EndBatch() {}
};
