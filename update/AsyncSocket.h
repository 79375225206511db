#pragma once
// The event-driven socket component. Everything runs on the GUI thread: each
// socket owns a hidden message target, the platform posts socket readiness and
// name-lookup answers to it, and the component turns them into events.
//
//   TCustomAsyncSocket  connect, send queue, receive, close, name lookup
//   TCustomSocksSocket  the connection through a SOCKS 4, 4A or 5 proxy
//   TCustomLineSocket   received data offered line by line
//   TCustomSyncSocket   waiting for a flag while messages are handled
//   TAsyncSocket        the component the HTTP client uses
//
// Failures of a call raise ESocketException (or fire OnError when assigned);
// failures while messages are handled arrive as the events' error codes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Exceptions.h"
#include "Messages.h"
#include "SockBuf.h"
#include "Sockets.h"
#include "Types.h"

class ESocketException : public Exception {
public:
    using Exception::Exception;
};

enum TSocketState { wsInvalidState, wsOpened, wsBound, wsConnecting, wsConnected, wsAccepting, wsListening, wsClosed };
enum TSocketSendFlags { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };
enum TAsyncSocketOption { wsoNoReceiveLoop, wsoTcpNoDelay };
using TAsyncSocketOptions = Set<TAsyncSocketOption>;
enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };
enum TSocksAuthState { socksAuthStart, socksAuthSuccess, socksAuthFailure, socksAuthNotRequired };

using TSocketEvent = std::function<void(TObject* Sender, Word Error)>;
using TChangeStateEvent = std::function<void(TObject* Sender, TSocketState OldState, TSocketState NewState)>;
using TSendDataEvent = std::function<void(TObject* Sender, int BytesSent)>;
using TBgExceptionEvent = std::function<void(TObject* Sender, Exception& E, bool& CanClose)>;
using TSocksErrorEvent = std::function<void(TObject* Sender, int Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TObject* Sender, TSocksAuthState AuthState)>;
using TLineLimitEvent = std::function<void(TObject* Sender, int RcvdLength, bool& ClearData)>;

// Messages of a socket's hidden target.
enum : unsigned {
    WM_ASYNCSELECT = WM_USER + 1,
    WM_ASYNCGETHOSTBYNAME = WM_USER + 2,
    WM_ASYNCGETHOSTBYADDR = WM_USER + 3,
    WM_CLOSE_DELAYED = WM_USER + 4,
    WM_WSOCKET_RELEASE = WM_USER + 5,
    WM_TRIGGER_EXCEPTION = WM_USER + 6,
    WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20,
};

bool SocketIsDottedAddress(const std::string& Text);
// The IPv4 address in network order; raises ESocketException.
uint32_t SocketResolveHost(const std::string& Text);
// The port in host order; raises ESocketException.
uint16_t SocketResolvePort(const std::string& Port, const std::string& Proto);
int SocketResolveProto(const std::string& Text);
std::string SocketErrorText(int Code);

class TCustomAsyncSocket : public TComponent {
public:
    explicit TCustomAsyncSocket(TComponent* AOwner);
    ~TCustomAsyncSocket() override;

    // ---- Operations ------------------------------------------------------------------
    virtual void Connect();
    void Close();
    // Closes from the message loop (safe inside one of this socket's events).
    void CloseDelayed();
    // Frees the component from the message loop.
    void Release();
    virtual void Abort();
    // Sends until the queue is empty, handling messages meanwhile (FlushTimeout seconds at most).
    void Flush();
    void Pause();
    void Resume();
    // Queues the data and returns the length queued, or -1 when not connected.
    int Send(const void* Data, int Length);
    int SendStr(const std::string& Text);
    // Reads up to Length bytes; -1 with LastError set when nothing could be read.
    virtual int Receive(void* Data, int Length);
    std::string ReceiveStr();
    // Bytes waiting to be read (in line mode: the length of the line on offer).
    virtual int GetRcvdCount();
    void DnsLookup(const std::string& HostName);
    // The host name of a dotted address into DnsResult, then OnDnsLookupDone.
    void ReverseDnsLookup(const std::string& HostAddr);
    void CancelDnsLookup();
    // Listens on Addr and Port (stream: OnSessionAvailable for each waiting connection).
    void Listen();
    // The waiting connection's handle, for another socket's Dup.
    TSocket Accept();
    // Takes over a connected handle (from Accept).
    void Dup(TSocket NewHSocket);
    // Datagrams: to an address and port (network order), and from whoever sent.
    int SendTo(uint32_t Addr, uint16_t Port, const void* Data, int Length);
    int ReceiveFrom(void* Data, int Length, uint32_t& Addr, uint16_t& Port);
    // The message pump used while waiting: the application's, or with MultiThreaded
    // the socket's own (which notes a quit request).
    void ProcessMessages();

