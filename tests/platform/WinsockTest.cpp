#include "platform/controls/Winsock.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/Form.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "tests/peers/HttpPeer.h"
#include "tests/support/Sandbox.h"

using peers::UnusedPort;

namespace {

// A server on 127.0.0.1 that runs in the test's own event loop: it greets each client with
// `onConnect` and keeps what clients send.
struct LocalServer {
  QTcpServer server;
  std::vector<QTcpSocket*> clients;
  QByteArray received;
  std::function<void(QTcpSocket*)> onConnect;

  LocalServer() {
    server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* c = server.nextPendingConnection()) {
        clients.push_back(c);
        QObject::connect(c, &QIODevice::readyRead, [this, c] { received += c->readAll(); });
        if (onConnect) onConnect(c);
      }
    });
  }
  long Port() const { return server.serverPort(); }
};

// Lets events run until `done` or the deadline.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 10000) {
  QDeadlineTimer deadline(milliseconds);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    rt::DoEvents();
    QThread::msleep(2);
  }
  return true;
}

void PumpFor(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}



// Records the control's events in the order they run.
void Record(rt::Winsock& sock, std::vector<std::string>& events) {
  sock.Connected = [&events] { events.push_back("Connected"); };
  sock.DataArrival = [&events](long bytesTotal) { events.push_back("DataArrival " + std::to_string(bytesTotal)); };
  sock.CloseEvent = [&events] { events.push_back("Close"); };
  sock.Error = [&events](long number, std::string description) {
    events.push_back("Error " + std::to_string(number) + " " + description);
  };
}


}  // namespace

// A loaded form with the socket control on it, its events recorded in order.
class WinsockControl : public Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    form.Load();
    Record(sock, events);
  }
  TestForm form;
  rt::Winsock sock{form, "sckQuote"};
  std::vector<std::string> events;
};

TEST_F(WinsockControl, ConnectsAndDeliversDataThroughDataArrival) {
  LocalServer server;
  server.onConnect = [](QTcpSocket* c) { c->write("HELLO\r\n"); };

  sock.SetRemoteHost("127.0.0.1");
  sock.SetRemotePort(server.Port());
  sock.Connect();
  // connecting does not wait, and no event runs inside Connect
  EXPECT_TRUE(sock.State() == rt::sckResolvingHost || sock.State() == rt::sckConnecting) << sock.State();
  EXPECT_TRUE(events.empty());

  ASSERT_TRUE(PumpUntil([&] { return Has(events, "DataArrival 7"); }));
  EXPECT_EQ(events.front(), "Connected");
  EXPECT_EQ(sock.State(), rt::sckConnected);
  EXPECT_EQ(sock.BytesReceived(), 7);

  // what is not taken adds up
  server.clients.at(0)->write(std::string("\0\xff", 2).c_str(), 2);
  ASSERT_TRUE(PumpUntil([&] { return Has(events, "DataArrival 9"); }));
  EXPECT_EQ(sock.GetData(), std::string("HELLO\r\n\0\xff", 9));
  EXPECT_EQ(sock.BytesReceived(), 0);
  EXPECT_EQ(sock.GetData(), "");

  auto again = RaisedBy([&] { sock.Connect(); });
  ASSERT_TRUE(again);
  EXPECT_EQ(again->Number(), 40020);
  EXPECT_EQ(again->Description(), "Invalid operation at current state");
  EXPECT_EQ(sock.State(), rt::sckConnected);
}

