#include "enttimer.h"

#include <algorithm>
#include <climits>

#include "entmsgs.h"

TEntWindowTimer::~TEntWindowTimer() {
    if (FWindow) {
        ::KillTimer(FWindow, 1);
        DeallocateHWnd(FWindow);
    }
}

bool TEntWindowTimer::SetTimer(uint32_t intervalMs) {
    if (!FWindow) {
        FWindow = AllocateHWnd([this](TMessage& m) {
            if (m.Msg == WM_TIMER && m.WParam == 1 && OnTick) OnTick();
        });
    }
    return ::SetTimer(FWindow, 1, intervalMs) != 0;
}

void TEntWindowTimer::KillTimer() {
    if (FWindow) ::KillTimer(FWindow, 1);
}

TEntTimerPool::TEntTimerPool(TComponent* AOwner, std::unique_ptr<TEntSystemTimer> timer)
    : TComponent(AOwner), timer_(timer ? std::move(timer) : std::make_unique<TEntWindowTimer>()) {
    timer_->OnTick = [this] { DoTick(); };
}

TEntTimerPool::~TEntTimerPool() {
    interval_ = 0;
    timer_->OnTick = nullptr;
    timer_->KillTimer();
}

TEntTriggerRec* TEntTimerPool::Find(int handle) {
    for (auto& t : triggers_)
        if (t.Handle == handle) return &t;
    return nullptr;
}

int TEntTimerPool::Add(TTriggerEvent onTrigger, int interval, bool repeating) {
    TEntTriggerRec t;
    t.Handle = nextHandle_++;
    t.Interval = std::max(interval, 1);
    t.LastTime = timer_->TickCount();
    t.OnTrigger = std::move(onTrigger);
    t.Repeating = repeating;
    triggers_.push_back(std::move(t));
    ResetTimer();
    return triggers_.back().Handle;
}

void TEntTimerPool::SetEnabled(int handle, bool enabled) {
    if (TEntTriggerRec* t = Find(handle); t && t->Enabled != enabled) {
        t->Enabled = enabled;
        if (enabled) t->LastTime = timer_->TickCount();
        ResetTimer();
    }
}

void TEntTimerPool::Remove(int handle) {
    for (size_t i = 0; i < triggers_.size(); ++i) {
        if (triggers_[i].Handle == handle) {
            RemoveAt(i);
            return;
        }
    }
}

void TEntTimerPool::RemoveAt(size_t index) {
    triggers_.erase(triggers_.begin() + static_cast<std::ptrdiff_t>(index));
    ResetTimer();
}

void TEntTimerPool::RecountEnabled() {
    enabledCount_ = static_cast<int>(
        std::count_if(triggers_.begin(), triggers_.end(), [](const TEntTriggerRec& t) { return t.Enabled; }));
}

void TEntTimerPool::ComputeInterval() {
    const uint32_t now = timer_->TickCount();
    // Signed arithmetic throughout: an overdue trigger (negative remaining
    // time) asks for the shortest period instead of wrapping to a huge one.
    int64_t interval = INT64_MAX;
    for (const auto& t : triggers_) {
        if (!t.Enabled) continue;
        interval = std::min<int64_t>(interval, t.Interval);
        const int64_t since = now >= t.LastTime ? int64_t(now - t.LastTime) : int64_t(INT32_MAX);
        interval = std::min<int64_t>(interval, t.Interval - since);
    }
    if (interval == INT64_MAX) {
        interval_ = 0;
        return;
    }
    interval = std::max<int64_t>(interval, MinInterval);
    // Lower the period until it divides every trigger's interval.
    for (bool changed = true; changed && interval > MinInterval;) {
        changed = false;
        for (const auto& t : triggers_) {
            const int64_t rest = t.Interval % interval;
            if (rest != 0) {
                interval -= rest;
                changed = true;
                break;
            }
        }
    }
    interval_ = static_cast<uint32_t>(std::max<int64_t>(interval, MinInterval));
}

void TEntTimerPool::ResetTimer() {
    RecountEnabled();
    ComputeInterval();
    timer_->KillTimer();
    if (interval_ != 0 && enabledCount_ > 0 && !timer_->SetTimer(interval_)) throw ENoTimersAvailable();
}

void TEntTimerPool::DoTick() {
    const uint32_t now = timer_->TickCount();
    for (size_t i = 0; i < triggers_.size();) {
        TEntTriggerRec& t = triggers_[i];
        if (!t.Enabled) {
            ++i;
            continue;
        }
        // modular difference: right across the tick count's wrap-around
        const uint32_t elapsed = now - t.LastTime;
        if (int64_t(elapsed) < int64_t(t.Interval) - 27) {
            ++i;
            continue;
        }
        t.LastTime = now;
        t.ElapsedTime = static_cast<int>(std::min<int64_t>(int64_t(t.ElapsedTime) + elapsed, INT32_MAX));
        const int handle = t.Handle, interval = t.Interval, total = t.ElapsedTime;
        TTriggerEvent onTrigger = t.OnTrigger;
        if (!t.Repeating)
            RemoveAt(i);  // the walk goes on with the trigger that took its place
        else
            ++i;
        if (onTrigger) onTrigger(this, handle, interval, total);
        if (OnAllTriggers) OnAllTriggers(this, handle, interval, total);
    }
}
