// The asynchronous socket: connect, send queue, receive, close and name lookup.

#include "AsyncSocket.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "Controls.h"
#include "Forms.h"
#include "SysUtils.h"

namespace {

constexpr unsigned kSelectAll = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;  // 59

// Digits from the first one up to the first other character.
int LeadingDigits(const std::string& s) {
    size_t i = s.find_first_not_of(' ');
    long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9' && value < 100000; ++i) value = value * 10 + (s[i] - '0');
    return int(value);
}

}  // namespace

// ---- Unit routines -----------------------------------------------------------------------

bool SocketIsDottedAddress(const std::string& Text) {
    const std::string s = Trim(Text);
    if (s.empty() || s[0] == '.') return false;
    int parts = 0, dots = 0;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] < '0' || s[i] > '9') return false;
        int value = 0, digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            value = value * 10 + (s[i++] - '0');
            if (++digits > 3 || value > 255) return false;
        }
        ++parts;
        if (i == s.size()) break;
        if (s[i] != '.') return false;
        ++dots;
        ++i;
        if (i == s.size()) return false;  // a "." must be followed by a digit
    }
    return parts == 4 && dots == 3;
}

uint32_t SocketResolveHost(const std::string& Text) {
    const std::string s = Trim(Text);
    if (s.empty() || s.size() > 256) throw ESocketException("SocketResolveHost: '" + Text + "' Invalid Hostname.");
    if (SocketIsDottedAddress(s)) {
        unsigned char bytes[4];
        size_t i = 0;
        for (unsigned char& b : bytes) {
            b = static_cast<unsigned char>(LeadingDigits(s.substr(i)));
            i = s.find('.', i);
            if (i != std::string::npos) ++i;
        }
        const bool allOnes = bytes[0] == 255 && bytes[1] == 255 && bytes[2] == 255 && bytes[3] == 255;
        if (allOnes && s != "255.255.255.255")
            throw ESocketException("SocketResolveHost: '" + Text + "' Invalid IP address.");
        uint32_t net;
        std::memcpy(&net, bytes, sizeof net);
        return net;
    }
    std::vector<uint32_t> addrs;
    const int error = SocketLookupHostNow(s, addrs);
    if (error)
        throw ESocketException(Format("SocketResolveHost: Cannot convert host address '%s', Error #%d", {s, error}));
    return addrs.front();
}

uint16_t SocketResolvePort(const std::string& Port, const std::string& Proto) {
    if (Port.empty() || Port.size() > 31) throw ESocketException("SocketResolvePort: Invalid Port.");
    if (Proto.empty() || Proto.size() > 31) throw ESocketException("SocketResolvePort: Invalid Proto.");
    const std::string trimmed = TrimLeft(Port);
    if (!trimmed.empty() && trimmed[0] >= '0' && trimmed[0] <= '9') return uint16_t(LeadingDigits(trimmed));
    const uint16_t port = SocketServicePort(Port, Proto);
    if (port == 0)
        throw ESocketException(Format("SocketResolvePort: Cannot convert port '%s', Error #%d", {Port, WSANO_DATA}));
    return SocketNetToHost16(port);
}

int SocketResolveProto(const std::string& Text) {
    if (Text.empty() || Text.size() > 31) throw ESocketException("SocketResolveProto: Invalid Protocol.");
    if (Text[0] >= '0' && Text[0] <= '9') return LeadingDigits(Text);
    const int proto = SocketProtocolNumber(Text);
    if (proto < 0)
        throw ESocketException(
            Format("SocketResolveProto: Cannot convert protocol '%s', Error #%d", {Text, WSANO_DATA}));
    return proto;
}

