// libFuzzer target: ASC lines read in bounds, and every frame read writes back as the same frame.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "logs/AscFormat.h"
#include "logs/CLogReader.h"

namespace {

bool SameFrame(const CanFrame& a, const CanFrame& b) {
  return a.m_bStandard == b.m_bStandard && a.m_bRemote == b.m_bRemote && a.m_dwId == b.m_dwId &&
         a.m_byLength == b.m_byLength &&
         (a.m_bRemote || (a.m_byDataCount == b.m_byDataCount && std::memcmp(a.m_abyData, b.m_abyData, a.m_byDataCount) == 0));
}

// Every line of the text through one parser; fnFrame gets each frame read.
template <typename Fn> void ForEachFrame(std::string_view text, Fn fnFrame) {
  CAscParser parser;
  while (!text.empty()) {
    const std::size_t nEnd = text.find('\n');
    ReceivedFrame record;
    if (parser.Parse(text.substr(0, nEnd), record) == EAscLine::FRAME) fnFrame(record);
    text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
  }
}

void CheckWrittenBack(const ReceivedFrame& record) {
  const CanFrame& f = record.m_frame;
  if (f.m_byLength > 8 || f.m_byDataCount > f.m_byLength || record.m_arrival.m_nWallNs < 0) std::abort();
  std::string asc;
  CAscWriter writer;
  writer.Begin(record.m_arrival.m_nWallNs, asc);
  writer.Frame(record, asc);
  unsigned nFrames = 0;
  ForEachFrame(asc, [&](const ReceivedFrame& back) {
    ++nFrames;
    if (!SameFrame(back.m_frame, f) || back.m_arrival.m_nWallNs != record.m_arrival.m_nWallNs / 1000 * 1000) std::abort();
  });
  if (nFrames != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("TZ", "UTC0", 1);  // a local date written in a clock change's repeated hour reads back either way
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const std::string_view text(reinterpret_cast<const char*>(pData), nSize);
  DetectLogFormat(text);
  ForEachFrame(text, CheckWrittenBack);
  return 0;
}
