#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "entmsgs.h"
#include "enttimer.h"

namespace {

struct FakeTimer : TEntSystemTimer {
    uint32_t* now;
    uint32_t* running;
    bool refuse = false;
    FakeTimer(uint32_t* n, uint32_t* r) : now(n), running(r) {}
    bool SetTimer(uint32_t interval) override {
        if (refuse) return false;
        *running = interval;
        return true;
    }
    void KillTimer() override { *running = 0; }
    uint32_t TickCount() override { return *now; }
};

struct PoolFixture : ::testing::Test {
    uint32_t now = 1000;
    uint32_t running = 0;
    FakeTimer* timer = nullptr;
    std::unique_ptr<TEntTimerPool> pool;
    void SetUp() override {
        auto t = std::make_unique<FakeTimer>(&now, &running);
        timer = t.get();
        pool = std::make_unique<TEntTimerPool>(nullptr, std::move(t));
    }
};

}  // namespace

TEST_F(PoolFixture, IntervalDividesEveryTrigger) {
    struct Row {
        std::vector<int> intervals;
        uint32_t expected;
    } rows[] = {
        {{1000, 300}, 100}, {{40, 90}, 55}, {{1000}, 1000}, {{500, 250}, 250}, {{20}, 55}, {{700, 300}, 100},
    };
    for (const auto& r : rows) {
        SetUp();
        for (int i : r.intervals) pool->Add(nullptr, i, true);
        EXPECT_EQ(pool->TimerInterval(), r.expected) << r.intervals[0];
        EXPECT_EQ(running, r.expected);
        for (int i : r.intervals) EXPECT_EQ(i % r.expected == 0 || r.expected == 55, true);
    }
}

TEST_F(PoolFixture, NoEnabledTriggerStopsTheTimer) {
    int a = pool->Add(nullptr, 1000, true);
    EXPECT_EQ(pool->ActiveCount(), 1);
    pool->SetEnabled(a, false);
    EXPECT_EQ(pool->ActiveCount(), 0);
    EXPECT_EQ(pool->TimerInterval(), 0u);
    EXPECT_EQ(running, 0u);
    pool->Remove(a);
    pool->Remove(12345);  // unknown handle: nothing happens
    EXPECT_EQ(pool->Count(), 0);
}

TEST_F(PoolFixture, TicksFireDueTriggersAndDropOneShots) {
    std::vector<int> fired;
    int allCalls = 0;
    pool->OnAllTriggers = [&](TObject* sender, int, int, int) {
        ++allCalls;
        EXPECT_EQ(sender, pool.get());
    };
    int rep = pool->Add([&](TObject*, int h, int, int) { fired.push_back(h); }, 300, true);
    int once = pool->Add(
        [&](TObject*, int h, int, int elapsed) {
            fired.push_back(h);
            EXPECT_EQ(elapsed, 1000);
        },
        1000, false);
    now += 280;  // within 27 ms of 300: due
    pool->DoTick();
    EXPECT_EQ(fired, std::vector<int>{rep});
    now += 720;
    pool->DoTick();
    EXPECT_EQ(fired, (std::vector<int>{rep, rep, once}));
    EXPECT_EQ(allCalls, 3);
    EXPECT_EQ(pool->Count(), 1);
    EXPECT_EQ(pool->TimerInterval(), 300u);
}

TEST_F(PoolFixture, RefusedTimerRaises) {
    timer->refuse = true;
    EXPECT_THROW(pool->Add(nullptr, 100, true), ENoTimersAvailable);
}