std::string SocketErrorText(int Code) {
    switch (Code) {
    case 0: return "No Error";
    case 10004: return "Interrupted system call";
    case 10009: return "Bad file number";
    case 10013: return "Permission denied";
    case 10014: return "Bad address";
    case 10022: return "Invalid argument";
    case 10024: return "Too many open files";
    case 10035: return "Operation would block";
    case 10036: return "Operation now in progress";
    case 10037: return "Operation already in progress";
    case 10038: return "Socket operation on non-socket";
    case 10039: return "Destination address required";
    case 10040: return "Message too long";
    case 10041: return "Protocol wrong type for socket";
    case 10042: return "Protocol not available";
    case 10043: return "Protocol not supported";
    case 10044: return "Socket type not supported";
    case 10045: return "Operation not supported on socket";
    case 10046: return "Protocol family not supported";
    case 10047: return "Address family not supported by protocol family";
    case 10048: return "Address already in use";
    case 10049: return "Address not available";
    case 10050: return "Network is down";
    case 10051: return "Network is unreachable";
    case 10052: return "Network dropped connection on reset";
    case 10053: return "Connection aborted";
    case 10054: return "Connection reset by peer";
    case 10055: return "No buffer space available";
    case 10056: return "Socket is already connected";
    case 10057: return "Socket is not connected";
    case 10058: return "Can't send after socket shutdown";
    case 10059: return "Too many references: can't splice";
    case 10060: return "Connection timed out";
    case 10061: return "Connection refused";
    case 10062: return "Too many levels of symbolic links";
    case 10063: return "File name too long";
    case 10064: return "Host is down";
    case 10065: return "No route to host";
    case 10066: return "Directory not empty";
    case 10067: return "Too many processes";
    case 10068: return "Too many users";
    case 10069: return "Disc quota exceeded";
    case 10070: return "Stale NFS file handle";
    case 10071: return "Too many levels of remote in path";
    case 10091: return "Network sub-system is unusable";
    case 10092: return "WinSock DLL cannot support this application";
    case 10093: return "WinSock not initialized";
    case 11001: return "Host not found";
    case 11002: return "Non-authoritative host not found";
    case 11003: return "Non-recoverable error";
    case 11004: return "No Data";
    default: return "Not a WinSock error";
    }
}

// ---- TCustomAsyncSocket ------------------------------------------------------------------

TCustomAsyncSocket::TCustomAsyncSocket(TComponent* AOwner) : TComponent(AOwner) {
    FWindowHandle = AllocateHWnd([this](TMessage& m) {
        try {
            WndProc(m);
        } catch (Exception& e) {
            HandleBackgroundException(e);
        } catch (std::exception& e) {
            Exception wrapped(e.what());
            HandleBackgroundException(wrapped);
        }
    });
}

TCustomAsyncSocket::~TCustomAsyncSocket() {
    ComponentState += csDestroying;
    if (FDnsLookupHandle) SocketCancelLookup(FDnsLookupHandle);
    FDnsLookupHandle = 0;
    if (FHSocket != INVALID_SOCKET) {
        SocketAsyncSelect(FHSocket, 0, 0, 0);
        SocketClose(FHSocket);
        FHSocket = INVALID_SOCKET;
    }
    DeallocateHWnd(FWindowHandle);
}

void TCustomAsyncSocket::AssignDefaultValue() {
    FAddrStr.clear();
    FPortStr.clear();
    FAddrAssigned = FPortAssigned = false;
    FAddrResolved = FPortResolved = FProtoResolved = FLocalPortResolved = false;
    FAddr = 0;
    FPortNum = 0;
    FProtoStr = "tcp";
    FProto = 6;
    FType = SOCK_STREAM_TYPE;
    FLocalAddr = "0.0.0.0";
    FLocalPortStr = "0";
    FLocalPortNum = 0;
    FState = wsClosed;
    FPaused = false;
    FSelectEvent = 0;
    FCloseInvoked = false;
}

void TCustomAsyncSocket::ChangeState(TSocketState NewState) {
    const TSocketState old = FState;
    FState = NewState;
    if (old != NewState && OnChangeState) OnChangeState(this, old, NewState);
}

