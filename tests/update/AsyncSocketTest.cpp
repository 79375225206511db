#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "AsyncSocket.h"
#include "GuiTestApp.h"
#include "LoopbackServer.h"

namespace {

// The SOCKS test user scripts/setup adds.
const char* const kSocksUser = "varnholtsocks";
const char* const kSocksPassword = "varnholt-socks-test";

// Ports free on loopback, distinct from each other.
std::vector<int> FreeLoopbackPorts(int Count) {
    std::vector<std::unique_ptr<QTcpServer>> probes;
    std::vector<int> ports;
    for (int i = 0; i < Count; ++i) {
        probes.push_back(std::make_unique<QTcpServer>());
        probes.back()->listen(QHostAddress(QHostAddress::LocalHost), 0);
        ports.push_back(probes.back()->serverPort());
    }
    return ports;
}

// A private danted on a loopback port, stopped with the object.
class Danted {
public:
    Danted(bool WithPassword, int ThePort) {
        Port = ThePort;
        const QString conf = FDir.filePath("danted.conf");
        QFile f(conf);
        f.open(QIODevice::WriteOnly);
        f.write(QString("logoutput: stderr\n"
                        "internal: 127.0.0.1 port = %1\n"
                        "external: 127.0.0.1\n"
                        "socksmethod: %2\n"
                        "clientmethod: none\n"
                        "%3"
                        "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
                        "socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 }\n")
                    .arg(Port)
                    .arg(WithPassword ? "username" : "none")
                    // As root it checks passwords as root and serves as nobody; otherwise as whoever runs it.
                    .arg(::geteuid() == 0 ? "user.privileged: root\nuser.unprivileged: nobody\n" : "")
                    .toUtf8());
        f.close();
        const QString exe = QStandardPaths::findExecutable("danted", {"/usr/sbin", "/usr/bin"});
        if (exe.isEmpty()) {
            Problem = "danted is not installed (scripts/setup installs dante-server)";
            return;
        }
        FProcess.setProcessChannelMode(QProcess::MergedChannels);
        FProcess.start(exe, {"-f", conf, "-N", "1", "-p", FDir.filePath("danted.pid")});
        if (!FProcess.waitForStarted(5000)) {
            Problem = "danted did not start: " + FProcess.errorString().toStdString();
            return;
        }
        // Ready once it accepts connections.
        const bool up = RunUntil(
            [this] {
                QTcpSocket s;
                s.connectToHost(QHostAddress(QHostAddress::LocalHost), quint16(Port));
                return s.waitForConnected(100) || FProcess.state() == QProcess::NotRunning;
            },
            8000);
        if (!up || FProcess.state() == QProcess::NotRunning)
            Problem =
                "danted did not listen on 127.0.0.1:" + std::to_string(Port) + ": " + FProcess.readAll().toStdString();
    }
    ~Danted() {
        FProcess.terminate();
        if (!FProcess.waitForFinished(3000)) FProcess.kill();
        FProcess.waitForFinished(3000);
    }
    int Port = 0;
    std::string Problem;

private:
    QTemporaryDir FDir;
    QProcess FProcess;
};

// Connects a socket to the server, sends a request and collects the answer.
struct Exchange {
    explicit Exchange(TAsyncSocket& s) : Socket(s) {
        s.OnSessionConnected = [this](TObject*, Word e) {
            Connected = true;
            ConnectError = e;
            if (!e) Socket.SendStr("GET /via HTTP/1.0\r\n\r\n");
        };
        s.OnDataAvailable = [this](TObject*, Word) { Answer += Socket.ReceiveStr(); };
        s.OnSessionClosed = [this](TObject*, Word) { Closed = true; };
        s.OnSocksError = [this](TObject*, int code, const std::string& text) {
            SocksError = code;
            SocksText = text;
        };
    }
    TAsyncSocket& Socket;
    bool Connected = false, Closed = false;
    Word ConnectError = 0;
    int SocksError = 0;
    std::string SocksText, Answer;
};

TEST(AsyncSocket, DottedAddressesAndPortsResolve) {
    struct Row {
        const char* text;
        bool dotted;
    } rows[] = {{"127.0.0.1", true}, {" 10.1.2.3 ", true}, {"1.2.3.256", false},
                {".1.2.3", false},   {"1.2.3", false},     {"1.2.3.4.", false},
                {"1..2.3", false},   {"a.b.c.d", false},   {"255.255.255.255", true}};
    for (const Row& r : rows) EXPECT_EQ(SocketIsDottedAddress(r.text), r.dotted) << r.text;
    EXPECT_EQ(SocketAddrText(SocketResolveHost(" 192.168.1.20 ")), "192.168.1.20");
    EXPECT_EQ(SocketResolvePort("80abc", "tcp"), 80);
    EXPECT_EQ(SocketResolvePort("http", "tcp"), 80);
    EXPECT_EQ(SocketResolveProto("tcp"), 6);
    EXPECT_THROW(SocketResolvePort("", "tcp"), ESocketException);
    EXPECT_THROW(SocketResolveHost(""), ESocketException);
    EXPECT_EQ(SocketErrorText(10061), "Connection refused");
    EXPECT_EQ(SocketErrorText(12345), "Not a WinSock error");
}

TEST(AsyncSocket, ConnectsSendsReceivesAndGuardsItsSettings) {
    EnsureGuiApp();
    LoopbackServer server;
    server.Scripts["/via"] = {{"HTTP/1.0 200 OK\r\n\r\nbody", 0, true}};
    TAsyncSocket s(nullptr);
    Exchange x(s);
    std::string lookedUp;
    s.OnDnsLookupDone = [&](TObject*, Word e) { lookedUp = e ? "error" : s.GetDnsResult(); };
    s.DnsLookup("localhost");  // answered from the worker thread through the loop
    ASSERT_TRUE(RunUntil([&] { return !lookedUp.empty(); }));
    EXPECT_EQ(lookedUp, "127.0.0.1");
    s.SetAddr(lookedUp);
    s.SetPort(std::to_string(server.Port()));
    s.Connect();
    EXPECT_EQ(s.GetState(), wsConnecting);
    EXPECT_THROW(s.SetPort("81"), ESocketException);
    EXPECT_EQ(s.GetPort(), std::to_string(server.Port()));
    ASSERT_TRUE(RunUntil([&] { return x.Closed; }));
    EXPECT_EQ(x.ConnectError, 0);
    EXPECT_EQ(x.Answer, "HTTP/1.0 200 OK\r\n\r\nbody");
    EXPECT_EQ(s.GetState(), wsClosed);
    EXPECT_EQ(s.GetAddr(), "");  // a close restores the defaults
    ASSERT_EQ(server.Requests.size(), 1u);
}

TEST(AsyncSocket, ListensAcceptsEchoesAndCarriesDatagrams) {
    EnsureGuiApp();
    TAsyncSocket listener(nullptr), served(nullptr), client(nullptr);
    listener.SetAddr("127.0.0.1");
    listener.SetPort("0");
    listener.Listen();
    ASSERT_EQ(listener.GetState(), wsListening);
    listener.OnSessionAvailable = [&](TObject*, Word) { served.Dup(listener.Accept()); };
    served.OnDataAvailable = [&](TObject*, Word) { served.SendStr(served.ReceiveStr()); };
    std::string echoed;
    client.OnSessionConnected = [&](TObject*, Word e) {
        if (!e) client.SendStr(std::string(5000, 'e'));
    };
    client.OnDataAvailable = [&](TObject*, Word) { echoed += client.ReceiveStr(); };
    client.SetAddr("127.0.0.1");
    client.SetPort(listener.GetPort());
    client.Connect();
    ASSERT_TRUE(RunUntil([&] { return echoed.size() >= 5000; }));
    EXPECT_EQ(echoed, std::string(5000, 'e'));
    EXPECT_EQ(served.GetPeerAddr(), "127.0.0.1");
    EXPECT_THROW(client.Accept(), ESocketException);

    std::string name;
    client.OnDnsLookupDone = [&](TObject*, Word e) { name = e ? "error" : client.GetDnsResult(); };
    client.ReverseDnsLookup("127.0.0.1");
    ASSERT_TRUE(RunUntil([&] { return !name.empty(); }));
    EXPECT_EQ(name, "localhost");

    TAsyncSocket receiver(nullptr), sender(nullptr);
    receiver.SetProto("udp");
    receiver.SetAddr("127.0.0.1");
    receiver.SetPort("0");
    receiver.Listen();
    ASSERT_EQ(receiver.GetState(), wsConnected);
    std::string datagram;
    receiver.OnDataAvailable = [&](TObject*, Word) {
        char buf[100];
        uint32_t from;
        uint16_t port;
        const int n = receiver.ReceiveFrom(buf, sizeof buf, from, port);
        if (n > 0) datagram.assign(buf, size_t(n));
    };
    sender.SetProto("udp");
    sender.SetAddr("127.0.0.1");
    sender.SetPort(receiver.GetPort());
    sender.Connect();
    ASSERT_EQ(sender.GetState(), wsConnected);
    sender.SendStr("one datagram");
    ASSERT_TRUE(RunUntil([&] { return !datagram.empty(); }));
    EXPECT_EQ(datagram, "one datagram");
}

TEST(AsyncSocket, LineModeOffersWholeLines) {
    EnsureGuiApp();
    LoopbackServer server;
    server.Scripts["/via"] = {{"ab\r\ncd", 0, false}, {"ef\r\nlast", 50, true}};
    TAsyncSocket s(nullptr);
    Exchange x(s);
    std::vector<std::string> lines;
    s.OnDataAvailable = [&](TObject*, Word) { lines.push_back(s.ReceiveStr()); };
    s.SetLineMode(true);
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(server.Port()));
    s.Connect();
    ASSERT_TRUE(RunUntil([&] { return x.Closed; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"ab\r\n", "cdef\r\n", "last"}));
}

