#include "HttpClient.h"

#include "Controls.h"
#include "SysUtils.h"

namespace {

enum : unsigned { WM_HTTP_REQUEST_DONE = WM_USER + 1, WM_HTTP_SET_READY = WM_USER + 2, WM_HTTP_LOGIN = WM_USER + 3 };
constexpr uintptr_t kWatchdog = 1;
constexpr int kLineBufferSize = 8192;
constexpr int kSendBlock = 8193;

std::string ConnectionFailure(Word error) { return SocketErrorText(error) + " (Error #" + IntToStr(error) + ")"; }

}  // namespace

// ---- Helpers -----------------------------------------------------------------------------

TUrlParts ParseURL(const std::string& URL, const std::string& BasePath) {
    TUrlParts r;
    std::string url = URL;
    if (url.rfind("./", 0) == 0 || url.rfind("../", 0) == 0) {
        std::string dir = BasePath.substr(0, BasePath.rfind('/') == std::string::npos ? 0 : BasePath.rfind('/'));
        for (;;) {
            if (url.rfind("./", 0) == 0) {
                url.erase(0, 2);
            } else if (url.rfind("../", 0) == 0) {
                url.erase(0, 3);
                const size_t up = dir.rfind('/');
                dir = up == std::string::npos ? "" : dir.substr(0, up);
            } else {
                break;
            }
        }
        r.Proto = "http";
        r.Path = dir + "/" + url;
        return r;
    }
    std::string rest;
    const size_t scheme = url.find("://");
    if (scheme != std::string::npos) {
        r.Proto = url.substr(0, scheme);
        rest = url.substr(scheme + 3);
    } else if (StartsText("http:", url)) {
        r.Proto = "http";
        rest = url.substr(5);
        if (rest.rfind("//", 0) == 0) rest.erase(0, 2);
    } else if (StartsText("mailto:", url)) {
        r.Proto = "mailto";
        r.Path = url.substr(7);
        return r;
    } else if (url.rfind("//", 0) == 0) {
        r.Proto = "http";
        rest = url.substr(2);
    } else if (!url.empty() && url[0] == '/') {
        r.Proto = "http";
        r.Path = url;
        return r;
    } else {
        rest = url;
    }
    const size_t end = rest.find_first_of("/?");
    std::string authority = end == std::string::npos ? rest : rest.substr(0, end);
    r.Path = end == std::string::npos ? "" : rest.substr(end);
    if (!r.Path.empty() && r.Path[0] == '?') r.Path = "/" + r.Path;
    const size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string userInfo = authority.substr(0, at);
        const size_t colon = userInfo.find(':');
        r.User = userInfo.substr(0, colon);
        if (colon != std::string::npos) r.Pass = userInfo.substr(colon + 1);
        authority.erase(0, at + 1);
    }
    const size_t colon = authority.find(':');
    r.Host = authority.substr(0, colon);
    if (colon != std::string::npos) r.Port = authority.substr(colon + 1);
    return r;
}

