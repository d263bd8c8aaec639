#include "logs/CFrameRecorder.h"

#include "logs/CandumpLine.h"

ERecordFormat RecordFormatOf(std::string_view path) {
  const std::size_t nSlash = path.rfind('/');
  const std::string_view name = nSlash == std::string_view::npos ? path : path.substr(nSlash + 1);
  if (name.size() < 4) return ERecordFormat::CANDUMP;
  std::string extension(name.substr(name.size() - 4));
  for (char& ch : extension) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  return extension == ".asc" ? ERecordFormat::ASC : ERecordFormat::CANDUMP;
}

bool CFrameRecorder::Start(const std::string& path, int64_t nNowWallNs) {
  Stop();
  m_path = path;
  m_error.clear();
  m_qwFrames = 0;
  m_eFormat = RecordFormatOf(path);
  if (!m_file.Create(path)) {
    m_error = m_file.Error();
    return false;
  }
  m_text.clear();
  if (m_eFormat == ERecordFormat::ASC) m_asc.Begin(nNowWallNs, m_text);
  return Write();
}

bool CFrameRecorder::Stop() {
  if (!m_file.IsOpen()) return m_error.empty();
  m_text.clear();
  if (m_eFormat == ERecordFormat::ASC) CAscWriter::End(m_text);
  const bool bOk = Write();
  m_file.Close();
  return bOk;
}

void CFrameRecorder::OnFrames(std::span<const ReceivedFrame> frames) {
  if (!m_file.IsOpen()) return;
  for (const ReceivedFrame& record : frames) {
    if (m_eFormat == ERecordFormat::ASC) {
      m_asc.Frame(record, m_text);
    } else {
      CandumpLine(record.m_frame, record.m_arrival.m_nWallNs, m_line);
      m_text += m_line;
      m_text += '\n';
    }
  }
  m_qwFrames += frames.size();
}

void CFrameRecorder::EndBatch() {
  // Stop and Start report their own failure to their caller; this one is the handler's.
  if (m_file.IsOpen() && !Write() && m_onFailure) m_onFailure(m_error);
}

bool CFrameRecorder::Write() {
  m_file.Append(m_text);
  m_text.clear();
  if (m_file.Flush()) return true;
  m_error = m_file.Error();
  m_file.Close();  // what was written stays
  return false;
}
