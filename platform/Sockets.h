#pragma once
// IPv4 sockets in the manner of the platform's sockets library: non-blocking
// POSIX sockets whose readiness arrives as messages posted to a message target,
// and host-name lookup on a worker thread whose answer is posted too.
//
// Readiness follows the platform's re-enabling rules: FD_READ is posted once and
// again only after the next SocketRecv; FD_WRITE after the connection is up and
// again only after a SocketSend that would have blocked; FD_CONNECT once per
// connect; FD_CLOSE once, when the peer has closed and its data has been read.
// The message carries the socket in WParam and MakeLParam(event, error) in LParam.
//
// Error numbers are the platform's (10035 would block, 10061 refused, ...).

#include <cstdint>
#include <string>
#include <vector>

#include "Messages.h"

using TSocket = intptr_t;
inline constexpr TSocket INVALID_SOCKET = -1;

enum : unsigned { FD_READ = 1, FD_WRITE = 2, FD_OOB = 4, FD_ACCEPT = 8, FD_CONNECT = 16, FD_CLOSE = 32 };
enum : int { SOCK_STREAM_TYPE = 1, SOCK_DGRAM_TYPE = 2 };
enum : int { SD_RECEIVE = 0, SD_SEND = 1, SD_BOTH = 2 };

enum : int {
    WSAEINTR = 10004,
    WSAEBADF = 10009,
    WSAEACCES = 10013,
    WSAEFAULT = 10014,
    WSAEINVAL = 10022,
    WSAEMFILE = 10024,
    WSAEWOULDBLOCK = 10035,
    WSAEINPROGRESS = 10036,
    WSAEALREADY = 10037,
    WSAENOTSOCK = 10038,
    WSAEDESTADDRREQ = 10039,
    WSAEMSGSIZE = 10040,
    WSAEPROTOTYPE = 10041,
    WSAENOPROTOOPT = 10042,
    WSAEPROTONOSUPPORT = 10043,
    WSAESOCKTNOSUPPORT = 10044,
    WSAEOPNOTSUPP = 10045,
    WSAEPFNOSUPPORT = 10046,
    WSAEAFNOSUPPORT = 10047,
    WSAEADDRINUSE = 10048,
    WSAEADDRNOTAVAIL = 10049,
    WSAENETDOWN = 10050,
    WSAENETUNREACH = 10051,
    WSAENETRESET = 10052,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOBUFS = 10055,
    WSAEISCONN = 10056,
    WSAENOTCONN = 10057,
    WSAESHUTDOWN = 10058,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSAENAMETOOLONG = 10063,
    WSAEHOSTDOWN = 10064,
    WSAEHOSTUNREACH = 10065,
    WSANOTINITIALISED = 10093,
    WSAHOST_NOT_FOUND = 11001,
    WSATRY_AGAIN = 11002,
    WSANO_RECOVERY = 11003,
    WSANO_DATA = 11004,
};

// The platform's number for a POSIX errno value.
int SocketErrorFromErrno(int Errno);
// The last error of a socket call on this thread, and its setter.
int SocketLastError();
void SocketSetLastError(int Error);

// A new non-blocking socket of the type (SOCK_STREAM_TYPE, SOCK_DGRAM_TYPE); INVALID_SOCKET on failure.
TSocket SocketCreate(int Type, int Protocol);
// Each returns 0 on success, -1 with SocketLastError set otherwise. Addresses and
// ports are in network byte order.
int SocketConnect(TSocket S, uint32_t Addr, uint16_t Port);
int SocketBind(TSocket S, uint32_t Addr, uint16_t Port);
int SocketLocalName(TSocket S, uint32_t& Addr, uint16_t& Port);
int SocketPeerName(TSocket S, uint32_t& Addr, uint16_t& Port);
int SocketShutdown(TSocket S, int How);
int SocketClose(TSocket S);
// Options: SO_REUSEADDR, SO_KEEPALIVE, TCP_NODELAY as on/off; linger with its seconds.
enum TSocketOption { soReuseAddr, soKeepAlive, soTcpNoDelay, soBroadcast };
int SocketSetOption(TSocket S, TSocketOption Option, bool On);
int SocketSetLinger(TSocket S, bool On, int Seconds);
// Bytes sent or received (0 from SocketRecv: the peer closed), -1 with SocketLastError.
int SocketSend(TSocket S, const void* Data, int Length);
int SocketRecv(TSocket S, void* Data, int Length);
int SocketSendTo(TSocket S, const void* Data, int Length, uint32_t Addr, uint16_t Port);
int SocketRecvFrom(TSocket S, void* Data, int Length, uint32_t& Addr, uint16_t& Port);
// Listening: FD_ACCEPT is posted when a connection waits, and again after each SocketAccept.
int SocketListen(TSocket S, int Backlog);
// The waiting connection as a new non-blocking socket; INVALID_SOCKET with SocketLastError.
TSocket SocketAccept(TSocket S, uint32_t& Addr, uint16_t& Port);
// Joins a multicast group (network order) on the default interface.
int SocketJoinGroup(TSocket S, uint32_t Group);
int SocketSetMulticastTtl(TSocket S, int Ttl);
// Bytes waiting to be read, -1 with SocketLastError on failure.
int SocketBytesAvailable(TSocket S);

// Posts Msg to Target for each event of Events as it happens; Events 0 stops.
// Returns 0, or -1 (WSAENOTSOCK) for a socket not made by SocketCreate.
int SocketAsyncSelect(TSocket S, HWND Target, unsigned Msg, unsigned Events);

// Starts looking up Host on a worker thread and returns the lookup's id (never 0).
// When done, Msg is posted to Target with WParam = the id and LParam =
// MakeLParam(0, error); the addresses are then taken with SocketTakeLookup.
intptr_t SocketLookupHost(const std::string& Host, HWND Target, unsigned Msg);
// The addresses (network order) found by a finished lookup; each answer is taken once.
std::vector<uint32_t> SocketTakeLookup(intptr_t Lookup);
// Starts finding the host name of an address (network order) on a worker thread;
// answered like SocketLookupHost, the name then taken with SocketTakeLookupName.
intptr_t SocketLookupAddr(uint32_t Addr, HWND Target, unsigned Msg);
std::string SocketTakeLookupName(intptr_t Lookup);
// Forgets a lookup: its answer is never posted.
void SocketCancelLookup(intptr_t Lookup);
// A blocking lookup for callers that need the answer at once; 0 or the error.
int SocketLookupHostNow(const std::string& Host, std::vector<uint32_t>& Addrs);
// Port of a service name ("http") for a protocol ("tcp"), network order; 0 when unknown.
uint16_t SocketServicePort(const std::string& Name, const std::string& Proto);
// Number of a protocol name ("tcp" gives 6); -1 when unknown.
int SocketProtocolNumber(const std::string& Name);

// Dotted text of an address in network order.
std::string SocketAddrText(uint32_t Addr);
uint16_t SocketHostToNet16(uint16_t Value);
uint16_t SocketNetToHost16(uint16_t Value);