void TCustomAsyncSocket::RaiseException(const std::string& Text) {
    if (OnError) {
        OnError(this);
        return;
    }
    throw ESocketException(Text);
}

void TCustomAsyncSocket::SocketError(const std::string& FunctionName) {
    const int n = SocketLastError();
    const std::string text = "Error " + IntToStr(n) + " in function " + FunctionName + "\r\n" + SocketErrorText(n);
    if (n == WSAECONNRESET || n == WSAENOTCONN) {
        if (FHSocket != INVALID_SOCKET) {
            SocketAsyncSelect(FHSocket, 0, 0, 0);
            SocketClose(FHSocket);
            FHSocket = INVALID_SOCKET;
        }
        if (FState != wsClosed && !FCloseInvoked) {
            FCloseInvoked = true;
            TriggerSessionClosed(Word(n));
        }
        ChangeState(wsClosed);
    }
    FLastError = n;
    RaiseException(text);
}

void TCustomAsyncSocket::HandleBackgroundException(Exception& E) {
    bool canClose = true;
    if (OnBgException) {
        try {
            OnBgException(this, E, canClose);
        } catch (...) {}
    }
    if (canClose) Abort();
}

void TCustomAsyncSocket::SetAddr(const std::string& Value) {
    if (FState != wsClosed) return RaiseException("Cannot change Addr if not closed");
    FAddrStr = Trim(Value);
    FAddrAssigned = !FAddrStr.empty();
    FAddrResolved = false;
}

void TCustomAsyncSocket::SetPort(const std::string& Value) {
    if (FState != wsClosed) return RaiseException("Cannot change Port if not closed");
    FPortStr = Trim(Value);
    FPortAssigned = !FPortStr.empty();
    FPortResolved = false;
}

void TCustomAsyncSocket::SetProto(const std::string& Value) {
    if (FState != wsClosed) return RaiseException("Cannot change Proto if not closed");
    FProtoStr = Trim(Value);
    FProtoResolved = false;
}

void TCustomAsyncSocket::SetLocalAddr(const std::string& Value) {
    if (FState != wsClosed) return RaiseException("Cannot change LocalAddr if not closed");
    std::string v = Trim(Value);
    if (v.empty()) v = "0.0.0.0";
    if (!SocketIsDottedAddress(v)) return RaiseException("SetLocalAddr(): Invalid IP address");
    FLocalAddr = v;
}

void TCustomAsyncSocket::SetLocalPort(const std::string& Value) {
    if (FState != wsClosed) return RaiseException("Cannot change LocalPort if not closed");
    FLocalPortStr = Trim(Value);
    FLocalPortResolved = false;
}

void TCustomAsyncSocket::SetSendFlags(int Value) {
    if (Value != wsSendNormal && Value != wsSendUrgent) return RaiseException("Invalid SendFlags");
    FSendFlags = TSocketSendFlags(Value);
}

std::string TCustomAsyncSocket::GetPeerAddr() {
    uint32_t a;
    uint16_t p;
    if (FState != wsConnected || SocketPeerName(FHSocket, a, p) != 0) return "error";
    return SocketAddrText(a);
}

std::string TCustomAsyncSocket::GetPeerPort() {
    uint32_t a;
    uint16_t p;
    if (FState != wsConnected || SocketPeerName(FHSocket, a, p) != 0) return "error";
    return IntToStr(SocketNetToHost16(p));
}

