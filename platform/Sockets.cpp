#include "Sockets.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "Controls.h"

namespace {

thread_local int tLastError = 0;

int Fail(int error) {
    tLastError = error;
    return -1;
}

int FailErrno() { return Fail(SocketErrorFromErrno(errno)); }

// What a selected socket has asked for and what it is owed.
struct Selection {
    HWND Target = 0;
    unsigned Msg = 0;
    unsigned Events = 0;
    QSocketNotifier* Reader = nullptr;
    QSocketNotifier* Writer = nullptr;
    bool Connecting = false;
    bool Connected = false;
    bool Listening = false;
    bool Datagram = false;
    bool CloseReported = false;
};

// Sockets made here; only these may be selected.
std::map<TSocket, std::unique_ptr<Selection>>& Sockets() {
    static std::map<TSocket, std::unique_ptr<Selection>> sockets;
    return sockets;
}

Selection* Find(TSocket s) {
    auto it = Sockets().find(s);
    return it == Sockets().end() ? nullptr : it->second.get();
}

void Post(Selection& sel, TSocket s, unsigned event, int error) {
    if (sel.Events & event) PostMessage(sel.Target, sel.Msg, WPARAM(s), MakeLParam(int(event), error));
}

void DropNotifier(QSocketNotifier*& n) {
    if (!n) return;
    n->setEnabled(false);
    n->deleteLater();  // may be inside its own signal
    n = nullptr;
}

void ArmReader(Selection* sel) {
    if (sel && sel->Reader && (sel->Connected || sel->Listening || sel->Datagram) && !sel->CloseReported)
        sel->Reader->setEnabled(true);
}

void ArmWriter(Selection* sel) {
    if (sel && sel->Writer && !sel->CloseReported) sel->Writer->setEnabled(true);
}

void OnReadable(TSocket s) {
    Selection* sel = Find(s);
    if (!sel || !sel->Reader) return;
    sel->Reader->setEnabled(false);
    if (sel->Listening) {
        Post(*sel, s, FD_ACCEPT, 0);
        return;
    }
    char probe;
    const ssize_t n = ::recv(int(s), &probe, 1, MSG_PEEK);
    if (n > 0 || (n == 0 && sel->Datagram)) {
        Post(*sel, s, FD_READ, 0);
    } else if (n == 0) {
        sel->CloseReported = true;
        Post(*sel, s, FD_CLOSE, 0);
    } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        sel->Reader->setEnabled(true);
    } else {
        sel->CloseReported = true;
        Post(*sel, s, FD_CLOSE, SocketErrorFromErrno(errno));
    }
}

