#include "protocol/CModuleChannel.h"

#include "protocol/ChannelOwner.h"
#include "protocol/ModuleCommands.h"
#include "protocol/EventSink.h"
#include "text/Cp949Text.h"

CModuleChannel::CModuleChannel(std::unique_ptr<ByteTransport> pSerial, std::unique_ptr<ByteTransport> pUsb,
                               bool bSendThread)
    : m_bSendThread(bSendThread), m_pSerial(std::move(pSerial)), m_pUsb(std::move(pUsb)) {
  m_assembler.Reset();
}

CModuleChannel::~CModuleChannel() { Destroy(); }

bool CModuleChannel::Create(MessageHost* pWindow, ChannelOwner* pOwner) {
  m_pWindow = pWindow;
  m_pOwner = pWindow ? pOwner : nullptr;
  m_decoder.SetOwnerWindow(m_pOwner ? &m_pOwner->OwnerWindow() : nullptr);
  if (pWindow == nullptr) return false;
  m_queue.Reset();
  m_pSerial->SetNotifyTarget(this, &m_queue);
  m_pUsb->SetNotifyTarget(this, &m_queue);
  return true;
}

void CModuleChannel::Destroy() {
  Close();
  m_pWindow = nullptr;  // the owner goes with the window, as a child window's parent would
  m_pOwner = nullptr;
  m_decoder.SetOwnerWindow(nullptr);
}

void CModuleChannel::SetEventSink(EventSink* pEvents) {
  m_pEvents = pEvents;
  m_decoder.SetEventSink(pEvents);
}

bool CModuleChannel::IsPortOpen() const { return m_pSerial->IsOpen() || m_pUsb->IsOpen(); }

bool CModuleChannel::Open(bool bUsb, const std::string& portName, uint32_t dwBaudRate) {
  Close();
  m_assembler.Reset();  // no reader runs now, so the queue may be reset as well
  m_queue.Reset();
  m_nGeneration.fetch_add(1, std::memory_order_relaxed);
  ByteTransport& transport = bUsb ? *m_pUsb : *m_pSerial;
  if (!transport.Open(portName, dwBaudRate)) {
    m_lastOpenError = transport.LastError();
    Close();
    return false;
  }
  if (!m_sender.Start(transport, m_bSendThread)) {
    m_lastOpenError = "pthread_create: Resource temporarily unavailable";
    Close();
    return false;
  }
  m_lastOpenError.clear();
  m_bUsbMode = bUsb;
  m_portName = portName;
  m_dwLineRate = transport.LineRate();
  if (m_pOwner) m_pOwner->SetPortOpen(true);
  if (m_bStartupPending) {
    ReadConfig();
  } else if (m_bAskReception) {
    // The module may have been reset or replaced meanwhile: it tells what it does now.
    m_bAskReception = false;
    SetReception(false, false);
  }
  return true;
}

bool CModuleChannel::BeginClose() {
  if (!IsPortOpen() || !m_pWindow) {
    Close();
    return false;
  }
  StopAllCycles("포트를 닫았읍니다");
  CancelTimedSends();  // ":G10" goes out now, not behind a replay's frames
  SetReception(true, false);
  m_bClosing = true;
  m_pWindow->SetTimer(IDT_CLOSE_WAIT, CLOSE_WAIT_MS);
  return true;
}

void CModuleChannel::Close() {
  if (m_bClosing) {
    // A close already under way: ":G10" went out, the wait is cut short.
    m_bClosing = false;
    if (m_pWindow) m_pWindow->KillTimer(IDT_CLOSE_WAIT);
  }
  StopAllCycles("포트를 닫았읍니다");
  m_sender.Stop();  // the transport closes only when no write is in progress
  for (ByteTransport* pTransport : {m_pSerial.get(), m_pUsb.get()})
    if (pTransport->IsOpen()) pTransport->Close();
  if (m_pOwner) m_pOwner->SetPortOpen(false);
  m_unanswered.clear();
  if (m_pWindow) m_pWindow->KillTimer(IDT_RESPONSE);
}

void CModuleChannel::Send(const CLineText& payload, int64_t nDueNs) {
  const CLineText line = BuildLine(payload.View());
  if (!line.IsEmpty() && ActiveTransport().IsOpen() && !m_sender.Queue(line, nDueNs))
    LogRed("[Korvex 통신포트 에러]", "write: the send queue is full");
  // Counted even when nothing went out: the missing answer is then reported like a lost one.
  Unanswered(1);
}