void TCustomAsyncSocket::Connect() {
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) return RaiseException("Connect: Socket already in use");
    if (!FPortAssigned) return RaiseException("Connect: No Port Specified");
    if (!FAddrAssigned) return RaiseException("Connect: No IP Address Specified");
    if (FProtoStr.empty()) return RaiseException("Connect: No Protocol Specified");
    try {
        if (!FProtoResolved) {
            FProto = SocketResolveProto(FProtoStr);
            FType = FProto == 17 ? SOCK_DGRAM_TYPE : SOCK_STREAM_TYPE;
            FProtoResolved = true;
        }
        if (!FPortResolved) {
            FPortNum = SocketHostToNet16(SocketResolvePort(FPortStr, FProtoStr));
            FPortResolved = true;
        }
        if (!FLocalPortResolved) {
            FLocalPortNum = SocketHostToNet16(SocketResolvePort(FLocalPortStr, FProtoStr));
            FLocalPortResolved = true;
        }
        if (!FAddrResolved) {
            FAddr = SocketResolveHost(FAddrStr);
            FAddrResolved = true;
        }
    } catch (ESocketException& e) {
        return RaiseException(e.Message);
    }
    FBufList.Clear();
    FAllSent = true;
    FCloseInvoked = false;
    FHSocket = SocketCreate(FType, FProto);
    if (FHSocket == INVALID_SOCKET) return SocketError("Connect (socket)");
    ChangeState(wsOpened);
    if (FType == SOCK_STREAM_TYPE) {
        if (SocketSetOption(FHSocket, soReuseAddr, true) != 0) return SocketError("setsockopt(SO_REUSEADDR)");
        if (ComponentOptions.Contains(wsoTcpNoDelay) && SocketSetOption(FHSocket, soTcpNoDelay, true) != 0)
            return SocketError("setsockopt(IPPROTO_TCP, TCP_NODELAY)");
        if (LingerOnOff != wsLingerNoSet && SocketSetLinger(FHSocket, LingerOnOff == wsLingerOn, LingerTimeout) != 0)
            return SocketError("setsockopt(SO_LINGER)");
        if (SocketSetOption(FHSocket, soKeepAlive, true) != 0) return SocketError("setsockopt(SO_KEEPALIVE)");
    }
    if (FType == SOCK_DGRAM_TYPE) {
        if (MultiCast && MultiCastIpTTL != 1 && SocketSetMulticastTtl(FHSocket, MultiCastIpTTL) != 0)
            return SocketError("setsockopt(IP_MULTICAST_TTL)");
        if (FAddrStr == "255.255.255.255" && SocketSetOption(FHSocket, soBroadcast, true) != 0)
            return SocketError("setsockopt(SO_BROADCAST)");
    }
    if (FLocalPortNum != 0 || FLocalAddr != "0.0.0.0" || FType == SOCK_DGRAM_TYPE) {
        if (SocketBind(FHSocket, SocketResolveHost(FLocalAddr), FLocalPortNum) != 0)
            return RaiseException(Format("winsock.bind failed, error #%d", {SocketLastError()}));
        uint32_t a;
        uint16_t p;
        if (SocketLocalName(FHSocket, a, p) != 0)
            return RaiseException(Format("winsock.getsockname failed, error #%d", {SocketLastError()}));
        FLocalPortStr = IntToStr(SocketNetToHost16(p));
    }
    FSelectEvent = kSelectAll;
    if (SocketAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0)
        return SocketError("WSAAsyncSelect");
    if (FType == SOCK_DGRAM_TYPE) {
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    if (SocketConnect(FHSocket, FAddr, FPortNum) != 0 && SocketLastError() != WSAEWOULDBLOCK) {
        FLastError = SocketLastError();
        return SocketError("Connect");
    }
    ChangeState(wsConnecting);
}

void TCustomAsyncSocket::InternalClose(bool Shut, Word Error) {
    if (FHSocket == INVALID_SOCKET) {
        if (FState != wsClosed) {
            ChangeState(wsClosed);
            AssignDefaultValue();
        }
        return;
    }
    if (FState == wsClosed) return;
    if (Shut) SocketShutdown(FHSocket, SD_SEND);
    SocketAsyncSelect(FHSocket, 0, 0, 0);
    SocketClose(FHSocket);
    FHSocket = INVALID_SOCKET;
    ChangeState(wsClosed);
    if (!Destroying() && !FCloseInvoked) {
        FCloseInvoked = true;
        TriggerSessionClosed(Error);
    }
    AssignDefaultValue();
}

