#include "sim/CSimThread.h"

bool CSimThread::Start(std::string& error) {
  if (IsRunning()) {
    error = "the simulated module is already running";
    return false;
  }
  auto pServer = std::make_unique<CSimPtyServer>(m_module);
  if (!pServer->Open(error)) return false;
  m_pServer = std::move(pServer);
  m_slavePath = m_pServer->SlavePath();
  m_runError.clear();
  m_thread = std::thread([this] {
    std::string error;
    if (!m_pServer->Run(-1, CSimPtyServer::NO_TIME_LIMIT, error)) m_runError = error;
  });
  return true;
}

void CSimThread::Stop() {
  if (!IsRunning()) return;
  m_pServer->Stop();
  m_thread.join();
}
