#pragma once
// Recording stand-ins for the event log, the receive list and the frame, shared by the
// protocol and front-end tests.
#include <string>
#include <utility>
#include <vector>

#include "link/MessageHost.h"
#include "protocol/CVirtualLoop.h"
#include "protocol/ChannelOwner.h"
#include "receive/EventSink.h"
#include "receive/ReceiveSink.h"
#include "uisupport/Cp949Text.h"

struct CRecordedEvent {
  std::string m_text;
  COLORREF m_colour;
  bool operator==(const CRecordedEvent&) const = default;
};

class CRecordingEvents final : public EventSink, public EventDisplay {
public:
  void LogEvent(std::string_view text, COLORREF colour) override { m_events.push_back({std::string(text), colour}); }
  void AppendEvent(std::string_view text, COLORREF colour) override { LogEvent(text, colour); }
  std::vector<CRecordedEvent> m_events;
};

class CRecordingReceiveList final : public ReceiveSink {
public:
  void AppendLine(std::string_view text) override { m_lines.emplace_back(text); }
  std::vector<std::string> m_lines;
};

// Records the messages posted to it; as a channel owner it also keeps the port-open flag.
class CRecordingOwner final : public ChannelOwner, public MessageHandler {
public:
  explicit CRecordingOwner(CVirtualLoop& loop) : m_window(loop, *this) {}
  MessageHost& OwnerWindow() override { return m_window; }
  void SetPortOpen(bool bOpen) override { m_bPortOpen = bOpen; }
  void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t) override { m_messages.emplace_back(nMsg, wParam); }
  void OnTimer(unsigned) override {}

  CVirtualLoop::CWindow m_window;
  bool m_bPortOpen = false;
  std::vector<std::pair<unsigned, uintptr_t>> m_messages;
};

// The CP949 bytes of a program text; "<none>" if it has no CP949 form.
inline std::string Cp949(std::string_view utf8) { return Utf8ToCp949(utf8).value_or("<none>"); }
