// The GUI thread is woken for synchronized calls through Qt's event queue.

#include "Threads.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <deque>
#include <memory>

namespace {

struct TSyncCall {
    std::function<void()> Method;
    std::exception_ptr Error;
    bool Done = false;
};

std::mutex gSyncLock;
std::condition_variable gSyncDone;
std::deque<std::shared_ptr<TSyncCall>> gSyncQueue;

const std::thread::id gMainThread = std::this_thread::get_id();

void WakeMainThread() {
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [] { CheckSynchronize(); }, Qt::QueuedConnection);
}

}  // namespace

bool IsMainThread() {
    if (QCoreApplication* app = QCoreApplication::instance()) return QThread::currentThread() == app->thread();
    return std::this_thread::get_id() == gMainThread;
}

bool CheckSynchronize() {
    bool any = false;
    for (;;) {
        std::shared_ptr<TSyncCall> call;
        {
            std::lock_guard<std::mutex> guard(gSyncLock);
            if (gSyncQueue.empty()) return any;
            call = gSyncQueue.front();
            gSyncQueue.pop_front();
        }
        try {
            call->Method();
        } catch (...) {
            call->Error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> guard(gSyncLock);
            call->Done = true;
        }
        gSyncDone.notify_all();
        any = true;
    }
}

TThread::TThread() = default;

TThread::~TThread() { Stop(); }

void TThread::Run() {
    {
        std::unique_lock<std::mutex> lock(FLock);
        FWake.wait(lock, [this] { return !FSuspended || FTerminated; });
    }
    try {
        if (!Terminated()) Execute();
    } catch (...) {
        std::lock_guard<std::mutex> guard(FLock);
        FFatal = std::current_exception();
    }
    if (OnTerminate) {
        try {
            SyncCall([this] { OnTerminate(this); }, TSyncWait::Always);
        } catch (...) {
            // Nowhere to report it: the thread has ended.
        }
    }
    {
        std::lock_guard<std::mutex> guard(FLock);
        FFinished = true;
    }
    FWake.notify_all();
    gSyncDone.notify_all();
}

void TThread::Resume() {
    std::lock_guard<std::mutex> guard(FLock);
    FSuspended = false;
    ++FWakeCount;
    // A thread terminated before it ever ran is not started just to end.
    if (!FStarted && !FTerminated) {
        FStarted = true;
        FThread = std::thread([this] { Run(); });
    }
    FWake.notify_all();
}

void TThread::Suspend() {
    std::lock_guard<std::mutex> guard(FLock);
    FSuspended = true;
}

bool TThread::GetSuspended() const {
    std::lock_guard<std::mutex> guard(FLock);
    return FSuspended;
}

void TThread::Terminate() {
    {
        std::lock_guard<std::mutex> guard(FLock);
        FTerminated = true;
    }
    FWake.notify_all();
    // A Synchronize waiting for the GUI thread gives up.
    gSyncDone.notify_all();
}

bool TThread::Terminated() const {
    std::lock_guard<std::mutex> guard(FLock);
    return FTerminated;
}

bool TThread::Finished() const {
    std::lock_guard<std::mutex> guard(FLock);
    return FFinished;
}

std::exception_ptr TThread::FatalException() const {
    std::lock_guard<std::mutex> guard(FLock);
    return FFatal;
}

void TThread::CheckSuspended() {
    std::unique_lock<std::mutex> lock(FLock);
    FWake.wait(lock, [this] { return !FSuspended || FTerminated; });
}

bool TThread::Sleep(unsigned Milliseconds) {
    std::unique_lock<std::mutex> lock(FLock);
    const unsigned wakes = FWakeCount;
    FWake.wait_for(lock, std::chrono::milliseconds(Milliseconds), [&] { return FTerminated || FWakeCount != wakes; });
    return !FTerminated;
}

int TThread::WaitFor() {
    {
        std::lock_guard<std::mutex> guard(FLock);
        if (!FStarted) return ReturnValue;
    }
    if (IsMainThread()) {
        // The thread may be waiting in Synchronize for this very thread.
        for (;;) {
            CheckSynchronize();
            std::unique_lock<std::mutex> lock(FLock);
            if (FWake.wait_for(lock, std::chrono::milliseconds(5), [this] { return FFinished; })) break;
        }
    } else {
        std::unique_lock<std::mutex> lock(FLock);
        FWake.wait(lock, [this] { return FFinished; });
    }
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) FThread.join();
    return ReturnValue;
}

void TThread::Stop() {
    Terminate();
    Resume();
    WaitFor();
}

void TThread::Synchronize(const std::function<void()>& Method) { SyncCall(Method, TSyncWait::UntilTerminated); }

void TThread::SyncCall(const std::function<void()>& Method, TSyncWait Wait) {
    if (IsMainThread()) {
        Method();
        return;
    }
    auto call = std::make_shared<TSyncCall>();
    call->Method = Method;
    {
        std::lock_guard<std::mutex> guard(gSyncLock);
        gSyncQueue.push_back(call);
    }
    WakeMainThread();
    std::unique_lock<std::mutex> lock(gSyncLock);
    gSyncDone.wait(lock, [&] { return call->Done || (Wait == TSyncWait::UntilTerminated && Terminated()); });
    if (!call->Done) {
        // Terminated while waiting: the call must not run once this returns.
        auto it = std::find(gSyncQueue.begin(), gSyncQueue.end(), call);
        if (it != gSyncQueue.end()) {
            gSyncQueue.erase(it);
            return;
        }
        // Already running on the GUI thread: let it finish.
        gSyncDone.wait(lock, [&] { return call->Done; });
    }
    if (call->Error) std::rethrow_exception(call->Error);
}