void TCustomAsyncSocket::Close() { InternalClose(true, 0); }

void TCustomAsyncSocket::CloseDelayed() { PostMessage(FWindowHandle, WM_CLOSE_DELAYED, 0, 0); }

void TCustomAsyncSocket::Release() { PostMessage(FWindowHandle, WM_WSOCKET_RELEASE, 0, 0); }

void TCustomAsyncSocket::Abort() {
    CancelDnsLookup();
    FBufList.Clear();
    FAllSent = true;
    if (FHSocket != INVALID_SOCKET && FState == wsConnected && FType == SOCK_STREAM_TYPE)
        SocketSetLinger(FHSocket, false, 0);
    InternalClose(false, 0);
}

void TCustomAsyncSocket::ProcessMessages() {
    if (MultiThreaded || !Application) {
        // The socket's own pump: handle what is queued, note a quit request.
        if (Application) Application->ProcessMessages();
        if (Application && Application->Terminated()) FTerminated = true;
        return;
    }
    Application->ProcessMessages();
}

void TCustomAsyncSocket::Flush() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(FlushTimeout);
    while (FHSocket != INVALID_SOCKET && !FBufList.Empty() && std::chrono::steady_clock::now() < deadline) {
        TryToSend();
        if (FBufList.Empty() || FAllSent) break;
        ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void TCustomAsyncSocket::Pause() {
    FPaused = true;
    if (FHSocket != INVALID_SOCKET) SocketAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, 0);
}

void TCustomAsyncSocket::Resume() {
    FPaused = false;
    if (FHSocket != INVALID_SOCKET) SocketAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent);
}

int TCustomAsyncSocket::Send(const void* Data, int Length) {
    if (FState != wsConnected) {
        SocketSetLastError(WSAENOTCONN);
        SocketError("Send");
        return -1;
    }
    if (Length <= 0) return 0;
    FAllSent = false;
    FBufList.Append(static_cast<const char*>(Data), Length, BufSize);
    TryToSend();
    // OnDataSent always comes from the message loop.
    if (FBufList.Empty() || FAllSent) PostMessage(FWindowHandle, WM_ASYNCSELECT, WPARAM(FHSocket), FD_WRITE);
    return Length;
}

int TCustomAsyncSocket::SendStr(const std::string& Text) { return Send(Text.data(), int(Text.size())); }

void TCustomAsyncSocket::TryToSend() {
    if (FHSocket == INVALID_SOCKET) return;
    auto& blocks = FBufList.Blocks();
    while (!blocks.empty()) {
        const char* data;
        const int length = blocks.front().Peek(data);
        if (length <= 0) {
            if (blocks.size() > 1) {
                blocks.pop_front();
                continue;
            }
            break;
        }
        const int sent = FType == SOCK_DGRAM_TYPE ? SocketSendTo(FHSocket, data, length, FAddr, FPortNum)
                                                  : SocketSend(FHSocket, data, length);
        if (sent < 0) {
            const int error = SocketLastError();
            if (error == WSAEWOULDBLOCK) return;
            if (error == WSAECONNRESET || error == WSAENOTSOCK || error == WSAENOTCONN || error == WSAEINVAL ||
                error == WSAECONNABORTED) {
                FBufList.Clear();
                InternalClose(false, Word(error));
                return;
            }
            return SocketError("TryToSend failed");
        }
        blocks.front().Remove(sent);
        if (OnSendData) OnSendData(this, sent);
        if (sent < length) return;  // the rest goes at the next write event
    }
    if (blocks.size() == 1 && blocks.front().Unread() == 0) blocks.clear();
    FAllSent = true;
}

int TCustomAsyncSocket::DoRecv(void* Data, int Length) {
    if (FHSocket == INVALID_SOCKET) {
        FLastError = WSAENOTSOCK;
        return -1;
    }
    const int n = SocketRecv(FHSocket, Data, Length);
    if (n < 0) {
        FLastError = SocketLastError();
        return -1;
    }
    ReadCount += n;
    return n;
}

