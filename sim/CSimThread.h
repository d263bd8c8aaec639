#pragma once
// A simulated module served on a pseudo-terminal by a background thread, so the analyzer can
// run with a module inside its own process: it opens SlavePath() like any serial port.
//   CSimThread sim;
//   sim.Module().SetTraffic(CSimModule::TRAFFIC_BUS);  // only while not running
//   if (!sim.Start(error)) ...
// Stop() (and the destructor) ends the thread and joins it.
#include <memory>
#include <string>
#include <thread>

#include "sim/CSimModule.h"
#include "sim/CSimPtyServer.h"

class CSimThread {
public:
  CSimThread() = default;
  ~CSimThread() { Stop(); }
  CSimThread(const CSimThread&) = delete;
  CSimThread& operator=(const CSimThread&) = delete;

  // The module; set it up before Start or read it after Stop, never while it runs (the
  // serving thread owns it then).
  CSimModule& Module() { return m_module; }

  // Opens a new pseudo-terminal and starts serving on it. False with the reason in error
  // when the terminal cannot be opened or the module already runs.
  bool Start(std::string& error);
  bool IsRunning() const { return m_thread.joinable(); }
  // Empty until Start succeeded; stays valid after Stop.
  const std::string& SlavePath() const { return m_slavePath; }
  // Ends the serving thread and waits for it; nothing when not running. The terminal stays
  // open (a client sees silence, not a hang-up) until the next Start or destruction.
  void Stop();
  // Why serving ended early (the terminal failed); empty otherwise. Read after Stop.
  const std::string& RunError() const { return m_runError; }

private:
  CSimModule m_module;
  std::unique_ptr<CSimPtyServer> m_pServer;  // a new one per run: a stopped server stays stopped
  std::thread m_thread;
  std::string m_slavePath;
  std::string m_runError;
};
