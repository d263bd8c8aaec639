#include "sim/CSimModule.h"

#include <algorithm>

#include "protocol/ModuleFormat.h"

namespace {

// Identifiers the frame source starts with: four that fit CAN 2.0A and two that need 2.0B.
const std::vector<uint32_t> DEFAULT_FRAME_IDS = {0x100, 0x123, 0x2A5, 0x7E0, 0x0CF00400, 0x18FEF100};

// An answer or report payload in upper-case hexadecimal, then framed by BuildLine. Every
// layout the module sends fits the line buffer; one that would not gives an empty line.
class CPayload {
public:
  explicit CPayload(char cLetter) : m_szText{':', cLetter} {}

  CPayload& Byte(uint8_t by) {
    static constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
    if (m_nLength + 2 > MAX_PAYLOAD_LENGTH) {
      m_bOverflow = true;
      return *this;
    }
    m_szText[m_nLength++] = HEX_DIGITS[by >> 4];
    m_szText[m_nLength++] = HEX_DIGITS[by & 0x0F];
    return *this;
  }
  // A big-endian number of nBytes bytes.
  CPayload& Number(uint32_t dwValue, unsigned nBytes) {
    for (unsigned i = nBytes; i-- > 0;) Byte(static_cast<uint8_t>(dwValue >> (8 * i)));
    return *this;
  }
  CLineText Line() const { return m_bOverflow ? CLineText{} : BuildLine({m_szText, m_nLength}); }

private:
  char m_szText[MAX_PAYLOAD_LENGTH] = {};
  unsigned m_nLength = 2;
  bool m_bOverflow = false;
};

uint32_t FieldNumber(const CLineAssembler& line, unsigned nFirst, unsigned nBytes) {
  uint32_t dwValue = 0;
  for (unsigned i = 0; i < nBytes; ++i) dwValue = (dwValue << 8) | line.Field(nFirst + i);
  return dwValue;
}

unsigned IdBytes(bool bExtended) { return bExtended ? 4 : 2; }
uint32_t IdMask(bool bExtended) { return bExtended ? EXTENDED_ID_MASK : STANDARD_ID_MASK; }

}  // namespace

CSimModule::CSimModule(size_t nOutboxLimit)
    : m_outbox(nOutboxLimit), m_byMode(MODE_DEFAULT), m_wBitTiming(BIT_TIMING_DEFAULT),
      m_adwIds(DEFAULT_FRAME_IDS) {
  RebuildFrameSource();
}

void CSimModule::Feed(const uint8_t* pData, size_t nLength, int64_t nArrivalNs) {
  m_nFeedArrivalNs = nArrivalNs;
  for (size_t i = 0; i < nLength; ++i) m_assembler.FeedByte(pData[i]);
}

void CSimModule::Advance(uint64_t qwNowMs) {
  m_qwNowMs = std::max(m_qwNowMs, qwNowMs);
  SendDueFrames();
}

void CSimModule::SetFrameRate(uint32_t nFramesPerSecond) {
  m_nFrameRate = std::min(nFramesPerSecond, MAX_FRAME_RATE);
  RestartSchedule();
}

void CSimModule::SetTraffic(ETraffic eTraffic) {
  m_eTraffic = eTraffic;
  RestartSchedule();
}

void CSimModule::SetFrameIds(std::vector<uint32_t> adwIds) {
  m_adwIds = std::move(adwIds);
  RebuildFrameSource();
}

bool CSimModule::RaiseErrorState(uint8_t byErrorBits) {
  uint8_t byEnabled = 0;
  if (m_byMode & MODE_REPORT_BUSOFF) byEnabled |= ERROR_BUS_OFF;
  if (m_byMode & MODE_REPORT_PASSIVE) byEnabled |= ERROR_RX_PASSIVE | ERROR_TX_PASSIVE;
  if (m_byMode & MODE_REPORT_WARNING) byEnabled |= ERROR_RX_WARNING | ERROR_TX_WARNING;
  const uint8_t byReported = byErrorBits & byEnabled;
  const bool bSent = byReported != 0 && m_outbox.Put(CPayload('I').Byte(byReported).Line().View());
  if ((byErrorBits & ERROR_BUS_OFF) && (m_byMode & MODE_AUTO_RESET))
    m_outbox.Put(CPayload('R').Byte(0x01).Line().View());
  return bSent;
}

