// Replaceable hooks: a default the window layer sets apart from a hook someone installed.

#include "DesktopHooks.h"
#include "Hooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using TAnswer = std::function<int()>;

TEST(HooksTest, DefaultAndInstalledHookStayApart) {
    TReplaceableHook<TAnswer> hook([] { return 1; });
    EXPECT_EQ(hook.Current()(), 1);

    // A default set while none is installed takes effect at once.
    hook.SetDefault([] { return 2; });
    EXPECT_EQ(hook.Current()(), 2);

    // An installed hook survives a later default, and the hook it replaced is handed back.
    TAnswer previous = hook.Replace([] { return 3; });
    EXPECT_EQ(previous(), 2);
    hook.SetDefault([] { return 4; });
    EXPECT_EQ(hook.Current()(), 3);

    // Empty restores the current default; an empty default restores the fallback.
    hook.Replace({});
    EXPECT_EQ(hook.Current()(), 4);
    hook.SetDefault({});
    EXPECT_EQ(hook.Current()(), 1);
}

TEST(HooksTest, ClipboardNeedsAllThreeFunctionsToReplaceIt) {
    std::string text;
    TClipboardHook own;
    own.GetText = [&] { return text; };
    own.SetText = [&](const std::string& s) { text = s; };
    TClipboardHook before = SetClipboardHook(own);  // HasText missing: the default stays
    Clipboard()->SetAsText("kept");
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(Clipboard()->GetAsText(), "kept");

    own.HasText = [&] { return !text.empty(); };
    SetClipboardHook(own);
    Clipboard()->SetAsText("own");
    EXPECT_EQ(text, "own");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
    SetClipboardHook(before);
}

TEST(HooksTest, InputBoxTakesTheAnswerAndKeepsTheDefaultWhenCancelled) {
    std::string asked;
    TInputQueryHook before = SetInputQueryHook([&](const std::string&, const std::string& prompt, std::string& value) {
        asked = prompt + ":" + value;
        value = "typed";
        return true;
    });
    EXPECT_EQ(InputBox("Caption", "Name", "preset"), "typed");
    EXPECT_EQ(asked, "Name:preset");
    // Without a person to answer (no display), the query counts as cancelled.
    SetInputQueryHook({});
    EXPECT_EQ(InputBox("Caption", "Name", "preset"), "preset");
    SetInputQueryHook(before);
}

}  // namespace
