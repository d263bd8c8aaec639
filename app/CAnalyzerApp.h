#pragma once
// The process: the instance guard, port discovery (with the ports and the simulated module of
// the command line), the settings, the main frame and its window state, in that order; and at
// the end the frame, the channel and the simulated module go in reverse. A transmit list named on
// the command line is opened once the frame has started.
#include <memory>

#include "app/AnalyzerOptions.h"
#include "app/CQtMessageSink.h"
#include "config/CQtSettingsStore.h"
#include "link/SerialPortDiscovery.h"
#include "protocol/CModuleChannel.h"
#include "protocol/CQtMessageHost.h"
#include "uisupport/CInstanceActivation.h"
#include "uisupport/CInstanceGuard.h"

class CMainFrame;
class CSimThread;

class CAnalyzerApp {
public:
  CAnalyzerApp();
  ~CAnalyzerApp();
  CAnalyzerApp(const CAnalyzerApp&) = delete;
  CAnalyzerApp& operator=(const CAnalyzerApp&) = delete;

  // False: the program ends with nExitCode (a simulated module that could not start).
  bool InitInstance(const CAnalyzerOptions& options, int& nExitCode);

  CMainFrame* MainFrame() const { return m_pFrame.get(); }
  bool IsSecondaryInstance() const { return m_bSecondaryInstance; }

private:
  void BringForward();

  CInstanceGuard m_guard{"Korvex"};
  CInstanceActivation m_activation{m_guard};
  bool m_bSecondaryInstance = false;
  std::unique_ptr<CSimThread> m_pSim;  // declared before the channel: it outlives the port
  CPortLists m_ports;
  CModuleChannel m_channel;
  CQtMessageHost m_channelWindow{m_channel};
  CQtSettingsStore m_store;
  CQtMessageSink m_messageSink;
  MessageSink* m_pPreviousSink = nullptr;
  std::unique_ptr<CMainFrame> m_pFrame;
};