int TCustomAsyncSocket::Receive(void* Data, int Length) { return DoRecv(Data, Length); }

std::string TCustomAsyncSocket::ReceiveStr() {
    const int count = GetRcvdCount();
    if (count <= 0) return {};
    std::string s(size_t(count), '\0');
    const int n = Receive(s.data(), count);
    s.resize(size_t(std::max(n, 0)));
    return s;
}

int TCustomAsyncSocket::GetRcvdCount() {
    if (FHSocket == INVALID_SOCKET) return 0;
    const int n = SocketBytesAvailable(FHSocket);
    if (n < 0) {
        SocketError("ioctlSocket");
        return -1;
    }
    return n;
}

void TCustomAsyncSocket::DnsLookup(const std::string& HostName) {
    const std::string host = Trim(HostName);
    if (host.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        TriggerDnsLookupDone(WSAEINVAL);
        return;
    }
    if (FDnsLookupHandle) CancelDnsLookup();
    FDnsResult.clear();
    FDnsResultList.clear();
    if (SocketIsDottedAddress(host)) {
        FDnsResult = SocketAddrText(SocketResolveHost(host));
        FDnsResultList.push_back(FDnsResult);
        TriggerDnsLookupDone(0);
        return;
    }
    FReverseLookup = false;
    FDnsLookupHandle = SocketLookupHost(host, FWindowHandle, WM_ASYNCGETHOSTBYNAME);
}

void TCustomAsyncSocket::ReverseDnsLookup(const std::string& HostAddr) {
    const std::string addr = Trim(HostAddr);
    if (addr.empty() || addr.size() > 256 || !SocketIsDottedAddress(addr)) {
        RaiseException("ReverseDnsLookup: Invalid host name.");
        TriggerDnsLookupDone(WSAEINVAL);
        return;
    }
    if (FDnsLookupHandle) CancelDnsLookup();
    FDnsResult.clear();
    FDnsResultList.clear();
    FReverseLookup = true;
    FDnsLookupHandle = SocketLookupAddr(SocketResolveHost(addr), FWindowHandle, WM_ASYNCGETHOSTBYADDR);
}

void TCustomAsyncSocket::Listen() {
    if (!FPortAssigned) {
        SocketSetLastError(WSAEINVAL);
        return SocketError("listen: port not assigned");
    }
    if (FProtoStr.empty()) {
        SocketSetLastError(WSAEINVAL);
        return SocketError("listen: protocol not assigned");
    }
    if (!FAddrAssigned) {
        SocketSetLastError(WSAEINVAL);
        return SocketError("listen: address not assigned");
    }
    try {
        FProto = SocketResolveProto(FProtoStr);
        FType = FProto == 17 ? SOCK_DGRAM_TYPE : SOCK_STREAM_TYPE;
        FPortNum = SocketHostToNet16(SocketResolvePort(FPortStr, FProtoStr));
        FAddr = SocketResolveHost(FAddrStr);
    } catch (ESocketException& e) {
        return RaiseException(e.Message);
    }
    FCloseInvoked = false;
    FHSocket = SocketCreate(FType, FProto);
    if (FHSocket == INVALID_SOCKET) return SocketError("socket");
    if ((FType == SOCK_DGRAM_TYPE && ReuseAddr) || FType == SOCK_STREAM_TYPE)
        SocketSetOption(FHSocket, soReuseAddr, true);
    if (SocketBind(FHSocket, FAddr, FPortNum) != 0) {
        const int error = SocketLastError();
        InternalClose(false, Word(error));
        SocketSetLastError(error);
        return SocketError("Bind");
    }
    uint32_t a;
    uint16_t p;
    if (SocketLocalName(FHSocket, a, p) == 0) FPortStr = IntToStr(SocketNetToHost16(p));
    ChangeState(wsBound);
    if (FType == SOCK_DGRAM_TYPE) {
        if (MultiCast && !MultiCastAddrStr.empty() &&
            SocketJoinGroup(FHSocket, SocketResolveHost(MultiCastAddrStr)) != 0)
            return SocketError("setsockopt(IP MULTICAST)");
        FSelectEvent = FD_READ | FD_WRITE;
        if (SocketAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0)
            return SocketError("WSAAsyncSelect");
        ChangeState(wsListening);
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    if (SocketListen(FHSocket, 5) != 0) return SocketError("Listen");
    ChangeState(wsListening);
    FSelectEvent = FD_ACCEPT | FD_READ | FD_CLOSE;  // 43 with FD_CONNECT
    if (SocketAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent | FD_CONNECT) != 0)
        return SocketError("WSAASyncSelect");
}