    // ---- Properties --------------------------------------------------------------------
    std::string GetAddr() const { return FAddrStr; }
    void SetAddr(const std::string& Value);
    std::string GetPort() const { return FPortStr; }
    virtual void SetPort(const std::string& Value);
    std::string GetProto() const { return FProtoStr; }
    virtual void SetProto(const std::string& Value);
    std::string GetLocalAddr() const { return FLocalAddr; }
    void SetLocalAddr(const std::string& Value);
    std::string GetLocalPort() const { return FLocalPortStr; }
    void SetLocalPort(const std::string& Value);
    std::string GetPeerAddr();
    std::string GetPeerPort();
    std::string GetDnsResult() const { return FDnsResult; }
    const std::vector<std::string>& GetDnsResultList() const { return FDnsResultList; }
    TSocketState GetState() const { return FState; }
    int64_t ReadCount = 0;
    int GetLastError() const { return FLastError; }
    TSocket GetHSocket() const { return FHSocket; }
    HWND GetWindow() const { return FWindowHandle; }
    bool MultiThreaded = false;
    TAsyncSocketOptions ComponentOptions;
    int FlushTimeout = 60;
    TSocketSendFlags GetSendFlags() const { return FSendFlags; }
    void SetSendFlags(int Value);
    TSocketLingerOnOff LingerOnOff = wsLingerOn;
    int LingerTimeout = 0;
    bool MultiCast = false;
    std::string MultiCastAddrStr;
    int MultiCastIpTTL = 1;
    bool ReuseAddr = false;
    // Size of new send-queue blocks.
    int BufSize = 1460;
    const TBufferList& SendQueue() const { return FBufList; }
    // Set when the socket's own message pump met a quit request.
    bool Terminated() const { return FTerminated; }

    TSocketEvent OnDataAvailable;
    TSocketEvent OnDataSent;
    TSendDataEvent OnSendData;
    TSocketEvent OnSessionClosed;
    TSocketEvent OnSessionAvailable;
    TSocketEvent OnSessionConnected;
    TChangeStateEvent OnChangeState;
    TSocketEvent OnDnsLookupDone;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;

protected:
    virtual void WndProc(TMessage& Msg);
    virtual void AssignDefaultValue();
    void InternalClose(bool Shut, Word Error);
    // Raises ESocketException with Text, or fires OnError when assigned.
    void RaiseException(const std::string& Text);
    // The last socket error as "Error n in function Name" + its text.
    void SocketError(const std::string& FunctionName);
    virtual void HandleBackgroundException(Exception& E);
    virtual bool TriggerDataAvailable(Word Error);
    virtual void TriggerSessionConnected(Word Error);
    virtual void TriggerSessionClosed(Word Error);
    virtual void TriggerDataSent(Word Error);
    virtual void TriggerDnsLookupDone(Word Error);
    void ChangeState(TSocketState NewState);
    // Receives straight from the socket, counting what was read.
    int DoRecv(void* Data, int Length);
    // Sends queued data; whatever would block waits for the next write event.
    void TryToSend();
    void ASyncReceive(Word Error, bool Loop);
    bool Destroying() const { return ComponentState.Contains(csDestroying); }