TEST(AsyncSocket, LineEditingAndTheLineLimit) {
    EnsureGuiApp();
    LoopbackServer server;
    server.Scripts["/via"] = {{"ab\bc\td\r\n0123456789", 0, false}, {"xy\r\n", 100, true}};
    TAsyncSocket s(nullptr);
    Exchange x(s);
    std::vector<std::string> lines;
    std::vector<int> limits;
    s.OnDataAvailable = [&](TObject*, Word) { lines.push_back(s.ReceiveStr()); };
    s.OnLineLimitExceeded = [&](TObject*, int length, bool& clear) {
        limits.push_back(length);
        EXPECT_TRUE(clear);
    };
    s.SetLineMode(true);
    s.LineEdit = true;
    s.LineLimit = 8;
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(server.Port()));
    s.Connect();
    ASSERT_TRUE(RunUntil([&] { return x.Closed; }));
    // The ten digits passed the limit without a line end and were dropped.
    EXPECT_EQ(lines, (std::vector<std::string>{"ac      d\r\n", "xy\r\n"}));
    EXPECT_EQ(limits, (std::vector<int>{10}));
}

TEST(AsyncSocket, SocksLevelsAndWaits) {
    EnsureGuiApp();
    TAsyncSocket s(nullptr);
    s.SetSocksLevel("4a");
    EXPECT_EQ(s.GetSocksLevel(), "4A");
    EXPECT_THROW(s.SetSocksLevel("6"), ESocketException);
    bool flag = false;
    s.Timeout = 50;
    EXPECT_EQ(s.WaitUntilReady(flag), 12001);
    EXPECT_EQ(s.Synchronize([&] { QTimer::singleShot(10, [&] { flag = true; }); }, flag), 0);
}

