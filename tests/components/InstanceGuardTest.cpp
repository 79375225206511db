#include <gtest/gtest.h>

#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "Forms.h"
#include "GuiTestApp.h"
#include "InstanceGuard.h"

namespace {

class InstanceGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        name = "guard-test-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        // Lock files and sockets go to a folder of the test's own.
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        savedRuntime = old ? old : "";
        runtime = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(runtime);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void TearDown() override {
        Application->ResetTerminated();
        Application->ShowMainForm = true;
        TInstanceGuard::SetGuardsEnabled(true);
        if (savedRuntime.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
        std::filesystem::remove_all(runtime);
    }
    std::unique_ptr<TInstanceGuard> Guard(const std::string& instance) {
        auto g = std::make_unique<TInstanceGuard>(nullptr);
        g->InstanceName = instance;
        return g;
    }
    std::string name;
    std::string savedRuntime;
    std::filesystem::path runtime;
};

TEST_F(InstanceGuardTest, SecondStartAsksTheFirstToComeForwardAndEnds) {
    auto first = Guard(name);
    int requests = 0;
    first->OnSwitchRequest = [&](TObject*) { ++requests; };
    first->Loaded();
    ASSERT_TRUE(first->IsFirstInstance());
    EXPECT_FALSE(Application->Terminated());

    auto second = Guard(name);
    int alreadyExist = 0;
    second->AlreadyExist = [&](TObject* Sender) {
        EXPECT_EQ(Sender, second.get());
        ++alreadyExist;
    };
    second->Loaded();
    EXPECT_FALSE(second->IsFirstInstance());
    EXPECT_EQ(alreadyExist, 1);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(Application->ShowMainForm);
    EXPECT_TRUE(QTest::qWaitFor([&] { return requests == 1; }, 2000));
}

TEST_F(InstanceGuardTest, WithoutSwitchingTheFirstIsLeftAlone) {
    auto first = Guard(name);
    int requests = 0;
    first->OnSwitchRequest = [&](TObject*) { ++requests; };
    first->Check();
    auto second = Guard(name);
    second->SwitchToPrevious = false;
    second->Check();
    EXPECT_FALSE(second->IsFirstInstance());
    QTest::qWait(50);
    EXPECT_EQ(requests, 0);
}

TEST_F(InstanceGuardTest, DifferentNamesDoNotBlockAndAFreedLockIsFreeAgain) {
    auto a = Guard(name + "-a");
    auto b = Guard(name + "-b");
    a->Check();
    b->Check();
    EXPECT_TRUE(a->IsFirstInstance());
    EXPECT_TRUE(b->IsFirstInstance());
    a.reset();
    auto again = Guard(name + "-a");
    again->Check();
    EXPECT_TRUE(again->IsFirstInstance());
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(InstanceGuardTest, LongTitlesAreCutAndSwitchedOffGuardsNeverBlock) {
    auto g = Guard(std::string(300, 'x'));
    EXPECT_EQ(g->LockName().size(), 256u);
    // The cut never splits a character.
    auto u = Guard(std::string(255, 'x') + "\xC3\xA9");
    EXPECT_EQ(u->LockName().size(), 255u);

    // Without a title there is nothing to tell programs apart by.
    {
        const std::string title = Application->GetTitle();
        Application->SetTitle("");
        auto a = Guard("");
        auto b = Guard("");
        a->Check();
        b->Check();
        Application->SetTitle(title);
        EXPECT_TRUE(b->IsFirstInstance());
    }

    TInstanceGuard::SetGuardsEnabled(false);
    auto first = Guard(name);
    auto second = Guard(name);
    first->Check();
    second->Check();
    EXPECT_TRUE(second->IsFirstInstance());
    EXPECT_FALSE(Application->Terminated());
}

}  // namespace