    TSocket FHSocket = INVALID_SOCKET;
    HWND FWindowHandle = 0;
    TSocketState FState = wsClosed;
    int FLastError = 0;
    std::string FAddrStr, FPortStr, FProtoStr = "tcp", FLocalAddr = "0.0.0.0", FLocalPortStr = "0";
    bool FAddrAssigned = false, FPortAssigned = false;
    bool FAddrResolved = false, FPortResolved = false, FProtoResolved = false, FLocalPortResolved = false;
    uint32_t FAddr = 0;
    uint16_t FPortNum = 0, FLocalPortNum = 0;
    int FProto = 6;
    int FType = SOCK_STREAM_TYPE;
    TBufferList FBufList;
    bool FAllSent = true;
    unsigned FSelectEvent = 0;
    intptr_t FDnsLookupHandle = 0;
    bool FReverseLookup = false;
    std::string FDnsResult;
    std::vector<std::string> FDnsResultList;
    bool FCloseInvoked = false;
    bool FPaused = false;
    bool FTerminated = false;
    TSocketSendFlags FSendFlags = wsSendNormal;
};

class TCustomSocksSocket : public TCustomAsyncSocket {
public:
    explicit TCustomSocksSocket(TComponent* AOwner);
    void Connect() override;
    std::string GetSocksLevel() const { return FSocksLevel; }
    void SetSocksLevel(const std::string& Value);
    std::string GetSocksServer() const { return FSocksServer; }
    void SetSocksServer(const std::string& Value);
    std::string GetSocksPort() const { return FSocksPort; }
    void SetSocksPort(const std::string& Value);
    std::string SocksUsercode;
    std::string SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;
    TSocketEvent OnSocksConnected;
    TSocksErrorEvent OnSocksError;
    TSocksAuthStateEvent OnSocksAuthState;

protected:
    void AssignDefaultValue() override;
    bool TriggerDataAvailable(Word Error) override;
    void TriggerSessionConnected(Word Error) override;
    void TriggerSessionClosed(Word Error) override;
    // The proxy's negotiation under way (0 none, 1 connecting, 2 authenticating, 3 request sent).
    int FSocksState = 0;

private:
    void SocksDoConnect();
    void SocksDoAuthenticate();
    void SocksFailed(int Code, const std::string& Text);
    void SocksSucceeded();
    bool SocksReadReply();
    std::string FSocksLevel = "5";
    std::string FSocksServer, FSocksPort;
    bool FSocksServerAssigned = false, FSocksPortAssigned = false;
    std::string FTargetAddr, FTargetPort;
    uint16_t FTargetPortNum = 0;
    std::vector<unsigned char> FRcvBuf;
    int FSocksMethod = 0;
};

class TCustomLineSocket : public TCustomSocksSocket {
public:
    explicit TCustomLineSocket(TComponent* AOwner);
    bool GetLineMode() const { return FLineMode; }
    void SetLineMode(bool Value);
    std::string LineEnd = "\r\n";
    int LineLimit = 65536;
    bool LineEcho = false;
    // Backspace removes the character before it, a tab becomes blanks up to the next multiple of 8.
    bool LineEdit = false;
    TLineLimitEvent OnLineLimitExceeded;
    int Receive(void* Data, int Length) override;
    int GetRcvdCount() override;
    // Bytes buffered but not yet offered as a line.
    int LineBuffered() const { return int(FLineBuffer.size()); }

protected:
    void WndProc(TMessage& Msg) override;
    bool TriggerDataAvailable(Word Error) override;
    void TriggerSessionClosed(Word Error) override;

private:
    bool OfferLines(Word Error);
    // Appends Data to the line buffer with backspaces and tabs applied.
    void EditLine(const std::string& Data);
    bool FLineMode = false;
    std::string FLineBuffer;
    std::string FLine;  // the line on offer
    bool FLineReceived = false;
};

class TCustomSyncSocket : public TCustomLineSocket {
public:
    explicit TCustomSyncSocket(TComponent* AOwner) : TCustomLineSocket(AOwner) {}
    // Handles messages until Flag is set (0) or the time-out passes, the
    // application terminates or a quit request is seen (12001). Timeout 0 waits without limit.
    int WaitUntilReady(const bool& Flag);
    // Clears Flag, runs Proc, then waits for Flag.
    int Synchronize(const std::function<void()>& Proc, bool& Flag);
    // Milliseconds; 0 means none.
    int Timeout = 0;
};

class TAsyncSocket : public TCustomSyncSocket {
public:
    explicit TAsyncSocket(TComponent* AOwner) : TCustomSyncSocket(AOwner) {}
};