TSocket TCustomAsyncSocket::Accept() {
    if (FState != wsListening) {
        SocketSetLastError(WSAEINVAL);
        SocketError("not a listening socket");
        return INVALID_SOCKET;
    }
    uint32_t a;
    uint16_t p;
    const TSocket s = SocketAccept(FHSocket, a, p);
    if (s == INVALID_SOCKET) SocketError("Accept");
    return s;
}

void TCustomAsyncSocket::Dup(TSocket NewHSocket) {
    if (NewHSocket == 0 || NewHSocket == INVALID_SOCKET) {
        SocketSetLastError(WSAEINVAL);
        return SocketError("Dup");
    }
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        SocketAsyncSelect(FHSocket, 0, 0, 0);
        if (SocketClose(FHSocket) != 0) return SocketError("Dup (closesocket)");
        FHSocket = INVALID_SOCKET;
        ChangeState(wsClosed);
    }
    FHSocket = NewHSocket;
    FCloseInvoked = false;
    FBufList.Clear();
    FAllSent = true;
    if (LingerOnOff != wsLingerNoSet) SocketSetLinger(FHSocket, LingerOnOff == wsLingerOn, LingerTimeout);
    FSelectEvent = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;  // 51
    if (SocketAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0)
        return SocketError("WSAAsyncSelect");
    ChangeState(wsConnected);
}

int TCustomAsyncSocket::SendTo(uint32_t Addr, uint16_t Port, const void* Data, int Length) {
    const int n = SocketSendTo(FHSocket, Data, Length, Addr, Port);
    if (n < 0) FLastError = SocketLastError();
    return n;
}

int TCustomAsyncSocket::ReceiveFrom(void* Data, int Length, uint32_t& Addr, uint16_t& Port) {
    const int n = SocketRecvFrom(FHSocket, Data, Length, Addr, Port);
    if (n < 0) {
        FLastError = SocketLastError();
        return -1;
    }
    ReadCount += n;
    return n;
}

void TCustomAsyncSocket::CancelDnsLookup() {
    if (!FDnsLookupHandle) return;
    SocketCancelLookup(FDnsLookupHandle);
    FDnsLookupHandle = 0;
    if (!Destroying()) TriggerDnsLookupDone(WSAEINTR);
}

void TCustomAsyncSocket::ASyncReceive(Word Error, bool Loop) {
    int lastAvailable = -1;
    for (;;) {
        if (!TriggerDataAvailable(Error)) {
            char discard[1024];
            if (DoRecv(discard, sizeof discard) <= 0) break;
        }
        if (FHSocket == INVALID_SOCKET || !Loop) break;
        const int available = SocketBytesAvailable(FHSocket);
        // A handler that leaves data unread would otherwise be called for ever.
        if (available <= 0 || available == lastAvailable) break;
        lastAvailable = available;
    }
}

