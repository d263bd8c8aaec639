#pragma once
// The one object through which the program talks to the module: it owns the serial and the
// USB transport (one open at a time) and the receive queue, sends every command line,
// watches for the answer with the one-second response timer 201, assembles the received
// bytes into lines and routes them to the response decoder. Everything but the transports'
// reader threads runs on the UI thread, through the window (MessageHost) given to Create.
//
//   channel.Create(&window, &frame);        // frame: ChannelOwner
//   channel.Open(false, "ttyUSB0", 921600); // ":Y", then ":G00" after the "Y" answer
//   channel.SetReception(true, true);       // ":G11A9\r"
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "link/CByteQueue.h"
#include "link/ReaderListener.h"
#include "protocol/MessageHost.h"
#include "link/ByteTransport.h"
#include "protocol/CLineAssembler.h"
#include "protocol/CResponseDecoder.h"
#include "protocol/CSendThread.h"
#include "protocol/LineFraming.h"

class ChannelOwner;
class EventSink;
class FrameConsumer;

// What went wrong on the way in, for the user to see (all zero in a healthy run).
struct ChannelCounters {
  uint64_t m_qwDroppedBlocks = 0;     // received blocks the reader dropped: the queue was full
  uint64_t m_qwRefusedLines = 0;      // lines refused: bad checksum, too long, bad character
  uint64_t m_qwRefusedResponses = 0;  // lines of no known letter, or shorter than their layout
  uint64_t m_qwIncompleteFrames = 0;  // data frames shown with fewer bytes than their length

  bool AnyNonZero() const {
    return m_qwDroppedBlocks || m_qwRefusedLines || m_qwRefusedResponses || m_qwIncompleteFrames;
  }
};

class CModuleChannel final : public MessageHandler, private LineDispatcher, private ReaderListener, private SenderListener {
public:
  static constexpr unsigned RESPONSE_TIMEOUT_MS = 1000;
  static constexpr unsigned CLOSE_WAIT_MS = 500;  // lets ":G10" reach the module before the close
  static constexpr size_t MAX_UNANSWERED = 4096;  // commands whose send times are kept

  CModuleChannel();  // with the real serial and USB transports
  // bSendThread false: each line is written at once on the calling thread, and cycles run
  // only through RunCyclesAt (tests on a virtual clock).
  CModuleChannel(std::unique_ptr<ByteTransport> pSerial, std::unique_ptr<ByteTransport> pUsb, bool bSendThread = false);
  ~CModuleChannel() override;  // Destroy()
  CModuleChannel(const CModuleChannel&) = delete;
  CModuleChannel& operator=(const CModuleChannel&) = delete;

  // pWindow: the channel's own window, which delivers WM_RX_NOTIFY and the timers back to
  // this object (OnMessage/OnTimer). pOwner may be null (no frame). False (and no owner)
  // without a window.
  bool Create(MessageHost* pWindow, ChannelOwner* pOwner);
  // Close() and forget the window and the owner; call before either goes away (the
  // destructor does it too). A port still open then is closed at once: whoever closes in
  // order (":G10" and the wait) uses BeginClose first.
  void Destroy();

  // Where events go (may be null).
  void SetEventSink(EventSink* pEvents);
  // Who gets the received frames, one batch per drained burst (FrameConsumer.h), in the order
  // they were added. Neither while a batch is being handed out.
  void AddFrameConsumer(FrameConsumer* pConsumer) { m_decoder.AddFrameConsumer(pConsumer); }
  void RemoveFrameConsumer(FrameConsumer* pConsumer) { m_decoder.RemoveFrameConsumer(pConsumer); }

  // Opens the USB module with that serial number (rate unused), or the serial port at that
  // rate, after closing whatever was open (without ":G10"). Sends ":Y" while the start-up
  // exchange is pending, ":G00" after the port went away. False after a failed open;
  // LastOpenError() then says which call failed and why.
  bool Open(bool bUsb, const std::string& portName, uint32_t dwBaudRate);
  const std::string& LastOpenError() const { return m_lastOpenError; }
  // Closes at once, without ":G10"; cuts short a close that BeginClose started.
  void Close();
  // The close in order, which never blocks: with a port open, stops the cycles, sends ":G10"
  // and returns, and timer IDT_CLOSE_WAIT closes the port 500 ms later and tells the owner
  // (OnClosed); meanwhile the window or the command line's loop goes on. False, after closing
  // at once, when no port is open.
  bool BeginClose();
  bool IsClosing() const { return m_bClosing; }

  // The six commands; each is queued for the sending thread and counts as unanswered until
  // an answering line comes, whether or not a port is open. The response timer reports the
  // communication error when the oldest unanswered command is a second old.
  void ReadConfig();
  void WriteConfig(bool bStandard, bool bAutoReset, bool bReportBusOff, bool bReportPassive,
                   bool bReportWarning, uint16_t wBitTiming, uint32_t dwId, uint32_t dwMaskId);
  void SetReception(bool bChange, bool bStart);
  // nDueNs: the frame goes out at that time of SenderNowNs's clock, not before.
  void SendFrame(bool bStandard, bool bDataFrame, uint8_t byLength, uint32_t dwId, const uint8_t* pData,
                 int64_t nDueNs = CSendThread::AT_ONCE);
  void ResetNode();
  void ReadVersion();