std::string Base64Encode(const std::string& Input) {
    static const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < Input.size(); i += 3) {
        const unsigned v = unsigned((unsigned char)Input[i]) << 16 | unsigned((unsigned char)Input[i + 1]) << 8 |
                           (unsigned char)Input[i + 2];
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += alphabet[v & 63];
    }
    if (i < Input.size()) {
        const bool two = i + 1 < Input.size();
        const unsigned v =
            unsigned((unsigned char)Input[i]) << 16 | (two ? unsigned((unsigned char)Input[i + 1]) << 8 : 0);
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += two ? alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string RFC1123Date(TDateTime Date) {
    static const char* const days = "MonTueWedThuFriSatSun";
    static const char* const months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    Word y, m, d, h, n, s, ms;
    DecodeDate(Date, y, m, d);
    DecodeTime(Date, h, n, s, ms);
    const long whole = long(Date);
    const int day = int(((whole - 2) % 7 + 7) % 7);
    return std::string(days + day * 3, 3) + ", " +
           Format("%2.2d %s %4.4d %2.2d:%2.2d:%2.2d",
                  {int(d), std::string(months + (m - 1) * 3, 3), int(y), int(h), int(n), int(s)});
}

// ---- THttpClient ---------------------------------------------------------------------------

THttpClient::THttpClient(TComponent* AOwner) : TComponent(AOwner) {
    // The socket first: the component frees it if anything later fails, while the
    // message target made last has nothing after it to fail.
    FCtrlSocket = new TAsyncSocket(this);
    FCtrlSocket->OnSessionClosed = [this](TObject* s, Word e) { SocketSessionClosed(s, e); };
    FCtrlSocket->OnDataAvailable = [this](TObject* s, Word e) { SocketDataAvailable(s, e); };
    FCtrlSocket->OnSessionConnected = [this](TObject* s, Word e) { SocketSessionConnected(s, e); };
    FCtrlSocket->OnDataSent = [this](TObject* s, Word e) { SocketDataSent(s, e); };
    FCtrlSocket->OnDnsLookupDone = [this](TObject* s, Word e) { SocketDnsLookupDone(s, e); };
    FWindowHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

THttpClient::~THttpClient() {
    KillTimer(FWindowHandle, kWatchdog);
    DeallocateHWnd(FWindowHandle);
}

void THttpClient::WndProc(TMessage& Msg) {
    switch (Msg.Msg) {
    case WM_HTTP_REQUEST_DONE:
        if (OnRequestDone) OnRequestDone(this, FRequestType, FRequestDoneError);
        break;
    case WM_HTTP_SET_READY:
        if (Msg.WParam == FRequestSerial && FState != httpReady) SetState(httpReady);
        break;
    case WM_HTTP_LOGIN:
        if (Msg.WParam == FRequestSerial && FState != httpReady && !FEnding) Login();
        break;
    case WM_TIMER:
        KillTimer(FWindowHandle, kWatchdog);
        if (FState != httpReady && FState != httpAborting && !FEnding)
            EndRequest(WSAETIMEDOUT, 404, ConnectionFailure(WSAETIMEDOUT));
        break;
    default: break;
    }
}

void THttpClient::SetState(THttpState State) {
    FState = State;
    if (OnStateChange) OnStateChange(this);
    if (State == httpReady) {
        KillTimer(FWindowHandle, kWatchdog);
        PostMessage(FWindowHandle, WM_HTTP_REQUEST_DONE, 0, 0);
    }
}

void THttpClient::PostReady() {
    if (FReadyPosted) return;
    FReadyPosted = true;
    PostMessage(FWindowHandle, WM_HTTP_SET_READY, FRequestSerial, 0);
}

// Ends the running request with its error and status; the socket's close is then ignored.
void THttpClient::EndRequest(Word Error, int Status, const std::string& Reason) {
    FRequestDoneError = Error;
    StatusCode = Status;
    ReasonPhrase = Reason;
    FEnding = true;
    FSending = false;
    if (FInHeader) HeaderEnd();
    FCtrlSocket->Abort();
    Connected = false;
    PostReady();
}

void THttpClient::ArmWatchdog(int Milliseconds) {
    KillTimer(FWindowHandle, kWatchdog);
    if (Milliseconds > 0) SetTimer(FWindowHandle, kWatchdog, unsigned(Milliseconds));
}

void THttpClient::ResetRequest() {
    RcvdHeader.Clear();
    FRequestDoneError = 0;
    DocName.clear();
    StatusCode = 0;
    ReasonPhrase.clear();
    RcvdCount = 0;
    SentCount = 0;
    FHeaderLineCount = 0;
    FBodyChunkCount = 0;
    FHeaderBytes = 0;
    ContentLength = -1;
    ContentType.clear();
    FSending = false;
    FInHeader = false;
    FLocationFlag = false;
    FBodyHandler = false;
    FRcvBuf.clear();
    FChallenges.clear();
    Location = URL;
}

void THttpClient::StartRequest(THttpRequest Kind) {
    if (FState != httpReady) throw EHttpException("HTTP component is busy", httperrBusy);
    if (Kind == httpPOST && !SendStream) throw EHttpException("HTTP component has nothing to post", httperrNoData);
    FCtrlSocket->OnSessionClosed = [this](TObject* s, Word e) { SocketSessionClosed(s, e); };
    ++FRequestSerial;  // messages queued for an earlier request are ignored
    FEnding = false;
    FReadyPosted = false;
    FRelocations = 0;
    FHeaderResends = 0;
    SetState(httpNotConnected);
    FRequestType = Kind;
    ResetRequest();

    const TUrlParts parts = ParseURL(URL);
    // Credentials in the address serve this request, and only its host.
    FReqUsername = parts.User.empty() ? Username : parts.User;
    FReqPassword = parts.User.empty() ? Password : parts.Pass;
    if (Proxy.empty()) {
        FTargetHost = parts.Host;
        FTargetPort = parts.Port.empty() ? "80" : parts.Port;
        FPath = parts.Path;
    } else {
        FPath = (parts.Proto.empty() ? "http" : parts.Proto) + "://" + parts.Host +
                (parts.Port.empty() ? "" : ":" + parts.Port) + parts.Path;
        const TUrlParts proxy = ParseURL(Proxy);
        FTargetHost = proxy.Host.empty() ? Proxy : proxy.Host;
        FTargetPort = proxy.Port.empty() ? ProxyPort : proxy.Port;
    }
    FHostName = parts.Host;
    FAuthHost = parts.Host;
    if (FPath.empty()) FPath = "/";

    std::string doc = parts.Path.substr(0, parts.Path.find('?'));
    if (doc.empty() || doc == "/") {
        DocName = "document.htm";
    } else {
        if (doc.back() == '/') doc.pop_back();
        DocName = doc.substr(doc.rfind('/') + 1).substr(0, 255);
        DocName = DocName.substr(0, DocName.find('?'));
    }
    Login();
}

void THttpClient::Login() {
    FDnsResult.clear();
    SetState(httpDnsLookup);
    if (Trim(FTargetHost).empty()) {  // an address without a host: nothing to look up
        EndRequest(WSAEINVAL, 404, "can't resolve hostname to IP address");
        return;
    }
    ArmWatchdog(ConnectTimeout);
    FCtrlSocket->SetLocalAddr(LocalAddr);
    FCtrlSocket->MultiThreaded = MultiThreaded;
    FCtrlSocket->DnsLookup(FTargetHost);
}

void THttpClient::Logout() {
    FCtrlSocket->Close();
    Connected = false;
}

void THttpClient::SocketDnsLookupDone(TObject*, Word Error) {
    if (FState == httpAborting || FEnding) return;
    if (Error) {
        EndRequest(Error, 404, "can't resolve hostname to IP address");
        return;
    }
    FDnsResult = FCtrlSocket->GetDnsResult();
    SetState(httpDnsLookupDone);
    try {
        FCtrlSocket->SetAddr(FDnsResult);
        FCtrlSocket->SetLocalAddr(LocalAddr);
        FCtrlSocket->SetPort(FTargetPort);
        FCtrlSocket->SetProto("tcp");
        FCtrlSocket->Connect();
    } catch (ESocketException& e) {
        const Word error = FCtrlSocket->GetLastError() ? Word(FCtrlSocket->GetLastError()) : Word(WSAEINVAL);
        EndRequest(error, 404, e.Message);
    }
}

void THttpClient::SocketSessionConnected(TObject*, Word Error) {
    if (FEnding) return;
    if (Error) {
        EndRequest(Error, 404, ConnectionFailure(Error));
        return;
    }
    Connected = true;
    SetState(httpConnected);
    if (OnSessionConnected) OnSessionConnected(this);
    FBodyHandler = false;
    SetState(httpWaitingHeader);
    ArmWatchdog(IdleTimeout);
    static const char* const methods[] = {"GET", "GET", "POST", "HEAD"};
    SendRequest(methods[FRequestType], "1.0");
    if (FRequestType == httpPOST) {
        if (OnSendBegin) OnSendBegin(this);
        FSending = true;
        SocketDataSent(FCtrlSocket, 0);
    }
}

void THttpClient::SendCommand(const std::string& Cmd) {
    std::string line = Cmd;
    if (OnCommand) OnCommand(this, line);
    FLastRequest += line + "\r\n";
}

bool THttpClient::MaySendCredentials() const { return SameText(FHostName, FAuthHost); }

void THttpClient::SendRequest(const std::string& Method, const std::string& Version) {
    FLastRequest.clear();
    if (OnRequestHeaderBegin) OnRequestHeaderBegin(this);
    SendCommand(Method + " " + FPath + " HTTP/" + Version);
    if (!Sender.empty()) SendCommand("From: " + Sender);
    if (!Accept.empty()) SendCommand("Accept: " + Accept);
    if (!Reference.empty()) SendCommand("Referer: " + Reference);
    if (FRequestType == httpPOST && !ContentTypePost.empty()) SendCommand("Content-Type: " + ContentTypePost);
    if (!Agent.empty()) SendCommand("User-Agent: " + Agent);
    SendCommand("Host: " + FHostName);
    if (NoCache) SendCommand("Pragma: no-cache");
    if (FRequestType == httpPOST) SendCommand("Content-Length: " + IntToStr(SendStream->GetSize()));
    if (ModifiedSince != 0) SendCommand("If-Modified-Since: " + RFC1123Date(ModifiedSince) + " GMT");
    if (!FReqUsername.empty() && MaySendCredentials())
        SendCommand("Authorization: Basic " + Base64Encode(FReqUsername + ":" + FReqPassword));
    if (!Proxy.empty() && !ProxyUsername.empty())
        SendCommand("Proxy-Authorization: Basic " + Base64Encode(ProxyUsername + ":" + ProxyPassword));
    if (!Cookie.empty()) SendCommand("Cookie: " + Cookie);
    if (!ContentRangeBegin.empty() || !ContentRangeEnd.empty()) {
        SendCommand("Range: bytes=" + ContentRangeBegin + "-" + ContentRangeEnd);
        ContentRangeBegin.clear();
        ContentRangeEnd.clear();
    }
    AcceptRanges.clear();
    if (OnRequestHeaderEnd) OnRequestHeaderEnd(this);
    SendCommand("");
    FCtrlSocket->SendStr(FLastRequest);
}

void THttpClient::SocketDataSent(TObject*, Word) {
    if (!FSending || !SendStream) return;
    char block[kSendBlock];
    const int n = int(SendStream->Read(block, sizeof block));
    if (n <= 0) {
        FSending = false;
        if (OnSendEnd) OnSendEnd(this);
        return;
    }
    SentCount += n;
    if (OnSendData) OnSendData(this, block, n);
    FCtrlSocket->Send(block, n);
}

void THttpClient::SocketDataAvailable(TObject*, Word) {
    // The buffer never keeps a whole line's worth (see DataReceived), so there is room.
    char chunk[kLineBufferSize];
    const int n = FCtrlSocket->Receive(chunk, kLineBufferSize - int(FRcvBuf.size()));
    if (n > 0) DataReceived(chunk, n);
}

void THttpClient::DataReceived(const char* Data, int Len) {
    if (Len <= 0) return;
    if (FState == httpReady || FEnding) return;  // no request waits for these
    ArmWatchdog(IdleTimeout);
    if (FState == httpWaitingBody && FBodyHandler) {
        ProcessBodyData(Data, Len);
        return;
    }
    FRcvBuf.append(Data, size_t(Len));
    // Lines are taken from a moving start and the buffer cut once: a piece with
    // many short lines costs its length, not its length per line.
    size_t start = 0;
    for (;;) {
        if (FEnding || FBodyHandler) break;
        const size_t lf = FRcvBuf.find('\n', start);
        if (lf == std::string::npos) break;
        const std::string raw = FRcvBuf.substr(start, lf + 1 - start);
        std::string line = FRcvBuf.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = lf + 1;
        FHeaderBytes += int64_t(raw.size());
        if (MaxHeaderSize > 0 && FHeaderBytes > MaxHeaderSize) {
            EndRequest(httperrHeaderTooLarge, 404, "HTTP header too large");
            return;
        }
        if (FState == httpWaitingHeader || FState == httpWaitingBody)
            ProcessHeaderLine(line, raw);
        else if (FState != httpReady)
            PostReady();
    }
    // A relocation clears the buffer while the lines are read: nothing of it is left then.
    FRcvBuf.erase(0, std::min(start, FRcvBuf.size()));
    if (FEnding) return;
    if (FBodyHandler) {
        if (!FRcvBuf.empty()) {
            const std::string rest = FRcvBuf;
            FRcvBuf.clear();
            ProcessBodyData(rest.data(), int(rest.size()));
        }
    } else if (FRcvBuf.size() >= size_t(kLineBufferSize)) {
        // A header line this long is no header: the request ends instead of waiting on.
        EndRequest(httperrLineTooLong, 404, "HTTP line too long");
    }
}

void THttpClient::HeaderBegin() {
    FInHeader = true;
    if (OnHeaderBegin) OnHeaderBegin(this);
}

void THttpClient::HeaderEnd() {
    FInHeader = false;
    if (OnHeaderEnd) OnHeaderEnd(this);
}

void THttpClient::TakeLocation(const std::string& Value) {
    FLocationFlag = true;
    const TUrlParts parts = ParseURL(Value, FPath);
    const std::string proto = parts.Proto.empty() ? "http" : LowerCase(parts.Proto);
    FLocationOK = proto == "http";
    if (!parts.Host.empty()) {
        FHostName = parts.Host;
        if (Proxy.empty()) {
            FTargetHost = parts.Host;
            FTargetPort = parts.Port.empty() ? "80" : parts.Port;
        }
        Location = proto + "://" + parts.Host + (parts.Port.empty() ? "" : ":" + parts.Port) +
                   (parts.Path.empty() ? "/" : parts.Path);
    } else {
        const TUrlParts old = ParseURL(Location);
        Location = (old.Proto.empty() ? "http" : old.Proto) + "://" + old.Host +
                   (old.Port.empty() ? "" : ":" + old.Port) + parts.Path;
    }
    FPath = Proxy.empty() ? (parts.Path.empty() ? "/" : parts.Path) : Location;
}

void THttpClient::ProcessHeaderLine(const std::string& Line, const std::string& Raw) {
    if (FHeaderLineCount++ == 0) HeaderBegin();
    if (UpperCase(Line.substr(0, 6)) == "<HTML>") {
        // No header at all: everything is the document.
        if (ContentType.empty()) ContentType = "text/html";
        SetState(httpWaitingBody);
        FBodyHandler = true;
        HeaderEnd();
        ProcessBodyData(Raw.data(), int(Raw.size()));
        return;
    }
    if (!Line.empty()) {
        RcvdHeader.Add(Line);
        if (Line.rfind("HTTP/1.0", 0) == 0 || Line.rfind("HTTP/1.1", 0) == 0) {
            StatusCode = StrToIntDef(Trim(Line.substr(std::min<size_t>(9, Line.size()), 3)), 0);
            ReasonPhrase = Line.size() > 13 ? Line.substr(13) : "";
        } else if (const size_t colon = Line.find(':'); colon != std::string::npos) {
            const std::string field = LowerCase(Line.substr(0, colon));
            const size_t start = Line.find_first_not_of(' ', colon + 1);
            const std::string value = start == std::string::npos ? "" : Line.substr(start);
            if (field == "location") {
                TakeLocation(value);
            } else if (field == "content-length") {
                int64_t length = -1;
                ContentLength = TryStrToInt64(Trim(value), length) && length >= 0 ? length : -1;
            } else if (field == "content-range") {
                const size_t dash = value.find('-'), slash = value.find('/');
                if (dash != std::string::npos && value.size() > 6) {
                    ContentRangeBegin = value.substr(6, dash - 6);
                    ContentRangeEnd =
                        value.substr(dash + 1, slash == std::string::npos ? std::string::npos : slash - dash - 1);
                }
            } else if (field == "accept-ranges") {
                AcceptRanges = value;
            } else if (field == "content-type") {
                ContentType = LowerCase(value);
            } else if (field == "www-authenticate") {
                FChallenges.push_back(value);
            } else if (field == "set-cookie") {
                bool accept = true;
                if (OnCookie) OnCookie(this, value, accept);
            }
        }
        if (OnHeaderData) OnHeaderData(this);
        // An error status is the answer: the request ends with it rather than being sent again.
        if (StatusCode >= 400) EndRequest(0, StatusCode, ReasonPhrase);
        return;
    }
    // The empty line ends the header.
    if (ContentLength == 0) {
        HeaderEnd();
        EndRequest(0, StatusCode, ReasonPhrase);
        return;
    }
    if (FLocationFlag) {
        HeaderEnd();
        if (!FLocationOK) return EndRequest(httperrBadRelocation, StatusCode, "Relocation to an unsupported address");
        if (++FRelocations > MaxRelocations)
            return EndRequest(httperrTooManyRelocations, StatusCode, "Too many relocations");
        FRcvBuf.clear();
        FHeaderLineCount = 0;
        FBodyChunkCount = 0;
        FHeaderBytes = 0;
        FCtrlSocket->OnSessionClosed = [this](TObject* s, Word e) { LocationSessionClosed(s, e); };
        FCtrlSocket->Close();
        return;
    }
    if (LowerCase(ExtractFileExt(DocName)) == ".exe" && ContentType == "text/html")
        DocName = ChangeFileExt(DocName, ".htm");
    SetState(httpWaitingBody);
    FBodyHandler = true;
    HeaderEnd();
}

void THttpClient::ProcessBodyData(const char* Data, int Len) {
    if (FBodyChunkCount++ == 0 && OnDocBegin) OnDocBegin(this);
    // Bytes beyond the announced length are not part of the document.
    if (ContentLength >= 0) Len = int(std::min<int64_t>(Len, ContentLength - RcvdCount));
    if (Len > 0) {
        if (MaxDocSize > 0 && RcvdCount + Len > MaxDocSize) {
            EndRequest(httperrDocTooLarge, 404, "Document larger than " + IntToStr(MaxDocSize) + " bytes");
            return;
        }
        RcvdCount += Len;
        if (RcvdStream) RcvdStream->Write(Data, Len);
        if (OnDocData) OnDocData(this, Data, Len);
    }
    if (ContentLength >= 0 && RcvdCount >= ContentLength && !FEnding) {
        if (OnDocEnd) OnDocEnd(this);
        EndRequest(0, StatusCode, ReasonPhrase);
    }
}

void THttpClient::SocketSessionClosed(TObject*, Word Error) {
    Connected = false;
    if (FEnding || FState == httpReady || FState == httpAborting) return;
    if (FInHeader) {
        HeaderEnd();
        // Sent again once; a second close inside the header ends the request.
        if (FHeaderResends++ < 1) return FollowLocation();
        return EndRequest(Error ? Error : Word(WSAECONNRESET), 404, "Connection closed inside the header");
    }
    if (FHeaderLineCount == 0 && FBodyChunkCount == 0)
        return EndRequest(Error ? Error : Word(WSAECONNRESET), 404,
                          Error ? ConnectionFailure(Error) : "Connection closed without an answer");
    if (FBodyChunkCount > 0 && OnDocEnd) OnDocEnd(this);
    if (Error) {
        FRequestDoneError = Error;
        ReasonPhrase = ConnectionFailure(Error);
    } else if (ContentLength >= 0 && RcvdCount < ContentLength) {
        FRequestDoneError = WSAECONNABORTED;
        ReasonPhrase =
            "Document incomplete: " + IntToStr(RcvdCount) + " of " + IntToStr(ContentLength) + " bytes received";
    }
    FEnding = true;
    PostReady();
}

void THttpClient::LocationSessionClosed(TObject*, Word) {
    Connected = false;
    if (FEnding) return;
    FollowLocation();
}

void THttpClient::FollowLocation() {
    Connected = false;
    FLocationFlag = false;
    if (FRequestType == httpPOST) FRequestType = httpGET;
    FCtrlSocket->OnSessionClosed = [this](TObject* s, Word e) { SocketSessionClosed(s, e); };
    if (OnLocationChange) OnLocationChange(this);
    RcvdHeader.Clear();
    StatusCode = 0;
    ReasonPhrase.clear();
    ContentLength = -1;
    ContentType.clear();
    RcvdCount = 0;
    FHeaderLineCount = 0;
    FBodyChunkCount = 0;
    FHeaderBytes = 0;
    FBodyHandler = false;
    FRcvBuf.clear();
    PostMessage(FWindowHandle, WM_HTTP_LOGIN, FRequestSerial, 0);
}

void THttpClient::Abort() {
    if (FState == httpReady) {
        if (FCtrlSocket->GetState() != wsClosed) FCtrlSocket->Close();
        return;
    }
    const bool lookingUp = FState == httpDnsLookup;
    SetState(httpAborting);
    StatusCode = 404;
    ReasonPhrase = "Connection aborted on request";
    FRequestDoneError = httperrAborted;
    FEnding = true;
    FSending = false;
    if (lookingUp) FCtrlSocket->CancelDnsLookup();
    FCtrlSocket->Abort();
    Connected = false;
    FReadyPosted = true;  // the ready state comes now, not again from the queue
    SetState(httpReady);
}
