#pragma once
// A lock that one process of the user holds at a time, found by a name: a
// file held with flock in the user's runtime folder, beside a local socket on
// which the holder hears later starts ask it to come to the front.

#include <functional>
#include <memory>
#include <string>

class TInstanceLock {
public:
    enum class TAcquire { Taken, HeldElsewhere, NoLockFile };

    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // Tries to take the lock of Name. When taken, OnActivationRequest runs from
    // the event loop each time a later start asks for the holder; Result says
    // why nothing was returned otherwise.
    static std::unique_ptr<TInstanceLock> TryAcquire(const std::string& Name, std::function<void()> OnActivationRequest,
                                                     TAcquire& Result);
    // Asks the holder of Name to come to the front, waiting at most half a
    // second to connect and to send.
    static void RequestActivation(const std::string& Name);

private:
    struct TState;
    explicit TInstanceLock(std::unique_ptr<TState> State);
    std::unique_ptr<TState> FState;
};