  // Cyclic sends of frames, one per key (a transmit row): the frame goes out now and every
  // dwPeriodMs (1 to 60,000) after, on the sending thread's clock. False without an open
  // port or with a period out of range.
  bool StartCycle(uint32_t dwKey, uint32_t dwPeriodMs, bool bStandard, bool bDataFrame, uint8_t byLength,
                  uint32_t dwId, const uint8_t* pData);
  void StopCycle(uint32_t dwKey);
  // Stops every cycle; when any ran, the event log says so, with the cause.
  void StopAllCycles(const char* pszCause);
  bool IsCycling(uint32_t dwKey) const { return m_sender.IsCycling(dwKey); }
  bool AnyCycling() const { return m_sender.AnyCycling(); }
  // True while half the send queue is free: a sender pacing itself by the link (a replay)
  // queues only then, so it never finds the queue full.
  bool HasSendRoom() const { return m_sender.QueuedCount() < CSendThread::QUEUE_CAPACITY / 2; }
  bool IsSendQueueEmpty() const { return m_sender.QueuedCount() == 0; }
  // How late the frames sent with a due time went out, since the last call.
  CSendThread::Lateness TakeSendLateness() { return m_sender.TakeLateness(); }
  EWakeTiming SenderWakeTiming() const { return m_sender.WakeTiming(); }
  // The clock of the due times: the monotonic clock, or without a sending thread the test's.
  int64_t SenderNowNs() const { return m_sender.NowNs(); }
  // Drops the frames with a due time that have not gone out; they are no longer awaited.
  // How many.
  size_t CancelTimedSends();
  // Without a sending thread: sends the cyclic lines due at this time of the test's clock.
  void RunCyclesAt(int64_t nNowNs) { m_sender.RunCyclesAt(nNowNs); }

  // The window's callbacks: WM_RX_NOTIFY, WM_PORT_GONE; IDT_RESPONSE, IDT_CLOSE_WAIT.
  void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override;
  void OnTimer(unsigned nId) override;
  // Feeds exactly the bytes queued when it starts as one batch; later bytes wait for the
  // next notification, which the reader posts only while none is pending.
  void OnRxNotify();

  // What the module reported last.
  bool IsReceptionRunning() const { return m_decoder.IsReceptionRunning(); }
  const ModuleConfig& Config() const { return m_decoder.Config(); }

  bool IsStartupPending() const { return m_bStartupPending; }
  bool IsAwaitingResponse() const { return !m_unanswered.empty(); }
  bool IsUsbMode() const { return m_bUsbMode; }
  const std::string& PortName() const { return m_portName; }
  bool IsPortOpen() const;
  // How many communication-error events the response timer has raised.
  unsigned CommErrorCount() const { return m_nCommErrors; }
  // How many times an open device went away.
  unsigned PortGoneCount() const { return m_nPortsGone; }
  ChannelCounters Counters() const;
  // The queue the transports' reader threads fill.
  CByteQueue& ReceiveQueue() { return m_queue; }

private:
  void DispatchLine(const CLineAssembler& line) override;
  void OnBytesQueued() override;  // reader thread
  void OnPortGone() override;     // reader thread
  void OnSenderNews() override;   // sending thread
  void HandleSenderNews();
  void Unanswered(uint32_t nCommands);  // that many more commands went out
  void ArmResponseTimer();
  void LogRed(const char* pszHeading, const std::string& text);
  void HandlePortGone(uintptr_t nGeneration);
  void Send(const CLineText& payload, int64_t nDueNs = CSendThread::AT_ONCE);
  // When the line whose last byte was just popped came off the port: its burst's time, less
  // the wire time of the burst's bytes after it.
  ArrivalTime LineArrival() const;
  ByteTransport& ActiveTransport() { return m_bUsbMode ? *m_pUsb : *m_pSerial; }

  bool m_bStartupPending = true;
  bool m_bUsbMode = true;
  bool m_bSendThread = false;
  bool m_bAskReception = false;
  bool m_bClosing = false;       // BeginClose is waiting for IDT_CLOSE_WAIT  // the port went away: the next open asks for the reception state
  unsigned m_nCommErrors = 0;
  unsigned m_nPortsGone = 0;
  uint64_t m_qwRefusedResponses = 0;
  std::atomic<bool> m_bRxPending{false};  // a WM_RX_NOTIFY is posted and not yet handled
  std::atomic<bool> m_bNewsPending{false};  // a WM_SENDER_NEWS likewise
  std::deque<uint64_t> m_unanswered;  // when each unanswered command went out (window clock, ms)
  std::atomic<uint32_t> m_nGeneration{0};  // counts opens, so a late port-gone notice is ignored
  std::string m_lastOpenError;
  MessageHost* m_pWindow = nullptr;
  ChannelOwner* m_pOwner = nullptr;
  EventSink* m_pEvents = nullptr;
  std::unique_ptr<ByteTransport> m_pSerial;
  std::unique_ptr<ByteTransport> m_pUsb;
  std::string m_portName;
  uint32_t m_dwLineRate = 0;  // bit/s of the open port's line
  CByteQueue m_queue;
  CResponseDecoder m_decoder;
  CLineAssembler m_assembler{*this};
  CSendThread m_sender{*this};  // last: stopped before anything it reports to goes
};
