#include "uisupport/CInstanceActivation.h"

#include <QLocalSocket>
#include <unistd.h>

namespace {

// The whole request; a peer that sends anything else is ignored.
constexpr char ACTIVATE_REQUEST[] = "activate\n";
constexpr qint64 ACTIVATE_REQUEST_LENGTH = sizeof ACTIVATE_REQUEST - 1;
constexpr int ACTIVATE_TIMEOUT_MS = 500;

}  // namespace

CInstanceActivation::CInstanceActivation(CInstanceGuard& guard, QObject* pParent)
    : QObject(pParent), m_guard(guard) {
  m_guard.SetActivator(this);
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&m_server, &QLocalServer::newConnection, this, &CInstanceActivation::OnNewConnection);
}

CInstanceActivation::~CInstanceActivation() { m_guard.SetActivator(nullptr); }

bool CInstanceActivation::Listen() {
  if (!m_guard.IsUsable()) return false;
  const QString path = QString::fromStdString(m_guard.EndpointPath(static_cast<uint32_t>(::getpid())));
  // A socket file of this name can only be left over from an ended process that had our id.
  QLocalServer::removeServer(path);
  return m_server.listen(path);
}

void CInstanceActivation::OnNewConnection() {
  while (QLocalSocket* pSocket = m_server.nextPendingConnection()) {
    connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
    connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] {
      if (pSocket->bytesAvailable() < ACTIVATE_REQUEST_LENGTH) return;
      if (pSocket->read(ACTIVATE_REQUEST_LENGTH) == QByteArrayView(ACTIVATE_REQUEST, ACTIVATE_REQUEST_LENGTH))
        emit ActivationRequested();
      pSocket->disconnectFromServer();
    });
  }
}

void CInstanceActivation::ActivateInstance(uint32_t dwProcessId) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(m_guard.EndpointPath(dwProcessId)));
  if (!socket.waitForConnected(ACTIVATE_TIMEOUT_MS)) return;
  socket.write(ACTIVATE_REQUEST, ACTIVATE_REQUEST_LENGTH);
  if (socket.waitForBytesWritten(ACTIVATE_TIMEOUT_MS)) socket.waitForDisconnected(ACTIVATE_TIMEOUT_MS);
}
