#pragma once
// The TCP socket control: a client connection to one host and port. Connecting does not wait; the
// control's events (Connected, DataArrival, CloseEvent, Error) run from the event loop, when the program
// lets events run, and never while the owning form is not loaded. Any access loads the form when it is
// not loaded.

#include <functional>
#include <string>

class QTcpSocket;

namespace rt {

class Form;

enum WinsockState : int {
  sckClosed = 0,
  sckOpen = 1,
  sckListening = 2,
  sckConnectionPending = 3,
  sckResolvingHost = 4,
  sckHostResolved = 5,
  sckConnecting = 6,
  sckConnected = 7,
  sckClosing = 8,  // the other end closed the connection
  sckError = 9,
};

enum WinsockProtocol : int { sckTCPProtocol = 0, sckUDPProtocol = 1 };

// Error numbers the control raises or reports through its Error event.
enum WinsockErrorNumber : long {
  sckErrInvalidOp = 40020,       // Connect while not closed
  sckErrBadState = 40006,        // SendData while not connected
  sckErrAddressInUse = 10048,    // LocalPort is taken
  sckErrConnectAborted = 10053,
  sckErrTimedOut = 10060,
  sckErrConnectionRefused = 10061,
  sckErrHostNotFound = 11001,
};

class Winsock {
 public:
  Winsock(Form& owner, std::string name);
  ~Winsock();
  Winsock(const Winsock&) = delete;
  Winsock& operator=(const Winsock&) = delete;

  const std::string& Name() const { return name_; }

  std::string RemoteHost();
  void SetRemoteHost(std::string host);
  long RemotePort();
  void SetRemotePort(long port);
  // The port to connect from; 0 lets the system choose.
  long LocalPort();
  void SetLocalPort(long port);
  // Kept as set; connections are TCP (Connect refuses sckUDPProtocol).
  int Protocol();
  void SetProtocol(int protocol);
  // One of WinsockState. After the other end closes it stays sckClosing, after a failure sckError,
  // until Close().
  int State();

  // Starts connecting and returns at once; a host or port given replaces RemoteHost / RemotePort.
  // Only a closed control connects.
  void Connect(const std::string& host = {}, long port = 0);
  // Sends the bytes as they are; only while connected.
  void SendData(const std::string& data);
  // Everything received and not yet taken; it is taken.
  std::string GetData();
  // What GetData would return, in bytes.
  long BytesReceived();
  void Close();

  // bytesTotal: all received bytes not yet taken with GetData.
  std::function<void(long bytesTotal)> DataArrival;
  std::function<void()> Connected;
  // The other end closed the connection.
  std::function<void()> CloseEvent;
  std::function<void(long number, std::string description)> Error;

 private:
  void Wire();
  void TakeAvailable();
  void PeerClosed();
  void Failed(int socketError);
  // Runs `event` from the event loop, unless the connection it belongs to has been closed by then.
  void Post(std::function<void()> event);
  bool CanFire() const;

  Form& form_;
  std::string name_;
  QTcpSocket* socket_;
  std::string remoteHost_;
  long remotePort_ = 0;
  long localPort_ = 0;
  int protocol_ = sckTCPProtocol;
  int state_ = sckClosed;
  // The most that is held for the program between two GetData.
  static constexpr size_t kHeldBytes = 65536;
  std::string received_;
  bool arrivalPosted_ = false;
  bool closing_ = false;
  unsigned long connection_ = 0;
};

}  // namespace rt
