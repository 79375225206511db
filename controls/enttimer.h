#pragma once
// Pool of timed triggers sharing one system timer. The timer runs at a period
// that divides every trigger's interval (never below 55 ms); each tick fires
// the triggers whose interval has passed.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"

using TTriggerEvent = std::function<void(TObject* Sender, int Handle, int Interval, int ElapsedTime)>;

// The system timer and tick count the pool runs on; the window layer supplies
// one over its hidden window, tests a fake.
class TEntSystemTimer {
public:
    virtual ~TEntSystemTimer() = default;
    // Starts or restarts the periodic timer; false when the system refuses it.
    virtual bool SetTimer(uint32_t intervalMs) = 0;
    virtual void KillTimer() = 0;
    virtual uint32_t TickCount() = 0;
    // Set by the pool: run on each tick.
    std::function<void()> OnTick;
};

// The system timer on a hidden window of its own (identifier 1).
class TEntWindowTimer : public TEntSystemTimer {
public:
    TEntWindowTimer() = default;
    ~TEntWindowTimer() override;
    TEntWindowTimer(const TEntWindowTimer&) = delete;
    TEntWindowTimer& operator=(const TEntWindowTimer&) = delete;
    bool SetTimer(uint32_t intervalMs) override;
    void KillTimer() override;
    uint32_t TickCount() override { return GetTickCount(); }

private:
    HWND FWindow = 0;
};

struct TEntTriggerRec {
    int Handle = 0;
    uint32_t Reserved = 0;
    int ElapsedTime = 0;    // ms since the trigger was added, capped at INT32_MAX
    int Interval = 0;       // ms
    uint32_t LastTime = 0;  // tick count of the last firing or of creation
    TTriggerEvent OnTrigger;
    bool Enabled = true;
    bool Repeating = true;  // false: fire once, then remove
};

// The events receive the pool itself as their Sender.
class TEntTimerPool : public TComponent {
public:
    static constexpr uint32_t MinInterval = 55;

    // Without a timer the pool runs on a TEntWindowTimer.
    explicit TEntTimerPool(TComponent* AOwner, std::unique_ptr<TEntSystemTimer> timer = nullptr);
    ~TEntTimerPool() override;

    TTriggerEvent OnAllTriggers;
    std::string About() const { return "v4.05"; }

    // Adds a trigger and returns its handle.
    int Add(TTriggerEvent onTrigger, int interval, bool repeating);
    void SetEnabled(int handle, bool enabled);
    void Remove(int handle);
    int ActiveCount() const { return enabledCount_; }
    int Count() const { return static_cast<int>(triggers_.size()); }
    uint32_t TimerInterval() const { return interval_; }

    // The firing step, run on each tick of the system timer.
    virtual void DoTick();

private:
    void RecountEnabled();
    void ComputeInterval();
    void ResetTimer();
    void RemoveAt(size_t index);
    TEntTriggerRec* Find(int handle);

    std::unique_ptr<TEntSystemTimer> timer_;
    std::vector<TEntTriggerRec> triggers_;
    uint32_t interval_ = 0;
    int enabledCount_ = 0;
    int nextHandle_ = 1;
};