TEST_F(WinsockControl, AServerThatSendsMoreThanIsTakenIsHeldBackNotKept) {
  LocalServer server;
  QByteArray sent;
  for (int i = 0; sent.size() < (4 << 20); ++i) sent += QByteArray::number(i) + ' ';
  server.onConnect = [&](QTcpSocket* c) { c->write(sent); };
  sock.SetRemoteHost("127.0.0.1");
  sock.SetRemotePort(server.Port());
  sock.Connect();
  // nothing is taken: the control holds a bounded part, the rest waits with the sender
  ASSERT_TRUE(PumpUntil([&] { return sock.BytesReceived() > 0; }));
  PumpFor(300);
  EXPECT_LE(sock.BytesReceived(), 65536);
  // taken as it comes, it all arrives, in order
  std::string got;
  sock.DataArrival = [&](long) { got += sock.GetData(); };
  got += sock.GetData();
  ASSERT_TRUE(PumpUntil([&] { return got.size() >= static_cast<size_t>(sent.size()); }, 30000)) << got.size();
  EXPECT_EQ(got, sent.toStdString());
}

TEST_F(WinsockControl, SendDataReachesTheServerAsBytes) {
  LocalServer server;

  sock.Connect("127.0.0.1", server.Port());
  EXPECT_EQ(sock.RemoteHost(), "127.0.0.1");
  EXPECT_EQ(sock.RemotePort(), server.Port());
  ASSERT_TRUE(PumpUntil([&] { return Has(events, "Connected"); }));

  const std::string request("QUOTE MSFT\r\n\0\x80\xff", 15);
  sock.SendData(request);
  sock.SendData("END\r\n");
  ASSERT_TRUE(PumpUntil([&] { return server.received.size() >= 20; }));
  EXPECT_EQ(server.received.toStdString(), request + "END\r\n");

  // a last message is not lost when the connection is closed right after it
  sock.SendData("QUIT\r\n");
  sock.Close();
  ASSERT_TRUE(PumpUntil([&] { return server.received.size() >= 26; }));
  EXPECT_EQ(server.received.toStdString(), request + "END\r\nQUIT\r\n");
}

TEST_F(WinsockControl, SendingNeedsAConnection) {
  LocalServer server;
  server.onConnect = [](QTcpSocket* c) { c->disconnectFromHost(); };

  auto expectRefused = [&](const char* when) {
    auto e = RaisedBy([&] { sock.SendData("QUOTE\r\n"); });
    ASSERT_TRUE(e) << when;
    EXPECT_EQ(e->Number(), 40006) << when;
    EXPECT_EQ(e->Description(), "Wrong protocol or connection state for the requested transaction or request");
  };
  expectRefused("closed");
  sock.Connect("127.0.0.1", server.Port());
  expectRefused("connecting");
  ASSERT_TRUE(PumpUntil([&] { return Has(events, "Close"); }));
  expectRefused("closed by the server");
  EXPECT_TRUE(server.received.isEmpty());
}

TEST_F(WinsockControl, ServerClosingAfterItsReplyIsANormalClose) {
  LocalServer server;
  server.onConnect = [](QTcpSocket* c) {
    c->write("27.50\r\n");
    c->disconnectFromHost();
  };

  sock.Connect("127.0.0.1", server.Port());
  ASSERT_TRUE(PumpUntil([&] { return Has(events, "Close"); }));
  PumpFor(100);  // nothing else is to follow
  EXPECT_EQ(events, (std::vector<std::string>{"Connected", "DataArrival 7", "Close"}));
  EXPECT_EQ(sock.State(), rt::sckClosing);
  EXPECT_EQ(sock.GetData(), "27.50\r\n");

  // a closed-by-peer control must be closed before it connects again
  auto again = RaisedBy([&] { sock.Connect(); });
  ASSERT_TRUE(again);
  EXPECT_EQ(again->Number(), 40020);
  sock.Close();
  EXPECT_EQ(sock.State(), rt::sckClosed);

  events.clear();
  sock.Connect();
  ASSERT_TRUE(PumpUntil([&] { return Has(events, "Close"); }));
  EXPECT_EQ(events, (std::vector<std::string>{"Connected", "DataArrival 7", "Close"}));
  EXPECT_EQ(sock.GetData(), "27.50\r\n");
}

