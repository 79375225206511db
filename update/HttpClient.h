#pragma once
// The asynchronous HTTP/1.0 client. A request starts with a call that returns
// at once; name lookup, connection, sending and receiving run as socket events
// on the GUI thread, and OnRequestDone reports the end from the message loop.
//
// No request runs for ever: the connection and every wait for data are bounded
// in time, the header is bounded in size, a document may be bounded in size,
// relocations are bounded in number and go to http:// addresses only, and a
// connection that closes inside the header is tried again at most once.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AsyncSocket.h"
#include "Classes.h"

class EHttpException : public Exception {
public:
    EHttpException(const std::string& Msg, Word Code) : Exception(Msg), ErrorCode(Code) {}
    Word ErrorCode;
};

enum THttpState {
    httpReady,
    httpNotConnected,
    httpConnected,
    httpDnsLookup,
    httpDnsLookupDone,
    httpWaitingHeader,
    httpWaitingBody,
    httpAborting
};
enum THttpRequest { httpNone = 0, httpGET = 1, httpPOST = 2, httpHEAD = 3 };

// Error codes of requests that the client itself ends.
enum : Word {
    httperrBusy = 1,
    httperrNoData = 2,
    httperrAborted = 3,
    httperrLineTooLong = 4,
    httperrHeaderTooLarge = 5,
    httperrDocTooLarge = 6,
    httperrTooManyRelocations = 7,
    httperrBadRelocation = 8,
};

using TDocDataEvent = std::function<void(TObject* Sender, const char* Buffer, int Len)>;
using THttpRequestDone = std::function<void(TObject* Sender, THttpRequest RqType, Word Error)>;
using THttpCommandEvent = std::function<void(TObject* Sender, std::string& Line)>;
using TCookieRcvdEvent = std::function<void(TObject* Sender, const std::string& Data, bool& Accept)>;

// The parts of an address.
struct TUrlParts {
    std::string Proto, User, Pass, Host, Port, Path;
};
// Splits an address; "./" and "../" resolve against the directory of BasePath.
TUrlParts ParseURL(const std::string& URL, const std::string& BasePath = "");
std::string Base64Encode(const std::string& Input);
// The If-Modified-Since form of a date ("Sun, 08 Jun 2003 10:20:30").
std::string RFC1123Date(TDateTime Date);

class THttpClient : public TComponent {
public:
    explicit THttpClient(TComponent* AOwner);
    ~THttpClient() override;

    // ---- Requests ----------------------------------------------------------------------
    void StartGet() { StartRequest(httpGET); }
    void StartPost() { StartRequest(httpPOST); }
    void StartHead() { StartRequest(httpHEAD); }
    void StartRequest(THttpRequest Kind);
    void Abort();
    void Logout();

    // ---- Properties ----------------------------------------------------------------------
    std::string URL;
    std::string LocalAddr = "0.0.0.0";
    std::string Proxy;
    std::string ProxyPort = "80";
    std::string Sender;
    std::string Agent = "Mozilla/3.0 (compatible)";
    std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string Reference;
    std::string Username, Password, ProxyUsername, ProxyPassword;
    bool NoCache = false;
    TDateTime ModifiedSince = 0;
    std::string Cookie;
    std::string ContentTypePost = "application/x-www-form-urlencoded";
    std::string ContentRangeBegin, ContentRangeEnd;
    bool MultiThreaded = false;
    // Bounds (milliseconds; bytes; counts). 0 switches a time or size bound off.
    int ConnectTimeout = 30000;
    int IdleTimeout = 60000;
    int MaxHeaderSize = 65536;
    int64_t MaxDocSize = 0;
    int MaxRelocations = 5;

    // ---- What the last request found -----------------------------------------------------
    int StatusCode = 0;
    std::string ReasonPhrase;
    int64_t ContentLength = -1;
    std::string ContentType;
    std::string Location;
    std::string DocName;
    std::string AcceptRanges;
    TStringList RcvdHeader;
    TStream* RcvdStream = nullptr;
    int64_t RcvdCount = 0;
    TStream* SendStream = nullptr;
    int64_t SentCount = 0;
    bool Connected = false;
    THttpState GetState() const { return FState; }
    THttpRequest GetRequestType() const { return FRequestType; }
    Word GetRequestDoneError() const { return FRequestDoneError; }
    TAsyncSocket* GetCtrlSocket() const { return FCtrlSocket; }
    // The lines of the last request as sent (for tracing and tests).
    std::string GetLastRequestHeader() const { return FLastRequest; }
    // The challenges of WWW-Authenticate fields.
    const std::vector<std::string>& GetChallenges() const { return FChallenges; }

    // ---- Events ----------------------------------------------------------------------------
    TNotifyEvent OnTrace, OnSessionConnected, OnHeaderData, OnHeaderBegin, OnHeaderEnd, OnRequestHeaderBegin,
        OnRequestHeaderEnd, OnDocBegin, OnDocEnd, OnSendBegin, OnSendEnd, OnStateChange, OnLocationChange;
    THttpCommandEvent OnCommand;
    TDocDataEvent OnDocData, OnSendData;
    THttpRequestDone OnRequestDone;
    TCookieRcvdEvent OnCookie;

protected:
    virtual void SendCommand(const std::string& Cmd);
    virtual void Login();
    virtual void ResetRequest();
    virtual void FollowLocation();
    // The socket's events: the connection is up (the request is sent), and bytes
    // of the answer arrived, in whatever pieces the connection delivers them.
    void SocketSessionConnected(TObject*, Word Error);
    void DataReceived(const char* Data, int Len);

private:
    void WndProc(TMessage& Msg);
    void SetState(THttpState State);
    void PostReady();
    void EndRequest(Word Error, int Status, const std::string& Reason);
    void ArmWatchdog(int Milliseconds);
    void SendRequest(const std::string& Method, const std::string& Version);
    void SocketDnsLookupDone(TObject*, Word Error);
    void SocketSessionClosed(TObject*, Word Error);
    void SocketDataAvailable(TObject*, Word Error);
    void SocketDataSent(TObject*, Word Error);
    void LocationSessionClosed(TObject*, Word Error);
    void ProcessHeaderLine(const std::string& Line, const std::string& Raw);
    void ProcessBodyData(const char* Data, int Len);
    void TakeLocation(const std::string& Value);
    void HeaderBegin();
    void HeaderEnd();
    bool MaySendCredentials() const;

    TAsyncSocket* FCtrlSocket = nullptr;
    HWND FWindowHandle = 0;
    THttpState FState = httpReady;
    THttpRequest FRequestType = httpNone;
    Word FRequestDoneError = 0;
    std::string FRcvBuf;
    std::string FLastRequest;
    std::string FTargetHost, FTargetPort, FHostName, FPath, FDnsResult;
    // Credentials of the running request and the one host they may go to.
    std::string FReqUsername, FReqPassword, FAuthHost;
    std::vector<std::string> FChallenges;
    bool FLocationFlag = false;
    bool FLocationOK = true;
    bool FInHeader = false;
    bool FSending = false;
    bool FEnding = false;
    bool FReadyPosted = false;
    bool FBodyHandler = false;
    int FHeaderLineCount = 0;
    int FBodyChunkCount = 0;
    int64_t FHeaderBytes = 0;
    int FRelocations = 0;
    int FHeaderResends = 0;
    WPARAM FRequestSerial = 0;
};
