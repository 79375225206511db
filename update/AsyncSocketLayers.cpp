// The layers over the asynchronous socket: SOCKS 4, 4A and 5 and line mode.

#include "AsyncSocket.h"

#include "Controls.h"
#include "SysUtils.h"

namespace {

// SOCKS negotiation states.
enum { kSocksNone = 0, kSocksConnecting = 1, kSocksAuthenticating = 2, kSocksRequestSent = 3 };

const char* Socks5ReplyText(int code) {
    static const char* const texts[] = {"general SOCKS server failure", "connection not allowed by ruleset",
                                        "network unreachable",          "host unreachable",
                                        "connection refused",           "time to live expired",
                                        "command not supported",        "address type not supported"};
    return texts[code - 1];
}

}  // namespace

// ---- TCustomSocksSocket --------------------------------------------------------------------

TCustomSocksSocket::TCustomSocksSocket(TComponent* AOwner) : TCustomAsyncSocket(AOwner) {}

void TCustomSocksSocket::AssignDefaultValue() {
    TCustomAsyncSocket::AssignDefaultValue();
    FSocksState = kSocksNone;
    FSocksLevel = "5";
    FRcvBuf.clear();
}

void TCustomSocksSocket::SetSocksLevel(const std::string& Value) {
    if (FState != wsClosed) return RaiseException("Can't change socks level if not closed");
    const std::string v = UpperCase(Trim(Value));
    if (v != "4" && v != "4A" && v != "5") return RaiseException("Invalid socks level. Must be 4, 4A or 5.");
    FSocksLevel = v;
}

void TCustomSocksSocket::SetSocksServer(const std::string& Value) {
    if (FState != wsClosed) return RaiseException("Can't change socks server if not closed");
    FSocksServer = Trim(Value);
    FSocksServerAssigned = !FSocksServer.empty();
}

void TCustomSocksSocket::SetSocksPort(const std::string& Value) {
    if (FState != wsClosed) return RaiseException("Can't change socks port if not closed");
    FSocksPort = Trim(Value);
    FSocksPortAssigned = !FSocksPort.empty();
}

void TCustomSocksSocket::Connect() {
    if (!FSocksServerAssigned) return TCustomAsyncSocket::Connect();
    if (LowerCase(FProtoStr) != "tcp") return RaiseException("tcp is the only protocol supported thru socks server");
    try {
        FTargetPortNum = SocketResolvePort(FPortStr, FProtoStr);
    } catch (ESocketException& e) {
        return RaiseException(e.Message);
    }
    FTargetAddr = FAddrStr;
    FTargetPort = FPortStr;
    FAddrStr = FSocksServer;
    FAddrAssigned = true;
    FAddrResolved = false;
    FPortStr = FSocksPortAssigned ? FSocksPort : "1080";
    FPortAssigned = true;
    FPortResolved = false;
    FRcvBuf.clear();
    FSocksState = kSocksConnecting;
    TCustomAsyncSocket::Connect();
}

void TCustomSocksSocket::TriggerSessionConnected(Word Error) {
    if (FSocksState != kSocksConnecting) return TCustomAsyncSocket::TriggerSessionConnected(Error);
    if (OnSocksConnected) OnSocksConnected(this, Error);
    if (Error) {
        FSocksState = kSocksNone;
        return TCustomAsyncSocket::TriggerSessionConnected(Error);
    }
    if (FSocksLevel == "5") {
        FSocksMethod = SocksAuthentication == socksAuthenticateUsercode ? 2 : 0;
        const unsigned char hello[] = {5, 1, static_cast<unsigned char>(FSocksMethod)};
        Send(hello, sizeof hello);
        return;  // the method reply comes next
    }
    SocksDoConnect();
}

void TCustomSocksSocket::SocksDoAuthenticate() {
    FSocksState = kSocksAuthenticating;
    std::string request(1, char(1));
    request += char(SocksUsercode.size() & 0xFF) + SocksUsercode;
    request += char(SocksPassword.size() & 0xFF) + SocksPassword;
    if (OnSocksAuthState) OnSocksAuthState(this, socksAuthStart);
    SendStr(request);
}