void OnWritable(TSocket s) {
    Selection* sel = Find(s);
    if (!sel || !sel->Writer) return;
    sel->Writer->setEnabled(false);
    if (sel->Connecting) {
        sel->Connecting = false;
        int err = 0;
        socklen_t len = sizeof err;
        if (::getsockopt(int(s), SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        const int error = err ? SocketErrorFromErrno(err) : 0;
        Post(*sel, s, FD_CONNECT, error);
        if (error) {
            sel->CloseReported = true;
            return;
        }
        sel->Connected = true;
        Post(*sel, s, FD_WRITE, 0);
        ArmReader(sel);
        return;
    }
    Post(*sel, s, FD_WRITE, 0);
}

struct Lookup {
    HWND Target = 0;
    unsigned Msg = 0;
    bool Done = false;
    std::vector<uint32_t> Addrs;
    std::string Name;
};

std::mutex gLookupsLock;
std::map<intptr_t, Lookup>& Lookups() {
    static std::map<intptr_t, Lookup> lookups;
    return lookups;
}
intptr_t gNextLookup = 1;

int LookupErrorFromGai(int rc) {
    switch (rc) {
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
    case EAI_AGAIN: return WSATRY_AGAIN;
#ifdef EAI_NODATA
    case EAI_NODATA: return WSANO_DATA;
#endif
    default: return WSANO_RECOVERY;
    }
}

sockaddr_in MakeAddr(uint32_t addr, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = addr;
    a.sin_port = port;
    return a;
}

}  // namespace

int SocketErrorFromErrno(int e) {
    switch (e) {
    case 0: return 0;
    case EINTR: return WSAEINTR;
    case EBADF: return WSAEBADF;
    case EACCES:
    case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE:
    case ENFILE: return WSAEMFILE;
    case EAGAIN: return WSAEWOULDBLOCK;
    case EINPROGRESS: return WSAEWOULDBLOCK;  // a connect under way, as the platform reports it
    case EALREADY: return WSAEALREADY;
    case ENOTSOCK: return WSAENOTSOCK;
    case EDESTADDRREQ: return WSAEDESTADDRREQ;
    case EMSGSIZE: return WSAEMSGSIZE;
    case EPROTOTYPE: return WSAEPROTOTYPE;
    case ENOPROTOOPT: return WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return WSAEOPNOTSUPP;
    case EPFNOSUPPORT: return WSAEPFNOSUPPORT;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ENETRESET: return WSAENETRESET;
    case ECONNABORTED: return WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE: return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM: return WSAENOBUFS;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: return WSAESHUTDOWN;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case ENAMETOOLONG: return WSAENAMETOOLONG;
    case EHOSTDOWN: return WSAEHOSTDOWN;
    case EHOSTUNREACH: return WSAEHOSTUNREACH;
    default: return WSAEINVAL;
    }
}

int SocketLastError() { return tLastError; }
void SocketSetLastError(int Error) { tLastError = Error; }

TSocket SocketCreate(int Type, int Protocol) {
    const int type = Type == SOCK_DGRAM_TYPE ? SOCK_DGRAM : SOCK_STREAM;
    const int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, Protocol);
    if (fd < 0) {
        FailErrno();
        return INVALID_SOCKET;
    }
    Sockets()[fd] = std::make_unique<Selection>();
    Sockets()[fd]->Datagram = type == SOCK_DGRAM;
    return fd;
}