void CModuleChannel::Unanswered(uint32_t nCommands) {
  if (!m_pWindow) return;
  const bool bWasIdle = m_unanswered.empty();
  const uint64_t qwNow = m_pWindow->NowMs();
  for (uint32_t i = 0; i < nCommands && m_unanswered.size() < MAX_UNANSWERED; ++i) m_unanswered.push_back(qwNow);
  if (bWasIdle) m_pWindow->SetTimer(IDT_RESPONSE, RESPONSE_TIMEOUT_MS);
}

// The timer runs out when the oldest unanswered command is a second old.
void CModuleChannel::ArmResponseTimer() {
  if (!m_pWindow || m_unanswered.empty()) return;
  const uint64_t qwDue = m_unanswered.front() + RESPONSE_TIMEOUT_MS;
  const uint64_t qwNow = m_pWindow->NowMs();
  m_pWindow->SetTimer(IDT_RESPONSE, qwDue > qwNow ? static_cast<unsigned>(qwDue - qwNow) : 1);
}

bool CModuleChannel::StartCycle(uint32_t dwKey, uint32_t dwPeriodMs, bool bStandard, bool bDataFrame,
                                uint8_t byLength, uint32_t dwId, const uint8_t* pData) {
  if (!IsPortOpen()) return false;
  const CLineText line = BuildLine(SendFramePayload(bStandard, bDataFrame, byLength, dwId, pData).View());
  if (!m_sender.StartCycle(dwKey, line, dwPeriodMs)) return false;
  if (m_pOwner) m_pOwner->OnCyclesChanged();
  return true;
}

void CModuleChannel::StopCycle(uint32_t dwKey) {
  if (m_sender.StopCycle(dwKey) && m_pOwner) m_pOwner->OnCyclesChanged();
}

void CModuleChannel::StopAllCycles(const char* pszCause) {
  if (!m_sender.StopAllCycles()) return;
  if (m_pEvents) m_pEvents->LogEvent(FormatEventText("[Korvex 주기 전송 정지]", pszCause), EVENT_BLUE);
  if (m_pOwner) m_pOwner->OnCyclesChanged();
}

void CModuleChannel::LogRed(const char* pszHeading, const std::string& text) {
  if (m_pEvents) m_pEvents->LogEvent(FormatEventText(pszHeading, text), EVENT_RED);
}

void CModuleChannel::ReadConfig() { Send(ReadConfigPayload()); }

void CModuleChannel::WriteConfig(bool bStandard, bool bAutoReset, bool bReportBusOff,
                                 bool bReportPassive, bool bReportWarning, uint16_t wBitTiming,
                                 uint32_t dwId, uint32_t dwMaskId) {
  Send(WriteConfigPayload(bStandard, bAutoReset, bReportBusOff, bReportPassive, bReportWarning,
                          wBitTiming, dwId, dwMaskId));
}

void CModuleChannel::SetReception(bool bChange, bool bStart) { Send(ReceptionPayload(bChange, bStart)); }

void CModuleChannel::SendFrame(bool bStandard, bool bDataFrame, uint8_t byLength, uint32_t dwId,
                               const uint8_t* pData, int64_t nDueNs) {
  Send(SendFramePayload(bStandard, bDataFrame, byLength, dwId, pData), nDueNs);
}

size_t CModuleChannel::CancelTimedSends() {
  const size_t nDropped = m_sender.DropTimed();
  // Only how many are awaited changes: the oldest send times stay, and with them when the
  // communication error would come.
  for (size_t n = nDropped; n > 0 && !m_unanswered.empty(); --n) m_unanswered.pop_back();
  if (m_unanswered.empty() && m_pWindow) m_pWindow->KillTimer(IDT_RESPONSE);
  return nDropped;
}

void CModuleChannel::ResetNode() { Send(ResetNodePayload()); }
void CModuleChannel::ReadVersion() { Send(ReadVersionPayload()); }

ChannelCounters CModuleChannel::Counters() const {
  ChannelCounters counters;
  counters.m_qwDroppedBlocks = m_pSerial->DroppedBlocks() + m_pUsb->DroppedBlocks();
  counters.m_qwRefusedLines = m_assembler.RefusedLines();
  counters.m_qwRefusedResponses = m_qwRefusedResponses;
  counters.m_qwIncompleteFrames = m_decoder.IncompleteFrames();
  return counters;
}

void CModuleChannel::OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t /*lParam*/) {
  if (nMsg == WM_RX_NOTIFY) OnRxNotify();
  if (nMsg == WM_SENDER_NEWS) HandleSenderNews();
  if (nMsg == WM_PORT_GONE) HandlePortGone(wParam);
}

// Reader thread. While a notification waits in the window's queue, a busy UI thread must not
// collect one per burst: the handler drains everything queued by the time it runs.
void CModuleChannel::OnBytesQueued() {
  if (!m_bRxPending.exchange(true, std::memory_order_acq_rel) && m_pWindow) m_pWindow->Post(WM_RX_NOTIFY, 0, 0);
}

