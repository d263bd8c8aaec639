#include "cli/LogConvert.h"

#include <cerrno>
#include <cstring>

#include "cli/CCliSession.h"
#include "cli/CFramePrinter.h"
#include "logs/AscFormat.h"
#include "logs/CLogReader.h"

namespace {

// The frames as an ASC log, its header dated by the first frame (or, for none, by 1970).
class CAscPrinter {
public:
  explicit CAscPrinter(std::FILE* pOut) : m_pOut(pOut) {}
  void Print(const ReceivedFrame& record) {
    m_text.clear();
    if (!m_bBegun) Begin(record.m_arrival.m_nWallNs);
    m_writer.Frame(record, m_text);
    std::fwrite(m_text.data(), 1, m_text.size(), m_pOut);
  }
  void Finish() {
    m_text.clear();
    if (!m_bBegun) Begin(0);
    CAscWriter::End(m_text);
    std::fwrite(m_text.data(), 1, m_text.size(), m_pOut);
  }

private:
  void Begin(int64_t nStartNs) {
    m_writer.Begin(nStartNs, m_text);
    m_bBegun = true;
  }
  std::FILE* m_pOut;
  CAscWriter m_writer;
  std::string m_text;
  bool m_bBegun = false;
};

}  // namespace

int ConvertLog(const std::string& path, EConvertTarget eTarget, std::FILE* pOut, std::FILE* pErr,
               const CDbcDatabase* pDatabase) {
  CLogReader reader;
  if (!reader.Open(path)) {
    std::fprintf(pErr, "korvex-cli: %s: %s\n", path.c_str(), reader.LastError().c_str());
    return CLI_EXIT_NO_INPUT;
  }
  CFramePrinter candump(pOut, eTarget == EConvertTarget::SIGNALS ? EFrameFormat::SIGNALS : EFrameFormat::CANDUMP);
  candump.SetDatabase(pDatabase);
  CAscPrinter asc(pOut);
  ReceivedFrame record;
  uint64_t qwConverted = 0, qwSkipped = 0;
  for (ELogRead eRead; (eRead = reader.Next(record)) != ELogRead::END;) {
    if (eRead == ELogRead::FAILED) {
      std::fprintf(pErr, "korvex-cli: %s: %s\n", path.c_str(), reader.LastError().c_str());
      return CLI_EXIT_NO_INPUT;
    }
    if (eRead == ELogRead::SKIPPED) {
      if (++qwSkipped <= CONVERT_MAX_REPORTS)
        std::fprintf(pErr, "korvex-cli: %s:%llu: %s, skipped\n", path.c_str(),
                     static_cast<unsigned long long>(reader.LineNumber()), reader.SkipReason());
      continue;
    }
    ++qwConverted;
    if (eTarget == EConvertTarget::ASC)
      asc.Print(record);
    else
      candump.OnFrames({&record, 1});
  }
  if (eTarget == EConvertTarget::ASC) asc.Finish();
  errno = 0;
  if (std::fflush(pOut) != 0 || std::ferror(pOut)) {
    std::fprintf(pErr, "korvex-cli: the output cannot be written: %s\n", std::strerror(errno != 0 ? errno : EIO));
    return CLI_EXIT_OUTPUT_FAILED;
  }
  if (qwSkipped == 0) return CLI_EXIT_ANSWERED;
  std::fprintf(pErr, "korvex-cli: %s: %llu of %llu lines skipped%s\n", path.c_str(),
               static_cast<unsigned long long>(qwSkipped), static_cast<unsigned long long>(qwSkipped + qwConverted),
               qwConverted == 0 ? " (no frame at all)" : "");
  return CLI_EXIT_LINES_SKIPPED;
}
