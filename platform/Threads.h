#pragma once
// Worker threads in the class library's shape: Execute runs on its own thread,
// Synchronize runs a call on the GUI thread and waits for it, Terminate asks
// the loop to stop, WaitFor joins. A thread never outlives its object: the
// destructor of every derived class must call Stop() before its members go,
// since Execute may still be using them.

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "Classes.h"

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
public:
    // Made suspended: Execute may run only once the derived object is complete.
    TThread();
    ~TThread() override;

    // Starts the thread; a running one that paused in CheckSuspended goes on.
    void Resume();
    void Start() { Resume(); }
    // Asks the thread to pause at its next CheckSuspended.
    void Suspend();
    bool GetSuspended() const;
    void SetSuspended(bool Value) { Value ? Suspend() : Resume(); }
    void Terminate();
    bool Terminated() const;
    // Waits for Execute to end, running the thread's synchronized calls
    // meanwhile when called on the GUI thread; answers ReturnValue.
    int WaitFor();
    bool Finished() const;
    // Terminate, Resume and WaitFor: what every owner does before freeing.
    void Stop();

    // Stored; the scheduler's priorities need privileges a desktop program lacks.
    TThreadPriority Priority = tpNormal;
    int ReturnValue = 0;
    // Runs on the GUI thread after Execute has ended (through the message loop).
    TNotifyEvent OnTerminate;
    // The exception Execute ended with, if any.
    std::exception_ptr FatalException() const;

    // Runs Method on the GUI thread and waits for it; an exception it raises
    // comes back here. Returns at once, without running it, once the thread is
    // terminated and its owner waits for it.
    void Synchronize(const std::function<void()>& Method);

protected:
    virtual void Execute() = 0;
    // Blocks while the thread is suspended (and not terminated).
    void CheckSuspended();
    // Sleeps up to Milliseconds; wakes early on Terminate or Resume. False when terminated.
    bool Sleep(unsigned Milliseconds);

private:
    enum class TSyncWait { UntilTerminated, Always };
    void Run();
    void SyncCall(const std::function<void()>& Method, TSyncWait Wait);
    mutable std::mutex FLock;
    std::condition_variable FWake;
    std::thread FThread;
    bool FStarted = false;
    bool FSuspended = true;
    bool FTerminated = false;
    bool FFinished = false;
    unsigned FWakeCount = 0;
    std::exception_ptr FFatal;
};

// Runs the synchronized calls waiting for the GUI thread; true when any ran.
// The message loop calls it; so does WaitFor on the GUI thread.
bool CheckSynchronize();
// Whether the caller runs on the GUI (main) thread.
bool IsMainThread();