void TCustomSocksSocket::SocksDoConnect() {
    FSocksState = kSocksRequestSent;
    FRcvBuf.clear();
    const char portHi = char(FTargetPortNum >> 8), portLo = char(FTargetPortNum & 0xFF);
    std::string request;
    if (FSocksLevel == "5") {
        request = {5, 1, 0, 3, char(FTargetAddr.size() & 0xFF)};
        request += FTargetAddr;
        request += portHi;
        request += portLo;
    } else {
        request = {4, 1, portHi, portLo};
        if (FSocksLevel == "4A") {
            request += std::string{0, 0, 0, 1};
        } else {
            uint32_t addr;
            try {
                addr = SocketResolveHost(FTargetAddr);
            } catch (ESocketException& e) {
                return SocksFailed(20013, e.Message);
            }
            request.append(reinterpret_cast<const char*>(&addr), 4);  // network order as it lies
        }
        request += SocksUsercode;
        request += char(0);
        if (FSocksLevel == "4A") {
            request += FTargetAddr;
            request += char(0);
        }
    }
    SendStr(request);
}

void TCustomSocksSocket::SocksFailed(int Code, const std::string& Text) {
    FSocksState = kSocksNone;
    if (OnSocksError) OnSocksError(this, Code, Text);
    TCustomAsyncSocket::TriggerSessionConnected(Word(Code));
    InternalClose(false, Word(Code));
}

void TCustomSocksSocket::SocksSucceeded() {
    FSocksState = kSocksNone;
    FRcvBuf.clear();
    TCustomAsyncSocket::TriggerSessionConnected(0);
}

// Reads what the current reply still lacks; false until it is complete.
bool TCustomSocksSocket::SocksReadReply() {
    size_t need = 2;
    if (FSocksState == kSocksRequestSent) {
        if (FSocksLevel != "5") {
            need = 8;
        } else if (FRcvBuf.size() >= 5) {
            need = FRcvBuf[3] == 1 ? 10 : FRcvBuf[3] == 3 ? size_t(7 + FRcvBuf[4]) : 5;
        } else {
            need = 5;
        }
    }
    while (FRcvBuf.size() < need) {
        unsigned char chunk[300];
        const int n = DoRecv(chunk, int(std::min(need - FRcvBuf.size(), sizeof chunk)));
        if (n <= 0) return false;
        FRcvBuf.insert(FRcvBuf.end(), chunk, chunk + n);
        if (FSocksState == kSocksRequestSent && FSocksLevel == "5" && FRcvBuf.size() == 5)
            return SocksReadReply();  // the address type tells the rest of the length
    }
    return true;
}

bool TCustomSocksSocket::TriggerDataAvailable(Word Error) {
    if (FSocksState == kSocksNone) return TCustomAsyncSocket::TriggerDataAvailable(Error);
    if (Error) {
        SocksFailed(20013, "data receive error");
        return true;
    }
    if (!SocksReadReply()) return true;
    const std::vector<unsigned char> reply = FRcvBuf;
    FRcvBuf.clear();
    if (FSocksState == kSocksConnecting) {  // level 5 method choice
        if (reply[0] != 5) return SocksFailed(20002, "socks version error"), true;
        if (reply[1] != FSocksMethod) return SocksFailed(20003, "authentification method not acceptable"), true;
        if (FSocksMethod == 2)
            SocksDoAuthenticate();
        else
            SocksDoConnect();
        return true;
    }
    if (FSocksState == kSocksAuthenticating) {
        if (reply[1] != 0) {
            if (OnSocksAuthState) OnSocksAuthState(this, socksAuthFailure);
            return SocksFailed(20015, "socks authentication failed"), true;
        }
        if (OnSocksAuthState) OnSocksAuthState(this, socksAuthSuccess);
        SocksDoConnect();
        return true;
    }
    if (FSocksLevel == "5") {
        if (reply[0] != 5) return SocksFailed(20002, "socks version error"), true;
        if (reply[1] >= 1 && reply[1] <= 8) return SocksFailed(20003 + reply[1], Socks5ReplyText(reply[1])), true;
        if (reply[1] != 0) return SocksFailed(20013, "internal error"), true;
        if (reply[3] != 1 && reply[3] != 3) return SocksFailed(20011, "address type not supported"), true;
        SocksSucceeded();
        return true;
    }
    if (reply[0] != 0) return SocksFailed(20002, "socks version error"), true;
    switch (reply[1]) {
    case 90: SocksSucceeded(); break;
    case 91: SocksFailed(20016, "request rejected or failed"); break;
    case 92: SocksFailed(20008, "connection refused"); break;
    case 93: SocksFailed(20015, "authentification failed"); break;
    default: SocksFailed(20012, "unassigned error #" + IntToStr(reply[1])); break;
    }
    return true;
}

void TCustomSocksSocket::TriggerSessionClosed(Word Error) {
    if (FSocksState == kSocksAuthenticating && OnSocksAuthState) OnSocksAuthState(this, socksAuthFailure);
    FSocksState = kSocksNone;
    TCustomAsyncSocket::TriggerSessionClosed(Error);
}

