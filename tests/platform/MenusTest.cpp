// Menus: shortcut texts, the item tree, radio groups, shortcuts from keys, pop-ups.

#include "Menus.h"
#include "Forms.h"
#include "GuiTestApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MenusTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApp(); }
};

TEST_F(MenusTest, ShortCutTextRoundTrips) {
    struct Row {
        TShortCut Value;
        const char* Text;
    } rows[] = {
        {TShortCut('S' | scCtrl), "Ctrl+S"},
        {TShortCut('N' | scCtrl), "Ctrl+N"},
        {TShortCut(Word(VK_F5) | scShift | scCtrl), "Shift+Ctrl+F5"},
        {TShortCut(VK_DELETE), "Del"},
        {TShortCut(Word(VK_BACK) | scAlt), "Alt+BkSp"},
        {TShortCut(Word(VK_INSERT) | scShift), "Shift+Ins"},
        {TShortCut(VK_NEXT), "PgDn"},
        {TShortCut(VK_F1), "F1"},
        {TShortCut(VK_NUMPAD7), "Num 7"},
        {TShortCut('0' | scCtrl | scAlt), "Ctrl+Alt+0"},
    };
    for (auto& r : rows) {
        EXPECT_EQ(ShortCutToText(r.Value), r.Text);
        EXPECT_EQ(TextToShortCut(r.Text), r.Value) << r.Text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+shift+f5"), TShortCut(Word(VK_F5) | scShift | scCtrl)) << "any order and case";
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(ShortCut('O', {ssCtrl}), TShortCut('O' | scCtrl));
}

TEST_F(MenusTest, HotkeysAreMarkedWithAnAmpersand) {
    EXPECT_EQ(StripHotkey("E&xit"), "Exit");
    EXPECT_EQ(StripHotkey("Save &As ..."), "Save As ...");
    EXPECT_EQ(StripHotkey("R&&D"), "R&D");
    EXPECT_EQ(GetHotkey("E&xit"), U'X');
    EXPECT_EQ(GetHotkey("R&&D"), char32_t(0));
}

TEST_F(MenusTest, ItemsInsertAndDeleteAtAnIndexAndFreeTheirSubitems) {
    TMainMenu menu(nullptr);
    auto* file = new TMenuItem(nullptr);
    file->SetCaption("&File");
    menu.Items()->Add(file);
    auto* open = new TMenuItem(nullptr);
    auto* sep = new TMenuItem(nullptr);
    auto* exit = new TMenuItem(nullptr);
    open->SetCaption("&Open");
    sep->SetCaption("-");
    exit->SetCaption("E&xit");
    file->Add(open);
    file->Add(exit);
    file->Insert(1, sep);
    EXPECT_EQ(file->Count(), 3);
    EXPECT_EQ(file->Items(1), sep);
    EXPECT_TRUE(sep->IsLine());
    EXPECT_EQ(exit->GetMenuIndex(), 2);
    EXPECT_EQ(file->Find("Exit"), exit);
    EXPECT_EQ(exit->GetParentMenu(), &menu);
    file->Delete(1);
    EXPECT_EQ(file->IndexOf(sep), -1);
    EXPECT_EQ(sep->GetParent(), nullptr) << "Delete takes an item out without freeing it";
    delete sep;
    EXPECT_THROW(file->Items(5), EMenuError);
    EXPECT_THROW(file->Insert(0, open), EMenuError) << "an item has one place";
}

TEST_F(MenusTest, CheckingARadioItemUnchecksItsGroupOnly) {
    TMenuItem parent(nullptr);
    TMenuItem* items[4];
    for (int i = 0; i < 4; ++i) {
        items[i] = new TMenuItem(nullptr);
        items[i]->SetRadioItem(true);
        items[i]->SetGroupIndex(i < 3 ? 1 : 2);
        parent.Add(items[i]);
    }
    items[0]->SetChecked(true);
    items[3]->SetChecked(true);
    items[1]->SetChecked(true);
    EXPECT_FALSE(items[0]->GetChecked());
    EXPECT_TRUE(items[1]->GetChecked());
    EXPECT_TRUE(items[3]->GetChecked()) << "another group keeps its check";
}

TEST_F(MenusTest, AShortCutKeyClicksTheEnabledItemOfTheFormsMenu) {
    TForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    auto* file = new TMenuItem(&form);
    auto* save = new TMenuItem(&form);
    auto* hidden = new TMenuItem(&form);
    file->SetCaption("&File");
    save->SetCaption("&Save");
    save->SetShortCut(TextToShortCut("Ctrl+S"));
    hidden->SetShortCut(TextToShortCut("Ctrl+N"));
    hidden->SetVisible(false);
    menu->Items()->Add(file);
    file->Add(save);
    file->Add(hidden);
    form.SetMenu(menu);
    int saves = 0, news = 0;
    save->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, save);
        ++saves;
    };
    hidden->OnClick = [&](TObject*) { ++news; };
    form.Show();
    QCoreApplication::processEvents();
    auto* bar = form.Widget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->actions().size(), 1);

    auto press = [&](int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::ControlModifier, QString(QChar(key - Qt::Key_A + 1)));
        QApplication::sendEvent(form.ClientWidget(), &e);
    };
    press(Qt::Key_S);
    press(Qt::Key_N);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(news, 0) << "an invisible item has no shortcut";
    save->SetEnabled(false);
    press(Qt::Key_S);
    EXPECT_EQ(saves, 1);
    form.SetMenu(nullptr);
}

TEST_F(MenusTest, PopupCallsOnPopupAndClicksTheChosenItem) {
    TPopupMenu popup(nullptr);
    auto* a = new TMenuItem(&popup);
    auto* b = new TMenuItem(&popup);
    popup.Items()->Add(a);
    popup.Items()->Add(b);
    std::vector<std::string> order;
    popup.OnPopup = [&](TObject*) { order.push_back("popup"); };
    b->OnClick = [&](TObject*) { order.push_back("b"); };
    TPoint where;
    TPopupHook previous = SetPopupHook([&](TPopupMenu* m, int x, int y) {
        EXPECT_EQ(m, &popup);
        where = TPoint{x, y};
        return b;
    });
    popup.Popup(120, 80);
    SetPopupHook(previous);
    EXPECT_EQ(order, (std::vector<std::string>{"popup", "b"}));
    EXPECT_EQ(where, (TPoint{120, 80}));
}

TEST_F(MenusTest, OwnerDrawnItemsAreMeasuredAndDrawnThroughTheCanvas) {
    TMenuItem item(nullptr);
    item.SetCaption("&Contents");
    item.OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) {
        w = 150;
        h = 24;
    };
    bool drew = false;
    item.OnDrawItem = [&](TObject*, TCanvas* c, TRect r, bool selected) {
        drew = true;
        EXPECT_TRUE(selected);
        c->GetBrush()->SetColor(clNavy);
        c->FillRect(r);
    };
    TCanvas measure;
    int w = 0, h = 0;
    item.MeasureItem(&measure, w, h);
    EXPECT_EQ(w, 150);
    EXPECT_EQ(h, 24);
    TBitmap bmp;
    bmp.SetSize(w, h);
    item.DrawItem(bmp.GetCanvas(), Rect(0, 0, w, h), true);
    EXPECT_TRUE(drew);
    EXPECT_EQ(bmp.GetCanvas()->GetPixel(10, 10), clNavy);
}

} // namespace