TEST_F(WinsockControl, AHandlerMayCloseAndConnectAgain) {
  LocalServer server;
  sock.DataArrival = [&](long bytesTotal) {
    events.push_back("DataArrival " + std::to_string(bytesTotal));
    // what a program does for its next request: drop the old connection and open a new one
    sock.Close();
    sock.Connect();
  };

  sock.Connect("127.0.0.1", server.Port());
  ASSERT_TRUE(PumpUntil([&] { return server.clients.size() == 1 && Has(events, "Connected"); }));
  // the reply and the close reach the control together
  QTcpSocket* first = server.clients[0];
  first->write("27.50\r\n");
  first->flush();
  first->disconnectFromHost();
  QThread::msleep(100);
  ASSERT_TRUE(PumpUntil([&] { return server.clients.size() == 2 && sock.State() == rt::sckConnected; }));
  PumpFor(200);
  // the first connection's close belongs to it and is not reported on the second
  EXPECT_EQ(events, (std::vector<std::string>{"Connected", "DataArrival 7", "Connected"}));
  EXPECT_EQ(sock.State(), rt::sckConnected);
}

TEST_F(WinsockControl, ClosingFromOurSideRaisesNoEvents) {
  LocalServer server;
  server.onConnect = [](QTcpSocket* c) { c->write("HELLO\r\n"); };

  sock.Connect("127.0.0.1", server.Port());
  ASSERT_TRUE(PumpUntil([&] { return server.clients.size() == 1; }));
  // the greeting may already be on its way; closing drops its event
  sock.Close();
  EXPECT_EQ(sock.State(), rt::sckClosed);
  ASSERT_TRUE(PumpUntil([&] { return server.clients.at(0)->state() == QAbstractSocket::UnconnectedState; }));
  PumpFor(100);
  EXPECT_FALSE(Has(events, "Close"));
  for (const std::string& e : events) EXPECT_EQ(e.rfind("Error", 0), std::string::npos) << e;
}

TEST_F(WinsockControl, RefusedConnectionReportsError10061) {

  sock.Connect("127.0.0.1", UnusedPort());
  EXPECT_TRUE(events.empty());
  ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }));
  PumpFor(100);
  EXPECT_EQ(events, std::vector<std::string>{"Error 10061 Connection is refused"});
  EXPECT_EQ(sock.State(), rt::sckError);

  auto again = RaisedBy([&] { sock.Connect(); });
  ASSERT_TRUE(again);
  EXPECT_EQ(again->Number(), 40020);
  sock.Close();
  EXPECT_EQ(sock.State(), rt::sckClosed);
}

TEST_F(WinsockControl, UnknownHostReportsError11001) {

  sock.Connect("no-such-host.invalid", 80);
  ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }, 30000));
  EXPECT_EQ(events, std::vector<std::string>{"Error 11001 Authoritative answer: Host not found"});
  EXPECT_EQ(sock.State(), rt::sckError);
}

TEST_F(WinsockControl, ConnectsFromTheChosenLocalPort) {
  LocalServer server;

  const long local = UnusedPort();
  sock.SetLocalPort(local);
  sock.Connect("127.0.0.1", server.Port());
  ASSERT_TRUE(PumpUntil([&] { return Has(events, "Connected") && server.clients.size() == 1; }));
  EXPECT_EQ(server.clients[0]->peerPort(), local);
  EXPECT_EQ(sock.LocalPort(), local);
}

TEST_F(WinsockControl, NoEventsRunWhileTheFormIsUnloaded) {
  LocalServer server;

  sock.Connect("127.0.0.1", server.Port());
  ASSERT_TRUE(PumpUntil([&] { return Has(events, "Connected") && server.clients.size() == 1; }));
  form.Unload();
  server.clients[0]->write("late");
  server.clients[0]->flush();
  PumpFor(300);
  EXPECT_EQ(events, std::vector<std::string>{"Connected"});

  // nothing received meanwhile is lost
  form.Load();
  server.clients[0]->write("more");
  ASSERT_TRUE(PumpUntil([&] { return Has(events, "DataArrival 8"); }));
  EXPECT_EQ(sock.GetData(), "latemore");
}
