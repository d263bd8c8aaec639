#pragma once
// A main frame on scripted serial and USB transports, the virtual-time loop (for the channel,
// the frame's own window and the 500 ms wait before a close), a settings store in memory and
// port lists of the test's choosing. Message boxes are recorded and answered OK. Each test has
// its own scratch directory as working directory, XDG_CONFIG_HOME and XDG_RUNTIME_DIR.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <memory>
#include <string>
#include <vector>

#include "FakeTransport.h"
#include "app/CMainFrame.h"
#include "app/MessageBox.h"
#include "config/ModuleSettings.h"
#include "link/SerialPortDiscovery.h"
#include "protocol/CModuleChannel.h"
#include "receive/CEventLogCtrl.h"
#include "support/CMemorySettingsStore.h"
#include "support/CVirtualLoop.h"
#include "support/ScratchDir.h"
#include "uisupport/CPaneStatusBar.h"

class CFrameTestBed : public ::testing::Test, public MessageSink {
protected:
  CFrameTestBed() {
    ::setenv("XDG_CONFIG_HOME", m_scratch.MakeDir("config").c_str(), 1);
    const std::string runtimeDir = m_scratch.MakeDir("run");
    ::chmod(runtimeDir.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    m_strOldDirectory = std::string(::getcwd(m_szCwd, sizeof m_szCwd) ? m_szCwd : "/");
    EXPECT_EQ(::chdir(m_scratch.Path().c_str()), 0);
    auto pSerial = std::make_unique<CFakeTransport>();
    auto pUsb = std::make_unique<CFakeTransport>();
    m_pSerial = pSerial.get();
    m_pUsb = pUsb.get();
    m_pChannel = std::make_unique<CModuleChannel>(std::move(pSerial), std::move(pUsb));
    m_pChannelWindow = std::make_unique<CVirtualLoop::CWindow>(m_loop, *m_pChannel);
    m_ports.m_serialPorts = {{"ttyS1", "/dev/ttyS1", "ttyS1", 0}};
    m_pPreviousSink = SetMessageSink(this);
    UseSerialPort(0, BAUD_RATE_FAST);
  }
  ~CFrameTestBed() override {
    m_pFrame.reset();
    SetMessageSink(m_pPreviousSink);
    EXPECT_EQ(::chdir(m_strOldDirectory.c_str()), 0);
  }

  EMessageAnswer Show(const CMessageRequest& request) override {
    m_shown.push_back(request);
    return EMessageAnswer::OK;
  }

  void UseSerialPort(int nIndex, int nBaudRate) {
    m_store.SetInt(SETTINGS_SECTION, SETTING_USB_MODE, PORT_MODE_SERIAL);
    m_store.SetInt(SETTINGS_SECTION, SETTING_SERIAL_PORT_INDEX, nIndex);
    m_store.SetInt(SETTINGS_SECTION, SETTING_BAUD_RATE, nBaudRate);
  }

  void MakeFrame(bool bSecondaryInstance = false, int nSimulatedPort = -1) {
    m_ports.FixPortsAvailable();
    CFrameSetup setup;
    setup.m_pChannel = m_pChannel.get();
    setup.m_pChannelWindow = m_pChannelWindow.get();
    setup.m_pSleeper = &m_loop;
    setup.m_pPorts = &m_ports;
    setup.m_pStore = &m_store;
    setup.m_strLogDirectory = m_strLogDirectory;
    setup.m_bSecondaryInstance = bSecondaryInstance;
    setup.m_nSimulatedPort = nSimulatedPort;
    setup.m_fnMakeWindow = [this](MessageHandler& handler) {
      return std::make_unique<CVirtualLoop::CWindow>(m_loop, handler);
    };
    m_pFrame = std::make_unique<CMainFrame>(setup);
    m_pFrame->show();
    m_pFrame->InitAfterStartup();
  }

  // Bytes from the module on the serial port, handled with everything they cause.
  void Receive(std::string_view bytes) {
    m_pSerial->Deliver(bytes);
    m_loop.RunPending();
  }
  // The module's answers to the start-up exchange: CAN 2.0B, 250K, ID 0x123, mask 0x1FFFFFFF.
  void AnswerStartup() { Receive(Line(":Y1C0F34000001231FFFFFFF") + Line(":G00")); }

  QString PaneText(unsigned nId) const { return m_pFrame->StatusPanes()->Pane(nId)->text(); }
  bool Enabled(unsigned nId) const { return m_pFrame->Action(nId)->isEnabled(); }
  QString LastEvent() const {
    const CEventLogCtrl* pLog = m_pFrame->EventLog();
    return pLog->EntryCount() > 0 ? pLog->EntryText(pLog->EntryCount() - 1) : QString();
  }

  ScratchDir m_scratch;
  char m_szCwd[4096] = {};
  std::string m_strOldDirectory;
  std::string m_strLogDirectory = m_scratch.MakeDir("Log");
  CVirtualLoop m_loop;
  CFakeTransport* m_pSerial = nullptr;
  CFakeTransport* m_pUsb = nullptr;
  std::unique_ptr<CModuleChannel> m_pChannel;
  std::unique_ptr<CVirtualLoop::CWindow> m_pChannelWindow;
  CPortLists m_ports;
  CMemorySettingsStore m_store;
  std::vector<CMessageRequest> m_shown;
  MessageSink* m_pPreviousSink = nullptr;
  std::unique_ptr<CMainFrame> m_pFrame;
};
