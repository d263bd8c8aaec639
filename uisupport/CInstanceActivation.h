#pragma once
// The Qt side of the instance guard: this instance listens on its local socket for the request
// to come forward, and sends that request to another instance's socket for the guard. The main
// window connects ActivationRequested to raising and restoring itself.
#include <QLocalServer>
#include <QObject>

#include "uisupport/CInstanceGuard.h"

class CInstanceActivation : public QObject, public InstanceActivator {
  Q_OBJECT

public:
  // Becomes the guard's activator for as long as it lives.
  explicit CInstanceActivation(CInstanceGuard& guard, QObject* pParent = nullptr);
  ~CInstanceActivation() override;

  // Starts listening on the guard's endpoint for this process; false when that failed (the
  // instance then cannot be brought forward, and runs on regardless).
  bool Listen();

  // Sends the request to the instance of that process; waits at most about a second.
  void ActivateInstance(uint32_t dwProcessId) override;

signals:
  void ActivationRequested();

private:
  void OnNewConnection();

  CInstanceGuard& m_guard;
  QLocalServer m_server;
};