bool CSimModule::SendLine(std::string_view payload) {
  const CLineText line = BuildLine(payload);
  return !line.IsEmpty() && m_outbox.Put(line.View());
}

bool CSimModule::IsExtended() const { return (m_byMode & MODE_CAN20B) != 0; }

bool CSimModule::Accepts(uint32_t dwId) const {
  if (dwId & ~IdMask(IsExtended())) return false;
  // A mask bit of 0 leaves that identifier bit free; a 1 makes it match the receive ID.
  return ((dwId ^ m_dwReceiveId) & m_dwReceiveMaskId) == 0;
}

void CSimModule::DispatchLine(const CLineAssembler& line) {
  const unsigned nFields = line.FieldCount();
  switch (line.Letter()) {
    case 'Y':
      if (nFields == 0) Answer(ConfigLine('Y'));
      break;
    case 'Z':
      HandleConfigWrite(line);
      break;
    case 'G':
      HandleReception(line);
      break;
    case 'W':
      HandleTransmit(line);
      break;
    case 'R':
      if (nFields == 0) Answer(CPayload('R').Byte(0x00).Line());
      break;
    case 'V':
      if (nFields == 0) Answer(CPayload('V').Byte(m_byVersion).Line());
      break;
    default:
      break;  // not a command this module knows
  }
}

void CSimModule::HandleConfigWrite(const CLineAssembler& line) {
  if (line.FieldCount() == 0) return;
  const uint8_t byMode = line.Field(0) & static_cast<uint8_t>(~MODE_UNUSED_MASK);
  const bool bExtended = (byMode & MODE_CAN20B) != 0;
  const unsigned nIdBytes = IdBytes(bExtended);
  if (line.FieldCount() != 3 + 2 * nIdBytes) return;
  m_byMode = byMode;
  m_wBitTiming = static_cast<uint16_t>(FieldNumber(line, 1, 2));
  // The controller's registers hold identifiers of the protocol's width only.
  m_dwReceiveId = FieldNumber(line, 3, nIdBytes) & IdMask(bExtended);
  m_dwReceiveMaskId = FieldNumber(line, 3 + nIdBytes, nIdBytes) & IdMask(bExtended);
  RebuildFrameSource();
  Answer(ConfigLine('Z'));
}

void CSimModule::HandleReception(const CLineAssembler& line) {
  if (line.FieldCount() != 1) return;
  // Any control value other than start and stop only asks for the state.
  if (line.Field(0) == RECEPTION_START && !m_bReceiving) {
    m_bReceiving = true;
    RestartSchedule();
  } else if (line.Field(0) == RECEPTION_STOP) {
    m_bReceiving = false;
  }
  Answer(CPayload('G').Byte(m_bReceiving ? 0x01 : 0x00).Line());
}

void CSimModule::HandleTransmit(const CLineAssembler& line) {
  if (line.FieldCount() == 0) return;
  if (m_fnOnTransmit) {
    CPayload payload('W');
    for (const uint8_t byField : line.Fields()) payload.Byte(byField);
    const CLineText text = payload.Line();
    std::string_view view = text.View();
    if (view.ends_with('\r')) view.remove_suffix(1);
    m_fnOnTransmit(view, m_nFeedArrivalNs);
  }
  const uint8_t byFrame = line.Field(0) & static_cast<uint8_t>(~FRAME_UNUSED_MASK);
  const bool bExtended = (byFrame & FRAME_EXTENDED) != 0;
  const unsigned nLength = byFrame & FRAME_LENGTH_MASK;
  const unsigned nData = (byFrame & FRAME_REMOTE) ? 0 : nLength;
  const unsigned nIdBytes = IdBytes(bExtended);
  if (nLength > FRAME_MAX_DATA || line.FieldCount() != 1 + nIdBytes + nData) return;
  CPayload echo('W');
  echo.Byte(byFrame).Number(FieldNumber(line, 1, nIdBytes) & IdMask(bExtended), nIdBytes);
  for (unsigned i = 0; i < nData; ++i) echo.Byte(line.Field(1 + nIdBytes + i));
  Answer(echo.Line());
}