// Reader thread: only one reader runs, and only between an Open and the next Close, so the
// generation read here is that of the port that went away.
void CModuleChannel::OnPortGone() {
  if (m_pWindow) m_pWindow->Post(WM_PORT_GONE, m_nGeneration.load(std::memory_order_relaxed), 0);
}

// Sending thread (or the caller's, without one): posts while no notice is pending.
void CModuleChannel::OnSenderNews() {
  if (!m_bNewsPending.exchange(true, std::memory_order_acq_rel) && m_pWindow) m_pWindow->Post(WM_SENDER_NEWS, 0, 0);
}

void CModuleChannel::HandleSenderNews() {
  m_bNewsPending.exchange(false, std::memory_order_acq_rel);
  const CSendThread::News news = m_sender.TakeNews();
  for (const std::string& failure : news.m_failures) LogRed("[Korvex 통신포트 에러]", failure);
  if (news.m_nUntoldFailures != 0)
    LogRed("[Korvex 통신포트 에러]", "write: " + std::to_string(news.m_nUntoldFailures) + " more writes failed");
  // Every cyclic frame is a command the module answers with its echo.
  Unanswered(news.m_nCyclicWritten);
}

void CModuleChannel::HandlePortGone(uintptr_t nGeneration) {
  if (nGeneration != m_nGeneration.load(std::memory_order_relaxed) || !IsPortOpen()) return;
  OnRxNotify();  // what arrived before the hang-up is shown and logged first
  StopAllCycles("통신 포트가 끊어졌읍니다");
  Close();
  m_decoder.ForgetReception();  // so that starting reception is offered again
  m_bAskReception = true;
  ++m_nPortsGone;
  if (m_pEvents)
    m_pEvents->LogEvent(FormatEventText("[Korvex 통신포트 에러]", "통신 포트가 끊어졌읍니다 (장치가 분리됨)"),
                        EVENT_RED);
  if (m_pOwner) m_pOwner->OnPortGone();
}

void CModuleChannel::OnTimer(unsigned nId) {
  if (nId == IDT_CLOSE_WAIT) {
    Close();
    if (m_pOwner) m_pOwner->OnClosed();
    return;
  }
  if (nId != IDT_RESPONSE) return;
  if (m_pWindow) m_pWindow->KillTimer(IDT_RESPONSE);
  if (m_unanswered.empty()) return;
  if (m_pWindow && m_pWindow->NowMs() < m_unanswered.front() + RESPONSE_TIMEOUT_MS) {
    ArmResponseTimer();  // answers came meanwhile; the oldest left is younger
    return;
  }
  m_unanswered.clear();
  ++m_nCommErrors;
  LogRed("[Korvex 통신에러 발생]", "Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다");
  StopAllCycles("통신에러");
}

void CModuleChannel::OnRxNotify() {
  // Cleared before the count is read: bytes queued after this point post a new notification.
  m_bRxPending.exchange(false, std::memory_order_acq_rel);
  m_queue.PopInto(m_queue.Count(), [this](uint8_t by) { m_assembler.FeedByte(by); });
  m_decoder.EndBatch();
}

ArrivalTime CModuleChannel::LineArrival() const {
  ArrivalTime arrival = m_queue.LastArrival();
  if (m_dwLineRate == 0 || arrival.m_nSteadyNs == 0) return arrival;  // no rate, or never stamped
  // Ten bits a byte: start, eight data bits, stop.
  const int64_t nEarlierNs = int64_t{m_queue.BytesLeftInBurst()} * 10 * 1000000000 / m_dwLineRate;
  arrival.m_nSteadyNs -= nEarlierNs;
  arrival.m_nWallNs -= nEarlierNs;
  return arrival;
}

void CModuleChannel::DispatchLine(const CLineAssembler& line) {
  const uint8_t byLetter = line.Letter();
  // A line the decoder refuses (unknown letter, shorter than its layout) is dropped like a
  // garbled one, so an incomplete answer ends in the communication error as well.
  if (!m_decoder.Decode(byLetter, line.Fields(), LineArrival())) {
    ++m_qwRefusedResponses;
    return;
  }
  // "I" and "U" are reports the module sends on its own, never an answer.
  // Answers come in the order the commands went out: this one answers the oldest.
  if (byLetter != 'I' && byLetter != 'U' && !m_unanswered.empty()) m_unanswered.pop_front();
  if (!m_bStartupPending) return;
  if (byLetter == 'Y') SetReception(false, false);
  if (byLetter == 'G') m_bStartupPending = false;
}