// ---- TCustomLineSocket ---------------------------------------------------------------------

TCustomLineSocket::TCustomLineSocket(TComponent* AOwner) : TCustomSocksSocket(AOwner) {}

void TCustomLineSocket::SetLineMode(bool Value) {
    if (Value == FLineMode) return;
    FLineMode = Value;
    if (!FLineBuffer.empty()) PostMessage(FWindowHandle, WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

void TCustomLineSocket::EditLine(const std::string& Data) {
    for (char c : Data) {
        if (c == '\b') {
            if (!FLineBuffer.empty()) FLineBuffer.pop_back();
        } else if (c == '\t') {
            const size_t lineStart = FLineBuffer.rfind('\n');
            const size_t column =
                lineStart == std::string::npos ? FLineBuffer.size() : FLineBuffer.size() - lineStart - 1;
            FLineBuffer.append(8 - column % 8, ' ');
        } else {
            FLineBuffer += c;
        }
    }
}

bool TCustomLineSocket::TriggerDataAvailable(Word Error) {
    if (FSocksState != 0 || !FLineMode || LineEnd.empty()) return TCustomSocksSocket::TriggerDataAvailable(Error);
    char chunk[4096];
    const int n = DoRecv(chunk, sizeof chunk);
    if (n > 0) {
        std::string data(chunk, size_t(n));
        if (LineEcho) SendStr(data);
        if (LineEdit)
            EditLine(data);
        else
            FLineBuffer += data;
    }
    OfferLines(Error);
    return true;
}

bool TCustomLineSocket::OfferLines(Word Error) {
    bool offered = false;
    for (;;) {
        const size_t end = FLineBuffer.find(LineEnd);
        if (end == std::string::npos) break;
        FLine = FLineBuffer.substr(0, end + LineEnd.size());
        FLineBuffer.erase(0, end + LineEnd.size());
        FLineReceived = true;
        TCustomAsyncSocket::TriggerDataAvailable(Error);
        FLine.clear();  // a line nobody read is dropped
        FLineReceived = false;
        offered = true;
    }
    if (int(FLineBuffer.size()) > LineLimit) {
        bool clear = true;
        if (OnLineLimitExceeded) OnLineLimitExceeded(this, int(FLineBuffer.size()), clear);
        if (clear) FLineBuffer.clear();
    }
    return offered;
}

int TCustomLineSocket::Receive(void* Data, int Length) {
    if (FLineMode && FLineReceived) {
        const int n = std::min(Length, int(FLine.size()));
        std::copy(FLine.begin(), FLine.begin() + n, static_cast<char*>(Data));
        FLine.erase(0, size_t(n));
        if (FLine.empty()) FLineReceived = false;
        return n;
    }
    if (FLineMode) {
        FLastError = WSAEWOULDBLOCK;
        return -1;
    }
    if (!FLineBuffer.empty()) {  // left over from line mode
        const int n = std::min(Length, int(FLineBuffer.size()));
        std::copy(FLineBuffer.begin(), FLineBuffer.begin() + n, static_cast<char*>(Data));
        FLineBuffer.erase(0, size_t(n));
        return n;
    }
    return TCustomSocksSocket::Receive(Data, Length);
}

int TCustomLineSocket::GetRcvdCount() {
    if (FLineMode) return FLineReceived ? int(FLine.size()) : 0;
    if (!FLineBuffer.empty()) return int(FLineBuffer.size());
    return TCustomSocksSocket::GetRcvdCount();
}

void TCustomLineSocket::WndProc(TMessage& Msg) {
    if (Msg.Msg != WM_TRIGGER_DATA_AVAILABLE) return TCustomSocksSocket::WndProc(Msg);
    if (FLineMode) {
        OfferLines(0);
        return;
    }
    while (!FLineBuffer.empty()) {
        const size_t before = FLineBuffer.size();
        TCustomAsyncSocket::TriggerDataAvailable(0);
        if (FLineBuffer.size() == before) break;  // nobody reads
    }
}

void TCustomLineSocket::TriggerSessionClosed(Word Error) {
    if (FLineMode && !FLineBuffer.empty()) {
        FLine.swap(FLineBuffer);
        FLineBuffer.clear();
        FLineReceived = true;
        TCustomAsyncSocket::TriggerDataAvailable(Error);
        FLine.clear();
        FLineReceived = false;
    }
    TCustomSocksSocket::TriggerSessionClosed(Error);
}
