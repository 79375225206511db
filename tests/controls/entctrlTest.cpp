#include <gtest/gtest.h>

#include <vector>

#include <QCoreApplication>

#include "FormReader.h"
#include "GuiTestApp.h"
#include "MsgBox.h"
#include "TypInfo.h"
#include "entctrl.h"
#include "entmsgs.h"

TEST(EntController, EpochAcceptsOnlySupportedYears) {
    TEntController c(nullptr);
    EXPECT_EQ(c.GetEpoch() % 100, 0);
    struct Row {
        int set, expected;
    } rows[] = {{1900, 1900}, {1599, 1900}, {4000, 1900}, {1600, 1600}, {3999, 3999}};
    for (const auto& r : rows) {
        c.SetEpoch(r.set);
        EXPECT_EQ(c.GetEpoch(), r.expected) << r.set;
    }
    c.OnGetEpoch = [](TObject*, int& epoch) { epoch = 1950; };
    EXPECT_EQ(c.GetEpoch(), 1950);
}

TEST(EntController, DefaultsAndCommands) {
    TEntController c(nullptr);
    EXPECT_EQ(c.EntryOptions.Bits(), 56u);
    EXPECT_TRUE(c.InsertMode);
    EXPECT_FALSE(c.ErrorPending);
    EXPECT_EQ(c.EntryCommands()->TableCount(), 3);
    EXPECT_EQ(c.TimerPool()->About(), "v4.05");
    EXPECT_EQ(DefaultController(), DefaultController());
}

TEST(EntController, ErrorsGoToOnErrorElseAMessageBox) {
    TEntController c(nullptr);
    std::vector<std::string> shown;
    auto previous = SetMessageBoxHook([&](const std::string& text, const std::string&, unsigned flags) {
        shown.push_back(text);
        EXPECT_EQ(flags & MB_ICONERROR, MB_ICONERROR);
        return IDOK;
    });
    c.DoOnError(&c, 256, LookupMessageText(30179));
    int seen = 0;
    c.OnError = [&](TObject* sender, uint16_t code, const std::string&) {
        seen = code;
        EXPECT_EQ(sender, &c);
    };
    c.DoOnError(&c, 258, "x");
    SetMessageBoxHook(previous);
    EXPECT_EQ(shown, std::vector<std::string>{"Value is not within required range"});
    EXPECT_EQ(seen, 258);
}

TEST(EntController, EditNoticesArePostedThroughTheHiddenWindow) {
    EnsureGuiApp();
    TEntController c(nullptr);
    auto field = std::make_unique<TWinControl>(nullptr);
    TWinControl other(nullptr);
    field->Handle();
    other.Handle();
    std::vector<std::pair<TObject*, TWinControl*>> pre, post;
    c.OnPreEdit = [&](TObject* s, TWinControl* o) { pre.emplace_back(s, o); };
    c.OnPostEdit = [&](TObject* s, TWinControl* o) { post.emplace_back(s, o); };
    c.DoOnPreEdit(field.get(), &other);
    c.DoOnPostEdit(field.get(), nullptr);
    EXPECT_TRUE(pre.empty() && post.empty()) << "nothing runs before the messages arrive";
    QCoreApplication::processEvents();
    ASSERT_EQ(pre.size(), 1u);
    EXPECT_EQ(pre[0].first, field.get());
    EXPECT_EQ(pre[0].second, &other);
    ASSERT_EQ(post.size(), 1u);
    EXPECT_EQ(post[0].second, nullptr);

    // a field destroyed while its notice waits is not reported
    c.DoOnPostEdit(field.get(), &other);
    field.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(post.size(), 1u);

    other.Hide();
    c.PostSetFocus(&other);
    EXPECT_FALSE(other.GetVisible());
    QCoreApplication::processEvents();
    EXPECT_TRUE(other.GetVisible()) << "the refocus message shows the control";

    EXPECT_FALSE(c.DoIsSpecialControl(&other));
    c.OnIsSpecialControl = [](TObject*, TWinControl*, bool& s) { s = true; };
    EXPECT_TRUE(c.DoIsSpecialControl(&other));
}

TEST(EntController, TimerTriggersReachOnTimerTrigger) {
    struct Manual : TEntSystemTimer {
        uint32_t* now;
        explicit Manual(uint32_t* n) : now(n) {}
        bool SetTimer(uint32_t) override { return true; }
        void KillTimer() override {}
        uint32_t TickCount() override { return *now; }
    };
    uint32_t now = 0;
    TEntController c(nullptr, std::make_unique<Manual>(&now));
    int handle = -1;
    // forwarded with the pool's own arguments
    c.OnTimerTrigger = [&](TObject* sender, int h, int, int) {
        handle = h;
        EXPECT_EQ(sender, c.TimerPool());
    };
    const int h = c.TimerPool()->Add(nullptr, 100, true);
    now = 100;
    c.TimerPool()->DoTick();
    EXPECT_EQ(handle, h);
}

namespace {
class TEntTestRoot : public TComponent {
public:
    using TComponent::TComponent;
};
}  // namespace

TEST(EntController, ReadFromAWindowDefinition) {
    RegisterEntControllerClasses();
    static bool registered = false;
    if (!registered) {
        Published<TEntTestRoot>("TEntTestRoot", "");
        registered = true;
    }
    TEntTestRoot root(nullptr);
    ReadComponentFromText(&root,
                          "object frmMain: TEntTestRoot\n"
                          "  object EntController1: TEntController\n"
                          "    EntryCommands.TableList = (\n"
                          "      'Default'\n"
                          "      True\n"
                          "      (\n"
                          "        1114\n"  // Ctrl+Z: 90 | 4 << 8, removed
                          "        0)\n"
                          "      'WordStar'\n"
                          "      False\n"
                          "      ()\n"
                          "      'Mine'\n"
                          "      True\n"
                          "      (\n"
                          "        1105\n"  // Ctrl+Q, no second key
                          "        300))\n"
                          "    Epoch = 1900\n"
                          "    EntryOptions = [efoAutoSelect]\n"
                          "  end\n"
                          "end\n",
                          THandlerTable{});
    auto* c = dynamic_cast<TEntController*>(root.FindComponent("EntController1"));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->GetEpoch(), 1900);
    EXPECT_EQ(c->EntryOptions, TEntEntryOptions{efoAutoSelect});
    TEntCommandProcessor* p = c->EntryCommands();
    ASSERT_EQ(p->TableCount(), 3);
    EXPECT_EQ(p->Tables(0)->Count(), 63);
    EXPECT_EQ(p->Tables(0)->IndexOf({'Z', ssfCtrl, 0, 0, 0}), -1);
    EXPECT_EQ(p->Tables(1)->Count(), 40);
    EXPECT_EQ(p->Tables(2)->TableName, "Mine");
    EXPECT_EQ(p->TranslateKey('Q', ssfCtrl), 300);
}
