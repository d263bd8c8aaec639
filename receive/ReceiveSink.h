#pragma once
// The receive list as the response decoding sees it: one call per received frame with the
// frame's text line (UTF-8). The list copies the line to the receive-data log itself.
#include <string_view>

class ReceiveSink {
public:
  virtual ~ReceiveSink() = default;
  virtual void AppendLine(std::string_view text) = 0;
};
