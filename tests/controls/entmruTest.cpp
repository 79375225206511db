#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "GuiTestApp.h"
#include "Menus.h"
#include "entmru.h"
#include "entmsgs.h"
#include "entsupport.h"

namespace {

struct MenuFixture {
    std::unique_ptr<TForm> form;
    TMenuItem* reopen = nullptr;
    TMenuItem* clear = nullptr;
    TEntMenuMRU* mru = nullptr;

    MenuFixture() {
        EnsureGuiApp();
        form = std::make_unique<TForm>(nullptr);
        form->SetName("frmMain");
        auto* menu = new TMainMenu(form.get());
        reopen = new TMenuItem(form.get());
        reopen->SetName("mnuFileReopen");
        menu->Items()->Add(reopen);
        clear = new TMenuItem(form.get());
        clear->SetName("mnuClearHistory");
        clear->SetCaption("Clear History");
        reopen->Add(clear);
        mru = new TEntMenuMRU(form.get());
        mru->SetName("mnuFileReopenMRU");
        mru->SetMaxItems(9);
        mru->SetOptions({moAddAccelerators, moStripPath});
        mru->SetMenuItem(reopen);
    }

    std::vector<std::string> Items() const {
        std::vector<std::string> out;
        for (int i = 0; i < mru->GetItems()->Count(); ++i) out.push_back(mru->GetItems()->Get(i));
        return out;
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (int i = 0; i < reopen->Count(); ++i) out.push_back(reopen->Items(i)->GetCaption());
        return out;
    }
};

using Names = std::vector<std::string>;

TEST(EntMenuMRU, AddKeepsOneEntryPerNameMostRecentFirst) {
    struct Row {
        const char* what;
        Names before;
        std::string added;
        Names after;
    } rows[] = {
        {"new name goes on top", {"b", "c"}, "a", {"a", "b", "c"}},
        {"name further down moves up in the new letter case", {"a", "b", "c"}, "C", {"C", "a", "b"}},
        {"name already first stays as it was", {"Abc", "b"}, "ABC", {"Abc", "b"}},
        {"tenth distinct name drops the oldest",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9"},
         "x",
         {"x", "1", "2", "3", "4", "5", "6", "7", "8"}},
    };
    for (const Row& r : rows) {
        MenuFixture f;
        for (auto it = r.before.rbegin(); it != r.before.rend(); ++it) f.mru->Add(*it);
        ASSERT_EQ(f.Items(), r.before) << r.what;
        f.mru->Add(r.added);
        EXPECT_EQ(f.Items(), r.after) << r.what;
    }
}

TEST(EntMenuMRU, MenuShowsNumberedFileNamesAboveTheOwnItems) {
    MenuFixture f;
    f.mru->Add("/home/u/loans/b.qvd");
    f.mru->Add("C:\\Data\\Loans\\a.qvd");
    EXPECT_EQ(f.Captions(), (Names{"&1 a.qvd", "&2 b.qvd", "Clear History"}));
    TMenuItem* first = f.reopen->Items(0);
    EXPECT_EQ(first->GetName(), "EntMRUmnuFileReopenMRU1");
    EXPECT_EQ(first->Hint, "C:\\Data\\Loans\\a.qvd");
    EXPECT_EQ(first->Tag, 0);

    // Rebuilding replaces the generated items instead of adding to them.
    f.mru->Add("/x/c.qvd");
    EXPECT_EQ(f.reopen->Count(), 4);
    f.mru->SetVisible(false);
    EXPECT_EQ(f.Captions(), (Names{"Clear History"}));
    f.mru->SetVisible(true);
    f.mru->Clear();
    EXPECT_EQ(f.Captions(), (Names{"Clear History"}));
}

TEST(EntMenuMRU, AcceleratorsRunFromDigitsToLettersThenStop) {
    MenuFixture f;
    EXPECT_EQ(f.mru->ItemCaption("/p/a.qvd", 9), "&9 a.qvd");
    EXPECT_EQ(f.mru->ItemCaption("/p/a.qvd", 10), "&A a.qvd");
    EXPECT_EQ(f.mru->ItemCaption("/p/a.qvd", 35), "&Z a.qvd");
    EXPECT_EQ(f.mru->ItemCaption("/p/a.qvd", 36), "a.qvd");
    f.mru->SetOptions({});
    EXPECT_EQ(f.mru->ItemCaption("/p/a.qvd", 1), "/p/a.qvd");
}

TEST(EntMenuMRU, LongPathsAreShortenedToTheMenuWidth) {
    MenuFixture f;
    f.mru->SetOptions({moAddAccelerators});
    f.mru->SetMaxMenuWidth(150);
    const std::string path = "/home/user/Documents/Real estate/2026/clients/refinance plan.qvd";
    const std::string caption = f.mru->ItemCaption(path, 1);
    ASSERT_EQ(caption.substr(0, 3), "&1 ");
    EXPECT_NE(caption.substr(3), path);
    EXPECT_LE(MenuFontMeasure().Width(caption.substr(3)), 150) << caption;
}

TEST(EntMenuMRU, SeparatorEntryTakesNoNumberAndSeparatorOptionAddsOne) {
    MenuFixture f;
    TStringList list;
    list.Add("/a/one");
    list.Add("-");
    list.Add("/a/two");
    f.mru->SetItems(&list);
    EXPECT_EQ(f.Captions(), (Names{"&1 one", "-", "&2 two", "Clear History"}));
    f.mru->SetOptions({moAddAccelerators, moStripPath, moAddSeparator});
    EXPECT_EQ(f.Captions(), (Names{"&1 one", "-", "&2 two", "-", "Clear History"}));
}

TEST(EntMenuMRU, LoweringMaxItemsTrimsAndNonPositiveValuesAreIgnored) {
    MenuFixture f;
    for (const char* n : {"e", "d", "c", "b", "a"}) f.mru->Add(n);
    f.mru->SetMaxItems(0);
    f.mru->SetMaxItems(-3);
    EXPECT_EQ(f.mru->GetMaxItems(), 9);
    f.mru->SetMaxItems(2);
    EXPECT_EQ(f.Items(), (Names{"a", "b"}));
    EXPECT_EQ(f.reopen->Count(), 3);
}

TEST(EntMenuMRU, ClickReportsTheFullTextThenMovesOrRemovesTheEntry) {
    MenuFixture f;
    for (const char* n : {"/p/c", "/p/b", "/p/a"}) f.mru->Add(n);
    std::string reported;
    TEntMRUClickAction wanted = caMoveToTop;
    f.mru->OnClick = [&](TObject* Sender, const std::string& Text, TEntMRUClickAction& Action) {
        EXPECT_EQ(Sender, f.mru);
        EXPECT_EQ(Action, caMoveToTop);
        reported = Text;
        Action = wanted;
    };
    f.reopen->Items(2)->Click();
    EXPECT_EQ(reported, "/p/c");
    EXPECT_EQ(f.Items(), (Names{"/p/c", "/p/a", "/p/b"}));

    wanted = caRemove;
    f.reopen->Items(1)->Click();
    EXPECT_EQ(reported, "/p/a");
    EXPECT_EQ(f.Items(), (Names{"/p/c", "/p/b"}));
    EXPECT_EQ(f.Captions(), (Names{"&1 c", "&2 b", "Clear History"}));
}

// Notes when a watched component is freed.
class FreeWatcher : public TComponent {
public:
    FreeWatcher() : TComponent(nullptr) {}
    bool freed = false;
    void Notification(TComponent* AComponent, TOperation Operation) override {
        if (Operation == opRemove && AComponent != this) freed = true;
        TComponent::Notification(AComponent, Operation);
    }
};

TEST(EntMenuMRU, ClickedItemOutlivesTheRebuildItsOwnClickCauses) {
    MenuFixture f;
    for (const char* n : {"/p/c", "/p/b", "/p/a"}) f.mru->Add(n);
    FreeWatcher watcher;
    TMenuItem* clicked = f.reopen->Items(2);
    clicked->FreeNotification(&watcher);
    bool aliveAfterRebuild = false;
    f.mru->OnClick = [&](TObject*, const std::string& Text, TEntMRUClickAction&) {
        f.mru->Add(Text);  // as reopening a file does
        aliveAfterRebuild = !watcher.freed;
    };
    clicked->Click();
    EXPECT_TRUE(aliveAfterRebuild);
    EXPECT_EQ(f.Items(), (Names{"/p/c", "/p/a", "/p/b"}));
    EXPECT_EQ(f.Captions(), (Names{"&1 c", "&2 a", "&3 b", "Clear History"}));
    Application->ProcessMessages();
    EXPECT_TRUE(watcher.freed);
}

TEST(EntMenuMRU, SplitListsRefuseAddAndAddSplitNeedsAMenuItem) {
    MenuFixture f;
    f.mru->SetStyle(msSplit);
    try {
        f.mru->Add("x");
        FAIL() << "Add on a split list must raise";
    } catch (const EMenuMRUError& e) {
        EXPECT_EQ(e.Message, "Invalid operation: Call AddSplit for split menus");
    }
    f.mru->SetMenuItem(nullptr);
    try {
        f.mru->AddSplit("x", apTop);
        FAIL() << "AddSplit without a menu item must raise";
    } catch (const EMenuMRUError& e) {
        EXPECT_EQ(e.Message, "No menu item assigned");
    }
    EXPECT_THROW(f.mru->AddSplit("x", apAnchor), EMenuMRUError);
}

TEST(EntMenuMRU, SplitHalvesAreKeptApartBySeparator) {
    MenuFixture f;
    f.mru->SetStyle(msSplit);
    f.mru->AddSplit("up1", apTop);
    f.mru->AddSplit("low1", apBottom);
    f.mru->AddSplit("up2", apTop);
    EXPECT_EQ(f.Items(), (Names{"up2", "up1", "-", "low1"}));
    f.mru->AddSplit("low2", apBottom);
    EXPECT_EQ(f.Items(), (Names{"up2", "up1", "-", "low2", "low1"}));
}

TEST(EntMenuMRU, RemovedMenuItemIsForgotten) {
    MenuFixture f;
    f.mru->Add("a");
    delete f.reopen;
    EXPECT_EQ(f.mru->GetMenuItem(), nullptr);
    f.mru->Add("b");  // no menu to rebuild, no crash
    EXPECT_EQ(f.Items(), (Names{"b", "a"}));
}

}  // namespace