TEST(AsyncSocket, ConnectsThroughSocksServers) {
    EnsureGuiApp();
    LoopbackServer server;
    server.Scripts["/via"] = {{"HTTP/1.0 200 OK\r\n\r\nproxied", 0, true}};
    struct Row {
        const char* level;
        bool password;
        const char* user;
        const char* pass;
        int socksError;
    } rows[] = {
        {"5", false, nullptr, nullptr, 0},          {"4", false, "someone", nullptr, 0},
        {"5", true, kSocksUser, kSocksPassword, 0}, {"5", true, kSocksUser, "wrong", 20015},
        {"5", true, kSocksUser, nullptr, 20003},  // the server wants a password the client does not offer
    };
    const std::vector<int> ports = FreeLoopbackPorts(2);
    Danted open(false, ports[0]), guarded(true, ports[1]);
    ASSERT_EQ(open.Problem, "");
    ASSERT_EQ(guarded.Problem, "");
    for (const Row& r : rows) {
        const std::string name = std::string("level ") + r.level + (r.password ? " with password" : "");
        if (r.password && ::geteuid() != 0) {
            ADD_FAILURE() << name
                          << ": run the tests as root; danted checks SOCKS passwords in the system's password file";
            continue;
        }
        server.Requests.clear();
        TAsyncSocket s(nullptr);
        Exchange x(s);
        std::vector<TSocksAuthState> auth;
        s.OnSocksAuthState = [&](TObject*, TSocksAuthState a) { auth.push_back(a); };
        s.SetSocksServer("127.0.0.1");
        s.SetSocksPort(std::to_string(r.password ? guarded.Port : open.Port));
        s.SetSocksLevel(r.level);
        if (r.user) s.SocksUsercode = r.user;
        if (r.pass) {
            s.SocksAuthentication = socksAuthenticateUsercode;
            s.SocksPassword = r.pass;
        }
        s.SetAddr("127.0.0.1");
        s.SetPort(std::to_string(server.Port()));
        s.Connect();
        ASSERT_TRUE(RunUntil([&] { return x.Closed; })) << name;
        EXPECT_EQ(x.SocksError, r.socksError) << name << ": " << x.SocksText;
        EXPECT_EQ(x.ConnectError, r.socksError) << name;
        if (r.socksError == 0) {
            EXPECT_EQ(x.Answer, "HTTP/1.0 200 OK\r\n\r\nproxied") << name;
            EXPECT_EQ(server.Requests.size(), 1u) << name;
        } else {
            EXPECT_EQ(server.Requests.size(), 0u) << name;
        }
        if (r.pass && r.password) {
            ASSERT_FALSE(auth.empty()) << name;
            EXPECT_EQ(auth.back(), r.socksError ? socksAuthFailure : socksAuthSuccess) << name;
        }
    }
}

}  // namespace
