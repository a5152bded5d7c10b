#include "platform/controls/Winsock.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QTcpSocket>
#include <utility>

#include "platform/controls/Form.h"
#include "platform/runtime/Error.h"

namespace rt {
namespace {

constexpr long kInvalidPropertyValue = 380;

void CheckPort(long port) {
  if (port < 0 || port > 65535) Raise(kInvalidPropertyValue, "Invalid property value");
}

}  // namespace

Winsock::Winsock(Form& owner, std::string name)
    : form_(owner), name_(std::move(name)), socket_(new QTcpSocket()) {
  socket_->setObjectName(QString::fromStdString(name_));
  socket_->setReadBufferSize(static_cast<qint64>(kHeldBytes));
  Wire();
}

Winsock::~Winsock() {
  // Deleting the socket drops the events still queued for it; closing it must not raise new ones.
  closing_ = true;
  ++connection_;
  delete socket_;
}

// Qt's signals only record what happened; the program's handlers run later from the event loop (see
// Post), so none of them runs inside Connect or Close.
void Winsock::Wire() {
  QObject::connect(socket_, &QAbstractSocket::stateChanged, socket_, [this](QAbstractSocket::SocketState s) {
    if (closing_ || (state_ != sckResolvingHost && state_ != sckConnecting)) return;
    if (s == QAbstractSocket::HostLookupState) state_ = sckResolvingHost;
    if (s == QAbstractSocket::ConnectingState) state_ = sckConnecting;
  });
  QObject::connect(socket_, &QAbstractSocket::connected, socket_, [this] {
    if (closing_) return;
    state_ = sckConnected;
    Post([this] {
      if (Connected && CanFire()) Connected();
    });
  });
  QObject::connect(socket_, &QIODevice::readyRead, socket_, [this] {
    if (!closing_) TakeAvailable();
  });
  QObject::connect(socket_, &QAbstractSocket::errorOccurred, socket_, [this](QAbstractSocket::SocketError e) {
    if (closing_) return;
    // A server that closes after its last reply is reported as an error first; it is a normal close.
    if (e == QAbstractSocket::RemoteHostClosedError)
      PeerClosed();
    else
      Failed(e);
  });
  QObject::connect(socket_, &QAbstractSocket::disconnected, socket_, [this] {
    if (!closing_) PeerClosed();
  });
}

void Winsock::TakeAvailable() {
  // What the program has not taken yet is held up to kHeldBytes; the rest waits in the system (the
  // toolkit's buffer is bounded as well), and the sender with it, until GetData makes room.
  if (received_.size() >= kHeldBytes) return;
  const QByteArray bytes = socket_->read(static_cast<qint64>(kHeldBytes - received_.size()));
  if (bytes.isEmpty()) return;
  received_.append(bytes.constData(), static_cast<size_t>(bytes.size()));
  // One DataArrival covers everything that came before it runs.
  if (arrivalPosted_) return;
  arrivalPosted_ = true;
  Post([this] {
    arrivalPosted_ = false;
    if (!received_.empty() && DataArrival && CanFire()) DataArrival(static_cast<long>(received_.size()));
  });
}

void Winsock::PeerClosed() {
  if (state_ == sckClosing || state_ == sckError || state_ == sckClosed) return;
  // Whatever came with the close is delivered before it.
  TakeAvailable();
  state_ = sckClosing;
  Post([this] {
    if (CloseEvent && CanFire()) CloseEvent();
  });
}

void Winsock::Failed(int socketError) {
  if (state_ == sckClosing || state_ == sckError || state_ == sckClosed) return;
  long number;
  std::string description;
  switch (socketError) {
    case QAbstractSocket::ConnectionRefusedError:
      number = sckErrConnectionRefused;
      description = "Connection is refused";
      break;
    case QAbstractSocket::HostNotFoundError:
      number = sckErrHostNotFound;
      description = "Authoritative answer: Host not found";
      break;
    case QAbstractSocket::SocketTimeoutError:
      number = sckErrTimedOut;
      description = "Connection timed out";
      break;
    default:
      number = sckErrConnectAborted;
      description = "Connection is aborted due to timeout or other failure";
      break;
  }
  state_ = sckError;
  Post([this, number, description] {
    if (Error && CanFire()) Error(number, description);
  });
}

void Winsock::Post(std::function<void()> event) {
  QMetaObject::invokeMethod(
      socket_,
      [this, connection = connection_, event = std::move(event)] {
        if (connection == connection_) event();
      },
      Qt::QueuedConnection);
}

bool Winsock::CanFire() const { return form_.IsLoaded() && !form_.Designing(); }

std::string Winsock::RemoteHost() {
  form_.EnsureLoaded();
  return remoteHost_;
}
void Winsock::SetRemoteHost(std::string host) {
  form_.EnsureLoaded();
  remoteHost_ = std::move(host);
}
long Winsock::RemotePort() {
  form_.EnsureLoaded();
  return remotePort_;
}
void Winsock::SetRemotePort(long port) {
  form_.EnsureLoaded();
  CheckPort(port);
  remotePort_ = port;
}
long Winsock::LocalPort() {
  form_.EnsureLoaded();
  return localPort_;
}
void Winsock::SetLocalPort(long port) {
  form_.EnsureLoaded();
  CheckPort(port);
  localPort_ = port;
}
int Winsock::Protocol() {
  form_.EnsureLoaded();
  return protocol_;
}
void Winsock::SetProtocol(int protocol) {
  form_.EnsureLoaded();
  if (protocol != sckTCPProtocol && protocol != sckUDPProtocol) Raise(kInvalidPropertyValue, "Invalid property value");
  protocol_ = protocol;
}
int Winsock::State() {
  form_.EnsureLoaded();
  return state_;
}

void Winsock::Connect(const std::string& host, long port) {
  form_.EnsureLoaded();
  if (state_ != sckClosed) Raise(sckErrInvalidOp, "Invalid operation at current state");
  if (protocol_ != sckTCPProtocol)
    Raise(sckErrBadState, "Wrong protocol or connection state for the requested transaction or request");
  if (port != 0) CheckPort(port);
  if (!host.empty()) remoteHost_ = host;
  if (port != 0) remotePort_ = port;

  ++connection_;
  received_.clear();
  arrivalPosted_ = false;
  closing_ = true;
  socket_->abort();
  closing_ = false;
  if (localPort_ != 0 && !socket_->bind(QHostAddress::Any, static_cast<quint16>(localPort_)))
    Raise(sckErrAddressInUse, "Address in use");
  state_ = sckResolvingHost;
  socket_->connectToHost(QString::fromStdString(remoteHost_), static_cast<quint16>(remotePort_));
}

void Winsock::SendData(const std::string& data) {
  form_.EnsureLoaded();
  if (state_ != sckConnected)
    Raise(sckErrBadState, "Wrong protocol or connection state for the requested transaction or request");
  socket_->write(data.data(), static_cast<qint64>(data.size()));
  // Hand the bytes to the system now, so that a Close right after does not lose them.
  socket_->flush();
}

std::string Winsock::GetData() {
  form_.EnsureLoaded();
  std::string data = std::exchange(received_, std::string());
  // what waited for room comes next, with an arrival of its own
  if (socket_->bytesAvailable() > 0)
    Post([this] {
      if (!closing_) TakeAvailable();
    });
  return data;
}

long Winsock::BytesReceived() {
  form_.EnsureLoaded();
  return static_cast<long>(received_.size());
}

void Winsock::Close() {
  form_.EnsureLoaded();
  ++connection_;
  arrivalPosted_ = false;
  closing_ = true;
  if (socket_->state() == QAbstractSocket::ConnectedState) socket_->flush();
  socket_->abort();
  closing_ = false;
  state_ = sckClosed;
}

}  // namespace rt
