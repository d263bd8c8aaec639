#include "protocol/CResponseDecoder.h"

#include <algorithm>

#include "protocol/EventSink.h"
#include "protocol/MessageHost.h"
#include "protocol/ResponseText.h"
#include "text/Cp949Text.h"

void CResponseDecoder::AddFrameConsumer(FrameConsumer* pConsumer) {
  if (pConsumer && std::find(m_consumers.begin(), m_consumers.end(), pConsumer) == m_consumers.end())
    m_consumers.push_back(pConsumer);
}

void CResponseDecoder::RemoveFrameConsumer(FrameConsumer* pConsumer) {
  std::erase(m_consumers, pConsumer);
}

bool CResponseDecoder::Decode(uint8_t byLetter, std::span<const uint8_t> fields, const ArrivalTime& arrival) {
  switch (byLetter) {
    case 'Y':
      return DecodeConfig("[Korvex 환경설정 읽기 응답]", fields);
    case 'Z':
      return DecodeConfig("[Korvex 환경설정 쓰기 응답]", fields);
    case 'U':
      return DecodeReceivedFrame(fields, arrival);
    case 'W':
      return DecodeTransmitEcho(fields);
    default:
      break;
  }
  // The rest carry one byte.
  if (fields.empty()) return false;
  const uint8_t by = fields[0];
  switch (byLetter) {
    case 'G':
      m_bReceptionRunning = by != 0;
      Event("[CAN 데이터 수신 여부 응답]",
            m_bReceptionRunning ? "CAN 데이터 수신 동작 중" : "CAN 데이터 수신 중지 중", EVENT_BLACK);
      return true;
    case 'R':
      Event("[CAN 리셋 응답]", by != 0 ? "Bus-Off Auto Reset" : "Command Reset", EVENT_BLUE);
      return true;
    case 'I':
      // Bits 5 to 7 carry nothing; a line without any of bits 0 to 4 reports nothing.
      if ((by & 0x1F) != 0) Event("[CAN 에러코드 응답]", ErrorListText(by) + " 에러 발생", EVENT_BLUE);
      return true;
    case 'V':
      Event("[Korvex 버전 응답]", VersionText(by), EVENT_BLACK);
      return true;
    default:
      return false;
  }
}

bool CResponseDecoder::DecodeConfig(const char* pszTitle, std::span<const uint8_t> fields) {
  ModuleConfig config;
  if (!ParseConfig(fields, config)) return false;
  m_config = config;
  Post(WM_CONFIG_REPORT, 0);
  Event(pszTitle, ConfigText(m_config), EVENT_BLACK);
  return true;
}

// A frame whose data is cut short is still passed on with what it carried: a frame the module
// received must not vanish because its line was short.
bool CResponseDecoder::DecodeReceivedFrame(std::span<const uint8_t> fields, const ArrivalTime& arrival) {
  ReceivedFrame record;
  if (!ParseFrame(fields, record.m_frame)) return false;
  CanFrame& frame = record.m_frame;
  // The line's identifier field is wider than the bus's: 16 bits for 11, 32 for 29.
  frame.m_dwId &= frame.m_bStandard ? STANDARD_ID_MASK : EXTENDED_ID_MASK;
  m_qwIncompleteFrames += IsIncomplete(frame);
  record.m_arrival = arrival;
  // At least a microsecond after the frame before, so no two frames share a stamp even in the
  // microseconds of a candump line (a burst that came faster than the wire would pile them up).
  const int64_t nBehindNs = m_qwSequence == 0 ? 0 : m_lastArrival.m_nSteadyNs + MIN_FRAME_GAP_NS - arrival.m_nSteadyNs;
  if (nBehindNs > 0) {
    record.m_arrival.m_nSteadyNs += nBehindNs;
    record.m_arrival.m_nWallNs += nBehindNs;
  }
  m_lastArrival = record.m_arrival;
  record.m_qwSequence = ++m_qwSequence;
  m_batch.push_back(record);
  return true;
}

bool CResponseDecoder::DecodeTransmitEcho(std::span<const uint8_t> fields) {
  CanFrame frame;  // the echo leaves the last received frame alone
  if (!ParseFrame(fields, frame)) return false;
  m_qwIncompleteFrames += IsIncomplete(frame);
  m_bSentInBatch = true;
  Event("[CAN 데이터 송신 응답]", TransmitText(frame), EVENT_BLACK);
  return true;
}

void CResponseDecoder::EndBatch() {
  if (!m_batch.empty()) {
    for (FrameConsumer* pConsumer : m_consumers) pConsumer->OnFrames(m_batch);
    for (FrameConsumer* pConsumer : m_consumers) pConsumer->EndBatch();
  }
  // The lamps only need to know that a kind occurred; one notice per burst keeps a flood of
  // frames from flooding the frame's message queue as well.
  if (m_bSentInBatch) Post(WM_FRAME_ACTIVITY, 1);
  if (!m_batch.empty()) Post(WM_FRAME_ACTIVITY, 2);
  m_bSentInBatch = false;
  m_batch.clear();
}

void CResponseDecoder::Post(unsigned nMsg, uintptr_t wParam) {
  if (m_pOwner) m_pOwner->Post(nMsg, wParam, 0);
}

void CResponseDecoder::Event(const char* pszTitle, std::string_view detail, uint32_t colour) {
  if (m_pEvents) m_pEvents->LogEvent(FormatEventText(pszTitle, detail), colour);
}