void TCustomAsyncSocket::WndProc(TMessage& Msg) {
    switch (Msg.Msg) {
    case WM_ASYNCSELECT: {
        if (TSocket(Msg.WParam) != FHSocket || FHSocket == INVALID_SOCKET || FPaused) return;
        const unsigned event = LoWord(Msg.LParam);
        const Word error = HiWord(Msg.LParam);
        if ((event & FD_CONNECT) && FState != wsConnected) {
            ChangeState(wsConnected);
            TriggerSessionConnected(error);
            if (error && FHSocket != INVALID_SOCKET) InternalClose(false, error);
            if (error) return;
        }
        if ((event & FD_READ) && FHSocket != INVALID_SOCKET) {
            if (FState != wsConnected) {
                ChangeState(wsConnected);
                TriggerSessionConnected(error);
            }
            ASyncReceive(error, !ComponentOptions.Contains(wsoNoReceiveLoop));
        }
        if ((event & FD_WRITE) && FHSocket != INVALID_SOCKET) {
            TryToSend();
            if (FAllSent) TriggerDataSent(error);
        }
        if ((event & FD_ACCEPT) && OnSessionAvailable) OnSessionAvailable(this, error);
        if ((event & FD_CLOSE) && FHSocket != INVALID_SOCKET && FState != wsConnecting) {
            ASyncReceive(error, true);
            if (!FCloseInvoked) {
                FCloseInvoked = true;
                TriggerSessionClosed(error);
            }
            if (FState != wsClosed) InternalClose(false, error);
        }
        return;
    }
    case WM_ASYNCGETHOSTBYNAME:
    case WM_ASYNCGETHOSTBYADDR: {
        if (intptr_t(Msg.WParam) != FDnsLookupHandle || !FDnsLookupHandle) return;  // cancelled or stale
        FDnsLookupHandle = 0;
        const Word error = HiWord(Msg.LParam);
        if (Msg.Msg == WM_ASYNCGETHOSTBYADDR) {
            const std::string name = SocketTakeLookupName(Msg.WParam);
            if (error == 0) {
                FDnsResult = name;
                FDnsResultList.push_back(name);
            }
        } else {
            const std::vector<uint32_t> addrs = SocketTakeLookup(Msg.WParam);
            if (error == 0) {
                for (uint32_t a : addrs) FDnsResultList.push_back(SocketAddrText(a));
                if (!FDnsResultList.empty()) FDnsResult = FDnsResultList.front();
            }
        }
        TriggerDnsLookupDone(error);
        return;
    }
    case WM_CLOSE_DELAYED: Close(); return;
    case WM_WSOCKET_RELEASE: delete this; return;
    case WM_TRIGGER_EXCEPTION: throw ESocketException("Test exception in AsyncSocket");
    default: return;
    }
}

bool TCustomAsyncSocket::TriggerDataAvailable(Word Error) {
    if (!OnDataAvailable) return false;
    OnDataAvailable(this, Error);
    return true;
}

void TCustomAsyncSocket::TriggerSessionConnected(Word Error) {
    if (OnSessionConnected) OnSessionConnected(this, Error);
}

void TCustomAsyncSocket::TriggerSessionClosed(Word Error) {
    if (OnSessionClosed) OnSessionClosed(this, Error);
}

void TCustomAsyncSocket::TriggerDataSent(Word Error) {
    if (OnDataSent) OnDataSent(this, Error);
}

void TCustomAsyncSocket::TriggerDnsLookupDone(Word Error) {
    if (OnDnsLookupDone) OnDnsLookupDone(this, Error);
}

// ---- TCustomSyncSocket --------------------------------------------------------------------

int TCustomSyncSocket::WaitUntilReady(const bool& Flag) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Timeout);
    for (;;) {
        if (Flag) return 0;
        if (Timeout > 0 && std::chrono::steady_clock::now() > deadline) return 12001;
        if ((Application && Application->Terminated()) || FTerminated) return 12001;
        ProcessMessages();
        if (Flag) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int TCustomSyncSocket::Synchronize(const std::function<void()>& Proc, bool& Flag) {
    Flag = false;
    if (Proc) Proc();
    return WaitUntilReady(Flag);
}