int SocketConnect(TSocket S, uint32_t Addr, uint16_t Port) {
    Selection* sel = Find(S);
    if (!sel) return Fail(WSAENOTSOCK);
    const sockaddr_in a = MakeAddr(Addr, Port);
    sel->Connecting = true;
    sel->CloseReported = false;
    if (::connect(int(S), reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) {
        ArmWriter(sel);  // reported from the loop, as every connect is
        return 0;
    }
    if (errno == EINPROGRESS) {
        ArmWriter(sel);
        return Fail(WSAEWOULDBLOCK);
    }
    sel->Connecting = false;
    return FailErrno();
}

int SocketBind(TSocket S, uint32_t Addr, uint16_t Port) {
    const sockaddr_in a = MakeAddr(Addr, Port);
    return ::bind(int(S), reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 ? 0 : FailErrno();
}

namespace {
// getsockname or getpeername into an address and a port.
int SocketName(int (*query)(int, sockaddr*, socklen_t*), TSocket S, uint32_t& Addr, uint16_t& Port) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    if (query(int(S), reinterpret_cast<sockaddr*>(&a), &len) != 0) return FailErrno();
    Addr = a.sin_addr.s_addr;
    Port = a.sin_port;
    return 0;
}
}  // namespace

int SocketLocalName(TSocket S, uint32_t& Addr, uint16_t& Port) { return SocketName(::getsockname, S, Addr, Port); }
int SocketPeerName(TSocket S, uint32_t& Addr, uint16_t& Port) { return SocketName(::getpeername, S, Addr, Port); }

int SocketShutdown(TSocket S, int How) {
    const int how = How == SD_RECEIVE ? SHUT_RD : How == SD_SEND ? SHUT_WR : SHUT_RDWR;
    return ::shutdown(int(S), how) == 0 ? 0 : FailErrno();
}

int SocketClose(TSocket S) {
    auto it = Sockets().find(S);
    if (it == Sockets().end()) return Fail(WSAENOTSOCK);
    DropNotifier(it->second->Reader);
    DropNotifier(it->second->Writer);
    Sockets().erase(it);
    return ::close(int(S)) == 0 ? 0 : FailErrno();
}

int SocketSetOption(TSocket S, TSocketOption Option, bool On) {
    int value = On ? 1 : 0;
    int level = SOL_SOCKET, name = SO_REUSEADDR;
    switch (Option) {
    case soReuseAddr: break;
    case soKeepAlive: name = SO_KEEPALIVE; break;
    case soTcpNoDelay:
        level = IPPROTO_TCP;
        name = TCP_NODELAY;
        break;
    case soBroadcast: name = SO_BROADCAST; break;
    }
    return ::setsockopt(int(S), level, name, &value, sizeof value) == 0 ? 0 : FailErrno();
}

int SocketSetLinger(TSocket S, bool On, int Seconds) {
    linger l{On ? 1 : 0, Seconds};
    return ::setsockopt(int(S), SOL_SOCKET, SO_LINGER, &l, sizeof l) == 0 ? 0 : FailErrno();
}

int SocketSend(TSocket S, const void* Data, int Length) {
    const ssize_t n = ::send(int(S), Data, size_t(Length), MSG_NOSIGNAL);
    if (n >= 0) return int(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK) ArmWriter(Find(S));
    return FailErrno();
}

int SocketRecv(TSocket S, void* Data, int Length) {
    const ssize_t n = ::recv(int(S), Data, size_t(Length), 0);
    ArmReader(Find(S));
    return n >= 0 ? int(n) : FailErrno();
}

int SocketSendTo(TSocket S, const void* Data, int Length, uint32_t Addr, uint16_t Port) {
    const sockaddr_in a = MakeAddr(Addr, Port);
    const ssize_t n =
        ::sendto(int(S), Data, size_t(Length), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    if (n >= 0) return int(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK) ArmWriter(Find(S));
    return FailErrno();
}

int SocketRecvFrom(TSocket S, void* Data, int Length, uint32_t& Addr, uint16_t& Port) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    const ssize_t n = ::recvfrom(int(S), Data, size_t(Length), 0, reinterpret_cast<sockaddr*>(&a), &len);
    ArmReader(Find(S));
    if (n < 0) return FailErrno();
    Addr = a.sin_addr.s_addr;
    Port = a.sin_port;
    return int(n);
}

int SocketListen(TSocket S, int Backlog) {
    Selection* sel = Find(S);
    if (!sel) return Fail(WSAENOTSOCK);
    if (::listen(int(S), Backlog) != 0) return FailErrno();
    sel->Listening = true;
    ArmReader(sel);
    return 0;
}

TSocket SocketAccept(TSocket S, uint32_t& Addr, uint16_t& Port) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    const int fd = ::accept4(int(S), reinterpret_cast<sockaddr*>(&a), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    ArmReader(Find(S));
    if (fd < 0) {
        FailErrno();
        return INVALID_SOCKET;
    }
    Addr = a.sin_addr.s_addr;
    Port = a.sin_port;
    Sockets()[fd] = std::make_unique<Selection>();
    Sockets()[fd]->Connected = true;
    return fd;
}

int SocketJoinGroup(TSocket S, uint32_t Group) {
    ip_mreq m{};
    m.imr_multiaddr.s_addr = Group;
    m.imr_interface.s_addr = htonl(INADDR_ANY);
    return ::setsockopt(int(S), IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m) == 0 ? 0 : FailErrno();
}

int SocketSetMulticastTtl(TSocket S, int Ttl) {
    const unsigned char ttl = static_cast<unsigned char>(Ttl);
    return ::setsockopt(int(S), IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) == 0 ? 0 : FailErrno();
}

int SocketBytesAvailable(TSocket S) {
    int n = 0;
    return ::ioctl(int(S), FIONREAD, &n) == 0 ? n : FailErrno();
}

int SocketAsyncSelect(TSocket S, HWND Target, unsigned Msg, unsigned Events) {
    Selection* sel = Find(S);
    if (!sel) return Fail(WSAENOTSOCK);
    sel->Target = Target;
    sel->Msg = Msg;
    sel->Events = Events;
    if (Events == 0) {
        DropNotifier(sel->Reader);
        DropNotifier(sel->Writer);
        return 0;
    }
    if (!sel->Reader) {
        sel->Reader = new QSocketNotifier(qintptr(S), QSocketNotifier::Read);
        QObject::connect(sel->Reader, &QSocketNotifier::activated, [S] { OnReadable(S); });
    }
    if (!sel->Writer) {
        sel->Writer = new QSocketNotifier(qintptr(S), QSocketNotifier::Write);
        QObject::connect(sel->Writer, &QSocketNotifier::activated, [S] { OnWritable(S); });
    }
    sel->Reader->setEnabled(false);
    sel->Writer->setEnabled(sel->Connecting);
    ArmReader(sel);
    return 0;
}

namespace {
// Runs Work on a worker thread and posts its error to Target; Work fills the lookup's answer.
intptr_t StartLookup(HWND Target, unsigned Msg, std::function<int(Lookup&)> Work) {
    intptr_t id;
    {
        std::lock_guard<std::mutex> lock(gLookupsLock);
        id = gNextLookup++;
        Lookups()[id] = Lookup{Target, Msg, false, {}, {}};
    }
    std::thread([id, Work = std::move(Work)] {
        Lookup answer;
        const int error = Work(answer);
        HWND target;
        unsigned msg;
        {
            std::lock_guard<std::mutex> lock(gLookupsLock);
            auto it = Lookups().find(id);
            if (it == Lookups().end()) return;  // cancelled
            it->second.Done = true;
            it->second.Addrs = std::move(answer.Addrs);
            it->second.Name = std::move(answer.Name);
            target = it->second.Target;
            msg = it->second.Msg;
        }
        if (!PostMessage(target, msg, WPARAM(id), MakeLParam(0, error))) SocketCancelLookup(id);
    }).detach();
    return id;
}
}  // namespace

intptr_t SocketLookupHost(const std::string& Host, HWND Target, unsigned Msg) {
    return StartLookup(Target, Msg, [Host](Lookup& answer) { return SocketLookupHostNow(Host, answer.Addrs); });
}

intptr_t SocketLookupAddr(uint32_t Addr, HWND Target, unsigned Msg) {
    return StartLookup(Target, Msg, [Addr](Lookup& answer) {
        const sockaddr_in a = MakeAddr(Addr, 0);
        char host[NI_MAXHOST] = {};
        const int rc =
            ::getnameinfo(reinterpret_cast<const sockaddr*>(&a), sizeof a, host, sizeof host, nullptr, 0, NI_NAMEREQD);
        if (rc != 0) return LookupErrorFromGai(rc);
        answer.Name = host;
        return 0;
    });
}

std::string SocketTakeLookupName(intptr_t Id) {
    std::lock_guard<std::mutex> lock(gLookupsLock);
    auto it = Lookups().find(Id);
    if (it == Lookups().end() || !it->second.Done) return {};
    std::string name = std::move(it->second.Name);
    Lookups().erase(it);
    return name;
}

std::vector<uint32_t> SocketTakeLookup(intptr_t Id) {
    std::lock_guard<std::mutex> lock(gLookupsLock);
    auto it = Lookups().find(Id);
    if (it == Lookups().end() || !it->second.Done) return {};
    std::vector<uint32_t> addrs = std::move(it->second.Addrs);
    Lookups().erase(it);
    return addrs;
}

void SocketCancelLookup(intptr_t Id) {
    std::lock_guard<std::mutex> lock(gLookupsLock);
    Lookups().erase(Id);
}

int SocketLookupHostNow(const std::string& Host, std::vector<uint32_t>& Addrs) {
    Addrs.clear();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    const int rc = ::getaddrinfo(Host.c_str(), nullptr, &hints, &result);
    if (rc != 0) return LookupErrorFromGai(rc);
    for (addrinfo* p = result; p; p = p->ai_next) {
        const uint32_t a = reinterpret_cast<sockaddr_in*>(p->ai_addr)->sin_addr.s_addr;
        bool seen = false;
        for (uint32_t b : Addrs) seen = seen || a == b;
        if (!seen) Addrs.push_back(a);
    }
    ::freeaddrinfo(result);
    return Addrs.empty() ? WSANO_DATA : 0;
}

uint16_t SocketServicePort(const std::string& Name, const std::string& Proto) {
    servent* s = ::getservbyname(Name.c_str(), Proto.c_str());
    return s ? uint16_t(s->s_port) : 0;
}

int SocketProtocolNumber(const std::string& Name) {
    protoent* p = ::getprotobyname(Name.c_str());
    return p ? p->p_proto : -1;
}

std::string SocketAddrText(uint32_t Addr) {
    in_addr a{};
    a.s_addr = Addr;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

uint16_t SocketHostToNet16(uint16_t Value) { return htons(Value); }
uint16_t SocketNetToHost16(uint16_t Value) { return ntohs(Value); }
