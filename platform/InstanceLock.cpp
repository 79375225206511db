// Wraps Qt's local sockets for the lock's request channel.

#include "InstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "Folders.h"

namespace {

constexpr char kActivationRequest[] = "activate\n";

std::string RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && access(runtime, W_OK) == 0) {
        std::string dir = runtime;
        if (dir.back() != '/') dir += '/';
        return dir;
    }
    return UserConfigDir();
}

// A file-name-safe key of the name (FNV-1a, 64 bits).
std::string NameKey(const std::string& name) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : name) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

std::string BasePath(const std::string& name) { return RuntimeFolder() + "varnholt-" + NameKey(name); }

}  // namespace

struct TInstanceLock::TState {
    int fd = -1;
    std::unique_ptr<QLocalServer> server;

    ~TState() {
        server.reset();
        if (fd >= 0) {
            flock(fd, LOCK_UN);
            close(fd);
        }
    }
};

TInstanceLock::TInstanceLock(std::unique_ptr<TState> State) : FState(std::move(State)) {}

TInstanceLock::~TInstanceLock() = default;

std::unique_ptr<TInstanceLock> TInstanceLock::TryAcquire(const std::string& Name,
                                                         std::function<void()> OnActivationRequest, TAcquire& Result) {
    const std::string base = BasePath(Name);
    auto state = std::make_unique<TState>();
    state->fd = open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (state->fd < 0) {
        Result = TAcquire::NoLockFile;
        return nullptr;
    }
    if (flock(state->fd, LOCK_EX | LOCK_NB) != 0) {
        Result = TAcquire::HeldElsewhere;
        return nullptr;
    }
    auto server = std::make_unique<QLocalServer>();
    const QString path = QString::fromStdString(base + ".sock");
    // A socket left by an instance that ended without cleaning up.
    QLocalServer::removeServer(path);
    if (server->listen(path)) {
        QLocalServer* s = server.get();
        QObject::connect(s, &QLocalServer::newConnection, s, [s, OnActivationRequest] {
            while (QLocalSocket* peer = s->nextPendingConnection()) {
                QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
                auto readRequest = [peer, OnActivationRequest] {
                    if (!peer->canReadLine()) return;
                    if (peer->readLine().trimmed() == "activate" && OnActivationRequest) OnActivationRequest();
                };
                QObject::connect(peer, &QLocalSocket::readyRead, peer, readRequest);
                readRequest();
            }
        });
        state->server = std::move(server);
    }
    Result = TAcquire::Taken;
    return std::unique_ptr<TInstanceLock>(new TInstanceLock(std::move(state)));
}

void TInstanceLock::RequestActivation(const std::string& Name) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(BasePath(Name) + ".sock"));
    if (socket.waitForConnected(500)) {
        socket.write(kActivationRequest);
        socket.waitForBytesWritten(500);
        socket.disconnectFromServer();
    }
}