CLineText CSimModule::ConfigLine(char cLetter) const {
  const unsigned nIdBytes = IdBytes(IsExtended());
  return CPayload(cLetter)
      .Byte(m_byMode)
      .Number(m_wBitTiming, 2)
      .Number(m_dwReceiveId, nIdBytes)
      .Number(m_dwReceiveMaskId, nIdBytes)
      .Line();
}

void CSimModule::Answer(const CLineText& line) { m_outbox.Put(line.View()); }

void CSimModule::RebuildFrameSource() {
  m_adwAccepted.clear();
  for (uint32_t dwId : m_adwIds)
    if (Accepts(dwId)) m_adwAccepted.push_back(dwId);
  m_nNextIdIndex = 0;
  RestartSchedule();
}

void CSimModule::RestartSchedule() {
  m_qwScheduleStartMs = m_qwNowMs;
  m_qwScheduledFrames = 0;
  m_bus.Restart(m_qwNowMs, [this](const CSimBusTraffic::SMessage& message) { return SendsBusMessage(message); });
}

bool CSimModule::SendsBusMessage(const CSimBusTraffic::SMessage& message) const {
  // A 2.0A controller never receives 29-bit frames.
  return (!message.m_bExtended || IsExtended()) && Accepts(message.m_dwId);
}

uint64_t CSimModule::NextDueMs() const {
  if (m_eTraffic == TRAFFIC_BUS) return m_bReceiving ? m_bus.NextDueMs() : NO_DEADLINE;
  if (!m_bReceiving || m_nFrameRate == 0 || m_adwAccepted.empty()) return NO_DEADLINE;
  const uint64_t qwNext = m_qwScheduledFrames + 1;
  return m_qwScheduleStartMs + (qwNext * 1000 + m_nFrameRate - 1) / m_nFrameRate;
}

void CSimModule::SendDueFrames() {
  if (NextDueMs() > m_qwNowMs) return;
  if (m_eTraffic == TRAFFIC_BUS) {
    m_outbox.CountDropped(m_bus.SendDue(m_qwNowMs, [this](const SSimFrame& frame) { PutFrame(frame); }));
    return;
  }
  // Frame k (from 1) is due at start + ceil(k * 1000 / rate), so floor(elapsed * rate / 1000)
  // frames are due by now.
  const uint64_t qwDue = (m_qwNowMs - m_qwScheduleStartMs) * m_nFrameRate / 1000;
  uint64_t qwBehind = qwDue - m_qwScheduledFrames;
  if (qwBehind > MAX_FRAME_BURST) {
    const uint64_t qwSkipped = qwBehind - MAX_FRAME_BURST;
    m_outbox.CountDropped(qwSkipped);
    m_dwSequence += static_cast<uint32_t>(qwSkipped);
    m_nNextIdIndex = (m_nNextIdIndex + qwSkipped) % m_adwAccepted.size();
    m_qwScheduledFrames += qwSkipped;
    qwBehind = MAX_FRAME_BURST;
  }
  for (; qwBehind > 0; --qwBehind, ++m_qwScheduledFrames) SendSequenceFrame();
}

void CSimModule::SendSequenceFrame() {
  SSimFrame frame;
  frame.m_dwId = m_adwAccepted[m_nNextIdIndex];
  frame.m_bExtended = IsExtended();
  frame.m_byLength = FRAME_MAX_DATA;
  m_nNextIdIndex = (m_nNextIdIndex + 1) % m_adwAccepted.size();
  const uint32_t dwSequence = m_dwSequence++;
  for (unsigned i = 0; i < 4; ++i) {
    frame.m_abyData[i] = static_cast<uint8_t>(dwSequence >> (24 - 8 * i));
    frame.m_abyData[4 + i] = static_cast<uint8_t>(~dwSequence >> (24 - 8 * i));
  }
  PutFrame(frame);
}

void CSimModule::PutFrame(const SSimFrame& frame) {
  CPayload line('U');
  line.Byte(static_cast<uint8_t>((frame.m_bExtended ? FRAME_EXTENDED : 0) | (frame.m_bRemote ? FRAME_REMOTE : 0) |
                                 frame.m_byLength))
      .Number(frame.m_dwId, IdBytes(frame.m_bExtended));
  if (!frame.m_bRemote)
    for (unsigned i = 0; i < frame.m_byLength; ++i) line.Byte(frame.m_abyData[i]);
  m_outbox.Put(line.Line().View());
}
