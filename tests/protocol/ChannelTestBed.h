#pragma once
// A module channel on the virtual-time loop over two scripted transports. The test itself
// stands in for the event log, the receive list and the frame (the channel's owner), and
// records what reaches them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "protocol/CModuleChannel.h"
#include "support/CVirtualLoop.h"
#include "protocol/ChannelOwner.h"
#include "protocol/FakeTransport.h"
#include "receive/EventSink.h"
#include "receive/ReceiveSink.h"
#include "text/Cp949Text.h"

using CEvents = std::vector<std::pair<std::string, COLORREF>>;  // text, colour
using CMessages = std::vector<std::pair<unsigned, uintptr_t>>;  // message, wParam

const std::pair<std::string, COLORREF> COMM_ERROR{
    "[Korvex 통신에러 발생]      : Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다", EVENT_RED};

// The CP949 bytes of a program text; "<none>" if it has no CP949 form.
inline std::string Cp949(std::string_view utf8) { return Utf8ToCp949(utf8).value_or("<none>"); }

class CChannelTestBed : public ::testing::Test,
                        public EventSink,
                        public ReceiveSink,
                        public ChannelOwner,
                        public MessageHandler {
protected:
  CChannelTestBed() {
    auto pSerial = std::make_unique<CFakeTransport>();
    auto pUsb = std::make_unique<CFakeTransport>();
    m_pSerial = pSerial.get();
    m_pUsb = pUsb.get();
    m_pChannel = std::make_unique<CModuleChannel>(std::move(pSerial), std::move(pUsb));
    m_pWindow = std::make_unique<CVirtualLoop::CWindow>(m_loop, *m_pChannel);
    EXPECT_TRUE(m_pChannel->Create(m_pWindow.get(), this, &m_loop));
    m_pChannel->SetEventSink(this);
    m_pChannel->SetReceiveSink(this);
  }
  ~CChannelTestBed() override { m_pChannel->Destroy(); }

  void LogEvent(std::string_view text, COLORREF colour) override { m_events.emplace_back(text, colour); }
  void AppendLine(std::string_view text, const ArrivalTime& arrival) override {
    m_lines.emplace_back(text);
    m_arrivals.push_back(arrival.m_nWallNs);
    if (m_fnOnLine) m_fnOnLine();
  }
  void EndBatch() override { m_batchEnds.push_back(m_lines.size()); }
  MessageHost& OwnerWindow() override { return m_ownerWindow; }
  void SetPortOpen(bool bOpen) override { m_bPortOpen = bOpen; }
  void OnPortGone() override { ++m_nPortGoneCalls; }
  void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t) override { m_messages.emplace_back(nMsg, wParam); }
  void OnTimer(unsigned) override {}

  // Delivers bytes on the scripted serial port and handles them.
  void Receive(std::string_view bytes) {
    m_pSerial->Deliver(bytes);
    m_loop.RunPending();
  }
  // Opens the scripted serial port and answers the start-up exchange; forgets what it produced.
  void OpenReady() {
    ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 921600));
    Receive(Line(":Y1C0F340000000000000000") + Line(":G00"));
    ASSERT_FALSE(m_pChannel->IsStartupPending());
    Forget();
  }
  void Forget() {
    m_pSerial->m_writes.clear();
    m_events.clear();
    m_lines.clear();
    m_arrivals.clear();
    m_batchEnds.clear();
    m_messages.clear();
  }

  CVirtualLoop m_loop;
  CVirtualLoop::CWindow m_ownerWindow{m_loop, *this};
  CEvents m_events;
  std::vector<std::string> m_lines;   // the receive list
  std::vector<int64_t> m_arrivals;    // each line's arrival (wall clock)
  std::vector<size_t> m_batchEnds;    // lines listed when each batch ended
  std::function<void()> m_fnOnLine;   // runs inside the channel's handler, after each line
  CMessages m_messages;               // posted to the owner
  bool m_bPortOpen = false;
  unsigned m_nPortGoneCalls = 0;
  CFakeTransport* m_pSerial = nullptr;
  CFakeTransport* m_pUsb = nullptr;
  std::unique_ptr<CModuleChannel> m_pChannel;
  std::unique_ptr<CVirtualLoop::CWindow> m_pWindow;
};
