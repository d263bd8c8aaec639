#pragma once
// Decodes each accepted response line: stores what the module reported, posts
// WM_CONFIG_REPORT / WM_FRAME_ACTIVITY to the owner window, raises the event line and turns
// received frames into records. Runs on the UI thread; needs no UI of its own.
// Frames come in batches (one per drained burst): EndBatch hands the burst's records to every
// frame consumer, ends their batch and posts at most one activity notice per kind.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "link/ArrivalTime.h"
#include "protocol/FrameConsumer.h"
#include "protocol/ModuleFormat.h"
#include "protocol/ResponseLayout.h"

class EventSink;
class MessageHost;

class CResponseDecoder {
public:
  // Either may be null: no owner window, no event sink (yet).
  void SetOwnerWindow(MessageHost* pOwner) { m_pOwner = pOwner; }
  void SetEventSink(EventSink* pEvents) { m_pEvents = pEvents; }
  // Consumers get the batches in the order they were added; not while a batch is handed out.
  void AddFrameConsumer(FrameConsumer* pConsumer);
  void RemoveFrameConsumer(FrameConsumer* pConsumer);

  // Decodes one line by its letter. False when the letter is none the module sends or the
  // line is shorter than the letter's layout (a frame: shorter than its identifier); nothing
  // is stored or reported then. arrival: when the line's last byte came off the port; a frame
  // is never placed before the frame received just before it.
  bool Decode(uint8_t byLetter, std::span<const uint8_t> fields, const ArrivalTime& arrival = {});
  // The end of one drained burst.
  void EndBatch();
  // The port went away: whatever the module last said, nothing is being received now.
  void ForgetReception() { m_bReceptionRunning = false; }

  // Data frames shown with fewer data bytes than their length said.
  uint64_t IncompleteFrames() const { return m_qwIncompleteFrames; }

  // What the module reported last (defaults until it reports).
  const ModuleConfig& Config() const { return m_config; }
  bool IsReceptionRunning() const { return m_bReceptionRunning; }

private:
  bool DecodeConfig(const char* pszTitle, std::span<const uint8_t> fields);
  bool DecodeReceivedFrame(std::span<const uint8_t> fields, const ArrivalTime& arrival);
  bool DecodeTransmitEcho(std::span<const uint8_t> fields);
  void Post(unsigned nMsg, uintptr_t wParam);
  void Event(const char* pszTitle, std::string_view detail, uint32_t colour);

  MessageHost* m_pOwner = nullptr;
  EventSink* m_pEvents = nullptr;
  std::vector<FrameConsumer*> m_consumers;

  ModuleConfig m_config{MODE_DEFAULT, BIT_TIMING_DEFAULT, 0, 0};
  bool m_bReceptionRunning = false;
  std::vector<ReceivedFrame> m_batch;  // the records of the burst being decoded, reused
  uint64_t m_qwSequence = 0;
  static constexpr int64_t MIN_FRAME_GAP_NS = 1000;
  ArrivalTime m_lastArrival;  // of the newest frame
  bool m_bSentInBatch = false;
  uint64_t m_qwIncompleteFrames = 0;
};
