// The lock is a file held with flock in the user's runtime folder; the
// running instance listens on a local socket beside it, through which a later
// start asks it to come to the front. This unit wraps Qt's local sockets.

#include "InstanceGuard.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QWidget>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "Controls.h"
#include "Folders.h"
#include "Forms.h"
#include "TypInfo.h"

namespace {

std::atomic<bool> gGuardsEnabled{true};

constexpr char kSwitchRequest[] = "activate\n";

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

std::string LockBase(const std::string& name) { return RuntimeFolder() + "varnholt-" + NameKey(name); }

} // namespace

void ActivateMainForm() {
    if (!Application) return;
    TForm* form = Application->MainForm();
    if (!form) return;
    if (form->GetWindowState() == wsMinimized) form->SetWindowState(wsNormal);
    if (!form->GetVisible()) return;
    form->BringToFront();
    if (QWidget* w = form->WidgetIfAllocated()) {
        w->raise();
        w->activateWindow();
    }
}

struct TInstanceLock::TImpl {
    int fd = -1;
    std::unique_ptr<QLocalServer> server;

    ~TImpl() {
        server.reset();
        if (fd >= 0) {
            flock(fd, LOCK_UN);
            close(fd);
        }
    }
};

TInstanceLock::TInstanceLock(const std::string& Name) : FImpl(std::make_unique<TImpl>()) {
    const std::string base = LockBase(Name);
    FImpl->fd = open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FImpl->fd < 0) return;
    if (flock(FImpl->fd, LOCK_EX | LOCK_NB) != 0) {
        FOwned = false;
        FImpl.reset();
        return;
    }
    auto server = std::make_unique<QLocalServer>();
    const QString path = QString::fromStdString(base + ".sock");
    // A socket left by an instance that ended without cleaning up.
    QLocalServer::removeServer(path);
    if (!server->listen(path)) return;
    QLocalServer* s = server.get();
    QObject::connect(s, &QLocalServer::newConnection, s, [this, s] {
        while (QLocalSocket* peer = s->nextPendingConnection()) {
            QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            auto readRequest = [this, peer] {
                if (!peer->canReadLine()) return;
                if (peer->readLine().trimmed() == "activate") GuardedCall(nullptr, [this] {
                        if (OnActivateRequest) OnActivateRequest();
                    });
            };
            QObject::connect(peer, &QLocalSocket::readyRead, peer, readRequest);
            readRequest();
        }
    });
    FImpl->server = std::move(server);
}

TInstanceLock::~TInstanceLock() = default;

bool TInstanceLock::RequestActivation(const std::string& Name) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(LockBase(Name) + ".sock"));
    if (!socket.waitForConnected(500)) return false;
    socket.write(kSwitchRequest);
    const bool sent = socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return sent;
}

TInstanceGuard::TInstanceGuard(TComponent* AOwner) : TComponent(AOwner) {}

TInstanceGuard::~TInstanceGuard() = default;

void TInstanceGuard::SetGuardsEnabled(bool Value) { gGuardsEnabled = Value; }
bool TInstanceGuard::GuardsEnabled() { return gGuardsEnabled; }

std::string TInstanceGuard::LockName() const {
    std::string name = InstanceName;
    if (name.empty() && Application) name = Application->GetTitle();
    if (name.size() > 256) {
        size_t cut = 256;
        // Never split a UTF-8 sequence.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    return name;
}

void TInstanceGuard::Loaded() {
    TComponent::Loaded();
    Check();
}

void TInstanceGuard::Check() {
    FChecked = true;
    FLock.reset();
    FFirst = true;
    if (!gGuardsEnabled) return;
    // Without a name there is nothing to recognise another instance by (as an unnamed mutex).
    const std::string name = LockName();
    if (name.empty()) return;

    auto lock = std::make_unique<TInstanceLock>(name);
    if (lock->Owned()) {
        lock->OnActivateRequest = [this] { SwitchRequested(); };
        FLock = std::move(lock);
        return;
    }

    // Another instance holds the lock.
    FFirst = false;
    lock.reset();
    if (AlreadyExist) AlreadyExist(this);
    if (SwitchToPrevious) TInstanceLock::RequestActivation(name);
    if (Application) {
        Application->ShowMainForm = false;
        Application->Terminate();
    }
}

void TInstanceGuard::SwitchRequested() {
    if (OnSwitchRequest) OnSwitchRequest(this);
    ActivateMainForm();
}

void RegisterInstanceGuardClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterControlsClasses();
        Published<TInstanceGuard>("TInstanceGuard", "TComponent")
            .Bool("SwitchToPrevious", &TInstanceGuard::SwitchToPrevious, &TInstanceGuard::SwitchToPrevious)
            .Event("AlreadyExist", &TInstanceGuard::AlreadyExist);
    });
}
