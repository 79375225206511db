// Posting, sending, hidden targets and timers.

#include "Controls.h"
#include "ControlsPrivate.h"
#include "Forms.h"
#include "GuiTestApp.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApp(); }
    static void Pump() { QCoreApplication::processEvents(); }
};

// A control that records the user messages it receives.
class Recorder : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<std::pair<unsigned, WPARAM>> Got;
    void WndProc(TMessage& m) override {
        if (m.Msg >= WM_USER && m.Msg < WM_APP) Got.emplace_back(m.Msg, m.WParam);
        TWinControl::WndProc(m);
    }
};

TEST_F(MessagesTest, PostedMessagesArriveFirstInFirstOutAfterTheCaller) {
    std::vector<WPARAM> got;
    HWND h = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_USER + 1) got.push_back(m.WParam);
    });
    for (WPARAM i = 0; i < 5; ++i) ASSERT_TRUE(PostMessage(h, WM_USER + 1, i, 0));
    EXPECT_TRUE(got.empty()) << "posting must not deliver at once";
    Pump();
    EXPECT_EQ(got, (std::vector<WPARAM>{0, 1, 2, 3, 4}));
    DeallocateHWnd(h);
}

TEST_F(MessagesTest, SendMessageDeliversAtOnceAndReturnsTheResult) {
    HWND h = AllocateHWnd([](TMessage& m) { m.Result = LRESULT(m.WParam + m.LParam); });
    EXPECT_EQ(SendMessage(h, WM_USER, 40, 2), 42);
    DeallocateHWnd(h);
    EXPECT_EQ(SendMessage(h, WM_USER, 40, 2), 0);
    EXPECT_FALSE(PostMessage(h, WM_USER, 0, 0));
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(MessagesTest, MessagesForADestroyedTargetAreDropped) {
    int delivered = 0;
    HWND h = AllocateHWnd([&](TMessage&) { ++delivered; });
    PostMessage(h, WM_USER, 0, 0);
    DeallocateHWnd(h);

    auto* control = new Recorder(nullptr);
    PostMessage(control, WM_USER + 7, 1, 0);
    HWND id = control->TargetId();
    delete control;
    // A later target never inherits the id of a destroyed one.
    auto* other = new Recorder(nullptr);
    EXPECT_NE(other->TargetId(), id);
    Pump();
    EXPECT_EQ(delivered, 0);
    EXPECT_TRUE(other->Got.empty());
    delete other;
}

TEST_F(MessagesTest, PostedMessagesAreDeliveredInsideAModalLoop) {
    auto* form = new TForm(nullptr);
    std::vector<WPARAM> got;
    HWND h = AllocateHWnd([&](TMessage& m) {
        got.push_back(m.WParam);
        // The last one ends the modal loop; it could only arrive through that loop.
        if (m.WParam == 3) form->SetModalResult(mrOk);
    });
    for (WPARAM i = 1; i <= 3; ++i) PostMessage(h, WM_USER, i, 0);
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(got, (std::vector<WPARAM>{1, 2, 3}));
    DeallocateHWnd(h);
    delete form;
}

TEST_F(MessagesTest, PostedMessagesReachAModalLoopOpenedByAPostedMessage) {
    TForm outer(nullptr), inner(nullptr);
    std::vector<std::pair<WPARAM, int>> got;  // message and modal depth at delivery
    int depth = 0;
    HWND h = 0;
    h = AllocateHWnd([&](TMessage& m) {
        got.emplace_back(m.WParam, depth);
        if (m.WParam == 1) {
            ++depth;
            inner.ShowModal();  // opened while the queue still holds 2 and 3
            --depth;
        } else if (m.WParam == 2) {
            PostMessage(h, WM_USER, 4, 0);
        } else if (m.WParam == 4) {
            inner.SetModalResult(mrOk);
        } else if (m.WParam == 3) {
            outer.SetModalResult(mrOk);
        }
    });
    QueueCall([&] {
        ++depth;
        for (WPARAM i = 1; i <= 3; ++i) PostMessage(h, WM_USER, i, 0);
    });
    EXPECT_EQ(outer.ShowModal(), mrOk);
    // Everything after 1 arrives inside the inner loop, first in, first out:
    // 4, posted there, after the 2 and 3 that were waiting already.
    EXPECT_EQ(got, (std::vector<std::pair<WPARAM, int>>{{1, 1}, {2, 2}, {3, 2}, {4, 2}}));
    DeallocateHWnd(h);
}

TEST_F(MessagesTest, TimerDeliversWmTimerWithItsIdUntilKilled) {
    std::vector<WPARAM> ids;
    HWND h = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER) ids.push_back(m.WParam);
    });
    EXPECT_EQ(SetTimer(h, 7, 10), 7u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ids.size() >= 2; }, 2000));
    EXPECT_EQ(ids.front(), 7);
    EXPECT_TRUE(KillTimer(h, 7));
    EXPECT_FALSE(KillTimer(h, 7));
    size_t seen = ids.size();
    QTest::qWait(30);
    EXPECT_EQ(ids.size(), seen);
    DeallocateHWnd(h);
    EXPECT_EQ(SetTimer(h, 1, 10), 0u) << "no timer for a target that is gone";
}

