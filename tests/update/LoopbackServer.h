#pragma once
// An HTTP server on 127.0.0.1 inside the test process that answers each request
// with a script of steps: bytes to send, pauses, a close, or silence. Scripts
// are chosen by request path, so a server can misbehave on purpose. It lives
// as long as the test's object and is stopped with it.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestApp.h"

struct ServerStep {
    std::string Bytes;   // sent as they are
    int PauseMs = 0;     // waited before the bytes
    bool Close = false;  // closes after the bytes
};
using ServerScript = std::vector<ServerStep>;

// A whole answer sent at once, then the connection closed.
inline ServerScript Answer(const std::string& Status, const std::string& Headers, const std::string& Body,
                           bool WithLength = true) {
    std::string head = "HTTP/1.0 " + Status + "\r\n" + Headers;
    if (WithLength) head += "Content-Length: " + std::to_string(Body.size()) + "\r\n";
    return {{head + "\r\n" + Body, 0, true}};
}

class LoopbackServer {
public:
    LoopbackServer() {
        EnsureGuiApp();  // the server needs the event loop too
        FServer.listen(QHostAddress(QHostAddress::LocalHost), 0);
        QObject::connect(&FServer, &QTcpServer::newConnection, [this] { Accept(); });
    }
    ~LoopbackServer() {
        FServer.close();
        for (auto& s : FSockets)
            if (s) s->abort();
    }

    int Port() const { return FServer.serverPort(); }
    std::string Url(const std::string& Path) const { return "http://127.0.0.1:" + std::to_string(Port()) + Path; }
    // The script for a path (query included, as requested); "*" answers every other path.
    std::map<std::string, ServerScript> Scripts;
    // Every request header received, in order.
    std::vector<std::string> Requests;
    // Everything each connection sent, in the order of the connections.
    std::vector<std::string> Received;
    int Connections = 0;

private:
    void Accept() {
        while (QTcpSocket* s = FServer.nextPendingConnection()) {
            const size_t index = size_t(Connections++);
            Received.emplace_back();
            FSockets.emplace_back(s);
            auto buffer = std::make_shared<std::string>();
            QObject::connect(s, &QTcpSocket::readyRead, [this, s, buffer, index] {
                const std::string data = s->readAll().toStdString();
                Received[index] += data;
                *buffer += data;
                const size_t end = buffer->find("\r\n\r\n");
                if (end == std::string::npos || buffer->empty()) return;
                const std::string header = buffer->substr(0, end + 4);
                buffer->clear();
                Requests.push_back(header);
                const size_t sp1 = header.find(' '), sp2 = header.find(' ', sp1 + 1);
                std::string path = header.substr(sp1 + 1, sp2 - sp1 - 1);
                if (path.rfind("http://", 0) == 0) path = path.substr(path.find('/', 7));  // through a proxy
                auto it = Scripts.find(path);
                if (it == Scripts.end()) it = Scripts.find("*");
                if (it == Scripts.end()) return;  // silence
                Run(QPointer<QTcpSocket>(s), it->second, 0);
            });
        }
    }
    void Run(QPointer<QTcpSocket> s, ServerScript script, size_t step) {
        if (!s || step >= script.size()) return;
        const ServerStep st = script[step];
        QTimer::singleShot(st.PauseMs, [this, s, script, step, st] {
            if (!s) return;
            if (!st.Bytes.empty()) s->write(st.Bytes.data(), qint64(st.Bytes.size()));
            if (st.Close) {
                s->flush();
                s->disconnectFromHost();
                return;
            }
            Run(s, script, step + 1);
        });
    }
    QTcpServer FServer;
    std::vector<QPointer<QTcpSocket>> FSockets;
};

// Handles events until Done or the time passes; false on time-out.
inline bool RunUntil(const std::function<bool()>& Done, int TimeoutMs = 10000) {
    QElapsedTimer t;
    t.start();
    while (!Done()) {
        if (t.elapsed() > TimeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}
