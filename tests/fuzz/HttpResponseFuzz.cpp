// Answers of a web server: the HTTP client's header and document handling,
// fed in pieces whose sizes the input chooses, with no connection behind it.
#include "FuzzSupport.h"

#include "Forms.h"
#include "HttpClient.h"

#include <QCoreApplication>

namespace {

// A client with no connection behind it: each request it makes waits to be
// "connected" by the loop below, which then plays the server's part.
class OfflineHttpClient : public THttpClient {
public:
    OfflineHttpClient() : THttpClient(nullptr) {}
    bool Pending = false;
    void Receive(const char* Data, int Len) { DataReceived(Data, Len); }
    void ConnectIfAsked() {
        QCoreApplication::processEvents();
        if (!Pending) return;
        Pending = false;
        // The request's lines are ready and the client waits for the answer
        // before it hands them to the socket, which has no connection to take them.
        try {
            SocketSessionConnected(GetCtrlSocket(), 0);
        } catch (const ESocketException&) {}
    }
    void ServerCloses() {
        TAsyncSocket* socket = GetCtrlSocket();
        if (socket->OnSessionClosed) socket->OnSessionClosed(socket, 0);
        ConnectIfAsked();
    }

protected:
    void Login() override { Pending = true; }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzStartApplication();
    return 0;
}

// The first byte picks the bounds and the request; then each piece is a byte
// giving its length (low seven bits, plus one) and whether the server closes
// the connection after it (high bit), followed by that many bytes of answer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    FuzzRead([&] {
        OfflineHttpClient client;
        client.URL = "http://example.invalid/dir/file.exe";
        const uint8_t mode = data[0];
        client.MaxHeaderSize = (mode & 1) ? 512 : 65536;
        client.MaxDocSize = (mode & 2) ? 1024 : 0;
        client.MaxRelocations = mode >> 6;
        TMemoryStream received;
        if (mode & 4) client.RcvdStream = &received;
        client.StartRequest((mode & 8) ? httpHEAD : httpGET);
        client.ConnectIfAsked();
        size_t at = 1;
        while (at < size) {
            const uint8_t piece = data[at++];
            const size_t take = std::min<size_t>(size - at, size_t(piece & 0x7f) + 1);
            client.Receive(reinterpret_cast<const char*>(data + at), int(take));
            at += take;
            if (piece & 0x80) client.ServerCloses();
        }
        client.ServerCloses();
        client.RcvdStream = nullptr;
    });
    // Messages still queued for the client that is gone are dropped here.
    QCoreApplication::processEvents();
    return 0;
}