TEST_F(MessagesTest, TTimerRunsOnlyWhileEnabled) {
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    timer.OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        ++ticks;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }, 2000));
    timer.SetEnabled(false);
    int seen = ticks;
    QTest::qWait(30);
    EXPECT_EQ(ticks, seen);
}

TEST_F(MessagesTest, KeyDataCarriesAltAndTheLayerKnowsShiftAndCtrl) {
    SetInputState({ssShift, ssCtrl});
    EXPECT_EQ(KeyDataToShiftState(KF_ALTDOWN_BIT), (TShiftState{ssShift, ssCtrl, ssAlt}));
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_MENU), 0);
    EXPECT_EQ(GetKeyState(VK_NUMLOCK), 0) << "NumLock reads off where the display system cannot tell";
    SetInputState({});
    EXPECT_EQ(KeysToShiftState(MK_LBUTTON | MK_SHIFT), (TShiftState{ssLeft, ssShift}));
}

TEST(LockKeys, FollowTheModifierStateTheDisplaySystemReports) {
    const TLockKeys unknown{}, off{true, false, false}, num{true, true, false};
    struct Row {
        const char* what;
        TLockKeys before;
        bool tells;
        unsigned native;
        int key;
        bool press;
        TLockKeys after;
    } rows[] = {
        {"a platform that does not tell", unknown, false, 0x10, Qt::Key_A, true, unknown},
        {"NumLock on Mod2 of any key", unknown, true, 0x10, Qt::Key_A, true, num},
        {"CapsLock on Lock, on a release", unknown, true, 0x12, Qt::Key_5, false, {true, true, true}},
        {"pressing NumLock turns it on", off, true, 0x00, Qt::Key_NumLock, true, num},
        {"pressing NumLock again turns it off", num, true, 0x10, Qt::Key_NumLock, true, off},
        {"its release still shows the old state", off, true, 0x10, Qt::Key_NumLock, false, off},
        {"pressing CapsLock leaves NumLock", num, true, 0x10, Qt::Key_CapsLock, true, {true, true, true}},
    };
    for (const Row& r : rows) {
        TLockKeys got = LockKeysAfterKey(r.before, r.tells, r.native, r.key, r.press);
        EXPECT_EQ(got.Known, r.after.Known) << r.what;
        EXPECT_EQ(got.NumLock, r.after.NumLock) << r.what;
        EXPECT_EQ(got.CapsLock, r.after.CapsLock) << r.what;
    }
}

TEST_F(MessagesTest, TypedViewsReadAndWriteTheirMessage) {
    TMessage m;
    m.Msg = WM_MOUSEMOVE;
    m.LParam = MakeLParam(-5, 300);
    TWMMouse mouse(m);
    EXPECT_EQ(mouse.Pos(), (TPoint{-5, 300}));
    TWMKey key(m);
    key.SetCharCode(VK_RETURN);
    EXPECT_EQ(m.WParam, VK_RETURN);
    mouse.Result() = 9;
    EXPECT_EQ(m.Result, 9);
}

}  // namespace
